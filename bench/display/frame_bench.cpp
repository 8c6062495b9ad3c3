// One world frame drawn headless at 800 x 600: the black background, a 2048 x 512 panorama
// cross-fading into a 1024 x 512 flat picture, the inventory bar with four items, the top
// menu with a hovered button and the cursor. Each frame is read back, which waits for the
// drawing to finish; BM_ReadBackOnly is that read-back alone in the same run, so the frame's
// own cost is the difference. Compare BM_WorldFrame with BM_ReadBackOnly (median of 9).
// "Time" is wall time; "CPU" is the whole process's CPU time, the software rasteriser's
// threads included, which stays meaningful on a loaded machine. Held at mid-fade, the
// panorama is the same picture every frame and is drawn from the copy the view keeps of it;
// BM_WorldFrameTurning turns it each frame, so that it is drawn from its mesh each time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/display_screen.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "display/world_inventory.h"
#include "display/world_top_menu.h"
#include "imaging/image.h"
#include "input/mouse_manager.h"
#include "platform/clock/clock.h"
#include "support/harness.h"

namespace {

constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};

// A picture with gradients and rings, so sampling does real work.
imaging::Image Picture(int width, int height, int seed)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double ring = std::sin(std::hypot(x - width * 0.3, y - height * 0.6) * 0.05 + seed);
            std::uint8_t* p = image.Row(y) + x * 4;
            p[0] = static_cast<std::uint8_t>(128 + 100 * ring);
            p[1] = static_cast<std::uint8_t>(x * 255 / width);
            p[2] = static_cast<std::uint8_t>(y * 255 / height);
            p[3] = 255;
        }
    return image;
}

class Scene {
public:
    Scene()
    {
        D3Dfunc::pD3Ddevice = &kt::GetDevice();
        D3Dfunc::WhiteMaterial = D3Dmat();
        kt::ResetDevice();
        gfx::Device& device = kt::GetDevice();
        device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        device.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);

        c_dir = std::filesystem::temp_directory_path() / "kelvane-frame-bench";
        std::filesystem::create_directories(c_dir);
        const std::string panorama = Write("pano.png", Picture(2048, 512, 1));
        const std::string flat = Write("flat.png", Picture(1024, 512, 2));
        imaging::Image blackImage{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, 0)};
        for (std::size_t i = 3; i < blackImage.pixels.size(); i += 4) blackImage.pixels[i] = 255;
        const std::string black = Write("black.png", blackImage);
        const std::string button = Write("button.png", Picture(200, 100, 4));
        const std::string item = Write("item.png", Picture(75, 75, 5));
        const std::string cursor = Write("cursor.png", Picture(85, 90, 6));

        c_pMouse = std::make_unique<MouseManager>(nullptr);
        c_pBlack = std::make_unique<Texture>(&device, black.c_str(), 0);
        c_pBackground.Create(&device);
        c_pView = std::make_unique<DisplayScreen>(&device, 128, 40, 100.0f);
        c_pInventory = std::make_unique<WorldInventory>();
        for (int n = 1; n <= 4; ++n) {
            c_pInventory->AddItem(n, item.c_str(), cursor.c_str(), cursor.c_str(), cursor.c_str(), cursor.c_str(),
                                  L"", 85, 90, 3, 3, 0, 10001);
            c_pInventory->ActivateItem(n);
        }
        c_pTopMenu = std::make_unique<WorldTopMenu>(c_pMouse.get(), button.c_str(), button.c_str(), button.c_str(),
                                                    button.c_str(), 0);
        c_pCursor = std::make_unique<Cursor>(&device);
        c_pCursor->OpenImageFile(cursor.c_str(), cursor.c_str(), 85, 90, 3, 3);

        // A turned panorama in front, the flat picture fading in: held at mid-fade.
        platform::UseManualClock(100000);
        c_pView->setTexture(panorama.c_str(), 0);
        c_pView->SetType(1);
        c_pView->Switch(0);
        c_pView->RotateTo(1.0f);
        c_pView->setTexture(flat.c_str(), 0);
        c_pView->SetType(0);
        c_pView->Switch(600);
        platform::AdvanceClock(300);
    }
    ~Scene()
    {
        platform::UseRealClock();
        std::error_code ignored;
        std::filesystem::remove_all(c_dir, ignored);
    }

    // The frame's layers in drawing order; DrawFrame(n) draws the first n after the clear.
    enum Layer { kBackground = 1, kView, kOverlays };

    // Turns the panorama fading out a little, so that the view must draw it from its mesh again.
    void Turn(float radians) { c_pView->RotateBackgroundBy(radians); }

    void DrawFrame(int layers = kOverlays)
    {
        gfx::Device& device = kt::GetDevice();
        device.SetViewport(kWholeScreen);
        device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device.BeginScene();
        device.SetRenderState(D3DRS_LIGHTING, FALSE);
        device.SetTexture(0, c_pBlack->getTexture());
        if (layers >= kBackground) c_pView->RenderBehind(c_pBackground);
        if (layers >= kView) c_pView->Render();
        device.SetViewport(kWholeScreen);
        if (layers >= kOverlays) {
            c_pInventory->Render(412);
            c_pTopMenu->Render(400, false);
            c_pCursor->Render(420, 560);
        }
        device.EndScene();
    }

private:
    std::string Write(const std::string& name, const imaging::Image& image)
    {
        const std::vector<std::uint8_t> bytes = imaging::EncodePng(image);
        const std::string path = (c_dir / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    std::filesystem::path c_dir;
    std::unique_ptr<MouseManager> c_pMouse;
    std::unique_ptr<Texture> c_pBlack;
    FullScreenImage c_pBackground;
    std::unique_ptr<DisplayScreen> c_pView;
    std::unique_ptr<WorldInventory> c_pInventory;
    std::unique_ptr<WorldTopMenu> c_pTopMenu;
    std::unique_ptr<Cursor> c_pCursor;
};

Scene& TheScene()
{
    static Scene* scene = new Scene;  // lives to the process's end with the shared device
    return *scene;
}

void BM_WorldFrame(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.DrawFrame();
        benchmark::DoNotOptimize(kt::ReadBack());
    }
}
BENCHMARK(BM_WorldFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

// Where the frame's cost goes: the clear alone (0), then with the background (1), the
// cross-fading view (2), and the bar, top menu and cursor (3, the whole frame).
void BM_WorldFrameLayers(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.DrawFrame(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(kt::ReadBack());
    }
}
BENCHMARK(BM_WorldFrameLayers)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// The same frame while the player turns the panorama (by a small angle each frame, the fade
// held as before): the view cannot be drawn from the copy kept of it and is drawn from its
// mesh every frame, the costliest case.
void BM_WorldFrameTurning(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.Turn(0.001f);
        scene.DrawFrame();
        benchmark::DoNotOptimize(kt::ReadBack());
    }
}
BENCHMARK(BM_WorldFrameTurning)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

void BM_ReadBackOnly(benchmark::State& state)
{
    TheScene();
    gfx::Device& device = kt::GetDevice();
    for (auto _ : state) {
        device.SetViewport(kWholeScreen);
        device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        benchmark::DoNotOptimize(kt::ReadBack());
    }
}
BENCHMARK(BM_ReadBackOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

// main() (headless drivers, benchmark start-up) is shared with the other display benchmarks.
