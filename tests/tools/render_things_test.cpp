// The items and the read views rendered from scenes: cursor masks come from the renderer's
// alpha, every item looks like itself and no other, the close views fill the view, and the
// texts and clues are set where the rendered sheet or plate lies.
#include "content/generator.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_texts.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "render/povray.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

namespace wc = world_content;
using content::kItemSide;


render::RenderSettings Draft()
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    return settings;
}

float Luma(const imaging::Image& picture, int x, int y)
{
    const std::uint8_t* p = picture.Row(y) + x * 4;
    return (0.11f * p[0] + 0.59f * p[1] + 0.30f * p[2]) / 255.0f;
}

std::size_t At(int x, int y) { return static_cast<std::size_t>(y) * kItemSide + x; }

// A render of a 75-pixel square: a red square opaque in the middle, clear round it, with a
// half-covered edge column.
imaging::Image SquareRender()
{
    imaging::Image render{kItemSide, kItemSide, std::vector<std::uint8_t>(static_cast<std::size_t>(kItemSide) * kItemSide * 4, 0)};
    for (int y = 25; y < 50; ++y)
        for (int x = 25; x < 51; ++x) {
            std::uint8_t* p = render.Row(y) + x * 4;
            p[2] = 200;
            p[3] = x == 50 ? 128 : 255;
        }
    return render;
}

TEST(ItemPictures, MasksComeFromTheAlphaAndTheHaloSurroundsTheItem)
{
    const content::ItemPictures item = world_render::ItemPicturesFromRender(SquareRender());
    ASSERT_EQ(item.normal.size(), static_cast<std::size_t>(kItemSide * kItemSide));
    EXPECT_EQ(item.normal[At(0, 0)], 0.0f);
    EXPECT_EQ(item.highlighted[At(0, 0)], 0.0f) << "a clear corner shows nothing, even with the halo";
    EXPECT_EQ(item.normal[At(37, 37)], 1.0f);
    EXPECT_EQ(item.highlighted[At(37, 37)], 1.0f);
    EXPECT_NEAR(item.normal[At(50, 37)], 0.5f, 0.01f) << "a half-covered edge is half opaque";
    for (std::size_t i = 0; i < item.normal.size(); ++i)
        ASSERT_GE(item.highlighted[i], item.normal[i]) << "the halo mask hides part of the item at " << i;
    // The halo reaches a few pixels out, fading, and no further.
    EXPECT_EQ(item.normal[At(22, 37)], 0.0f);
    EXPECT_GT(item.highlighted[At(22, 37)], 0.3f);
    EXPECT_LT(item.highlighted[At(20, 37)], item.highlighted[At(22, 37)]);
    EXPECT_EQ(item.highlighted[At(12, 37)], 0.0f);
    // The picture: the item's own colour where it covers, the halo's gold where only the
    // highlighted mask shows.
    const content::Rgb middle = item.picture.At(37, 37), halo = item.picture.At(23, 37);
    EXPECT_NEAR(middle.r, 200 / 255.0f, 0.01f);
    EXPECT_LT(middle.g, 0.01f);
    EXPECT_GT(halo.r, 0.4f);
    EXPECT_GT(halo.g, halo.b + 0.1f) << "the halo is gold";
}

TEST(ItemPictures, RefuseARenderOfAnotherSize)
{
    imaging::Image wrong{kItemSide * 2, kItemSide, std::vector<std::uint8_t>(static_cast<std::size_t>(kItemSide) * kItemSide * 8, 0)};
    EXPECT_THROW(world_render::ItemPicturesFromRender(wrong), Error);
    wc::ItemDef unnamed{};
    unnamed.name = "pebble";
    EXPECT_THROW(world_render::ItemBarRequest(unnamed), Error) << "an item whose item{} names no scene";
}

TEST(ItemPictures, EveryItemStandsClearOfItsCornersAndLooksLikeNoOther)
{
    REQUIRE_RENDERER();
    std::vector<content::ItemPictures> items;
    const std::size_t count = wc::Art().items.size();
    ASSERT_EQ(count, 8u);
    for (std::size_t n = 1; n <= count; ++n) {
        const render::RenderRequest request = world_render::ItemBarRequest(wc::Art().items[n - 1]);
        EXPECT_TRUE(request.alpha) << "item " << n << " is rendered without its alpha";
        items.push_back(world_render::ItemPicturesFromRender(render::Render(request, Draft())));
        const content::ItemPictures& item = items.back();
        float covered = 0.0f, most = 0.0f;
        int left = kItemSide, right = -1, top = kItemSide, bottom = -1;
        for (int y = 0; y < kItemSide; ++y)
            for (int x = 0; x < kItemSide; ++x) {
                const float a = item.normal[At(x, y)];
                covered += a;
                most = std::max(most, a);
                if (a < 0.5f) continue;
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            }
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{kItemSide - 1, 0}, std::pair{0, kItemSide - 1},
                                   std::pair{kItemSide - 1, kItemSide - 1}})
            EXPECT_EQ(item.highlighted[At(x, y)], 0.0f) << "item " << n << " reaches its corner " << x << ", " << y;
        EXPECT_EQ(most, 1.0f) << "item " << n << " is nowhere opaque";
        EXPECT_GT(std::max(right - left, bottom - top), kItemSide * 0.6) << "item " << n << " is small in its square";
        EXPECT_GT(covered / (kItemSide * kItemSide), 0.06f) << "item " << n << " is hardly there";
        EXPECT_LT(covered / (kItemSide * kItemSide), 0.75f) << "item " << n << " leaves its halo no room";
    }
    // Both letters, the two books' covers, the key and the crank: every picture its own.
    for (std::size_t a = 0; a < count; ++a)
        for (std::size_t b = a + 1; b < count; ++b) {
            double difference = 0.0;
            for (int y = 0; y < kItemSide; ++y)
                for (int x = 0; x < kItemSide; ++x) {
                    const content::Rgb p = items[a].picture.At(x, y), q = items[b].picture.At(x, y);
                    difference += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
                }
            EXPECT_GT(difference / (kItemSide * kItemSide), 0.08) << "items " << a + 1 << " and " << b + 1 << " look alike";
        }
}

TEST(ItemCloseUps, TheObjectFillsTheView)
{
    REQUIRE_RENDERER();
    int views = 0;
    for (const wc::ItemDef& item : wc::Art().items) {
        if (item.closeUpScene == nullptr) continue;
        ++views;
        const auto render = [&item](bool with) {
            return render::Render(world_render::CloseUpRequest(item, with), Draft());
        };
        const imaging::Image with = render(true), without = render(false);
        // The rows and columns where the object (with its shadow) changes the picture.
        std::vector<int> rows(440, 0), columns(content::kFlatWidth, 0);
        for (int y = 0; y < 440; ++y)
            for (int x = 0; x < content::kFlatWidth; ++x)
                if (std::fabs(Luma(with, x, y) - Luma(without, x, y)) > 0.04f) ++rows[y], ++columns[x];
        const auto span = [](const std::vector<int>& counts) {
            return std::count_if(counts.begin(), counts.end(), [](int c) { return c >= 4; });
        };
        EXPECT_GT(span(rows), 440 * 0.7) << item.name << " is short in its close view";
        EXPECT_GT(span(columns), content::kFlatWidth * 0.25) << item.name << " is narrow in its close view";
    }
    EXPECT_EQ(views, 4) << "the key, the crank, the lamp and the lens are looked at";
    EXPECT_THROW(world_render::CloseUpRequest(wc::Art().items[0], true), Error) << "the logbook is opened, not looked at";
}

// The bells on a white canvas: under bell k, in its rows of pairs, exactly its strokes.
int StrokesUnder(const content::Canvas& c, float cx, float top, float scale)
{
    int strokes = 0;
    for (int row = 0; row < 4; ++row)
        for (int side = 0; side < 2; ++side) {
            const float x = cx + (-18 + side * 12) * scale, y = top + (78 + row * 30 + 11) * scale;
            if (c.At(static_cast<int>(x), static_cast<int>(y)).r < 0.5f) ++strokes;
        }
    return strokes;
}

TEST(WatchLid, EachBellCarriesTheStrokesOfItsCabinetWheel)
{
    for (const float scale : {1.0f, 0.9f}) {
        content::Canvas c(1024, 512, false, {1, 1, 1});
        const float left = 100, top = 100, pitch = 80 * scale;
        content::DrawWatchBells(c, left, top, pitch, scale, {0, 0, 0});
        for (int bell = 0; bell < 8; ++bell) {
            EXPECT_EQ(StrokesUnder(c, left + bell * pitch, top, scale), wc::Art().cabinetCode[bell])
                << "bell " << bell + 1 << " at scale " << scale;
            EXPECT_LT(c.At(static_cast<int>(left + bell * pitch), static_cast<int>(top + 30 * scale)).r, 0.5f)
                << "bell " << bell + 1 << " is not drawn";
        }
    }
}

TEST(ReadViews, TextsAreSetOnTheLitSheetOrPlate)
{
    REQUIRE_RENDERER();
    const TextCatalogue& texts = tools_test::GameTexts();
    std::vector<world_render::ReadView> views;
    for (const wc::ReadViewDef& def : wc::Art().readViews) {
        if (def.item != 0) views.push_back(world_render::ItemReadView(def.item, texts));
        if (def.screen != 0) views.push_back(world_render::PlaceReadView(def.screen, texts));
    }
    ASSERT_EQ(views.size(), 6u) << "the letter, the watch and four boards and plates are read";
    const std::size_t books = views.size();
    for (const char* book : {"logbook", "letters", "register"}) views.push_back(world_render::BookPageView(book, 0, texts));
    for (std::size_t v = 0; v < views.size(); ++v) {
        const world_render::ReadView& view = views[v];
        const imaging::Image plain =
            render::Render({view.path, "", content::kFlatWidth, content::kFlatHeight, false, false, view.sceneFile}, Draft());
        const imaging::Image set = view.finish(plain);
        ASSERT_EQ(set.width, content::kFlatWidth);
        const content::Rect& r = view.text;
        // A view's foot leads back; a book's pages are turned at their edges instead.
        const int foot = v < books ? 440 : content::kFlatHeight;
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.Right() <= content::kFlatWidth && r.Bottom() <= foot) << view.path;
        // The sheet or plate under the text is lit, and the text on it is dark.
        double under = 0.0;
        int ink = 0, samples = 0;
        for (int y = r.y; y < r.Bottom(); ++y)
            for (int x = r.x; x < r.Right(); ++x, ++samples) {
                under += Luma(plain, x, y);
                if (Luma(set, x, y) < 0.2f && Luma(plain, x, y) > 0.3f) ++ink;
            }
        EXPECT_GT(under / samples, 0.4) << view.path << ": the text does not lie on the lit sheet or plate";
        EXPECT_GT(static_cast<double>(ink) / samples, 0.005) << view.path << ": too little ink";
        // Nothing is drawn away from the text.
        for (int y = 0; y < content::kFlatHeight; y += 3)
            for (int x = 0; x < content::kFlatWidth; x += 3) {
                if (x >= r.x - 4 && x < r.Right() + 4 && y >= r.y - 4 && y < r.Bottom() + 4) continue;
                ASSERT_EQ(std::memcmp(plain.Row(y) + x * 4, set.Row(y) + x * 4, 3), 0)
                    << view.path << ": drawn on at " << x << ", " << y << ", outside the text";
            }
    }
    EXPECT_THROW(world_render::PlaceReadView(100, texts), Error) << "a place the world notes no read view of";
    EXPECT_THROW(world_render::ItemReadView(3, texts), Error);
    EXPECT_THROW(world_render::BookPageView("register", 5, texts), Error) << "the register has five pages";
    EXPECT_THROW(world_render::BookPageView("almanac", 0, texts), Error) << "a book the world has not";
}

// Each read view the world notes names a scene of the library and a setting the generator
// knows, and is picked by the one thing it names.
TEST(ReadViews, TheWorldNamesEachViewsSceneAndSetting)
{
    const TextCatalogue& texts = tools_test::GameTexts();
    std::set<std::string> scenes;
    for (const wc::ReadViewDef& def : wc::Art().readViews) {
        ASSERT_NE(def.scene, nullptr);
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(render::DefaultSceneLibrary()) / def.scene)) << def.scene;
        EXPECT_TRUE(scenes.insert(def.scene).second) << def.scene << " serves two read views";
        EXPECT_EQ((def.item != 0) + (def.screen != 0) + (def.book != nullptr), 1) << def.scene;
        if (def.item != 0) {
            EXPECT_EQ(world_render::ItemReadView(def.item, texts).sceneFile, def.scene);
        }
        if (def.screen != 0) {
            EXPECT_EQ(world_render::PlaceReadView(def.screen, texts).sceneFile, def.scene);
        }
    }
    EXPECT_EQ(scenes.size(), 9u) << "the letter, the watch, four boards and plates, three books";
    EXPECT_EQ(world_render::BookPageView("register", 4, texts).sceneFile, "texts/register.pov");
    EXPECT_EQ(world_render::BookPageView("logbook", 0, texts).sceneFile, "texts/logbook.pov");
}

TEST(ThingsAssets, EveryPathIsOneTheWorldNamesMadeOnce)
{
    std::vector<content::Asset> rendered;
    world_render::AddThings(rendered, tools_test::GameTexts());
    std::set<std::string> named, made;
    for (const wc::ItemDef& item : wc::Art().items) {
        named.insert(item.picture);
        if (item.closeUp) named.insert(item.closeUp);
    }
    for (const char* image : {"data/shore_post.enc", "data/gallery_plaque.enc", "data/dome_plaque.enc", "data/drowned_plaque.enc"})
        named.insert(image);
    named.insert(wc::Art().BookPages("logbook").begin(), wc::Art().BookPages("logbook").end());
    named.insert(wc::Art().BookPages("letters").begin(), wc::Art().BookPages("letters").end());
    named.insert(wc::Art().BookPages("register").begin(), wc::Art().BookPages("register").end());
    for (const content::Asset& a : rendered) {
        EXPECT_TRUE(made.insert(a.name).second) << a.name << " is made twice";
        EXPECT_EQ(named.count(a.name), 1u) << a.name << " is not an item's or a read view's picture";
    }
    EXPECT_EQ(made, named) << "a picture of the items or the read views is still painted";
    // An item's one asset writes its picture and both masks.
    const auto item = std::find_if(rendered.begin(), rendered.end(), [](const content::Asset& a) { return a.name == wc::Art().items[6].picture; });
    ASSERT_NE(item, rendered.end());
    EXPECT_EQ(item->files, (std::vector<std::string>{wc::Art().items[6].picture, wc::Art().items[6].alpha1, wc::Art().items[6].alpha2}));
}

// Reads back a written picture, scrambled with `offset`.
imaging::Image ReadBack(const std::string& dir, const std::string& gamePath, int offset)
{
    const std::string file = content::FileForGamePath(dir, gamePath);
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bytes = imaging::UnrotateImageBytes(std::move(bytes), static_cast<std::size_t>(offset));
    imaging::Image image;
    std::string error;
    EXPECT_TRUE(imaging::DecodeImage(bytes.data(), bytes.size(), &image, &error)) << gamePath << ": " << error;
    return image;
}

TEST(ThingsAssets, ItemsAndPagesAreWrittenWithTheOffsetTheGameOpensThemWith)
{
    REQUIRE_RENDERER();
    std::vector<content::Asset> rendered;
    world_render::AddThings(rendered, tools_test::GameTexts());
    const std::string dir = ::testing::TempDir() + "things-assets";
    std::filesystem::remove_all(dir);
    content::AssetContext context{dir, "", Draft()};
    for (const std::string& name : {std::string(wc::Art().items[4].picture), std::string(wc::Art().BookPages("letters")[3])}) {
        const auto asset = std::find_if(rendered.begin(), rendered.end(), [&name](const content::Asset& a) { return a.name == name; });
        ASSERT_NE(asset, rendered.end()) << name;
        asset->make(context);
    }
    // The lamp's picture and both masks share the picture's offset; a page shares its book's.
    const int itemOffset = wc::ItemOffset(wc::Art().items[4]);
    for (const char* path : {wc::Art().items[4].picture, wc::Art().items[4].alpha1, wc::Art().items[4].alpha2}) {
        const imaging::Image image = ReadBack(dir, path, itemOffset);
        EXPECT_EQ(image.width, kItemSide) << path;
        EXPECT_EQ(image.height, kItemSide) << path;
    }
    const imaging::Image page = ReadBack(dir, wc::Art().BookPages("letters")[3], wc::BookOffset(wc::Art().BookPages("letters").data()));
    EXPECT_EQ(page.width, content::kFlatWidth);
    std::filesystem::remove_all(dir);
}

}  // namespace
