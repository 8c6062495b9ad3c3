#include "core/error.h"

std::wstring FailSafe::Info = L"None.";

void FailSafe::SetInfo(const std::string& text)
{
    Info.assign(text.begin(), text.end());
}

namespace {
constexpr std::size_t kErrorScreenTextMax = 63;  // a 64-byte buffer with its terminator
}

std::string ToErrorScreenText(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (out.size() == kErrorScreenTextMax) break;
        const char low = static_cast<char>(static_cast<unsigned>(c) & 0xFFu);
        if (low == '\0') break;  // a zero low byte ends the C string the screen prints
        out.push_back(low);
    }
    return out;
}

std::string ToErrorScreenText(const std::string& text)
{
    std::string out = text.substr(0, std::min(text.size(), kErrorScreenTextMax));
    const auto zero = out.find('\0');
    if (zero != std::string::npos) out.resize(zero);
    return out;
}
