#include "display/display_screen.h"

#include <algorithm>
#include <cmath>

#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "platform/clock/clock.h"

namespace {

constexpr float kTwoPi = 6.2831854820251465f;
constexpr D3DVIEWPORT9 kViewBand{0, 100, 800, 400, 0.0f, 1.0f};
constexpr UINT kPlaceholderSide = 100;
// An immediate switch dates its start this far back, so the transition is already over.
constexpr DWORD kImmediateSwitchAge = 1000;

// Adds `radians` to an angle and brings the sum back into 0 .. 2 pi.
float TurnedAngle(float angle, float radians)
{
    angle += radians;
    if (angle > kTwoPi) angle -= kTwoPi;
    if (angle < 0.0f) angle += kTwoPi;
    // One wrap covers every turn of a normal frame; a turn of more than a full circle (a long
    // frame) still has to end inside the range the world's hit tests assume.
    if (angle > kTwoPi || angle < 0.0f) {
        angle = std::fmod(angle, kTwoPi);
        if (angle < 0.0f) angle += kTwoPi;
        if (!std::isfinite(angle)) angle = 0.0f;
    }
    return angle;
}

}  // namespace

DisplayScreen::DisplayScreen(gfx::Device* device, int slices, int stacks, float radius)
    : c_pDevice(device)
{
    for (int slot = 0; slot < 2; ++slot) {
        c_pPanospheres[slot] = std::make_unique<Panosphere>();
        c_pPanospheres[slot]->Create(device, slices, stacks, radius);
        c_pFullScreenImages[slot] = std::make_unique<FullScreenImage>();
        c_pFullScreenImages[slot]->Create(device);
        // A slot whose placeholder cannot be made starts empty and draws untextured.
        if (device != nullptr)
            device->CreateTexture(kPlaceholderSide, kPlaceholderSide, 1, 0, D3DFMT_R8G8B8,
                                  D3DPOOL_DEFAULT, &c_pTextures[slot]);
    }
    if (device != nullptr) c_keptQuad.Create(device);
}

DisplayScreen::~DisplayScreen() = default;

template <typename Load>
void DisplayScreen::RefillBackSlot(Load load, UINT width, UINT height)
{
    // The picture goes into a texture a slot gave up before, of its size, so entering a screen
    // neither allocates nor clears a picture's worth of memory (nor makes the driver do so).
    // The back slot's own texture is kept until the load succeeds, unless it is the one refilled.
    std::unique_ptr<gfx::Texture> loaded = TakeSpareTexture(width, height);
    // With no spare of its size, a picture already decoded refills the back slot's own texture
    // when that has the size: copying it in cannot fail half way, and the slot's old picture is
    // not shown again once the switch has made this slot the front.
    const std::unique_ptr<gfx::Texture>& own = c_pTextures[Back()];
    if (!loaded && width != 0 && own && own->Width() == width && own->Height() == height)
        loaded = std::move(c_pTextures[Back()]);
    load(&loaded);
    KeepSpareTexture(std::move(c_pTextures[Back()]));
    c_pTextures[Back()] = std::move(loaded);
}

std::unique_ptr<gfx::Texture> DisplayScreen::TakeSpareTexture(UINT width, UINT height)
{
    auto spare = c_spareTextures.begin();
    if (width != 0 || height != 0) {
        spare = std::find_if(c_spareTextures.begin(), c_spareTextures.end(), [&](const auto& texture) {
            return texture->Width() == width && texture->Height() == height;
        });
    }
    if (spare == c_spareTextures.end()) return nullptr;
    std::unique_ptr<gfx::Texture> taken = std::move(*spare);
    c_spareTextures.erase(spare);
    return taken;
}

void DisplayScreen::KeepSpareTexture(std::unique_ptr<gfx::Texture> texture)
{
    if (!texture) return;
    c_spareTextures.insert(c_spareTextures.begin(), std::move(texture));
    if (c_spareTextures.size() > kSpareTextures) c_spareTextures.resize(kSpareTextures);
}

bool DisplayScreen::setTexture(const char* path, int offset)
{
    RefillBackSlot([&](std::unique_ptr<gfx::Texture>* texture) { D3Dfunc::LoadTextureFromEncrypted(path, offset, texture); },
                   0, 0);
    return true;
}

bool DisplayScreen::setTexture(const imaging::Image& picture)
{
    RefillBackSlot([&](std::unique_ptr<gfx::Texture>* texture) { D3Dfunc::LoadTextureFromPicture(picture, texture); },
                   static_cast<UINT>(picture.width), static_cast<UINT>(picture.height));
    return true;
}

std::unique_ptr<gfx::Texture>* DisplayScreen::getTexture() { return &c_pTextures[Back()]; }

void DisplayScreen::SetType(int type) { c_iTypes[Back()] = type; }

void DisplayScreen::Switch() { Switch(c_iSwitchLength); }

void DisplayScreen::Switch(int milliseconds)
{
    if (c_pTextures[Back()]) c_pTextures[Back()]->PreLoad();
    if (milliseconds > 0) {
        c_dwSwitchDuration = static_cast<DWORD>(milliseconds);
        c_dwSwitchStart = timeGetTime();
    } else {
        c_dwSwitchDuration = 0;
        c_dwSwitchStart = timeGetTime() - kImmediateSwitchAge;
    }
    c_iFront = Back();
}

void DisplayScreen::setSwitchLength(int milliseconds) { c_iSwitchLength = milliseconds; }

void DisplayScreen::InstantSwitch() { c_iFront = Back(); }

bool DisplayScreen::get_Switching() const
{
    return c_dwSwitchDuration != 0 && static_cast<DWORD>(timeGetTime() - c_dwSwitchStart) < c_dwSwitchDuration;
}

void DisplayScreen::RotateBy(float radians) { c_fRotations[c_iFront] = TurnedAngle(c_fRotations[c_iFront], radians); }

void DisplayScreen::RotateBackgroundBy(float radians) { c_fRotations[Back()] = TurnedAngle(c_fRotations[Back()], radians); }

void DisplayScreen::RotateTo(float radians) { c_fRotations[c_iFront] = radians; }

void DisplayScreen::RotateBackgroundTo(float radians) { c_fRotations[Back()] = radians; }

float DisplayScreen::GetRotation() const { return c_fRotations[c_iFront]; }

float DisplayScreen::GetBackgroundRotation() const { return c_fRotations[Back()]; }

float DisplayScreen::SlotOneShare() const
{
    // With no transition running the front slot is shown alone (also before any switch,
    // when the elapsed time may still be 0 and a ratio would be undefined).
    if (c_dwSwitchDuration == 0) return static_cast<float>(c_iFront);
    const float elapsed = static_cast<float>(static_cast<DWORD>(timeGetTime() - c_dwSwitchStart));
    const float progress = elapsed / static_cast<float>(c_dwSwitchDuration);
    float share = (c_iFront == 1) ? progress : 1.0f - progress;
    if (share < 0.0f) share = 0.0f;
    if (share > 1.0f) share = 1.0f;
    return share;
}

void DisplayScreen::Render()
{
    c_pDevice->SetViewport(kViewBand);
    c_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    const float share = SlotOneShare();

    if (share == 0.0f || share == 1.0f) {
        DrawSlot(share == 0.0f ? 0 : 1);
        return;
    }

    // Cross-fade: slot 0 underneath at full strength, slot 1 over it at opacity `share`. Both
    // draw unlit, so the picture is the texture alone, and the opacity is the blend's constant
    // factor rather than a colour the fragment program multiplies in: the world's pictures are
    // opaque, so that is the same mix, and a plain texture blended by a constant is far
    // cheaper for a software rasteriser to fill. The caller's blend factors are put back.
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // A panorama fading in is drawn blended, which gives nothing to keep; drawn opaque first
    // (slot 0 then covers it), it is kept for the rest of the fade. The copy the slot kept of
    // an earlier screen shows another look and is replaced.
    const std::optional<Look> fadingIn = KeepableLook(1);
    if (fadingIn && c_kept[1].look != fadingIn && c_kept[1].lastDrawn == fadingIn) DrawAndKeep(1, fadingIn);
    DrawSlot(0);

    const DWORD srcBlend = c_pDevice->GetRenderState(D3DRS_SRCBLEND);
    const DWORD destBlend = c_pDevice->GetRenderState(D3DRS_DESTBLEND);
    c_pDevice->SetRenderState(D3DRS_BLENDFACTOR, OpacityBlendFactor(share));
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    DrawSlot(1);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, srcBlend);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, destBlend);
}

void DisplayScreen::RenderBehind(FullScreenImage& image)
{
    if (!CoversBand()) {
        image.Render(c_pDevice);
        return;
    }
    RECT scissor{};
    c_pDevice->GetScissorRect(&scissor);
    c_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    const int bandBottom = static_cast<int>(kViewBand.Y + kViewBand.Height);
    for (const RECT& strip : {RECT{0, 0, gfx::kBackBufferWidth, static_cast<int>(kViewBand.Y)},
                              RECT{0, bandBottom, gfx::kBackBufferWidth, gfx::kBackBufferHeight}}) {
        c_pDevice->SetScissorRect(strip);
        image.Render(c_pDevice);
    }
    c_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    c_pDevice->SetScissorRect(scissor);
}

bool DisplayScreen::CoversBand() const
{
    const gfx::Device& d = *c_pDevice;
    const float share = SlotOneShare();
    // The slot drawn at full strength: the only one, or slot 0 under a cross-fade (drawn with
    // blending off whatever the state now).
    const bool fading = share != 0.0f && share != 1.0f;
    const int slot = fading ? 0 : (share == 0.0f ? 0 : 1);
    const bool created = c_iTypes[slot] == 0 ? c_pFullScreenImages[slot]->IsCreated() : c_pPanospheres[slot]->IsCreated();
    const DWORD zFunc = d.GetRenderState(D3DRS_ZFUNC);
    const DWORD cull = d.GetRenderState(D3DRS_CULLMODE);
    return created && (fading || !d.GetRenderState(D3DRS_ALPHABLENDENABLE)) && !d.GetRenderState(D3DRS_ALPHATESTENABLE) &&
           d.GetRenderState(D3DRS_COLORWRITEENABLE) == 0xF && d.GetRenderState(D3DRS_FILLMODE) == D3DFILL_SOLID &&
           (cull == D3DCULL_CCW || cull == D3DCULL_NONE) && !d.GetRenderState(D3DRS_SCISSORTESTENABLE) &&
           (!d.GetRenderState(D3DRS_ZENABLE) || zFunc == D3DCMP_LESSEQUAL || zFunc == D3DCMP_LESS ||
            zFunc == D3DCMP_ALWAYS);
}

void DisplayScreen::DrawSlot(int slot)
{
    c_pDevice->SetTexture(0, c_pTextures[slot].get());
    if (c_iTypes[slot] == 0) {
        c_pFullScreenImages[slot]->Render(c_pDevice);
        return;
    }
    // The kept copy is used blended or not: the panorama covers the band, so blending the
    // copy mixes in exactly the pixels blending the mesh would.
    const bool blending = c_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE) != FALSE;
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    const std::optional<Look> look = KeepableLook(slot);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, blending);
    Kept& kept = c_kept[slot];
    if (look && kept.look == look) {
        ++c_iKeptDraws;
        c_pDevice->SetTexture(0, kept.copy.get());
        c_keptQuad.Render(c_pDevice);
        c_pDevice->SetTexture(0, c_pTextures[slot].get());
        return;
    }
    if (!blending) {
        DrawAndKeep(slot, look);
        return;
    }
    c_pPanospheres[slot]->Render(c_pDevice, c_fRotations[slot]);
    kept.lastDrawn = look;
}

void DisplayScreen::DrawAndKeep(int slot, const std::optional<Look>& look)
{
    Kept& kept = c_kept[slot];
    c_pDevice->SetTexture(0, c_pTextures[slot].get());
    c_pPanospheres[slot]->Render(c_pDevice, c_fRotations[slot]);
    const bool steady = look && kept.lastDrawn == look;
    kept.lastDrawn = look;
    if (!steady) return;
    if (!kept.copy)
        c_pDevice->CreateTexture(static_cast<UINT>(kViewBand.Width), static_cast<UINT>(kViewBand.Height), 1,
                                 D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &kept.copy);
    const RECT band{static_cast<int>(kViewBand.X), static_cast<int>(kViewBand.Y),
                    static_cast<int>(kViewBand.X + kViewBand.Width), static_cast<int>(kViewBand.Y + kViewBand.Height)};
    kept.look.reset();
    if (kept.copy && c_pDevice->CopyTargetToTexture(band, kept.copy.get()) == S_OK) kept.look = look;
}

std::optional<DisplayScreen::Look> DisplayScreen::KeepableLook(int slot) const
{
    const gfx::Device& d = *c_pDevice;
    const gfx::Texture* texture = c_pTextures[slot].get();
    if (c_iTypes[slot] == 0 || !c_pPanospheres[slot]->IsCreated() || texture == nullptr || !c_keptQuad.IsCreated())
        return std::nullopt;
    // Only a draw that paints every pixel of the band with the texture alone: what it leaves
    // then depends on nothing drawn before it.
    const DWORD zFunc = d.GetRenderState(D3DRS_ZFUNC);
    const DWORD cull = d.GetRenderState(D3DRS_CULLMODE);
    const bool paintsBand =
        !d.GetRenderState(D3DRS_ALPHABLENDENABLE) && !d.GetRenderState(D3DRS_ALPHATESTENABLE) &&
        d.GetRenderState(D3DRS_COLORWRITEENABLE) == 0xF && d.GetRenderState(D3DRS_FILLMODE) == D3DFILL_SOLID &&
        (cull == D3DCULL_CCW || cull == D3DCULL_NONE) && !d.GetRenderState(D3DRS_SCISSORTESTENABLE) &&
        !d.GetRenderState(D3DRS_FOGENABLE) && !d.GetRenderState(D3DRS_STENCILENABLE) &&
        !d.GetRenderState(D3DRS_CLIPPLANEENABLE) && !d.GetRenderState(D3DRS_LIGHTING) &&
        (!d.GetRenderState(D3DRS_ZENABLE) || zFunc == D3DCMP_LESSEQUAL || zFunc == D3DCMP_LESS ||
         zFunc == D3DCMP_ALWAYS);
    // And shows the texel itself (unlit, the vertex colour is white), so that drawing the copy
    // under the same states gives back the same pixels.
    const DWORD colourOp = d.GetTextureStageState(0, D3DTSS_COLOROP);
    const DWORD arg1 = d.GetTextureStageState(0, D3DTSS_COLORARG1);
    const DWORD arg2 = d.GetTextureStageState(0, D3DTSS_COLORARG2);
    const bool texelAlone = arg1 == D3DTA_TEXTURE && (colourOp == D3DTOP_SELECTARG1 ||
                                                      (colourOp == D3DTOP_MODULATE &&
                                                       (arg2 == D3DTA_DIFFUSE || arg2 == D3DTA_CURRENT))) &&
                            d.GetTextureStageState(1, D3DTSS_COLOROP) == D3DTOP_DISABLE &&
                            d.GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS) == 0;
    if (!paintsBand || !texelAlone) return std::nullopt;
    Look look;
    look.texture = texture;
    look.version = texture->ContentVersion();
    look.rotation = c_fRotations[slot];
    look.states = D3Dfunc::CurrentSamplingStates(d);
    return look;
}
