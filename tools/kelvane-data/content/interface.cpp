#include "content/interface.h"

#include <algorithm>
#include <cmath>

#include "content/dmath.h"
#include "core/error.h"
#include "core/latin1_text.h"
#include "core/text_catalogue.h"

namespace content {

namespace {

const Rgb kGold = Hex(0xedb469);  // the game's text colour
const Rgb kInk = Hex(0x1a120c);
const Rgb kPaleGold = Hex(0xffe6b0);  // lettering that must read through the menu's veil

// The dusk sky, a ruined tower and the moon beside the title: the world the menu opens on.
// The menu always lies under a flickering veil of about half darkness, darkest towards the
// left, so the page is painted high-key: a bright sunset, a large moon and pale lettering.
void PaintMenuBackdrop(Canvas& c, std::uint32_t seed)
{
    c.ForEach([seed](float x, float y, Rgb& p) {
        const float t = y / kMenuHeight;
        p = Mix(Hex(0x36508c), Hex(0xf0a070), Smooth(0.05f, 0.75f, t));
        const float cloud = Fbm(seed, x, y * 2.5f, 200.0f, 0, 4);
        p = Mix(p, Hex(0xffd0a0), Smooth(0.55f, 0.85f, cloud) * 0.5f * t);
        if ((Hash(seed, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) & 2047u) == 0 && t < 0.3f)
            p = p + Rgb{0.7f, 0.7f, 0.8f};
    });
    // The moon stands in the open sky between the title and the buttons.
    c.Glow(390, 262, 150, Hex(0xfff0d0), 0.45f);
    c.FillEllipse(390, 262, 46, 46, Hex(0xfffaf0));
    // Hills and the tower in silhouette.
    c.Shade({0, 380, kMenuWidth, 220}, [seed](float x, float y) {
        return Clamp01(y - (470.0f - 80.0f * Fbm(seed + 5, x, 0, 220.0f, 0, 4)) + 0.5f);
    }, Hex(0x241a24));
    c.FillPolygon({{120, 560}, {130, 250}, {150, 235}, {220, 235}, {240, 250}, {250, 560}}, Hex(0x1c141c));
    c.FillPolygon({{125, 250}, {245, 250}, {230, 215}, {210, 225}, {200, 205}, {175, 222}, {160, 210}, {140, 228}}, Hex(0x1c141c));
    c.FillArch({172, 300, 22, 40}, Hex(0xffd080));
    c.Glow(183, 320, 40, Hex(0xffb050), 0.6f);
    c.FillRect({0, 560, kMenuWidth, 40}, Hex(0x140e14));
}

// The largest size up to `size` at which `text` is no wider than `width`.
int FittedSize(const std::string& text, int width, int size, bool bold)
{
    Canvas scratch(1, 1);
    const int wide = scratch.Text(text, 0, 0, size, Rgb{}, bold);
    return wide <= width ? size : std::max(8, size * width / wide);
}

void PaintButton(Canvas& c, const MenuButton& b)
{
    const Rect r{b.x1, b.y1, b.x2 - b.x1, b.y2 - b.y1};
    c.FillRoundRect({r.x - 3, r.y - 3, r.w + 6, r.h + 6}, 10.0f, Hex(0x050404));
    c.Shade(r, [r](float x, float y) {
        const float cx = std::clamp(x, r.x + 8.0f, r.Right() - 8.0f), cy = std::clamp(y, r.y + 8.0f, r.Bottom() - 8.0f);
        return Clamp01(8.5f - std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)));
    }, [r](float, float y) { return Mix(Hex(0x7a5a34), Hex(0x3a2816), (y - r.y) / r.h); });
    c.FillRoundRect({r.x + 4, r.y + 4, r.w - 8, 2}, 1.0f, kGold, 0.35f);
    const int size = FittedSize(b.label, static_cast<int>(r.w) - 16, std::min(34, static_cast<int>(r.h * 0.55f)), true);
    c.Text(b.label, static_cast<int>(r.CentreX()) + 2, static_cast<int>(r.CentreY() - size * 0.6f) + 2, size, kInk, true,
           false, TextAlign::Centre);
    c.Text(b.label, static_cast<int>(r.CentreX()), static_cast<int>(r.CentreY() - size * 0.6f), size, kPaleGold, true,
           false, TextAlign::Centre);
}

// The slot list of the restore and save pages: two columns of eight rows, labels at x 60
// (460), titles at x 100 (500), rows 50 pixels apart from y 130; the restore page has the
// autosave and the quick save in a row above them, at y 80. A dark, even panel so that the
// white, grey and pale yellow texts drawn on it stay readable.
void PaintSlotPanel(Canvas& c, bool topRow)
{
    const int top = topRow ? 68 : 118;
    c.FillRoundRect({36, static_cast<float>(top), 758, static_cast<float>(526 - top)}, 14.0f, Hex(0x07070a), 0.92f);
    for (int col = 0; col < 2; ++col)
        for (int row = topRow ? -1 : 0; row < 8; ++row) {
            const int x0 = 400 * col, y0 = 50 * row;
            c.FillRoundRect({100 + x0, 130 + y0, 290, 30}, 4.0f, Hex(0x16141a), 0.9f);
            c.Line(56 + x0, 163 + y0, 390 + x0, 163 + y0, 1.0f, kGold, row < 0 ? 0.35f : 0.15f);
        }
}

}  // namespace

InterfaceTexts InterfaceTexts::From(const TextCatalogue& texts)
{
    const auto text = [&texts](const std::string& id) {
        const std::string* found = texts.Find(id);
        if (found == nullptr) throw Error("the game's texts (kelvane.pot) have no \"" + id + "\" for the interface pictures");
        return Utf8ToLatin1(*found);
    };
    InterfaceTexts w;
    w.title = text("title.name");
    w.tagline = text("title.tagline");
    w.newGame = text("menu.new_game");
    w.settings = text("menu.settings");
    w.restore = text("menu.restore");
    w.credits = text("menu.credits");
    w.quit = text("menu.quit");
    w.back = text("menu.back");
    w.restoreTitle = text("menu.restore_title");
    w.saveTitle = text("menu.save_title");
    w.saveHint = text("menu.save_hint");
    w.creditsTitle = text("menu.credits_title");
    for (const char* id : {"menu.credits.game", "menu.credits.game_by", "menu.credits.story", "menu.credits.story_by",
                           "menu.credits.art", "menu.credits.art_by", "menu.credits.thanks"})
        w.creditsLines.push_back(text(id));
    w.topRestore = text("top.restore");
    w.topSave = text("top.save");
    w.topHints = text("top.hints");
    w.topJournal = text("top.journal");
    w.topQuit = text("top.quit");
    w.topSure = text("top.sure");
    w.topClickAgain = text("top.click_again");
    return w;
}

std::vector<MenuButton> ButtonsOf(MenuPage page, const InterfaceTexts& words)
{
    switch (page) {
    case MenuPage::Main:
        return {{500, 200, 738, 266, words.newGame}, {530, 300, 715, 350, words.restore},
                {537, 375, 710, 431, words.credits}, {558, 466, 694, 524, words.quit},
                {70, 466, 250, 524, words.settings}};
    case MenuPage::Restore:
    case MenuPage::Save: return {{0, 550, 150, 600, words.back}};
    case MenuPage::Credits: return {{505, 483, 599, 525, words.back}};
    }
    return {};
}

Canvas PaintMenuPage(MenuPage page, const InterfaceTexts& words)
{
    Canvas c(kMenuWidth, kMenuHeight);
    PaintMenuBackdrop(c, 401 + static_cast<std::uint32_t>(page));
    switch (page) {
    case MenuPage::Main:
        c.Text(words.title, 62, 44, FittedSize(words.title, 420, 86, true), kInk, true);
        c.Text(words.title, 58, 40, FittedSize(words.title, 420, 86, true), kPaleGold, true);
        c.Text(words.tagline, 67, 137, FittedSize(words.tagline, 440, 24, false), kInk, false, true);
        c.Text(words.tagline, 66, 136, FittedSize(words.tagline, 440, 24, false), kPaleGold, false, true);
        break;
    case MenuPage::Restore:
    case MenuPage::Save:
        c.Darken({0, 0, kMenuWidth, kMenuHeight}, 0.35f, 0.0f);
        if (page == MenuPage::Restore) {
            // The title stands higher: the game's own saves take the row under it.
            const int size = FittedSize(words.restoreTitle, 700, 48, true);
            c.Text(words.restoreTitle, 402, 12, size, kInk, true, false, TextAlign::Centre);
            c.Text(words.restoreTitle, 400, 10, size, kPaleGold, true, false, TextAlign::Centre);
        } else {
            const int size = FittedSize(words.saveTitle, 700, 52, true);
            c.Text(words.saveTitle, 402, 38, size, kInk, true, false, TextAlign::Centre);
            c.Text(words.saveTitle, 400, 36, size, kPaleGold, true, false, TextAlign::Centre);
            c.Text(words.saveHint, 400, 92, FittedSize(words.saveHint, 720, 20, false), kPaleGold * 0.9f, false, true,
                   TextAlign::Centre);
        }
        PaintSlotPanel(c, page == MenuPage::Restore);
        break;
    case MenuPage::Credits: {
        c.Darken({0, 0, kMenuWidth, kMenuHeight}, 0.4f, 0.0f);
        c.FillRoundRect({330, 60, 420, 400}, 14.0f, Hex(0x07070a), 0.85f);
        c.Text(words.creditsTitle, 540, 80, FittedSize(words.creditsTitle, 400, 48, true), kPaleGold, true, false,
               TextAlign::Centre);
        // Headings in bold, what they name in italics below them, a line between the pairs.
        for (std::size_t i = 0; i < words.creditsLines.size(); ++i) {
            const bool heading = i % 2 == 0;
            const std::string& line = words.creditsLines[i];
            c.Text(line, 540, 160 + 28 * static_cast<int>(i + i / 2), FittedSize(line, 400, 22, heading),
                   heading ? kPaleGold : kGold, heading, !heading, TextAlign::Centre);
        }
        break;
    }
    }
    for (const MenuButton& b : ButtonsOf(page, words)) PaintButton(c, b);
    return c;
}

Canvas PaintTopButton(TopButton button, const InterfaceTexts& words)
{
    Canvas c(kTopButtonWidth, kTopButtonHeight);
    const bool confirm = button == TopButton::Confirm;
    c.ForEach([](float, float y, Rgb& p) { p = Mix(Hex(0x2c2218), Hex(0x0e0a08), y / kTopButtonHeight); });
    c.FillRoundRect({8, 10, kTopButtonWidth - 16, kTopButtonHeight - 20}, 12.0f, confirm ? Hex(0x5a1a12) : Hex(0x3a2c1c));
    c.FillRoundRect({14, 16, kTopButtonWidth - 28, 3}, 1.0f, kGold, 0.4f);
    const std::string& label = button == TopButton::Restore   ? words.topRestore
                               : button == TopButton::Save    ? words.topSave
                               : button == TopButton::Quit    ? words.topQuit
                               : button == TopButton::Hints   ? words.topHints
                               : button == TopButton::Journal ? words.topJournal
                                                              : words.topSure;
    // Inside the rounded panel with a margin, as the short English words stand.
    const int size = FittedSize(label, kTopButtonWidth - 40, 40, true);
    const int drop = (40 - size) / 2;
    c.Text(label, kTopButtonWidth / 2 + 2, 28 + drop, size, kInk, true, false, TextAlign::Centre);
    c.Text(label, kTopButtonWidth / 2, 26 + drop, size, kGold, true, false, TextAlign::Centre);
    if (confirm)
        c.Text(words.topClickAgain, kTopButtonWidth / 2, 76, FittedSize(words.topClickAgain, kTopButtonWidth - 40, 22, false),
               kGold * 0.85f, false, true, TextAlign::Centre);
    return c;
}

namespace {

// An arrow pointer with its tip at (tipX, tipY), pointing up and to the left.
std::vector<std::pair<float, float>> PointerShape(float tipX, float tipY, float scale)
{
    const std::pair<float, float> shape[] = {{0, 0}, {0, 40}, {10, 31}, {17, 47}, {24, 44}, {17, 28}, {30, 28}};
    std::vector<std::pair<float, float>> points;
    for (auto [x, y] : shape) points.push_back({tipX + x * scale, tipY + y * scale});
    return points;
}

// A curved arrow turning to the left with its point at (tipX, tipY); mirrored when `right`.
void TurnArrow(Canvas& c, float tipX, float tipY, bool right, Rgb colour, float grow)
{
    const float dir = right ? -1.0f : 1.0f;
    // The shaft: an arc above the point, swinging back towards the arrow head.
    for (int i = 0; i < 24; ++i) {
        const double a0 = kPi * (0.15 + 0.7 * i / 24.0), a1 = kPi * (0.15 + 0.7 * (i + 1) / 24.0);
        const float cx = tipX + dir * 36.0f, cy = tipY + 10.0f, r = 30.0f;
        c.Line(cx - dir * float(Cos(a0)) * r, cy - float(Sin(a0)) * r, cx - dir * float(Cos(a1)) * r, cy - float(Sin(a1)) * r,
               9.0f + 2 * grow, colour);
    }
    c.FillPolygon({{tipX - dir * grow, tipY}, {tipX + dir * (20 + grow), tipY - 16 - grow}, {tipX + dir * (20 + grow), tipY + 16 + grow}},
                  colour);
}

// The centre of the sign beside the pointer that says what a click does.
constexpr float kSignX = 58, kSignY = 60;

// The sign, in the box x 34 .. 82, y 34 .. 86;
// `grow` widens every stroke (the outline under the sign, the mask round it).
void KindSign(Canvas& c, CursorKind kind, Rgb ink, float grow)
{
    const float cx = kSignX, cy = kSignY;
    const auto arrow = [&](float dir) {  // dir -1: pointing up, 1: pointing down
        c.Line(cx, cy - dir * 20, cx, cy + dir * 6, 9 + 2 * grow, ink);
        c.FillPolygon({{cx, cy + dir * (24 + grow)}, {cx - 18 - grow, cy + dir * (4 - grow)}, {cx + 18 + grow, cy + dir * (4 - grow)}},
                      ink);
    };
    switch (kind) {
    case CursorKind::Walk: arrow(-1); break;
    case CursorKind::Back: arrow(1); break;
    case CursorKind::Take:
        // A hand closing from above: the palm, four fingers bent down and the thumb.
        c.FillRoundRect({static_cast<int>(cx - 15 - grow), static_cast<int>(cy - 16 - grow), static_cast<int>(30 + 2 * grow),
                         static_cast<int>(22 + 2 * grow)},
                        6 + grow, ink);
        for (int i = 0; i < 4; ++i) c.Line(cx - 11 + i * 7.3f, cy, cx - 11 + i * 7.3f, cy + 18 - (i == 0 || i == 3 ? 4 : 0), 5.5f + 2 * grow, ink);
        c.Line(cx - 15, cy - 6, cx - 24, cy + 6, 6 + 2 * grow, ink);
        break;
    case CursorKind::Use:
        // A cog: eight teeth round a wheel with a hole.
        for (int i = 0; i < 8; ++i) {
            const double a = kPi * i / 4.0;
            c.Line(cx + float(Cos(a)) * 12, cy + float(Sin(a)) * 12, cx + float(Cos(a)) * 19, cy + float(Sin(a)) * 19, 8 + 2 * grow, ink);
        }
        c.FillEllipse(cx, cy, 14 + grow, 14 + grow, ink);
        break;
    case CursorKind::Look:
        // A magnifying glass: a ring and its handle.
        c.Line(cx + 8, cy + 8, cx + 19, cy + 19, 8 + 2 * grow, ink);
        c.FillEllipse(cx - 3, cy - 3, 17 + grow, 17 + grow, ink);
        break;
    case CursorKind::Read:
        // An open book: two pages rising from the spine.
        c.FillPolygon({{cx - 23 - grow, cy - 12 - grow}, {cx - 1, cy - 6 - grow}, {cx - 1, cy + 18 + grow}, {cx - 23 - grow, cy + 12 + grow}},
                      ink);
        c.FillPolygon({{cx + 1, cy - 6 - grow}, {cx + 23 + grow, cy - 12 - grow}, {cx + 23 + grow, cy + 12 + grow}, {cx + 1, cy + 18 + grow}},
                      ink);
        break;
    default: break;
    }
}

// What is drawn over the sign in the outline's colour: the cog's hole, the glass, the book's lines.
void KindSignDetail(Canvas& c, CursorKind kind, Rgb line, Rgb glass)
{
    const float cx = kSignX, cy = kSignY;
    if (kind == CursorKind::Use) c.FillEllipse(cx, cy, 6, 6, line);
    if (kind == CursorKind::Look) c.FillEllipse(cx - 3, cy - 3, 11, 11, glass);
    if (kind == CursorKind::Read)
        for (int i = 0; i < 3; ++i) {
            c.Line(cx - 19, cy - 4 + i * 7, cx - 5, cy - 1 + i * 7, 1.6f, line);
            c.Line(cx + 5, cy - 1 + i * 7, cx + 19, cy - 4 + i * 7, 1.6f, line);
        }
}

std::vector<float> MaskFromCanvas(const Canvas& c)
{
    std::vector<float> mask(static_cast<std::size_t>(c.Width()) * c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) mask[static_cast<std::size_t>(y) * c.Width() + x] = Clamp01(c.At(x, y).r);
    return mask;
}

}  // namespace

CursorPictures PaintCursor(CursorKind kind)
{
    const Rgb white{1, 1, 1};
    const Rgb outline = Hex(0x1a120c), body = Hex(0xf4ead4), halo = Hex(0xffc850);
    CursorPictures out;
    switch (kind) {
    case CursorKind::Pointer:
    case CursorKind::Loading: {
        const int w = 85, h = 90;
        Canvas pic(w, h, false, halo), normal(w, h), lit(w, h);
        pic.FillPolygon(PointerShape(3, 3, 1.4f), outline);
        pic.FillPolygon(PointerShape(6.5f, 11, 1.1f), body);
        normal.FillPolygon(PointerShape(3, 3, 1.4f), white);
        lit.FillPolygon(PointerShape(3, 3, 1.4f), white);
        // The highlighted pointer glows: a soft ring of gold round the arrow.
        for (float grow : {8.0f, 5.0f, 2.5f}) {
            std::vector<std::pair<float, float>> big = PointerShape(3 - grow * 0.3f, 3 - grow * 0.3f, 1.4f + grow / 18.0f);
            lit.FillPolygon(big, white, 0.3f);
        }
        if (kind == CursorKind::Loading) {
            // An hourglass beside the arrow.
            const float cx = 55, top = 40, bottom = 84;
            for (Canvas* m : {&normal, &lit})
                m->FillPolygon({{cx - 17, top - 2}, {cx + 17, top - 2}, {cx + 3, (top + bottom) / 2}, {cx + 17, bottom + 2},
                                {cx - 17, bottom + 2}, {cx - 3, (top + bottom) / 2}}, white);
            pic.FillPolygon({{cx - 17, top - 2}, {cx + 17, top - 2}, {cx + 3, (top + bottom) / 2}, {cx + 17, bottom + 2},
                             {cx - 17, bottom + 2}, {cx - 3, (top + bottom) / 2}}, outline);
            pic.FillPolygon({{cx - 12, top + 2}, {cx + 12, top + 2}, {cx, (top + bottom) / 2}}, Hex(0xe8c070));
            pic.FillPolygon({{cx, (top + bottom) / 2 + 8}, {cx + 12, bottom - 2}, {cx - 12, bottom - 2}}, Hex(0xe8c070));
        }
        out.picture = pic;
        out.normal = MaskFromCanvas(normal);
        out.highlighted = MaskFromCanvas(lit);
        break;
    }
    case CursorKind::Walk:
    case CursorKind::Take:
    case CursorKind::Use:
    case CursorKind::Look:
    case CursorKind::Read:
    case CursorKind::Back: {
        // The highlighted pointer with its sign, outlined like the arrow; the mask carries the
        // pointer's halo, since the cursor is only shown over something that reacts.
        const int w = 85, h = 90;
        Canvas pic(w, h, false, halo), lit(w, h);
        pic.FillPolygon(PointerShape(3, 3, 1.4f), outline);
        pic.FillPolygon(PointerShape(6.5f, 11, 1.1f), body);
        KindSign(pic, kind, outline, 2.5f);
        KindSign(pic, kind, body, 0.0f);
        KindSignDetail(pic, kind, outline, Hex(0x9ab8c8));
        lit.FillPolygon(PointerShape(3, 3, 1.4f), white);
        for (float grow : {8.0f, 5.0f, 2.5f}) {
            std::vector<std::pair<float, float>> big = PointerShape(3 - grow * 0.3f, 3 - grow * 0.3f, 1.4f + grow / 18.0f);
            lit.FillPolygon(big, white, 0.3f);
        }
        KindSign(lit, kind, white, 2.5f);
        out.picture = pic;
        out.normal = MaskFromCanvas(lit);
        out.highlighted = out.normal;
        break;
    }
    case CursorKind::TurnLeft:
    case CursorKind::TurnRight: {
        const bool right = kind == CursorKind::TurnRight;
        const int w = 85, h = 85;
        const float tipX = right ? 80.0f : 10.0f, tipY = 42.0f;
        Canvas pic(w, h, false, outline), normal(w, h);
        TurnArrow(pic, tipX, tipY, right, body, 0.0f);
        TurnArrow(normal, tipX, tipY, right, white, 2.5f);
        out.picture = pic;
        out.normal = MaskFromCanvas(normal);
        out.highlighted = out.normal;
        break;
    }
    }
    return out;
}

}  // namespace content
