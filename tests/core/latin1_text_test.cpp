// The catalogue's UTF-8 texts as the engine's Latin-1 bytes.
#include "core/latin1_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8ToLatin1, KeepsAsciiAndMapsLatin1Letters)
{
    const std::string ascii = "Kelvane 1.1\n\t\"Ansel\" ~ (built 8 Jan 2005)";
    EXPECT_EQ(Utf8ToLatin1(ascii), ascii);
    EXPECT_EQ(Utf8ToLatin1(""), "");
    EXPECT_EQ(Utf8ToLatin1(std::string("a\0b", 3)), std::string("a\0b", 3)) << "a NUL is a character like any other";

    // The pseudo-locale's letters, and the first and last characters that take two bytes.
    EXPECT_EQ(Utf8ToLatin1("\xC3\xA1\xC3\xA7\xC3\xAB\xC3\xAE\xC3\xB1\xC3\xB6"), "\xE1\xE7\xEB\xEE\xF1\xF6");
    EXPECT_EQ(Utf8ToLatin1("[\xC3\x85\xC3\x87\xC3\x89 p\xC3\xA4ge]"), "[\xC5\xC7\xC9 p\xE4ge]");
    EXPECT_EQ(Utf8ToLatin1("\xC2\xA0\xC2\xA9\xC3\xBF"), "\xA0\xA9\xFF");
    EXPECT_EQ(Utf8ToLatin1("\xC2\x80"), "\x80");
}

TEST(Utf8ToLatin1, CharactersBeyondLatin1BecomeOneQuestionMarkEach)
{
    EXPECT_EQ(Utf8ToLatin1("\xC4\x80"), "?") << "U+0100, the first beyond Latin-1";
    EXPECT_EQ(Utf8ToLatin1("It\xE2\x80\x99s \xE2\x80\x9CLe\xC5\x93\xE2\x80\x9D"), "It?s ?Le??");
    EXPECT_EQ(Utf8ToLatin1("\xE4\xB8\xAD\xE6\x96\x87."), "??.");
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x8C\x8A sea"), "? sea") << "a four-byte character";
    EXPECT_EQ(Utf8ToLatin1("\xF4\x8F\xBF\xBF"), "?") << "U+10FFFF";
}

// Each ill-formed part is one '?', and whatever follows it is read afresh: nothing is lost
// after a bad byte, and no byte past the end is read.
TEST(Utf8ToLatin1, MalformedInputIsReplacedAndReadOn)
{
    EXPECT_EQ(Utf8ToLatin1("a\x80z"), "a?z") << "a stray continuation byte";
    EXPECT_EQ(Utf8ToLatin1("\xBF\xBF"), "??");
    EXPECT_EQ(Utf8ToLatin1("\xE9t\xE9"), "?t?") << "Latin-1 bytes are not UTF-8";
    EXPECT_EQ(Utf8ToLatin1("\xC3"), "?") << "cut at the end of the text";
    EXPECT_EQ(Utf8ToLatin1("\xE2\x80"), "?");
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x8C"), "?");
    EXPECT_EQ(Utf8ToLatin1("\xC3z"), "?z") << "cut by an ASCII character, which is kept";
    EXPECT_EQ(Utf8ToLatin1("\xE2\x80\xC3\xA9"), "?\xE9") << "cut by the next character, which is kept";
    EXPECT_EQ(Utf8ToLatin1("\xC0\xAF\xC1\xBF"), "????") << "overlong two-byte forms";
    EXPECT_EQ(Utf8ToLatin1("\xE0\x80\xAF"), "???") << "an overlong three-byte form";
    EXPECT_EQ(Utf8ToLatin1("\xED\xA0\x80"), "???") << "a surrogate";
    EXPECT_EQ(Utf8ToLatin1("\xF4\x90\x80\x80"), "????") << "beyond U+10FFFF";
    EXPECT_EQ(Utf8ToLatin1("\xF5\xFE\xFF"), "???");
}

}  // namespace
