// CD3DFont: atlas layout, measuring, and text drawn for real on the headless device.
#include "display/cd3dfont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "platform/font/font_face.h"
#include "platform/gfx/device.h"
#include "support/harness.h"

namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kTextColour = 0xFFEDB469;  // the game's text colour
constexpr int kWidth = gfx::kBackBufferWidth;
constexpr int kHeight = gfx::kBackBufferHeight;

using Frame = std::vector<std::uint32_t>;

struct InkBox {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;  // right, bottom exclusive
    bool Empty() const { return right < 0; }
};

// The largest difference of one colour channel between two frames, in levels of 255.
int LargestDifference(const Frame& a, const Frame& b)
{
    int largest = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                                 static_cast<int>((b[i] >> shift) & 0xFF)));
    return a.size() == b.size() ? largest : 255;
}

// Bounding box of every non-black pixel inside [x0, x1) x [y0, y1).
InkBox FindInk(const Frame& frame, int x0 = 0, int y0 = 0, int x1 = kWidth, int y1 = kHeight)
{
    InkBox box;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if ((frame[y * kWidth + x] & 0x00FFFFFF) != 0) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

class CD3DFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kt::ResetDevice();
        device = &kt::GetDevice();
        D3DCAPS9 caps{};
        device->GetDeviceCaps(&caps);
        maxTextureWidth = caps.MaxTextureWidth;
    }
    void TearDown() override { device->SetMaxTextureSizeForTesting(maxTextureWidth); }

    std::unique_ptr<CD3DFont> MakeFont(DWORD points = 14, DWORD flags = 0)
    {
        auto font = std::make_unique<CD3DFont>("Times New Roman", points, flags);
        EXPECT_EQ(font->InitDeviceObjects(device), S_OK);
        EXPECT_EQ(font->RestoreDeviceObjects(), S_OK);
        return font;
    }

    // Clears to black, runs `draw` inside a scene and reads the frame back.
    template <class Draw>
    Frame Render(Draw draw)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
        device->BeginScene();
        draw();
        device->EndScene();
        return kt::ReadBack();
    }

    Frame RenderText(CD3DFont& font, float x, float y, const char* text, DWORD flags = 0,
                     D3DCOLOR colour = kWhite)
    {
        return Render([&] { EXPECT_EQ(font.DrawTextA(x, y, colour, text, flags), S_OK); });
    }

    SIZE Extent(const CD3DFont& font, const char* text)
    {
        SIZE size{-1, -1};
        EXPECT_EQ(font.GetTextExtent(text, &size), S_OK);
        return size;
    }

    gfx::Device* device = nullptr;
    DWORD maxTextureWidth = 0;
};

// The atlas is as wide as the first doubling from 128 whose square holds the ASCII characters,
// and as tall as the first doubling of that width that holds the Latin-1 ones below them.
TEST_F(CD3DFontTest, AtlasIsAsWideAsASCIINeedsAndAsTallAsLatin1Needs)
{
    EXPECT_EQ(MakeFont(6)->get_TexWidth(), 128u) << "a small font fits the first atlas";

    DWORD previous = 0;
    for (DWORD points : {6u, 14u, 15u, 40u}) {
        auto font = MakeFont(points);
        const DWORD width = font->get_TexWidth(), height = font->get_TexHeight();
        EXPECT_EQ(width & (width - 1), 0u) << points << " pt: a power of two";
        EXPECT_GE(width, std::max<DWORD>(128, previous)) << points << " pt";
        EXPECT_EQ(height % width, 0u) << points << " pt";
        EXPECT_EQ((height / width) & (height / width - 1), 0u) << points << " pt: a doubling of the width";
        EXPECT_EQ(font->get_TextScale(), 1.0f);
        previous = width;

        if (width == 128 && height == 128)
            continue;
        // Half the size would not have held the alphabet: a device limited to it must shrink.
        const DWORD half = std::max(width, height) / 2;
        device->SetMaxTextureSizeForTesting(half);
        CD3DFont limited("Times New Roman", points, 0);
        ASSERT_EQ(limited.InitDeviceObjects(device), S_OK) << points << " pt";
        EXPECT_LE(limited.get_TexWidth(), half);
        EXPECT_LE(limited.get_TexHeight(), half);
        EXPECT_LT(limited.get_TextScale(), 1.0f) << points << " pt: did not fit in half the size";
        device->SetMaxTextureSizeForTesting(maxTextureWidth);
    }
}

TEST_F(CD3DFontTest, ExtentsAddUpLineByLine)
{
    auto font = MakeFont();
    const SIZE a = Extent(*font, "A");
    const SIZE b = Extent(*font, "B");
    const SIZE ab = Extent(*font, "AB");
    const SIZE space = Extent(*font, " ");
    EXPECT_GT(a.cx, 0);
    EXPECT_GT(space.cx, 0) << "a space counts";
    EXPECT_EQ(ab.cx, a.cx + b.cx);
    EXPECT_EQ(Extent(*font, "A B").cx, a.cx + space.cx + b.cx);
    EXPECT_EQ(ab.cy, a.cy);
    EXPECT_EQ(Extent(*font, "").cx, 0);
    EXPECT_EQ(Extent(*font, "").cy, a.cy) << "an empty text is one empty line";

    const SIZE twoLines = Extent(*font, "A\nBB");
    EXPECT_EQ(twoLines.cx, Extent(*font, "BB").cx) << "the widest line";
    EXPECT_EQ(twoLines.cy, 2 * a.cy) << "a line feed adds a line height";
    EXPECT_EQ(Extent(*font, "AB\n").cy, 2 * a.cy);

    // Control codes (below 32 and 127..159) count for nothing; Latin-1 letters count.
    EXPECT_EQ(Extent(*font, "A\x80\x9F\x7F\x01\tB").cx, ab.cx);
    EXPECT_GT(Extent(*font, "A\xC9").cx, a.cx);
    EXPECT_EQ(Extent(*font, "\xC9\xE7").cx, Extent(*font, "\xC9").cx + Extent(*font, "\xE7").cx);

    auto bold = MakeFont(14, D3DFONT_BOLD);
    EXPECT_GT(Extent(*bold, "Kelvane 1.1").cx, Extent(*font, "Kelvane 1.1").cx);
}

TEST_F(CD3DFontTest, GlyphLandsTexelExactInTheRequestedColourWithEitherFilter)
{
    auto font = MakeFont();
    const Frame frame = RenderText(*font, 100, 50, "H", 0, kTextColour);
    // The same glyph rasterised directly: each pixel is the colour scaled by the coverage
    // kept in the atlas (4 bits), with nothing where the coverage rounds down to zero.
    auto face = platform::FontFace::Open("Times New Roman", 19, false, false);
    std::vector<std::uint8_t> coverage(64 * 64, 0);
    face->Draw("H", 16, 16, {coverage.data(), 64, 64, 64});
    int solid = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int alpha = coverage[y * 64 + x] >> 4;
            const std::uint32_t pixel = frame[(50 - 16 + y) * kWidth + (100 - 16 + x)];
            const int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
            ASSERT_NEAR(red, 0xED * alpha / 15, 2) << "at " << x - 16 << "," << y - 16;
            ASSERT_NEAR(green, 0xB4 * alpha / 15, 2) << "at " << x - 16 << "," << y - 16;
            ASSERT_NEAR(blue, 0x69 * alpha / 15, 2) << "at " << x - 16 << "," << y - 16;
            solid += alpha == 15;
        }
    EXPECT_GT(solid, 10) << "the stems are fully covered and show the colour itself";

    // On whole pixels every texel centre meets a pixel centre, so bilinear filtering changes
    // nothing but a rounding step (the rasteriser weighs texels to 1/256 on its fast path);
    // half a pixel off it blends neighbouring texels.
    EXPECT_LE(LargestDifference(RenderText(*font, 100, 50, "H", D3DFONT_FILTERED, kTextColour), frame), 2);
    EXPECT_GT(LargestDifference(RenderText(*font, 100.5f, 50, "H", D3DFONT_FILTERED), RenderText(*font, 100.5f, 50, "H")),
              40);
}

// A filtered glyph a fraction f off whole pixels both ways: each pixel weighs the texel up and
// left of it by f and its own by 1 - f. The fringe a texel beyond the ink takes part on every
// side, so a glyph drawn over only its inked part of the cell loses nothing. (Below its cell,
// where a descender's last row would bleed, a glyph never drew.)
TEST_F(CD3DFontTest, AFilteredGlyphBetweenPixelsKeepsItsWholeFringe)
{
    auto font = MakeFont();
    auto face = platform::FontFace::Open("Times New Roman", 19, false, false);
    for (const char* glyph : {"W", "g", "j", "%"}) {
        std::vector<std::uint8_t> coverage(64 * 64, 0);
        face->Draw(glyph, 16, 16, {coverage.data(), 64, 64, 64});
        const auto step = [&](int x, int y) {
            return x < 0 || y < 0 || x >= 64 || y >= 64 ? 0 : coverage[y * 64 + x] >> 4;
        };
        const int cellHeight = static_cast<int>(Extent(*font, glyph).cy);
        for (const float f : {0.25f, 0.5f, 0.75f}) {
            const Frame frame = RenderText(*font, 100 + f, 50 + f, glyph, D3DFONT_FILTERED);
            int fringe = 0;
            for (int y = 0; y < 16 + cellHeight; ++y)
                for (int x = 0; x < 64; ++x) {
                    // The texels' white (where inked) and alpha, each weighed, blended over black.
                    double white = 0.0, alpha = 0.0;
                    for (const auto& [dx, dy] : {std::pair{-1, -1}, {0, -1}, {-1, 0}, {0, 0}}) {
                        const double weight = (dx ? f : 1.0 - f) * (dy ? f : 1.0 - f);
                        white += weight * (step(x + dx, y + dy) > 0);
                        alpha += weight * step(x + dx, y + dy) / 15.0;
                    }
                    const int expected = static_cast<int>(255.0 * white * alpha + 0.5);
                    const int blue = static_cast<int>(frame[(50 - 16 + y) * kWidth + (100 - 16 + x)] & 0xFF);
                    ASSERT_NEAR(blue, expected, 3) << glyph << " off by " << f << " at " << x - 16 << "," << y - 16;
                    fringe += step(x, y) == 0 && expected > 0;
                }
            EXPECT_GT(fringe, 10) << glyph << ": pixels beside the ink take part of it";
        }
    }
}

TEST_F(CD3DFontTest, UnfilteredTextStartsOnAWholePixelTheSameEveryFrame)
{
    auto font = MakeFont();
    const Frame whole = RenderText(*font, 300, 200, "Kelvane, AVWA");
    const Frame next = RenderText(*font, 301, 201, "Kelvane, AVWA");
    ASSERT_NE(whole, next);
    for (int frame = 0; frame < 20; ++frame) {
        EXPECT_EQ(RenderText(*font, 300.5f, 200.5f, "Kelvane, AVWA"), whole) << "a half goes down, frame " << frame;
        EXPECT_EQ(RenderText(*font, 300.7f, 200.6f, "Kelvane, AVWA"), next) << "frame " << frame;
        EXPECT_EQ(RenderText(*font, 300.2f, 199.6f, "Kelvane, AVWA"), whole) << "frame " << frame;
    }
}

// Glyphs in an opaque colour are drawn without the alpha test (it could not change them); in a
// translucent colour the test still cuts coverage that falls under its reference.
TEST_F(CD3DFontTest, TheAlphaTestCutsOnlyWhatATranslucentColourMakesFaint)
{
    auto font = MakeFont();
    // The least coverage step (17 of 255) in an opaque colour passes, so an opaque glyph is
    // as tall and wide with the test on as without.
    const Frame opaque = RenderText(*font, 100, 50, "Wg", 0, kWhite);
    const InkBox box = FindInk(opaque);
    ASSERT_FALSE(box.Empty());
    // At alpha 64 of 255 the least step weighs 17 * 64 / 255 = 4 of 255: under the reference
    // of 8, so the faintest edge pixels are cut and the ink shrinks to fewer pixels.
    const Frame faint = RenderText(*font, 100, 50, "Wg", 0, 0x40FFFFFF);
    int opaqueInk = 0, faintInk = 0;
    for (size_t i = 0; i < opaque.size(); ++i) {
        opaqueInk += (opaque[i] & 0xFFFFFF) != 0;
        faintInk += (faint[i] & 0xFFFFFF) != 0;
    }
    EXPECT_GT(faintInk, 0);
    EXPECT_LT(faintInk, opaqueInk);
    // Where the faint text draws, it is the opaque text scaled by its alpha.
    for (size_t i = 0; i < opaque.size(); ++i) {
        if ((faint[i] & 0xFF) == 0) continue;
        ASSERT_NEAR(static_cast<int>(faint[i] & 0xFF), static_cast<int>((opaque[i] & 0xFF) * 64 / 255), 2);
    }
}

TEST_F(CD3DFontTest, LineFeedStartsTheNextLineAtTheSameX)
{
    auto font = MakeFont();
    const float lineHeight = static_cast<float>(Extent(*font, "A").cy);
    const Frame twoLines = RenderText(*font, 100, 200, "A\nB");
    const Frame separate = Render([&] {
        font->DrawTextA(100, 200, kWhite, "A", 0);
        font->DrawTextA(100, 200 + lineHeight, kWhite, "B", 0);
    });
    EXPECT_EQ(twoLines, separate);
    const InkBox a = FindInk(twoLines, 0, 0, kWidth, 200 + static_cast<int>(lineHeight));
    const InkBox b = FindInk(twoLines, 0, 200 + static_cast<int>(lineHeight), kWidth, kHeight);
    ASSERT_FALSE(a.Empty());
    ASSERT_FALSE(b.Empty());
    EXPECT_NEAR(b.left, a.left, 2) << "B starts under A";
    EXPECT_NEAR(b.bottom - a.bottom, lineHeight, 1) << "B's baseline is one line lower";
}

TEST_F(CD3DFontTest, CentringUsesTheFirstLineAndTheViewport)
{
    auto font = MakeFont();
    const char* text = "AB\nWWWWWWWWWWWW";
    const SIZE first = Extent(*font, "AB");
    const float centredX = (kWidth - first.cx) / 2.0f;
    const float centredY = (kHeight - first.cy) / 2.0f;
    EXPECT_EQ(RenderText(*font, 0, 120, text, D3DFONT_CENTERED_X), RenderText(*font, centredX, 120, text));
    EXPECT_EQ(RenderText(*font, 30, 0, text, D3DFONT_CENTERED_Y), RenderText(*font, 30, centredY, text));

    // The viewport's size is what is centred in.
    const Frame half = Render([&] {
        device->SetViewport(D3DVIEWPORT9{0, 0, 400, 600, 0.0f, 1.0f});
        EXPECT_EQ(font->DrawTextA(0, 120, kWhite, "AB", D3DFONT_CENTERED_X), S_OK);
    });
    const InkBox box = FindInk(half);
    ASSERT_FALSE(box.Empty());
    EXPECT_NEAR((box.left + box.right) / 2.0, 200.0, 3.0);
}

TEST_F(CD3DFontTest, ControlCodesDrawNothing)
{
    auto font = MakeFont();
    const Frame plain = RenderText(*font, 50, 60, "AB");
    EXPECT_EQ(RenderText(*font, 50, 60, "A\x80\x9F\x85\x7F\x01\tB"), plain);
    EXPECT_EQ(RenderText(*font, 50, 60, "\x81\x90"), RenderText(*font, 50, 60, ""));
    EXPECT_TRUE(FindInk(RenderText(*font, 50, 60, "   ")).Empty()) << "spaces draw nothing";
}

// A Latin-1 letter leaves the whole ink of its own glyph, in the right place: each pixel is the
// colour scaled by the rasterised glyph's coverage, as an ASCII letter is, for letters from
// the first to the last of the upper half, in the styles the game draws with. At 6 points the
// accents over capitals reach above the line, at 15 a cedilla below it: neither is cut.
TEST_F(CD3DFontTest, Latin1LettersDrawTheirOwnGlyphs)
{
    for (const auto& [points, pixels, flags] : {std::tuple{6u, 8, DWORD{0}}, std::tuple{15u, 20, DWORD{0}},
                                                std::tuple{15u, 20, D3DFONT_BOLD}, std::tuple{15u, 20, D3DFONT_ITALIC}}) {
        auto font = MakeFont(points, flags);
        auto face = platform::FontFace::Open("Times New Roman", pixels, flags & D3DFONT_BOLD, flags & D3DFONT_ITALIC);
        for (const char* letter : {"\xC0", "\xC7", "\xE1", "\xE7", "\xEB", "\xEE", "\xF1", "\xF6", "\xFF", "\xA9"}) {
            const Frame frame = RenderText(*font, 100, 50, letter, 0, kTextColour);
            std::vector<std::uint8_t> coverage(64 * 64, 0);
            face->Draw(letter, 16, 16, {coverage.data(), 64, 64, 64});
            int inked = 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) {
                    const int alpha = coverage[y * 64 + x] >> 4;
                    const std::uint32_t pixel = frame[(50 - 16 + y) * kWidth + (100 - 16 + x)];
                    ASSERT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 0xED * alpha / 15, 2)
                        << "code " << (static_cast<unsigned char>(*letter) + 0) << ", " << points << " pt, flags "
                        << flags << ", at "
                        << x - 16 << "," << y - 16;
                    inked += alpha > 0;
                }
            EXPECT_GT(inked, 5) << "code " << (static_cast<unsigned char>(*letter) + 0) << " has ink";
            EXPECT_EQ(Extent(*font, letter).cx, face->Measure(letter).cx);
        }
        // An accent is ink of its own: the accented letter is not its base letter.
        EXPECT_NE(RenderText(*font, 100, 50, "\xE9"), RenderText(*font, 100, 50, "e"));
        EXPECT_NE(RenderText(*font, 100, 50, "\xE9"), RenderText(*font, 100, 50, "\xE8"));
    }
}

TEST_F(CD3DFontTest, LongTextCrossesTheBatchLimitAndDrawsEveryGlyph)
{
    auto font = MakeFont(6);
    // Three lines of 100 glyphs: the draw that holds 256 glyphs ends in the third line.
    std::string line;
    for (int i = 0; i < 100; ++i)
        line += static_cast<char>('A' + i % 26);
    ASSERT_LT(Extent(*font, line.c_str()).cx, kWidth - 20);
    const float lineHeight = static_cast<float>(Extent(*font, "A").cy);
    const std::string text = line + "\n" + line + "\n" + line;

    const Frame whole = RenderText(*font, 10, 300, text.c_str());
    const Frame pieces = Render([&] {
        for (int i = 0; i < 3; ++i)
            font->DrawTextA(10, 300 + i * lineHeight, kWhite, line.c_str(), 0);
    });
    EXPECT_EQ(whole, pieces);
    const InkBox last = FindInk(whole, kWidth / 2, 300 + 2 * static_cast<int>(lineHeight), kWidth, kHeight);
    EXPECT_FALSE(last.Empty()) << "the glyphs after the first draw's 256 were drawn";
}

// A batch of strings is the same picture as the strings drawn one by one in its order: colours
// opaque and translucent mixed (the alpha test goes on and off between them), strings that
// overlap (the later blends over the earlier), more glyphs than one draw holds, filtered or
// not, centred or not.
TEST_F(CD3DFontTest, ABatchDrawsWhatItsStringsDrawOneByOne)
{
    auto font = MakeFont(12);
    const std::string longLine(150, 'M');
    const std::vector<CD3DFont::TextRun> runs = {
        {20.25f, 40.75f, kWhite, "Slot 01"},
        {22.25f, 41, 0x80FF4020u, "Slot 01"},
        {20, 100, 0xFF30C0FFu, longLine.c_str()},
        {40, 130, 0x40FFFFFFu, longLine.c_str()},
        {60, 160, 0xFFFFFF00u, "Two\nlines"},
        {300, 400, kWhite, ""},
        {300, 420, 0xC0FFFFFFu, "Wg%j"},
    };
    for (DWORD flags : {DWORD{0}, D3DFONT_FILTERED, D3DFONT_CENTERED_X | D3DFONT_FILTERED}) {
        const Frame batch = Render([&] { EXPECT_EQ(font->DrawTexts(runs, flags), S_OK); });
        const Frame oneByOne = Render([&] {
            for (const CD3DFont::TextRun& run : runs)
                EXPECT_EQ(font->DrawTextA(run.x, run.y, run.colour, run.text, flags), S_OK);
        });
        EXPECT_EQ(batch, oneByOne) << "flags " << flags;
        EXPECT_FALSE(FindInk(batch, 0, 420, kWidth, kHeight).Empty()) << "the last string was drawn";
    }
    // A string without text fails the whole batch before anything is drawn.
    const std::vector<CD3DFont::TextRun> broken = {{20, 40, kWhite, "drawn?"}, {20, 80, kWhite, nullptr}};
    const Frame refused = Render([&] { EXPECT_EQ(font->DrawTexts(broken), E_FAIL); });
    EXPECT_TRUE(FindInk(refused).Empty());
}

// A snapshot of every state the text renderer touches, and some it does not.
struct DeviceStates {
    std::vector<DWORD> render, stage, sampler;
    gfx::Texture* texture0;
    bool operator==(const DeviceStates&) const = default;
};

DeviceStates Snapshot(const gfx::Device& device)
{
    DeviceStates states;
    for (unsigned s = 0; s < kRenderStateCount; ++s)
        states.render.push_back(device.GetRenderState(static_cast<D3DRENDERSTATETYPE>(s)));
    for (DWORD stage = 0; stage < 2; ++stage)
        for (unsigned t = 0; t < kTextureStageStateCount; ++t)
            states.stage.push_back(device.GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(t)));
    for (unsigned t = 0; t < kSamplerStateCount; ++t)
        states.sampler.push_back(device.GetSamplerState(0, static_cast<D3DSAMPLERSTATETYPE>(t)));
    states.texture0 = device.GetTexture(0);
    return states;
}

TEST_F(CD3DFontTest, DrawingLeavesTheCallersStatesAsTheyWere)
{
    // A caller's state quite unlike the text renderer's.
    std::unique_ptr<gfx::Texture> own;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &own), S_OK);
    device->SetTexture(0, own.get());
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x40);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    const DeviceStates before = Snapshot(*device);

    auto font = MakeFont();
    EXPECT_EQ(Snapshot(*device), before) << "preparing the font changed the device's state";
    const Frame frame = Render([&] {
        EXPECT_EQ(font->DrawTextA(10, 10, kWhite, "Kelvane", 0), S_OK);
        EXPECT_EQ(font->DrawTextA(10, 40, kWhite, "Kelvane", D3DFONT_FILTERED | D3DFONT_CENTERED_X), S_OK);
    });
    EXPECT_EQ(Snapshot(*device), before) << "drawing text changed the device's state";
    EXPECT_FALSE(FindInk(frame).Empty());
    device->SetTexture(0, nullptr);
}

TEST_F(CD3DFontTest, ShrunkAtlasStillDrawsAndMeasuresAtTheRequestedSize)
{
    // A device whose textures are half the size the atlas wants: the font shrinks by about half.
    auto full = MakeFont(14);
    const DWORD limit = std::max(full->get_TexWidth(), full->get_TexHeight()) / 2;
    ASSERT_GE(limit, 128u);
    device->SetMaxTextureSizeForTesting(limit);
    auto shrunk = MakeFont(14);
    EXPECT_LE(shrunk->get_TexWidth(), limit);
    EXPECT_LE(shrunk->get_TexHeight(), limit);
    ASSERT_LT(shrunk->get_TextScale(), 1.0f);

    const SIZE wanted = Extent(*full, "Kelvane loading");
    const SIZE got = Extent(*shrunk, "Kelvane loading");
    EXPECT_NEAR(got.cx, wanted.cx, wanted.cx / 8);
    EXPECT_NEAR(got.cy, wanted.cy, 3);

    // Drawn lines are one measured line height apart, as GetTextExtent says.
    const Frame frame = RenderText(*shrunk, 100, 100, "H\nH");
    const int lineHeight = Extent(*shrunk, "H").cy;
    const InkBox first = FindInk(frame, 0, 0, kWidth, 100 + lineHeight);
    const InkBox second = FindInk(frame, 0, 100 + lineHeight, kWidth, kHeight);
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    EXPECT_NEAR(second.top - first.top, lineHeight, 1);
    const InkBox wide = FindInk(RenderText(*shrunk, 100, 300, "Kelvane loading"));
    EXPECT_LE(wide.right - wide.left, got.cx + 2) << "the drawn text is as wide as measured";
}

TEST_F(CD3DFontTest, ReportsFailureInsteadOfDrawingWithoutItsObjects)
{
    CD3DFont font("Times New Roman", 14, 0);
    SIZE size{7, 7};
    EXPECT_EQ(font.GetTextExtent("A", &size), E_FAIL);
    EXPECT_EQ(font.DrawTextA(0, 0, kWhite, "A", 0), E_FAIL);
    EXPECT_EQ(font.RestoreDeviceObjects(), E_FAIL) << "no device yet";
    EXPECT_EQ(font.InitDeviceObjects(nullptr), E_FAIL);
    ASSERT_EQ(font.InitDeviceObjects(device), S_OK);
    EXPECT_EQ(font.DrawTextA(0, 0, kWhite, "A", 0), E_FAIL) << "no vertex buffer yet";
    ASSERT_EQ(font.RestoreDeviceObjects(), S_OK);
    EXPECT_EQ(font.GetTextExtent(nullptr, &size), E_FAIL);
    EXPECT_EQ(font.DrawTextA(0, 0, kWhite, nullptr, 0), E_FAIL);
    font.InvalidateDeviceObjects();
    EXPECT_EQ(font.DrawTextA(0, 0, kWhite, "A", 0), E_FAIL);
    EXPECT_EQ(font.GetTextExtent("A", &size), S_OK) << "measuring needs only the atlas";
    font.DeleteDeviceObjects();
    EXPECT_EQ(font.GetTextExtent("A", &size), E_FAIL);

    // An over-long face name is cut, not overrun; the nearest installed face stands in.
    CD3DFont longName(std::string(300, 'Q').c_str(), 14, 0);
    EXPECT_EQ(longName.InitDeviceObjects(device), S_OK);
}

TEST_F(CD3DFontTest, LoadingBannerReadsCentred)
{
    auto font = MakeFont();
    const SIZE t = Extent(*font, "Kelvane 1.1");
    const SIZE b = Extent(*font, "(built 8 Jan 2005)");
    const SIZE l = Extent(*font, "...Loading...");
    const Frame frame = Render([&] {
        font->DrawTextA((800 - t.cx) / 2.0f, 300.0f - 2 * b.cy, kTextColour, "Kelvane 1.1", 0);
        font->DrawTextA((800 - b.cx) / 2.0f, 300.0f - t.cy, kTextColour, "(built 8 Jan 2005)", 0);
        font->DrawTextA((800 - l.cx) / 2.0f, 300.0f, kTextColour, "...Loading...", 0);
        font->DrawTextA(10, 10, 0xFFFFFF00, "Kelvane error.", 0);
        font->DrawTextA(10, 30, 0xFFC80000, "There has been an error, Kelvane will now close.", 0);
    });
    for (int line = 0; line < 3; ++line) {
        const int top = 300 - (2 - line) * t.cy;
        const InkBox box = FindInk(frame, 0, top, kWidth, top + t.cy);
        ASSERT_FALSE(box.Empty()) << "line " << line;
        EXPECT_NEAR((box.left + box.right) / 2.0, 400.0, 3.0) << "line " << line;
    }
    if (const char* dir = std::getenv("KELVANE_TEST_FRAMES")) {
        EXPECT_TRUE(kt::SavePng(frame, kWidth, kHeight, std::string(dir) + "/cd3dfont_banner.png"));
    }
}

}  // namespace
