#include "menus/save_companion.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/error.h"

namespace {

constexpr std::string_view kFormatLine = "kelvane save companion 1";
constexpr std::string_view kPlace = "place ";
constexpr std::string_view kTime = "time ";
constexpr std::string_view kExtra = "extra ";
constexpr std::string_view kSaveCheck = "save ";
constexpr std::string_view kPictureCheck = "picture ";

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::string SaveChecksum(const std::vector<std::uint8_t>& bytes)
{
    // FNV-1a: enough to tell one save's bytes from another's, not a guard against forgery.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string EncodeSaveCompanion(const SaveCompanion& companion)
{
    if (HoldsLineBreak(companion.place)) throw Error("a save's place holds a line break");
    std::string text(kFormatLine);
    text += '\n';
    text += kPlace;
    text += companion.place;
    text += '\n';
    text += kTime;
    text += std::to_string(companion.time);
    text += '\n';
    if (HoldsLineBreak(companion.saveCheck) || HoldsLineBreak(companion.pictureCheck))
        throw Error("a save's checksum holds a line break");
    text += kSaveCheck;
    text += companion.saveCheck;
    text += '\n';
    text += kPictureCheck;
    text += companion.pictureCheck;
    text += '\n';
    for (const auto& [name, value] : companion.extras) {
        if (name.empty() || name.find_first_of(" \r\n") != std::string::npos)
            throw Error("a save's addition is named '" + name + "', which is empty or holds a space or line break");
        if (HoldsLineBreak(value)) throw Error("a save's addition '" + name + "' holds a line break");
        text += kExtra;
        text += name;
        text += ' ';
        text += value;
        text += '\n';
    }
    return text;
}

bool ParseSaveCompanion(std::string_view text, SaveCompanion* out, std::string* error)
{
    const auto fail = [error](const std::string& why) {
        if (error != nullptr) *error = why;
        return false;
    };
    SaveCompanion read;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return fail("the last line is cut off");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != kFormatLine) return fail("it does not begin with \"" + std::string(kFormatLine) + "\"");
            first = false;
        } else if (StartsWith(line, kPlace)) {
            read.place = line.substr(kPlace.size());
        } else if (StartsWith(line, kTime)) {
            const std::string_view digits = line.substr(kTime.size());
            const auto [at, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), read.time);
            if (fault != std::errc() || at != digits.data() + digits.size())
                return fail("its time \"" + std::string(digits) + "\" is not a number");
        } else if (StartsWith(line, kSaveCheck)) {
            read.saveCheck = line.substr(kSaveCheck.size());
        } else if (StartsWith(line, kPictureCheck)) {
            read.pictureCheck = line.substr(kPictureCheck.size());
        } else if (StartsWith(line, kExtra)) {
            line.remove_prefix(kExtra.size());
            const std::size_t space = line.find(' ');
            if (space == 0 || space == std::string_view::npos) return fail("an addition has no name");
            read.extras[std::string(line.substr(0, space))] = line.substr(space + 1);
        }
        // Anything else comes from a later version and is not ours to judge.
    }
    if (first) return fail("it is empty");
    *out = std::move(read);
    return true;
}

std::string SaveTimeText(std::int64_t time)
{
    if (time == 0) return {};
    const std::time_t moment = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) return {};
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0) return {};
    return text;
}

std::vector<std::uint32_t> ShrinkToSlotPicture(const std::vector<std::uint32_t>& pixels, int width, int height,
                                               int top, int bottom)
{
    if (width < kSlotPictureWidth || top < 0 || bottom > height || bottom - top < kSlotPictureHeight ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    const int rows = bottom - top;
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(kSlotPictureWidth) * kSlotPictureHeight);
    for (int py = 0; py < kSlotPictureHeight; ++py) {
        const int y0 = top + py * rows / kSlotPictureHeight, y1 = top + (py + 1) * rows / kSlotPictureHeight;
        for (int px = 0; px < kSlotPictureWidth; ++px) {
            const int x0 = px * width / kSlotPictureWidth, x1 = (px + 1) * width / kSlotPictureWidth;
            std::uint32_t r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
                for (int x = x0; x < x1; ++x) {
                    r += (row[x] >> 16) & 0xFFu;
                    g += (row[x] >> 8) & 0xFFu;
                    b += row[x] & 0xFFu;
                }
            }
            const std::uint32_t count = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
            picture[static_cast<std::size_t>(py) * kSlotPictureWidth + px] =
                0xFF000000u | (r / count) << 16 | (g / count) << 8 | (b / count);
        }
    }
    return picture;
}
