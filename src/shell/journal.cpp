#include "shell/journal.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::string_view kHeader = "journal";
constexpr std::string_view kVersion = "1";
constexpr char kPlaceMark = '@';

bool Plain(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
}

// Names may hold any byte: everything but letters, digits and "_-." is written as %XX, so an
// entry is one word and its '@' unambiguous.
std::string Escape(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (Plain(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size()) return false;
            const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) return false;
            *out += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (Plain(c)) {
            *out += static_cast<char>(c);
        } else {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

std::map<int, std::string> PlacesOf(const WorldFiles& files)
{
    std::map<int, std::string> places;
    for (const WorldFiles::Screen& screen : files.get_ScreenList())
        if (screen.place) places.emplace(screen.number, screen.region);
    return places;
}

}  // namespace

Journal::Journal(const WorldFiles& files) : Journal(files.get_Clues(), PlacesOf(files)) {}

Journal::Journal(std::vector<WorldFiles::Clue> clues, std::map<int, std::string> places)
    : c_clues(std::move(clues)), c_places(std::move(places)), c_filed(c_clues.size(), false)
{
}

bool Journal::File(int clue, int standing)
{
    if (c_filed[static_cast<std::size_t>(clue)]) return false;
    c_filed[static_cast<std::size_t>(clue)] = true;
    const auto place = c_places.find(standing);
    c_entries.push_back({clue, place != c_places.end() ? place->second : std::string()});
    return true;
}

bool Journal::NoticeScreen(int screen, int standing)
{
    bool filed = false;
    for (std::size_t i = 0; i < c_clues.size(); ++i)
        if (c_clues[i].screenNumber == screen && !c_clues[i].screen.empty()) filed |= File(static_cast<int>(i), standing);
    return filed;
}

bool Journal::NoticeLine(const char* line, int standing)
{
    if (line == nullptr || line[0] == '\0' || c_lastLine == line) return false;
    c_lastLine = line;
    bool filed = false;
    for (std::size_t i = 0; i < c_clues.size(); ++i)
        if (!c_clues[i].lineId.empty() && c_clues[i].line == c_lastLine) filed |= File(static_cast<int>(i), standing);
    return filed;
}

void Journal::Clear()
{
    c_entries.clear();
    c_filed.assign(c_clues.size(), false);
    c_lastLine.clear();
}

bool Journal::Has(const std::string& name) const
{
    for (const Entry& entry : c_entries)
        if (ClueOf(entry).name == name) return true;
    return false;
}

std::string Journal::Serialize() const
{
    std::string text(kHeader);
    text += ' ';
    text += kVersion;
    for (const Entry& entry : c_entries) text += ' ' + Escape(ClueOf(entry).name) + kPlaceMark + Escape(entry.place);
    return text;
}

bool Journal::Restore(std::string_view text, std::string* error)
{
    auto refuse = [error](const std::string& why) {
        if (error != nullptr) *error = "not a journal line: " + why;
        return false;
    };
    const std::vector<std::string_view> words = Words(text);
    if (words.size() < 2 || words[0] != kHeader) return refuse("it does not begin with \"journal 1\"");
    if (words[1] != kVersion) return refuse("journal version " + std::string(words[1]) + " is not known");
    std::vector<Entry> entries;
    std::vector<bool> filed(c_clues.size(), false);
    for (std::size_t w = 2; w < words.size(); ++w) {
        const std::string_view word = words[w];
        const std::size_t mark = word.find(kPlaceMark);
        std::string name, place;
        if (word.empty() || mark == std::string_view::npos || word.find(kPlaceMark, mark + 1) != std::string_view::npos ||
            !Unescape(word.substr(0, mark), &name) || !Unescape(word.substr(mark + 1), &place) || name.empty())
            return refuse("entry " + std::to_string(w - 1) + " is not name@place");
        for (std::size_t i = 0; i < c_clues.size(); ++i) {
            if (c_clues[i].name != name || filed[i]) continue;
            filed[i] = true;
            entries.push_back({static_cast<int>(i), std::move(place)});
            break;
        }
    }
    c_entries = std::move(entries);
    c_filed = std::move(filed);
    c_lastLine.clear();
    return true;
}
