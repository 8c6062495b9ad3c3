// The preview an artist checks a scene with: outlines drawn where the world's hotspot areas lie
// (round a panorama's seam, clipped on a flat view), and the places found by scene or picture.
#include "render/preview.h"
#include "core/error.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"

#include <gtest/gtest.h>

namespace {

namespace wc = world_content;
using render::DrawOutlines;

imaging::Image Black(int width, int height)
{
    imaging::Image image;
    image.width = width, image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return image;
}

bool Marked(const imaging::Image& image, int x, int y) { return image.Row(y)[x * 4 + 2] == 255; }

TEST(ScenePreview, OutlinesEdgesOnlyWrapRoundAPanoramaAndStopAtAFlatViewsEdge)
{
    imaging::Image flat = Black(100, 50);
    DrawOutlines(flat, {{{10, 10, 20, 10}}}, false);
    EXPECT_TRUE(Marked(flat, 10, 10) && Marked(flat, 11, 11) && Marked(flat, 29, 19) && Marked(flat, 28, 15));
    EXPECT_FALSE(Marked(flat, 15, 15)) << "the inside of a hotspot stays as drawn";
    EXPECT_FALSE(Marked(flat, 9, 10) || Marked(flat, 30, 10) || Marked(flat, 15, 20)) << "nothing outside the rectangle";

    // Past the right edge: a panorama's outline goes on at the left, a flat view's is cut off.
    imaging::Image panorama = Black(100, 50);
    DrawOutlines(panorama, {{{90, 5, 20, 10}}}, true);
    EXPECT_TRUE(Marked(panorama, 95, 5) && Marked(panorama, 5, 5) && Marked(panorama, 9, 10));
    EXPECT_FALSE(Marked(panorama, 10, 10) || Marked(panorama, 5, 10));
    imaging::Image cut = Black(100, 50);
    DrawOutlines(cut, {{{90, 45, 20, 10}}}, false);
    EXPECT_TRUE(Marked(cut, 95, 45));
    EXPECT_FALSE(Marked(cut, 5, 45) || Marked(cut, 9, 49)) << "a flat view does not wrap";

    // A sliver narrower than two outlines is filled rather than drawn twice past itself.
    imaging::Image sliver = Black(20, 20);
    DrawOutlines(sliver, {{{5, 5, 1, 8}}}, false);
    EXPECT_TRUE(Marked(sliver, 5, 5) && Marked(sliver, 5, 12));
    EXPECT_FALSE(Marked(sliver, 4, 8) || Marked(sliver, 6, 8));
}

TEST(ScenePreview, FindsAPlaceBySceneOrPictureWithTheWorldsHotspotsAndBlocks)
{
    // The first place whose world file names its scene, and one with a changing block.
    const wc::Place* named = nullptr;
    for (const wc::Place& p : wc::Art().places)
        if (p.scene != nullptr && !wc::Art().AreasOf(p.number).empty()) {
            named = &p;
            break;
        }
    ASSERT_NE(named, nullptr);
    const std::string scene = named->scene;
    const auto byScene = world_render::PreviewsOf(scene);
    const auto byStem = world_render::PreviewsOf(scene.substr(0, scene.size() - 4));
    ASSERT_FALSE(byScene.empty());
    EXPECT_EQ(byScene.size(), byStem.size()) << "the scene is found with or without its ending";
    const world_render::ScenePreview& preview = byScene.front();
    ASSERT_EQ(preview.hotspots.size(), wc::Art().AreasOf(named->number).size());
    const wc::HotspotArea& first = wc::Art().AreasOf(named->number).front();
    EXPECT_EQ(preview.hotspots[0].x, first.x1);
    EXPECT_EQ(preview.hotspots[0].Right(), first.x2);
    EXPECT_EQ(preview.hotspots[0].Bottom(), first.y2);
    EXPECT_EQ(preview.request.wrapsAround, named->panorama);
    EXPECT_EQ(world_render::PreviewsOf(preview.request.name).size(), 1u) << "found by its picture's name";

    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place& place = wc::Art().PlaceNumbered(o.screen);
        if (place.scene == nullptr) continue;
        bool found = false;
        for (const world_render::ScenePreview& p : world_render::PreviewsOf(place.scene))
            for (const content::Rect& r : p.blocks) found = found || (r.x == o.x && r.y == o.y && r.w == o.w && r.h == o.h);
        EXPECT_TRUE(found) << o.image << " is not outlined on " << place.scene;
        break;
    }
    try {
        world_render::PreviewsOf("shore/no_such_place");
        FAIL() << "an unknown scene must be refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("shore/no_such_place"), std::string::npos) << e.what();
        std::string firstScene;
        for (const wc::Place& p : wc::Art().places)
            if (p.scene != nullptr && firstScene.empty()) firstScene = p.scene;
        EXPECT_NE(std::string(e.what()).find(firstScene), std::string::npos) << "the message names scenes that exist: " << e.what();
    }
}

}  // namespace
