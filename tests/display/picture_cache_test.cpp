// Pictures decoded ahead: the byte budget, which pictures make room for which, and pictures
// whose files change after they were decoded.
#include "display/picture_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "core/error.h"
#include "display_fixture.h"

namespace {

class PictureCacheTest : public kt::DisplayTest {
protected:
    // A PNG of `width` x `height` (four coloured quadrants), scrambled with offset 3; its key.
    PictureCache::Key Picture(const std::string& name, int width, int height, bool texture = false)
    {
        imaging::Image image = kt::QuadrantPicture(width, height);
        return PictureCache::Key{WriteScrambled(name, imaging::EncodePng(image), 3), 3, texture};
    }
    static constexpr int kSide = 16;
    static constexpr std::size_t kBytes = kSide * kSide * 4;  // one picture's pixels
};

}  // namespace

TEST_F(PictureCacheTest, LeastRecentlyShownGoesFirstAndWantedPicturesNeverMakeRoomForEachOther)
{
    PictureCache cache(D3Dfunc::TextureShape(device), 3 * kBytes);
    const PictureCache::Key a = Picture("a.enc", kSide, kSide), b = Picture("b.enc", kSide, kSide),
                            c = Picture("c.enc", kSide, kSide), d = Picture("d.enc", kSide, kSide),
                            e = Picture("e.enc", kSide, kSide);
    const auto held = [&] {
        std::string names;
        for (const auto* key : {&a, &b, &c, &d, &e})
            if (cache.Holds(*key)) names += std::filesystem::path(key->path).stem().string();
        return names;
    };

    cache.Want({a, b, c});
    cache.WaitIdle();
    EXPECT_EQ(held(), "abc");
    EXPECT_EQ(cache.get_BytesHeld(), 3 * kBytes);

    ASSERT_NE(cache.Take(a), nullptr);  // a is shown: now the most recently used
    cache.Want({d});
    cache.WaitIdle();
    EXPECT_EQ(held(), "acd") << "b, decoded before c and never shown, made room";
    cache.Want({e});
    cache.WaitIdle();
    EXPECT_EQ(held(), "ade") << "then c; a was shown after both were decoded";

    // Everything wanted at once does not fit: d and e stay wanted, the held a and d are kept,
    // e makes room for b, and c is left to be read when its screen is entered.
    cache.Want({a, b, c, d});
    cache.WaitIdle();
    EXPECT_EQ(held(), "abd");
    EXPECT_LE(cache.get_BytesHeld(), 3 * kBytes);
    EXPECT_EQ(cache.Take(c), nullptr);
    EXPECT_EQ(cache.get_Misses(), 1);
    EXPECT_EQ(cache.get_Hits(), 1);
}

TEST_F(PictureCacheTest, AtMost64MiBAreHeldAhead)
{
    // Texture-shaped pictures of 8 MiB each fill the budget (a whole number of them) exactly;
    // one more does not fit while all are wanted.
    constexpr std::size_t kPicture = std::size_t{8} << 20;
    static_assert(PictureCache::kDefaultBudget % kPicture == 0);
    const int fit = static_cast<int>(PictureCache::kDefaultBudget / kPicture);
    PictureCache cache(D3Dfunc::TextureShape(device));
    std::vector<PictureCache::Key> keys;
    for (int i = 0; i <= fit; ++i) keys.push_back(Picture("big" + std::to_string(i) + ".enc", 1500, 1000, true));
    cache.Want(keys);
    cache.WaitIdle();
    const auto count = std::count_if(keys.begin(), keys.end(), [&](const auto& key) { return cache.Holds(key); });
    EXPECT_EQ(count, fit);
    EXPECT_EQ(cache.get_BytesHeld(), PictureCache::kDefaultBudget);
    EXPECT_LE(PictureCache::kDefaultBudget, std::size_t{64} << 20);
    const auto picture = cache.Take(keys[0]);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 2048) << "in the texture loader's shape";
    EXPECT_EQ(picture->height, 1024);
}

TEST_F(PictureCacheTest, AChangedOrDamagedFileIsNeverTaken)
{
    PictureCache cache(D3Dfunc::TextureShape(device));
    const PictureCache::Key good = Picture("good.enc", kSide, kSide);
    const PictureCache::Key damaged{WriteFile("damaged.enc", {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8}), 0, false};
    const PictureCache::Key missing{(c_folder / "missing.enc").string(), 0, false};
    FailSafe::Info = L"None.";
    cache.Want({good, damaged, missing});
    cache.WaitIdle();
    EXPECT_TRUE(cache.Holds(good));
    EXPECT_FALSE(cache.Holds(damaged));
    EXPECT_FALSE(cache.Holds(missing));
    EXPECT_EQ(ToErrorScreenText(FailSafe::Info), "None.") << "failures ahead leave the error information alone";

    // The file is rewritten (another size) after its picture was decoded: that picture is dropped.
    imaging::Image other = kt::QuadrantPicture(kSide, kSide / 2);
    WriteScrambled("good.enc", imaging::EncodePng(other), 3);
    EXPECT_EQ(cache.Take(good), nullptr);
    EXPECT_FALSE(cache.Holds(good));
}
