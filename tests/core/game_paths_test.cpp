#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/game_paths.h"
#include "support/scoped_environment.h"

namespace fs = std::filesystem;

namespace {

// Each case runs in its own temporary home: a working directory without data/, an installed
// tree usr/bin + usr/share/kelvane, a data directory elsewhere, and no variable of the user's
// own leaking in.
class GamePathsTest : public ::testing::Test {
protected:
    GamePathsTest() : work(root.Path() / "work")
    {
        fs::create_directories(root.Path() / "usr/bin");
        fs::create_directories(installedData);
        fs::create_directories(otherData);
        env.Set("HOME", (root.Path() / "home").string());
        env.Unset("XDG_DATA_HOME");
        env.Unset("KELVANE_DATA_DIR");
    }

    // A data tree as the content generator leaves it: a directory with the marker file.
    static void MakeGameData(const fs::path& directory)
    {
        fs::create_directories(directory);
        std::ofstream(directory / GamePaths::kDataMarker) << GamePaths::DataMarkerText();
    }

    bool Searched(const GamePaths::DataSearch& search, const std::string& text) const
    {
        return std::any_of(search.searched.begin(), search.searched.end(),
                           [&](const std::string& place) { return place.find(text) != std::string::npos; });
    }

    kt::TemporaryDirectory root;
    kt::ScopedEnvironment env;
    kt::ScopedWorkingDirectory work;
    const std::string executableDir = (root.Path() / "usr/bin").string();
    const fs::path installedData = root.Path() / "usr/share/kelvane";
    const fs::path otherData = root.Path() / "elsewhere/data";
};

}  // namespace

TEST_F(GamePathsTest, ACheckoutKeepsDataAndSavesInTheWorkingDirectory)
{
    MakeGameData("data");
    env.Set("XDG_DATA_HOME", (root.Path() / "xdg").string());

    EXPECT_EQ(GamePaths::FindData(executableDir).directory, "data");
    EXPECT_EQ(GamePaths::Resolve("data/menu/background.enc"), "data/menu/background.enc");
    EXPECT_EQ(GamePaths::Resolve("data//FMV//arrival.wmv"), "data//FMV//arrival.wmv");
    EXPECT_EQ(GamePaths::SaveDirectory(), "save");
    EXPECT_EQ(GamePaths::Resolve("save/save3.sav"), "save/save3.sav");
    ASSERT_TRUE(GamePaths::MakeSaveDirectory(nullptr));
    EXPECT_TRUE(fs::is_directory("save"));
    EXPECT_FALSE(fs::exists(root.Path() / "xdg")) << "a checkout never writes into the home";
}

TEST_F(GamePathsTest, TheVariableWinsOverTheWorkingDirectoryAndSavesThenGoToTheHome)
{
    MakeGameData("data");
    env.Set("KELVANE_DATA_DIR", otherData.string());
    env.Set("XDG_DATA_HOME", (root.Path() / "xdg").string());

    EXPECT_EQ(GamePaths::FindData(executableDir).directory, otherData.string());
    EXPECT_EQ(GamePaths::Resolve("data/black.jpg"), otherData.string() + "/black.jpg");
    EXPECT_EQ(GamePaths::SaveDirectory(), (root.Path() / "xdg/kelvane/save").string())
        << "saves stay beside a working directory's data only while the game reads that data";
}

TEST_F(GamePathsTest, AWorkingDirectoryDataFolderWithoutTheMarkerIsPassedOverAndNamedSo)
{
    // The home a menu entry starts the game in, holding a folder of the player's own.
    fs::create_directories("data");
    std::ofstream("data/black.jpg") << "the player's own picture";

    GamePaths::DataSearch search = GamePaths::FindData(executableDir);
    EXPECT_EQ(search.directory, installedData.string());
    ASSERT_EQ(search.searched.size(), 3u);
    EXPECT_EQ(search.searched[1].find((fs::current_path() / "data").string()), 0u) << search.searched[1];
    EXPECT_NE(search.searched[1].find("not the game's data"), std::string::npos) << search.searched[1];
    EXPECT_EQ(GamePaths::SaveDirectory(), (root.Path() / "home/.local/share/kelvane/save").string());
    ASSERT_TRUE(GamePaths::MakeSaveDirectory(nullptr));
    EXPECT_FALSE(fs::exists("save")) << "nothing is written beside somebody else's data/";

    // A directory under the marker's name does not make the folder the game's either.
    fs::create_directory(fs::path("data") / GamePaths::kDataMarker);
    EXPECT_EQ(GamePaths::FindData(executableDir).directory, installedData.string());
}

TEST_F(GamePathsTest, ElsewhereTheVariableComesFirstThenTheTreeBesideTheExecutable)
{
    env.Set("KELVANE_DATA_DIR", otherData.string());
    GamePaths::DataSearch search = GamePaths::FindData(executableDir);
    EXPECT_EQ(search.directory, otherData.string());

    env.Unset("KELVANE_DATA_DIR");
    search = GamePaths::FindData(executableDir);
    EXPECT_EQ(search.directory, installedData.string()) << "usr/bin/../share/kelvane, without the ..";

    // A variable naming nothing is passed over, and said so.
    env.Set("KELVANE_DATA_DIR", (root.Path() / "missing").string());
    search = GamePaths::FindData(executableDir);
    EXPECT_EQ(search.directory, installedData.string());
    EXPECT_TRUE(Searched(search, (root.Path() / "missing").string()));
}

TEST_F(GamePathsTest, ResolveMovesOnlyWholeDataAndSaveComponents)
{
    env.Set("KELVANE_DATA_DIR", otherData.string());
    env.Set("XDG_DATA_HOME", (root.Path() / "xdg").string());
    const std::string data = otherData.string();
    const std::string saves = (root.Path() / "xdg/kelvane/save").string();

    EXPECT_EQ(GamePaths::Resolve("data/black.jpg"), data + "/black.jpg");
    EXPECT_EQ(GamePaths::Resolve("data//FMV//arrival.wmv"), data + "//FMV//arrival.wmv");
    EXPECT_EQ(GamePaths::Resolve("save/save0.sav"), saves + "/save0.sav");
    EXPECT_EQ(GamePaths::Resolve("save"), saves);
    EXPECT_EQ(GamePaths::Resolve("database/x.enc"), "database/x.enc");
    EXPECT_EQ(GamePaths::Resolve("saved.png"), "saved.png");
    EXPECT_EQ(GamePaths::Resolve("/tmp/data/x.enc"), "/tmp/data/x.enc");
}

TEST_F(GamePathsTest, SavesGoToTheXdgDataHomeElseBelowHomeAndTheDirectoryIsMadeWithItsParents)
{
    env.Set("XDG_DATA_HOME", (root.Path() / "xdg").string());
    EXPECT_EQ(GamePaths::SaveDirectory(), (root.Path() / "xdg/kelvane/save").string());
    ASSERT_TRUE(GamePaths::MakeSaveDirectory(nullptr));
    EXPECT_TRUE(fs::is_directory(root.Path() / "xdg/kelvane/save"));

    // A relative XDG_DATA_HOME is invalid and ignored, as is an empty one.
    for (const char* ignored : {"relative/xdg", ""}) {
        env.Set("XDG_DATA_HOME", ignored);
        EXPECT_EQ(GamePaths::SaveDirectory(), (root.Path() / "home/.local/share/kelvane/save").string()) << ignored;
    }
    env.Unset("XDG_DATA_HOME");
    EXPECT_EQ(GamePaths::SaveDirectory(), (root.Path() / "home/.local/share/kelvane/save").string());
    ASSERT_TRUE(GamePaths::MakeSaveDirectory(nullptr));
    EXPECT_TRUE(fs::is_directory(root.Path() / "home/.local/share/kelvane/save"));
    EXPECT_FALSE(fs::exists("save")) << "nothing is written in the working directory";
}

TEST_F(GamePathsTest, ASaveDirectoryThatCannotBeMadeIsReportedNotRaised)
{
    // A file where the game's directory should be defeats even a privileged user.
    env.Set("XDG_DATA_HOME", (root.Path() / "xdg").string());
    fs::create_directories(root.Path() / "xdg");
    std::ofstream(root.Path() / "xdg/kelvane") << "in the way";

    std::string error;
    EXPECT_FALSE(GamePaths::MakeSaveDirectory(&error));
    EXPECT_NE(error.find((root.Path() / "xdg/kelvane/save").string()), std::string::npos) << error;
    EXPECT_FALSE(GamePaths::MakeSaveDirectory(nullptr));
}

TEST_F(GamePathsTest, WhenNothingIsFoundEveryPlaceLookedAtIsNamedAndDataNamesStayAsTheGameWroteThem)
{
    fs::remove(installedData);
    const GamePaths::DataSearch search = GamePaths::FindData(executableDir);
    EXPECT_TRUE(search.directory.empty());
    ASSERT_EQ(search.searched.size(), 3u);
    EXPECT_NE(search.searched[0].find("KELVANE_DATA_DIR"), std::string::npos) << search.searched[0];
    EXPECT_EQ(search.searched[1], (fs::current_path() / "data").string());
    EXPECT_EQ(search.searched[2], installedData.string());

    const std::string message = GamePaths::MissingDataMessage(search);
    EXPECT_EQ(message.substr(0, message.find('\n')), "The game's data was not found.");
    for (const std::string& place : search.searched) EXPECT_NE(message.find(place), std::string::npos) << place;
    EXPECT_NE(std::string(GamePaths::kHowToGetData).find("./play"), std::string::npos);

    // The test binary has no share/kelvane beside it either.
    if (GamePaths::FindData().directory.empty()) {
        EXPECT_EQ(GamePaths::Resolve("data/black.jpg"), "data/black.jpg");
    }
}

TEST_F(GamePathsTest, ALanguagesOwnVersionOfADataFileIsReadInsteadOfTheOriginalWhereItExists)
{
    MakeGameData("data");
    fs::create_directories("data/lang/qps");
    std::ofstream("data/letter.enc") << "English";
    std::ofstream("data/lang/qps/letter.enc") << "translated";
    std::ofstream("data/panorama.enc") << "no text";
    fs::create_directories("data/lang/qps/folder.enc");  // not a file: not a version

    GamePaths::SetLanguage("qps");
    EXPECT_EQ(GamePaths::Resolve("data/letter.enc"), "data/lang/qps/letter.enc");
    EXPECT_EQ(GamePaths::Resolve("data/panorama.enc"), "data/panorama.enc") << "no version of its own: the original";
    EXPECT_EQ(GamePaths::Resolve("data/folder.enc"), "data/folder.enc");
    EXPECT_EQ(GamePaths::Resolve("save/save1.sav"), "save/save1.sav") << "saves have no languages";

    // The installed data's own versions, found where the data is.
    MakeGameData(otherData);
    fs::create_directories(otherData / "lang/qps");
    std::ofstream(otherData / "lang/qps/letter.enc") << "translated";
    env.Set("KELVANE_DATA_DIR", otherData.string());
    EXPECT_EQ(GamePaths::Resolve("data/letter.enc"), (otherData / "lang/qps/letter.enc").string());
    env.Unset("KELVANE_DATA_DIR");

    // English reads the originals; a language that is not a plain name reads no folder.
    GamePaths::SetLanguage("");
    EXPECT_EQ(GamePaths::Resolve("data/letter.enc"), "data/letter.enc");
    fs::create_directories("data/lang/../lang");
    for (const char* odd : {"..", "../lang/qps", "qps/../qps"}) {
        GamePaths::SetLanguage(odd);
        EXPECT_EQ(GamePaths::Resolve("data/letter.enc"), "data/letter.enc") << odd;
    }
    GamePaths::SetLanguage("");
}
