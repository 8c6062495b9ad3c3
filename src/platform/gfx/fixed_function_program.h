// Private to platform/gfx: the shader programs that reproduce the fixed-function subset the
// game draws with (two vertex layouts, lighting without lights, texture stage 0, alpha test).
// One program variant is built per combination of the states that choose code, so that each
// runs straight-line code: a software rasteriser would otherwise run every branch per pixel.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/gfx/d3d_types.h"

namespace gfx {

// The states that choose a variant's code, reduced to what changes the result: an argument
// is the texel or the vertex colour, an operation the stage never reaches is left out, and an
// alpha test that passes every fragment is no test.
struct ProgramKey {
    bool screenVertices = false;  // pre-transformed 0x144 vertices, else 0x112 through the matrices
    bool remapDepth = false;      // z' = 2z - w, where clip control is missing
    bool hasTexture = false;      // a texture is bound to stage 0; else the texel is opaque white
    // The vertex colour is opaque white at every vertex drawn (lighting off without a diffuse
    // colour, or every diffuse colour white): the variant then reads no vertex colour at all.
    bool whiteColour = false;
    // The vertex colour is the same at every vertex (lit vertices with lighting on: the
    // material's colour): the variant reads it from a uniform rather than interpolating it.
    bool uniformColour = false;
    // The texture has no alpha of its own (X8R8G8B8): its texels read as opaque.
    bool opaqueTexture = false;
    // D3DTOP_DISABLE .. D3DTOP_MODULATE; 0 for any other op (the vertex colour).
    std::uint8_t colorOp = 0;
    // D3DTA_TEXTURE, or D3DTA_CURRENT for the vertex colour; 0 where the op reads no argument.
    std::uint8_t colorArg1 = 0, colorArg2 = 0;
    // SELECTARG1 .. MODULATE; 0 for any other op (the vertex alpha).
    std::uint8_t alphaOp = 0;
    std::uint8_t alphaArg1 = 0, alphaArg2 = 0;
    std::uint8_t alphaFunc = 0;  // D3DCMP_NEVER .. D3DCMP_GREATEREQUAL; 0 for no test
    // Where the program applies the device's dimming: nowhere (none, or folded into the uniform
    // colour), to the interpolated vertex colour, or to the stage's result.
    std::uint8_t dimming = 0;

    bool operator==(const ProgramKey&) const = default;
    std::uint32_t Packed() const;
};

namespace Dimming {
constexpr std::uint8_t kNone = 0;
constexpr std::uint8_t kVertexColour = 1;
constexpr std::uint8_t kResult = 2;
}  // namespace Dimming

// Builds the key for a draw. `stage` is texture stage 0's states indexed by D3DTSS_*.
enum class VertexColour { kInterpolated, kWhite, kUniform };
ProgramKey MakeProgramKey(bool screenVertices, bool remapDepth, bool hasTexture, bool opaqueTexture,
                          VertexColour colour, const DWORD* stage, bool alphaTest, DWORD alphaFunc);

// Whether the stage's colour is its vertex colour times at most the texel (read once): then
// scaling the vertex colour scales the result.
bool ScalesWithColour(const ProgramKey& key);

// Uniform locations of one variant, looked up once; -1 where the variant does not use one.
struct FixedFunctionUniforms {
    GLint worldViewProj;  // row-vector product World * View * Proj, uploaded untransposed
    GLint targetSize;     // render target size in pixels
    GLint lighting;       // D3DRS_LIGHTING for 0x112 vertices
    GLint hasDiffuse;     // the layout carries a diffuse colour
    GLint emissive;
    GLint ambient;
    GLint globalAmbient;
    GLint diffuseAlpha;
    GLint texture;
    GLint alphaRef;
    GLint colour;         // the lit colour, for variants that take it as a uniform
    GLint dimming;        // the dimming factor, for dimmed variants
};

// The uniform values a variant last received, so a draw uploads only what changed.
struct FixedFunctionUniformValues {
    float worldViewProj[16];
    float targetSize[2];
    GLint lighting;
    GLint hasDiffuse;
    float emissive[4];
    float ambient[4];
    float globalAmbient[4];
    float diffuseAlpha;
    GLint texture;
    GLint alphaRef;
    float colour[4];
    float dimming;
};

struct ProgramVariant {
    GLuint program = 0;
    FixedFunctionUniforms uniforms{};
    FixedFunctionUniformValues uploaded{};
    bool uploadedKnown = false;  // false until the first upload
};

// The variants built so far, compiled the first time a key is asked for. Owns the GL programs;
// Release must run while the context is current.
class FixedFunctionPrograms {
public:
    FixedFunctionPrograms() = default;
    FixedFunctionPrograms(const FixedFunctionPrograms&) = delete;
    FixedFunctionPrograms& operator=(const FixedFunctionPrograms&) = delete;
    ~FixedFunctionPrograms();

    // The variant for `key`, built on first use; null with `error` set (the driver's log)
    // when it does not compile or link.
    ProgramVariant* Get(const ProgramKey& key, std::string* error);
    void Release();

private:
    std::unordered_map<std::uint32_t, std::unique_ptr<ProgramVariant>> c_variants;
    std::uint32_t c_lastKey = 0;
    ProgramVariant* c_pLast = nullptr;
};

// Attribute locations the programs bind.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribNormal = 1;
constexpr GLuint kAttribDiffuse = 2;
constexpr GLuint kAttribTexCoord = 3;

}  // namespace gfx
