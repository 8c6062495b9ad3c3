# Writes OUTPUT, a C++ file defining kKelvaneVersion: VERSION and, when SOURCE_DIR is a git
# checkout, git's description of its commit. Run at every build; the file is only rewritten
# when the text changed, so nothing relinks for nothing.
cmake_minimum_required(VERSION 3.25)
set(text "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty --tags
                  OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND described)
    set(text "${VERSION} (${described})")
  endif()
endif()
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT
"// Written by the build (cmake/version.cmake).
#include \"core/version.h\"

const char* const kKelvaneVersion = \"@text@\";
" @ONLY)
