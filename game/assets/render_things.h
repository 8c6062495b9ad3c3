// The items rendered from their models (bar pictures, cursors and close views) and the texts
// set on rendered sheets and plates: what the things' scene files share with each other and
// with their tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "content/canvas.h"
#include "content/things.h"
#include "core/text_catalogue.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"
#include "render/kit.h"

namespace world_render {

// The render of an item's bar picture from the scene its item{} names: the model alone, lit,
// on no background (rendered with alpha, kItemSide pixels square).
render::RenderRequest ItemBarRequest(const world_content::ItemDef& item);

// The bar picture and both cursor masks from the item's render: the masks come from the
// render's alpha, the colours from the render.
content::ItemPictures ItemPicturesFromRender(const imaging::Image& render);

// The render of an item's close view from the scene its close_up{} names: the object lit,
// filling the 1024 x 512 view. Without the item the same table, wall and light, empty. Throws
// Error for an item whose close view names no scene (a book, or a view that is read).
render::RenderRequest CloseUpRequest(const world_content::ItemDef& item, bool withItem);

// A rendered picture as a canvas to draw on, and back.
content::Canvas CanvasOf(const imaging::Image& picture);

// The views that are read, as the world files note them (read_view{}): the close views of
// the letter of appointment and the watch's lid by item, the places' boards and plates by
// screen, the open books. The scene file the world names (texts/*.pov), and the finish that
// sets the text, as the note's setting says, where the scene's sheet or plate lies.
struct ReadView {
    std::string path;
    std::string sceneFile;
    std::function<imaging::Image(imaging::Image)> finish;
    content::Rect text;  // where the text and the drawn clues lie (nothing is drawn elsewhere), picture pixels
};
// Throw Error for an item or screen the world notes no read view of, or whose setting is unknown.
ReadView ItemReadView(int item, const TextCatalogue& texts);
ReadView PlaceReadView(int screen, const TextCatalogue& texts);
// Page `index` (0 = the first) of the book the world files name `book`; the book lies open on
// the desk, the same render under every page of it.
ReadView BookPageView(const std::string& book, int index, const TextCatalogue& texts);

// Adds the assets of the items (render_things_items.cpp) and of the read views
// (render_things_texts.cpp).
void AddItemPictures(std::vector<content::Asset>& rendered);
void AddReadViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts);

}  // namespace world_render
