// The pseudo-translation: every letter that has a Latin-1 look-alike is accented, placeholders
// and the spaces at either end survive, and the text grows by about 40%.
#include "pseudo_text.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/text_catalogue.h"
#include "support/scoped_environment.h"

namespace {

std::size_t Characters(const std::string& s)
{
    std::size_t n = 0;
    for (const char ch : s) n += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    return n;
}

TEST(PseudoText, AccentsLettersKeepsPlaceholdersAndEdgesAndGrowsByAboutTwoFifths)
{
    EXPECT_EQ(PseudoText("Once"), "[Ôñçë ~~]");
    EXPECT_EQ(PseudoText("  %s took %1$d of %.2f, 100%% sure\n"), "  [%s töök %1$d öf %.2f, 100%% súrë ~~~~~~~ ~~]\n");
    EXPECT_EQ(PseudoText("% nothing"), "[% ñöthîñg ~~]") << "a lone % is no placeholder";
    EXPECT_EQ(PseudoText(""), "");
    EXPECT_EQ(PseudoText("   "), "   ");
    const std::string english = "The moon is full and the lowest ebb is tonight. I am going down with my lamp.";
    const std::string pseudo = PseudoText(english);
    const double growth = static_cast<double>(Characters(pseudo)) / static_cast<double>(english.size());
    EXPECT_NEAR(growth, 1.4, 0.03) << pseudo;
    EXPECT_EQ(pseudo.find("~~~~~~~~"), std::string::npos) << "the padding breaks where a page can wrap it: " << pseudo;
    for (const char ch : pseudo) EXPECT_EQ(std::string("aeiouAEIOUcnyCNY").find(ch), std::string::npos) << pseudo;
}

TEST(PseudoCatalogue, ReadsBackAsTheQpsTranslationOfEveryText)
{
    kt::TemporaryDirectory dir;
    std::ofstream(dir.Path() / "kelvane.pot")
        << "msgctxt \"b.long\"\nmsgid \"" << std::string(60, 'a') << " " << std::string(40, 'e')
        << " " << std::string(200, 'o') << "\"\nmsgstr \"\"\n\nmsgctxt \"a.lines\"\nmsgid \"First,\\nsecond \\\"quoted\\\"\"\nmsgstr \"\"\n";
    const TextCatalogue english = TextCatalogue::Load(dir.Path(), {});
    const std::string po = PseudoCatalogue(english);
    EXPECT_EQ(po, PseudoCatalogue(english));
    std::ofstream(dir.Path() / "qps.po", std::ios::binary) << po;
    const TextCatalogue pseudo = TextCatalogue::Load(dir.Path(), {"qps"});
    ASSERT_EQ(pseudo.get_Language(), "qps");
    for (const std::string& id : english.Identifiers()) EXPECT_EQ(*pseudo.Find(id), PseudoText(*english.Find(id))) << id;
    for (std::size_t from = 0, end; from < po.size(); from = end + 1) {
        end = po.find('\n', from);
        EXPECT_LE(Characters(po.substr(from, end - from)), 79u) << po.substr(from, end - from);
    }
}

}  // namespace
