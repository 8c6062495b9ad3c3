#include "platform/gfx/fixed_function_program.h"

#include "platform/gfx/shader_program.h"

namespace gfx {

namespace {

// Lit vertices (0x112) go through the row-vector world*view*projection product; screen
// vertices (0x144) are target pixels with the pixel centre at integer coordinates, y down.
// Lighting with no light enabled leaves emissive + ambient * global ambient, clamped, with
// the material's diffuse alpha. The constants named k* are the variant's key, declared before
// this text. The vertex colour stays chosen by uniforms: a colour the compiler could see as
// constant would reach the pixels exactly rather than interpolated, changing some by one level.
const char* const kVertexBody = R"(
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTexCoord;

uniform mat4 uWorldViewProj;
uniform vec2 uTargetSize;
uniform bool uLighting;
uniform bool uHasDiffuse;
uniform vec4 uEmissive;
uniform vec4 uAmbient;
uniform vec4 uGlobalAmbient;
uniform float uDiffuseAlpha;
uniform float uDimming;

// The colour comes before the texture coordinate, and must stay first: with the coordinate
// first the software rasteriser draws screen-aligned pictures that modulate by the colour on
// a fast path that, in the driver this game is tested with, gives them wrong colours after
// the first frame. Variants that read no interpolated colour (see VertexColour below) take
// that path safely.
out vec4 vColor;
out vec2 vTexCoord;

void main()
{
    vec4 clip;
    if (kScreenVertices) {
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 glPixel = vec2(aPosition.x + 0.5, uTargetSize.y - (aPosition.y + 0.5));
        vec2 ndc = glPixel / uTargetSize * 2.0 - 1.0;
        clip = vec4(ndc * w, aPosition.z * w, w);
    } else {
        clip = uWorldViewProj * vec4(aPosition.xyz, 1.0);
    }
    if (kRemapDepth) clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;

    if (!kScreenVertices && uLighting) {
        vec3 lit = uEmissive.rgb + uAmbient.rgb * uGlobalAmbient.rgb;
        vColor = vec4(clamp(lit, 0.0, 1.0), clamp(uDiffuseAlpha, 0.0, 1.0));
    } else {
        vColor = uHasDiffuse ? aDiffuse : vec4(1.0);
    }
    if (kDimColour) vColor.rgb *= uDimming;
    vTexCoord = aTexCoord;
}
)";

// Texture stage 0: ops DISABLE 1, SELECTARG1 2, SELECTARG2 3, MODULATE 4; arguments CURRENT 1
// (the vertex colour on stage 0), TEXTURE 2. Alpha compare functions NEVER 1 .. GREATEREQUAL 7
// against ALPHAREF in 0..255; 0 tests nothing.
const char* const kFragmentBody = R"(
in vec4 vColor;
in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform int uAlphaRef;
uniform vec4 uColour;
uniform float uDimming;

out vec4 fragColor;

// A colour known to be opaque white is a constant, and one the same at every vertex comes
// from a uniform, so the variant reads no interpolated colour: a picture drawn by a variant
// whose only input is the texture coordinate takes the software rasteriser's fast path.
vec4 VertexColour()
{
    if (kWhiteColour) return vec4(1.0);
    if (kUniformColour) return uColour;
    return vColor;
}

vec4 Argument(int arg, vec4 texel)
{
    if (arg == 2) return texel;
    return VertexColour();
}

vec4 Combine(int op, int arg1, int arg2, vec4 texel)
{
    if (op == 2) return Argument(arg1, texel);
    if (op == 3) return Argument(arg2, texel);
    if (op == 4) return Argument(arg1, texel) * Argument(arg2, texel);
    return VertexColour();
}

bool AlphaPasses(int value)
{
    if (kAlphaFunc == 1) return false;
    if (kAlphaFunc == 2) return value < uAlphaRef;
    if (kAlphaFunc == 3) return value == uAlphaRef;
    if (kAlphaFunc == 4) return value <= uAlphaRef;
    if (kAlphaFunc == 5) return value > uAlphaRef;
    if (kAlphaFunc == 6) return value != uAlphaRef;
    if (kAlphaFunc == 7) return value >= uAlphaRef;
    return true;
}

void main()
{
    vec4 texel = kHasTexture ? texture(uTexture, vTexCoord) : vec4(1.0);
    if (kOpaqueTexture) texel.a = 1.0;
    vec4 result;
    if (kColorOp == 1) {
        result = VertexColour();  // stage 0 disabled: the whole cascade is off
    } else {
        result.rgb = Combine(kColorOp, kColorArg1, kColorArg2, texel).rgb;
        result.a = Combine(kAlphaOp, kAlphaArg1, kAlphaArg2, texel).a;
    }
    if (kAlphaFunc != 0 && !AlphaPasses(int(floor(result.a * 255.0 + 0.5)))) discard;
    if (kDimResult) result.rgb *= uDimming;
    fragColor = result;
}
)";

constexpr const char* kVersion = "#version 330 core\n";

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Int(int value) { return std::to_string(value); }

std::string VertexSource(const ProgramKey& key)
{
    return std::string(kVersion) + "const bool kScreenVertices = " + Bool(key.screenVertices) +
           ";\nconst bool kRemapDepth = " + Bool(key.remapDepth) +
           ";\nconst bool kDimColour = " + Bool(key.dimming == Dimming::kVertexColour) + ";\n" + kVertexBody;
}

std::string FragmentSource(const ProgramKey& key)
{
    return std::string(kVersion) + "const bool kHasTexture = " + Bool(key.hasTexture) +
           ";\nconst bool kOpaqueTexture = " + Bool(key.opaqueTexture) +
           ";\nconst bool kWhiteColour = " + Bool(key.whiteColour) +
           ";\nconst bool kUniformColour = " + Bool(key.uniformColour) +
           ";\nconst int kColorOp = " + Int(key.colorOp) + ";\nconst int kColorArg1 = " + Int(key.colorArg1) +
           ";\nconst int kColorArg2 = " + Int(key.colorArg2) + ";\nconst int kAlphaOp = " + Int(key.alphaOp) +
           ";\nconst int kAlphaArg1 = " + Int(key.alphaArg1) + ";\nconst int kAlphaArg2 = " + Int(key.alphaArg2) +
           ";\nconst int kAlphaFunc = " + Int(key.alphaFunc) + ";\nconst bool kDimResult = " + Bool(key.dimming == Dimming::kResult) +
           ";\n" + kFragmentBody;
}

GLuint Link(const ProgramKey& key, std::string* error)
{
    return LinkProgram(VertexSource(key), FragmentSource(key), error);
}

// The operation as the stage sees it: SELECTARG1, SELECTARG2, MODULATE, and for colour DISABLE
// (which turns the whole stage off); any other gives the vertex colour and becomes 0.
std::uint8_t StageOp(DWORD op, bool colour)
{
    const bool known = op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE ||
                       (colour && op == D3DTOP_DISABLE);
    if (known) return static_cast<std::uint8_t>(op);
    return 0;
}

// An argument is the texel when its source is TEXTURE; every other source is the vertex colour.
std::uint8_t StageArg(DWORD arg) { return (arg & 15) == D3DTA_TEXTURE ? D3DTA_TEXTURE : D3DTA_CURRENT; }

// Fills the arguments `op` reads; those it ignores stay 0 so they do not split variants.
void StageArgs(std::uint8_t op, DWORD arg1, DWORD arg2, std::uint8_t* key1, std::uint8_t* key2)
{
    *key1 = (op == D3DTOP_SELECTARG1 || op == D3DTOP_MODULATE) ? StageArg(arg1) : 0;
    *key2 = (op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE) ? StageArg(arg2) : 0;
}

}  // namespace

std::uint32_t ProgramKey::Packed() const
{
    // Ops take 3 bits, arguments 2, the compare function 3.
    std::uint32_t bits = 0;
    auto put = [&bits](std::uint32_t value, int width) { bits = (bits << width) | value; };
    put(screenVertices, 1);
    put(remapDepth, 1);
    put(hasTexture, 1);
    put(whiteColour, 1);
    put(opaqueTexture, 1);
    put(uniformColour, 1);
    put(colorOp, 3);
    put(colorArg1, 2);
    put(colorArg2, 2);
    put(alphaOp, 3);
    put(alphaArg1, 2);
    put(alphaArg2, 2);
    put(alphaFunc, 3);
    put(dimming, 2);
    return bits;
}

ProgramKey MakeProgramKey(bool screenVertices, bool remapDepth, bool hasTexture, bool opaqueTexture,
                          VertexColour colour, const DWORD* stage, bool alphaTest, DWORD alphaFunc)
{
    ProgramKey key;
    key.screenVertices = screenVertices;
    key.remapDepth = remapDepth;
    key.hasTexture = hasTexture;
    key.opaqueTexture = hasTexture && opaqueTexture;
    key.whiteColour = colour == VertexColour::kWhite;
    key.uniformColour = colour == VertexColour::kUniform;
    key.colorOp = StageOp(stage[D3DTSS_COLOROP], true);
    if (key.colorOp != D3DTOP_DISABLE) {
        StageArgs(key.colorOp, stage[D3DTSS_COLORARG1], stage[D3DTSS_COLORARG2], &key.colorArg1, &key.colorArg2);
        key.alphaOp = StageOp(stage[D3DTSS_ALPHAOP], false);
        StageArgs(key.alphaOp, stage[D3DTSS_ALPHAARG1], stage[D3DTSS_ALPHAARG2], &key.alphaArg1, &key.alphaArg2);
    }
    // ALWAYS, and any value outside NEVER .. ALWAYS, passes every fragment.
    if (alphaTest && alphaFunc >= D3DCMP_NEVER && alphaFunc < D3DCMP_ALWAYS)
        key.alphaFunc = static_cast<std::uint8_t>(alphaFunc);
    return key;
}

bool ScalesWithColour(const ProgramKey& key)
{
    const bool colour1 = key.colorArg1 == D3DTA_CURRENT;
    const bool colour2 = key.colorArg2 == D3DTA_CURRENT;
    switch (key.colorOp) {
    case D3DTOP_SELECTARG1: return colour1;
    case D3DTOP_SELECTARG2: return colour2;
    case D3DTOP_MODULATE: return colour1 != colour2;  // the colour once, times the texel
    default: return true;                            // the vertex colour alone
    }
}

FixedFunctionPrograms::~FixedFunctionPrograms() { Release(); }

ProgramVariant* FixedFunctionPrograms::Get(const ProgramKey& key, std::string* error)
{
    const std::uint32_t packed = key.Packed();
    if (c_pLast && packed == c_lastKey) return c_pLast;
    auto found = c_variants.find(packed);
    if (found == c_variants.end()) {
        const GLuint program = Link(key, error);
        if (!program) return nullptr;
        auto variant = std::make_unique<ProgramVariant>();
        variant->program = program;
        auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
        FixedFunctionUniforms& u = variant->uniforms;
        u.worldViewProj = at("uWorldViewProj");
        u.targetSize = at("uTargetSize");
        u.lighting = at("uLighting");
        u.hasDiffuse = at("uHasDiffuse");
        u.emissive = at("uEmissive");
        u.ambient = at("uAmbient");
        u.globalAmbient = at("uGlobalAmbient");
        u.diffuseAlpha = at("uDiffuseAlpha");
        u.texture = at("uTexture");
        u.alphaRef = at("uAlphaRef");
        u.colour = at("uColour");
        u.dimming = at("uDimming");
        found = c_variants.emplace(packed, std::move(variant)).first;
    }
    c_lastKey = packed;
    c_pLast = found->second.get();
    return c_pLast;
}

void FixedFunctionPrograms::Release()
{
    for (auto& [packed, variant] : c_variants)
        if (variant->program) glDeleteProgram(variant->program);
    c_variants.clear();
    c_pLast = nullptr;
}

}  // namespace gfx
