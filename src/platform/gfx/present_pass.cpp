#include "platform/gfx/present_pass.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/device_impl.h"
#include "platform/gfx/shader_program.h"

namespace gfx {

namespace {

// A quad over the whole viewport, made from the vertex number alone. It is sent as two
// separate triangles sharing a diagonal: the software rasteriser recognises that shape as a
// screen-aligned rectangle and scales the picture on its much faster path for those.
// Texture row 0 is the picture's bottom row, as the target holds it.
constexpr const char* kVertexShader = R"(#version 330 core
out vec2 uv;
const vec2 kCorners[6] = vec2[6](vec2(0.0, 0.0), vec2(1.0, 0.0), vec2(1.0, 1.0),
                                 vec2(0.0, 0.0), vec2(1.0, 1.0), vec2(0.0, 1.0));
void main()
{
    vec2 corner = kCorners[gl_VertexID];
    uv = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

constexpr const char* kPlainShader = R"(#version 330 core
in vec2 uv;
out vec4 colour;
uniform sampler2D picture;
void main()
{
    colour = texture(picture, uv);
}
)";

constexpr const char* kGammaShader = R"(#version 330 core
in vec2 uv;
out vec4 colour;
uniform sampler2D picture;
uniform float inverseGamma;
void main()
{
    vec3 rgb = texture(picture, uv).rgb;
    colour = vec4(pow(rgb, vec3(inverseGamma)), 1.0);
}
)";

GLuint Link(const char* fragmentSource)
{
    std::string error;
    const GLuint program = LinkProgram(kVertexShader, fragmentSource, &error);
    if (program == 0) {
        std::fprintf(stderr, "Kelvane: the present %s; the picture is copied instead\n", error.c_str());
        return 0;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    return program;
}

// Whether the picture shown in `to` is the back buffer scaled by a whole number both ways.
bool WholeScale(const PresentRect& to)
{
    return to.width % kBackBufferWidth == 0 && to.height % kBackBufferHeight == 0 &&
           to.width / kBackBufferWidth == to.height / kBackBufferHeight;
}

}  // namespace

bool PresentPass::Build()
{
    c_plain.name = Link(kPlainShader);
    c_gamma.name = Link(kGammaShader);
    if (c_plain.name == 0 || c_gamma.name == 0) return false;
    c_gamma.inverseGamma = glGetUniformLocation(c_gamma.name, "inverseGamma");
    glGenSamplers(1, &c_sampler);
    glSamplerParameteri(c_sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(c_sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glGenVertexArrays(1, &c_vao);
    return true;
}

bool PresentPass::Draw(GLuint picture, GLuint targetFbo, const PresentRect& to, float gamma)
{
    if (c_bFailed) return false;
    if (c_plain.name == 0 && !Build()) {
        c_bFailed = true;
        Release();
        return false;
    }
    // The brightness curve takes the software rasteriser off its fast path for screen-aligned
    // pictures, and costs it several times what the scale does per pixel: where the picture is
    // scaled, the curve is applied at the picture's own size first and the result scaled.
    const bool oneToOne = to.width == kBackBufferWidth && to.height == kBackBufferHeight;
    if (gamma != 1.0f && !oneToOne && MakeBrightTarget()) {
        Pass(picture, c_brightFbo, PresentRect{0, 0, kBackBufferWidth, kBackBufferHeight}, gamma);
        Pass(c_brightTexture, targetFbo, to, 1.0f);
        return true;
    }
    Pass(picture, targetFbo, to, gamma);
    return true;
}

bool PresentPass::MakeBrightTarget()
{
    if (c_brightFbo != 0) return true;
    if (c_bNoBrightTarget) return false;
    glGenTextures(1, &c_brightTexture);
    glBindTexture(GL_TEXTURE_2D, c_brightTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBackBufferWidth, kBackBufferHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &c_brightFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, c_brightFbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, c_brightTexture, 0);
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    // Then the curve is applied as the picture is scaled, in one slower pass.
    glDeleteFramebuffers(1, &c_brightFbo);
    glDeleteTextures(1, &c_brightTexture);
    c_brightFbo = c_brightTexture = 0;
    c_bNoBrightTarget = true;
    return false;
}

void PresentPass::Pass(GLuint picture, GLuint targetFbo, const PresentRect& to, float gamma)
{
    // Every state the drawing code needs is set again before its next draw.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, targetFbo);
    glViewport(to.x, to.y, to.width, to.height);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (gamma != 1.0f) {
        glUseProgram(c_gamma.name);
        glUniform1f(c_gamma.inverseGamma, 1.0f / gamma);
    } else {
        glUseProgram(c_plain.name);
    }
    const GLint filter = WholeScale(to) ? GL_NEAREST : GL_LINEAR;
    glSamplerParameteri(c_sampler, GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(c_sampler, GL_TEXTURE_MAG_FILTER, filter);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, c_sampler);
    glBindTexture(GL_TEXTURE_2D, picture);
    glBindVertexArray(c_vao);
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

void PresentPass::Release()
{
    if (c_vao) glDeleteVertexArrays(1, &c_vao);
    if (c_brightFbo) glDeleteFramebuffers(1, &c_brightFbo);
    if (c_brightTexture) glDeleteTextures(1, &c_brightTexture);
    c_brightFbo = c_brightTexture = 0;
    c_bNoBrightTarget = false;
    if (c_sampler) glDeleteSamplers(1, &c_sampler);
    if (c_plain.name) glDeleteProgram(c_plain.name);
    if (c_gamma.name) glDeleteProgram(c_gamma.name);
    c_vao = c_sampler = 0;
    c_plain = Program{};
    c_gamma = Program{};
}

// ---- the device's side ----------------------------------------------------------------------

void Device::Impl::DrawPicture(GLuint targetFbo, const PresentRect& to)
{
    if (to.width <= 0 || to.height <= 0) return;
    if (c_present.Draw(c_colorTexture, targetFbo, to, c_fGamma)) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, c_fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, targetFbo);
    const bool oneToOne = to.width == kBackBufferWidth && to.height == kBackBufferHeight;
    glBlitFramebuffer(0, 0, kBackBufferWidth, kBackBufferHeight, to.x, to.y, to.x + to.width, to.y + to.height,
                      GL_COLOR_BUFFER_BIT, oneToOne ? GL_NEAREST : GL_LINEAR);
}

void Device::SetGamma(float gamma)
{
    c_pImpl->c_fGamma = gamma > 0.0f ? gamma : 1.0f;
}

std::vector<std::uint32_t> Device::ReadPresentedPicture(int width, int height) const
{
    Impl& impl = *c_pImpl;
    GLuint colour = 0;
    GLuint fbo = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    impl.DrawPicture(fbo, LetterboxRect(width, height));

    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    const std::vector<std::uint32_t> pixels = ReadBoundPicture(width, height);
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &colour);
    impl.BindTarget();
    return pixels;
}

}  // namespace gfx
