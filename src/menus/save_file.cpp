#include "menus/save_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/error.h"

// ---- SaveFile ----

SaveFile::SaveFile(bool active) : c_bActive(active) { std::memset(c_pTitle, 0, sizeof c_pTitle); }

void SaveFile::set_Name(const char* title)
{
    std::memset(c_pTitle, 0, sizeof c_pTitle);
    if (title == nullptr) return;
    const std::size_t length = strnlen(title, kTitleSize - 1);
    std::memcpy(c_pTitle, title, length);
}

void SaveFile::get_Name(char* buffer) const { std::memcpy(buffer, c_pTitle, kTitleSize); }

void SaveFile::AddChar(char c)
{
    const std::size_t length = strnlen(c_pTitle, kTitleSize - 1);
    if (length >= static_cast<std::size_t>(kMaxTypedLength) || c == '\0') return;
    c_pTitle[length] = c;
    c_pTitle[length + 1] = '\0';
}

void SaveFile::RemoveLastChar()
{
    const std::size_t length = strnlen(c_pTitle, kTitleSize - 1);
    if (length > 0) c_pTitle[length - 1] = '\0';
}

// ---- file bytes ----

namespace {

constexpr float kTwoPi = 6.2831853f;

void PutWord(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value / 256));
    out.push_back(static_cast<std::uint8_t>(value % 256));
}

// Reads forward through a file, refusing to step past its end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : c_bytes(bytes) {}
    bool Byte(std::uint8_t* value)
    {
        if (c_pos >= c_bytes.size()) return false;
        *value = c_bytes[c_pos++];
        return true;
    }
    bool Word(std::uint16_t* value)
    {
        if (Remaining() < 2) return false;
        *value = static_cast<std::uint16_t>(c_bytes[c_pos] * 256 + c_bytes[c_pos + 1]);
        c_pos += 2;
        return true;
    }
    std::size_t Remaining() const { return c_bytes.size() - c_pos; }
    std::size_t Position() const { return c_pos; }

private:
    std::span<const std::uint8_t> c_bytes;
    std::size_t c_pos = 0;
};

bool Fail(std::string* error, const std::string& why)
{
    if (error != nullptr) *error = why;
    return false;
}

// Entries in the world's variable list, duplicates counted.
std::size_t WorldVariableCount(const SaveWorldShape& world)
{
    std::size_t count = 0;
    for (const auto& entry : world.variables) count += static_cast<std::size_t>(entry.second.defined);
    return count;
}

}  // namespace

std::vector<std::uint8_t> EncodeSaveFile(const SaveRecord& record)
{
    if (record.title.size() >= static_cast<std::size_t>(SaveFile::kTitleSize) ||
        record.title.find('\0') != std::string::npos) {
        throw Error("save title of " + std::to_string(record.title.size()) +
                    " bytes cannot be stored: at most 47 bytes without a 0 byte fit the title field");
    }
    if (record.variables.size() > 0xFFFF) {
        throw Error("the world has " + std::to_string(record.variables.size()) +
                    " variables; a save file holds at most 65535");
    }
    if (record.items.size() > 0xFF) {
        throw Error("the inventory holds " + std::to_string(record.items.size()) +
                    " items; a save file holds at most 255");
    }
    std::vector<std::uint8_t> out;
    out.reserve(record.title.size() + 8 + 3 * record.variables.size() + record.items.size());
    out.insert(out.end(), record.title.begin(), record.title.end());
    out.push_back(0);
    PutWord(out, record.screen);
    PutWord(out, record.heading);
    PutWord(out, static_cast<unsigned>(record.variables.size()));
    for (const SaveVariable& variable : record.variables) {
        PutWord(out, variable.number);
        out.push_back(variable.value);
    }
    out.push_back(static_cast<std::uint8_t>(record.items.size()));
    out.insert(out.end(), record.items.begin(), record.items.end());
    return out;
}

bool ParseSaveFile(std::span<const std::uint8_t> bytes, SaveRecord* out, std::string* error)
{
    if (bytes.size() > kMaxSaveFileSize) {
        return Fail(error, "file of " + std::to_string(bytes.size()) + " bytes is larger than any save (" +
                               std::to_string(kMaxSaveFileSize) + " bytes at most)");
    }
    const std::size_t titleWindow = std::min<std::size_t>(bytes.size(), SaveFile::kTitleSize);
    const auto terminator = std::find(bytes.begin(), bytes.begin() + titleWindow, std::uint8_t{0});
    if (terminator == bytes.begin() + titleWindow) {
        return Fail(error, "title has no terminating 0 byte within its 48 bytes");
    }
    SaveRecord record;
    record.title.assign(bytes.begin(), terminator);
    Reader reader(bytes.subspan(record.title.size() + 1));

    std::uint16_t count = 0;
    if (!reader.Word(&record.screen) || !reader.Word(&record.heading) || !reader.Word(&count)) {
        return Fail(error, "file ends inside its screen, heading or variable count");
    }
    if (reader.Remaining() < 3u * count) {
        return Fail(error, "file declares " + std::to_string(count) + " variables but holds only " +
                               std::to_string(reader.Remaining() / 3));
    }
    record.variables.resize(count);
    for (SaveVariable& variable : record.variables) {
        reader.Word(&variable.number);
        reader.Byte(&variable.value);
    }
    std::uint8_t items = 0;
    if (!reader.Byte(&items)) return Fail(error, "file ends before its item count");
    if (reader.Remaining() < items) {
        return Fail(error, "file declares " + std::to_string(items) + " items but holds only " +
                               std::to_string(reader.Remaining()));
    }
    record.items.resize(items);
    for (std::uint8_t& item : record.items) reader.Byte(&item);
    if (reader.Remaining() != 0) {
        return Fail(error, std::to_string(reader.Remaining()) + " unexpected bytes after the last item");
    }
    *out = std::move(record);
    return true;
}

bool CheckSaveAgainstWorld(const SaveRecord& record, const SaveWorldShape& world, std::string* error)
{
    if (world.screens.count(record.screen) == 0) {
        const auto lookedAt = world.lookedAtScreens.find(record.screen);
        if (lookedAt != world.lookedAtScreens.end()) {
            return Fail(error, "screen " + std::to_string(record.screen) + " is " + lookedAt->second +
                                   ", not a place where the player can stand");
        }
        return Fail(error, "screen " + std::to_string(record.screen) + " does not exist in this world");
    }
    if (record.heading > kMaxSaveHeading) {
        return Fail(error, "heading of " + std::to_string(record.heading) + " hundredths of a radian is beyond " +
                               std::to_string(kMaxSaveHeading));
    }
    std::map<int, int> listed;
    for (const SaveVariable& variable : record.variables) {
        const auto defined = world.variables.find(variable.number);
        if (defined == world.variables.end()) {
            return Fail(error, "variable " + std::to_string(variable.number) + " does not exist in this world");
        }
        if (++listed[variable.number] > defined->second.defined) {
            return Fail(error, "variable " + std::to_string(variable.number) + " is listed more often than the world defines it");
        }
        if (variable.value > defined->second.maxValue) {
            return Fail(error, "variable " + std::to_string(variable.number) + " holds " + std::to_string(variable.value) +
                                   ", more than its largest value " + std::to_string(defined->second.maxValue));
        }
    }
    // The game writes every variable: one left out would keep whatever the game in progress
    // holds, half of one game restored into another.
    for (const auto& [number, variable] : world.variables) {
        const auto found = listed.find(number);
        const int times = found == listed.end() ? 0 : found->second;
        if (times < variable.defined) {
            return Fail(error, "variable " + std::to_string(number) + " of this world is missing from the save (" +
                                   std::to_string(record.variables.size()) + " listed, the world has " +
                                   std::to_string(WorldVariableCount(world)) + ")");
        }
    }
    std::set<int> held;
    for (std::uint8_t item : record.items) {
        if (world.items.count(item) == 0) {
            return Fail(error, "item " + std::to_string(item) + " does not exist in this world");
        }
        if (!held.insert(item).second) return Fail(error, "item " + std::to_string(item) + " is held twice");
    }
    return true;
}

bool ReadSaveFile(std::span<const std::uint8_t> bytes, const SaveWorldShape& world, SaveRecord* out,
                  std::string* error)
{
    SaveRecord record;
    if (!ParseSaveFile(bytes, &record, error) || !CheckSaveAgainstWorld(record, world, error)) return false;
    *out = std::move(record);
    return true;
}

std::uint16_t HeadingToFile(float radians)
{
    if (!std::isfinite(radians)) return 0;
    float wrapped = std::fmod(radians, kTwoPi);
    if (wrapped < 0.0f) wrapped += kTwoPi;
    return static_cast<std::uint16_t>(std::clamp(static_cast<int>(wrapped * 100.0f), 0, int{kMaxSaveHeading}));
}

float HeadingFromFile(std::uint16_t hundredths) { return static_cast<float>(hundredths / 100.0); }
