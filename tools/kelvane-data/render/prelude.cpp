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

// A UTF-8 text as a povray string: quotes and backslashes escaped, every letter beyond ASCII as
// \uXXXX (a malformed byte becomes '?', so a broken catalogue cannot break the scene's parse).
std::string QuotedText(const std::string& utf8)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') out += '\\';
            out += c >= 0x20 ? static_cast<char>(c) : ' ';
            ++i;
            continue;
        }
        const int length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
        unsigned code = length == 0 ? 0 : c & (0x7f >> length);
        bool whole = length > 0 && i + length <= utf8.size();
        for (int k = 1; whole && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            whole = (next & 0xc0) == 0x80;
            code = code << 6 | (next & 0x3f);
        }
        if (!whole || code > 0xffff) {
            out += '?';
            ++i;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", code);
        out += escape;
        i += static_cast<std::size_t>(length);
    }
    return out + "\"";
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

std::string TextsPrelude(const std::vector<std::pair<std::string, std::string>>& texts, const std::string& fontFile)
{
    std::string text = "// The texts this picture sets, in its language (written by kelvane-data).\n";
    for (const auto& [name, value] : texts) {
        if (!IsNameTail(name)) throw Error("a picture's text '" + name + "' is not a name povray can declare");
        text += "#declare Text_" + name + " = " + QuotedText(value) + ";\n";
    }
    return text + "#declare TextFont = " + Quoted(fontFile) + ";\n";
}

}  // namespace render
