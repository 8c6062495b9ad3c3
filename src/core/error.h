// The game's one error type and the error-information string shown on the fatal-error screen.
// Depends on nothing but the standard library; every layer may include it.
#pragma once

#include <stdexcept>
#include <string>

// An error the game raises: its message says what failed, with the file or value and what
// was expected. Caught for good only by the entry routine's fatal-error screen.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Where the last failure happened. Code that detects a failure (or passes one on) stores a
// short description here just before it raises; nothing ever clears it.
class FailSafe {
public:
    static std::wstring Info;

    // Convenience for 8-bit texts such as image paths.
    static void SetInfo(const std::string& text);
};

// The 8-bit form of a 16-bit text as the fatal-error screen prints it: the low byte of each
// character, at most 63 characters.
std::string ToErrorScreenText(const std::wstring& text);
std::string ToErrorScreenText(const std::string& text);
