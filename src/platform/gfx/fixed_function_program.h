// Private to platform/gfx: the one shader program that reproduces the fixed-function subset
// the game draws with (two vertex layouts, lighting without lights, texture stage 0, alpha test).
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace gfx {

// Uniform locations of the program, looked up once.
struct FixedFunctionUniforms {
    GLint screenVertices;   // 1 for pre-transformed 0x144 vertices, 0 for 0x112
    GLint worldViewProj;    // row-vector product World * View * Proj, uploaded untransposed
    GLint remapDepth;       // 1 where clip control is missing: z' = 2z - w
    GLint targetSize;       // render target size in pixels
    GLint lighting;         // D3DRS_LIGHTING for 0x112 vertices
    GLint hasDiffuse;       // the layout carries a diffuse colour
    GLint emissive;
    GLint ambient;
    GLint globalAmbient;
    GLint diffuseAlpha;
    GLint texture;
    GLint hasTexture;
    GLint colorOp, colorArg1, colorArg2;
    GLint alphaOp, alphaArg1, alphaArg2;
    GLint alphaTest, alphaFunc, alphaRef;
};

// Compiles and links the program; 0 and `error` set on failure (with the driver's log).
GLuint BuildFixedFunctionProgram(FixedFunctionUniforms* uniforms, std::string* error);

// Attribute locations the program binds.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribNormal = 1;
constexpr GLuint kAttribDiffuse = 2;
constexpr GLuint kAttribTexCoord = 3;

}  // namespace gfx
