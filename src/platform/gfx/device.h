// The graphics device: the subset of a fixed-function 3D device that the game's drawing code
// relies on, built on OpenGL 3.3 core. Everything renders into an off-screen 800 x 600
// colour + depth/stencil target; Present scales it (aspect kept, letterboxed) into the window.
// No OpenGL or SDL type appears here; the implementation keeps them private.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/d3d_types.h"

namespace platform {
class Window;
}

namespace gfx {

class Device;

constexpr int kBackBufferWidth = 800;
constexpr int kBackBufferHeight = 600;

// A 2D texture with one level. The CPU copy is authoritative: LockRect returns its current
// pixels (row 0 = top row = v 0), UnlockRect marks it dirty, and the upload to the GPU happens
// on the main thread before the texture is next drawn (or at PreLoad). LockRect/UnlockRect may
// be called from another thread (the video renderer): the lock holds the texture's mutex from
// LockRect to UnlockRect, and the upload takes the same mutex. Destroying a texture unbinds it
// from the device and from every state block; a texture outliving its device keeps its pixels.
// A texture made with D3DUSAGE_RENDERTARGET has no CPU copy and cannot be locked: it is
// filled on the GPU by Device::CopyTargetToTexture and keeps what was copied last.
class Texture {
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(UINT level);
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) const;
    void PreLoad();

    UINT Width() const { return c_uWidth; }
    UINT Height() const { return c_uHeight; }
    D3DFORMAT Format() const { return c_format; }
    bool IsRenderTarget() const { return c_bRenderTarget; }
    // Changes whenever the pixels may have changed (made, unlocked for writing, copied into)
    // and is never the same for two textures: equal readings mean the same pixels.
    std::uint64_t ContentVersion() const { return c_uVersion.load(std::memory_order_acquire); }

private:
    friend class Device;
    Texture(Device* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool, bool renderTarget);
    void NewVersion();
    // Uploads the CPU copy if it changed since the last upload. Main thread only.
    void Upload();

    Device* c_pDevice;
    UINT c_uWidth;
    UINT c_uHeight;
    D3DFORMAT c_format;  // as created; R8G8B8 placeholders are stored and reported as A8R8G8B8
    D3DPOOL c_pool;
    int c_iBytesPerPixel;
    std::vector<std::uint8_t> c_pixels;  // the CPU copy, top row first
    std::mutex c_mutex;                  // held from LockRect to UnlockRect and during Upload
    std::atomic<std::thread::id> c_lockOwner{};  // the thread between LockRect and UnlockRect
    DWORD c_dwLockFlags = 0;
    bool c_bLocked = false;
    bool c_bDirty = true;
    bool c_bHasStorage = false;  // c_glName has its level's storage (made by the first upload)
    bool c_bRenderTarget = false;
    std::atomic<std::uint64_t> c_uVersion{0};
    unsigned c_glName = 0;
};

// An off-screen plain surface: CPU memory only, the exact size of an image.
class Surface {
public:
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect();
    HRESULT GetDesc(D3DSURFACE_DESC* desc) const;

    UINT Width() const { return c_uWidth; }
    UINT Height() const { return c_uHeight; }

private:
    friend class Device;
    Surface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool);

    UINT c_uWidth;
    UINT c_uHeight;
    D3DFORMAT c_format;
    D3DPOOL c_pool;
    std::vector<std::uint8_t> c_pixels;
    bool c_bLocked = false;
};

// A vertex buffer with a CPU copy; uploaded when drawn after a change.
// What the vertices of one draw hold, learnt from a buffer's bytes at one version.
struct VertexFacts {
    std::uint64_t version = ~std::uint64_t{0};
    UINT first = 0, count = 0, offset = 0, stride = 0;
    bool screen = false;
    // Every texture coordinate lies in 0..1.
    bool texCoordsInside = false;
    // Every diffuse colour is opaque white (screen vertices only).
    bool whiteColour = false;
};

class VertexBuffer {
public:
    ~VertexBuffer();
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;

    // offset and size in bytes; size 0 locks from offset to the end.
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();
    UINT Size() const { return static_cast<UINT>(c_bytes.size()); }

private:
    friend class Device;
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    // Uploads the CPU copy if it changed since the last upload. Main thread only.
    void Upload();

    Device* c_pDevice;
    DWORD c_dwUsage;
    DWORD c_dwFvf;
    std::vector<std::uint8_t> c_bytes;
    bool c_bLocked = false;
    // The bytes locked since the last upload: only they are sent again (a font's buffer holds
    // a page of strings and most draws fill a few words' worth at its start).
    bool c_bAllocated = false;
    UINT c_uDirtyBegin = 0;
    UINT c_uDirtyEnd = 0;
    UINT c_uLockBegin = 0;
    UINT c_uLockEnd = 0;
    unsigned c_glName = 0;
    // Counts unlocks, so that what a draw learnt from the bytes is kept until they change.
    std::uint64_t c_uVersion = 0;
    VertexFacts c_facts;
};

// A recorded set of states (render, texture-stage, sampler states and stage textures).
// Capture refreshes the recorded values from the device; Apply sets them on the device.
// A block holds no reference to a texture destroyed after it was recorded (it is dropped).
class StateBlock {
public:
    ~StateBlock();
    StateBlock(const StateBlock&) = delete;
    StateBlock& operator=(const StateBlock&) = delete;

    HRESULT Capture();
    HRESULT Apply();

private:
    friend class Device;
    explicit StateBlock(Device* device) : c_pDevice(device) {}

    enum class Kind : std::uint8_t { Render, Stage, Sampler, Texture };
    // Sets or adds the recorded value of one state.
    void Record(Kind kind, std::uint32_t stage, std::uint32_t type, DWORD value, Texture* texture);
    void ForgetTexture(Texture* texture);

    struct Entry {
        Kind kind;
        std::uint32_t stage;
        std::uint32_t type;
        DWORD value;
        Texture* texture;
    };
    Device* c_pDevice;
    std::vector<Entry> c_entries;
};

class Device {
public:
    // Creates the device on the window's OpenGL 3.3 core context and applies the start-up
    // defaults of a fresh fixed-function device. On failure returns null and sets `error`
    // to the reason (which OpenGL call or requirement failed). The device must be destroyed
    // before its window (it releases its OpenGL objects on the window's context).
    static std::unique_ptr<Device> Create(platform::Window& window, std::string* error);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Frame
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil);
    HRESULT BeginScene();
    HRESULT EndScene();
    // Shows the back buffer in the window (scaled, letterboxed), waits for the retrace when the
    // display honours vsync and otherwise caps the pace at the display rate.
    HRESULT Present();
    // A frame that shows the picture already shown: nothing is drawn or scaled, unless the
    // window asks for its picture again (exposed, resized, switched, a screenshot asked for),
    // when this is Present. Paced like Present, and a frame for the manual clock's step.
    HRESULT ShowAgain();
    // Counts every Present and every change to what draws can show: a texture's pixels
    // unlocked for writing (from any thread), a texture or vertex buffer made, changed or
    // destroyed. Two equal readings mean the back buffer still holds the picture last shown.
    std::uint64_t GetChangeCount() const;

    // Geometry and transforms
    HRESULT SetViewport(const D3DVIEWPORT9& viewport);
    HRESULT GetViewport(D3DVIEWPORT9* viewport) const;
    // The rectangle (target pixels, top-left origin) outside which draws leave the target
    // alone while D3DRS_SCISSORTESTENABLE is TRUE; the whole target at start-up. Clears
    // ignore it.
    HRESULT SetScissorRect(const RECT& rect);
    HRESULT GetScissorRect(RECT* rect) const;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const;
    HRESULT SetStreamSource(UINT stream, VertexBuffer* buffer, UINT offset, UINT stride);
    HRESULT SetFVF(DWORD fvf);
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount);

    // States
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    DWORD GetRenderState(D3DRENDERSTATETYPE state) const;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    DWORD GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    DWORD GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const;
    HRESULT SetMaterial(const D3DMATERIAL9& material);
    HRESULT GetMaterial(D3DMATERIAL9* material) const;
    HRESULT SetTexture(DWORD stage, Texture* texture);  // not owned; null unbinds
    Texture* GetTexture(DWORD stage) const;
    HRESULT SetPixelShader(std::nullptr_t) { return S_OK; }
    // Every colour drawn from here on is multiplied by `factor` (clamped to 0..1) before it is
    // blended, alpha kept: a frame drawn dimmed is the same frame drawn at full and then veiled
    // in black at 1 - factor, without the veil's pass over the whole screen. 1, as at start-up,
    // draws colours as they are. Clears are not dimmed.
    void SetDimming(float factor);
    float GetDimming() const;

    // State blocks: the states set between Begin and End are recorded into the block.
    HRESULT BeginStateBlock();
    HRESULT EndStateBlock(std::unique_ptr<StateBlock>* block);

    // Resources. Each returns S_OK and fills `out`, or an error code and leaves it null.
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, std::unique_ptr<Texture>* out);
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        std::unique_ptr<Surface>* out);
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               std::unique_ptr<VertexBuffer>* out);

    // Capabilities
    // Copies the target's rectangle `source` (top-left origin) into a render-target texture of
    // exactly its size, upright (the rectangle's top row is the texture's v 0): a picture drawn
    // once can then be drawn again as a texture. Anything else is D3DERR_INVALIDCALL.
    HRESULT CopyTargetToTexture(const RECT& source, Texture* texture);

    HRESULT GetDeviceCaps(D3DCAPS9* caps) const;
    // Whether alpha blending works on the back buffer's format (the text renderer asks).
    bool CanBlendOnBackBuffer() const;
    // Tests may lower the reported maximum texture size to exercise the size limits.
    void SetMaxTextureSizeForTesting(DWORD size);
    // Tests sharing one device start each case from the start-up state: every render,
    // texture-stage and sampler state, material, transforms, viewport and stream as a fresh
    // device has them, no texture bound, no state block being recorded, the real size limit.
    void ResetStateForTesting();

    // How many textures made on this device still exist (loading and unloading pictures must
    // not accumulate them).
    std::size_t GetLiveTextureCount() const;
    // How many textures have been made on this device in all (entering screens should refill
    // textures rather than make new ones).
    std::size_t GetTexturesCreated() const;

    // Reads the back buffer: 800 x 600 pixels as 0xAARRGGBB, top row first.
    std::vector<std::uint32_t> ReadBackBuffer() const;
    // Called by Present with the frame it shows (as ReadBackBuffer returns it) when the player
    // asked the window for a screenshot since the last Present. Main thread; null: none.
    void SetScreenshotHandler(std::function<void(const std::vector<std::uint32_t>&)> handler);

    // The player's brightness: Present shows every colour channel c (0..1) as c^(1/gamma);
    // 1 shows the picture exactly as drawn. The back buffer itself is never changed.
    void SetGamma(float gamma);
    // The picture as Present would show it in a drawable of `width` x `height` (letterboxed,
    // black bars), brightness included, in the form of ReadBackBuffer, rows of `width` (for
    // tests and screenshots of what the player sees).
    std::vector<std::uint32_t> ReadPresentedPicture(int width = kBackBufferWidth, int height = kBackBufferHeight) const;

    struct Impl;  // private to platform/gfx (device_impl.h)

private:
    friend class Texture;
    friend class VertexBuffer;
    friend class StateBlock;
    explicit Device(std::unique_ptr<Impl> impl);
    void ForgetTexture(Texture* texture);  // unbinds a texture being destroyed
    void ForgetVertexBuffer(VertexBuffer* buffer);
    void ForgetStateBlock(StateBlock* block);
    void NoteChange();  // any thread
    std::unique_ptr<Impl> c_pImpl;
};

}  // namespace gfx
