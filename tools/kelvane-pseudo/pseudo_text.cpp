#include "pseudo_text.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "core/text_catalogue.h"

namespace {

// A look-alike for each letter that has one in Latin-1 (as UTF-8), so the game's fonts, which
// hold Latin-1 at most, can draw every character.
const char* LookAlike(char letter)
{
    switch (letter) {
    case 'a': return "á";
    case 'c': return "ç";
    case 'e': return "ë";
    case 'i': return "î";
    case 'n': return "ñ";
    case 'o': return "ö";
    case 'u': return "ú";
    case 'y': return "ý";
    case 'A': return "Å";
    case 'C': return "Ç";
    case 'E': return "É";
    case 'I': return "Ï";
    case 'N': return "Ñ";
    case 'O': return "Ô";
    case 'U': return "Û";
    case 'Y': return "Ý";
    default: return nullptr;
    }
}

// The length of the printf-like placeholder at the start of `s` ('%' then an optional argument
// number, flags, width, precision, length and the conversion), 0 when there is none.
std::size_t PlaceholderLength(std::string_view s)
{
    if (s.size() < 2 || s[0] != '%') return 0;
    if (s[1] == '%') return 2;
    std::size_t i = 1;
    auto digits = [&] {
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    };
    const std::size_t number = i;
    digits();
    if (i < s.size() && s[i] == '$' && i > number) ++i;
    else i = number;
    while (i < s.size() && std::strchr("-+ #0'", s[i]) != nullptr) ++i;
    digits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        digits();
    }
    while (i < s.size() && std::strchr("hlLqjzt", s[i]) != nullptr) ++i;
    if (i < s.size() && std::strchr("diouxXeEfFgGaAcsp", s[i]) != nullptr) return i + 1;
    return 0;
}

// Characters, not bytes: a UTF-8 continuation byte does not count.
std::size_t Characters(std::string_view s)
{
    std::size_t n = 0;
    for (const char ch : s)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    return n;
}

std::string Escaped(std::string_view s)
{
    std::string out;
    for (const char ch : s) {
        switch (ch) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default: out.push_back(ch);
        }
    }
    return out;
}

// `keyword "text"` on one line when it fits in 79 columns and holds no line break but at its
// end; else `keyword ""` followed by pieces that end at spaces or line breaks.
std::string Field(std::string_view keyword, std::string_view text)
{
    constexpr std::size_t kColumns = 79;
    const std::string one = std::string(keyword) + " \"" + Escaped(text) + "\"\n";
    const std::size_t firstBreak = text.find('\n');
    if (one.size() - 1 <= kColumns && (firstBreak == std::string_view::npos || firstBreak + 1 == text.size())) return one;
    std::string out = std::string(keyword) + " \"\"\n";
    std::string line;
    auto flush = [&] {
        if (!line.empty()) out += "\"" + Escaped(line) + "\"\n";
        line.clear();
    };
    for (std::size_t from = 0; from < text.size();) {
        std::size_t end = text.find_first_of(" \n", from);
        end = end == std::string_view::npos ? text.size() : end + 1;
        // A word too long for a line (the padding) is cut, between characters.
        if (end - from > kColumns - 2) {
            end = from + kColumns - 2;
            while ((static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        }
        const std::string_view word = text.substr(from, end - from);
        if (!line.empty() && Escaped(line).size() + Escaped(word).size() + 2 > kColumns) flush();
        line += word;
        if (word.back() == '\n') flush();
        from = end;
    }
    flush();
    return out;
}

}  // namespace

std::string PseudoText(std::string_view english)
{
    const std::size_t first = english.find_first_not_of(" \t\n");
    if (first == std::string_view::npos) return std::string(english);
    const std::size_t last = english.find_last_not_of(" \t\n");
    const std::string_view core = english.substr(first, last - first + 1);
    std::string accented;
    for (std::size_t i = 0; i < core.size();) {
        if (const std::size_t placeholder = PlaceholderLength(core.substr(i))) {
            accented += core.substr(i, placeholder);
            i += placeholder;
            continue;
        }
        const char* lookAlike = LookAlike(core[i]);
        accented += lookAlike != nullptr ? std::string(lookAlike) : std::string(1, core[i]);
        ++i;
    }
    // "[", " " and "]" are three of the added characters; "~" pairs make up the rest of 40%.
    const double wanted = 0.4 * static_cast<double>(Characters(core)) - 3.0;
    const std::size_t pairs = wanted <= 2.0 ? 1 : static_cast<std::size_t>(std::lround(wanted / 2.0));
    // The padding breaks into words of at most seven: a page sets a long text over several
    // lines, and one word wider than the page would run off it where no translation would.
    std::string padding(2 * pairs, '~');
    for (std::size_t i = 7; i + 1 < padding.size(); i += 8) padding[i] = ' ';
    return std::string(english.substr(0, first)) + "[" + accented + " " + padding + "]" +
           std::string(english.substr(last + 1));
}

std::string PseudoCatalogue(const TextCatalogue& templateTexts)
{
    std::string out =
        "# The pseudo-translation \"qps\" of kelvane.pot, written by kelvane-pseudo.\n"
        "# Do not edit: build the pseudo_locale target after changing the template.\n"
        "msgid \"\"\n"
        "msgstr \"\"\n"
        "\"Language: qps\\n\"\n"
        "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
        "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    for (const std::string& id : templateTexts.Identifiers()) {
        const std::string& english = *templateTexts.Find(id);
        out += "\n" + Field("msgctxt", id) + Field("msgid", english) + Field("msgstr", PseudoText(english));
    }
    return out;
}
