// The texts a player reads in close views (the letter of appointment, the watch's lid, the
// plaques and the tide post) and the clues drawn beside them: the texts come from the game's
// catalogue (game/po/kelvane.pot, section "Texts set into pictures"), the clues from the world's
// tables; shared with the rendered close views, which set them on a rendered sheet or plate.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "content/canvas.h"
#include "content/things.h"
#include "core/text_catalogue.h"

namespace content {

struct PageText {
    std::string heading;
    std::string text;
};

// The text of `id` in `texts`, in Latin-1 as the pictures are set (a character beyond it is
// '?'); throws Error naming the identifier when the catalogue lacks it.
std::string PictureText(const TextCatalogue& texts, std::string_view id);

// A sheet's or a plate's text: the texts' "<id>.heading" and "<id>.body" (the world files'
// read views name the id of each place's plate).
PageText PlateText(const TextCatalogue& texts, const std::string& id);
// The letter of appointment the player arrives with.
PageText AppointmentLetter(const TextCatalogue& texts);
// The dedication engraved inside the lid of the keeper's watch: initials, and its lines
// separated by "\n".
PageText WatchDedication(const TextCatalogue& texts);
// The names of the star chart's figures (the Heron, the Lantern, the Anchor, the Gull), under
// the chart and above each figure's star panel alike.
using FigureNames = std::array<std::string, 4>;
FigureNames FigureNamesOf(const TextCatalogue& texts);

// Pages 1 .. count of the book the world files name `book`, as they are set: the texts
// "<book>.pNN.heading" and "<book>.pNN.body", page k's sketches varied by seed + k - 1.
std::vector<BookPage> PagesOf(const std::string& book, std::size_t count, std::uint32_t seed, const TextCatalogue& texts);

// The eight bells of the keeper's watch in a row, left to right, each with the strokes struck
// on it (the cabinet's code) cut beneath it in pairs: bell k is centred at left + k x pitch
// with its crown at `top`; every size is multiplied by `scale`. Picture pixels.
void DrawWatchBells(Canvas& c, float left, float top, float pitch, float scale, Rgb ink);

// The star chart's four figures in a row from (left, top), each a three-by-three window of
// stars joined by its lines, with two stray stars under it and its name below; sizes x scale
// (at scale 1 the chart is 664 x 210 pixels). The night behind it is the caller's.
void DrawStarFigures(Canvas& c, float left, float top, float scale, const FigureNames& names);

}  // namespace content
