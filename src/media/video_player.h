// Cut-scene videos. VideoPlayer plays one clip, taking over the main thread until the clip ends
// or the player presses Escape; CTextureRenderer receives the decoded frames on the media
// graph's thread and copies them into a 512 x 256 texture that the player draws over the
// screen, letterboxed or whole, with a subtitle line. Sees no platform library headers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/gfx/d3d_types.h"
#include "platform/media/media_graph.h"

namespace gfx {
class Texture;
}
namespace platform {
class Window;
}
class KeyManager;
class SubtitleItem;

// The frame texture (A8R8G8B8): a frame occupies its top-left width x height texels, so no
// video may be larger.
constexpr UINT kVideoTextureWidth = 512;
constexpr UINT kVideoTextureHeight = 256;

// The video renderer of one playback. SetMediaType runs on the thread that opens the graph,
// before any frame; DoRenderSample on the graph's presenter thread; the rest on the main thread.
class CTextureRenderer : public platform::FrameSink {
public:
    CTextureRenderer() = default;

    // Whether frames of `type` can be shown: 24-bit RGB rows (pitch = width * 3 rounded up to
    // a multiple of 4) that fit the frame texture. S_OK; E_POINTER for no type; E_INVALIDARG
    // for a format without a picture size; E_FAIL for any other picture.
    HRESULT CheckMediaType(const platform::VideoFormat* type) const;
    // Records the frame's width, the absolute value of its height and the RGB24 pitch, and
    // whether CheckMediaType accepts the format (frames of a refused format are dropped).
    void SetMediaType(const platform::VideoFormat& type) override;
    // Copies one frame into the texture (see RenderSample); failures drop the frame.
    void DoRenderSample(const std::uint8_t* frame, std::size_t bytes, std::int64_t time) override;
    // Copies one bottom-up RGB24 frame of `bytes` bytes into the texture, row r of the buffer
    // to texture row r, as opaque 0xAARRGGBB texels. Marks the renderer as having had data
    // first, whatever follows. E_POINTER without a frame, E_UNEXPECTED without a texture,
    // E_INVALIDARG for a refused format or a buffer shorter than height * pitch, or the
    // texture's error when it cannot be locked; the texture is then left as it was.
    HRESULT RenderSample(const std::uint8_t* frame, std::size_t bytes);

    // The texture frames go to (not owned); null detaches it. Once this returns, no frame
    // touches the previous texture any more, so its owner may release it.
    void setTexture(gfx::Texture* texture);
    // True once a frame has been delivered (even one that was dropped).
    bool getGotData() const { return c_bGotData.load(std::memory_order_acquire); }
    // Whether the format given to SetMediaType was accepted.
    bool getTypeAccepted() const { return c_bTypeAccepted; }
    // The recorded frame size in pixels and source row length in bytes.
    std::int32_t get_VidWidth() const { return c_lVidWidth; }
    std::int32_t get_VidHeight() const { return c_lVidHeight; }
    std::int32_t get_VidPitch() const { return c_lVidPitch; }

private:
    // Converts the frame into the locked texture and repeats its right column and top row
    // (the buffer's last row) into the texels beyond it.
    void CopyFrame(const std::uint8_t* frame, const D3DLOCKED_RECT& locked, int width, int height,
                   int textureWidth, int textureHeight) const;

    std::atomic<bool> c_bGotData{false};
    std::int32_t c_lVidWidth = 0;
    std::int32_t c_lVidHeight = 0;
    std::int32_t c_lVidPitch = 0;
    bool c_bTypeAccepted = false;
    std::mutex c_textureLock;           // held around each frame's copy and by setTexture
    gfx::Texture* c_pTexture = nullptr;  // not owned
};

class VideoPlayer {
public:
    // Keeps the main window and the key manager (neither owned; both outlive the player). The
    // key manager may be null: Escape then cannot end a clip.
    VideoPlayer(platform::Window* hWnd, KeyManager* keyManager);
    virtual ~VideoPlayer() = default;
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // Plays `path` from `start` to `stop` milliseconds into the file (stop 0: to the end) with
    // its sound, over the whole screen (`fullFrame`) or in the band of rows 100 to 500, with the
    // line of `subtitles` (may be null) for the time in the file. Returns when the clip has
    // ended, Escape was pressed or the window was closed (the quit is then posted again for the
    // main loop). A clip that cannot be played (it cannot be opened, has no pictures, or its
    // pictures are larger than the frame texture) shows a message box and returns; one that
    // fails part-way ends there; the game goes on either way. The file and the cause go to
    // FailSafe::Info and standard error. Draws with D3Dfunc::pD3Ddevice. Main thread.
    virtual void PlayVideo(const std::wstring& path, std::int64_t start, std::int64_t stop, bool fullFrame,
                           SubtitleItem* subtitles);

    // The window the player was made for; playback keeps the main window alive.
    platform::Window* get_Window() const { return c_hWnd; }

    // Whether a clip is running now (readable from any thread: the replay harness skips clips
    // from its own thread), and how many clips have been started so far.
    bool get_Playing() const { return c_bPlaying.load(); }
    int get_PlayCount() const { return c_iPlayCount.load(); }

    // The player's subtitle settings, for the clips started from now on: shown or not, and
    // in the large font rather than the game's own.
    void set_Subtitles(bool shown, bool large)
    {
        c_bSubtitles = shown;
        c_bLargeSubtitles = large;
    }
    bool get_SubtitlesShown() const { return c_bSubtitles; }
    // Called at every frame a clip with subtitles draws, with the line for its time (Latin-1,
    // "" between lines), whether subtitles are shown or not: what the film says now.
    void set_LineHook(std::function<void(const char*)> hook) { c_lineHook = std::move(hook); }
    bool get_LargeSubtitles() const { return c_bLargeSubtitles; }

private:
    platform::Window* c_hWnd;
    KeyManager* c_pKeyManager;
    std::atomic<bool> c_bPlaying{false};
    std::atomic<int> c_iPlayCount{0};
    bool c_bSubtitles = true;
    bool c_bLargeSubtitles = false;
    std::function<void(const char*)> c_lineHook;
};

// The game's one video player, made at start-up.
extern VideoPlayer* _pVideoPlayer;
