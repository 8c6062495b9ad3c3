// Textures with an authoritative CPU copy, uploaded on the main thread before drawing; and
// off-screen plain surfaces, which live in CPU memory only.
#include <epoxy/gl.h>

#include "platform/gfx/device.h"

namespace gfx {

namespace {

// The bytes of one texel as stored: 16-bit A4R4G4B4 or 32-bit B, G, R, A.
int BytesPerPixel(D3DFORMAT format) { return format == D3DFMT_A4R4G4B4 ? 2 : 4; }

// Validates a lock rectangle against the size; null locks everything.
bool LockArea(const RECT* rect, UINT width, UINT height, RECT* area)
{
    if (!rect) {
        *area = RECT{0, 0, static_cast<int>(width), static_cast<int>(height)};
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        rect->right > static_cast<int>(width) || rect->bottom > static_cast<int>(height))
        return false;
    *area = *rect;
    return true;
}

}  // namespace

// Every texture's versions come from one counter, so a texture made where another was
// destroyed never repeats a version the other had.
std::atomic<std::uint64_t> g_lastVersion{0};

Texture::Texture(Device* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool, bool renderTarget)
    : c_pDevice(device),
      c_uWidth(width),
      c_uHeight(height),
      c_format(format == D3DFMT_R8G8B8 ? D3DFMT_A8R8G8B8 : format),
      c_pool(pool),
      c_iBytesPerPixel(BytesPerPixel(format)),
      c_pixels(renderTarget ? 0 : static_cast<size_t>(width) * height * BytesPerPixel(format), 0),
      c_bRenderTarget(renderTarget)
{
    NewVersion();
}

void Texture::NewVersion() { c_uVersion.store(++g_lastVersion, std::memory_order_release); }

Texture::~Texture()
{
    if (!c_pDevice) return;
    c_pDevice->ForgetTexture(this);
    if (c_glName) glDeleteTextures(1, &c_glName);
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    RECT area{};
    if (level != 0 || !locked || c_bRenderTarget || !LockArea(rect, c_uWidth, c_uHeight, &area))
        return D3DERR_INVALIDCALL;
    // A second lock from the thread holding the first would wait on itself forever.
    if (c_lockOwner.load() == std::this_thread::get_id()) return D3DERR_INVALIDCALL;
    c_mutex.lock();
    c_lockOwner = std::this_thread::get_id();
    c_bLocked = true;
    c_dwLockFlags = flags;
    const int pitch = static_cast<int>(c_uWidth) * c_iBytesPerPixel;
    locked->Pitch = pitch;
    locked->pBits = c_pixels.data() + static_cast<size_t>(area.top) * pitch +
                    static_cast<size_t>(area.left) * c_iBytesPerPixel;
    return S_OK;
}

HRESULT Texture::UnlockRect(UINT level)
{
    if (level != 0 || !c_bLocked || c_lockOwner.load() != std::this_thread::get_id()) return D3DERR_INVALIDCALL;
    if (!(c_dwLockFlags & D3DLOCK_READONLY)) {
        c_bDirty = true;
        NewVersion();
        if (c_pDevice) c_pDevice->NoteChange();
    }
    c_bLocked = false;
    c_lockOwner = std::thread::id{};
    c_mutex.unlock();
    return S_OK;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) const
{
    if (level != 0 || !desc) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{c_format, c_pool, c_uWidth, c_uHeight};
    return S_OK;
}

void Texture::PreLoad() { Upload(); }

void Texture::Upload()
{
    if (!c_pDevice) return;
    // Locked by the drawing thread itself: draw what was uploaded last.
    if (c_lockOwner.load() == std::this_thread::get_id()) return;
    std::lock_guard lock(c_mutex);
    if (!c_glName) {
        glGenTextures(1, &c_glName);
        glBindTexture(GL_TEXTURE_2D, c_glName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        // A texture without alpha (X8R8G8B8) is read as opaque by the drawing programs, which
        // set its alpha to 1 themselves: a swizzle here would be ignored on the software
        // rasteriser's fast path for screen-aligned pictures.
        c_bDirty = true;
        c_bHasStorage = false;
    }
    if (!c_bDirty) return;
    glBindTexture(GL_TEXTURE_2D, c_glName);
    if (c_bRenderTarget) {
        // Storage only: the pixels come from the target, copied on the GPU.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(c_uWidth), static_cast<GLsizei>(c_uHeight), 0,
                     GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        c_bHasStorage = true;
        c_bDirty = false;
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // Rows go up in memory order: row 0, the top row, is v = 0.
    const bool sixteenBit = c_format == D3DFMT_A4R4G4B4;
    const GLenum type = sixteenBit ? GL_UNSIGNED_SHORT_4_4_4_4_REV : GL_UNSIGNED_BYTE;
    const GLsizei width = static_cast<GLsizei>(c_uWidth);
    const GLsizei height = static_cast<GLsizei>(c_uHeight);
    // 32-bit textures are made with the unsized format from BGRA pixels, so that the driver
    // keeps them in BGRA order: the order the software rasteriser samples fastest, and the
    // only one its fast path for screen-aligned pictures takes.
    // The size never changes: storage is made once and refilled in place afterwards (a
    // reused screen texture, a video frame), sparing the driver a new allocation each time.
    if (c_bHasStorage) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, type, c_pixels.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, sixteenBit ? GL_RGBA4 : GL_RGBA, width, height, 0, GL_BGRA, type,
                     c_pixels.data());
        c_bHasStorage = true;
    }
    c_bDirty = false;
}

Surface::Surface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool)
    : c_uWidth(width),
      c_uHeight(height),
      c_format(format),
      c_pool(pool),
      c_pixels(static_cast<size_t>(width) * height * 4, 0)
{
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    (void)flags;
    RECT area{};
    if (!locked || c_bLocked || !LockArea(rect, c_uWidth, c_uHeight, &area)) return D3DERR_INVALIDCALL;
    const int pitch = static_cast<int>(c_uWidth) * 4;
    locked->Pitch = pitch;
    locked->pBits = c_pixels.data() + static_cast<size_t>(area.top) * pitch + static_cast<size_t>(area.left) * 4;
    c_bLocked = true;
    return S_OK;
}

HRESULT Surface::UnlockRect()
{
    if (!c_bLocked) return D3DERR_INVALIDCALL;
    c_bLocked = false;
    return S_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) const
{
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{c_format, c_pool, c_uWidth, c_uHeight};
    return S_OK;
}

}  // namespace gfx
