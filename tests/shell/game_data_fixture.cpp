#include "game_data_fixture.h"

#include <fstream>
#include <span>
#include <stdexcept>
#include <unistd.h>

#include "core/game_paths.h"
#include "display/image_offsets.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"

namespace kt {

TestGameData::TestGameData()
{
    char pattern[] = "/tmp/kelvane-game-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a temporary directory");
    c_dir = pattern;
    c_oldDir = std::filesystem::current_path();
    std::filesystem::create_directories(c_dir / "data/menu");
    std::filesystem::create_directories(c_dir / "data/cursor");
    std::filesystem::current_path(c_dir);
    // Marked as the game's, as the content generator marks the data it writes.
    std::ofstream(c_dir / "data" / GamePaths::kDataMarker) << GamePaths::DataMarkerText();

    WritePicture("data/black.jpg", 64, 64, 0xFF000000, 0);
    WritePicture("data/menu/background.enc", 800, 600, 0xFF203060, kMenuImageOffset);
    WritePicture("data/menu/restore.enc", 800, 600, 0xFF206030, kMenuImageOffset);
    WritePicture("data/menu/save.enc", 800, 600, 0xFF602030, kMenuImageOffset);
    WritePicture("data/menu/credits.enc", 800, 600, 0xFF606020, kMenuImageOffset);
    for (int i = 1; i <= 6; ++i) {
        WritePicture("data/menu/Top" + std::to_string(i) + ".enc", 200, 100, 0xFF808080, kTopMenuImageOffset);
    }
    for (const char* name : {"cursor1", "cursor2", "cursor3", "cursorL"}) {
        WritePicture(std::string("data/cursor/") + name + ".enc", 85, 90, 0xFFFFFFFF, kCursorImageOffset);
    }
    for (const char* alpha : {"cursor1_alpha1", "cursor1_alpha2", "cursor2_alpha", "cursor3_alpha", "cursorL_alpha"}) {
        WritePicture(std::string("data/cursor/") + alpha + ".enc", 85, 90, 0xFFFFFFFF, kCursorImageOffset);
    }
}

TestGameData::~TestGameData()
{
    std::error_code ignored;
    std::filesystem::current_path(c_oldDir, ignored);
    std::filesystem::remove_all(c_dir, ignored);
}

void TestGameData::WritePicture(const std::string& path, int width, int height, std::uint32_t argb, int offset)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i + 0] = static_cast<std::uint8_t>(argb);
        image.pixels[i + 1] = static_cast<std::uint8_t>(argb >> 8);
        image.pixels[i + 2] = static_cast<std::uint8_t>(argb >> 16);
        image.pixels[i + 3] = 0xFF;
    }
    std::vector<std::uint8_t> bytes = imaging::EncodeJpeg(image, 95);
    if (offset != 0) bytes = imaging::RotateImageBytes(std::span<const std::uint8_t>(bytes), static_cast<std::size_t>(offset));
    std::filesystem::create_directories((c_dir / path).parent_path());
    std::ofstream out(c_dir / path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kt
