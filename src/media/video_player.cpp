#include "media/video_player.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "core/error.h"

#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "input/key_manager.h"
#include "media/subtitle_item.h"
#include "platform/clock/clock.h"
#include "platform/input/key_codes.h"
#include "platform/window/window.h"

VideoPlayer* _pVideoPlayer = nullptr;

namespace {

static_assert(std::endian::native == std::endian::little,
              "frames are converted with 32-bit words holding bytes blue, green, red in that order");

constexpr const char* kRendererCreationError = "Texture Renderer Creation Error. Unable to play animation.";
constexpr const char* kRendererRegisterError = "Texture Renderer Register Error. Unable to play animation.";
constexpr const char* kRenderFileError = "Renderfile Error. Unable to play animation.";

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr D3DCOLOR kBlack = 0xFF000000u;
// Playback ends once the position is within this much (1 ms, in 100 ns) of the end.
constexpr platform::MediaTime kEndTolerance = 10000;
// The letterbox: full width, rows 100 to 500 of the 800 x 600 screen.
constexpr float kLetterboxTop = -0.6666f;
constexpr float kLetterboxHeight = 0.6666f;
// Before the first frame nothing is presented, so nothing paces the loop: it naps instead of
// taking a core from the decoder it waits for.
constexpr auto kWaitForFrame = std::chrono::milliseconds(1);

std::int32_t Rgb24Pitch(std::int32_t width) { return (width * 3 + 3) & ~3; }

std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void Store32(std::uint8_t* p, std::uint32_t value) { std::memcpy(p, &value, sizeof value); }

// One row: full groups of four pixels (12 bytes) are read as three words and written as four
// texels; the remaining pixels one by one.
void ConvertRow(const std::uint8_t* src, std::uint8_t* dst, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
        const std::uint32_t w0 = Load32(src);      // b0 g0 r0 b1
        const std::uint32_t w1 = Load32(src + 4);  // g1 r1 b2 g2
        const std::uint32_t w2 = Load32(src + 8);  // r2 b3 g3 r3
        Store32(dst, kOpaque | (w0 & 0x00FFFFFFu));
        Store32(dst + 4, kOpaque | (w0 >> 24) | ((w1 & 0xFFFFu) << 8));
        Store32(dst + 8, kOpaque | (w1 >> 16) | ((w2 & 0xFFu) << 16));
        Store32(dst + 12, kOpaque | (w2 >> 8));
    }
    for (; x < width; ++x, src += 3, dst += 4)
        Store32(dst, kOpaque | (std::uint32_t{src[2]} << 16) | (std::uint32_t{src[1]} << 8) | src[0]);
}

}  // namespace

// ---- CTextureRenderer ----------------------------------------------------------------------

HRESULT CTextureRenderer::CheckMediaType(const platform::VideoFormat* type) const
{
    if (type == nullptr) return E_POINTER;
    if (type->width <= 0 || type->height == 0) return E_INVALIDARG;
    const std::int32_t height = std::abs(type->height);
    if (type->pitch != Rgb24Pitch(type->width)) return E_FAIL;
    if (type->width > static_cast<int>(kVideoTextureWidth) || height > static_cast<int>(kVideoTextureHeight))
        return E_FAIL;
    return S_OK;
}

void CTextureRenderer::SetMediaType(const platform::VideoFormat& type)
{
    c_bTypeAccepted = SUCCEEDED(CheckMediaType(&type));
    c_lVidWidth = type.width;
    c_lVidHeight = std::abs(type.height);
    c_lVidPitch = Rgb24Pitch(type.width);
}

void CTextureRenderer::DoRenderSample(const std::uint8_t* frame, std::size_t bytes, std::int64_t /*time*/)
{
    (void)RenderSample(frame, bytes);
}

HRESULT CTextureRenderer::RenderSample(const std::uint8_t* frame, std::size_t bytes)
{
    c_bGotData.store(true, std::memory_order_release);
    if (frame == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> guard(c_textureLock);
    if (c_pTexture == nullptr) return E_UNEXPECTED;
    // A format the texture cannot hold, or a buffer shorter than its rows, would be read or
    // written out of bounds.
    if (!c_bTypeAccepted ||
        bytes < static_cast<std::size_t>(c_lVidPitch) * static_cast<std::size_t>(c_lVidHeight))
        return E_INVALIDARG;

    D3DLOCKED_RECT locked{};
    const HRESULT hr = c_pTexture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD);
    if (FAILED(hr)) return hr;
    CopyFrame(frame, locked, c_lVidWidth, c_lVidHeight, static_cast<int>(c_pTexture->Width()),
              static_cast<int>(c_pTexture->Height()));
    return c_pTexture->UnlockRect(0);
}

void CTextureRenderer::CopyFrame(const std::uint8_t* frame, const D3DLOCKED_RECT& locked, int width, int height,
                                 int textureWidth, int textureHeight) const
{
    width = std::min(width, textureWidth);
    height = std::min(height, textureHeight);
    auto* texels = static_cast<std::uint8_t*>(locked.pBits);
    const std::uint8_t* src = frame;
    for (int r = 0; r < height; ++r, src += c_lVidPitch) {
        std::uint8_t* dst = texels + static_cast<std::ptrdiff_t>(r) * locked.Pitch;
        ConvertRow(src, dst, width);
        // Filtered sampling at the picture's right edge reaches one texel beyond it: repeat
        // the edge there rather than blend in whatever the unused part holds.
        if (width < textureWidth) std::memcpy(dst + width * 4, dst + (width - 1) * 4, 4);
    }
    // Likewise above the picture's top row (the buffer's last row; v grows upward on screen).
    if (height > 0 && height < textureHeight) {
        const int texelsPerRow = std::min(width + 1, textureWidth);
        std::memcpy(texels + static_cast<std::ptrdiff_t>(height) * locked.Pitch,
                    texels + static_cast<std::ptrdiff_t>(height - 1) * locked.Pitch,
                    static_cast<std::size_t>(texelsPerRow) * 4);
    }
}

void CTextureRenderer::setTexture(gfx::Texture* texture)
{
    std::lock_guard<std::mutex> guard(c_textureLock);
    c_pTexture = texture;
}

// ---- VideoPlayer ---------------------------------------------------------------------------

namespace {

// Everything one playback makes, released in the order that keeps the graph's thread away
// from what is being released: the graph first (its threads end with it), then the texture,
// the quad, the renderer and the font.
struct Playback {
    std::unique_ptr<CD3DFont> font;
    std::unique_ptr<CTextureRenderer> renderer;
    std::unique_ptr<FullScreenImage> quad;
    std::unique_ptr<Texture> texture;
    std::unique_ptr<platform::MediaGraph> graph;

    Playback() = default;
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;
    ~Playback() { Release(); }

    void Release()
    {
        if (graph) graph->Stop();
        graph.reset();
        if (renderer) renderer->setTexture(nullptr);
        texture.reset();
        quad.reset();
        renderer.reset();
        font.reset();
    }
};

// Why the opened film cannot be shown, or empty when it can.
std::string RefusalReason(const Playback& playback)
{
    const platform::MediaGraph& graph = *playback.graph;
    if (!graph.IsRendered()) return graph.GetError();
    if (!graph.HasVideo()) return "has no picture stream that can be decoded";
    const CTextureRenderer& renderer = *playback.renderer;
    if (!renderer.getTypeAccepted())
        return "its pictures are " + std::to_string(renderer.get_VidWidth()) + " x " +
               std::to_string(renderer.get_VidHeight()) + ", larger than " + std::to_string(kVideoTextureWidth) +
               " x " + std::to_string(kVideoTextureHeight);
    return "";
}

// A film's failure: the file and its cause where the fatal-error screen finds them (which
// shows the start) and whole on standard error.
void KeepFailure(const std::wstring& path, const std::string& reason)
{
    const std::string file = platform::PathToUtf8(path);
    FailSafe::SetInfo(file + ": " + reason);
    std::fprintf(stderr, "Kelvane: the film \"%s\" %s\n", file.c_str(), reason.c_str());
}

// Makes the renderer and the graph of `path` with the renderer connected to its pictures.
// False after the failure's message box (and its cause, see KeepFailure).
bool OpenGraph(const std::wstring& path, Playback& playback)
{
    try {
        playback.renderer = std::make_unique<CTextureRenderer>();
        playback.graph = platform::MediaGraph::RenderFile(path, playback.renderer.get());
    } catch (const std::bad_alloc&) {
        platform::MessageBox(kRendererCreationError, "");
        return false;
    }
    if (!playback.graph) {
        platform::MessageBox(kRendererRegisterError, "");
        return false;
    }
    // A file that cannot be decoded, has no pictures, or whose pictures the renderer refuses
    // (larger than the frame texture) cannot be rendered.
    if (const std::string reason = RefusalReason(playback); !reason.empty()) {
        KeepFailure(path, reason);
        platform::MessageBox(kRenderFileError, "");
        return false;
    }
    return true;
}

// Where playback ends, in 100 ns: `stopMs` into the file, or the file's duration for 0.
platform::MediaTime EndPosition(platform::MediaSeeking& seeking, std::int64_t stopMs)
{
    if (stopMs != 0) return stopMs * platform::kMediaUnitsPerMs;
    platform::MediaTime duration = 0;
    seeking.GetDuration(&duration);
    return duration;
}

// Moves the start to `startMs`, leaving the graph's own stop position as it is.
void SeekToStart(platform::MediaSeeking& seeking, std::int64_t startMs)
{
    platform::MediaTime current = 0;
    platform::MediaTime graphStop = 0;
    seeking.GetPositions(&current, &graphStop);
    const platform::MediaTime start = startMs * platform::kMediaUnitsPerMs;
    seeking.SetPositions(&start, platform::AM_SEEKING_AbsolutePositioning, &graphStop,
                         platform::AM_SEEKING_AbsolutePositioning);
}

// The frame texture, handed to the renderer, and the quad that shows the frame's part of it
// upright (frames arrive bottom row first and are copied unflipped); both bound for the loop.
void PrepareDrawing(gfx::Device& device, Playback& playback)
{
    playback.texture = std::make_unique<Texture>(&device, kVideoTextureWidth, kVideoTextureHeight, D3DFMT_A8R8G8B8);
    playback.renderer->setTexture(playback.texture->getTexture());
    const float uRight = static_cast<float>(playback.renderer->get_VidWidth()) / kVideoTextureWidth;
    const float vTop = static_cast<float>(playback.renderer->get_VidHeight()) / kVideoTextureHeight;
    playback.quad = std::make_unique<FullScreenImage>();
    playback.quad->Create(&device, 0.0f, vTop, uRight, 0.0f);
    device.SetTexture(0, playback.texture->getTexture());
    device.SetViewport(D3DVIEWPORT9{0, 0, gfx::kBackBufferWidth, gfx::kBackBufferHeight, 0.0f, 1.0f});
}

std::unique_ptr<CD3DFont> CreateSubtitleFont(gfx::Device& device, std::uint32_t height)
{
    auto font = std::make_unique<CD3DFont>(subtitles::kFontFace, height, D3DFONT_BOLD);
    font->InitDeviceObjects(&device);
    font->RestoreDeviceObjects();
    return font;
}

struct FrameLayout {
    bool fullFrame;
    SubtitleItem* subtitles;
    std::uint32_t t0;
    std::int64_t startMs;
};

// One whole frame: the latest video picture, letterboxed or over the whole screen, and the
// subtitle line for the time in the file.
void DrawFrame(gfx::Device& device, Playback& playback, const FrameLayout& layout)
{
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device.BeginScene();
    if (playback.texture->getTexture() != nullptr) {
        if (layout.fullFrame)
            playback.quad->Render(&device, -1.0f, -1.0f, 1.0f, 1.0f);
        else
            playback.quad->Render(&device, -1.0f, kLetterboxTop, 1.0f, kLetterboxHeight);
    }
    if (layout.subtitles != nullptr) {
        const std::uint32_t time = subtitles::PlaybackTime(layout.t0, timeGetTime(), layout.startMs);
        subtitles::DrawLine(*playback.font, layout.subtitles->Get(time));
    }
    device.EndScene();
    device.Present();
}

}  // namespace

VideoPlayer::VideoPlayer(platform::Window* hWnd, KeyManager* keyManager) : c_hWnd(hWnd), c_pKeyManager(keyManager) {}

void VideoPlayer::PlayVideo(const std::wstring& path, std::int64_t start, std::int64_t stop, bool fullFrame,
                            SubtitleItem* subtitles)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    if (device == nullptr) {
        platform::MessageBox(kRendererCreationError, "");
        return;
    }
    Playback playback;
    if (!OpenGraph(path, playback)) return;

    platform::MediaGraph& graph = *playback.graph;
    const platform::MediaTime end = EndPosition(graph, stop);
    SeekToStart(graph, start);
    PrepareDrawing(*device, playback);

    const FrameLayout layout{fullFrame, c_bSubtitles ? subtitles : nullptr, timeGetTime(), start};
    playback.font =
        CreateSubtitleFont(*device, c_bLargeSubtitles ? subtitles::kLargeFontHeight : subtitles::kFontHeight);
    graph.Run();
    ++c_iPlayCount;
    c_bPlaying = true;

    platform::Window* window = platform::GetMainWindow();
    for (;;) {
        const bool drawn = playback.renderer->getGotData();
        if (drawn) DrawFrame(*device, playback, layout);
        if (drawn && c_lineHook && subtitles != nullptr)
            c_lineHook(subtitles->Get(subtitles::PlaybackTime(layout.t0, timeGetTime(), layout.startMs)));
        // The desktop must not take the game for hung during a long clip; only Escape acts.
        if (window != nullptr && window->KeepAlive()) {
            window->PostQuit();  // the player closed the window: let the main loop see it
            break;
        }
        if (c_pKeyManager != nullptr) c_pKeyManager->Update();
        platform::MediaTime current = 0;
        platform::MediaTime graphStop = 0;
        graph.GetPositions(&current, &graphStop);
        if (current > end - kEndTolerance) break;
        // A stop past the end of the file is never reached: the graph standing at its own end
        // finishes the clip as well.
        if (current >= graphStop) break;
        if (c_pKeyManager != nullptr && c_pKeyManager->GetKeyPressedDel(platform::DIK_ESCAPE)) break;
        if (!drawn) std::this_thread::sleep_for(kWaitForFrame);
    }
    c_bPlaying = false;
    // A film that failed part-way has already said so in one line; its cause is kept for the
    // fatal-error screen as well.
    if (const std::string reason = graph.GetError(); !reason.empty())
        FailSafe::SetInfo(platform::PathToUtf8(path) + ": " + reason);
    playback.Release();
}
