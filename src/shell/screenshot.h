// F12 screenshots: the frame being presented, saved as a numbered PNG in the player's
// pictures directory. Never overwrites a file; a failure is reported, never fatal.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where screenshots go: a Kelvane folder in the player's pictures folder, which is
// $XDG_PICTURES_DIR when it is set, else the one the desktop names in
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs), else ~/Pictures; without a
// home, the working directory.
std::filesystem::path ScreenshotDirectory();

// Writes `pixels` (width x height, 0xAARRGGBB, top row first) as "kelvane-NNNN.png" in
// `directory` (created when needed), with the first number not yet taken, whole or not at
// all (SafeFile::WriteFileAtomically). Returns the file written, or nothing with `error`
// saying why.
std::optional<std::filesystem::path> SaveScreenshot(const std::vector<std::uint32_t>& pixels, int width,
                                                    int height, const std::filesystem::path& directory,
                                                    std::string* error);

// SaveScreenshot for the 800 x 600 back buffer into ScreenshotDirectory(); one line on
// standard error names the file (or the failure).
void SaveScreenshotAndReport(const std::vector<std::uint32_t>& pixels);
