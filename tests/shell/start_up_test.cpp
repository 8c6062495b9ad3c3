// The entry routine with the real start-up assembly: the device's starting states, the values
// the assembly gives the world, its cursors and the credits, the release of every object at
// shutdown, and the fatal-error wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <thread>

#include "core/error.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/image_offsets.h"
#include "game_data_fixture.h"
#include "input/mouse_manager.h"
#include "media/video_player.h"
#include "menus/credits_line.h"
#include "menus/credits_manager.h"
#include "platform/clock/clock.h"
#include "platform/window/window.h"
#include "shell/start_up.h"
#include "shell/win_main.h"
#include "world/world_manager.h"

namespace {

// One flat screen, the smallest world the assembly accepts.
void DefineOneRoom(WorldManager& world)
{
    world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    world.TransportToScreen(0);
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(1000);
        data.WritePicture("data/room0.enc", 1024, 512, 0xFF804020, ScrambleOffsetFor("data/room0.enc"));
    }
    void TearDown() override
    {
        platform::UseRealClock();
        FailSafe::Info = L"None.";
    }

    // Runs the game with the real assembly; `inFrame` sees the game's objects in the first
    // frame, after which the game ends as the quit button would end it.
    void RunOneFrame(const std::function<void(GameObjects&)>& inFrame)
    {
        WinMain([&] {
            GameAssembly game = AssembleGame(DefineOneRoom);
            game.hooks.frameStep = [&] {
                inFrame(*GetGameObjects());
                return false;
            };
            return game;
        });
    }

    kt::TestGameData data;
};

}  // namespace

TEST_F(StartUpTest, TheDeviceStartsWithTheGamesStatesAndIsGoneAfterShutdown)
{
    bool ran = false;
    WinMain([&] {
        GameAssembly game;
        game.hooks.frameStep = [&] {
            ran = true;
            const gfx::Device& device = *D3Dfunc::pD3Ddevice;
            EXPECT_EQ(device.GetRenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
            for (auto state : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
                EXPECT_EQ(device.GetSamplerState(0, state), static_cast<DWORD>(D3DTEXF_LINEAR)) << "filter " << state;
            for (auto state : {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV})
                EXPECT_EQ(device.GetSamplerState(0, state), static_cast<DWORD>(D3DTADDRESS_MIRROR)) << "address " << state;
            const D3DMATERIAL9& white = D3Dfunc::WhiteMaterial;
            for (const D3DCOLORVALUE& c : {white.Diffuse, white.Ambient, white.Specular, white.Emissive}) {
                EXPECT_EQ(c.r, 1.0f);
                EXPECT_EQ(c.g, 1.0f);
                EXPECT_EQ(c.b, 1.0f);
                EXPECT_EQ(c.a, 1.0f);
            }
            EXPECT_EQ(white.Power, 8.0f);
            return false;
        };
        return game;
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(D3Dfunc::pD3Ddevice, nullptr) << "shutdown releases the device and clears its pointer";
    EXPECT_EQ(_pFont, nullptr) << "the start-up font goes before the device";
}

TEST_F(StartUpTest, TheAssemblyGivesTheWorldItsSettingsCursorsAndTheGamesCredits)
{
    RunOneFrame([](GameObjects& game) {
        EXPECT_EQ(game.world->get_TransStandard(), 600);
        EXPECT_EQ(game.world->get_ScreenPosition(), 3) << "placed on screen 3 after the slot-0 save";
        for (const Cursor* cursor : {game.normalCursor, game.highlightedCursor}) {
            ASSERT_NE(cursor, nullptr);
            EXPECT_TRUE(cursor->IsLoaded());
            EXPECT_EQ(cursor->GetWidth(), 85);
            EXPECT_EQ(cursor->GetHeight(), 90);
        }
        EXPECT_NE(game.normalCursor, game.highlightedCursor);

        const CreditsManager& credits = *game.credits;
        ASSERT_EQ(credits.get_LineCount(), 88);
        int bold = 0, italic = 0, plain = 0, empty = 0;
        for (int i = 0; i < credits.get_LineCount(); ++i) {
            const CreditsLine& line = credits.get_Line(i);
            const bool blank = line.get_line()[0] == '\0';
            switch (line.get_type()) {
            case CreditsLine::kBold: ++bold; EXPECT_FALSE(blank) << "line " << i; break;
            case CreditsLine::kItalic: ++italic; EXPECT_FALSE(blank) << "line " << i; break;
            default: ++plain; empty += blank ? 1 : 0; break;
            }
        }
        EXPECT_EQ(bold, 9) << "headings";
        EXPECT_EQ(italic, 9) << "remarks";
        EXPECT_EQ(plain, 70) << "names and blank lines";
        EXPECT_EQ(empty, 4 + 37) << "four empty plain lines and the blank runs";
    });
}

TEST_F(StartUpTest, ShutdownReleasesEveryObjectTheAssemblyMade)
{
    bool sawObjects = false;
    RunOneFrame([&](GameObjects& game) {
        sawObjects = true;
        EXPECT_EQ(_pMouseManager, game.mouse.get());
        EXPECT_EQ(_pKeyManager, game.keys.get());
        EXPECT_EQ(_pVideoPlayer, game.video.get());
    });
    EXPECT_TRUE(sawObjects);
    EXPECT_EQ(GetGameObjects(), nullptr);
    EXPECT_EQ(_pMouseManager, nullptr);
    EXPECT_EQ(_pKeyManager, nullptr);
    EXPECT_EQ(_pVideoPlayer, nullptr);
    EXPECT_EQ(_pFont, nullptr);
    EXPECT_EQ(D3Dfunc::pD3Ddevice, nullptr);
}

TEST_F(StartUpTest, AWorldThatFailsToBuildReleasesWhatTheAssemblyHadMade)
{
    platform::InjectAsyncKey('Q', true);  // the fatal-error screen ends at once
    platform::InjectAsyncKey('Q', false);
    bool built = false;
    WinMain([&] {
        return AssembleGame([&](WorldManager&) {
            built = true;
            throw Error("the world definition failed");
        });
    });
    EXPECT_TRUE(built);
    EXPECT_EQ(GetGameObjects(), nullptr);
    EXPECT_EQ(_pMouseManager, nullptr);
    EXPECT_EQ(_pKeyManager, nullptr);
    EXPECT_EQ(_pVideoPlayer, nullptr);
    ASSERT_NE(D3Dfunc::pD3Ddevice, nullptr) << "the fatal path keeps the device for its screen";
}

TEST_F(StartUpTest, OnlyQOrClosingTheWindowEndsTheFatalErrorWait)
{
    for (const bool byQ : {false, true}) {
        // No press of Q left over from earlier runs of the game in this process.
        platform::InjectAsyncKey('Q', false);
        platform::GetAsyncKeyState('Q');
        std::atomic<bool> returned{false};
        std::thread presser([&] {
            using namespace std::chrono_literals;
            for (int key : {int{'A'}, int{'W'}, 0x1B, 0x0D, int{' '}}) {  // letters, Escape, Return, space
                platform::InjectAsyncKey(key, true);
                std::this_thread::sleep_for(20ms);
                platform::InjectAsyncKey(key, false);
            }
            std::this_thread::sleep_for(300ms);
            EXPECT_FALSE(returned) << "another key ended the wait";
            // Again until the wait ends: on a slow machine (the sanitizer build, tests side by
            // side) the fatal-error screen may not be waiting yet at the first press.
            for (int tries = 0; tries < 100 && !returned; ++tries) {
                if (byQ) {
                    platform::InjectAsyncKey('Q', true);
                    std::this_thread::sleep_for(20ms);
                    platform::InjectAsyncKey('Q', false);
                } else if (platform::Window* window = platform::GetMainWindow()) {
                    window->PostQuit();
                }
                std::this_thread::sleep_for(200ms);
            }
        });
        WinMain([]() -> GameAssembly { throw Error("stop"); });
        returned = true;
        presser.join();
    }
}

TEST(EntryRoutineDeathTest, AWindowThatCannotBeMadeEndsWithTheMessageBoxAndNothingElse)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-video-driver", 1);
            bool assembled = false;
            const int result = WinMain([&] {
                assembled = true;
                return GameAssembly{};
            });
            // _Exit: the child ends here, without the exit-time checks of a whole run.
            std::_Exit(result == 0 && !assembled && D3Dfunc::pD3Ddevice == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Kelvane: Creating window failed!");
}
