#include "shell/screenshot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/scoped_environment.h"

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

TEST(Screenshot, GoesToAKelvaneFolderInThePicturesFolderTheDesktopNames)
{
    kt::ScopedEnvironment env;
    const kt::TemporaryDirectory root;
    const std::filesystem::path home = root.Path() / "home";
    const auto userDirs = [](const std::filesystem::path& config, const std::string& text) {
        std::filesystem::create_directories(config);
        std::ofstream(config / "user-dirs.dirs") << text;
    };
    env.Set("HOME", home.string());
    env.Unset("XDG_CONFIG_HOME");

    env.Set("XDG_PICTURES_DIR", "/somewhere/pictures");
    EXPECT_EQ(ScreenshotDirectory(), "/somewhere/pictures/Kelvane");
    env.Unset("XDG_PICTURES_DIR");
    EXPECT_EQ(ScreenshotDirectory(), home / "Pictures/Kelvane") << "nothing names the pictures folder";

    // As the desktop writes it, in ~/.config or in $XDG_CONFIG_HOME; the last line counts.
    userDirs(home / ".config", "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                               "XDG_PICTURES_DIR=\"$HOME/Old\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(ScreenshotDirectory(), home / "Bilder/Kelvane");
    userDirs(root.Path() / "config", "XDG_PICTURES_DIR=\"/srv/my \\\"shots\\\"\"\n");
    env.Set("XDG_CONFIG_HOME", (root.Path() / "config").string());
    EXPECT_EQ(ScreenshotDirectory(), "/srv/my \"shots\"/Kelvane");

    // A line that is not what the desktop writes is passed over.
    for (const char* line : {"XDG_PICTURES_DIR=\"Pictures\"", "XDG_PICTURES_DIR=$HOME/Pictures",
                             "XDG_PICTURES_DIR=\"$HOMEWARD/x\"", "XDG_PICTURES_DIR=\"/unclosed"}) {
        userDirs(root.Path() / "config", std::string(line) + "\n");
        EXPECT_EQ(ScreenshotDirectory(), home / "Pictures/Kelvane") << line;
    }
}

}  // namespace
