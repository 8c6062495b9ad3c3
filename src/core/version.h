// The game's version: the project's version number and, when built from a git checkout, git's
// description of the commit ("1.1.0 (a59943e-dirty)"). The build writes its definition.
#pragma once

extern const char* const kKelvaneVersion;
