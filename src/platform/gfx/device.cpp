// The graphics device on OpenGL 3.3 core: the off-screen 800 x 600 target, frame operations,
// the fixed-function state and how it maps onto one shader program and the GL pipeline.
#include "platform/gfx/device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include "platform/clock/clock.h"
#include "platform/gfx/device_impl.h"
#include "platform/window/window_sdl.h"

namespace gfx {

namespace {

// Render states of a fresh device that have no enumerator of their own in d3d_types.h.
constexpr unsigned kRsShadeMode = 9;
constexpr unsigned kRsLastPixel = 16;
constexpr unsigned kRsStencilFail = 53;
constexpr unsigned kRsStencilZFail = 54;
constexpr unsigned kRsStencilPass = 55;
constexpr unsigned kRsStencilFunc = 56;
constexpr unsigned kRsStencilMask = 58;
constexpr unsigned kRsStencilWriteMask = 59;
constexpr unsigned kRsColorVertex = 141;
constexpr unsigned kRsLocalViewer = 142;
constexpr unsigned kRsDiffuseMaterialSource = 145;
constexpr unsigned kRsSpecularMaterialSource = 146;
constexpr unsigned kRsBlendOp = 171;
constexpr DWORD kShadeGouraud = 2;
constexpr DWORD kStencilKeep = 1;
constexpr DWORD kMaterialFromColor1 = 1;
constexpr DWORD kMaterialFromColor2 = 2;
constexpr DWORD kBlendOpAdd = 1;
constexpr DWORD kAllColorChannels = 0xF;

// Sampler states without an enumerator.
constexpr unsigned kSampAddressW = 3;
constexpr unsigned kSampBorderColor = 4;
constexpr unsigned kSampMaxAnisotropy = 10;
constexpr DWORD kAddressBorder = 4;

constexpr UINT kLitVertexSize = 32;
constexpr UINT kScreenVertexSize = 28;
constexpr double kDefaultRefreshHz = 60.0;
// A frame shorter than this share of the refresh period was not held by the vertical retrace.
constexpr double kUnpacedFrameShare = 0.75;

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

// Row-vector product: v * (a * b) = (v * a) * b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

GLenum CompareFunc(DWORD func)
{
    switch (func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum BlendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return GL_ONE;
    }
}

// Whether stage 0's alpha is the texel's alpha, unchanged by a white vertex colour.
bool PassesTexelAlpha(const DWORD* stage)
{
    const DWORD op = stage[D3DTSS_ALPHAOP];
    const DWORD arg1 = stage[D3DTSS_ALPHAARG1];
    const DWORD arg2 = stage[D3DTSS_ALPHAARG2];
    const auto white = [](DWORD arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; };
    return (op == D3DTOP_SELECTARG1 && arg1 == D3DTA_TEXTURE) || (op == D3DTOP_SELECTARG2 && arg2 == D3DTA_TEXTURE) ||
           (op == D3DTOP_MODULATE && ((arg1 == D3DTA_TEXTURE && white(arg2)) || (arg2 == D3DTA_TEXTURE && white(arg1))));
}

GLint AddressMode(DWORD mode)
{
    switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case kAddressBorder: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

GLint FilterMode(DWORD filter) { return filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST; }

void ColorToFloats(D3DCOLOR color, float out[4])
{
    out[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(color & 0xFF) / 255.0f;
    out[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
}

}  // namespace

// ---- Impl ----------------------------------------------------------------------------------

void Device::Impl::ApplyDefaults()
{
    c_fDimming = 1.0f;
    std::fill(std::begin(c_render), std::end(c_render), 0u);
    c_render[D3DRS_ZENABLE] = D3DZB_TRUE;
    c_render[D3DRS_FILLMODE] = D3DFILL_SOLID;
    c_render[kRsShadeMode] = kShadeGouraud;
    c_render[D3DRS_ZWRITEENABLE] = TRUE;
    c_render[D3DRS_ALPHATESTENABLE] = FALSE;
    c_render[kRsLastPixel] = TRUE;
    c_render[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    c_render[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    c_render[D3DRS_CULLMODE] = D3DCULL_CCW;
    c_render[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    c_render[D3DRS_ALPHAREF] = 0;
    c_render[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    c_render[D3DRS_ALPHABLENDENABLE] = FALSE;
    c_render[D3DRS_FOGENABLE] = FALSE;
    c_render[D3DRS_STENCILENABLE] = FALSE;
    c_render[kRsStencilFail] = kStencilKeep;
    c_render[kRsStencilZFail] = kStencilKeep;
    c_render[kRsStencilPass] = kStencilKeep;
    c_render[kRsStencilFunc] = D3DCMP_ALWAYS;
    c_render[kRsStencilMask] = 0xFFFFFFFFu;
    c_render[kRsStencilWriteMask] = 0xFFFFFFFFu;
    c_render[D3DRS_CLIPPING] = TRUE;
    c_render[D3DRS_LIGHTING] = TRUE;
    c_render[D3DRS_AMBIENT] = 0;
    c_render[kRsColorVertex] = TRUE;
    c_render[kRsLocalViewer] = TRUE;
    c_render[kRsDiffuseMaterialSource] = kMaterialFromColor1;
    c_render[kRsSpecularMaterialSource] = kMaterialFromColor2;
    c_render[D3DRS_VERTEXBLEND] = D3DVBF_DISABLE;
    c_render[D3DRS_CLIPPLANEENABLE] = 0;
    c_render[D3DRS_INDEXEDVERTEXBLENDENABLE] = FALSE;
    c_render[D3DRS_COLORWRITEENABLE] = kAllColorChannels;
    c_render[kRsBlendOp] = kBlendOpAdd;
    c_render[D3DRS_BLENDFACTOR] = 0xFFFFFFFFu;

    for (unsigned s = 0; s < kTextureStageCount; ++s) {
        DWORD* stage = c_stage[s];
        std::fill(stage, stage + kTextureStageStateCount, 0u);
        stage[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage[D3DTSS_TEXCOORDINDEX] = s;
        stage[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        c_textures[s] = nullptr;
    }
    for (unsigned s = 0; s < kSamplerCount; ++s) {
        DWORD* sampler = c_samplerState[s];
        std::fill(sampler, sampler + kSamplerStateCount, 0u);
        sampler[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler[kSampAddressW] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        sampler[kSampMaxAnisotropy] = 1;
    }
    c_material = D3DMATERIAL9{};
    c_world = c_view = c_projection = Identity();
    c_viewport = D3DVIEWPORT9{0, 0, kBackBufferWidth, kBackBufferHeight, 0.0f, 1.0f};
    c_scissor = RECT{0, 0, kBackBufferWidth, kBackBufferHeight};
    c_dwFvf = 0;
    c_pStream = nullptr;
    c_uStreamOffset = c_uStreamStride = 0;
}

void Device::Impl::BindTarget() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, c_colourFbo);
}

void Device::Impl::BindDepthTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, c_fbo);
    if (!c_bDepthClearPending && !c_bStencilClearPending) return;
    GLbitfield mask = 0;
    if (c_bDepthClearPending) {
        glClearDepth(c_fKnownDepth);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (c_bStencilClearPending) {
        glClearStencil(c_iKnownStencil);
        glStencilMask(0xFF);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glDisable(GL_SCISSOR_TEST);
    glClear(mask);
    c_bDepthClearPending = c_bStencilClearPending = false;
}

// The D3D viewport counts Y from the top; GL's from the bottom of the target.
void Device::Impl::ApplyTargetViewport() const
{
    const GLint glY = kBackBufferHeight - static_cast<GLint>(c_viewport.Y + c_viewport.Height);
    glViewport(static_cast<GLint>(c_viewport.X), glY, static_cast<GLsizei>(c_viewport.Width),
               static_cast<GLsizei>(c_viewport.Height));
    glDepthRange(c_viewport.MinZ, c_viewport.MaxZ);
}

RECT Device::Impl::ViewportRect() const
{
    return RECT{static_cast<int>(c_viewport.X), static_cast<int>(c_viewport.Y),
                static_cast<int>(c_viewport.X + c_viewport.Width), static_cast<int>(c_viewport.Y + c_viewport.Height)};
}

// Target pixels a draw can reach: the box around its projected corners, widened by a margin,
// within the viewport (screen vertices: within the target). Large draws, corners at or behind
// the eye, and a buffer locked now (its copy may differ from what GL draws) get the whole
// viewport.
RECT Device::Impl::DrawBounds(const VertexBuffer& buffer, UINT startVertex, UINT vertexCount) const
{
    constexpr UINT kMaxBoundedVertices = 64;
    constexpr double kMarginPixels = 2.0;
    constexpr double kMinW = 1e-6;
    const bool screen = c_dwFvf == kFvfScreenVertex;
    const RECT limit = screen ? RECT{0, 0, kBackBufferWidth, kBackBufferHeight} : ViewportRect();
    if (vertexCount > kMaxBoundedVertices || buffer.c_bLocked) return limit;
    const D3DMATRIX wvp = Multiply(Multiply(c_world, c_view), c_projection);
    double left = 1e30, top = 1e30, right = -1e30, bottom = -1e30;
    for (UINT i = 0; i < vertexCount; ++i) {
        float v[4];
        std::memcpy(v, buffer.c_bytes.data() + c_uStreamOffset + std::size_t{startVertex + i} * c_uStreamStride,
                    sizeof v);
        double x, y;
        if (screen) {
            if (!(v[3] > 0.0f)) return limit;
            x = v[0];
            y = v[1];
        } else {
            double clip[4];
            for (int c = 0; c < 4; ++c)
                clip[c] = v[0] * double{wvp.m[0][c]} + v[1] * double{wvp.m[1][c]} + v[2] * double{wvp.m[2][c]} +
                          double{wvp.m[3][c]};
            if (!(clip[3] > kMinW)) return limit;
            x = c_viewport.X + (clip[0] / clip[3] + 1.0) * 0.5 * c_viewport.Width;
            y = c_viewport.Y + (1.0 - clip[1] / clip[3]) * 0.5 * c_viewport.Height;
        }
        if (!std::isfinite(x) || !std::isfinite(y)) return limit;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    auto toPixel = [](double value) {
        return static_cast<int>(std::clamp(value, -1e6, 1e6));
    };
    const RECT box{toPixel(std::floor(left - kMarginPixels)), toPixel(std::floor(top - kMarginPixels)),
                   toPixel(std::ceil(right + kMarginPixels)), toPixel(std::ceil(bottom + kMarginPixels))};
    return RECT{std::max(box.left, limit.left), std::max(box.top, limit.top), std::min(box.right, limit.right),
                std::min(box.bottom, limit.bottom)};
}

const VertexFacts& Device::Impl::FactsOf(VertexBuffer& buffer, UINT startVertex, UINT vertexCount) const
{
    const bool screen = c_dwFvf == kFvfScreenVertex;
    VertexFacts& known = buffer.c_facts;
    if (known.version == buffer.c_uVersion && known.first == startVertex && known.count == vertexCount &&
        known.offset == c_uStreamOffset && known.stride == c_uStreamStride && known.screen == screen)
        return known;
    known = VertexFacts{buffer.c_uVersion, startVertex, vertexCount, c_uStreamOffset, c_uStreamStride, screen};
    // A buffer locked now may change before GL reads it: nothing is known of it.
    known.texCoordsInside = known.whiteColour = !buffer.c_bLocked;
    const UINT texCoordAt = screen ? 20 : 24;
    for (UINT i = 0; i < vertexCount && (known.texCoordsInside || known.whiteColour); ++i) {
        const std::uint8_t* vertex =
            buffer.c_bytes.data() + c_uStreamOffset + std::size_t{startVertex + i} * c_uStreamStride;
        float uv[2];
        std::memcpy(uv, vertex + texCoordAt, sizeof uv);
        known.texCoordsInside = known.texCoordsInside && uv[0] >= 0.0f && uv[0] <= 1.0f && uv[1] >= 0.0f && uv[1] <= 1.0f;
        if (screen) {
            D3DCOLOR diffuse;
            std::memcpy(&diffuse, vertex + 16, sizeof diffuse);
            known.whiteColour = known.whiteColour && diffuse == 0xFFFFFFFFu;
        }
    }
    return known;
}

bool Device::Impl::ApplyPipeline(bool screenVertices, const VertexFacts& facts)
{
    glBindVertexArray(c_vao);
    // Clip control is context state: set it for this device's depth convention at each draw.
    if (c_bHasClipControl) glClipControl(GL_LOWER_LEFT, c_bClipControl ? GL_ZERO_TO_ONE : GL_NEGATIVE_ONE_TO_ONE);
    if (c_render[D3DRS_SCISSORTESTENABLE]) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(c_scissor.left, kBackBufferHeight - c_scissor.bottom, c_scissor.right - c_scissor.left,
                  c_scissor.bottom - c_scissor.top);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    glDisable(GL_STENCIL_TEST);

    // Screen vertices are target pixels with depth as given, whatever the viewport.
    if (screenVertices) {
        glViewport(0, 0, kBackBufferWidth, kBackBufferHeight);
        glDepthRange(0.0, 1.0);
    } else {
        ApplyTargetViewport();
    }

    if (c_render[D3DRS_ZENABLE] != D3DZB_FALSE) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunc(c_render[D3DRS_ZFUNC]));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(c_render[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);

    // The target is rendered upright, so the winding seen on screen is GL's window winding.
    switch (c_render[D3DRS_CULLMODE]) {
    case D3DCULL_CCW:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        break;
    case D3DCULL_CW:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        break;
    default: glDisable(GL_CULL_FACE); break;
    }

    if (c_render[D3DRS_ALPHABLENDENABLE]) {
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(BlendFactor(c_render[D3DRS_SRCBLEND]), BlendFactor(c_render[D3DRS_DESTBLEND]));
        const DWORD factor = c_render[D3DRS_BLENDFACTOR];
        const auto channel = [factor](int shift) { return static_cast<float>((factor >> shift) & 0xFFu) / 255.0f; };
        glBlendColor(channel(16), channel(8), channel(0), channel(24));
    } else {
        glDisable(GL_BLEND);
    }
    const DWORD mask = c_render[D3DRS_COLORWRITEENABLE];
    glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
    const DWORD fill = c_render[D3DRS_FILLMODE];
    glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);

    glActiveTexture(GL_TEXTURE0);
    Texture* texture = c_textures[0];
    if (texture) texture->Upload();
    const bool hasTexture = texture && texture->c_glName;
    // The colour the vertex program gives: for lit vertices white with lighting off (they carry
    // no diffuse colour) and the material's with it on, the same at every vertex; for screen
    // vertices their own.
    VertexColour colour = screenVertices ? (facts.whiteColour ? VertexColour::kWhite : VertexColour::kInterpolated)
                          : c_render[D3DRS_LIGHTING] ? VertexColour::kUniform
                                                     : VertexColour::kWhite;
    const bool opaqueTexture = hasTexture && texture->c_format == D3DFMT_X8R8G8B8;
    // A white that is a constant in the program while the alpha is not the texel's own (the
    // vertex colour's, or forced opaque) drew scaled pictures with red and blue exchanged on the
    // software rasteriser's fast path. Such a draw takes its white from the uniform instead,
    // a form the fast path draws right.
    bool whiteUniform = colour == VertexColour::kWhite && hasTexture && (opaqueTexture || !PassesTexelAlpha(c_stage[0]));
    // Dimming scales the vertex colour where the stage's colour is that colour times at most
    // the texel: the uniform colour as uploaded, or the interpolated one in the vertex program.
    // The drawing program then has the form it has undimmed, one the software rasteriser's
    // fast path for screen-aligned pictures draws right (with the factor in the program
    // instead, the menu's cursor came out undimmed). Any other stage multiplies its result.
    const bool dimming = c_fDimming < 1.0f;
    if (dimming && colour == VertexColour::kWhite) whiteUniform = true;
    if (whiteUniform) colour = VertexColour::kUniform;
    ProgramKey key = MakeProgramKey(screenVertices, !c_bClipControl, hasTexture, opaqueTexture, colour, c_stage[0],
                                    c_render[D3DRS_ALPHATESTENABLE] != 0, c_render[D3DRS_ALPHAFUNC]);
    const bool dimmedColour = dimming && ScalesWithColour(key);
    if (dimming)
        key.dimming = !dimmedColour ? Dimming::kResult : key.uniformColour ? Dimming::kNone : Dimming::kVertexColour;
    std::string error;
    ProgramVariant* variant = c_programs.Get(key, &error);
    if (!variant) {
        std::cerr << "Kelvane: a drawing program could not be built: " << error << '\n';
        return false;
    }
    glUseProgram(variant->program);
    UploadUniforms(*variant, whiteUniform, dimmedColour && key.uniformColour);

    glBindTexture(GL_TEXTURE_2D, texture ? texture->c_glName : 0);
    glBindSampler(0, c_sampler);
    const DWORD* sampler = c_samplerState[0];
    glSamplerParameteri(c_sampler, GL_TEXTURE_MIN_FILTER, FilterMode(sampler[D3DSAMP_MINFILTER]));
    glSamplerParameteri(c_sampler, GL_TEXTURE_MAG_FILTER, FilterMode(sampler[D3DSAMP_MAGFILTER]));
    // Within 0..1 a mirrored picture samples exactly as one clamped to its edge (the texel past
    // each edge mirrors onto the edge texel); the clamped form is the one the software
    // rasteriser's fast path takes.
    auto address = [&facts](DWORD mode) {
        return facts.texCoordsInside && mode == D3DTADDRESS_MIRROR ? GL_CLAMP_TO_EDGE : AddressMode(mode);
    };
    glSamplerParameteri(c_sampler, GL_TEXTURE_WRAP_S, address(sampler[D3DSAMP_ADDRESSU]));
    glSamplerParameteri(c_sampler, GL_TEXTURE_WRAP_T, address(sampler[D3DSAMP_ADDRESSV]));
    float border[4];
    ColorToFloats(sampler[kSampBorderColor], border);
    glSamplerParameterfv(c_sampler, GL_TEXTURE_BORDER_COLOR, border);
    return true;
}

// Uploads the draw's uniform values to `variant`, each only when it differs from what that
// program last received (GL keeps uniform values per program).
void Device::Impl::UploadUniforms(ProgramVariant& variant, bool whiteColour, bool dimmedColour)
{
    FixedFunctionUniformValues now{};
    const D3DMATRIX wvp = Multiply(Multiply(c_world, c_view), c_projection);
    std::memcpy(now.worldViewProj, &wvp.m[0][0], sizeof now.worldViewProj);
    now.targetSize[0] = static_cast<float>(kBackBufferWidth);
    now.targetSize[1] = static_cast<float>(kBackBufferHeight);
    now.lighting = c_render[D3DRS_LIGHTING] ? 1 : 0;
    now.hasDiffuse = (c_dwFvf & D3DFVF_DIFFUSE) ? 1 : 0;
    std::memcpy(now.emissive, &c_material.Emissive.r, sizeof now.emissive);
    std::memcpy(now.ambient, &c_material.Ambient.r, sizeof now.ambient);
    ColorToFloats(c_render[D3DRS_AMBIENT], now.globalAmbient);
    now.diffuseAlpha = c_material.Diffuse.a;
    now.texture = 0;
    now.alphaRef = static_cast<GLint>(c_render[D3DRS_ALPHAREF] & 0xFF);
    // The lit colour as the vertex program makes it: emissive + ambient * global ambient, and
    // the material's diffuse alpha, each clamped.
    for (int c = 0; c < 3; ++c)
        now.colour[c] = std::clamp(now.emissive[c] + now.ambient[c] * now.globalAmbient[c], 0.0f, 1.0f);
    now.colour[3] = std::clamp(now.diffuseAlpha, 0.0f, 1.0f);
    if (whiteColour) std::fill(std::begin(now.colour), std::end(now.colour), 1.0f);
    if (dimmedColour)
        for (int c = 0; c < 3; ++c) now.colour[c] *= c_fDimming;
    now.dimming = c_fDimming;

    const FixedFunctionUniforms& u = variant.uniforms;
    FixedFunctionUniformValues& was = variant.uploaded;
    const bool all = !variant.uploadedKnown;
    auto changed = [all](const auto& a, const auto& b) { return all || std::memcmp(&a, &b, sizeof a) != 0; };
    if (changed(now.worldViewProj, was.worldViewProj))
        glUniformMatrix4fv(u.worldViewProj, 1, GL_FALSE, now.worldViewProj);
    if (changed(now.targetSize, was.targetSize)) glUniform2fv(u.targetSize, 1, now.targetSize);
    if (changed(now.lighting, was.lighting)) glUniform1i(u.lighting, now.lighting);
    if (changed(now.hasDiffuse, was.hasDiffuse)) glUniform1i(u.hasDiffuse, now.hasDiffuse);
    if (changed(now.emissive, was.emissive)) glUniform4fv(u.emissive, 1, now.emissive);
    if (changed(now.ambient, was.ambient)) glUniform4fv(u.ambient, 1, now.ambient);
    if (changed(now.globalAmbient, was.globalAmbient)) glUniform4fv(u.globalAmbient, 1, now.globalAmbient);
    if (changed(now.diffuseAlpha, was.diffuseAlpha)) glUniform1f(u.diffuseAlpha, now.diffuseAlpha);
    if (changed(now.texture, was.texture)) glUniform1i(u.texture, now.texture);
    if (changed(now.alphaRef, was.alphaRef)) glUniform1i(u.alphaRef, now.alphaRef);
    if (changed(now.colour, was.colour)) glUniform4fv(u.colour, 1, now.colour);
    if (changed(now.dimming, was.dimming)) glUniform1f(u.dimming, now.dimming);
    was = now;
    variant.uploadedKnown = true;
}

void Device::Impl::SetupVertexLayout(DWORD fvf, UINT offset, UINT stride)
{
    auto at = [offset](UINT bytes) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset + bytes)); };
    const GLsizei s = static_cast<GLsizei>(stride);
    if (fvf == kFvfLitVertex) {
        glEnableVertexAttribArray(kAttribPosition);
        glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, s, at(0));
        glEnableVertexAttribArray(kAttribNormal);
        glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, s, at(12));
        glDisableVertexAttribArray(kAttribDiffuse);
        glVertexAttrib4f(kAttribDiffuse, 1.0f, 1.0f, 1.0f, 1.0f);
        glEnableVertexAttribArray(kAttribTexCoord);
        glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, s, at(24));
    } else {
        glEnableVertexAttribArray(kAttribPosition);
        glVertexAttribPointer(kAttribPosition, 4, GL_FLOAT, GL_FALSE, s, at(0));
        glDisableVertexAttribArray(kAttribNormal);
        // D3DCOLOR lies in memory as B, G, R, A: GL reads it in that order with size GL_BGRA.
        glEnableVertexAttribArray(kAttribDiffuse);
        glVertexAttribPointer(kAttribDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, at(16));
        glEnableVertexAttribArray(kAttribTexCoord);
        glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, s, at(20));
    }
}

// With vsync honoured the swap holds the loop at the display rate. Where it is not (no
// swap-interval support, or a headless driver), and after a frame that swapped nothing, sleep
// out the rest of the refresh period so the loop never spins a core. The manual clock never
// sleeps: tests must stay fast.
void Device::Impl::PaceFrame(bool swapped)
{
    using namespace std::chrono;
    if (platform::IsManualClock()) {
        c_bHavePresented = false;
        return;
    }
    const auto now = steady_clock::now();
    if (c_bHavePresented) {
        const duration<double, std::milli> sinceLast = now - c_lastPresent;
        if (!swapped || c_bHeadless || sinceLast.count() < c_refreshPeriodMs * kUnpacedFrameShare) {
            const auto due = c_lastPresent + duration_cast<steady_clock::duration>(
                                                 duration<double, std::milli>(c_refreshPeriodMs));
            if (due > now) std::this_thread::sleep_until(due);
        }
    }
    c_bHavePresented = true;
    c_lastPresent = steady_clock::now();
}

// Scales the target into the window's drawable of the given size, letterboxed, and swaps.
void Device::Impl::ShowTarget(int width, int height)
{
    const PresentRect picture = LetterboxRect(width, height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // Black bars only where the picture leaves the drawable: the picture covers the rest.
    glEnable(GL_SCISSOR_TEST);
    for (const PresentRect& bar : BarsAround(picture, width, height)) {
        if (bar.width <= 0 || bar.height <= 0) continue;
        glScissor(bar.x, bar.y, bar.width, bar.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    DrawPicture(0, picture);
    SDL_GL_SwapWindow(c_pSdlWindow);
}

void Device::Impl::Release()
{
    if (c_sampler) glDeleteSamplers(1, &c_sampler);
    if (c_vao) glDeleteVertexArrays(1, &c_vao);
    c_programs.Release();
    c_present.Release();
    if (c_fbo) glDeleteFramebuffers(1, &c_fbo);
    if (c_colourFbo) glDeleteFramebuffers(1, &c_colourFbo);
    if (c_copyFbo) glDeleteFramebuffers(1, &c_copyFbo);
    if (c_colorTexture) glDeleteTextures(1, &c_colorTexture);
    if (c_depthBuffer) glDeleteRenderbuffers(1, &c_depthBuffer);
    c_sampler = c_vao = c_fbo = c_colourFbo = c_copyFbo = c_colorTexture = c_depthBuffer = 0;
    c_bDepthClearPending = c_bStencilClearPending = false;
}

// ---- Creation ------------------------------------------------------------------------------

namespace {

// The off-screen target: RGBA8 colour plus depth 24 / stencil 8 (16-bit depth where refused).
bool CreateTarget(Device::Impl& impl, std::string* error)
{
    glGenFramebuffers(1, &impl.c_fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, impl.c_fbo);
    // Colour is a texture, so that Present samples the picture where it lies.
    glGenTextures(1, &impl.c_colorTexture);
    glBindTexture(GL_TEXTURE_2D, impl.c_colorTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBackBufferWidth, kBackBufferHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, impl.c_colorTexture, 0);

    glGenRenderbuffers(1, &impl.c_depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, impl.c_depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kBackBufferWidth, kBackBufferHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, impl.c_depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kBackBufferWidth, kBackBufferHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, impl.c_depthBuffer);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) {
        glGenFramebuffers(1, &impl.c_colourFbo);
        glBindFramebuffer(GL_FRAMEBUFFER, impl.c_colourFbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, impl.c_colorTexture, 0);
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        if (error) *error = "the 800 x 600 off-screen target is incomplete (framebuffer status " +
                            std::to_string(status) + ")";
        return false;
    }
    return true;
}

double DisplayRefreshPeriodMs(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0)
        return 1000.0 / mode.refresh_rate;
    return 1000.0 / kDefaultRefreshHz;
}

}  // namespace

std::unique_ptr<Device> Device::Create(platform::Window& window, std::string* error)
{
    auto impl = std::make_unique<Impl>();
    impl->c_pWindow = &window;
    impl->c_pSdlWindow = platform::GetSdlWindow(window);
    impl->c_glContext = platform::GetGlContext(window);
    impl->c_bHeadless = window.IsHeadless();
    if (!impl->c_pSdlWindow || !impl->c_glContext ||
        SDL_GL_MakeCurrent(impl->c_pSdlWindow, impl->c_glContext) != 0) {
        if (error) *error = std::string("the window's OpenGL context cannot be made current: ") + SDL_GetError();
        return nullptr;
    }
    if (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 core is required; the context offers version " +
                            std::to_string(epoxy_gl_version() / 10) + "." + std::to_string(epoxy_gl_version() % 10);
        return nullptr;
    }
    impl->c_bHasClipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    // KELVANE_GFX_NO_CLIP_CONTROL forces the shader's depth remap (for drivers whose clip
    // control misbehaves, and to test that path).
    const char* noClipControl = std::getenv("KELVANE_GFX_NO_CLIP_CONTROL");
    impl->c_bClipControl = impl->c_bHasClipControl && !(noClipControl && *noClipControl);

    if (!CreateTarget(*impl, error)) return nullptr;
    glGenVertexArrays(1, &impl->c_vao);
    glGenSamplers(1, &impl->c_sampler);

    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    impl->c_dwMaxTextureSize = static_cast<DWORD>(maxTexture);
    SDL_GL_SetSwapInterval(1);
    impl->c_refreshPeriodMs = DisplayRefreshPeriodMs(impl->c_pSdlWindow);
    impl->ApplyDefaults();
    // The start-up state's program is built now, so that a driver that cannot compile the
    // programs fails here rather than at the first draw.
    const ProgramKey startKey = MakeProgramKey(false, !impl->c_bClipControl, false, false,
                                               VertexColour::kInterpolated, impl->c_stage[0], false, D3DCMP_ALWAYS);
    if (!impl->c_programs.Get(startKey, error)) return nullptr;

    std::unique_ptr<Device> device(new Device(std::move(impl)));
    // A fresh target holds black, with the depth buffer at its far value.
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
    return device;
}

Device::Device(std::unique_ptr<Impl> impl) : c_pImpl(std::move(impl)) {}

Device::~Device()
{
    Impl& impl = *c_pImpl;
    // Resources outliving the device keep their CPU copies but lose their GL objects.
    for (Texture* texture : impl.c_liveTextures) {
        if (texture->c_glName) glDeleteTextures(1, &texture->c_glName);
        texture->c_glName = 0;
        texture->c_pDevice = nullptr;
    }
    for (VertexBuffer* buffer : impl.c_liveBuffers) {
        if (buffer->c_glName) glDeleteBuffers(1, &buffer->c_glName);
        buffer->c_glName = 0;
        buffer->c_pDevice = nullptr;
    }
    for (StateBlock* block : impl.c_liveBlocks) block->c_pDevice = nullptr;
    if (impl.c_pRecording) impl.c_pRecording->c_pDevice = nullptr;
}

// Black bars fill what the picture leaves of the drawable.
PresentRect LetterboxRect(int drawableWidth, int drawableHeight)
{
    const platform::PictureRect picture =
        platform::FitPicture(drawableWidth, drawableHeight, kBackBufferWidth, kBackBufferHeight);
    // The window's rectangle has its origin top left; OpenGL counts rows from the bottom.
    return PresentRect{picture.x, drawableHeight - picture.y - picture.height, picture.width, picture.height};
}

std::array<PresentRect, 2> BarsAround(const PresentRect& picture, int drawableWidth, int drawableHeight)
{
    if (picture.width <= 0 || picture.height <= 0)
        return {PresentRect{0, 0, drawableWidth, drawableHeight}, PresentRect{0, 0, 0, 0}};
    if (picture.width < drawableWidth) {  // left and right
        return {PresentRect{0, 0, picture.x, drawableHeight},
                PresentRect{picture.x + picture.width, 0, drawableWidth - picture.x - picture.width, drawableHeight}};
    }
    return {PresentRect{0, 0, drawableWidth, picture.y},  // below and above, GL rows from the bottom
            PresentRect{0, picture.y + picture.height, drawableWidth, drawableHeight - picture.y - picture.height}};
}

// ---- Frame ---------------------------------------------------------------------------------

namespace {

constexpr RECT kWholeTarget{0, 0, kBackBufferWidth, kBackBufferHeight};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Whether `outer` covers every pixel of `inner`.
bool Covers(const RECT& outer, const RECT& inner)
{
    return IsEmpty(inner) || (outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
                              outer.bottom >= inner.bottom);
}

RECT Intersection(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT Union(const RECT& a, const RECT& b)
{
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace

void Device::Impl::NoteDepthWritten(const RECT& area) { c_depthWritten = Union(c_depthWritten, area); }

void Device::Impl::NoteDepthCleared(const RECT& area, float value)
{
    if (Covers(area, kWholeTarget)) {
        c_bDepthKnown = true;
        c_fKnownDepth = value;
        c_depthWritten = RECT{};
    } else if (c_bDepthKnown && value == c_fKnownDepth) {
        if (Covers(area, c_depthWritten)) c_depthWritten = RECT{};
    } else {
        c_bDepthKnown = false;
    }
}

void Device::Impl::NoteStencilCleared(const RECT& area, GLint value)
{
    if (Covers(area, kWholeTarget)) {
        c_bStencilKnown = true;
        c_iKnownStencil = value;
    } else if (!c_bStencilKnown || value != c_iKnownStencil) {
        c_bStencilKnown = false;
    }
}

HRESULT Device::Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    Impl& impl = *c_pImpl;
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
    if (flags & D3DCLEAR_ZBUFFER) mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & D3DCLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
    if (mask == 0 || (count > 0 && !rects)) return D3DERR_INVALIDCALL;

    // Every rectangle, and the whole clear, is limited to the current viewport.
    const D3DVIEWPORT9& vp = impl.c_viewport;
    auto inViewport = [&vp](const RECT& r) {
        return RECT{std::max(r.left, static_cast<int>(vp.X)), std::max(r.top, static_cast<int>(vp.Y)),
                    std::min(r.right, static_cast<int>(vp.X + vp.Width)),
                    std::min(r.bottom, static_cast<int>(vp.Y + vp.Height))};
    };
    std::vector<RECT> areas;
    if (count == 0 || !rects) {
        areas.push_back(inViewport(kWholeTarget));
    } else {
        for (DWORD i = 0; i < count; ++i) areas.push_back(inViewport(rects[i]));
    }
    const float depth = std::clamp(z, 0.0f, 1.0f);

    GLint stencilValue = static_cast<GLint>(stencil & 0xFF);
    // A depth-only clear of one area to the value the depth buffer holds outside what was
    // written since: only where the two meet can a pixel change.
    if (flags == D3DCLEAR_ZBUFFER && areas.size() == 1 && impl.c_bDepthKnown && depth == impl.c_fKnownDepth) {
        areas[0] = Intersection(areas[0], impl.c_depthWritten);
        if (IsEmpty(areas[0])) return S_OK;
        if (Covers(areas[0], kWholeTarget) && impl.c_bStencilKnown) {
            mask |= GL_STENCIL_BUFFER_BIT;
            stencilValue = impl.c_iKnownStencil;
        }
    }

    // A clear of all of depth or stencil waits for the first draw that needs the buffer.
    const GLbitfield depthStencil = mask & (GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (depthStencil && areas.size() == 1 && Covers(areas[0], kWholeTarget)) {
        if (mask & GL_DEPTH_BUFFER_BIT) {
            impl.NoteDepthCleared(areas[0], depth);
            impl.c_bDepthClearPending = true;
        }
        if (mask & GL_STENCIL_BUFFER_BIT) {
            impl.NoteStencilCleared(areas[0], stencilValue);
            impl.c_bStencilClearPending = true;
        }
        mask &= ~depthStencil;
        if (mask == 0) return S_OK;
    }

    if (mask & (GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT))
        impl.BindDepthTarget();
    else
        impl.BindTarget();
    float c[4];
    ColorToFloats(color, c);
    glClearColor(c[0], c[1], c[2], c[3]);
    glClearDepth(depth);
    glClearStencil(stencilValue);
    // A clear writes whatever the write masks of the drawing state say.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    for (const RECT& area : areas) {
        if (IsEmpty(area)) continue;
        // The whole target is cleared unscissored: the rasteriser then clears tile by tile.
        if (Covers(area, kWholeTarget))
            glDisable(GL_SCISSOR_TEST);
        else
            glEnable(GL_SCISSOR_TEST);
        glScissor(area.left, kBackBufferHeight - area.bottom, area.right - area.left, area.bottom - area.top);
        glClear(mask);
        if (mask & GL_DEPTH_BUFFER_BIT) impl.NoteDepthCleared(area, depth);
        if (mask & GL_STENCIL_BUFFER_BIT) impl.NoteStencilCleared(area, stencilValue);
    }
    glDisable(GL_SCISSOR_TEST);
    return S_OK;
}

HRESULT Device::BeginScene()
{
    if (c_pImpl->c_bInScene) return D3DERR_INVALIDCALL;
    c_pImpl->c_bInScene = true;
    return S_OK;
}

HRESULT Device::EndScene()
{
    if (!c_pImpl->c_bInScene) return D3DERR_INVALIDCALL;
    c_pImpl->c_bInScene = false;
    return S_OK;
}

HRESULT Device::Present()
{
    Impl& impl = *c_pImpl;
    if (impl.c_pWindow->TakeScreenshotRequest() && impl.c_screenshotHandler) impl.c_screenshotHandler(ReadBackBuffer());
    // The size the display server gives the window now, not the size that was asked for.
    int width = 0;
    int height = 0;
    impl.c_pWindow->GetDrawableSize(&width, &height);
    impl.ShowTarget(width, height);
    // The driver learns a new window size only at a swap, so the first frame after a change
    // went to a buffer of the old size: show the picture once more, whole.
    if (width != impl.c_iShownWidth || height != impl.c_iShownHeight) impl.ShowTarget(width, height);
    impl.c_iShownWidth = width;
    impl.c_iShownHeight = height;
    impl.BindTarget();
    impl.PaceFrame(true);
    platform::OnPresent();
    NoteChange();
    return S_OK;
}

HRESULT Device::ShowAgain()
{
    Impl& impl = *c_pImpl;
    if (impl.c_pWindow->TakeRedrawRequest()) return Present();
    impl.PaceFrame(false);
    platform::OnPresent();
    return S_OK;
}

void Device::SetScreenshotHandler(std::function<void(const std::vector<std::uint32_t>&)> handler)
{
    c_pImpl->c_screenshotHandler = std::move(handler);
}

// ---- Geometry and transforms -----------------------------------------------------------------

HRESULT Device::SetViewport(const D3DVIEWPORT9& viewport)
{
    if (viewport.Width == 0 || viewport.Height == 0 || viewport.X + viewport.Width > kBackBufferWidth ||
        viewport.Y + viewport.Height > kBackBufferHeight || viewport.X >= kBackBufferWidth ||
        viewport.Y >= kBackBufferHeight)
        return D3DERR_INVALIDCALL;
    c_pImpl->c_viewport = viewport;
    return S_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) const
{
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = c_pImpl->c_viewport;
    return S_OK;
}

HRESULT Device::SetScissorRect(const RECT& rect)
{
    if (rect.left < 0 || rect.top < 0 || rect.right > kBackBufferWidth || rect.bottom > kBackBufferHeight ||
        rect.right < rect.left || rect.bottom < rect.top)
        return D3DERR_INVALIDCALL;
    c_pImpl->c_scissor = rect;
    return S_OK;
}

HRESULT Device::GetScissorRect(RECT* rect) const
{
    if (!rect) return D3DERR_INVALIDCALL;
    *rect = c_pImpl->c_scissor;
    return S_OK;
}

namespace {
D3DMATRIX* TransformSlot(Device::Impl& impl, D3DTRANSFORMSTATETYPE state)
{
    switch (state) {
    case D3DTS_WORLD: return &impl.c_world;
    case D3DTS_VIEW: return &impl.c_view;
    case D3DTS_PROJECTION: return &impl.c_projection;
    default: return nullptr;
    }
}
}  // namespace

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix)
{
    D3DMATRIX* slot = TransformSlot(*c_pImpl, state);
    if (!slot) return D3DERR_INVALIDCALL;
    *slot = matrix;
    return S_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const
{
    D3DMATRIX* slot = TransformSlot(*c_pImpl, state);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return S_OK;
}

HRESULT Device::SetStreamSource(UINT stream, VertexBuffer* buffer, UINT offset, UINT stride)
{
    if (stream != 0) return D3DERR_INVALIDCALL;
    c_pImpl->c_pStream = buffer;
    c_pImpl->c_uStreamOffset = offset;
    c_pImpl->c_uStreamStride = stride;
    return S_OK;
}

HRESULT Device::SetFVF(DWORD fvf)
{
    c_pImpl->c_dwFvf = fvf;
    return S_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    Impl& impl = *c_pImpl;
    if (type != D3DPT_TRIANGLELIST) return D3DERR_INVALIDCALL;
    const DWORD fvf = impl.c_dwFvf;
    if (fvf != kFvfLitVertex && fvf != kFvfScreenVertex) return D3DERR_INVALIDCALL;
    VertexBuffer* buffer = impl.c_pStream;
    const UINT vertexSize = fvf == kFvfLitVertex ? kLitVertexSize : kScreenVertexSize;
    if (!buffer || impl.c_uStreamStride < vertexSize) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return S_OK;
    // Every vertex drawn must lie inside the buffer.
    const std::uint64_t vertexCount = std::uint64_t{primitiveCount} * 3;
    const std::uint64_t end = std::uint64_t{impl.c_uStreamOffset} +
                              (std::uint64_t{startVertex} + vertexCount - 1) * impl.c_uStreamStride + vertexSize;
    if (end > buffer->Size()) return D3DERR_INVALIDCALL;

    buffer->Upload();
    // Depth is tested or written only with ZENABLE on; without it the draw needs no depth buffer.
    if (impl.c_render[D3DRS_ZENABLE] != D3DZB_FALSE)
        impl.BindDepthTarget();
    else
        impl.BindTarget();
    if (!impl.ApplyPipeline(fvf == kFvfScreenVertex, impl.FactsOf(*buffer, startVertex, static_cast<UINT>(vertexCount))))
        return D3DERR_INVALIDCALL;
    // Depth is written where the draw can reach: the viewport, or the whole target for screen vertices.
    if (impl.c_render[D3DRS_ZENABLE] != D3DZB_FALSE && impl.c_render[D3DRS_ZWRITEENABLE])
        impl.NoteDepthWritten(impl.DrawBounds(*buffer, startVertex, static_cast<UINT>(vertexCount)));
    glBindBuffer(GL_ARRAY_BUFFER, buffer->c_glName);
    impl.SetupVertexLayout(fvf, impl.c_uStreamOffset, impl.c_uStreamStride);
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    return S_OK;
}

// ---- States --------------------------------------------------------------------------------

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= kRenderStateCount) return D3DERR_INVALIDCALL;
    if (c_pImpl->c_pRecording) {
        c_pImpl->c_pRecording->Record(StateBlock::Kind::Render, 0, state, value, nullptr);
        return S_OK;
    }
    c_pImpl->c_render[state] = value;
    return S_OK;
}

DWORD Device::GetRenderState(D3DRENDERSTATETYPE state) const
{
    return state < kRenderStateCount ? c_pImpl->c_render[state] : 0;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= kTextureStageCount || type >= kTextureStageStateCount) return D3DERR_INVALIDCALL;
    if (c_pImpl->c_pRecording) {
        c_pImpl->c_pRecording->Record(StateBlock::Kind::Stage, stage, type, value, nullptr);
        return S_OK;
    }
    c_pImpl->c_stage[stage][type] = value;
    return S_OK;
}

DWORD Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const
{
    if (stage >= kTextureStageCount || type >= kTextureStageStateCount) return 0;
    return c_pImpl->c_stage[stage][type];
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= kSamplerCount || type >= kSamplerStateCount) return D3DERR_INVALIDCALL;
    if (c_pImpl->c_pRecording) {
        c_pImpl->c_pRecording->Record(StateBlock::Kind::Sampler, sampler, type, value, nullptr);
        return S_OK;
    }
    c_pImpl->c_samplerState[sampler][type] = value;
    return S_OK;
}

DWORD Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const
{
    if (sampler >= kSamplerCount || type >= kSamplerStateCount) return 0;
    return c_pImpl->c_samplerState[sampler][type];
}

HRESULT Device::SetMaterial(const D3DMATERIAL9& material)
{
    c_pImpl->c_material = material;
    return S_OK;
}

void Device::SetDimming(float factor) { c_pImpl->c_fDimming = std::clamp(factor, 0.0f, 1.0f); }

float Device::GetDimming() const { return c_pImpl->c_fDimming; }

HRESULT Device::GetMaterial(D3DMATERIAL9* material) const
{
    if (!material) return D3DERR_INVALIDCALL;
    *material = c_pImpl->c_material;
    return S_OK;
}

HRESULT Device::SetTexture(DWORD stage, Texture* texture)
{
    if (stage >= kTextureStageCount) return D3DERR_INVALIDCALL;
    if (c_pImpl->c_pRecording) {
        c_pImpl->c_pRecording->Record(StateBlock::Kind::Texture, stage, 0, 0, texture);
        return S_OK;
    }
    c_pImpl->c_textures[stage] = texture;
    return S_OK;
}

Texture* Device::GetTexture(DWORD stage) const
{
    return stage < kTextureStageCount ? c_pImpl->c_textures[stage] : nullptr;
}

// ---- State blocks --------------------------------------------------------------------------

HRESULT Device::BeginStateBlock()
{
    if (c_pImpl->c_pRecording) return D3DERR_INVALIDCALL;
    c_pImpl->c_pRecording.reset(new StateBlock(this));
    return S_OK;
}

HRESULT Device::EndStateBlock(std::unique_ptr<StateBlock>* block)
{
    Impl& impl = *c_pImpl;
    if (!impl.c_pRecording) return D3DERR_INVALIDCALL;
    std::unique_ptr<StateBlock> recorded = std::move(impl.c_pRecording);
    if (!block) return D3DERR_INVALIDCALL;  // the recording is dropped
    impl.c_liveBlocks.push_back(recorded.get());
    *block = std::move(recorded);
    return S_OK;
}

// ---- Resources -----------------------------------------------------------------------------

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              std::unique_ptr<Texture>* out)
{
    (void)levels;  // one level always: the game never draws with mip levels
    if (!out) return D3DERR_INVALIDCALL;
    out->reset();
    D3DCAPS9 caps{};
    GetDeviceCaps(&caps);
    if (width == 0 || height == 0 || width > caps.MaxTextureWidth || height > caps.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8 && format != D3DFMT_R8G8B8 &&
        format != D3DFMT_A4R4G4B4)
        return D3DERR_INVALIDCALL;
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    // The target's copies are kept on the GPU as the target is: A8R8G8B8.
    if (renderTarget && (pool != D3DPOOL_DEFAULT || format != D3DFMT_A8R8G8B8))
        return D3DERR_INVALIDCALL;
    out->reset(new Texture(this, width, height, format, pool, renderTarget));
    c_pImpl->c_liveTextures.push_back(out->get());
    ++c_pImpl->c_texturesCreated;
    NoteChange();
    return S_OK;
}

HRESULT Device::CopyTargetToTexture(const RECT& source, Texture* texture)
{
    Impl& impl = *c_pImpl;
    if (!texture || !texture->c_bRenderTarget || texture->c_pDevice != this || source.left < 0 || source.top < 0 ||
        source.right > kBackBufferWidth || source.bottom > kBackBufferHeight ||
        source.right - source.left != static_cast<int>(texture->c_uWidth) ||
        source.bottom - source.top != static_cast<int>(texture->c_uHeight))
        return D3DERR_INVALIDCALL;
    texture->Upload();
    if (!impl.c_copyFbo) glGenFramebuffers(1, &impl.c_copyFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, impl.c_copyFbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture->c_glName, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, impl.c_colourFbo);
    glDisable(GL_SCISSOR_TEST);
    // The target's rows run bottom up and the texture's top down: the copy turns them over.
    const GLint width = source.right - source.left;
    const GLint height = source.bottom - source.top;
    const GLint bottom = kBackBufferHeight - source.bottom;
    glBlitFramebuffer(source.left, bottom, source.right, bottom + height, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    impl.BindTarget();
    texture->NewVersion();
    return S_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            std::unique_ptr<Surface>* out)
{
    if (!out) return D3DERR_INVALIDCALL;
    out->reset();
    if (width == 0 || height == 0 || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8))
        return D3DERR_INVALIDCALL;
    out->reset(new Surface(width, height, format, pool));
    return S_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   std::unique_ptr<VertexBuffer>* out)
{
    if (!out) return D3DERR_INVALIDCALL;
    out->reset();
    if (length == 0) return D3DERR_INVALIDCALL;
    out->reset(new VertexBuffer(this, length, usage, fvf, pool));
    c_pImpl->c_liveBuffers.push_back(out->get());
    NoteChange();
    return S_OK;
}

void Device::NoteChange() { c_pImpl->c_changes.fetch_add(1, std::memory_order_relaxed); }

std::uint64_t Device::GetChangeCount() const { return c_pImpl->c_changes.load(std::memory_order_relaxed); }

void Device::ForgetTexture(Texture* texture)
{
    Impl& impl = *c_pImpl;
    NoteChange();
    for (Texture*& bound : impl.c_textures)
        if (bound == texture) bound = nullptr;
    for (StateBlock* block : impl.c_liveBlocks) block->ForgetTexture(texture);
    if (impl.c_pRecording) impl.c_pRecording->ForgetTexture(texture);
    std::erase(impl.c_liveTextures, texture);
}

void Device::ForgetVertexBuffer(VertexBuffer* buffer)
{
    Impl& impl = *c_pImpl;
    if (impl.c_pStream == buffer) impl.c_pStream = nullptr;
    std::erase(impl.c_liveBuffers, buffer);
}

void Device::ForgetStateBlock(StateBlock* block) { std::erase(c_pImpl->c_liveBlocks, block); }

// ---- Capabilities and readback -------------------------------------------------------------

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) const
{
    if (!caps) return D3DERR_INVALIDCALL;
    const DWORD size = c_pImpl->c_dwMaxTextureSizeOverride ? c_pImpl->c_dwMaxTextureSizeOverride
                                                          : c_pImpl->c_dwMaxTextureSize;
    caps->MaxTextureWidth = size;
    caps->MaxTextureHeight = size;
    return S_OK;
}

// The target is RGBA8, on which every GL 3.3 implementation blends.
bool Device::CanBlendOnBackBuffer() const { return true; }

void Device::SetMaxTextureSizeForTesting(DWORD size) { c_pImpl->c_dwMaxTextureSizeOverride = size; }

void Device::ResetStateForTesting()
{
    if (c_pImpl->c_pRecording) c_pImpl->c_pRecording.reset();
    c_pImpl->ApplyDefaults();
    c_pImpl->c_dwMaxTextureSizeOverride = 0;
}

std::vector<std::uint32_t> Device::ReadBackBuffer() const
{
    c_pImpl->BindTarget();
    return ReadBoundPicture();
}

std::vector<std::uint32_t> ReadBoundPicture(int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // BGRA with the reversed 8-bit packing gives 0xAARRGGBB words; GL returns the bottom row
    // first, so flip here, and only here.
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.begin() + top * width, pixels.begin() + (top + 1) * width,
                         pixels.begin() + bottom * width);
    }
    return pixels;
}

std::size_t Device::GetLiveTextureCount() const
{
    return c_pImpl->c_liveTextures.size();
}

std::size_t Device::GetTexturesCreated() const { return c_pImpl->c_texturesCreated; }

}  // namespace gfx
