// The texts set into the world's pictures come from the game's catalogue, and its English is
// byte for byte what the pictures were set with before the texts left the code: the generated
// pictures do not change.
#include "game/assets/world_art.h"
#include "game/assets/world_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/error.h"
#include "game_texts.h"

namespace {

// FNV-1a over each text and a separator after it.
class TextHash {
public:
    void Add(const std::string& text)
    {
        for (const unsigned char ch : text) Mix(ch);
        Mix(0);
    }
    std::uint64_t Value() const { return c_value; }

private:
    void Mix(unsigned char ch)
    {
        c_value ^= ch;
        c_value *= 1099511628211ull;
    }
    std::uint64_t c_value = 14695981039346656037ull;
};

TEST(WorldTexts, CatalogueGivesThePicturesTheEnglishTheyWereSetWith)
{
    const TextCatalogue& texts = tools_test::GameTexts();
    // The books' pages, the letter, the watch's dedication (its two lines as one, as it was
    // written before), the star plaque and the places' plates, in this order, as hashed from
    // the texts in the code before they moved into the catalogue.
    TextHash hash;
    std::size_t pages = 0;
    for (const auto& [book, seed] : {std::pair<const char*, std::uint32_t>{"logbook", 500}, {"letters", 600}, {"register", 700}})
        for (const content::BookPage& page :
             content::PagesOf(book, world_content::Art().BookPages(book).size(), seed, texts)) {
            hash.Add(page.heading);
            hash.Add(page.text);
            ++pages;
        }
    std::vector<content::PageText> plates{content::AppointmentLetter(texts), content::WatchDedication(texts)};
    for (const char* plate : {"plaque.stars", "tidepost", "plaque.gallery", "plaque.drowned"})
        plates.push_back(content::PlateText(texts, plate));
    std::replace(plates[1].text.begin(), plates[1].text.end(), '\n', ' ');
    for (const content::PageText& plate : plates) {
        hash.Add(plate.heading);
        hash.Add(plate.text);
    }
    EXPECT_EQ(pages, 11u + 16u + 5u);
    EXPECT_EQ(hash.Value(), 1995651683801095499ull) << "the English of a page or plate changed: its picture would change";
    // The texts drawn without a page or plate of their own.
    const std::pair<const char*, const char*> before[] = {
        {"title.name", "KELVANE"},
        {"title.tagline", "a story of the drowned observatory"},
        {"watch.lid.body", "Engraved inside the lid of the keeper's watch: For Ansel Vey, for eleven years of the light. "
                           "Below, the eight bells of his last good watch, each with the strokes struck on it:"},
        {"panel.tideclock", "KELVANE FLATS  TIDE CLOCK"},
    };
    for (const auto& [id, english] : before) EXPECT_EQ(content::PictureText(texts, id), english) << id;
    EXPECT_EQ(content::FigureNamesOf(texts), (content::FigureNames{"THE HERON", "THE LANTERN", "THE ANCHOR", "THE GULL"}));
    try {
        content::PictureText(texts, "logbook.p99.body");
        ADD_FAILURE() << "a text the catalogue lacks was found";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("logbook.p99.body"), std::string::npos) << e.what();
    }
}

// The catalogues are UTF-8; the pictures are set a byte to a letter, as Latin-1. A translation's
// accented letters come to the pictures as one byte each, and are set as one letter each.
TEST(WorldTexts, ATranslationsAccentedLettersAreSetAsOneLetterEach)
{
    const TextCatalogue qps = TextCatalogue::Load(KELVANE_GAME_TEXTS, {"qps"});
    ASSERT_EQ(qps.get_Language(), "qps");
    EXPECT_EQ(content::AppointmentLetter(qps).heading, "[\xC5pp\xF6\xEE\xF1tm\xEB\xF1t ~~]");
    EXPECT_EQ(content::PictureText(qps, "panel.tideclock"), "[K\xC9LV\xC5\xD1\xC9 FL\xC5TS  T\xCF" "D\xC9 \xC7L\xD4\xC7K ~~~~~~~~]");
    // An accented capital takes its base letter's room: the pseudo-translated name of a figure is
    // as wide in a picture as the same name unaccented.
    content::Canvas canvas(600, 80);
    const std::string heron = content::FigureNamesOf(qps)[0];
    EXPECT_EQ(canvas.Text(heron, 10, 10, 34, content::Hex(0xf0d890), true, false),
              canvas.Text("[THE HERON ~~]", 10, 10, 34, content::Hex(0xf0d890), true, false))
        << heron;
}

}  // namespace
