// What every scene of the world shares: numbers put into scene text, the materials, where a
// panorama's columns and rows lie in the scene, and the assets that write rendered pictures
// (whole, as a block cut out of a render, or with a finishing step such as text on a page).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "content/canvas.h"
#include "content/generator.h"
#include "content/output.h"
#include "render/povray.h"

namespace render {

// Scene text with numbers put in: every argument is printed as a double (use %.4f).
template <typename... Numbers>
std::string Format(const char* pattern, Numbers... numbers)
{
    const int n = std::snprintf(nullptr, 0, pattern, static_cast<double>(numbers)...);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, static_cast<double>(numbers)...);
    text.pop_back();
    return text;
}

// The #include of the materials shared by the scenes (the scene library's materials.inc:
// textures Stone, Blocks, Rock, Sand, Brass, DarkIron, RustIron, Wood, Planks, Tarred, Paper,
// Cloth, Glass, Water, Sea, and a default finish that gives drafts, which have no radiosity, a
// little ambient light so shadows are not black).
const char* Materials();

// Panorama placement, for a 2048 x 512 band seen from `eyeHeight` over the floor: the
// longitude in degrees of a column (povray's rotate about y turns +z towards +x, the way the
// panorama runs), and the height at `distance` from the eye where a picture row lies.
constexpr double kEyeHeight = 1.6;
double DegreesOfColumn(double column, int panoramaWidth = content::kPanoramaWidth);
double HeightOfRow(double row, double distance, double eyeHeight = kEyeHeight,
                   int panoramaHeight = content::kPanoramaHeight);

// How a rendered picture is written.
struct PictureOut {
    content::PictureFormat format = content::PictureFormat::Jpeg;
    int offset = -1;           // rotation offset; -1: the game path's own
    bool block = false;        // write only `rect` of the render (an overlay); wraps on panoramas
    content::Rect rect;
    // Applied to the whole render before it is cut and written (text on a page, a dark veil).
    std::function<imaging::Image(imaging::Image)> finish;
};

// An asset that renders `request` at the run's quality and writes it under `gamePath`.
content::Asset RenderedPicture(const std::string& gamePath, const RenderRequest& request, const PictureOut& out,
                               double weight);

// The block `r` of a picture; on a panorama (`wraps`) columns past the right edge come from
// the left. Throws Error when the block leaves the picture.
imaging::Image CutBlock(const imaging::Image& picture, content::Rect r, bool wraps);

}  // namespace render
