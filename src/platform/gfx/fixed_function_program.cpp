#include "platform/gfx/fixed_function_program.h"

#include <vector>

namespace gfx {

namespace {

// Lit vertices (0x112) go through the row-vector world*view*projection product; screen
// vertices (0x144) are target pixels with the pixel centre at integer coordinates, y down.
// Lighting with no light enabled leaves emissive + ambient * global ambient, clamped, with
// the material's diffuse alpha.
const char* const kVertexSource = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTexCoord;

uniform bool uScreenVertices;
uniform mat4 uWorldViewProj;
uniform bool uRemapDepth;
uniform vec2 uTargetSize;
uniform bool uLighting;
uniform bool uHasDiffuse;
uniform vec4 uEmissive;
uniform vec4 uAmbient;
uniform vec4 uGlobalAmbient;
uniform float uDiffuseAlpha;

out vec4 vColor;
out vec2 vTexCoord;

void main()
{
    vec4 clip;
    if (uScreenVertices) {
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 glPixel = vec2(aPosition.x + 0.5, uTargetSize.y - (aPosition.y + 0.5));
        vec2 ndc = glPixel / uTargetSize * 2.0 - 1.0;
        clip = vec4(ndc * w, aPosition.z * w, w);
    } else {
        clip = uWorldViewProj * vec4(aPosition.xyz, 1.0);
    }
    if (uRemapDepth) clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;

    if (!uScreenVertices && uLighting) {
        vec3 lit = uEmissive.rgb + uAmbient.rgb * uGlobalAmbient.rgb;
        vColor = vec4(clamp(lit, 0.0, 1.0), clamp(uDiffuseAlpha, 0.0, 1.0));
    } else {
        vColor = uHasDiffuse ? aDiffuse : vec4(1.0);
    }
    vTexCoord = aTexCoord;
}
)";

// Texture stage 0: ops DISABLE 1, SELECTARG1 2, SELECTARG2 3, MODULATE 4; arguments DIFFUSE 0,
// CURRENT 1, TEXTURE 2 (CURRENT on stage 0 is the vertex colour). Alpha compare functions
// NEVER 1 .. ALWAYS 8 against ALPHAREF in 0..255.
const char* const kFragmentSource = R"(#version 330 core
in vec4 vColor;
in vec2 vTexCoord;

uniform sampler2D uTexture;
uniform bool uHasTexture;
uniform int uColorOp;
uniform int uColorArg1;
uniform int uColorArg2;
uniform int uAlphaOp;
uniform int uAlphaArg1;
uniform int uAlphaArg2;
uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform int uAlphaRef;

out vec4 fragColor;

vec4 Argument(int arg, vec4 texel)
{
    int source = arg & 15;
    if (source == 2) return texel;
    return vColor;
}

vec4 Combine(int op, int arg1, int arg2, vec4 texel)
{
    if (op == 2) return Argument(arg1, texel);
    if (op == 3) return Argument(arg2, texel);
    if (op == 4) return Argument(arg1, texel) * Argument(arg2, texel);
    return vColor;
}

bool AlphaPasses(int value)
{
    if (uAlphaFunc == 1) return false;
    if (uAlphaFunc == 2) return value < uAlphaRef;
    if (uAlphaFunc == 3) return value == uAlphaRef;
    if (uAlphaFunc == 4) return value <= uAlphaRef;
    if (uAlphaFunc == 5) return value > uAlphaRef;
    if (uAlphaFunc == 6) return value != uAlphaRef;
    if (uAlphaFunc == 7) return value >= uAlphaRef;
    return true;
}

void main()
{
    vec4 texel = uHasTexture ? texture(uTexture, vTexCoord) : vec4(1.0);
    vec4 result;
    if (uColorOp == 1) {
        result = vColor;  // stage 0 disabled: the whole cascade is off
    } else {
        result.rgb = Combine(uColorOp, uColorArg1, uColorArg2, texel).rgb;
        result.a = Combine(uAlphaOp, uAlphaArg1, uAlphaArg2, texel).a;
    }
    if (uAlphaTest && !AlphaPasses(int(floor(result.a * 255.0 + 0.5)))) discard;
    fragColor = result;
}
)";

GLuint Compile(GLenum kind, const char* source, std::string* error)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    if (error) {
        *error = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") +
                 " shader did not compile: " + log.data();
    }
    glDeleteShader(shader);
    return 0;
}

}  // namespace

GLuint BuildFixedFunctionProgram(FixedFunctionUniforms* u, std::string* error)
{
    GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexSource, error);
    if (!vertex) return 0;
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentSource, error);
    if (!fragment) {
        glDeleteShader(vertex);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        if (error) *error = std::string("shader program did not link: ") + log;
        glDeleteProgram(program);
        return 0;
    }
    auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
    u->screenVertices = at("uScreenVertices");
    u->worldViewProj = at("uWorldViewProj");
    u->remapDepth = at("uRemapDepth");
    u->targetSize = at("uTargetSize");
    u->lighting = at("uLighting");
    u->hasDiffuse = at("uHasDiffuse");
    u->emissive = at("uEmissive");
    u->ambient = at("uAmbient");
    u->globalAmbient = at("uGlobalAmbient");
    u->diffuseAlpha = at("uDiffuseAlpha");
    u->texture = at("uTexture");
    u->hasTexture = at("uHasTexture");
    u->colorOp = at("uColorOp");
    u->colorArg1 = at("uColorArg1");
    u->colorArg2 = at("uColorArg2");
    u->alphaOp = at("uAlphaOp");
    u->alphaArg1 = at("uAlphaArg1");
    u->alphaArg2 = at("uAlphaArg2");
    u->alphaTest = at("uAlphaTest");
    u->alphaFunc = at("uAlphaFunc");
    u->alphaRef = at("uAlphaRef");
    return program;
}

}  // namespace gfx
