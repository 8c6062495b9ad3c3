// UTF-8 to Latin-1 for texts entering the engine.
#include "core/latin1_text.h"

namespace {

constexpr char kUnknown = '?';

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces and the range its second byte must lie in, which excludes
// overlong forms, surrogates and codes beyond U+10FFFF. Length 0: not a lead byte.
struct Lead {
    int length;
    unsigned char secondLow, secondHigh;
};

Lead LeadOf(unsigned char byte)
{
    if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF};
    if (byte == 0xE0) return {3, 0xA0, 0xBF};
    if (byte == 0xED) return {3, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF};
    if (byte == 0xF0) return {4, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF};
    if (byte == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string latin1;
    latin1.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if (byte < 0x80) {
            latin1 += static_cast<char>(byte);
            ++at;
            continue;
        }
        const Lead lead = LeadOf(byte);
        if (lead.length == 0) {  // a stray continuation byte, or a lead no character has
            latin1 += kUnknown;
            ++at;
            continue;
        }
        // Take the lead and as many of its continuation bytes as are well formed; a cut
        // sequence ends at the first byte that does not belong, which starts the next character.
        std::size_t taken = 1;
        unsigned int code = byte & (0xFFu >> (lead.length + 1));
        while (taken < static_cast<std::size_t>(lead.length) && at + taken < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[at + taken]);
            const bool fits = taken == 1 ? next >= lead.secondLow && next <= lead.secondHigh : IsContinuation(next);
            if (!fits) break;
            code = code << 6 | (next & 0x3Fu);
            ++taken;
        }
        const bool whole = taken == static_cast<std::size_t>(lead.length);
        latin1 += whole && code <= 0xFF ? static_cast<char>(code) : kUnknown;
        at += taken;
    }
    return latin1;
}
