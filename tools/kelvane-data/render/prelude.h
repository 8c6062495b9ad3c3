// The prelude the generator writes before a place's scene file: what the world knows and the
// artist's scene does not. The landmarks of the place (the world's hotspot rectangles, and on a
// panorama the longitudes and latitudes they span), the state of the story the picture shows
// (a landmark opened or lit, one taken away, an item lying there, the values of the story's
// variables and named states) and, for a panorama, that it is one. A scene reads them with
// defaults of its own (#ifndef), so it also renders alone in povray.
//
// What the scene finds declared (N landmarks, arrays counted from 0 in the world files' order):
//   Panorama                      true for a 2048 x 512 band, false for a 1024 x 512 view
//   Landmarks                     N
//   LandmarkLook[N]               "door", "arch", "stairs", ... as the world files name them
//   LandmarkLeft/Top/Right/Bottom[N]   the rectangle in picture pixels (a band's Right may pass 2048)
//   LandmarkDegrees[N], LandmarkHalfDegrees[N]   a band's centre longitude and half width
//   LandmarkTopLatitude[N], LandmarkBottomLatitude[N]   a band's top and bottom rows, degrees up
//   LandmarkChanged[N]            drawn in its other state (open, lit)
//   LandmarkRemoved[N]            not drawn (water drained away)
//   ItemShown                     the name of the item lying in the changing block, or ""
//   Story_<name>                  a story variable's value, or a named state (true) the block shows
//   Text_<name>, TextFont         a text the scene sets (the game's texts, in the picture's
//                                 language) and the font file to set it with; only when given
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace render {

struct SceneLandmark {
    std::string look;              // the world files' name of its look
    int left = 0, top = 0, right = 0, bottom = 0;  // picture pixels
    bool changed = false;          // drawn in its other state
    bool removed = false;          // not drawn
};

// What the story shows in one picture besides its landmarks' states.
struct SceneStory {
    std::string itemShown;                                  // an item's name, or empty
    std::vector<std::pair<std::string, double>> values;     // Story_<name> = value
};

// The prelude's text: a #declare for each of the above. Throws Error for a story name that is
// not a povray identifier's tail (letters, digits, underscores).
std::string PlacePrelude(bool panorama, const std::vector<SceneLandmark>& landmarks, const SceneStory& story);

// The texts a scene sets, each as Text_<name> = "text" (UTF-8; letters beyond ASCII written as
// \uXXXX, which a scene with `charset utf8` sets as they are), and TextFont = `fontFile`.
// Throws Error for a name povray cannot declare.
std::string TextsPrelude(const std::vector<std::pair<std::string, std::string>>& texts, const std::string& fontFile);

// A number as the prelude writes it: exact for whole numbers, else nine decimals.
std::string PreludeNumber(double value);

}  // namespace render
