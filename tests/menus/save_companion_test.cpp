// The file a save keeps beside it (place, time, checksums, the game's additions) and the slot
// picture made from the view.
#include "menus/save_companion.h"

#include <gtest/gtest.h>

#include "core/error.h"

TEST(SaveCompanionTest, RoundTripsAndPassesOverLinesOfALaterVersion)
{
    SaveCompanion written;
    written.place = "The drowned rooms \xE9";  // Latin-1 as the engine holds it
    written.time = 1796000000;
    written.saveCheck = SaveChecksum({1, 2, 3});
    written.pictureCheck = SaveChecksum({});
    written.extras = {{"hints", "open_gate=2 find_light=1"}, {"journal", ""}};
    const std::string text = EncodeSaveCompanion(written);
    SaveCompanion read;
    std::string why;
    ASSERT_TRUE(ParseSaveCompanion(text, &read, &why)) << why;
    EXPECT_EQ(read, written);

    SaveCompanion later;
    ASSERT_TRUE(ParseSaveCompanion(text + "colour blue\n", &later, &why)) << why;
    EXPECT_EQ(later, written) << "a line this version does not know is passed over";
    EXPECT_NE(SaveChecksum({1, 2, 3}), SaveChecksum({1, 2, 4}));
}

TEST(SaveCompanionTest, RefusesWhatIsNoCompanionAndValuesThatWouldBreakTheirLine)
{
    SaveCompanion kept;
    kept.place = "kept";
    const std::string good = EncodeSaveCompanion(SaveCompanion{});
    for (const std::string& bad : {std::string(), std::string("not a companion\n"), good.substr(0, good.size() - 1),
                                   good + "time soon\n", good + "extra \n"}) {
        std::string why;
        EXPECT_FALSE(ParseSaveCompanion(bad, &kept, &why)) << bad;
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(kept.place, "kept") << "a refused text changes nothing";
    }
    SaveCompanion broken;
    broken.extras["journal"] = "one\ntwo";
    EXPECT_THROW(EncodeSaveCompanion(broken), Error);
    broken.extras = {{"two words", "x"}};
    EXPECT_THROW(EncodeSaveCompanion(broken), Error);
    broken.extras.clear();
    broken.place = "a\rb";
    EXPECT_THROW(EncodeSaveCompanion(broken), Error);
}

TEST(SaveCompanionTest, TheTimeReadsAsDigitsAndNothingForAnUnknownTime)
{
    EXPECT_EQ(SaveTimeText(0), "");
    const std::string text = SaveTimeText(1796000000);
    ASSERT_EQ(text.size(), 16u) << text;
    EXPECT_EQ(text.substr(0, 4), "2026");
    EXPECT_EQ(text.find_first_not_of("0123456789- :"), std::string::npos) << text;
}

TEST(SaveCompanionTest, TheSlotPictureIsTheMeanOfTheRowsItCovers)
{
    // 240 x 200: rows 0-39 white (cut off), rows 40-159 left half red, right half blue.
    const int width = 240, height = 200;
    std::vector<std::uint32_t> view(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    for (int y = 40; y < 160; ++y)
        for (int x = 0; x < width; ++x) view[static_cast<std::size_t>(y) * width + x] = x < width / 2 ? 0xFFFF0000u : 0xFF0000FFu;
    view[static_cast<std::size_t>(40) * width] = 0xFF000000u;  // one dark pixel in the first picture pixel
    const std::vector<std::uint32_t> picture = ShrinkToSlotPicture(view, width, height, 40, 160);
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kSlotPictureWidth * kSlotPictureHeight));
    EXPECT_EQ(picture[0], 0xFFBF0000u) << "four view pixels, one of them black";
    EXPECT_EQ(picture[1], 0xFFFF0000u);
    EXPECT_EQ(picture[kSlotPictureWidth - 1], 0xFF0000FFu);
    EXPECT_EQ(picture.back(), 0xFF0000FFu) << "the white rows outside the band play no part";

    EXPECT_TRUE(ShrinkToSlotPicture(view, width, height, 150, 200).empty()) << "fewer rows than the picture";
    EXPECT_TRUE(ShrinkToSlotPicture(view, width, height, 0, 201).empty()) << "rows past the picture";
    EXPECT_TRUE(ShrinkToSlotPicture({}, width, height, 0, 100).empty()) << "no pixels";
}
