#include "platform/gfx/present_gamma.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/gfx/device_impl.h"

namespace gfx {

namespace {

// One triangle that covers the viewport, made from the vertex number alone.
constexpr const char* kVertexShader = R"(#version 330 core
out vec2 uv;
void main()
{
    vec2 corner = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    uv = (corner + 1.0) * 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
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

GLuint Compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "Kelvane: the brightness shader does not compile (%s); brightness stays as it is\n", log);
    glDeleteShader(shader);
    return 0;
}

}  // namespace

bool GammaPass::Build()
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (vertex == 0 || fragment == 0) {
        if (vertex) glDeleteShader(vertex);
        if (fragment) glDeleteShader(fragment);
        return false;
    }
    c_program = glCreateProgram();
    glAttachShader(c_program, vertex);
    glAttachShader(c_program, fragment);
    glLinkProgram(c_program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(c_program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        std::fprintf(stderr, "Kelvane: the brightness shader does not link; brightness stays as it is\n");
        return false;
    }
    glUseProgram(c_program);
    glUniform1i(glGetUniformLocation(c_program, "picture"), 0);
    c_inverseGamma = glGetUniformLocation(c_program, "inverseGamma");

    glGenTextures(1, &c_texture);
    glBindTexture(GL_TEXTURE_2D, c_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kBackBufferWidth, kBackBufferHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glGenFramebuffers(1, &c_copyFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, c_copyFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, c_texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glGenVertexArrays(1, &c_vao);
    if (!complete) std::fprintf(stderr, "Kelvane: no frame buffer for brightness; brightness stays as it is\n");
    return complete;
}

bool GammaPass::Draw(GLuint sourceFbo, GLuint targetFbo, const PresentRect& to, float gamma)
{
    if (c_bFailed) return false;
    if (c_program == 0 && !Build()) {
        c_bFailed = true;
        return false;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sourceFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, c_copyFbo);
    glBlitFramebuffer(0, 0, kBackBufferWidth, kBackBufferHeight, 0, 0, kBackBufferWidth, kBackBufferHeight,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);

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
    glUseProgram(c_program);
    glUniform1f(c_inverseGamma, 1.0f / gamma);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, 0);
    glBindTexture(GL_TEXTURE_2D, c_texture);
    const bool oneToOne = to.width == kBackBufferWidth && to.height == kBackBufferHeight;
    const GLint filter = oneToOne ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glBindVertexArray(c_vao);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    return true;
}

void GammaPass::Release()
{
    if (c_vao) glDeleteVertexArrays(1, &c_vao);
    if (c_copyFbo) glDeleteFramebuffers(1, &c_copyFbo);
    if (c_texture) glDeleteTextures(1, &c_texture);
    if (c_program) glDeleteProgram(c_program);
    c_vao = c_copyFbo = c_texture = c_program = 0;
}

// ---- the device's side ----------------------------------------------------------------------

void Device::Impl::DrawPicture(GLuint targetFbo, const PresentRect& to)
{
    if (to.width <= 0 || to.height <= 0) return;
    if (c_fGamma != 1.0f && c_gamma.Draw(c_fbo, targetFbo, to, c_fGamma)) return;
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

std::vector<std::uint32_t> Device::ReadPresentedPicture() const
{
    Impl& impl = *c_pImpl;
    GLuint colour = 0;
    GLuint fbo = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kBackBufferWidth, kBackBufferHeight);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    impl.DrawPicture(fbo, PresentRect{0, 0, kBackBufferWidth, kBackBufferHeight});

    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    const std::vector<std::uint32_t> pixels = ReadBoundPicture();
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &colour);
    impl.BindTarget();
    return pixels;
}

}  // namespace gfx
