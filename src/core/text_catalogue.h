// The game's texts by stable identifier, read from gettext files: the English template
// (`kelvane.pot`: msgctxt = identifier, msgid = the English text) and, where one exists for the
// player's language, its translation (`<language>.po`, same identifiers, msgstr = the text).
// Depends on the standard library only.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class TextCatalogue {
public:
    // An empty catalogue (every lookup fails).
    TextCatalogue() = default;

    // Reads `<dir>/kelvane.pot`, then the first of `languages` for which `<dir>/<language>.po`
    // exists (each language also tried without its territory: "de_AT" then "de"), whose
    // non-empty, non-fuzzy msgstr replace the English. Throws Error naming file:line for a
    // malformed entry (unterminated string, msgstr without msgid, an unknown escape, an
    // identifier given twice), or when the template is missing.
    static TextCatalogue Load(const std::filesystem::path& dir, const std::vector<std::string>& languages);

    // The text of `id` in the chosen language; null when the catalogue has no such identifier.
    const std::string* Find(std::string_view id) const;
    // The language whose translation was read, or "en" when only the template was.
    const std::string& get_Language() const { return c_lpsLanguage; }
    // Every identifier, sorted.
    std::vector<std::string> Identifiers() const;

private:
    std::map<std::string, std::string, std::less<>> c_pTexts;
    std::string c_lpsLanguage = "en";
};

// The player's languages in order of preference, from LANGUAGE (a colon-separated list),
// else LC_ALL, else LC_MESSAGES, else LANG; encodings and modifiers stripped ("de_DE.UTF-8"
// -> "de_DE"), "C" and "POSIX" mean English. Empty when nothing is set.
std::vector<std::string> PreferredLanguages();
