// Rules of the world runtime that scripts and the player rely on: reloading a screen, the
// ticking ambient sound of the close-up with the built-in effect, pointer resets and absent
// go-to parameters, end-game mode across screen changes, the bar and top menu while an item is
// held, a close-up left by its own script, turning time after actions, ambient-sound defaults
// and the music around films.
#include "world/world_fixture.h"

#include <chrono>
#include <thread>

#include "core/error.h"
#include "display/display_screen.h"
#include "display/world_inventory.h"
#include "media/repetive_sound.h"
#include "platform/media/media_writer.h"
#include "world/action_codes.h"

using namespace world_test;

namespace {

int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
int Red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }

// Adds "toggle variable `var`" to a list.
void TogglesVar(WorldActionlist* list, int var)
{
    WorldAction* toggle = list->addAction(ACT_SetVar);
    toggle->addParam(0, static_cast<float>(var));
    toggle->addParam(2, 0);
}

class WorldRules : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        for (int v = 1; v <= 9; ++v) world->AddGlobalVar(v, 0);
    }
    // The ambient sound numbered `number` (the first one).
    RepetiveSound* Ambient(int number)
    {
        for (const auto& sound : world->get_RepetiveSounds())
            if (sound->get_Number() == number) return sound.get();
        return nullptr;
    }
    // How long after now the sound will start again once it has played: a draw from its
    // current bounds, min to max - 1 milliseconds.
    int NextPause(RepetiveSound* sound)
    {
        sound->Play();
        return static_cast<int>(sound->get_RestartTime() - timeGetTime());
    }
};

}  // namespace

TEST_F(WorldRules, ReloadRebuildsThePictureFromTheVariablesAndRunsTheEntryListsAgain)
{
    WorldScreen* room = AddScreen(7, 0, kBlue);
    room->AddOverwriteBaseImage(1, 1, Keep(Solid("red.png", 16, 8, kRed)));
    TogglesVar(room->AddPreActionList(), 2);
    world->JumpToScreen(7, 0);
    EXPECT_EQ(world->getGlobalVarValue(2), 1);
    EXPECT_LT(Red(ViewCentre()), 16);

    world->setGlobalVarValue(1, 1);
    world->set_Rotation(0.75f);
    WorldActionlist* reload = List();
    WorldAction* action = reload->addAction(ACT_ReloadScreen);
    action->addParam(0, 0);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(reload); }), 1) << "one loading frame and none after";
    EXPECT_EQ(world->get_Cursor(), WorldManager::kCursorLoading);
    EXPECT_EQ(world->get_ScreenPosition(), 7);
    EXPECT_EQ(world->getGlobalVarValue(2), 0) << "the entry list ran again";
    EXPECT_GT(Red(ViewCentre()), 240) << "the replacement picture the variable selects";
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 0.75f) << "the current angle is kept";
}

TEST_F(WorldRules, TheBuiltInEffectTicksFasterAsThePointerNearsItsPoint)
{
    world->AddRepetiveSound(4, L"nothing/tick.wav");
    WorldScreen* closeUp = AddScreen(350, 0, kBlue);
    closeUp->set_CustomFunction(1);
    world->TransportToScreen(350);
    RepetiveSound* tick = Ambient(4);
    ASSERT_NE(tick, nullptr);

    PointAt(424, 366);  // on the point: d = 50, so 40 .. 49 ms between ticks
    world->Render();
    EXPECT_TRUE(tick->get_Active());
    for (int i = 0; i < 5; ++i) {
        const int pause = NextPause(tick);
        EXPECT_GE(pause, 40);
        EXPECT_LT(pause, 50);
    }
    PointAt(724, 366);  // 300 pixels away: d = 950
    world->Render();
    for (int i = 0; i < 5; ++i) {
        const int pause = NextPause(tick);
        EXPECT_GE(pause, 940);
        EXPECT_LT(pause, 950);
    }
    world->TransportToScreen(350);
    EXPECT_FALSE(tick->get_Active()) << "a screen change stops it until the next frame draws";
}

TEST_F(WorldRules, PointerResetsAndAbsentTransitionOrAngle)
{
    AddScreen(1, 0, kBlue);
    AddScreen(2, 0, kGreen);
    world->TransportToScreen(1);
    struct Case {
        int reset;
        int x, y;
    };
    for (const Case c : {Case{2, 100, 300}, Case{3, 400, 300}, Case{0, 100, 200}}) {
        PointAt(100, 200);
        WorldActionlist* go = List();
        WorldAction* action = go->addAction(ACT_GotoScreen);
        action->addParam(0, 2);
        action->addParam(1, 0);
        action->addParam(3, static_cast<float>(c.reset));
        world->ExcuteActionList(go);
        EXPECT_EQ(mouse->get_X(), c.x) << "reset " << c.reset;
        EXPECT_EQ(mouse->get_Y(), c.y) << "reset " << c.reset;
    }

    // A transition of -1 and an angle of -1.0 are absent: a loading frame, the standard
    // cross-fade and the view's own angle.
    world->TransportToScreen(1);
    world->set_Rotation(1.25f);
    WorldActionlist* go = List();
    WorldAction* action = go->addAction(ACT_GotoScreen);
    action->addParam(0, 2);
    action->addParam(1, -1);
    action->addParam(2, -1.0f);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(go); }), 2) << "a loading frame and the frame after";
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 1.25f);
    EXPECT_GT(Blue(ViewCentre()), 200) << "the 600 ms cross-fade has only begun";
}

TEST_F(WorldRules, EndGameModeEndsWithEveryScreenChange)
{
    AddScreen(1, 0, kBlue);
    AddScreen(2, 0, kGreen);
    world->TransportToScreen(1);
    WorldActionlist* end = List();
    end->addAction(ACT_EndGame);
    const std::function<void()> changes[] = {
        [&] { world->JumpToScreen(2, 0); },
        [&] { world->JumpToScreen(1); },
        [&] { world->TransportToScreen(2); },
    };
    for (const auto& change : changes) {
        world->ExcuteActionList(end);
        ASSERT_TRUE(world->get_EndGameMode());
        change();
        EXPECT_FALSE(world->get_EndGameMode());
    }
}

TEST_F(WorldRules, AmbientSoundsStartWithTheirDefaultBounds)
{
    world->AddRepetiveSound(3, L"nothing/wind.wav");
    WorldActionlist* start = List();
    start->addAction(ACT_StartRepetiveSound)->addParam(0, 3);
    world->ExcuteActionList(start);
    RepetiveSound* wind = Ambient(3);
    ASSERT_NE(wind, nullptr);
    EXPECT_TRUE(wind->get_Active());
    EXPECT_LE(wind->get_RestartTime() - timeGetTime(), 100000u);
    EXPECT_EQ(NextPause(wind), 99999) << "99999 to 100000 ms: the pause is always 99999";
}

TEST_F(WorldRules, TurningTimeLeavesOutTheTimeActionsTook)
{
    WorldScreen* pano = AddScreen(5, 1, kBlue);
    pano->AddHotspot(0, 0, 2048, 512)->AddActionlist(true, 0)->addAction(ACT_Wait)->addParam(0, 1000);
    world->TransportToScreen(5);
    PointAt(400, 300);
    world->Run();
    platform::SetClockStepPerPresent(10);  // the wait's frames move the clock on
    Click();
    world->Run();  // the click's wait of a second, then the frame of the click (10 ms)
    platform::SetClockStepPerPresent(0);

    PointAt(0, 300);
    const float before = world->get_DisplayScreen()->GetRotation();
    platform::AdvanceClock(20);
    world->Run();
    EXPECT_NEAR(world->get_DisplayScreen()->GetRotation() - before, 100.0f / 32500.0f * 30.0f, 1e-5f)
        << "only the 30 ms since the actions ended turn the view, not the second they took";
}

class WorldRulesWithItem : public WorldRules {
protected:
    void SetUp() override
    {
        WorldRules::SetUp();
        const char* picture = Keep(Solid("item.png", 8, 8, kYellow));
        world->AddItem(1, picture, picture, picture, picture, picture, L"nothing/item.wav", 8, 8, 0, 0, 0, 10001);
        world->ActivateItem(1);
        WorldScreen* closeUp = AddScreen(10001, 0, kGreen);
        closeUp->QHS_StandardMove(0, 0, 1024, 512, 8);  // the close-up's own way out
        AddScreen(6, 0, kBlue);
        AddScreen(8, 0, kRed);
        world->TransportToScreen(6);
    }
};

TEST_F(WorldRulesWithItem, WithAnItemHeldTheTopMenuShowsAndAnswersAndTheItemStaysHeld)
{
    ClickAt(400, 540);
    ASSERT_EQ(world->get_CursorItem(), 1);
    PointAt(242, 50);
    for (int i = 0; i < 20; ++i) world->Run();
    const std::uint32_t top = kt::PixelAt(kt::ReadBack(), 242, 50);
    EXPECT_GT(Red(top) + Green(top) + Blue(top), 16) << "the top menu is drawn over the black strip";
    EXPECT_EQ(ClickAt(242, 50), WorldManager::kSave) << "its save button answers with the item in the hand";
    EXPECT_EQ(world->get_CursorItem(), 1) << "and the item stays held";
}

// An item used where it has no use gets the world's answer; a plain way on ignores it, and a
// hotspot with a use for it runs that use alone.
TEST_F(WorldRulesWithItem, AnItemOfNoUseGetsTheWorldsAnswerOnlyWhereNothingElseRuns)
{
    WorldActionlist* answer = world->AddSharedActionlist(false, 0);
    answer->addAction(ACT_SetVar)->addParam(0, 7);
    answer->getAction(0)->addParam(1, 1);
    world->set_NoUseList(answer);
    WorldScreen* room = world->getWorldScreen(6);
    WorldHotspot* shelf = room->AddHotspot(0, 0, 300, 511, 1, false);     // takes nothing
    WorldHotspot* lock = room->AddHotspot(700, 0, 1023, 511, 1, false);   // takes item 1
    WorldActionlist* unlock = lock->AddActionlist(false, 1);
    unlock->addAction(ACT_SetVar)->addParam(0, 8);
    unlock->getAction(0)->addParam(1, 1);
    room->QHS_StandardMove(400, 0, 600, 511, 8);                            // a plain way on
    world->TransportToScreen(6);
    const auto use = [&](int x) {
        world->setGlobalVarValue(7, 0);
        ClickAt(400, 540);
        ASSERT_EQ(world->get_CursorItem(), 1);
        ClickAt(x, 300);
        if (world->get_CursorItem() != 0) ClickAt(400, 540);  // back into the bar
    };
    use(100);
    EXPECT_EQ(world->getGlobalVarValue(7), 1) << "the shelf has no use for the item: the world answers";
    use(700);
    EXPECT_EQ(world->getGlobalVarValue(8), 1);
    EXPECT_EQ(world->getGlobalVarValue(7), 0) << "the lock's own use ran, and no answer with it";
    use(400);
    EXPECT_EQ(world->getGlobalVarValue(7), 0) << "a way on says nothing about the item";
    EXPECT_EQ(world->get_ScreenPosition(), 6) << "and does not lead on with an item in the hand";
}

// The pointer on an item in the bar, or on a thing a click would take, shows that item's name
// above it; with an item in the hand, or on a thing that gives nothing, no name is shown.
TEST_F(WorldRulesWithItem, ThePointerNamesTheItemInTheBarAndTheThingAClickTakes)
{
    const char* picture = Keep(Solid("item2.png", 8, 8, kRed));
    world->AddItem(2, picture, picture, picture, picture, picture, L"nothing/item.wav", 8, 8, 0, 0, 0, 10011);
    world->set_ItemTitle(1, "Iron gate key");
    WorldScreen* room = world->getWorldScreen(6);
    WorldHotspot* hook = room->AddHotspot(600, 100, 900, 300, 1, false);
    hook->AddActionlist(true, 0)->addAction(ACT_ActivateItem)->addParam(0, 2);
    room->AddHotspot(100, 100, 300, 300, 1, false)->AddActionlist(true, 0)->addAction(ACT_SetVar)->addParam(0, 7);
    world->TransportToScreen(6);
    // The rows just above the pointer, where its name stands, once the bar has faded in.
    const auto nameRows = [&] {
        for (int i = 0; i < 40; ++i) world->Run();
        std::vector<std::uint32_t> rows;
        const std::vector<std::uint32_t> frame = kt::ReadBack();
        for (int y = 526; y < 556; ++y)
            for (int x = 330; x < 470; ++x) rows.push_back(kt::PixelAt(frame, x, y) & 0xFFFFFF);
        return rows;
    };

    PointAt(400, 560);
    const std::vector<std::uint32_t> named = nameRows();
    EXPECT_EQ(world->get_HoveredItem(), 1) << "the key under the pointer in the bar";
    world->set_ItemTitle(1, "");
    PointAt(700, 560);  // away and back: the picture is drawn again
    world->Run();
    PointAt(400, 560);
    const std::vector<std::uint32_t> unnamed = nameRows();
    int changed = 0;
    for (std::size_t i = 0; i < named.size(); ++i) changed += named[i] != unnamed[i];
    EXPECT_GT(changed, 100) << "its name is drawn above the pointer";

    PointAt(700, 200);
    world->Run();
    EXPECT_EQ(world->get_HoveredItem(), 2) << "the hook gives item 2: the pointer names it";
    EXPECT_EQ(world->ItemTitle(2), "") << "an item without a title has no name to show";
    PointAt(200, 200);
    world->Run();
    EXPECT_EQ(world->get_HoveredItem(), 0) << "a thing that gives nothing names nothing";
    ClickAt(400, 560);
    ASSERT_EQ(world->get_CursorItem(), 1);
    PointAt(700, 200);
    world->Run();
    EXPECT_EQ(world->get_HoveredItem(), 0) << "with the key in the hand the hook's name is not shown";
}

TEST_F(WorldRulesWithItem, ACloseUpLeftByItsOwnScriptStaysOpenUntilARightClick)
{
    world->set_Rotation(2.0f);
    ClickAt(400, 540, platform::MouseButton::Right);
    ASSERT_TRUE(world->get_ScreenIsInventory());
    EXPECT_EQ(world->get_ScreenPosition(), 10001);
    ClickAt(400, 300);  // the close-up's own hotspot leads to screen 8
    EXPECT_EQ(world->get_ScreenPosition(), 8);
    EXPECT_TRUE(world->get_ScreenIsInventory()) << "still counted as a close-up";
    ClickAt(400, 540);
    EXPECT_EQ(world->get_CursorItem(), 0) << "the bar stays closed";
    ClickAt(400, 300, platform::MouseButton::Right);
    EXPECT_FALSE(world->get_ScreenIsInventory());
    EXPECT_EQ(world->get_ScreenPosition(), 6) << "back to the screen the close-up was opened from";
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 2.0f);
}

// Records the music's position while each clip "plays".
class MusicWatchingPlayer : public VideoPlayer {
public:
    explicit MusicWatchingPlayer(MusicManager& music) : VideoPlayer(nullptr, nullptr), c_music(music) {}
    void PlayVideo(const std::wstring&, std::int64_t, std::int64_t, bool, SubtitleItem*) override
    {
        const auto first = c_music.get_Sound().get_Position();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        advancedDuringClip.push_back(c_music.get_Sound().get_Position() != first);
    }
    std::vector<bool> advancedDuringClip;

private:
    MusicManager& c_music;
};

TEST_F(WorldRules, MusicPausesAroundAFilmOnlyWhenTheFilmAsksForIt)
{
    clock.reset();  // the music plays in real time
    platform::SoundSpec song;
    song.frames = 44100 * 5;
    song.samples = platform::SineTone(440.0, 0.2f, 44100, 2);
    platform::WriteSoundFile((c_dir / "song.wav").string(), song);
    music.AddSong(2, (c_dir / "song.wav").wstring());
    music.PlaySong(2, false);
    MusicWatchingPlayer player(music);
    WorldManager filmed(16, 8, 350, Keep(black), 0, mouse.get(), &music, &player, 32500.0f, 600, Keep(black),
                        Keep(black), Keep(black), Keep(black), 0);
    for (const float pause : {1.0f, 0.0f}) {
        WorldActionlist* film = filmed.AddSharedActionlist(true, 0);
        WorldAction* play = film->addAction(ACT_PlayVideo);
        play->addParamObject(0, L"nothing/film.wmv");
        play->addParam(3, pause);
        filmed.ExcuteActionList(film);
    }
    ASSERT_EQ(player.advancedDuringClip.size(), 2u);
    EXPECT_FALSE(player.advancedDuringClip[0]) << "paused for the film";
    EXPECT_TRUE(player.advancedDuringClip[1]) << "a film without the pause flag lets the music play";
    const auto after = music.get_Sound().get_Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NE(music.get_Sound().get_Position(), after) << "playing again after the film";
    music.Stop();
}
