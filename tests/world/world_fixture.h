// A small world on the headless device: a world manager with plain PNG pictures written by
// the test, an injected mouse, the manual clock, and helpers to point, click and count frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "media/video_player.h"
#include "platform/clock/clock.h"
#include "platform/input/mouse_device.h"
#include "support/harness.h"
#include "world/world_manager.h"

namespace world_test {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// Records the clips the world asks for instead of playing them.
class FakeVideoPlayer : public VideoPlayer {
public:
    FakeVideoPlayer() : VideoPlayer(nullptr, nullptr) {}
    void PlayVideo(const std::wstring& path, std::int64_t start, std::int64_t stop, bool fullFrame,
                   SubtitleItem* subtitles) override
    {
        played.push_back({path, start, stop, fullFrame, subtitles});
    }
    struct Clip {
        std::wstring path;
        std::int64_t start, stop;
        bool fullFrame;
        SubtitleItem* subtitles;
    };
    std::vector<Clip> played;
};

class WorldTest : public kt::DeviceTest {
protected:
    void SetUp() override
    {
        kt::DeviceTest::SetUp();
        D3Dfunc::pD3Ddevice = &device;
        D3Dfunc::WhiteMaterial = D3Dmat();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        c_dir = std::filesystem::temp_directory_path() /
                (std::string("kelvane-world-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(c_dir);
        std::filesystem::create_directories(c_dir);

        black = Solid("black.png", 8, 8, kBlack);
        mouse = std::make_unique<MouseManager>(&kt::GetWindow());
        clock = std::make_unique<kt::ManualClockScope>(1000, 0);
        world = NewWorld();
    }
    // An empty world on the fixture's device, mouse, music, video player and sounds, with the
    // five cursors (the fixture's own `world` is one).
    std::unique_ptr<WorldManager> NewWorld()
    {
        const char* top = Keep(Solid("top.png", 8, 8, kWhite));
        auto made = std::make_unique<WorldManager>(16, 8, 350, Keep(black), 0, mouse.get(), &music, &video, 32500.0f,
                                                   600, top, top, top, top, 0);
        made->set_SoundManager(&sounds);
        const char* arrow = Keep(Solid("arrow.png", 8, 8, kWhite));
        for (int i = 0; i < 5; ++i) made->AddCursor(arrow, arrow, 8, 8, 0, 0);
        return made;
    }
    void TearDown() override
    {
        world.reset();
        clock.reset();
        std::error_code ignored;
        std::filesystem::remove_all(c_dir, ignored);
    }

    // Keeps a path alive for the test (the world keeps the caller's pointers).
    const char* Keep(const std::string& path)
    {
        c_paths.push_back(std::make_unique<std::string>(path));
        return c_paths.back()->c_str();
    }
    // Writes a PNG whose pixel (x, y) is pixel(x, y) (0xAARRGGBB) and returns its path.
    std::string Image(const std::string& name, int width, int height,
                      const std::function<std::uint32_t(int, int)>& pixel)
    {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(pixel(x, y));
        const std::string path = (c_dir / name).string();
        EXPECT_TRUE(kt::SavePng(pixels, width, height, path));
        return path;
    }
    // Rewrites a file as the game's scrambled form with rotation `offset`: the game reads
    // picture byte i from file byte (offset + i) mod length.
    std::string Scramble(const std::string& path, int offset)
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<char> file(plain.size());
        for (std::size_t i = 0; i < plain.size(); ++i) file[(offset + i) % plain.size()] = plain[i];
        const std::string out = path + ".enc";
        std::ofstream(out, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
        return out;
    }
    std::string Solid(const std::string& name, int width, int height, std::uint32_t colour)
    {
        return Image(name, width, height, [colour](int, int) { return colour; });
    }
    // A screen whose picture is one colour.
    WorldScreen* AddScreen(int number, int type, std::uint32_t colour)
    {
        const std::string path = Solid("screen" + std::to_string(number) + ".png", 16, 8, colour);
        return world->AddWorldScreen(number, type, Keep(path));
    }

    // Puts the pointer on screen pixel (x, y).
    void PointAt(int x, int y)
    {
        mouse->clearX();
        mouse->clearY();
        platform::InjectMouseMotion(x - 400, y - 300);
        mouse->ProcessMessage(nullptr);
        ASSERT_EQ(mouse->get_X(), x);
        ASSERT_EQ(mouse->get_Y(), y);
    }
    void Click(platform::MouseButton button = platform::MouseButton::Left)
    {
        mouse->ClearMouseButtons();
        platform::InjectMouseButton(button, true);
        platform::InjectMouseButton(button, false);
        mouse->ProcessMessage(nullptr);
    }
    // One frame in which the `button` is clicked at screen pixel (x, y); Run's result.
    int ClickAt(int x, int y, platform::MouseButton button = platform::MouseButton::Left)
    {
        PointAt(x, y);
        Click(button);
        return world->Run();
    }
    // Frames presented while `body` runs: each Present advances the manual clock by 1 ms.
    int CountFrames(const std::function<void()>& body)
    {
        platform::SetClockStepPerPresent(1);
        const std::uint32_t before = timeGetTime();
        body();
        const std::uint32_t after = timeGetTime();
        platform::SetClockStepPerPresent(0);
        return static_cast<int>(after - before);
    }
    // The colour of the view (left of the centre, away from the cursor) after one more frame.
    std::uint32_t ViewCentre()
    {
        world->Render();
        return kt::PixelAt(kt::ReadBack(), 200, 300);
    }
    // A fresh action list owned by the world.
    WorldActionlist* List() { return world->AddSharedActionlist(true, 0); }

    std::filesystem::path c_dir;
    std::vector<std::unique_ptr<std::string>> c_paths;
    std::string black;
    std::unique_ptr<MouseManager> mouse;
    std::unique_ptr<kt::ManualClockScope> clock;
    MusicManager music;
    FakeVideoPlayer video;
    GameSoundManager sounds;
    std::unique_ptr<WorldManager> world;
};

}  // namespace world_test
