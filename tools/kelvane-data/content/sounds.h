// Synthesised sounds: effects by kind and the music tracks, as sample buffers that the media
// writer turns into .wav or .mp3 files. Everything is computed from a seed; no recordings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace content {

constexpr int kSampleRate = 44100;

// Interleaved samples in -1 .. 1.
struct SoundBuffer {
    int channels = 1;
    std::vector<float> samples;
    std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
};

enum class SoundKind {
    Drip,         // a water drop falling into a pool, with the cave's echo
    SwitchClick,  // a small mechanical tick
    Explosion,    // a distant blast with a long rumble
    PageTurn,     // paper swept over paper
    Door,         // a creaking hinge and the thud of wood
    LockClick,    // a lock's bolt snapping into place
    ItemChime,    // a short bright chime for examining an item
    Whoosh,       // air moving, for transitions
    // Effects with weight, 0.4 .. 1.5 s: mass and a ringing body.
    IronClank,    // a key turning and an iron shackle springing open, ringing
    LeverCreak,   // a heavy lever dragged over on a dry iron pivot, thudding home
    Ratchet,      // a pawl over a few teeth, then a spring catch giving with a deep clunk
    BrassSeat,    // a heavy glass-and-brass weight settling into a brass seat: thud and ring
    SeaPound,     // a wave slamming through the broken gate, its water running back (1.8 s)
    // Beds: quiet, several seconds, and seamless: the last sample runs into the first.
    ShoreBed,     // wind and surf on the shore (stereo, 9 s)
    HallBed,      // a still room's tone with a slow clock ticking (stereo, 8 s)
    LampRoomBed,  // the low hum of the lamps and their flames (stereo, 7 s)
    DomeBed,      // a hush: faint air under the dome, very quiet (stereo, 8 s)
    CaveBed,      // low water and stone, the cistern's room tone (stereo, 10 s)
};
// `seed` varies the sound within its kind (three drips that are not the same drip).
SoundBuffer SynthSound(SoundKind kind, std::uint32_t seed);
// The world files name the kinds in snake case ("drip", "iron_clank", "shore_bed").
const char* SoundKindName(SoundKind kind);
// The kind the world files name `name`; false when there is none.
bool SoundKindNamed(std::string_view name, SoundKind* kind);
// Every kind's name, comma separated, for a message about a name that is none.
std::string SoundKindNames();
// Whether sounds of `kind` are made to loop (the regions' beds).
bool IsBed(SoundKind kind);
// A bed's two ends come down to silence over this many frames, linearly (frame k of the first
// ones at k / kBedEdgeFrames, frame k from the end at (k + 1) / kBedEdgeFrames of the
// last ones): the moment the game takes to start it again is then no click. Under those ramps the
// bed's last frame runs straight into its first.
constexpr int kBedEdgeFrames = 220;

// The events the films show, each with a sound made for it. `times` (seconds from the film's
// start) say when its moments fall in the picture, so that the sound keeps time with it.
enum class FilmEvent {
    Gate,      // a hinge creaking while the gate swings and an iron clank as it stops: {swing, stop}
    Pump,      // a pump stroke at each time, with the gurgle of the water draining away: {strokes...}
    SeaGate,   // the blast of the sea gate bursting and the sea rushing in after: {burst}
    TideIn,    // waves coming up the flats, louder as the water rises
    TideOut,   // waves running back down the flats, fainter as the water falls
    Hatch,     // a winch's ratchet lifting the bar, then the hatch thudding open: {ratchet, bar free, thud}
    Lamps,     // a crackle as each lamp catches, one at each time: {lamps...}
    Shutter,   // the shutter rumbling open on its track and stopping: {start, stop}
    SeaDoor,   // the bar scraping up, the door creaking out, the surf outside: {bar, door, surf}
    Lens,      // glass settling on brass and a tone rising as the light grows: {seat, light}
    Crossing,  // the sea round a rowing boat and the oars' strokes: {strokes...}
};
struct FilmSoundSpec {
    FilmEvent event = FilmEvent::Gate;
    double seconds = 5.0;
    std::vector<double> times;
    std::uint32_t seed = 1;
};
// A stereo sound of `timing.seconds` for a film's event.
SoundBuffer SynthFilmSound(const FilmSoundSpec& timing);

enum class MusicMood {
    Menu,         // slow, mysterious: a minor pad and a bell figure
    Exploration,  // open, calm drones and plucked notes
    Depths,       // dark and low, a slow pulse
    Credits,      // warm, major, a melody over moving chords
};
// A stereo track of about `seconds` (a whole number of bars) whose end runs into its start
// without a break: notes that ring past the end continue at the beginning, and both ends
// come to silence within a few milliseconds so a restart does not click.
SoundBuffer SynthMusic(MusicMood mood, double seconds, std::uint32_t seed);

// Writes a buffer as .wav or .mp3 (by the extension).
void WriteSound(const std::string& path, const SoundBuffer& sound);

}  // namespace content
