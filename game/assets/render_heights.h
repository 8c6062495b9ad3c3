// The lamp gallery and the dome as 3D scenes: the scene text of every picture of the heights
// in each state the story shows it in, the lamp models their boards, panels and code-key
// strips share, and the key strips cut from the boards' renders. The scenes are built from the
// world's place tables, so each machine stands where its hotspot is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "content/generator.h"
#include "core/text_catalogue.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"

namespace world_render::heights {

// The lamp models the boards, the panoramas and the key strips share, as povray macros:
// OilLamp(Lit) and StarLamp(Lit), each standing on (OilLamp) or facing -z from (StarLamp) the
// origin; an oil lamp is 0.3 units tall, a star lamp 0.6 units across.
std::string LampModels();

// A panorama of the lamp gallery (500 .. 503) with the lamps of its lamp ring out or burning.
std::string GalleryScene(int place, bool lampsLit);
// A panorama of the dome (700 .. 704).
std::string DomeScene(int place);

// The close views, flat 1024 x 512. The boards of lamps (551) and star lamps (752 .. 755) are
// seen square on through an orthographic camera, one scene unit to 100 pixels, so that every
// cell of the board looks alike and a key strip's frame fits over any of them.
std::string RingBoardScene(bool lampsLit);   // 551: the lamp ring's board, every lamp out or burning
std::string StarPanelScene(bool starsLit);   // 752 .. 755: a panel of nine star lamps, all dark or lit
std::string MountScene(bool lensSeated);     // 751: the telescope's mount and its lens seat
std::string ShutterScene(bool open);         // 756: the dome's shutter, shut or open on the night sky
std::string GalleryWindowScene();            // 552
std::string GalleryStairScene();             // 553
std::string GalleryBenchScene();             // 554

// A key panel's strip: frame k is the panel's cell (column, row) cut from renders[k], the
// board rendered with every cell at value k.
imaging::Image KeyStrip(const std::vector<imaging::Image>& renders, const world_content::KeyPanel& panel, int column,
                        int row);

// The name painted over a star panel's close view (752 .. 755), or none.
std::optional<std::string> StarPanelName(int place, const TextCatalogue& texts);

// The assets of the two halves of the group.
void AddGalleryAndDomePanoramas(std::vector<content::Asset>& rendered);
void AddCloseViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts);

}  // namespace world_render::heights
