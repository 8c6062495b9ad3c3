#include "display/cursor.h"

#include "display/d3dfunc.h"
#include "display/texture.h"

namespace {
constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};
}  // namespace

Cursor::Cursor(gfx::Device* device)
    : c_pDevice(device), c_pFullScreen(std::make_unique<FullScreenImage>())
{
    c_pFullScreen->Create(device);
}

Cursor::~Cursor() = default;

void Cursor::OpenImageFile(const char* imagePath, const char* alphaPath, int width, int height,
                           int hotspotX, int hotspotY)
{
    OpenImageFile(imagePath, alphaPath, width, height, hotspotX, hotspotY, 0);
}

void Cursor::OpenImageFile(const char* imagePath, const char* alphaPath, int width, int height,
                           int hotspotX, int hotspotY, int offset)
{
    c_iXHotspot = hotspotX;
    c_iYHotspot = hotspotY;
    auto texture = std::make_unique<Texture>(c_pDevice, imagePath, offset);
    texture->AddAlpha(alphaPath, offset);

    // Textures get power-of-two sides with the image stretched over them, so callers pass the
    // image's real size; 0 takes the texture's.
    if (width == 0) {
        D3DSURFACE_DESC desc{};
        if (texture->getTexture() != nullptr) texture->getTexture()->GetLevelDesc(0, &desc);
        c_iWidth = static_cast<int>(desc.Width);
        c_iHeight = static_cast<int>(desc.Height);
    } else {
        c_iWidth = width;
        c_iHeight = height;
    }
    c_pTexture = std::move(texture);
    c_bLoaded = true;
}

void Cursor::Render(int mouseX, int mouseY)
{
    c_pDevice->SetMaterial(D3Dfunc::WhiteMaterial);
    c_pDevice->SetTexture(0, c_pTexture ? c_pTexture->getTexture() : nullptr);
    c_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    c_pDevice->SetViewport(kWholeScreen);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const float x = static_cast<float>(mouseX - c_iXHotspot) / 400.0f - 1.0f;
    const float y = static_cast<float>(mouseY - c_iYHotspot) / 300.0f - 1.0f;
    const float w = static_cast<float>(c_iWidth) / 800.0f;
    const float h = static_cast<float>(c_iHeight) / 600.0f;
    c_pFullScreen->Render(c_pDevice, x, y, w, h);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}
