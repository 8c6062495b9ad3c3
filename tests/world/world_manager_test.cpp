// WorldManager's model half: lookups by number, variables, conditions on the world's own
// variables and grids, and the actions that change state without moving the view.
#include "world/world_fixture.h"

#include "core/error.h"
#include "display/world_inventory.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"

using namespace world_test;

TEST_F(WorldTest, LookupsTakeTheFirstMatchElseTheLast)
{
    EXPECT_EQ(world->getWorldScreen(7), nullptr) << "no screens: no screen";
    EXPECT_EQ(world->getGlobalVarValue(1), 0) << "no variables: 0, not a crash";
    AddScreen(1, 0, kRed);
    WorldScreen* firstSeven = AddScreen(7, 0, kRed);
    WorldScreen* lastSeven = AddScreen(7, 1, kRed);
    EXPECT_EQ(world->getWorldScreen(7), firstSeven);
    EXPECT_EQ(world->getWorldScreen(8), lastSeven);

    world->AddGlobalVar(1, 4);
    world->AddGlobalVar(2, 9);
    world->AddGlobalVar(1, 5);
    EXPECT_EQ(world->getGlobalVarValue(1), 4);
    world->setGlobalVarValue(99, 3);
    EXPECT_EQ(world->getGlobalVarValue(99), 5) << "an unknown number reads the last variable, unchanged";
    world->getGlobalVar(2)->set_Value(200);
    EXPECT_EQ(world->getGlobalVarValue(2), -56);
    world->setGlobalVarValue(1, -1);
    EXPECT_EQ(world->getGlobalVar(1)->get_Value(), 255);
}

TEST_F(WorldTest, ConditionsReadVariablesAndGrids)
{
    world->AddGlobalVar(3, 3);
    WorldGlobalVarArray* grid = world->AddGlobalVarArray(7, 400, 5, 1, 4);
    EXPECT_EQ(world->getGlobalVarArray(7), grid);
    EXPECT_EQ(world->getGlobalVarArray(8), nullptr);
    EXPECT_EQ(world->get_GlobalVars().size(), 6u) << "cells join the variable list";
    const int values[] = {3, 2, 1, 4, 0};
    for (int x = 0; x < 5; ++x) world->setGlobalVarValue(400 + x, static_cast<signed char>(values[x]));

    const int total[] = {CT_ArrayTotal, 7, CT_Equal, CT_Value, 538};
    EXPECT_TRUE(world->TestConditionList(total, 5));
    const int notAll[] = {CT_ArrayNotAllChecked, 7};
    EXPECT_TRUE(world->TestConditionList(notAll, 2)) << "one cell is 0";
    const int unknown[] = {CT_ArrayTotal, 9, CT_Equal, CT_Value, 0};
    EXPECT_THROW(world->TestConditionList(unknown, 5), Error) << "a grid the world does not define";

    WorldHotspot hotspot(0, 0, 1, 1);
    EXPECT_TRUE(world->TestConditionList(&hotspot)) << "no tokens: always";
    for (int t : {int{CT_Var}, 3, int{CT_Equal}, int{CT_Value}, 3}) hotspot.addCondition(t);
    EXPECT_TRUE(world->TestConditionList(&hotspot));
    world->setGlobalVarValue(3, 2);
    EXPECT_FALSE(world->TestConditionList(&hotspot));
}

TEST_F(WorldTest, SetVarSetsTogglesAndCopies)
{
    world->AddGlobalVar(6, 0);
    world->AddGlobalVar(7, 5);
    WorldActionlist* toggle = List();
    WorldAction* a = toggle->addAction(ACT_SetVar);
    a->addParam(0, 6);
    a->addParam(2, 0);
    world->ExcuteActionList(toggle);
    EXPECT_EQ(world->getGlobalVarValue(6), 1);
    world->ExcuteActionList(toggle);
    EXPECT_EQ(world->getGlobalVarValue(6), 0);

    WorldActionlist* copy = List();
    WorldAction* c = copy->addAction(ACT_SetVar);
    c->addParam(0, 6.9f);  // truncated to 6
    c->addParam(1, 1);
    c->addParam(3, 7);
    world->ExcuteActionList(copy);
    EXPECT_EQ(world->getGlobalVarValue(6), 5) << "the later copy replaces the value";
}

TEST_F(WorldTest, SmallActionsChangeTheirState)
{
    WorldGlobalVarArray* grid = world->AddGlobalVarArray(0, 300, 3, 3, 1);
    WorldActionlist* list = List();
    list->addAction(ACT_HideCursor)->addParam(0, 1);
    list->addAction(ACT_HideInventory)->addParam(3, 2);  // the first parameter, whatever its type
    list->addAction(ACT_EndGame);
    list->addAction(ACT_ClickArray);  // grid 0, cell (1, 1)
    list->addAction(ACT_PlaySong)->addParam(0, -999);
    list->addAction(99);  // unknown codes do nothing
    world->ExcuteActionList(list);
    EXPECT_TRUE(world->get_HideCursor());
    EXPECT_TRUE(world->get_HideInventory());
    EXPECT_TRUE(world->get_EndGameMode());
    EXPECT_EQ(grid->get_Total(), 16);
    EXPECT_EQ(music.get_Current(), MusicManager::kNoSong);
}

TEST_F(WorldTest, PlayVideoHandsTheClipToThePlayer)
{
    SubtitleItem subtitles;
    WorldActionlist* list = List();
    WorldAction* clip = list->addAction(ACT_PlayVideo);
    clip->addParamObject(0, L"data//FMV//a.wmv");
    clip->addParam(2, 9000);
    clip->addParam(4, 0);  // present: full screen, whatever its value
    clip->addParamObject(5, &subtitles);
    clip->addParam(1, 1500);
    list->addAction(ACT_PlayVideo)->addParamObject(0, L"data//FMV//b.wmv");
    world->ExcuteActionList(list);
    ASSERT_EQ(video.played.size(), 2u);
    const FakeVideoPlayer::Clip& a = video.played[0];
    EXPECT_EQ(a.path, L"data//FMV//a.wmv");
    EXPECT_EQ(a.start, 1500);
    EXPECT_EQ(a.stop, 9000);
    EXPECT_TRUE(a.fullFrame);
    EXPECT_EQ(a.subtitles, &subtitles);
    const FakeVideoPlayer::Clip& b = video.played[1];
    EXPECT_EQ(b.start + b.stop, 0) << "defaults: from the start to the end";
    EXPECT_FALSE(b.fullFrame);
    EXPECT_EQ(b.subtitles, nullptr);
}

TEST_F(WorldTest, AuthoringFaultsRaiseErrorsNamingScreenAndAction)
{
    AddScreen(42, 0, kRed);
    world->TransportToScreen(42);
    WorldActionlist* grid = List();
    grid->addAction(ACT_ClickArray)->addParam(0, 5);
    try {
        world->ExcuteActionList(grid);
        FAIL() << "a grid that does not exist must raise";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("grid 5"), std::string::npos) << e.what();
        EXPECT_NE(ToErrorScreenText(FailSafe::Info).find("screen 42, action code 11"), std::string::npos);
    }

    // Giving or showing an item the world does not define: the same named fault for both.
    for (int code : {ACT_ActivateItem, ACT_ShowItem}) {
        WorldActionlist* undefined = List();
        undefined->addAction(code)->addParam(0, 9);
        try {
            world->ExcuteActionList(undefined);
            ADD_FAILURE() << "code " << code << " with an item that does not exist must raise";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("item 9 is not defined"), std::string::npos) << e.what();
            EXPECT_NE(ToErrorScreenText(FailSafe::Info).find("screen 42, action code " + std::to_string(code)),
                      std::string::npos);
        }
    }
    EXPECT_TRUE(world->get_Inventory()->get_ActiveItems().empty());
    EXPECT_EQ(world->get_ScreenPosition(), 42) << "no close-up was opened";

    WorldActionlist* numberAsPath = List();
    numberAsPath->addAction(ACT_PlaySound)->addParam(0, 3.0f);
    EXPECT_THROW(world->ExcuteActionList(numberAsPath), Error);
    WorldActionlist* pathAsNumber = List();
    pathAsNumber->addAction(ACT_GotoScreen)->addParamObject(0, L"data/a.wav");
    EXPECT_THROW(world->ExcuteActionList(pathAsNumber), Error);
    for (int code : {ACT_ActivateItem, ACT_ShowItem, ACT_HideCursor, ACT_HideInventory, ACT_PlaySound}) {
        WorldActionlist* missing = List();
        missing->addAction(code);
        EXPECT_THROW(world->ExcuteActionList(missing), Error) << "code " << code << " without its first parameter";
    }
    WorldActionlist* video = List();
    video->addAction(ACT_PlayVideo)->addParam(1, 10);
    EXPECT_THROW(world->ExcuteActionList(video), Error) << "a video action without a file";
}

TEST_F(WorldTest, AmbientSoundsActivateEveryNumberMatch)
{
    world->AddRepetiveSound(4, L"nothing/a.wav");
    world->AddRepetiveSound(4, L"nothing/b.wav");
    world->AddRepetiveSound(5, L"nothing/c.wav");
    WorldActionlist* list = List();
    WorldAction* start = list->addAction(ACT_StartRepetiveSound);
    start->addParam(0, 4);
    start->addParam(1, 2000);
    start->addParam(2, 2001);
    world->ExcuteActionList(list);
    const auto& ambient = world->get_RepetiveSounds();
    const std::uint32_t now = timeGetTime();
    EXPECT_TRUE(ambient[0]->get_Active() && ambient[1]->get_Active());
    EXPECT_LE(ambient[1]->get_RestartTime() - now, 2000u);
    EXPECT_FALSE(ambient[2]->get_Active());
    // An active sound only takes the new bounds: the smaller maximum pulls its start forward.
    world->ActivateRepetiveSound(4, 10, 20);
    EXPECT_LE(ambient[0]->get_RestartTime() - now, 20u);
    world->DeactivateRepetiveSound(4);
    EXPECT_FALSE(ambient[0]->get_Active() || ambient[1]->get_Active());
}
