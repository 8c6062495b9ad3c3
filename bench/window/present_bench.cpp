// The cost of showing a frame: Present scaling the 800 x 600 back buffer into a 1920 x 1080
// full-screen window, against presenting it 1:1 into an 800 x 600 window, in the same run; both
// again with the player's brightness changed.
// Needs a real X display (run under `xvfb-run -s "-screen 0 1920x1080x24"`); process CPU time
// per frame, all threads (the software rasteriser's included); five repetitions of each, run
// interleaved, reported as mean, median and spread.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/window/window.h"

namespace {

struct Screen {
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<gfx::Device> device;
    std::string error;
};

Screen& GetScreen()
{
    static Screen screen = [] {
        Screen s;
        s.window = platform::Window::Create("Kelvane present benchmark", 800, 600, false, &s.error);
        if (s.window) s.device = gfx::Device::Create(*s.window, &s.error);
        return s;
    }();
    return screen;
}

void PresentInto(benchmark::State& state, bool fullscreen, float brightness)
{
    Screen& screen = GetScreen();
    if (!screen.device) {
        state.SkipWithError(("no window on a display: " + screen.error).c_str());
        return;
    }
    screen.window->SetFullscreen(fullscreen);
    screen.device->SetGamma(brightness);
    for (int i = 0; i < 30; ++i) {  // the switch settles, and the driver's buffers are made
        screen.window->KeepAlive();
        screen.device->Present();
    }
    int width = 0, height = 0;
    screen.window->GetDrawableSize(&width, &height);
    state.SetLabel(std::to_string(width) + " x " + std::to_string(height));
    for (auto _ : state) {
        screen.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699u, 1.0f, 0);
        screen.window->KeepAlive();
        screen.device->Present();
    }
}

BENCHMARK_CAPTURE(PresentInto, Window800x600, false, 1.0f)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PresentInto, FullScreenOfTheDisplay, true, 1.0f)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
// The same with the player's brightness changed, which the present applies to every pixel.
BENCHMARK_CAPTURE(PresentInto, Window800x600Brightened, false, 1.5f)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PresentInto, FullScreenBrightened, true, 1.5f)->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // A real window: the headless drivers the other benchmarks default to would measure nothing.
    unsetenv("KELVANE_HEADLESS");
    if (const char* driver = std::getenv("SDL_VIDEODRIVER"); driver && std::string(driver) != "x11")
        setenv("SDL_VIDEODRIVER", "x11", 1);
    // The two sizes' repetitions run interleaved, so that a change in the machine's state during
    // the run falls on both alike; a flag given on the command line still wins.
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
