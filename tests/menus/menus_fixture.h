// Shared set-up for the menu tests: the headless device as the game's device, a temporary
// working directory of the test's own (with data/ and save/ below it) that the test runs in,
// small picture files written on the spot, a small world built through its construction
// operations, and the injected mouse and keyboard driven as the main loop drives them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/game_paths.h"
#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "media/music_manager.h"
#include "platform/input/input_system.h"
#include "platform/input/keyboard_device.h"
#include "platform/input/mouse_device.h"
#include "support/harness.h"
#include "world/world_manager.h"

namespace menus_test {

// Rotation offset of every scrambled picture the tests write.
constexpr int kOffset = 7;
// Item 1's close-up screen; item n's is 1000 * (n - 1) further on.
constexpr int kFirstCloseUp = 20001;

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A PNG of one colour (0xAARRGGBB); scrambled with kOffset when `scrambled`.
inline void WriteSolidImage(const std::string& path, int width, int height, std::uint32_t colour,
                            bool scrambled = true)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) std::memcpy(&image.pixels[i], &colour, 4);  // B G R A
    const std::vector<std::uint8_t> png = imaging::EncodePng(image);
    WriteBytes(path, scrambled ? imaging::RotateImageBytes(png, kOffset) : png);
}

// Runs the test inside a fresh temporary directory, with the game's device and clean input.
class MenusTest : public kt::DeviceTest {
protected:
    void SetUp() override
    {
        kt::DeviceTest::SetUp();
        D3Dfunc::pD3Ddevice = &device;
        D3Dfunc::WhiteMaterial = D3Dmat();
        platform::ResetInjectedInput();
        c_previous = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        c_directory = std::filesystem::temp_directory_path() /
                      (std::string("kelvane-menus-") + info->test_suite_name() + "-" + info->name() + "-" +
                       std::to_string(::getpid()));
        std::filesystem::remove_all(c_directory);
        std::filesystem::create_directories(c_directory);
        std::filesystem::current_path(c_directory);
        WriteWorldImages();
    }
    void TearDown() override
    {
        std::filesystem::current_path(c_previous);
        std::error_code ignored;
        std::filesystem::remove_all(c_directory, ignored);
        platform::ResetInjectedInput();
    }

    static void WriteWorldImages()
    {
        WriteSolidImage("data/black.jpg", 8, 8, 0xFF000000, false);
        // The game's data as the generator marks it, so that saves stay in this directory.
        std::ofstream(std::string("data/") + GamePaths::kDataMarker) << GamePaths::DataMarkerText();
        for (int i = 1; i <= 4; ++i) WriteSolidImage("data/menu/Top" + std::to_string(i) + ".enc", 16, 16, 0xFF404040);
        WriteSolidImage("data/item.enc", 16, 16, 0xFF00FF00);
        WriteSolidImage("data/item_alpha.enc", 16, 16, 0xFFFFFFFF);
        WriteSolidImage("data/screen.enc", 32, 16, 0xFF202020);
    }

    // A world of its own: screen 0, the given variables, items 1 .. 8 defined with their
    // close-ups at screens 20001, 21001 .. 27001 (not added), none in the bar.
    std::unique_ptr<WorldManager> MakeWorld(const std::vector<std::pair<int, unsigned char>>& variables)
    {
        auto world = std::make_unique<WorldManager>(16, 8, 350, "data/black.jpg", 0, &mouse, &music, nullptr,
                                                    32500.0f, 600, "data/menu/Top1.enc", "data/menu/Top2.enc",
                                                    "data/menu/Top3.enc", "data/menu/Top4.enc", kOffset);
        world->AddWorldScreen(0, 0, "data/screen.enc", kOffset);
        for (const auto& [number, value] : variables) world->AddGlobalVar(number, value);
        for (int item = 1; item <= 8; ++item) {
            world->AddItem(item, "data/item.enc", "data/item.enc", "data/item_alpha.enc", "data/item.enc",
                           "data/item_alpha.enc", L"data/item.wav", 16, 16, 8, 8, kOffset,
                           kFirstCloseUp + (item - 1) * 1000);
        }
        return world;
    }

    static std::vector<int> BarItems(WorldManager& world)
    {
        std::vector<int> numbers;
        for (const WorldItem* item : world.get_Inventory()->get_ActiveItems()) numbers.push_back(item->get_Number());
        return numbers;
    }

    // One main-loop frame of input: clicks cleared, buffered mouse records read, keys sampled.
    void InputFrame()
    {
        mouse.ClearMouseButtons();
        if (mouse.get_MouseEvent()->IsSignalled()) mouse.ProcessMessage(nullptr);
        mouse.SetAcquire();
        keys.Update();
    }
    // Puts the pointer at (x, y) in screen pixels.
    void MoveTo(int x, int y)
    {
        platform::InjectMouseMotion(-5000, -5000);
        platform::InjectMouseMotion(x, y);
        InputFrame();
        ASSERT_EQ(mouse.get_X(), x);
        ASSERT_EQ(mouse.get_Y(), y);
    }
    // A left click (press and release) that the next InputFrame reads.
    static void Click()
    {
        platform::InjectMouseButton(platform::MouseButton::Left, true);
        platform::InjectMouseButton(platform::MouseButton::Left, false);
    }
    // Presses `key` down for the next frame's snapshot (still held until Release).
    static void Hold(int key) { platform::InjectKey(key, true); }
    static void Release(int key) { platform::InjectKey(key, false); }
    MouseManager mouse{nullptr};
    KeyManager keys{nullptr};
    MusicManager music;

private:
    std::filesystem::path c_previous;
    std::filesystem::path c_directory;
};

}  // namespace menus_test
