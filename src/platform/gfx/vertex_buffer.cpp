// Vertex buffers with a CPU copy; the GL buffer is refreshed when a changed buffer is drawn.
#include <epoxy/gl.h>

#include <algorithm>

#include "platform/gfx/device.h"

namespace gfx {

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : c_pDevice(device), c_dwUsage(usage), c_dwFvf(fvf), c_bytes(length, 0)
{
    (void)pool;
}

VertexBuffer::~VertexBuffer()
{
    if (!c_pDevice) return;
    c_pDevice->ForgetVertexBuffer(this);
    if (c_glName) glDeleteBuffers(1, &c_glName);
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    (void)flags;
    const UINT total = Size();
    if (!data || offset > total) return D3DERR_INVALIDCALL;
    if (size == 0) size = total - offset;
    if (size > total - offset) return D3DERR_INVALIDCALL;
    *data = c_bytes.data() + offset;
    c_bLocked = true;
    c_uLockBegin = offset;
    c_uLockEnd = offset + size;
    return S_OK;
}

HRESULT VertexBuffer::Unlock()
{
    if (!c_bLocked) return D3DERR_INVALIDCALL;
    c_bLocked = false;
    if (c_uDirtyBegin >= c_uDirtyEnd) {
        c_uDirtyBegin = c_uLockBegin;
        c_uDirtyEnd = c_uLockEnd;
    } else {
        c_uDirtyBegin = std::min(c_uDirtyBegin, c_uLockBegin);
        c_uDirtyEnd = std::max(c_uDirtyEnd, c_uLockEnd);
    }
    ++c_uVersion;
    if (c_pDevice) c_pDevice->NoteChange();
    return S_OK;
}

void VertexBuffer::Upload()
{
    if (!c_pDevice) return;
    if (!c_glName) {
        glGenBuffers(1, &c_glName);
        c_bAllocated = false;
    }
    glBindBuffer(GL_ARRAY_BUFFER, c_glName);
    if (!c_bAllocated) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(c_bytes.size()), c_bytes.data(),
                     (c_dwUsage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        c_bAllocated = true;
    } else if (c_uDirtyBegin < c_uDirtyEnd) {
        glBufferSubData(GL_ARRAY_BUFFER, c_uDirtyBegin, c_uDirtyEnd - c_uDirtyBegin, c_bytes.data() + c_uDirtyBegin);
    }
    c_uDirtyBegin = c_uDirtyEnd = 0;
}

}  // namespace gfx
