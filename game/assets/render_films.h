// The films' scenes and plans: render_films_scenes.cpp writes the scenes (each moves with a
// time T running 0 .. 1), render_films.cpp plans each film as takes of those scenes with the
// sound of its event, and the tests read the plans.
#pragma once

#include <string>
#include <vector>

#include "content/film.h"
#include "content/sounds.h"

namespace world_render {

// What a scene's T follows: povray's clock (a moving take), or one moment (a still).
std::string Moving();
std::string At(double t);

// The scenes, each seen through a perspective camera of the film's shape (2 : 1) and moving
// as `t` runs from 0 to 1.
namespace film_scenes {
std::string Crossing(const std::string& t);   // the boat's bow, the sea and the dark island ahead
std::string Beam(const std::string& t);       // the island from the sea, its light sweeping the water
std::string Gate(const std::string& t);       // the observatory gate swinging open
std::string Pump(const std::string& t);       // the cistern pump worked and the basin draining
std::string SeaGate(const std::string& t);    // the sea gate bursting and the sea pouring in
// The tide flats with the water going from tide `from` to tide `to` (1 high .. 4 lowest ebb).
std::string Tide(const std::string& t, int from, int to);
std::string Hatch(const std::string& t);      // the hatch bar winched up and the hatch opening
std::string Lamps(const std::string& t);      // the gallery's 36 lamps lighting in turn round the ring
std::string Shutter(const std::string& t);    // the dome's shutter running open on the stars
std::string SeaDoor(const std::string& t);    // the sea door's bar lifted and the door swinging out
std::string Lens(const std::string& t);       // the last lens rising into the telescope and lighting
}  // namespace film_scenes

// The moments of the gallery lamps lighting, as T of the Lamps scene, lamp 0 first.
std::vector<double> LampMoments();

// A film as planned, before anything is rendered.
struct FilmOutline {
    std::string gamePath;
    int framesPerSecond = 25;
    double seconds = 0;      // the film's length
    int renderedFrames = 0;  // frames povray renders for it (moving takes)
    int stills = 0;          // stills it pans over
    std::vector<content::SubtitleCue> subtitles;
    content::SoundBuffer sound;  // the sound track as written
};
std::vector<FilmOutline> FilmOutlines();

}  // namespace world_render
