#include "platform/gfx/shader_program.h"

#include <vector>

namespace gfx {

namespace {

GLuint Compile(GLenum kind, const std::string& text, std::string* error)
{
    GLuint shader = glCreateShader(kind);
    const char* source = text.c_str();
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

GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string* error)
{
    GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, error);
    if (!vertex) return 0;
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, error);
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
    return program;
}

}  // namespace gfx
