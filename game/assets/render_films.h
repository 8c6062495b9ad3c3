// The films' plans: each film is planned as takes of the film shots, the scene files of
// game/scenes/films/ (each moving with its clock ShotClock running 0 .. 1), with the sound of its
// event, and the tests read the plans.
#pragma once

#include <string>
#include <vector>

#include "content/film.h"
#include "content/sounds.h"

namespace world_render {

// A shot: a scene file of the library ("films/gate.pov") and the prelude povray reads before it,
// which sets the shot's clock and whatever else the plan chooses (the tides of the flats).
struct FilmShot {
    std::string sceneFile;
    std::string prelude;
};
// The shot with its clock following povray's (a moving take), or at one moment `t` (a still).
FilmShot Moving(const std::string& sceneFile);
FilmShot At(const std::string& sceneFile, double t);
// The shot with `name` declared as `value` after its clock (TideFrom = 3).
FilmShot Declaring(FilmShot shot, const std::string& name, double value);

// The moments of the gallery lamps lighting, as the clock of films/lamps.pov (which lights them
// at the same moments), lamp 0 first: the lamps film's sound is timed to them.
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
