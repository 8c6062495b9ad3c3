// The engine's 8-bit text: every string the game draws, measures or stores is one byte per
// character, read as Latin-1. Texts written as UTF-8 (the gettext catalogues) are converted once,
// where they enter the engine. Depends on the standard library only.
#pragma once

#include <string>
#include <string_view>

// The Latin-1 form of a UTF-8 text: ASCII bytes unchanged, each character up to U+00FF as its
// one byte, each character beyond Latin-1 as one '?'. Malformed input (a stray continuation
// byte, a cut or overlong sequence, a surrogate, a code beyond U+10FFFF) never stops the
// conversion: each maximal ill-formed part becomes one '?' and the text goes on after it.
std::string Utf8ToLatin1(std::string_view utf8);
