// The save file's parser refuses every damaged file instead of reading past its end; the
// title field stays terminated; headings are stored in hundredths of a radian.
#include "menus/save_file.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A world of screens 0, 350 and 17001 to stand on, an item's close-up 12001 and a book page
// 15002, variables 1, 2 and 300, a 2 x 2 grid of cells 100 to 103 that holds 0 .. 3, variable
// 40 defined twice, and items 1 to 8. The good record lists every variable, as the game
// writes them.
SaveWorldShape SmallWorld()
{
    SaveWorldShape world;
    world.screens = {0, 350, 17001};
    world.lookedAtScreens = {{12001, "an item's close-up"}, {15002, "a page of a book"}};
    for (int number : {1, 2, 300}) world.variables[number].defined = 1;
    world.variables[40].defined = 2;
    for (int cell = 100; cell < 104; ++cell) world.variables[cell] = {1, 3};
    world.items = {1, 2, 3, 4, 5, 6, 7, 8};
    return world;
}

SaveRecord GoodRecord()
{
    SaveRecord record;
    EXPECT_TRUE(ParseSaveFile(kGood, &record, nullptr));
    for (std::uint16_t cell = 100; cell < 104; ++cell) record.variables.push_back({cell, 3});
    record.variables.push_back({40, 1});
    record.variables.push_back({40, 2});
    return record;
}

TEST(SaveWorldCheck, RefusesWhatTheWorldDoesNotHave)
{
    const SaveWorldShape world = SmallWorld();
    std::string error;
    ASSERT_TRUE(CheckSaveAgainstWorld(GoodRecord(), world, &error)) << error;

    struct Damage {
        const char* what;
        void (*apply)(SaveRecord&);
    };
    const Damage damages[] = {
        {"a screen the world lacks", [](SaveRecord& r) { r.screen = 65535; }},
        {"an item's close-up", [](SaveRecord& r) { r.screen = 12001; }},
        {"a book page", [](SaveRecord& r) { r.screen = 15002; }},
        {"an ordinary variable left out", [](SaveRecord& r) { r.variables.erase(r.variables.begin()); }},
        {"a grid cell left out", [](SaveRecord& r) { r.variables.erase(r.variables.begin() + 3); }},
        {"one of two same-numbered variables left out", [](SaveRecord& r) { r.variables.pop_back(); }},
        {"no variables at all", [](SaveRecord& r) { r.variables.clear(); }},
        {"a heading beyond 628", [](SaveRecord& r) { r.heading = 629; }},
        {"an unknown variable", [](SaveRecord& r) { r.variables[0].number = 3; }},
        {"a variable listed twice", [](SaveRecord& r) { r.variables.push_back({300, 1}); }},
        {"a variable defined twice listed three times", [](SaveRecord& r) { r.variables.push_back({40, 0}); }},
        {"a grid cell beyond its grid's states", [](SaveRecord& r) { r.variables[3].value = 4; }},
        {"an unknown item", [](SaveRecord& r) { r.items[1] = 9; }},
        {"item 0", [](SaveRecord& r) { r.items[0] = 0; }},
        {"an item held twice", [](SaveRecord& r) { r.items.push_back(3); }},
    };
    for (const Damage& damage : damages) {
        SaveRecord record = GoodRecord();
        damage.apply(record);
        error.clear();
        EXPECT_FALSE(CheckSaveAgainstWorld(record, world, &error)) << damage.what;
        EXPECT_FALSE(error.empty()) << damage.what;
    }

    // What a world allows stays allowed: its largest values, its variables in another order,
    // no items.
    SaveRecord record = GoodRecord();
    record.heading = kMaxSaveHeading;
    std::reverse(record.variables.begin(), record.variables.end());
    record.items.clear();
    EXPECT_TRUE(CheckSaveAgainstWorld(record, world, &error)) << error;

    // The refusal says what is wrong, in words.
    record = GoodRecord();
    record.screen = 15002;
    EXPECT_FALSE(CheckSaveAgainstWorld(record, world, &error));
    EXPECT_EQ(error, "screen 15002 is a page of a book, not a place where the player can stand");
    record = GoodRecord();
    record.variables.erase(record.variables.begin() + 1);
    EXPECT_FALSE(CheckSaveAgainstWorld(record, world, &error));
    EXPECT_EQ(error, "variable 300 of this world is missing from the save (8 listed, the world has 9)");
}

TEST(SaveWorldCheck, ReadingFillsTheRecordOnlyWhenBothChecksPass)
{
    const SaveWorldShape world = SmallWorld();
    const std::vector<std::uint8_t> good = EncodeSaveFile(GoodRecord());
    SaveRecord record;
    ASSERT_TRUE(ReadSaveFile(good, world, &record, nullptr));
    EXPECT_EQ(record, GoodRecord());

    // Every single-bit flip of a byte that names the screen or a variable, or counts the items,
    // is refused: a file that lists every variable cannot name one twice unnoticed.
    const std::size_t screenAt = record.title.size() + 1;
    const std::size_t variablesAt = screenAt + 6;
    const std::size_t itemsAt = variablesAt + 3 * record.variables.size() + 1;
    ASSERT_EQ(good.size(), itemsAt + record.items.size());
    std::vector<std::size_t> naming = {screenAt, screenAt + 1, variablesAt - 2, variablesAt - 1};
    for (std::size_t v = 0; v < record.variables.size(); ++v) {
        naming.push_back(variablesAt + 3 * v);
        naming.push_back(variablesAt + 3 * v + 1);
    }
    naming.push_back(itemsAt - 1);
    for (std::size_t at : naming) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<std::uint8_t> flipped = good;
            flipped[at] ^= static_cast<std::uint8_t>(1u << bit);
            SaveRecord untouched;
            untouched.screen = 4242;
            EXPECT_FALSE(ReadSaveFile(flipped, world, &untouched, nullptr)) << "byte " << at << " bit " << bit;
            EXPECT_EQ(untouched.screen, 4242) << "a refused file leaves the output alone";
        }
    }
}

}  // namespace
