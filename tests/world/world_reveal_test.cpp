// The reveal: while the player holds the reveal key, the view marks every hotspot whose
// condition holds, bright where a click runs something now and faint where it has done all it
// can, placed on the part of the hotspot the view shows, round the panorama too; nothing while
// the key is up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "display/hotspot_marks.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/world_fixture.h"

namespace {

using namespace world_test;

class WorldRevealTest : public WorldTest {
protected:
    // How far the pixel's colour lies from the ring's gold, summed over the channels.
    static int FromGold(std::uint32_t p)
    {
        return std::abs(static_cast<int>((p >> 16) & 0xFF) - 0xED) + std::abs(static_cast<int>((p >> 8) & 0xFF) - 0xB4) +
               std::abs(static_cast<int>(p & 0xFF) - 0x69);
    }
    // Pixels near the ring's gold within a box round screen pixel (x, y), after one frame.
    int GoldAround(const std::vector<std::uint32_t>& pixels, int x, int y) const
    {
        int gold = 0;
        for (int dy = -HotspotMarks::kSize / 2; dy <= HotspotMarks::kSize / 2; ++dy)
            for (int dx = -HotspotMarks::kSize / 2; dx <= HotspotMarks::kSize / 2; ++dx)
                if (FromGold(kt::PixelAt(pixels, x + dx, y + dy)) < 60) ++gold;
        return gold;
    }
};

}  // namespace

TEST_F(WorldRevealTest, MarksWhatReactsNowBrightWhatIsUsedUpFaintAndNothingWhoseConditionFails)
{
    WorldScreen* room = AddScreen(0, WorldScreen::kFlat, kBlue);
    AddScreen(1, WorldScreen::kFlat, kBlack);
    world->AddGlobalVar(1, 0);  // the drawer: 0 shut, 1 open
    world->AddGlobalVar(2, 0);  // the catch heard: 0 not yet
    // A door to another room: always reacts.
    room->AddHotspot(0, 0, 255, 511)->AddActionlist(true, 0)->addAction(ACT_GotoScreen)->addParam(0, 1.0f);
    // The drawer: opens once, then has nothing more to do.
    WorldActionlist* open = room->AddHotspot(512, 100, 767, 299)->AddActionlist(true, 0);
    for (int token : {int{CT_Var}, 1, int{CT_Equal}, int{CT_Value}, 0}) open->addCondition(token);
    open->addAction(ACT_SetVar)->addParam(0, 1.0f);
    open->getAction(0)->addParam(1, 1.0f);
    // A catch found by ear: there only once its sound was heard.
    WorldHotspot* hidden = room->AddHotspot(800, 400, 1023, 511);
    for (int token : {int{CT_Var}, 2, int{CT_Equal}, int{CT_Value}, 1}) hidden->addCondition(token);
    hidden->AddActionlist(true, 0)->addAction(ACT_GotoScreen)->addParam(0, 1.0f);
    world->TransportToScreen(0);
    PointAt(400, 560);

    std::vector<WorldManager::RevealMark> marks = world->RevealMarks();
    ASSERT_EQ(marks.size(), 2u) << "the catch is not shown before its cue";
    EXPECT_EQ(marks[0].hotspot, 0);
    EXPECT_EQ(marks[0].x, 100);   // picture 0..255 of 1024 is screen 0..199
    EXPECT_EQ(marks[0].y, 300);   // the whole height: the view's middle
    EXPECT_TRUE(marks[0].reacts);
    EXPECT_EQ(marks[1].hotspot, 1);
    EXPECT_EQ(marks[1].x, 500);
    EXPECT_NEAR(marks[1].y, 100 + 200 * 400 / 512, 1);  // picture rows 100..299 of 512
    EXPECT_TRUE(marks[1].reacts);

    // Nothing is drawn while the key is up; held, each mark is drawn where it says.
    world->Render();
    const std::vector<std::uint32_t> up = kt::ReadBack();
    EXPECT_EQ(GoldAround(up, 100, 300) + GoldAround(up, 500, marks[1].y), 0);
    world->set_Reveal(true);
    world->Render();
    const std::vector<std::uint32_t> held = kt::ReadBack();
    const int doorGold = GoldAround(held, 100, 300);
    EXPECT_GT(doorGold, 40) << "a bright ring on the door";
    EXPECT_GT(GoldAround(held, 500, marks[1].y), 40);
    EXPECT_EQ(GoldAround(held, 300, 300), 0) << "nothing between the marks";

    // The drawer opened: its mark stays, faint; the catch heard: its mark appears.
    world->setGlobalVarValue(1, 1);
    world->setGlobalVarValue(2, 1);
    marks = world->RevealMarks();
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_FALSE(marks[1].reacts) << "the drawer has done all it can";
    EXPECT_TRUE(marks[2].reacts);
    world->Render();
    const std::vector<std::uint32_t> later = kt::ReadBack();
    EXPECT_LT(GoldAround(later, 500, marks[1].y), doorGold / 2) << "faint";
    EXPECT_GT(GoldAround(later, marks[2].x, marks[2].y), 40);
    world->set_Reveal(false);
    world->Render();
    EXPECT_EQ(GoldAround(kt::ReadBack(), 100, 300), 0) << "gone when the key is let go";
}

TEST_F(WorldRevealTest, OnAPanoramaAMarkSitsOnThePartInViewRoundTheSeamAndNoneForWhatIsBehind)
{
    WorldScreen* round = AddScreen(0, WorldScreen::kPanorama, kBlue);
    AddScreen(1, WorldScreen::kFlat, kBlack);
    const auto exitAt = [&](int x1, int x2) {
        round->AddHotspot(x1, 0, x2, 511)->AddActionlist(true, 0)->addAction(ACT_GotoScreen)->addParam(0, 1.0f);
    };
    exitAt(1000, 1100);  // behind at the start
    exitAt(1900, 2200);  // across the seam: 1900..2047 and 0..151
    exitAt(100, 200);
    exitAt(300, 500);    // half in view at the start
    world->TransportToScreen(0);

    // Facing the seam: the view shows picture columns 1648..2047 and 0..399, as the pointer
    // maps them; each mark is on the part of its hotspot in view.
    world->set_Rotation(0.0f);
    std::vector<WorldManager::RevealMark> marks = world->RevealMarks();
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].hotspot, 1);
    EXPECT_NEAR(marks[0].x, (1900 + 2200) / 2 - 1648, 1);
    EXPECT_EQ(marks[1].hotspot, 2);
    EXPECT_NEAR(marks[1].x, 150 + 2048 - 1648, 1);
    EXPECT_EQ(marks[2].hotspot, 3);
    EXPECT_NEAR(marks[2].x, (300 + 2048 - 1648 + 799) / 2, 1) << "the middle of the part in view";

    // Half a turn on (columns 624..1423): only the exit that was behind.
    const float pi = 3.1415927f;
    world->set_Rotation(-pi);
    marks = world->RevealMarks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].hotspot, 0);
    EXPECT_NEAR(marks[0].x, 1050 - 624, 1);
}
