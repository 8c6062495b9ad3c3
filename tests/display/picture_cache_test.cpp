// Pictures decoded ahead: the byte budget, which pictures make room for which, and pictures
// whose files change after they were decoded.
#include "display/picture_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <new>

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

// The worker's own failures (memory running out in a decoder, say) never end the game there:
// the failure is raised on the main thread when its picture is taken, and only then.
TEST_F(PictureCacheTest, AFailureOnTheWorkerIsRaisedWhenItsPictureIsTaken)
{
    const auto throwing = [](const std::string& path, int offset, const D3Dfunc::PictureShape& shape,
                             imaging::Image* out) {
        if (path.find("throws") != std::string::npos) throw std::bad_alloc();
        return D3Dfunc::DecodeEncryptedPicture(path, offset, shape, out, nullptr);
    };
    PictureCache cache(D3Dfunc::TextureShape(device), PictureCache::kDefaultBudget, throwing);
    const PictureCache::Key good = Picture("good.enc", kSide, kSide), bad = Picture("throws.enc", kSide, kSide),
                            unused = Picture("throws_too.enc", kSide, kSide);
    cache.Want({bad, good, unused});
    cache.WaitIdle();
    EXPECT_TRUE(cache.Holds(good));
    EXPECT_FALSE(cache.Holds(bad));
    EXPECT_NE(cache.Take(good), nullptr);
    EXPECT_THROW(cache.Take(bad), std::bad_alloc);
    EXPECT_EQ(cache.Take(bad), nullptr) << "raised once; entering then reads the file itself";
    // `unused` is never asked for: leaving the screen forgets its failure, and so does the end.
    cache.Want({good});
    cache.WaitIdle();
    EXPECT_EQ(cache.Take(unused), nullptr);
    cache.Want({unused});
    cache.WaitIdle();
}

// The picture being decoded holds its room from the start, so the budget is never exceeded,
// and a picture that cannot have room is not decoded at all.
TEST_F(PictureCacheTest, ThePictureBeingDecodedCountsInTheBudget)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool slowStarted = false, slowReleased = false;
    std::vector<std::string> decoded;
    const auto decoder = [&](const std::string& path, int offset, const D3Dfunc::PictureShape& shape,
                             imaging::Image* out) {
        std::unique_lock lock(mutex);
        decoded.push_back(std::filesystem::path(path).stem().string());
        if (decoded.back() == "slow") {
            slowStarted = true;
            changed.notify_all();
            changed.wait(lock, [&] { return slowReleased; });
        }
        return D3Dfunc::DecodeEncryptedPicture(path, offset, shape, out, nullptr);
    };
    PictureCache cache(D3Dfunc::TextureShape(device), 2 * kBytes, decoder);
    const PictureCache::Key a = Picture("a.enc", kSide, kSide), slow = Picture("slow.enc", kSide, kSide),
                            c = Picture("c.enc", kSide, kSide),
                            big = Picture("big.enc", 2 * kSide, 2 * kSide);  // four pictures' worth
    cache.Want({a, slow});
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return slowStarted; });
    }
    EXPECT_EQ(cache.get_BytesHeld(), 2 * kBytes) << "a held, and the picture being decoded";
    {
        std::lock_guard lock(mutex);
        slowReleased = true;
    }
    changed.notify_all();
    cache.WaitIdle();
    EXPECT_EQ(cache.get_BytesHeld(), 2 * kBytes);

    cache.Want({a, slow, c});  // no room while a and slow stay wanted
    cache.WaitIdle();
    cache.Want({big});  // larger than the whole budget
    cache.WaitIdle();
    EXPECT_EQ(decoded, (std::vector<std::string>{"a", "slow"})) << "pictures without room were decoded";
    EXPECT_EQ(cache.get_BytesHeld(), 2 * kBytes);
}
