#include <gtest/gtest.h>

#include "core/error.h"

TEST(ErrorScreenText, CutsToSixtyThreeCharacters)
{
    const std::string longText(100, 'x');
    EXPECT_EQ(ToErrorScreenText(longText).size(), 63u);
    EXPECT_EQ(ToErrorScreenText(std::wstring(100, L'y')), std::string(63, 'y'));
    EXPECT_EQ(ToErrorScreenText(std::string("short")), "short");
}

TEST(ErrorScreenText, KeepsTheLowByteOfWideCharacters)
{
    // 0x0141 keeps 0x41 ('A'); 0x2062 keeps 'b'.
    EXPECT_EQ(ToErrorScreenText(std::wstring{L'\x0141', L'\x2062'}), "Ab");
    // A character whose low byte is zero ends the text, as the screen's C string would.
    EXPECT_EQ(ToErrorScreenText(std::wstring{L'a', L'\x0100', L'c'}), "a");
}

TEST(FailSafe, StartsAsNoneAndTakesEightBitTexts)
{
    EXPECT_EQ(FailSafe::Info, L"None.");
    FailSafe::SetInfo("data/missing.enc");
    EXPECT_EQ(FailSafe::Info, L"data/missing.enc");
    FailSafe::Info = L"None.";
}
