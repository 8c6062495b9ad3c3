// The video player: frames copied into the texture by the renderer, and whole playbacks of
// generated clips drawn headless with the real clock and read back from the screen.
#include "media/video_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/error.h"
#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/texture.h"
#include "input/key_manager.h"
#include "media/subtitle_item.h"
#include "platform/input/input_system.h"
#include "platform/input/keyboard_device.h"
#include "platform/media/media_writer.h"
#include "support/harness.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int kFps = 10;
constexpr int kClipSeconds = 4;
// Second s of the clip is painted in colour s (0xRRGGBB): red, green, blue, yellow; the top
// tenth of every picture is white, so that the picture's orientation shows on screen.
constexpr std::uint32_t kSecondColour[kClipSeconds] = {0xF02020, 0x20E020, 0x2020F0, 0xE0E020};
constexpr std::uint32_t kTopColour = 0xF0F0F0;
constexpr int kTopRows = 24;
constexpr int kVideoTolerance = 24;  // what the clip's lossy pictures may move a colour
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kMarker = 0xFFFF00FF;  // on screen before a playback that must draw nothing

std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

// The clips, written once per test program in a temporary folder removed at exit.
class Clips {
public:
    static const Clips& Get()
    {
        static Clips clips;
        return clips;
    }
    std::wstring Path(const std::string& name) const
    {
        const std::string p = (c_dir / name).string();
        return std::wstring(p.begin(), p.end());
    }
    // For a process that leaves without running its destructors.
    void RemoveFiles() const
    {
        std::error_code ignored;
        fs::remove_all(c_dir, ignored);
    }

private:
    Clips() : c_dir(fs::temp_directory_path() / ("kelvane_video_" + std::to_string(::getpid())))
    {
        fs::create_directories(c_dir);
        platform::VideoSpec clip{320, 240, kFps, kClipSeconds * kFps, nullptr, std::nullopt};
        clip.pictures = [seconds = platform::SolidColour([](int i) { return kSecondColour[i / kFps]; }),
                         top = platform::SolidColour([](int) { return kTopColour; })](
                            std::uint8_t* rgb, int width, int height, int pitch, int index) {
            seconds(rgb, width, height, pitch, index);
            top(rgb, width, kTopRows, pitch, index);
        };
        platform::VideoSpec large = clip;
        platform::VideoSpec shortSound = clip;
        shortSound.sound = platform::SoundSpec{44100, 2, 44100 / 2, platform::SineTone(330.0, 0.3f, 44100, 2)};
        platform::WriteVideoFile((c_dir / "short_sound.wmv").string(), shortSound);
        clip.sound = platform::SoundSpec{44100, 2, 44100LL * kClipSeconds, platform::SineTone(330.0, 0.3f, 44100, 2)};
        platform::WriteVideoFile((c_dir / "seconds.wmv").string(), clip);
        large.width = 640;
        large.height = 480;
        large.frameCount = kFps / 2;
        platform::WriteVideoFile((c_dir / "large.wmv").string(), large);
        WriteDamagedCopies();
    }
    // Copies of the clip with its header overwritten, its picture codec unknown (no picture
    // stream for the player), and cut after its first second.
    void WriteDamagedCopies() const
    {
        std::ifstream in(c_dir / "seconds.wmv", std::ios::binary);
        const std::string clip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string garbled = clip;
        for (std::size_t i = 0; i < 200; ++i) garbled[i] = static_cast<char>(i * 37 + 11);
        std::ofstream(c_dir / "garbled.wmv", std::ios::binary) << garbled;
        std::string nameless = clip;
        for (std::size_t at = nameless.find("WMV2"); at != std::string::npos; at = nameless.find("WMV2", at + 4))
            nameless.replace(at, 4, "QQQQ");
        std::ofstream(c_dir / "no_pictures.wmv", std::ios::binary) << nameless;
        std::ofstream(c_dir / "cut.wmv", std::ios::binary) << clip.substr(0, clip.size() / kClipSeconds);
    }
    ~Clips() { RemoveFiles(); }
    fs::path c_dir;
};

// ---- CTextureRenderer ----------------------------------------------------------------------

constexpr std::uint32_t kUntouched = 0x12345678;

class CTextureRendererTest : public kt::DeviceTest {
protected:
    void SetUp() override
    {
        kt::DeviceTest::SetUp();
        D3Dfunc::pD3Ddevice = &device;
        texture = std::make_unique<Texture>(&device, kVideoTextureWidth, kVideoTextureHeight, D3DFMT_A8R8G8B8);
        ASSERT_NE(texture->getTexture(), nullptr);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->getTexture()->LockRect(0, &locked, nullptr, 0), S_OK);
        ASSERT_EQ(locked.Pitch, static_cast<int>(kVideoTextureWidth * 4));
        const std::vector<std::uint32_t> untouched(kTexels, kUntouched);
        std::memcpy(locked.pBits, untouched.data(), kTexels * 4);
        texture->getTexture()->UnlockRect(0);
    }
    // The texture's texels, top row first (its rows are contiguous).
    std::vector<std::uint32_t> Texels()
    {
        std::vector<std::uint32_t> texels(kTexels);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->getTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
        std::memcpy(texels.data(), locked.pBits, kTexels * 4);
        texture->getTexture()->UnlockRect(0);
        return texels;
    }
    // Empty when equal, else the first texel that differs.
    static std::string FirstDifference(const std::vector<std::uint32_t>& actual, const std::vector<std::uint32_t>& expected)
    {
        for (std::size_t i = 0; i < actual.size(); ++i) {
            if (actual[i] == expected[i]) continue;
            std::ostringstream text;
            text << "texel (" << i % kVideoTextureWidth << ", " << i / kVideoTextureWidth << ") is " << std::hex
                 << actual[i] << ", expected " << expected[i];
            return text.str();
        }
        return "";
    }

    static constexpr std::size_t kTexels = kVideoTextureWidth * kVideoTextureHeight;
    std::unique_ptr<Texture> texture;
};

// Pixel (x, row) of the crafted frames: every byte tells where it came from.
std::uint8_t Blue(int x, int) { return static_cast<std::uint8_t>(x & 0xFF); }
std::uint8_t Green(int x, int row) { return static_cast<std::uint8_t>((x >> 8) + 16 * row + 1); }
std::uint8_t Red(int, int row) { return static_cast<std::uint8_t>(0x80 + row); }

// A bottom-up RGB24 frame (bytes blue, green, red) whose row padding holds 0xEE.
std::vector<std::uint8_t> CraftFrame(int width, int height, int pitch)
{
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(pitch) * height, 0xEE);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = frame.data() + static_cast<std::size_t>(row) * pitch + x * 3;
            p[0] = Blue(x, row);
            p[1] = Green(x, row);
            p[2] = Red(x, row);
        }
    }
    return frame;
}

std::uint32_t ExpectedTexel(int x, int row)
{
    return 0xFF000000u | (std::uint32_t{Red(x, row)} << 16) | (std::uint32_t{Green(x, row)} << 8) | Blue(x, row);
}

TEST(CTextureRendererFormat, TakesOnlyRgb24PicturesThatFitTheTexture)
{
    CTextureRenderer renderer;
    using F = platform::VideoFormat;
    const auto check = [&renderer](F format) { return renderer.CheckMediaType(&format); };
    EXPECT_EQ(renderer.CheckMediaType(nullptr), E_POINTER);
    EXPECT_EQ(check(F{0, 240, 0}), E_INVALIDARG);
    EXPECT_EQ(check(F{512, -256, 1536}), S_OK) << "the largest, top-down";
    EXPECT_EQ(check(F{514, 240, 1544}), E_FAIL) << "wider than the texture";
    EXPECT_EQ(check(F{320, 258, 960}), E_FAIL) << "higher than the texture";
    EXPECT_EQ(check(F{320, 240, 1280}), E_FAIL) << "32-bit rows are not RGB24";

    renderer.SetMediaType(platform::VideoFormat{322, -240, 968});
    EXPECT_TRUE(renderer.getTypeAccepted());
    EXPECT_EQ(renderer.get_VidWidth(), 322);
    EXPECT_EQ(renderer.get_VidHeight(), 240) << "the absolute value of the height";
    EXPECT_EQ(renderer.get_VidPitch(), 968) << "322 * 3 = 966 rounded up to a multiple of 4";
    renderer.SetMediaType(F{514, 240, 1544});
    EXPECT_FALSE(renderer.getTypeAccepted());
}

TEST_F(CTextureRendererTest, ConvertsEveryPixelRowForRowAndSkipsTheRowPadding)
{
    // 322 = 80 groups of four plus two pixels converted one by one; rows carry 2 padding bytes.
    constexpr int kWidth = 322, kHeight = 3, kPitch = 968;
    CTextureRenderer renderer;
    renderer.SetMediaType(platform::VideoFormat{kWidth, kHeight, kPitch});
    renderer.setTexture(texture->getTexture());
    const std::vector<std::uint8_t> frame = CraftFrame(kWidth, kHeight, kPitch);
    ASSERT_EQ(renderer.RenderSample(frame.data(), frame.size()), S_OK);

    // Every pixel converted, row r of the buffer in texture row r; the texels just beyond the
    // picture repeat its edge (so filtering never reaches further); nothing else touched.
    std::vector<std::uint32_t> expected(kTexels, kUntouched);
    for (int row = 0; row <= kHeight; ++row)
        for (int x = 0; x <= kWidth; ++x)
            expected[row * kVideoTextureWidth + x] = ExpectedTexel(std::min(x, kWidth - 1), std::min(row, kHeight - 1));
    EXPECT_EQ(FirstDifference(Texels(), expected), "");
}

TEST_F(CTextureRendererTest, FramesThatCannotBeCopiedAreDroppedButCountAsData)
{
    constexpr int kWidth = 8, kHeight = 2, kPitch = 24;
    const std::vector<std::uint8_t> frame = CraftFrame(kWidth, kHeight, kPitch);
    CTextureRenderer renderer;
    renderer.SetMediaType(platform::VideoFormat{kWidth, kHeight, kPitch});
    EXPECT_FALSE(renderer.getGotData());

    EXPECT_EQ(renderer.RenderSample(frame.data(), frame.size()), E_UNEXPECTED) << "no texture yet";
    EXPECT_TRUE(renderer.getGotData()) << "set by the first delivery, even a failed one";
    EXPECT_EQ(renderer.RenderSample(nullptr, 0), E_POINTER);

    renderer.setTexture(texture->getTexture());
    EXPECT_EQ(renderer.RenderSample(frame.data(), frame.size() - 1), E_INVALIDARG) << "a buffer short of its rows";

    D3DLOCKED_RECT held{};
    ASSERT_EQ(texture->getTexture()->LockRect(0, &held, nullptr, 0), S_OK);
    EXPECT_TRUE(FAILED(renderer.RenderSample(frame.data(), frame.size()))) << "the texture cannot be locked";
    texture->getTexture()->UnlockRect(0);

    renderer.setTexture(nullptr);
    EXPECT_EQ(renderer.RenderSample(frame.data(), frame.size()), E_UNEXPECTED) << "a detached texture is left alone";

    CTextureRenderer refusing;
    refusing.SetMediaType(platform::VideoFormat{600, kHeight, 1800});
    refusing.setTexture(texture->getTexture());
    const std::vector<std::uint8_t> wide = CraftFrame(600, kHeight, 1800);
    EXPECT_EQ(refusing.RenderSample(wide.data(), wide.size()), E_INVALIDARG) << "wider than the texture";

    EXPECT_EQ(FirstDifference(Texels(), std::vector<std::uint32_t>(kTexels, kUntouched)), "")
        << "no dropped frame wrote anything";
}

// ---- VideoPlayer -------------------------------------------------------------------------

class VideoPlayerTest : public kt::DeviceTest {
protected:
    void SetUp() override
    {
        kt::DeviceTest::SetUp();
        Clips::Get();
        D3Dfunc::pD3Ddevice = &device;
        platform::ResetInjectedInput();
        // The states the game leaves when a script starts a clip: lit with a white material,
        // filtered sampling with mirrored addressing.
        device.SetMaterial(D3Dmat());
        device.SetRenderState(D3DRS_LIGHTING, TRUE);
        device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        device.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
        keys = std::make_unique<KeyManager>(&kt::GetWindow());
        player = std::make_unique<VideoPlayer>(&kt::GetWindow(), keys.get());
    }
    void TearDown() override { platform::ResetInjectedInput(); }

    // Plays the clip and returns how long PlayVideo took, in milliseconds.
    long Play(const std::wstring& path, std::int64_t start, std::int64_t stop, bool fullFrame,
              SubtitleItem* subtitles = nullptr)
    {
        const auto begin = SteadyClock::now();
        player->PlayVideo(path, start, stop, fullFrame, subtitles);
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - begin).count());
    }
    long PlayClip(std::int64_t start, std::int64_t stop, bool fullFrame, SubtitleItem* subtitles = nullptr)
    {
        return Play(Clips::Get().Path("seconds.wmv"), start, stop, fullFrame, subtitles);
    }
    void ShowMarker()
    {
        device.Clear(0, nullptr, D3DCLEAR_TARGET, kMarker, 1.0f, 0);
        device.Present();
    }
    // Pixels of the subtitle band near the game's text colour.
    static int TextPixels(const std::vector<std::uint32_t>& pixels)
    {
        int count = 0;
        for (int y = 540; y < 580; ++y)
            for (int x = 0; x < 400; ++x)
                if (kt::ColorNear(kt::PixelAt(pixels, x, y), subtitles::kTextColour, 40)) ++count;
        return count;
    }

    std::unique_ptr<KeyManager> keys;
    std::unique_ptr<VideoPlayer> player;
};

TEST_F(VideoPlayerTest, StopZeroPlaysToTheEndLetterboxedInRows100To500)
{
    const long ms = PlayClip(0, 0, false);
    EXPECT_GE(ms, kClipSeconds * 1000 - 300) << "the whole clip plays";
    EXPECT_LT(ms, kClipSeconds * 1000 + 3000);

    const auto pixels = kt::ReadBack();
    const std::uint32_t last = Opaque(kSecondColour[kClipSeconds - 1]);
    // The 320 x 240 frame fills the band up to its edges, upright: only the frame's texels are
    // sampled. Its white top tenth takes rows 100 to 140.
    for (const auto& [x, y] : {std::pair{0, 100}, {799, 100}, {400, 120}})
        EXPECT_TRUE(kt::PixelNear(pixels, x, y, Opaque(kTopColour), kVideoTolerance)) << "the picture's top";
    for (const auto& [x, y] : {std::pair{0, 499}, {799, 499}, {0, 180}, {799, 300}, {400, 300}})
        EXPECT_TRUE(kt::PixelNear(pixels, x, y, last, kVideoTolerance)) << "the last second's picture";
    EXPECT_TRUE(kt::RegionNear(pixels, RECT{0, 0, 800, 100}, kBlack)) << "black above the band";
    EXPECT_TRUE(kt::RegionNear(pixels, RECT{0, 500, 800, 600}, kBlack)) << "black below the band";
}

TEST_F(VideoPlayerTest, StopEndsThePlaybackAtThatTimeAndFullFrameCoversTheScreen)
{
    const long ms = PlayClip(0, 2000, true);
    EXPECT_GE(ms, 1800);
    EXPECT_LT(ms, 3400) << "ends after about two seconds, not at the end of the file";
    const auto pixels = kt::ReadBack();
    for (const auto& [x, y] : {std::pair{0, 0}, {799, 0}, {400, 20}})
        EXPECT_TRUE(kt::PixelNear(pixels, x, y, Opaque(kTopColour), kVideoTolerance)) << "the picture's top";
    for (const auto& [x, y] : {std::pair{0, 599}, {799, 599}, {0, 120}, {400, 550}})
        EXPECT_TRUE(kt::PixelNear(pixels, x, y, Opaque(kSecondColour[1]), kVideoTolerance))
            << "the last picture shown is from the second second";
}

TEST_F(VideoPlayerTest, StartSkipsIntoTheFileAndEscapeEndsAtOnce)
{
    std::thread escape([] {  // PlayVideo holds this thread
        std::this_thread::sleep_for(700ms);
        platform::InjectKey(platform::DIK_ESCAPE, true);
    });
    const long ms = PlayClip(2000, 0, true);
    escape.join();
    EXPECT_GE(ms, 600);
    EXPECT_LT(ms, 1600) << "Escape ends the clip before its remaining two seconds";
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, Opaque(kSecondColour[2]), kVideoTolerance))
        << "the pictures shown come from second 2 on";
    EXPECT_FALSE(keys->GetKeyPressed(platform::DIK_ESCAPE)) << "the player took the press";
}

TEST_F(VideoPlayerTest, EscapeHeldBeforeTheClipEndsItBeforeItsFirstFrame)
{
    platform::InjectKey(platform::DIK_ESCAPE, true);
    const long ms = PlayClip(0, 0, false);
    EXPECT_LT(ms, 600);
    EXPECT_FALSE(keys->GetKeyPressed(platform::DIK_ESCAPE));
}

TEST_F(VideoPlayerTest, SubtitlesShowTheLineForTheTimeInTheFile)
{
    SubtitleItem lines;
    lines.Add(0, "");
    lines.Add(2000, "MMMMMMMMMMMMMMMM");
    lines.Add(3000, "");

    PlayClip(2000, 2500, false, &lines);
    const auto during = kt::ReadBack();
    EXPECT_GT(TextPixels(during), 40) << "file time 2000 + elapsed shows the line";
    EXPECT_TRUE(kt::RegionNear(during, RECT{0, 0, 800, 100}, kBlack)) << "the text stays in the bottom band";

    PlayClip(0, 500, false, &lines);
    EXPECT_EQ(TextPixels(kt::ReadBack()), 0) << "file time 0 to 500 has the empty line";
}

TEST_F(VideoPlayerTest, UnplayableFilesReportRenderfileErrorWithTheirCauseAndReturn)
{
    const char* kText = "Renderfile Error. Unable to play animation.";
    struct Case {
        const char* file;
        const char* cause;
    };
    for (const Case c : {Case{"missing.wmv", "cannot open"}, Case{"large.wmv", "640 x 480, larger than 512 x 256"},
                         Case{"garbled.wmv", "cannot open"}, Case{"no_pictures.wmv", "no picture stream"}}) {
        SCOPED_TRACE(c.file);
        ShowMarker();
        FailSafe::Info = L"None.";
        ::testing::internal::CaptureStderr();
        const long ms = Play(Clips::Get().Path(c.file), 0, 0, false);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(kText), std::string::npos) << err;
        EXPECT_NE(err.find(c.cause), std::string::npos) << "the cause, whole: " << err;
        EXPECT_NE(err.find(c.file), std::string::npos) << "and the file: " << err;
        const std::string info = ToErrorScreenText(FailSafe::Info);
        EXPECT_NE(info.find(c.file), std::string::npos) << info;
        const std::string whole(FailSafe::Info.begin(), FailSafe::Info.end());
        EXPECT_NE(whole.find(c.cause), std::string::npos) << whole;
        EXPECT_LT(ms, 1000);
        EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kMarker)) << "nothing drawn";
    }
}

TEST_F(VideoPlayerTest, AFilmWhoseSoundEndsFirstPlaysAllItsPicturesAndReturns)
{
    // Half a second of sound under four seconds of pictures. Should the film freeze, Escape
    // ends it after ten seconds, and the test fails rather than hangs.
    std::atomic<bool> done{false};
    std::thread watchdog([&done] {
        for (int i = 0; i < 1000 && !done; ++i) std::this_thread::sleep_for(10ms);
        if (!done) platform::InjectKey(platform::DIK_ESCAPE, true);
    });
    const long ms = Play(Clips::Get().Path("short_sound.wmv"), 0, 0, true);
    done = true;
    watchdog.join();
    EXPECT_GE(ms, kClipSeconds * 1000 - 300) << "every picture is shown";
    EXPECT_LT(ms, kClipSeconds * 1000 + 3000) << "and the film ends by itself";
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, Opaque(kSecondColour[kClipSeconds - 1]), kVideoTolerance))
        << "the last picture is from the last second";
}

TEST_F(VideoPlayerTest, AFilmCutShortPlaysWhatItHasAndTheGameGoesOn)
{
    FailSafe::Info = L"None.";
    ::testing::internal::CaptureStderr();
    const long ms = Play(Clips::Get().Path("cut.wmv"), 0, 0, false);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(ms, kClipSeconds * 1000) << "ends where its data ends, not at its declared length";
    EXPECT_GT(ms, 500) << "what it has is shown";
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, Opaque(kSecondColour[0]), kVideoTolerance))
        << "the first second's pictures were shown";
    EXPECT_NE(err.find("cut short"), std::string::npos) << err;
    const std::string whole(FailSafe::Info.begin(), FailSafe::Info.end());
    EXPECT_NE(whole.find("cut.wmv: ends at"), std::string::npos) << whole;
}

TEST_F(VideoPlayerTest, ClosingTheWindowEndsTheClipAndLeavesTheQuitForTheMainLoop)
{
    // A closed window stays closed: the case runs in a process of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::Window& window = kt::GetWindow();
            window.PostQuit();
            const long ms = PlayClip(0, 0, false);
            const bool quitAgain = window.PumpMessages();
            Clips::Get().RemoveFiles();
            std::_Exit(ms < 1000 && quitAgain ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
