// The journal on a small world of clues: each clue filed once, in the order found, with the
// region the player stood in (a page read from the bar counts where it was opened); lines filed
// as their captions show them; a new game clears it; its line survives odd names, skips clues
// an older world had, and garbage leaves it as it was.
#include "shell/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/text_catalogue.h"
#include "script/world_files.h"
#include "world/world_fixture.h"

namespace {

using world_test::WorldTest;

constexpr const char* kTexts = R"po(
msgctxt "line.valve"
msgid "Listen where the ticks run together."
msgstr ""

msgctxt "line.other"
msgid "The sea is quiet."
msgstr ""

msgctxt "journal.title"
msgid "A clue"
msgstr ""
)po";

constexpr const char* kWorld = R"lua(
region{name = "shore", block = 100}
region{name = "tower", block = 400}
screen{name = "logo", number = 0, image = "@LOGO@"}
screen{name = "landing", region = "shore", panorama = true, image = "@LOGO@"}
screen{name = "post", region = "shore", image = "@LOGO@"}
screen{name = "stair", region = "tower", panorama = true, image = "@LOGO@"}
screen{name = "plaque", region = "tower", image = "@LOGO@"}
sound{name = "page", file = "data/page.mp3"}
captions{name = "film", {0, ""}, {500, "line.other"}, {900, "line.valve"}}
book{name = "register", number = 90001, cover = "page", page = "page", pages = {"@LOGO@", "@LOGO@"}}
clue{name = "post", screen = "post", title = "journal.title"}
clue{name = "plaque", screen = "plaque", title = "journal.title"}
clue{name = "page 2", screen = "register_p2", title = "journal.title"}
clue{name = "valve", line = "line.valve", title = "journal.title"}
)lua";

class JournalTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        std::filesystem::create_directories(c_dir / "world");
        std::filesystem::create_directories(c_dir / "po");
        std::ofstream(c_dir / "po" / "kelvane.pot") << kTexts;
        texts = TextCatalogue::Load(c_dir / "po", {});
        std::string text = kWorld;
        const std::string logo = Solid("logo.png", 16, 8, world_test::kRed);
        for (std::size_t at; (at = text.find("@LOGO@")) != std::string::npos;) text.replace(at, 6, logo);
        std::ofstream(c_dir / "world" / "main.lua") << text;
        files = WorldFiles::Describe(c_dir / "world", texts);
        journal = std::make_unique<Journal>(*files);
    }
    std::string Names() const
    {
        std::string names;
        for (const Journal::Entry& e : journal->get_Entries()) names += journal->ClueOf(e).name + "@" + e.place + ";";
        return names;
    }
    static constexpr int kLanding = 100, kPost = 150, kStair = 400, kPlaque = 450, kPage2 = 90002;

    TextCatalogue texts;
    std::unique_ptr<WorldFiles> files;
    std::unique_ptr<Journal> journal;
};

TEST_F(JournalTest, FilesEachClueOnceInTheOrderFoundWithThePlaceStoodIn)
{
    EXPECT_FALSE(journal->NoticeScreen(kLanding, kLanding)) << "no clue there";
    EXPECT_TRUE(journal->NoticeScreen(kPlaque, kPlaque));
    EXPECT_FALSE(journal->NoticeScreen(kPlaque, kPlaque)) << "once only";
    EXPECT_TRUE(journal->NoticeScreen(kPage2, kLanding)) << "a page read from the bar on the shore";
    EXPECT_TRUE(journal->NoticeScreen(kPost, kPost));
    EXPECT_FALSE(journal->NoticeScreen(kPlaque, kStair));
    EXPECT_EQ(Names(), "plaque@tower;page 2@shore;post@shore;");
    EXPECT_TRUE(journal->Has("post"));
    EXPECT_FALSE(journal->Has("valve"));

    // A line is filed when its captions show it, however long it stays up.
    EXPECT_FALSE(journal->NoticeLine("The sea is quiet.", kStair));
    EXPECT_FALSE(journal->NoticeLine("", kStair));
    EXPECT_FALSE(journal->NoticeLine(nullptr, kStair));
    EXPECT_TRUE(journal->NoticeLine("Listen where the ticks run together.", kStair));
    EXPECT_FALSE(journal->NoticeLine("Listen where the ticks run together.", kStair));
    EXPECT_EQ(journal->get_Entries().back().place, "tower");
    EXPECT_EQ(journal->get_Entries().size(), 4u);

    journal->Clear();  // a new game
    EXPECT_TRUE(journal->get_Entries().empty());
    EXPECT_TRUE(journal->NoticeScreen(kPlaque, kPlaque)) << "found again in the new game";
    EXPECT_TRUE(journal->NoticeLine("Listen where the ticks run together.", kPlaque))
        << "the line heard last in the old game is new again";
}

TEST_F(JournalTest, ItsLineRestoresWhatWasFoundAndRefusesGarbage)
{
    journal->NoticeScreen(kPage2, kLanding);
    journal->NoticeScreen(kPlaque, 0);  // a standing screen in no region
    journal->NoticeLine("Listen where the ticks run together.", kStair);
    const std::string line = journal->Serialize();
    EXPECT_EQ(line, "journal 1 page%202@shore plaque@ valve@tower") << "one line, a name's space escaped";

    Journal again(*files);
    std::string error;
    ASSERT_TRUE(again.Restore(line, &error)) << error;
    ASSERT_EQ(again.get_Entries().size(), 3u);
    EXPECT_EQ(again.ClueOf(again.get_Entries()[0]).name, "page 2");
    EXPECT_EQ(again.get_Entries()[0].place, "shore");
    EXPECT_EQ(again.Serialize(), line);
    EXPECT_FALSE(again.NoticeScreen(kPage2, kPage2)) << "a restored clue is not filed twice";

    // An older world's clue is skipped; a clue named twice counts once.
    ASSERT_TRUE(again.Restore("journal 1 gone@shore post@shore post@tower", &error)) << error;
    EXPECT_EQ(again.Serialize(), "journal 1 post@shore");
    EXPECT_TRUE(again.NoticeScreen(kPlaque, kPlaque)) << "what the line did not hold can still be found";
    ASSERT_TRUE(again.Restore("journal 1", &error));
    EXPECT_TRUE(again.get_Entries().empty());

    journal->Clear();
    journal->NoticeScreen(kPost, kPost);
    const std::string before = journal->Serialize();
    for (const char* garbage : {"", "journal", "journal 2 post@shore", "diary 1 post@shore", "journal 1 post",
                                "journal 1 post@shore@x", "journal 1 po%2", "journal 1 po%zzt@shore", "journal 1  post@shore",
                                "journal 1 post@shore\n", "journal 1 @shore"}) {
        error.clear();
        EXPECT_FALSE(journal->Restore(garbage, &error)) << "accepted: " << garbage;
        EXPECT_NE(error.find("not a journal line"), std::string::npos) << garbage;
        EXPECT_EQ(journal->Serialize(), before) << "changed by: " << garbage;
    }
}

}  // namespace
