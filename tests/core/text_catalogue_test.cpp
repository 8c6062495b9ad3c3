// The game's texts by identifier: the English template, a translation over it where one exists
// for the player's language, and every malformed file refused with its line.
#include "core/text_catalogue.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/error.h"
#include "support/scoped_environment.h"

namespace {

namespace fs = std::filesystem;

// Entries follow one another with or without a blank line between them.
constexpr const char* kTemplate = R"(# The game's texts.
msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

#. the heading of the logbook's first page
#: game/assets/world_assets.cpp
msgctxt "logbook.p01.heading"
msgid "The Kelvane Light"
msgstr ""

msgctxt "logbook.p01.body"
msgid ""
"Logbook of the light, "
"kept by \"Ansel\"\tVey.\n"
"Back\\slash."
msgstr ""
msgctxt "plaque.gallery.heading"
msgid "The Lamp Ring"
msgstr ""
msgctxt "plaque.tide.heading"
msgid "The Tide Post"
msgstr ""
msgctxt "watch.lid.heading"
msgid "A. V."
msgstr ""
msgctxt "panel.heron"
msgid "THE HERON"
msgstr ""
)";

// Translated, empty, fuzzy, made from older English, and one the template no longer has.
constexpr const char* kGerman = R"po(msgid ""
msgstr "Language: de\n"

msgctxt "logbook.p01.heading"
msgid "The Kelvane Light"
msgstr "Das Licht von Kelvane"
msgctxt "plaque.gallery.heading"
msgid "The Lamp Ring"
msgstr ""
#, fuzzy, c-format
msgctxt "plaque.tide.heading"
msgid "The Tide Post"
msgstr "Der Gezeitenpfahl"
#| msgid "A. W."
msgctxt "watch.lid.heading"
msgid "A. W."
msgstr "A. W. (alt)"
msgctxt "nowhere.in.the.template"
msgid "Gone"
msgstr "Weg"
)po";

void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

class TextCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write(dir.Path() / "kelvane.pot", kTemplate);
        Write(dir.Path() / "de.po", std::string("\xEF\xBB\xBF") + kGerman);  // as some editors save it
        Write(dir.Path() / "fr_CA.po", "msgctxt \"panel.heron\"\nmsgid \"THE HERON\"\nmsgstr \"LE HÉRON\"\n");
    }
    std::string Text(const TextCatalogue& c, std::string_view id) const
    {
        const std::string* text = c.Find(id);
        return text == nullptr ? "<missing>" : *text;
    }
    kt::TemporaryDirectory dir;
};

TEST_F(TextCatalogueTest, TemplateGivesTheEnglishWithItsStringsJoinedAndEscapesResolved)
{
    const TextCatalogue c = TextCatalogue::Load(dir.Path(), {});
    EXPECT_EQ(c.get_Language(), "en");
    EXPECT_EQ(Text(c, "logbook.p01.body"), "Logbook of the light, kept by \"Ansel\"\tVey.\nBack\\slash.");
    EXPECT_EQ(Text(c, "plaque.gallery.heading"), "The Lamp Ring");
    EXPECT_EQ(c.Find("no.such.text"), nullptr);
    EXPECT_EQ(c.Identifiers(), (std::vector<std::string>{"logbook.p01.body", "logbook.p01.heading", "panel.heron",
                                                         "plaque.gallery.heading", "plaque.tide.heading", "watch.lid.heading"}))
        << "the header entry is no text; identifiers come sorted";
    EXPECT_EQ(TextCatalogue().Find("panel.heron"), nullptr);
}

TEST_F(TextCatalogueTest, TranslationReplacesOnlyTextsTranslatedFromTodaysEnglish)
{
    const TextCatalogue c = TextCatalogue::Load(dir.Path(), {"de"});
    EXPECT_EQ(c.get_Language(), "de");
    EXPECT_EQ(Text(c, "logbook.p01.heading"), "Das Licht von Kelvane");
    EXPECT_EQ(Text(c, "plaque.gallery.heading"), "The Lamp Ring") << "empty msgstr";
    EXPECT_EQ(Text(c, "plaque.tide.heading"), "The Tide Post") << "fuzzy msgstr";
    EXPECT_EQ(Text(c, "watch.lid.heading"), "A. V.") << "translated from English the template no longer has";
    EXPECT_EQ(Text(c, "logbook.p01.body").substr(0, 7), "Logbook") << "missing from the translation";
    EXPECT_EQ(c.Find("nowhere.in.the.template"), nullptr);
}

TEST_F(TextCatalogueTest, LanguageIsTheFirstWithAFileTerritoryDroppedWhenNeeded)
{
    EXPECT_EQ(TextCatalogue::Load(dir.Path(), {"de_AT", "fr_CA"}).get_Language(), "de");
    const TextCatalogue canadian = TextCatalogue::Load(dir.Path(), {"it", "fr_CA", "de"});
    EXPECT_EQ(canadian.get_Language(), "fr_CA");
    EXPECT_EQ(Text(canadian, "panel.heron"), "LE HÉRON");
    EXPECT_EQ(TextCatalogue::Load(dir.Path(), {"fr"}).get_Language(), "en") << "fr_CA.po is no French for all";
    EXPECT_EQ(TextCatalogue::Load(dir.Path(), {"en_GB", "de"}).get_Language(), "en") << "English asked for first";
    // A name from the environment never reaches outside the catalogue's directory.
    fs::create_directories(dir.Path() / "sub");
    Write(dir.Path() / "sub" / "kelvane.pot", kTemplate);
    EXPECT_EQ(TextCatalogue::Load(dir.Path() / "sub", {"../de"}).get_Language(), "en");
}

TEST(PreferredLanguages, FollowTheEnvironmentsOrderOfPrecedence)
{
    kt::ScopedEnvironment env;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.Unset(name);
    EXPECT_TRUE(PreferredLanguages().empty());
    env.Set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(PreferredLanguages(), std::vector<std::string>{"de_DE"});
    env.Set("LC_MESSAGES", "sr_RS@latin");
    EXPECT_EQ(PreferredLanguages(), std::vector<std::string>{"sr_RS"});
    env.Set("LC_ALL", "C.UTF-8");
    EXPECT_EQ(PreferredLanguages(), std::vector<std::string>{"en"});
    env.Set("LANGUAGE", "fr_CA:fr::POSIX");
    EXPECT_EQ(PreferredLanguages(), (std::vector<std::string>{"fr_CA", "fr", "en"}));
    env.Set("LANGUAGE", "");
    EXPECT_EQ(PreferredLanguages(), std::vector<std::string>{"en"}) << "an empty LANGUAGE counts as unset";
}

TEST_F(TextCatalogueTest, MalformedFilesAreRefusedWithTheirLine)
{
    const std::string ok = "msgctxt \"a\"\nmsgid \"A\"\nmsgstr \"\"\n\n";
    const struct {
        std::string text;
        std::string where;
        std::string what;
    } cases[] = {
        {ok + "msgctxt \"b\"\nmsgid \"B\nmsgstr \"\"\n", ":6:", "closing \""},
        {ok + "msgctxt \"b\"\nmsgid \"B\\q\"\nmsgstr \"\"\n", ":6:", "escapes"},
        {ok + "msgstr \"B\"\n", ":5:", "expected msgid before msgstr"},
        {ok + "msgctxt \"a\"\nmsgid \"Again\"\nmsgstr \"\"\n", ":5:", "\"a\" is given twice"},
        {ok + "msgctxt \"b\"\nmsgid \"B\"\nmsgid_plural \"Bs\"\nmsgstr[0] \"\"\n", ":7:", "plural forms"},
        {ok + "msgctxt \"b\"\nmsgid \"B\"\n\nmsgctxt \"c\"\n", ":7:", "expected msgstr"},
        {ok + "msgid \"No identifier\"\nmsgstr \"\"\n", ":5:", "expected msgctxt"},
        {ok + "msgctxt \"b\"\nmsgid \"B\" trailing\nmsgstr \"\"\n", ":6:", "end of the line"},
        {ok + "\"stray\"\n", ":5:", "continued string"},
        {ok + "msgtxt \"b\"\n", ":5:", "not \"msgtxt\""},
        {ok + "msgctxt \"b\"\nmsgid \"B\"\n", ":6:", "expected msgstr"},
    };
    for (const auto& c : cases) {
        Write(dir.Path() / "kelvane.pot", c.text);
        try {
            TextCatalogue::Load(dir.Path(), {});
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("kelvane.pot" + c.where), std::string::npos) << message;
            EXPECT_NE(message.find(c.what), std::string::npos) << message;
        }
    }
    // A translation is read with the same care, and a missing template is an error too.
    Write(dir.Path() / "kelvane.pot", ok);
    Write(dir.Path() / "de.po", ok + "msgctxt \"b\"\nmsgid \"B\\x\"\n");
    EXPECT_THROW(TextCatalogue::Load(dir.Path(), {"de"}), Error);
    fs::remove(dir.Path() / "kelvane.pot");
    EXPECT_THROW(TextCatalogue::Load(dir.Path(), {}), Error);
}

}  // namespace
