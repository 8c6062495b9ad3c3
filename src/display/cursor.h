// One mouse-cursor image: a colour picture with an alpha picture merged into it, its drawn
// size and its hot spot (the pixel that sits on the pointer). Drawn alpha-blended on top of
// everything else. Depends on the graphics device and the scrambled-image texture.
#pragma once

#include <memory>

#include "display/full_screen_image.h"
#include "platform/gfx/device.h"

class Texture;

class Cursor {
public:
    // Keeps the device (not owned) and builds the quad; no image until OpenImageFile.
    explicit Cursor(gfx::Device* device);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Loads the colour image and merges the alpha image (its blue channel becomes opacity);
    // both scrambled with rotation `offset`. The cursor is drawn `width` x `height` screen
    // pixels; width 0 takes the texture's own size. The hot spot is in pixels from the image's
    // top-left corner. Load errors propagate.
    void OpenImageFile(const char* imagePath, const char* alphaPath, int width, int height,
                       int hotspotX, int hotspotY, int offset);
    // The same for plain (unscrambled) image files.
    void OpenImageFile(const char* imagePath, const char* alphaPath, int width, int height,
                       int hotspotX, int hotspotY);

    // Draws the cursor with its hot spot on screen pixel (mouseX, mouseY). Sets the whole
    // screen as viewport and turns blending off again afterwards.
    void Render(int mouseX, int mouseY);

    bool IsLoaded() const { return c_bLoaded; }
    int GetWidth() const { return c_iWidth; }
    int GetHeight() const { return c_iHeight; }

private:
    gfx::Device* c_pDevice;  // not owned
    std::unique_ptr<Texture> c_pTexture;
    std::unique_ptr<FullScreenImage> c_pFullScreen;
    bool c_bLoaded = false;  // set once an image is in place
    int c_iWidth = 0;   // drawn size, screen pixels
    int c_iHeight = 0;
    int c_iXHotspot = 0;  // pixels from the image's top-left corner
    int c_iYHotspot = 0;
};
