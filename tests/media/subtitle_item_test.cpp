// Subtitle lists and the subtitle drawing.
#include "media/subtitle_item.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/cd3dfont.h"

namespace {

// The drawing is written for the game's bitmap font: it must compile against it.
[[maybe_unused]] constexpr auto kDrawWithGameFont = &subtitles::DrawLine<CD3DFont>;

TEST(SubtitleItem, LineShowsAfterItsTimeUntilTheNextEntryInclusive)
{
    SubtitleItem item;
    item.Add(0, "");
    item.Add(2000, "A");
    item.Add(3800, "B");
    item.Add(6000, "");
    const std::pair<std::uint32_t, std::string> expected[] = {
        {1500, ""}, {2000, ""}, {2001, "A"}, {3800, "A"}, {3801, "B"}, {6000, "B"}, {6001, ""}, {99999, ""}};
    for (const auto& [time, line] : expected) EXPECT_EQ(std::string(item.Get(time)), line) << "at " << time;
}

TEST(SubtitleItem, EmptyListAndTimesBeforeTheFirstEntryGiveNoLine)
{
    SubtitleItem empty;
    EXPECT_STREQ(empty.Get(0), "");
    EXPECT_STREQ(empty.Get(5000), "");
    SubtitleItem late;
    late.Add(1000, "first");
    late.Add(2000, "second");
    EXPECT_STREQ(late.Get(0), "") << "at the first entry's time";
    EXPECT_STREQ(late.Get(500), "") << "before the first entry";
    EXPECT_STREQ(late.Get(1001), "first");
    EXPECT_STREQ(late.Get(2001), "second");
}

struct RecordingFont {
    struct Call {
        float x, y;
        std::uint32_t colour;
        std::string text;
        std::uint32_t flags;
    };
    std::vector<Call> calls;
    int DrawTextA(float x, float y, std::uint32_t colour, const char* text, std::uint32_t flags)
    {
        calls.push_back({x, y, colour, text, flags});
        return 0;
    }
};

TEST(SubtitleDrawing, ShadowThenColourFilteredAndNothingForEmptyLines)
{
    RecordingFont font;
    subtitles::DrawLine(font, "Hello");
    ASSERT_EQ(font.calls.size(), 2u);
    EXPECT_EQ(font.calls[0].colour, 0xFF000000u) << "the black shadow first";
    EXPECT_EQ(font.calls[0].x, 12.0f);
    EXPECT_EQ(font.calls[0].y, 552.0f);
    EXPECT_EQ(font.calls[1].colour, 0xFFEDB469u) << "then the text colour over it";
    EXPECT_EQ(font.calls[1].x, 10.0f);
    EXPECT_EQ(font.calls[1].y, 550.0f);
    for (const auto& call : font.calls) {
        EXPECT_EQ(call.flags, 8u) << "filtered";
        EXPECT_EQ(call.text, "Hello");
    }
    font.calls.clear();
    subtitles::DrawLine(font, "");
    subtitles::DrawLine(font, nullptr);
    EXPECT_TRUE(font.calls.empty()) << "an empty line draws nothing";
}

TEST(SubtitleDrawing, PlaybackTimeCountsFromTheStartPositionInTheFile)
{
    EXPECT_EQ(subtitles::PlaybackTime(1000, 1500, 2000), 2500u);
    EXPECT_EQ(subtitles::PlaybackTime(0xFFFFFF00u, 0x100u, 0), 0x200u) << "across the clock's wrap";
}

}  // namespace
