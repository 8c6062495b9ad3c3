#include "shell/screenshot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::filesystem::path FreshDirectory(const char* name)
{
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    return dir;
}

TEST(Screenshot, NumbersFilesWithoutEverOverwritingOne)
{
    const auto dir = FreshDirectory("kelvane-screenshot-test") / "made" / "when needed";
    std::vector<std::uint32_t> pixels(4 * 3, 0xFF336699u);
    std::string error;
    const auto first = SaveScreenshot(pixels, 4, 3, dir, &error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->filename(), "kelvane-0001.png");

    // A file the player keeps under the next number is left alone.
    { std::ofstream(dir / "kelvane-0002.png") << "mine"; }
    const auto second = SaveScreenshot(pixels, 4, 3, dir, &error);
    ASSERT_TRUE(second) << error;
    EXPECT_EQ(second->filename(), "kelvane-0003.png");
    std::ifstream kept(dir / "kelvane-0002.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");

    std::ifstream png(*second, std::ios::binary);
    char signature[4] = {};
    png.read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove_all(dir.parent_path().parent_path());
}

TEST(Screenshot, AnUnwritableDirectoryIsReportedNotFatal)
{
    const auto dir = FreshDirectory("kelvane-screenshot-blocked");
    { std::ofstream(dir.string()) << "a file where the directory should be"; }
    std::string error;
    EXPECT_FALSE(SaveScreenshot(std::vector<std::uint32_t>(4, 0), 2, 2, dir / "sub", &error));
    EXPECT_NE(error.find(dir.string()), std::string::npos) << error;
    std::filesystem::remove(dir);
}

TEST(Screenshot, GoesToThePicturesDirectoryOrTheHomesPictures)
{
    const char* saved = std::getenv("XDG_PICTURES_DIR");
    const std::string keep = saved ? saved : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_PICTURES_DIR", "/somewhere/pictures", 1);
    EXPECT_EQ(ScreenshotDirectory(), "/somewhere/pictures");
    unsetenv("XDG_PICTURES_DIR");
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(ScreenshotDirectory(), "/home/player/Pictures/Kelvane");
    if (saved) setenv("XDG_PICTURES_DIR", keep.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
}

}  // namespace
