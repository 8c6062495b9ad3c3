// State blocks: a recorded list of render, texture-stage and sampler states and stage
// textures, refreshed from the device by Capture and set on it by Apply.
#include <algorithm>

#include "platform/gfx/device.h"

namespace gfx {

StateBlock::~StateBlock()
{
    if (c_pDevice) c_pDevice->ForgetStateBlock(this);
}

void StateBlock::Record(Kind kind, std::uint32_t stage, std::uint32_t type, DWORD value, Texture* texture)
{
    for (Entry& entry : c_entries) {
        if (entry.kind == kind && entry.stage == stage && entry.type == type) {
            entry.value = value;
            entry.texture = texture;
            return;
        }
    }
    c_entries.push_back(Entry{kind, stage, type, value, texture});
}

void StateBlock::ForgetTexture(Texture* texture)
{
    for (Entry& entry : c_entries)
        if (entry.kind == Kind::Texture && entry.texture == texture) entry.texture = nullptr;
}

HRESULT StateBlock::Capture()
{
    if (!c_pDevice) return D3DERR_INVALIDCALL;
    for (Entry& entry : c_entries) {
        switch (entry.kind) {
        case Kind::Render:
            entry.value = c_pDevice->GetRenderState(static_cast<D3DRENDERSTATETYPE>(entry.type));
            break;
        case Kind::Stage:
            entry.value = c_pDevice->GetTextureStageState(entry.stage, static_cast<D3DTEXTURESTAGESTATETYPE>(entry.type));
            break;
        case Kind::Sampler:
            entry.value = c_pDevice->GetSamplerState(entry.stage, static_cast<D3DSAMPLERSTATETYPE>(entry.type));
            break;
        case Kind::Texture: entry.texture = c_pDevice->GetTexture(entry.stage); break;
        }
    }
    return S_OK;
}

HRESULT StateBlock::Apply()
{
    if (!c_pDevice) return D3DERR_INVALIDCALL;
    for (const Entry& entry : c_entries) {
        switch (entry.kind) {
        case Kind::Render:
            c_pDevice->SetRenderState(static_cast<D3DRENDERSTATETYPE>(entry.type), entry.value);
            break;
        case Kind::Stage:
            c_pDevice->SetTextureStageState(entry.stage, static_cast<D3DTEXTURESTAGESTATETYPE>(entry.type),
                                            entry.value);
            break;
        case Kind::Sampler:
            c_pDevice->SetSamplerState(entry.stage, static_cast<D3DSAMPLERSTATETYPE>(entry.type), entry.value);
            break;
        case Kind::Texture: c_pDevice->SetTexture(entry.stage, entry.texture); break;
        }
    }
    return S_OK;
}

}  // namespace gfx
