#include "game/credits_text.h"

#include "menus/credits_manager.h"

namespace {

constexpr int kPlain = 0;
constexpr int kBold = 1;
constexpr int kItalic = 2;

struct Section {
    const char* heading;
    struct Line {
        const char* text;
        int type;
    } lines[6];
    int lineCount;
    int blankRunAfter;
};

// Five sections of names, each with remarks under the names they comment on.
const Section kSections[] = {
    {"Story and World Design",
     {{"Mara Vell", kPlain}, {"who drew every map twice", kItalic}, {"Tobias Orrin", kPlain},
      {"who wrote the letters in the tower", kItalic}},
     4, 4},
    {"Engine Programming",
     {{"Ines Kaldor", kPlain}, {"keeper of the interpreter", kItalic}, {"Rune Haldane", kPlain},
      {"Pell Ashgrove", kPlain}, {"who taught the panoramas to turn", kItalic}},
     5, 4},
    {"Pictures and Light",
     {{"Sela Morrow", kPlain}, {"Edwin Farthing", kPlain}, {"every lamp in the observatory", kItalic}},
     3, 4},
    {"Sound and Music",
     {{"Nadia Crane", kPlain}, {"the drips are real, she says", kItalic}, {"Hollis Brandt", kPlain}},
     3, 4},
    {"Testing",
     {{"Gwen Tamsin", kPlain}, {"Orla Finch", kPlain}, {"who fell into every well first", kItalic},
      {"Dov Keller", kPlain}, {"and climbed out again with notes", kItalic}},
     5, 3},
};

// The closing note: four short paragraphs, an empty line before each.
const char* const kClosingNote[] = {
    "",
    "Kelvane was built one screen at a time,",
    "with lamps, levers and a great deal of patience,",
    "by people who still believe that a picture",
    "can be a place you walk into.",
    "",
    "If you found the observatory's last lens,",
    "you saw what the keeper saw on the final night:",
    "the sea turning over, the stars holding still,",
    "and a door that only opens from the inside.",
    "",
    "Thank you for reading the letters,",
    "for counting the drips in the cistern,",
    "for trying the lock one more time,",
    "and for not giving up on the tide.",
    "",
    "Every save you made is still in its slot.",
    "The lamps will be lit when you come back.",
    "Until then, mind the stairs.",
    "Good night.",
};

}  // namespace

void AddCreditsLines(CreditsManager& credits)
{
    credits.AddLine("KELVANE", kBold);
    credits.AddLine("a story of the drowned observatory", kItalic);
    credits.AddLine("* * *", kPlain);
    credits.AddSpaceLines(7);

    for (const Section& section : kSections) {
        credits.AddLine(section.heading, kBold);
        for (int i = 0; i < section.lineCount; ++i) credits.AddLine(section.lines[i].text, section.lines[i].type);
        credits.AddSpaceLines(section.blankRunAfter);
    }

    credits.AddLine("A Closing Note", kBold);
    for (const char* line : kClosingNote) credits.AddLine(line, kPlain);
    credits.AddSpaceLines(8);

    credits.AddLine("2005", kBold);  // the year the loading banner gives
    credits.AddLine("Kelvane 1.1", kBold);
    credits.AddSpaceLines(3);
}
