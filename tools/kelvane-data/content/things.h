// Procedural things: inventory items with their cursor masks, item close-ups, code-key strips
// and book pages. Pictures come back as canvases; masks as grey levels 0 .. 1 (1 = opaque).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/canvas.h"

namespace content {

constexpr int kItemSide = 75;  // inventory pictures and item cursors are 75 x 75

enum class ItemKind { Journal, Lantern, Key, Gear, Crystal, Notebook, Medallion, Vial };

// One item's three files: the bar picture and the two cursor masks. `normal` shows the item
// alone (the cursor held over nothing); `highlighted` adds a halo (held over something that
// reacts). The picture's halo colours are painted where only the highlighted mask shows them.
struct ItemPictures {
    Canvas picture{kItemSide, kItemSide};
    std::vector<float> normal;
    std::vector<float> highlighted;
};
ItemPictures PaintItem(ItemKind kind, Rgb tint);
// The same three pictures for an item drawn elsewhere (a render): `item` holds its colours
// and `coverage` how much of each pixel it covers (0 .. 1, row by row, kItemSide x kItemSide).
// The plain mask is the coverage; the halo mask grows it outward by a few pixels, softened.
ItemPictures ItemFromCoverage(const Canvas& item, const std::vector<float>& coverage);

// The item large on a cloth-covered table: the close-up screen shown when it is examined.
Canvas PaintItemCloseUp(ItemKind kind, Rgb tint, std::uint32_t seed);

// A strip of `values` frames of `frameWidth` x `frameHeight`, frame k at column k x
// frameWidth, showing the value k on a brass wheel (digits 0 .. 9, then letters).
enum class StripStyle { Digits, Lamps };
Canvas PaintCodeStrip(int frameWidth, int frameHeight, int values, StripStyle style);

// A flat 1024 x 512 page of an open book: paper, a heading, the text set in the game's serif
// face, the page numbers and marks at the page-turning edges. A text too short to run on to
// the right page leaves room for an ink sketch there.
struct BookPage {
    std::string heading;
    std::string text;
    int number = 1;
    std::uint32_t seed = 1;
    bool hasPrevious = true;  // draws the turn-back mark at the left edge
    bool hasNext = true;      // draws the turn-on mark at the right edge
};
Canvas PaintBookPage(const BookPage& page);
// The same page's text, numbers and marks set over another picture of the open book (its
// paper lying at x 28 .. 996, y 18 .. 494, the spine at x 512).
void SetBookPage(Canvas& c, const BookPage& page);

}  // namespace content
