// The entry routine with the real start-up assembly: the device's starting states, the values
// the assembly gives the world, its cursors, the game's world, texts and credits read from the
// world files in its data, the release of every object at shutdown, and the fatal-error wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

#include "core/error.h"
#include "core/text_catalogue.h"
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
#include "script/world_files.h"
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

    // Writes a file of the game's data (world files, texts).
    void WriteDataFile(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    kt::TestGameData data;
};

// A game of one room in world files: its screen, a variable, and credits in the player's
// language.
constexpr const char* kRoomWorld = R"lua(
variable("lamp_lit", 1)
screen{name = "room", number = 0, image = "data/room0.enc"}
credits{
    {"credits.title", "bold"},
    {blank = 2},
    {"credits.thanks", "italic"},
}
)lua";

constexpr const char* kRoomTexts = R"po(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgctxt "credits.title"
msgid "The Room"
msgstr ""

msgctxt "credits.thanks"
msgid "Thank you for playing"
msgstr ""
)po";

constexpr const char* kRoomTextsInGerman = R"po(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgctxt "credits.title"
msgid "The Room"
msgstr "Das Zimmer"
)po";

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

TEST_F(StartUpTest, TheAssemblyGivesTheWorldItsSettingsAndCursorsAndADefinedWorldNoCredits)
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

        EXPECT_EQ(game.credits->get_LineCount(), 0) << "the credits come with the game's world files";
        EXPECT_EQ(game.worldFiles, nullptr);
    });
}

TEST_F(StartUpTest, TheGamesWorldTextsAndCreditsAreReadFromItsDataInThePlayersLanguage)
{
    WriteDataFile("data/world/main.lua", kRoomWorld);
    WriteDataFile("data/po/kelvane.pot", kRoomTexts);
    WriteDataFile("data/po/de.po", kRoomTextsInGerman);
    data.WritePicture("data/lang/de/room0.enc", 1024, 512, 0xFF2060C0, ScrambleOffsetFor("data/room0.enc"));
    setenv("LANGUAGE", "de_AT", 1);
    bool ran = false;
    WinMain([&] {
        GameAssembly game = AssembleGame();
        game.hooks.frameStep = [&] {
            ran = true;
            const GameObjects& objects = *GetGameObjects();
            if (objects.worldFiles == nullptr || objects.texts == nullptr) {
                ADD_FAILURE() << "the game's own assembly keeps its world files and texts";
                return false;
            }
            EXPECT_EQ(objects.worldFiles->get_Variables().at("lamp_lit"), 1);
            EXPECT_EQ(objects.world->getGlobalVarValue(1), 1);
            EXPECT_EQ(std::string(objects.world->getWorldScreen(0)->get_BaseImage()), "data/room0.enc");
            EXPECT_EQ(objects.texts->get_Language(), "de");
            const CreditsManager& credits = *objects.credits;
            EXPECT_EQ(credits.get_LineCount(), 4) << "title, two blank lines, thanks";
            if (credits.get_LineCount() != 4) return false;
            EXPECT_STREQ(credits.get_Line(0).get_line(), "Das Zimmer") << "translated";
            EXPECT_EQ(credits.get_Line(0).get_type(), CreditsLine::kBold);
            EXPECT_STREQ(credits.get_Line(3).get_line(), "Thank you for playing") << "untranslated: the English";
            EXPECT_EQ(credits.get_Line(3).get_type(), CreditsLine::kItalic);
            // The room's picture in the language's own version, which the data holds beside it.
            objects.world->TransportToScreen(0);
            objects.world->Render();
            const std::uint32_t shown = D3Dfunc::pD3Ddevice->ReadBackBuffer()[250 * 800 + 150];
            for (int shift : {0, 8, 16}) {
                const int channel = static_cast<int>((shown >> shift) & 0xFF), wanted = (0x2060C0 >> shift) & 0xFF;
                EXPECT_NEAR(channel, wanted, 4) << std::hex << shown << ": not data/lang/de/room0.enc";
            }
            return false;
        };
        return game;
    });
    unsetenv("LANGUAGE");
    EXPECT_TRUE(ran);
}

TEST_F(StartUpTest, AFaultInTheWorldFilesReachesTheFatalErrorScreenWithItsPlace)
{
    WriteDataFile("data/world/main.lua", std::string(kRoomWorld) + "on_enter(\"attic\", {})\n");
    WriteDataFile("data/po/kelvane.pot", kRoomTexts);
    platform::InjectAsyncKey('Q', true);  // the fatal-error screen ends at once
    platform::InjectAsyncKey('Q', false);
    ::testing::internal::CaptureStderr();
    WinMain([] { return AssembleGame(); });
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Kelvane error: data/world/main.lua:9:11: unknown screen 'attic'"), std::string::npos) << shown;
    EXPECT_NE(shown.find("attic"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Further error information: Reading the game's world files in data/world"),
              std::string::npos) << shown;
    EXPECT_EQ(GetGameObjects(), nullptr) << "what the assembly had made is released";

    // Without its texts the game says which folder it read.
    std::filesystem::remove("data/po/kelvane.pot");
    platform::InjectAsyncKey('Q', true);
    platform::InjectAsyncKey('Q', false);
    ::testing::internal::CaptureStderr();
    WinMain([] { return AssembleGame(); });
    const std::string noTexts = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(noTexts.find("kelvane.pot"), std::string::npos) << noTexts;
    EXPECT_NE(noTexts.find("Further error information: Reading the game's texts in data/po"), std::string::npos)
        << noTexts;
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
