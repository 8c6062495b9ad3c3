// A temporary working directory holding the pictures the start-up assembly needs (menu pages,
// top menu, cursors, the black picture, the marker of the game's data) plus whatever a test's small world names, each a
// solid colour so frames can be told apart. The test runs inside it; the old working
// directory comes back afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kt {

class TestGameData {
public:
    TestGameData();
    ~TestGameData();
    TestGameData(const TestGameData&) = delete;
    TestGameData& operator=(const TestGameData&) = delete;

    // Writes a solid-colour JPEG of the given size, scrambled with `offset` (0: plain file).
    void WritePicture(const std::string& path, int width, int height, std::uint32_t argb, int offset);
    const std::filesystem::path& Dir() const { return c_dir; }

private:
    std::filesystem::path c_dir;
    std::filesystem::path c_oldDir;
};

}  // namespace kt
