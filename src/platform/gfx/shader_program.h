// Compiling and linking one GLSL program from its two stages, for the device's drawing
// programs and its present pass.
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace gfx {

// The linked program, or 0 with `error` (when given) saying which stage failed and the
// driver's log. Needs a current context.
GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string* error);

}  // namespace gfx
