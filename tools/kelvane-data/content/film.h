// Cut-scene videos: shots of the game's places, panned and faded, rendered frame by frame,
// with a sound track of the place's drone, murmured speech under each subtitle line and the
// effects of the shot. Written as .wmv (WMV2 pictures, WMA2 sound), at most 512 x 256.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/places.h"

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

}  // namespace content
