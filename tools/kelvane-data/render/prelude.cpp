#include "render/prelude.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "content/output.h"
#include "core/error.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace render {

namespace {

// The latitude in degrees of a band's picture row (0 at the top, 512 at the foot).
double LatitudeOfRow(double row)
{
    return (0.5 - row / content::kPanoramaHeight) * 2.0 * kBandLatitude * 180.0 / kPi;
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// "#declare NAME = array[N] {a, b, ...};" from each landmark's value; an empty array cannot be
// declared in povray 3.7, so a place without landmarks declares none of them.
std::string Array(const char* name, const std::vector<SceneLandmark>& landmarks,
                  const std::function<std::string(const SceneLandmark&)>& value)
{
    std::string text = std::string("#declare ") + name + " = array[" + std::to_string(landmarks.size()) + "] {";
    for (std::size_t i = 0; i < landmarks.size(); ++i) text += (i == 0 ? "" : ", ") + value(landmarks[i]);
    return text + "};\n";
}

bool IsNameTail(const std::string& name)
{
    if (name.empty()) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

}  // namespace

std::string PreludeNumber(double value)
{
    char text[64];
    if (value == std::floor(value) && std::fabs(value) < 1e15) std::snprintf(text, sizeof text, "%.0f", value);
    else std::snprintf(text, sizeof text, "%.9f", value);
    return text;
}

std::string PlacePrelude(bool panorama, const std::vector<SceneLandmark>& landmarks, const SceneStory& story)
{
    const auto truth = [](bool b) { return std::string(b ? "true" : "false"); };
    std::string text = "// What the world shows in this picture (written by kelvane-data).\n";
    text += "#declare Panorama = " + truth(panorama) + ";\n";
    text += "#declare Landmarks = " + std::to_string(landmarks.size()) + ";\n";
    if (!landmarks.empty()) {
        text += Array("LandmarkLook", landmarks, [](const SceneLandmark& l) { return Quoted(l.look); });
        text += Array("LandmarkLeft", landmarks, [](const SceneLandmark& l) { return std::to_string(l.left); });
        text += Array("LandmarkTop", landmarks, [](const SceneLandmark& l) { return std::to_string(l.top); });
        text += Array("LandmarkRight", landmarks, [](const SceneLandmark& l) { return std::to_string(l.right); });
        text += Array("LandmarkBottom", landmarks, [](const SceneLandmark& l) { return std::to_string(l.bottom); });
        if (panorama) {
            text += Array("LandmarkDegrees", landmarks, [](const SceneLandmark& l) {
                return PreludeNumber(DegreesOfColumn((l.left + l.right) / 2.0));
            });
            text += Array("LandmarkHalfDegrees", landmarks, [](const SceneLandmark& l) {
                return PreludeNumber(DegreesOfColumn((l.right - l.left) / 2.0));
            });
            text += Array("LandmarkTopLatitude", landmarks, [](const SceneLandmark& l) { return PreludeNumber(LatitudeOfRow(l.top)); });
            text += Array("LandmarkBottomLatitude", landmarks,
                          [](const SceneLandmark& l) { return PreludeNumber(LatitudeOfRow(l.bottom)); });
        }
        text += Array("LandmarkChanged", landmarks, [&](const SceneLandmark& l) { return truth(l.changed); });
        text += Array("LandmarkRemoved", landmarks, [&](const SceneLandmark& l) { return truth(l.removed); });
    }
    text += "#declare ItemShown = " + Quoted(story.itemShown) + ";\n";
    for (const auto& [name, value] : story.values) {
        if (!IsNameTail(name)) throw Error("a picture's story state '" + name + "' is not a name povray can declare");
        text += "#declare Story_" + name + " = " + PreludeNumber(value) + ";\n";
    }
    return text;
}

}  // namespace render
