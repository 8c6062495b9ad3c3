// The texts a player reads in close views (the letter of appointment, the watch's lid, the
// plaques and the tide post) and the clues drawn beside them, as world_assets.cpp defines
// them: shared with the rendered close views, which set them on a rendered sheet or plate.
#pragma once

#include <vector>

#include "content/canvas.h"
#include "content/things.h"

namespace content {

struct PageText {
    const char* heading;
    const char* text;
};

// The letter of appointment the player arrives with.
const PageText& AppointmentLetter();
// The dedication engraved inside the lid of the keeper's watch: initials and one line.
const PageText& WatchDedication();
// The plaque by the dome stair, above its star chart.
const PageText& StarPlaque();
// The text shown by a close view of a place that is read (the tide post, the gallery and
// the drowned hall's plaques); null for every other screen.
const PageText* TextOf(int screen);

// The books the player reads, and their pages as they are set (first page first; the world
// names their pictures in kLogbookPages, kLetterPages and kRegisterPages).
enum class Book { Logbook, Letters, Register };
std::vector<BookPage> PagesOf(Book book);

// The eight bells of the keeper's watch in a row, left to right, each with the strokes struck
// on it (the cabinet's code) cut beneath it in pairs: bell k is centred at left + k x pitch
// with its crown at `top`; every size is multiplied by `scale`. Picture pixels.
void DrawWatchBells(Canvas& c, float left, float top, float pitch, float scale, Rgb ink);

// The star chart's four figures in a row from (left, top), each a three-by-three window of
// stars joined by its lines, with two stray stars under it and its name below; sizes x scale
// (at scale 1 the chart is 664 x 210 pixels). The night behind it is the caller's.
void DrawStarFigures(Canvas& c, float left, float top, float scale);

}  // namespace content
