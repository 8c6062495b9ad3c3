// The world's records: hotspot rectangles, action-list selection, the shapes that the
// construction shortcuts build, and typed action parameters.
#include <gtest/gtest.h>

#include "core/error.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/world_screen.h"

TEST(WorldHotspot, CheckIncludesEdgesOnly)
{
    WorldHotspot h(10, 20, 30, 40);
    EXPECT_TRUE(h.Check(10, 20) && h.Check(30, 40) && h.Check(20, 30));
    EXPECT_FALSE(h.Check(31, 40));
    EXPECT_FALSE(h.Check(30, 41));
    EXPECT_FALSE(h.Check(9, 20));
}

TEST(WorldHotspot, GetActionlistAppendsEveryMatchInOrder)
{
    WorldHotspot h(0, 0, 10, 10);
    WorldActionlist* first = h.AddActionlist(true, 0);
    WorldActionlist* item = h.AddActionlist(false, 5);
    WorldActionlist shared(true, 0);
    h.AddActionlist(&shared);
    std::vector<WorldActionlist*> out{item};
    h.getActionlist(true, 0, out);
    EXPECT_EQ(out, (std::vector<WorldActionlist*>{item, first, &shared}));
    out.clear();
    h.getActionlist(false, 4, out);
    EXPECT_TRUE(out.empty());
}

TEST(WorldHotspot, VarDependantLocationLeadsByAVariable)
{
    WorldHotspot h(0, 0, 1, 1);
    h.addVarDependantLocation(7, 2, 300, 301);
    h.addVarDependantLocation(8, 1, 302);
    ASSERT_EQ(h.get_ActionlistCount(), 3);
    EXPECT_EQ(h.GetActionlist(0)->get_Conditions(), (std::vector<int>{CT_Var, 7, CT_Equal, CT_Value, 2}));
    EXPECT_EQ(h.GetActionlist(1)->get_Conditions(), (std::vector<int>{CT_Var, 7, CT_NotEqual, CT_Value, 2}));
    EXPECT_EQ(h.GetActionlist(1)->getAction(0)->getParamValue(0), 301.0f);
    EXPECT_EQ(h.GetActionlist(2)->getAction(0)->getParamValue(0), 302.0f);
}

TEST(WorldScreen, StandardMoveShape)
{
    WorldScreen s(1, 1, "data/a.enc");
    WorldAction* move = s.QHS_StandardMove(10, 20, 30, 40, 12);
    s.QHS_StandardMove(0, 0, 150, 512, 13, 2);
    ASSERT_EQ(s.get_HotspotCount(), 2);
    WorldHotspot* h = s.GetHotspot(0);
    EXPECT_EQ(h->get_Cursor(), 1);
    EXPECT_TRUE(h->get_SimpleMove());
    EXPECT_EQ(s.GetHotspot(1)->get_Cursor(), 2);
    ASSERT_EQ(h->get_ActionlistCount(), 1);
    WorldActionlist* list = h->GetActionlist(0);
    EXPECT_TRUE(list->get_Type());
    ASSERT_EQ(list->get_ActionNumber(), 1);
    EXPECT_EQ(list->getAction(0), move) << "the returned action is the list's";
    EXPECT_EQ(move->get_Type(), ACT_GotoScreen);
    ASSERT_EQ(move->get_ParamCount(), 1);
    EXPECT_EQ(move->getParamType(0), 0);
    EXPECT_EQ(move->getParamValue(0), 12.0f);
}

TEST(WorldScreen, CodeKeyShape)
{
    WorldScreen s(1, 0, 4, "data/a.enc");
    const wchar_t* sound = L"data/click.wav";
    WorldActionlist* list = s.AddCodeKey(530, 111, 67, 66, 100, 1, 0, 0, "data/strip.enc", 7, sound);
    ASSERT_EQ(s.get_OverlayCountArray(), 1);
    const WorldOverlayArray* strip = s.GetOverlayArray(0);
    EXPECT_EQ((std::vector<int>{strip->get_X(), strip->get_Y(), strip->get_W(), strip->get_H(),
                                strip->get_VarDependant(), strip->get_Offset()}),
              (std::vector<int>{530, 111, 67, 66, 100, 7}));
    ASSERT_EQ(s.get_HotspotCount(), 1);
    const WorldHotspot* h = s.GetHotspot(0);
    EXPECT_EQ((std::vector<int>{h->get_X1(), h->get_Y1(), h->get_X2(), h->get_Y2(), h->get_Cursor()}),
              (std::vector<int>{530, 111, 597, 177, 1}));
    EXPECT_FALSE(h->get_SimpleMove());
    EXPECT_EQ(h->GetActionlist(0), list);

    ASSERT_EQ(list->get_ActionNumber(), 3);
    EXPECT_EQ(list->getAction(0)->get_Type(), ACT_PlaySound);
    EXPECT_EQ(list->getAction(0)->getParamPath(0), sound);
    const WorldAction* click = list->getAction(1);
    EXPECT_EQ(click->get_Type(), ACT_ClickArray);
    ASSERT_EQ(click->get_ParamCount(), 3);
    EXPECT_EQ(click->getParamType(2), 2);
    EXPECT_EQ(click->getParamValue(0), 1.0f) << "grid 1";
    const WorldAction* reload = list->getAction(2);
    EXPECT_EQ(reload->get_Type(), ACT_ReloadScreen);
    EXPECT_EQ(reload->getParamValue(0), 0.0f) << "an instant switch";
}

TEST(WorldAction, ParametersKeepTheirKind)
{
    WorldAction a(ACT_PlayVideo);
    a.addParamObject(0, L"data//FMV//a.wmv");
    a.addParam(1, 2.5f);
    a.addParamObject(5, static_cast<SubtitleItem*>(nullptr));
    EXPECT_STREQ(a.getParamPath(0), L"data//FMV//a.wmv");
    EXPECT_EQ(a.getParamValue(1), 2.5f);
    EXPECT_EQ(a.getParamSubtitles(2), nullptr);
    EXPECT_THROW(a.getParamPath(1), Error) << "a number where a path is expected";
    EXPECT_THROW(a.getParamValue(0), Error);
    EXPECT_THROW(a.getParamValue(3), Error) << "no such parameter";

    EXPECT_EQ(TruncateParam(-2.9f), -2);
    EXPECT_EQ(TruncateParam(3e9f), 2147483647) << "saturated, not undefined";
    EXPECT_EQ(TruncateParam(std::numeric_limits<float>::quiet_NaN()), 0);
}
