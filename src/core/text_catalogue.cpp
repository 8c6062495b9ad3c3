#include "core/text_catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "core/error.h"

namespace {

namespace fs = std::filesystem;

// One entry of a PO file as written: its identifier, English and translation, and whether a
// translator marked the translation as needing review.
struct PoEntry {
    std::optional<std::string> context;
    std::optional<std::string> english;
    std::optional<std::string> translation;
    bool fuzzy = false;
    int line = 0;  // where the entry's first keyword stands
};

// Reads the entries of one PO file, line by line; every mistake names the file and line.
class PoReader {
public:
    explicit PoReader(const fs::path& file) : c_file(file) {}

    std::vector<PoEntry> Read()
    {
        std::ifstream in(c_file, std::ios::binary);
        if (!in) throw Error(c_file.string() + ": cannot be read");
        std::string line;
        while (std::getline(in, line)) {
            ++c_iLine;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            // Some editors begin a UTF-8 file with a byte-order mark; it is no part of the text.
            if (c_iLine == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
            ReadLine(line);
        }
        Finish();
        return std::move(c_entries);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw Error(c_file.string() + ":" + std::to_string(c_iLine) + ": " + what);
    }

    void ReadLine(std::string_view line)
    {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) {
            Finish();
            return;
        }
        line.remove_prefix(start);
        if (line[0] == '#') {
            Comment(line);
            return;
        }
        if (line[0] == '"') {
            if (c_pField == nullptr) Fail("expected msgctxt, msgid or msgstr before a continued string");
            **c_pField += Quoted(line);
            return;
        }
        const std::size_t end = line.find_first_of(" \t\"");
        const std::string_view keyword = line.substr(0, end);
        const std::string_view rest = end == std::string_view::npos ? std::string_view{} : line.substr(end);
        if (keyword == "msgctxt") Field(&c_entry.context, rest, "msgctxt");
        else if (keyword == "msgid") Field(&c_entry.english, rest, "msgid");
        else if (keyword == "msgstr") Field(&c_entry.translation, rest, "msgstr");
        else if (keyword == "msgid_plural" || keyword.starts_with("msgstr["))
            Fail("plural forms (" + std::string(keyword) + ") are not supported; expected one msgstr per msgid");
        else Fail("expected msgctxt, msgid, msgstr, a comment or a quoted string, not \"" + std::string(keyword) + "\"");
    }

    // Flags on "#," lines; every other comment (translator's, extracted, reference, previous,
    // obsolete) carries nothing the game reads.
    void Comment(std::string_view line)
    {
        if (c_entry.translation) Finish();
        if (!line.starts_with("#,")) return;
        std::string_view flags = line.substr(2);
        while (!flags.empty()) {
            const std::size_t comma = flags.find(',');
            std::string_view flag = flags.substr(0, comma);
            while (!flag.empty() && (flag.front() == ' ' || flag.front() == '\t')) flag.remove_prefix(1);
            while (!flag.empty() && (flag.back() == ' ' || flag.back() == '\t')) flag.remove_suffix(1);
            if (flag == "fuzzy") c_bFuzzy = true;
            if (comma == std::string_view::npos) break;
            flags.remove_prefix(comma + 1);
        }
    }

    void Field(std::optional<std::string>* field, std::string_view rest, const char* keyword)
    {
        // A keyword after a finished msgstr starts the next entry, as after a blank line.
        if (c_entry.translation && field != &c_entry.translation) Finish();
        if (*field) Fail(std::string("expected one ") + keyword + " per entry, found a second");
        if (field == &c_entry.context && c_entry.english) Fail("expected msgstr after msgid, before the next msgctxt");
        if (field == &c_entry.translation && !c_entry.english) Fail("expected msgid before msgstr");
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos || rest[start] != '"')
            Fail(std::string("expected a quoted string after ") + keyword);
        *field = Quoted(rest.substr(start));
        if (c_entry.line == 0) c_entry.line = c_iLine;
        c_pField = field;
    }

    // The text of one "..." string, its escapes resolved; nothing may follow it on its line.
    std::string Quoted(std::string_view s) const
    {
        std::string text;
        std::size_t i = 1;
        for (;; ++i) {
            if (i >= s.size()) Fail("expected a closing \" at the end of the string");
            const char ch = s[i];
            if (ch == '"') break;
            if (ch != '\\') {
                text.push_back(ch);
                continue;
            }
            if (++i >= s.size()) Fail("expected a closing \" at the end of the string");
            switch (s[i]) {
            case 'n': text.push_back('\n'); break;
            case 't': text.push_back('\t'); break;
            case '"': text.push_back('"'); break;
            case '\\': text.push_back('\\'); break;
            default: Fail(std::string("expected one of the escapes \\n \\t \\\" \\\\, not \\") + s[i]);
            }
        }
        if (s.find_first_not_of(" \t", i + 1) != std::string_view::npos)
            Fail("expected the end of the line after the closing \"");
        return text;
    }

    void Finish()
    {
        if (c_entry.context || c_entry.english || c_entry.translation) {
            if (!c_entry.translation) Fail("expected msgstr to end the entry");
            c_entry.fuzzy = c_bFuzzy;
            c_entries.push_back(std::move(c_entry));
        }
        c_entry = PoEntry{};
        c_bFuzzy = false;
        c_pField = nullptr;
    }

    fs::path c_file;
    int c_iLine = 0;
    PoEntry c_entry;
    bool c_bFuzzy = false;
    std::optional<std::string>* c_pField = nullptr;  // the field continued by a "..." line
    std::vector<PoEntry> c_entries;
};

// The entries that carry a text, by identifier; the header entry (empty msgid, no msgctxt) is
// left out. `file` names the file in errors.
std::map<std::string, PoEntry, std::less<>> Keyed(const fs::path& file)
{
    std::map<std::string, PoEntry, std::less<>> keyed;
    for (PoEntry& e : PoReader(file).Read()) {
        const std::string where = file.string() + ":" + std::to_string(e.line) + ": ";
        if (!e.context) {
            if (e.english->empty()) continue;
            throw Error(where + "expected msgctxt with the text's identifier before msgid \"" + *e.english + "\"");
        }
        if (e.context->empty()) throw Error(where + "expected a non-empty identifier in msgctxt");
        if (keyed.contains(*e.context)) throw Error(where + "expected each identifier once, \"" + *e.context + "\" is given twice");
        const std::string id = *e.context;
        keyed.emplace(id, std::move(e));
    }
    return keyed;
}

// A language name as a file name may carry it: letters, digits, '_' and '-' only, so that a
// value from the environment cannot name a file outside the catalogue's directory.
bool IsLanguageName(std::string_view name)
{
    if (name.empty()) return false;
    for (const char ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_' && ch != '-') return false;
    return true;
}

// The languages to look for in order: each given one, then the same without its territory.
std::vector<std::string> Candidates(const std::vector<std::string>& languages)
{
    std::vector<std::string> out;
    for (const std::string& language : languages) {
        if (!IsLanguageName(language)) continue;
        out.push_back(language);
        const std::size_t territory = language.find('_');
        if (territory != std::string::npos) out.push_back(language.substr(0, territory));
    }
    return out;
}

std::string WithoutEncoding(std::string locale)
{
    locale = locale.substr(0, locale.find('@'));
    return locale.substr(0, locale.find('.'));
}

}  // namespace

TextCatalogue TextCatalogue::Load(const fs::path& dir, const std::vector<std::string>& languages)
{
    const fs::path templateFile = dir / "kelvane.pot";
    if (!fs::is_regular_file(templateFile)) throw Error(templateFile.string() + ": expected the texts' template here");
    TextCatalogue catalogue;
    for (auto& [id, entry] : Keyed(templateFile)) catalogue.c_pTexts.emplace(id, *entry.english);
    for (const std::string& language : Candidates(languages)) {
        // The template is the English: a player who asks for English before any other language
        // gets it even where no en.po exists.
        if (language == "en") break;
        const fs::path file = dir / (language + ".po");
        if (!fs::is_regular_file(file)) continue;
        const auto translated = Keyed(file);
        for (auto& [id, text] : catalogue.c_pTexts) {
            const auto found = translated.find(id);
            // A translation made of other English (the template changed since) is out of date
            // however it is flagged: the English stands until a translator sees it again.
            if (found == translated.end() || found->second.fuzzy || found->second.translation->empty() ||
                *found->second.english != text)
                continue;
            text = *found->second.translation;
        }
        catalogue.c_lpsLanguage = language;
        break;
    }
    return catalogue;
}

const std::string* TextCatalogue::Find(std::string_view id) const
{
    const auto found = c_pTexts.find(id);
    return found == c_pTexts.end() ? nullptr : &found->second;
}

std::vector<std::string> TextCatalogue::Identifiers() const
{
    std::vector<std::string> ids;
    ids.reserve(c_pTexts.size());
    for (const auto& [id, text] : c_pTexts) ids.push_back(id);
    return ids;
}

std::vector<std::string> PreferredLanguages()
{
    auto value = [](const char* name) -> std::string {
        const char* v = std::getenv(name);
        return v == nullptr ? std::string{} : std::string(v);
    };
    std::vector<std::string> wanted;
    const std::string list = value("LANGUAGE");
    if (!list.empty()) {
        for (std::size_t from = 0; from <= list.size();) {
            const std::size_t colon = std::min(list.find(':', from), list.size());
            wanted.push_back(list.substr(from, colon - from));
            from = colon + 1;
        }
    } else {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const std::string locale = value(name);
            if (locale.empty()) continue;
            wanted.push_back(locale);
            break;
        }
    }
    std::vector<std::string> languages;
    for (const std::string& locale : wanted) {
        std::string language = WithoutEncoding(locale);
        if (language.empty()) continue;
        if (language == "C" || language == "POSIX") language = "en";
        languages.push_back(language);
    }
    return languages;
}
