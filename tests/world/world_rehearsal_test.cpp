// Playing the world without showing it: clicks given without the pointer do what the pointer's
// clicks do, rehearsing changes the state and shows and plays nothing, a saved play state is put
// back exactly, and the watcher hears every screen entered and list run.
#include <gtest/gtest.h>

#include <vector>

#include "core/error.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "world/action_codes.h"
#include "world/world_fixture.h"

namespace {

using namespace world_test;

// Screen 6 (flat): a move to screen 7 at x 0 .. 300, a hotspot at 301 .. 600 whose click sets
// variable 8 and whose use of item 1 sets variable 7. Item 1 is in the bar, its close-up 10001.
class WorldRehearsal : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        const char* picture = Keep(Solid("item.png", 8, 8, kYellow));
        world->AddItem(1, picture, picture, picture, picture, picture, L"nothing/item.wav", 8, 8, 0, 0, 0, 10001);
        world->ActivateItem(1);
        for (int v : {7, 8}) world->AddGlobalVar(v, 0);
        AddScreen(10001, 0, kGreen);
        AddScreen(7, 0, kRed);
        WorldScreen* flat = AddScreen(6, 0, kBlue);
        flat->QHS_StandardMove(0, 0, 300, 512, 7);
        WorldHotspot* use = flat->AddHotspot(301, 0, 600, 512, 1);
        Sets(use->AddActionlist(false, 1), 7);
        Sets(use->AddActionlist(true, 0), 8);
        world->TransportToScreen(6);
    }
    static void Sets(WorldActionlist* list, int var)
    {
        WorldAction* set = list->addAction(ACT_SetVar);
        set->addParam(0, static_cast<float>(var));
        set->addParam(1, 1);
    }
};

TEST_F(WorldRehearsal, ClicksWithoutThePointerDoWhatThePointersClicksDo)
{
    EXPECT_FALSE(world->ClickPicture(800, 200)) << "no hotspot there";
    EXPECT_TRUE(world->ClickPicture(450, 200));
    EXPECT_EQ(world->getGlobalVarValue(8), 1) << "a click with nothing held runs the click list";
    EXPECT_EQ(world->getGlobalVarValue(7), 0);

    EXPECT_FALSE(world->ClickBarItem(2)) << "not in the bar";
    ASSERT_TRUE(world->ClickBarItem(1));
    EXPECT_EQ(world->get_CursorItem(), 1);
    EXPECT_TRUE(world->get_Inventory()->get_ActiveItems().empty()) << "the held item leaves the bar";
    EXPECT_FALSE(world->ExamineBarItem(1)) << "nothing to examine while an item is held";
    world->ClickPicture(450, 200);
    EXPECT_EQ(world->getGlobalVarValue(7), 1) << "the item's use list";
    world->RightClick();
    EXPECT_EQ(world->get_CursorItem(), 0);
    EXPECT_EQ(world->get_Inventory()->get_ActiveItems().size(), 1u) << "a right click puts it back";

    ASSERT_TRUE(world->ExamineBarItem(1));
    EXPECT_EQ(world->get_ScreenPosition(), 10001);
    EXPECT_TRUE(world->get_ScreenIsInventory());
    EXPECT_FALSE(world->ClickBarItem(1)) << "the bar cannot be used on a close-up";
    world->RightClick();
    EXPECT_FALSE(world->get_ScreenIsInventory());
    EXPECT_EQ(world->get_ScreenPosition(), 6) << "the close-up closes back where it was opened";

    WorldActionlist* hide = world->AddSharedActionlist(true, 0);
    hide->addAction(ACT_HideInventory)->addParam(0, 1);
    world->ExcuteActionList(hide);
    EXPECT_FALSE(world->ClickBarItem(1)) << "a hidden bar cannot be clicked";
    EXPECT_FALSE(world->ExamineBarItem(1));
}

TEST_F(WorldRehearsal, RehearsingChangesTheStateAndShowsAndPlaysNothing)
{
    WorldActionlist* scene = world->AddSharedActionlist(true, 0);
    scene->addAction(ACT_PlaySound)->addParamObject(0, L"nothing/knock.wav");
    scene->addAction(ACT_PlayVideo)->addParamObject(0, L"nothing/film.wmv");
    scene->addAction(ACT_Wait)->addParam(0, 5000);
    scene->addAction(ACT_GotoScreen)->addParam(0, 7);
    Sets(scene, 8);

    world->set_Rehearsing(true);
    const std::uint64_t frames = world->get_FramesPresented();
    const std::uint32_t before = timeGetTime();
    world->ExcuteActionList(scene);
    EXPECT_EQ(world->get_ScreenPosition(), 7);
    EXPECT_EQ(world->getGlobalVarValue(8), 1);
    EXPECT_EQ(world->get_FramesPresented(), frames) << "no frame drawn";
    EXPECT_EQ(timeGetTime(), before) << "no wait";
    EXPECT_TRUE(video.played.empty()) << "no film";
    EXPECT_EQ(sounds.get_SoundCount(), 0u) << "no sound";

    // A parameter fault is still an error.
    WorldActionlist* broken = world->AddSharedActionlist(true, 0);
    broken->addAction(ACT_PlayVideo);
    EXPECT_THROW(world->ExcuteActionList(broken), Error);

    world->set_Rehearsing(false);
    world->set_SkipWaits(true);  // the manual clock stands still: a real wait would not end
    world->TransportToScreen(6);
    world->ExcuteActionList(scene);
    EXPECT_EQ(video.played.size(), 1u) << "played again once not rehearsing";
    EXPECT_GT(world->get_FramesPresented(), frames);
}

TEST_F(WorldRehearsal, APlayStateSavedIsPutBackExactly)
{
    world->set_Rehearsing(true);
    const WorldManager::PlayState saved = world->SavePlayState();
    world->ClickPicture(450, 200);
    ASSERT_TRUE(world->ClickBarItem(1));
    WorldActionlist* end = world->AddSharedActionlist(true, 0);
    end->addAction(ACT_HideInventory)->addParam(0, 1);
    end->addAction(ACT_EndGame)->addParam(0, 1);
    world->ExcuteActionList(end);
    world->JumpToScreen(10001, 0);
    ASSERT_NE(world->getGlobalVarValue(8), 0);

    world->RestorePlayState(saved);
    EXPECT_EQ(world->getGlobalVarValue(8), 0);
    EXPECT_EQ(world->get_CursorItem(), 0);
    ASSERT_EQ(world->get_Inventory()->get_ActiveItems().size(), 1u);
    EXPECT_EQ(world->get_Inventory()->get_ActiveItems()[0]->get_Number(), 1);
    EXPECT_EQ(world->get_ScreenPosition(), 6);
    EXPECT_EQ(world->get_Screen(), world->getWorldScreen(6));
    EXPECT_FALSE(world->get_HideInventory());
    EXPECT_FALSE(world->get_EndGameMode());
    EXPECT_FALSE(world->SavePlayState().creditsDue);
    const WorldManager::PlayState again = world->SavePlayState();
    EXPECT_EQ(again.vars, saved.vars);
    EXPECT_EQ(again.bar, saved.bar);
    EXPECT_EQ(again.standingScreen, saved.standingScreen);
}

class Recorder : public WorldManager::Watcher {
public:
    void ScreenEntered(int number) override { screens.push_back(number); }
    void ListRun(const WorldActionlist& list) override { lists.push_back(&list); }
    std::vector<int> screens;
    std::vector<const WorldActionlist*> lists;
};

TEST_F(WorldRehearsal, TheWatcherHearsEachScreenEnteredAndListRun)
{
    WorldActionlist* entry = world->getWorldScreen(7)->AddPreActionList();
    Sets(entry, 7);
    Recorder recorder;
    world->set_Watcher(&recorder);
    world->set_Rehearsing(true);
    world->ClickPicture(100, 200);  // the move to 7, whose entry list runs
    world->ExamineBarItem(1);
    world->set_Watcher(nullptr);
    world->RightClick();
    EXPECT_EQ(recorder.screens, (std::vector<int>{7, 10001}));
    ASSERT_EQ(recorder.lists.size(), 2u);
    EXPECT_EQ(recorder.lists[0], world->getWorldScreen(6)->GetHotspot(0)->GetActionlist(0));
    EXPECT_EQ(recorder.lists[1], entry);
}

}  // namespace
