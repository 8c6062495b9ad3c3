// The pseudo-translation "qps": every text of the template set with accented look-alikes of its
// letters and lengthened, so that a text the game does not take from the catalogue, or one that
// has no room to grow, stands out on screen. Depends on core's catalogue only.
#pragma once

#include <string>
#include <string_view>

class TextCatalogue;

// The pseudo-translation of one English text (UTF-8): letters replaced by Latin-1 accented
// look-alikes, printf-like placeholders ("%s", "%1$d", "%.2f", "%%") and leading and trailing
// white space kept, the rest put in "[ ... ]" and padded with "~" pairs to about 1.4 times its
// length. Empty stays empty.
std::string PseudoText(std::string_view english);

// The whole qps.po for the template's texts: a header, then every identifier in sorted order
// with its English and its pseudo-translation, long strings continued on lines of at most 79
// columns. The same template gives the same bytes.
std::string PseudoCatalogue(const TextCatalogue& templateTexts);
