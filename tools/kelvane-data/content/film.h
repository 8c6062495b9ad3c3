// Cut-scene videos: shots of the game's places, panned and faded, rendered frame by frame,
// with a sound track of the place's drone, murmured speech under each subtitle line and the
// effects of the shot. Written as .wmv (WMV2 pictures, WMA2 sound), at most 512 x 256.
// Films of pictures made elsewhere (frames rendered from 3D scenes) are written the same way,
// with the sound track of their own event.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/places.h"
#include "content/sounds.h"
#include "imaging/image.h"

namespace content {

enum class ShotEffect {
    None,
    Embers,    // sparks rising
    Collapse,  // the picture shakes, rocks fall, dust closes in; a blast on the sound track
    Dawn,      // light grows over the shot
};

struct Shot {
    PlaceSpec place;             // painted as a panorama, seen through a moving window
    double seconds = 5.0;
    float panFrom = 0.0f;        // left edge of the view at the start and at the end, as a
    float panTo = 0.1f;          // fraction of the panorama's width
    ShotEffect effect = ShotEffect::None;
};

struct SubtitleCue {
    std::uint32_t timeMs = 0;  // when the line appears, from the start of the video
    std::string line;          // empty: clears the text
};

struct FilmSpec {
    int width = 512;  // at most 512 x 256 (the game's video texture)
    int height = 256;
    int framesPerSecond = 25;
    std::vector<Shot> shots;             // stretched evenly to the film's length
    std::vector<SubtitleCue> subtitles;  // the list the game shows with it
    double seconds = 10.0;               // at least the last cue's time plus one second
    std::uint32_t seed = 1;
};

// Length in seconds the film will have: its own, or longer to carry every subtitle.
double FilmLength(const FilmSpec& film);
// Frames the file will hold.
int FilmFrameCount(const FilmSpec& film);
void WriteFilm(const std::string& path, const FilmSpec& film);
// The frame in the middle of each shot, as the film shows it: for looking at a film's pictures.
std::vector<imaging::Image> FilmStills(const FilmSpec& film);

// A rectangle of a still picture, in its pixels (its shape should be the film's).
struct Window {
    double x = 0, y = 0, width = 0, height = 0;
};

// One shot of a film of given pictures: a frame sequence played at the film's rate (the last
// frame held if the shot is longer), or spread evenly over `frameSpan` film frames (fewer
// pictures of the same motion, each held for a few frames, first and last in place), or one
// still seen through a window that moves, eased, from `from` to `to` (a slow pan or zoom):
// every film frame its own window, placed to a fraction of a pixel.
struct PictureShot {
    double seconds = 1.0;
    std::vector<imaging::Image> frames;  // any size; scaled to the film's
    int frameSpan = 0;                   // film frames the sequence covers; 0: one each
    imaging::Image still;                // used when `frames` is empty
    Window from, to;
    bool throughBlack = false;  // dips to black from the shot before (a change of place); else a cut
};

struct PictureFilm {
    int width = 512;  // at most 512 x 256
    int height = 256;
    int framesPerSecond = 25;
    std::vector<PictureShot> shots;
    std::vector<SubtitleCue> subtitles;  // murmured speech under each line
    SoundBuffer sound;                   // the event's own sound (mono or stereo) from the start
    bool drone = false;                  // a low drone under the whole film (the long voiced films)
    std::uint32_t seed = 1;
};

// The shots' length, or longer to carry every subtitle (the last shot is held).
double FilmLength(const PictureFilm& film);
int FilmFrameCount(const PictureFilm& film);
// The film's picture number `index` as it is written (fades included): B, G, R, A.
imaging::Image FilmFrame(const PictureFilm& film, int index);
// The stereo sound track as it is written: the event's sound, the drone and the murmur.
SoundBuffer FilmSoundtrack(const PictureFilm& film);
void WriteFilm(const std::string& path, const PictureFilm& film);
// Pictures at a quarter, half and three quarters of each shot: for looking at a film.
std::vector<imaging::Image> FilmStills(const PictureFilm& film);

}  // namespace content
