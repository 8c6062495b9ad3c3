// The view: the current location's picture in the band between the top-menu strip and the
// inventory strip, flat or as a panorama the player turns. Two slots, front (shown) and back
// (being prepared); moving on cross-fades from the old front to the new one over a set time.
// Depends on the graphics device, the scrambled-image loader and the millisecond clock.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "display/d3dfunc.h"
#include "display/full_screen_image.h"
#include "display/panosphere.h"
#include "imaging/image.h"
#include "platform/gfx/device.h"

class DisplayScreen {
public:
    // Builds both slots' panorama meshes (`slices` x `stacks` at `radius`) and flat quads and
    // a 100 x 100 placeholder texture per slot. Both slots flat, unturned; slot 0 in front;
    // transitions 500 ms until setSwitchLength.
    DisplayScreen(gfx::Device* device, int slices, int stacks, float radius);
    ~DisplayScreen();
    DisplayScreen(const DisplayScreen&) = delete;
    DisplayScreen& operator=(const DisplayScreen&) = delete;

    // Loads a scrambled image (rotation `offset`, 0 for a plain file) into the back slot,
    // replacing its texture. Load errors propagate; the back slot then keeps its old texture.
    bool setTexture(const char* path, int offset);
    // The same with a picture already decoded in the texture loader's shape (a picture decoded
    // ahead): its pixels are copied into the back slot's texture. Errors as above.
    bool setTexture(const imaging::Image& picture);
    // The back slot's texture holder: the world composes overlays into this texture.
    std::unique_ptr<gfx::Texture>* getTexture();
    // The back slot's type: 0 flat image, anything else a panorama.
    void SetType(int type);

    // Makes the back slot the front one, cross-fading over the standard length.
    void Switch();
    // The same over `milliseconds`; 0 or less shows the new front on the next frame.
    void Switch(int milliseconds);
    // The standard cross-fade length, milliseconds.
    void setSwitchLength(int milliseconds);
    // Exchanges front and back without touching the transition's timing.
    void InstantSwitch();
    // Whether a cross-fade started by Switch is still under way at this moment.
    bool get_Switching() const;
    // The slot shown in front, 0 or 1.
    int get_Front() const { return c_iFront; }

    // Turns the front (or back) slot's panorama by `radians`, keeping its angle in 0 .. 2 pi.
    void RotateBy(float radians);
    void RotateBackgroundBy(float radians);
    // Sets the front (or back) slot's angle as given, radians, without wrapping.
    void RotateTo(float radians);
    void RotateBackgroundTo(float radians);
    float GetRotation() const;
    float GetBackgroundRotation() const;

    // Draws the view into the band 0, 100, 800 x 400 and leaves that viewport set; the caller
    // restores the whole screen for what it draws next.
    void Render();
    // Whether Render, with the device's states as they are now, paints every pixel of the
    // band with no blending: what was drawn under the band before is then never seen.
    bool CoversBand() const;
    // Draws `image` (texture and states are the caller's) over the whole current viewport as
    // the picture behind the view, where it can be seen: only above and below the band when
    // the view covers the band (two thirds less filling for the same frame).
    void RenderBehind(FullScreenImage& image);
    // How many slot drawings so far were a kept copy rather than a panorama's mesh (tests,
    // benchmarks).
    int get_KeptDraws() const { return c_iKeptDraws; }

private:
    int Back() const { return 1 - c_iFront; }
    // Fills a texture the slots gave up with `load` and puts it into the back slot: the one
    // of `width` x `height` when that size is known (0 x 0: not known, the newest one).
    template <typename Load>
    void RefillBackSlot(Load load, UINT width, UINT height);
    // A texture the slots gave up, as RefillBackSlot picks it; null when there is none to use.
    std::unique_ptr<gfx::Texture> TakeSpareTexture(UINT width, UINT height);
    void KeepSpareTexture(std::unique_ptr<gfx::Texture> texture);
    // Share of slot 1 in the picture at this moment, 0 .. 1.
    float SlotOneShare() const;
    // Draws a slot's picture into the band: a panorama from its kept copy when that still
    // holds the same picture (see below), otherwise from its mesh.
    void DrawSlot(int slot);

    // A panorama drawn in perspective is the costliest picture a frame draws, and while the
    // player does not turn it, it is the same picture frame after frame (a cross-fade, the
    // pointer moving over a still view). So once a slot's panorama has been drawn opaque twice
    // running with the same texture, angle and drawing states, the band is copied into a
    // texture, and later frames draw that copy, pixel for pixel, until one of them changes.
    struct Look {
        const gfx::Texture* texture = nullptr;
        std::uint64_t version = 0;
        float rotation = 0.0f;
        D3Dfunc::SamplingStates states{};
        bool operator==(const Look&) const = default;
    };
    struct Kept {
        std::unique_ptr<gfx::Texture> copy;  // the band as drawn, 800 x 400
        std::optional<Look> look;            // what `copy` shows; none when it shows nothing
        std::optional<Look> lastDrawn;       // the look of the slot's last drawing from the mesh
    };
    // The slot's look when it is a panorama the device draws opaque over the whole band;
    // none otherwise (a flat picture, blending on, states under which the band is not simply
    // painted).
    std::optional<Look> KeepableLook(int slot) const;
    // Draws a panorama slot from its mesh and keeps a copy when its look held since last time.
    void DrawAndKeep(int slot, const std::optional<Look>& look);

    gfx::Device* c_pDevice;  // not owned
    std::array<std::unique_ptr<Panosphere>, 2> c_pPanospheres;
    std::array<std::unique_ptr<FullScreenImage>, 2> c_pFullScreenImages;
    std::array<int, 2> c_iTypes{0, 0};
    std::array<float, 2> c_fRotations{0.0f, 0.0f};
    std::array<std::unique_ptr<gfx::Texture>, 2> c_pTextures;
    // Textures the back slot held before its loads, newest first, at most kSpareTextures (the
    // oldest goes): with the two slots that is two of each of the sizes screens have (panorama
    // and close view), so that entering either, after either, refills one of its own size
    // instead of allocating a picture's worth of memory anew.
    static constexpr std::size_t kSpareTextures = 2;
    std::vector<std::unique_ptr<gfx::Texture>> c_spareTextures;
    int c_iSwitchLength = 500;       // milliseconds
    DWORD c_dwSwitchDuration = 0;    // milliseconds; 0 = no transition
    DWORD c_dwSwitchStart = 0;       // timeGetTime at the transition's start
    int c_iFront = 0;
    std::array<Kept, 2> c_kept;
    FullScreenImage c_keptQuad;  // draws a kept copy over the band, texel for pixel
    int c_iKeptDraws = 0;
};
