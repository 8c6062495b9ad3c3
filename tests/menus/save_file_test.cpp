// The save file's parser refuses every damaged file instead of reading past its end; the
// title field stays terminated; headings are stored in hundredths of a radian.
#include "menus/save_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"

namespace {

// "Hall", screen 17001, heading 314, variables (1, 5) (300, 255) (2, 0), items 3 and 1.
const std::vector<std::uint8_t> kGood = {'H', 'a', 'l', 'l', 0, 0x42, 0x69, 0x01, 0x3A, 0x00, 0x03, 0x00, 0x01,
                                         0x05, 0x01, 0x2C, 0xFF, 0x00, 0x02, 0x00, 0x02, 0x03, 0x01};

bool Parses(const std::vector<std::uint8_t>& bytes)
{
    SaveRecord record;
    record.screen = 4242;
    std::string error;
    const bool ok = ParseSaveFile(bytes, &record, &error);
    if (!ok) {
        EXPECT_FALSE(error.empty()) << "a refused file says why";
        EXPECT_EQ(record.screen, 4242) << "a refused file leaves the output alone";
    }
    return ok;
}

TEST(SaveFileFormat, ReadsAndWritesTheSameBytes)
{
    SaveRecord record;
    ASSERT_TRUE(ParseSaveFile(kGood, &record, nullptr));
    EXPECT_EQ(record.title, "Hall");
    EXPECT_EQ(record.screen, 17001);
    EXPECT_EQ(record.variables[1], (SaveVariable{300, 255}));
    EXPECT_EQ(record.items, (std::vector<std::uint8_t>{3, 1}));
    EXPECT_EQ(EncodeSaveFile(record), kGood);
}

TEST(SaveFileFormat, RefusesTruncatedOversizedAndGarbledFiles)
{
    for (std::size_t length = 0; length < kGood.size(); ++length) {
        EXPECT_FALSE(Parses(std::vector<std::uint8_t>(kGood.begin(), kGood.begin() + length))) << length << " bytes";
    }
    std::vector<std::uint8_t> bytes = kGood;
    bytes.push_back(9);
    EXPECT_FALSE(Parses(bytes)) << "a byte after the last item";
    bytes = kGood;
    bytes[9] = 0xFF;  // 65283 variables declared, 3 present
    EXPECT_FALSE(Parses(bytes));
    bytes = kGood;
    bytes[20] = 3;  // three items declared, two present
    EXPECT_FALSE(Parses(bytes));
    EXPECT_FALSE(Parses(std::vector<std::uint8_t>(kMaxSaveFileSize + 1, 0)));

    std::vector<std::uint8_t> title(55, 0);
    std::memset(title.data(), 'y', 47);
    EXPECT_TRUE(Parses(title)) << "47 characters and the 0 fill the title field exactly";
    title[47] = 'y';
    EXPECT_FALSE(Parses(title)) << "no 0 within the first 48 bytes";
}

TEST(SaveFileFormat, HeadingIsStoredInHundredthsOfARadian)
{
    EXPECT_EQ(HeadingToFile(3.14159f), 314);
    EXPECT_NEAR(HeadingFromFile(314), 3.14f, 1e-6f);
    EXPECT_EQ(HeadingToFile(6.28f), 628);
    EXPECT_EQ(HeadingToFile(-0.5f), 578) << "an angle below 0 is brought into 0 .. 2 pi";
}

TEST(SaveFileTitle, TypedTitlesStopAtTwentyFourAndStoredOnesAtFortySeven)
{
    SaveFile file(false);
    file.RemoveLastChar();
    EXPECT_STREQ(file.get_Title(), "") << "Backspace on an empty title does nothing";
    for (int i = 0; i < 30; ++i) file.AddChar(static_cast<char>('a' + i % 26));
    EXPECT_STREQ(file.get_Title(), "abcdefghijklmnopqrstuvwx");

    file.set_Name(std::string(60, 'q').c_str());
    char buffer[SaveFile::kTitleSize + 1];
    buffer[SaveFile::kTitleSize] = 'z';
    file.get_Name(buffer);
    EXPECT_EQ(std::string(buffer), std::string(47, 'q'));
    EXPECT_EQ(buffer[SaveFile::kTitleSize], 'z') << "exactly 48 bytes are copied out";
    SaveRecord record;
    record.title = std::string(48, 'x');
    EXPECT_THROW(EncodeSaveFile(record), Error);
}

}  // namespace
