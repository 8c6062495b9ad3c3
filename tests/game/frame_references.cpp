// Frames of the shipped game compared with references made from an earlier build: the
// replay of frames.txt writes its screenshots, and each is reduced to the mean colour of
// every 8 x 8 block and held against the reference of the same name in frames/ (PNG, 100 x
// 75). The drawing may change how it works, never what it shows: a block may differ by a
// rounding step, not by a visible amount.
//
// With KELVANE_UPDATE_FRAME_REFERENCES=1 the test writes the references instead.
// Runs in a directory holding the game's generated data/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/image.h"
#include "shell/replay.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBlock = 8;
// Largest difference of one channel of one block mean, and of the mean over every block
// and channel, in levels of 255. The software rasteriser weighs the samples of a picture drawn
// screen-aligned on its fast path to 1/256 of a texel, which moves a reduced picture's blocks
// by up to 2 levels here and there (a mean of about 0.26 on the closest views): the mean
// allows that and no more.
constexpr int kMaxBlockDifference = 3;
constexpr double kMaxMeanDifference = 0.4;

const fs::path kSourceDir = KELVANE_FRAMES_DIR;

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool LoadPng(const fs::path& path, imaging::Image* image, std::string* error)
{
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    if (bytes.empty()) {
        *error = path.string() + " is missing or empty";
        return false;
    }
    if (!imaging::DecodeImage(bytes.data(), bytes.size(), image, error)) {
        *error = path.string() + ": " + *error;
        return false;
    }
    return true;
}

// The mean of every kBlock x kBlock block, rounded; a partial block at the edges counts
// what it has.
imaging::Image BlockMeans(const imaging::Image& frame)
{
    imaging::Image means;
    means.width = (frame.width + kBlock - 1) / kBlock;
    means.height = (frame.height + kBlock - 1) / kBlock;
    means.pixels.assign(static_cast<std::size_t>(means.width) * means.height * 4, 0);
    for (int by = 0; by < means.height; ++by)
        for (int bx = 0; bx < means.width; ++bx) {
            unsigned sum[4] = {};
            unsigned count = 0;
            for (int y = by * kBlock; y < std::min(frame.height, (by + 1) * kBlock); ++y)
                for (int x = bx * kBlock; x < std::min(frame.width, (bx + 1) * kBlock); ++x) {
                    const std::uint8_t* p = frame.Row(y) + x * 4;
                    for (int c = 0; c < 4; ++c) sum[c] += p[c];
                    ++count;
                }
            std::uint8_t* out = means.Row(by) + bx * 4;
            for (int c = 0; c < 4; ++c) out[c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    return means;
}

// Empty when `actual` matches `reference` within the tolerances; else what differs.
std::string Compare(const imaging::Image& actual, const imaging::Image& reference)
{
    if (actual.width != reference.width || actual.height != reference.height)
        return "block grid " + std::to_string(actual.width) + " x " + std::to_string(actual.height) +
               ", reference " + std::to_string(reference.width) + " x " + std::to_string(reference.height);
    int worst = 0, worstX = 0, worstY = 0;
    double total = 0.0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            for (int c = 0; c < 4; ++c) {
                const int d = std::abs(actual.Row(y)[x * 4 + c] - reference.Row(y)[x * 4 + c]);
                total += d;
                if (d > worst) {
                    worst = d;
                    worstX = x;
                    worstY = y;
                }
            }
    const double mean = total / (static_cast<double>(actual.width) * actual.height * 4);
    if (worst <= kMaxBlockDifference && mean <= kMaxMeanDifference) return {};
    std::ostringstream why;
    why << "the block at pixels (" << worstX * kBlock << ", " << worstY * kBlock << ") differs by " << worst
        << " levels (at most " << kMaxBlockDifference << "), the mean difference is " << mean << " (at most "
        << kMaxMeanDifference << ")";
    return why.str();
}

// Every `screenshot NAME` of the script, in order.
std::vector<std::string> ShotNames(const std::string& script)
{
    std::vector<std::string> names;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string verb, name;
        if (words >> verb >> name && verb == "screenshot") names.push_back(name);
    }
    return names;
}

TEST(GameFrames, WalkthroughFramesMatchTheirReferences)
{
    const std::vector<std::uint8_t> scriptBytes = ReadFile(kSourceDir / "frames.txt");
    const std::string script(scriptBytes.begin(), scriptBytes.end());
    const std::vector<std::string> shots = ShotNames(script);
    ASSERT_GE(shots.size(), 5u) << "frames.txt names too few screenshots";
    for (const std::string& shot : shots) fs::remove(shot);

    const ReplayResult result = RunReplay(script, ReplayOptions{});
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    ASSERT_TRUE(result.Passed()) << "after " << result.frames << " frames";

    const char* update = std::getenv("KELVANE_UPDATE_FRAME_REFERENCES");
    for (const std::string& shot : shots) {
        SCOPED_TRACE(shot);
        imaging::Image frame;
        std::string error;
        ASSERT_TRUE(LoadPng(shot, &frame, &error)) << error;
        const imaging::Image means = BlockMeans(frame);
        const fs::path referencePath = kSourceDir / "frames" / shot;
        if (update && *update == '1') {
            const std::vector<std::uint8_t> png = imaging::EncodePng(means);
            std::ofstream(referencePath, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            continue;
        }
        imaging::Image reference;
        ASSERT_TRUE(LoadPng(referencePath, &reference, &error)) << error;
        const std::string difference = Compare(means, reference);
        EXPECT_TRUE(difference.empty()) << shot << " (written to " << fs::absolute(shot).string()
                                        << ") against " << referencePath.string() << ": " << difference;
    }
}

}  // namespace
