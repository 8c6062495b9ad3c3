// FontFace: matching, measuring and painting coverage, without any graphics device.
#include "platform/font/font_face.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/error.h"

namespace {

using platform::CoverageBitmap;
using platform::FontFace;

constexpr int kPixelHeight = 19;  // 14 points at 96 dots per inch

struct Canvas {
    Canvas(int width, int height) : width(width), height(height), pixels(width * height, 0) {}
    CoverageBitmap View() { return {pixels.data(), width, height, width}; }
    std::uint8_t At(int x, int y) const { return pixels[y * width + x]; }
    // Bounding box of all ink: left, top, right (exclusive), bottom (exclusive).
    std::array<int, 4> InkBox() const
    {
        std::array<int, 4> box{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y)) {
                    box[0] = std::min(box[0], x);
                    box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x + 1);
                    box[3] = std::max(box[3], y + 1);
                }
        return box;
    }
    int width, height;
    std::vector<std::uint8_t> pixels;
};

class FontFaceTest : public ::testing::Test {
protected:
    void SetUp() override { face = FontFace::Open("Times New Roman", kPixelHeight, false, false); }
    std::unique_ptr<FontFace> face;
};

TEST_F(FontFaceTest, WidthsAddUpAndLineHeightIsAscentPlusDescent)
{
    const auto a = face->Measure("A");
    const auto b = face->Measure("B");
    const auto space = face->Measure(" ");
    const auto both = face->Measure("A B");
    EXPECT_GT(a.cx, 0);
    EXPECT_GT(space.cx, 0) << "a space advances";
    EXPECT_EQ(both.cx, a.cx + space.cx + b.cx) << "no kerning: widths add up";
    EXPECT_EQ(a.cy, face->Ascent() + face->Descent());
    EXPECT_EQ(both.cy, a.cy) << "the height of one line does not depend on the text";
    EXPECT_EQ(face->Measure("").cx, 0);
    // A serif face's ascent + descent is a little more than its em square.
    EXPECT_GE(a.cy, kPixelHeight);
    EXPECT_LE(a.cy, kPixelHeight * 3 / 2);
}

TEST_F(FontFaceTest, InkLiesInsideTheLineBoxAtTheRequestedOrigin)
{
    Canvas canvas(64, 48);
    face->Draw("H", 10, 5, canvas.View());
    const auto box = canvas.InkBox();
    const int advance = face->Measure("H").cx;
    ASSERT_GE(box[2], 0) << "something was drawn";
    EXPECT_GE(box[0], 10);
    EXPECT_LE(box[2], 10 + advance + 1);
    EXPECT_GE(box[1], 5) << "top alignment: no ink above the line's top";
    // The stems of H stand on the baseline at y + ascent.
    EXPECT_EQ(box[3], 5 + face->Ascent());
    EXPECT_GE(box[3] - box[1], kPixelHeight / 2) << "a capital is more than half the em tall";

    // Spaces draw nothing; painting over a glyph does not add up coverage.
    const auto before = canvas.pixels;
    face->Draw("   ", 0, 0, canvas.View());
    face->Draw("H", 10, 5, canvas.View());
    EXPECT_EQ(canvas.pixels, before);

    // Moving the origin moves the ink by exactly the same amount.
    Canvas moved(64, 48);
    face->Draw("H", 13, 9, moved.View());
    const auto movedBox = moved.InkBox();
    EXPECT_EQ(movedBox[0], box[0] + 3);
    EXPECT_EQ(movedBox[1], box[1] + 4);
    for (int y = box[1]; y < box[3]; ++y)
        for (int x = box[0]; x < box[2]; ++x)
            ASSERT_EQ(canvas.At(x, y), moved.At(x + 3, y + 4)) << "at " << x << "," << y;
}

TEST_F(FontFaceTest, ClipsAtTheBitmapEdgesWithoutTouchingNeighbouringMemory)
{
    // A 20 x 12 bitmap inside a larger buffer: pitch 40, guard rows above and below.
    std::vector<std::uint8_t> memory(40 * 16, 0);
    CoverageBitmap view{memory.data() + 2 * 40, 20, 12, 40};
    face->Draw("WWWW", -6, -8, view);
    face->Draw("WWWW", 10, 6, view);
    int inside = 0;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 40; ++col) {
            const bool inView = row >= 2 && row < 14 && col < 20;
            if (!inView)
                ASSERT_EQ(memory[row * 40 + col], 0) << "wrote outside at row " << row << " col " << col;
            else
                inside += memory[row * 40 + col] != 0;
        }
    EXPECT_GT(inside, 0) << "the visible parts were still drawn";
}

TEST(FontFaceStyle, BoldIsWiderAndStylesDrawDifferently)
{
    auto plain = FontFace::Open("Times New Roman", kPixelHeight, false, false);
    auto bold = FontFace::Open("Times New Roman", kPixelHeight, true, false);
    auto italic = FontFace::Open("Times New Roman", kPixelHeight, false, true);
    const char* text = "Kelvane loading";
    EXPECT_GT(bold->Measure(text).cx, plain->Measure(text).cx);

    Canvas a(64, 32), b(64, 32);
    plain->Draw("l", 10, 2, a.View());
    italic->Draw("l", 10, 2, b.View());
    // An italic l leans right: its top ink starts further right than its bottom ink.
    auto rowStart = [](const Canvas& c, int y) {
        for (int x = 0; x < c.width; ++x)
            if (c.At(x, y) > 64)
                return x;
        return -1;
    };
    const auto box = b.InkBox();
    EXPECT_GT(rowStart(b, box[1] + 1), rowStart(b, box[3] - 2));
    EXPECT_NE(a.pixels, b.pixels);
}

TEST(FontFaceOpen, FallsBackForUnknownFamiliesAndRejectsANonPositiveHeight)
{
    EXPECT_GT(FontFace::Open("No Such Family Kelvane", kPixelHeight, false, false)->Measure("A").cx, 0);
    EXPECT_THROW(FontFace::Open("Times New Roman", 0, false, false), Error);
    EXPECT_THROW(FontFace::Open("Times New Roman", -14, false, false), Error);
}

}  // namespace
