// Everything kelvane-data writes, in one list. To add content, add a line here: a picture
// (panorama, flat view, overlay, version, strip, book, item), a sound, a music track or a
// video, under the path the world definition names. Paths start with "data/"; pictures are
// scrambled with the offset the game opens them with (see output.h).
#include "content/generator.h"
#include "game/assets/world_art.h"

namespace content {

namespace {

// ---- the fixed interface ---------------------------------------------------------------

void AddInterface(AssetList& list, const TextCatalogue& texts)
{
    list.Picture("data/black.jpg", [] { return Canvas(64, 64); }, PictureFormat::Jpeg, 0.1);
    list.Picture("data/newscreen.jpg", [] { return Canvas(1024, 512, false, Hex(0x101014)); }, PictureFormat::Jpeg, 0.1);

    // The menu's pages and the top strip's buttons carry words: each language has its own.
    const InterfaceTexts words = InterfaceTexts::From(texts);
    const auto page = [&list, words](const char* path, MenuPage which) {
        list.TextPicture(path, [words, which] { return PaintMenuPage(which, words); }, PictureFormat::Jpeg);
    };
    page("data/menu/background.enc", MenuPage::Main);
    page("data/menu/restore.enc", MenuPage::Restore);
    page("data/menu/save.enc", MenuPage::Save);
    page("data/menu/credits.enc", MenuPage::Credits);
    const auto button = [&list, words](const char* path, TopButton which) {
        list.TextPicture(path, [words, which] { return PaintTopButton(which, words); }, PictureFormat::Png, 0.3);
    };
    button("data/menu/Top1.enc", TopButton::Restore);
    button("data/menu/Top2.enc", TopButton::Save);
    button("data/menu/Top3.enc", TopButton::Quit);
    button("data/menu/Top4.enc", TopButton::Confirm);
    button("data/menu/Top5.enc", TopButton::Hints);
    button("data/menu/Top6.enc", TopButton::Journal);

    list.Cursor("data/cursor/cursor1", CursorKind::Pointer, true);
    list.Cursor("data/cursor/cursor2", CursorKind::TurnLeft, false);
    list.Cursor("data/cursor/cursor3", CursorKind::TurnRight, false);
    list.Cursor("data/cursor/cursorL", CursorKind::Loading, false);
    list.Cursor("data/cursor/cursor_walk", CursorKind::Walk, false);
    list.Cursor("data/cursor/cursor_take", CursorKind::Take, false);
    list.Cursor("data/cursor/cursor_use", CursorKind::Use, false);
    list.Cursor("data/cursor/cursor_look", CursorKind::Look, false);
    list.Cursor("data/cursor/cursor_read", CursorKind::Read, false);
    list.Cursor("data/cursor/cursor_back", CursorKind::Back, false);

    list.Music("data/music/1.mp3", MusicMood::Menu, 100.0, 11);
    list.Music("data/music/2.mp3", MusicMood::Exploration, 120.0, 12);
    list.Music("data/music/3.mp3", MusicMood::Depths, 110.0, 13);
    list.Music("data/music/4.mp3", MusicMood::Credits, 90.0, 14);
}

// ---- the sample area: a hall, the caves below it and a court beside it ------------------
// Landmark rectangles are the places for the hotspots: the hall's door at x 180..330 leads to
// the caves, its lit arch at x 1150..1350 to the court, the desk at x 560..780 to the desk view.

const Palette kHallPalette{Hex(0x3a2a20), Hex(0x8a7a66), Hex(0x6a5a4a), Hex(0x6a4628), Hex(0xffa850)};
const Palette kCavePalette{Hex(0x0c1418), Hex(0x3e5a5e), Hex(0x1a4050), Hex(0x2a5a4a), Hex(0x70d0ff)};
const Palette kCourtPalette{Hex(0x304878), Hex(0x8a8078), Hex(0x5a5448), Hex(0x2e5a2a), Hex(0xffb070)};

PlaceSpec Hall()
{
    using K = LandmarkKind;
    return {101, Setting::Hall, kHallPalette,
            {{K::Door, {180, 190, 150, 200}},
             {K::Torch, {400, 200, 40, 110}, true},
             {K::Desk, {560, 290, 220, 100}},
             {K::Torch, {880, 200, 40, 110}, true},
             {K::Pillar, {1040, 150, 44, 240}},
             {K::Arch, {1150, 170, 200, 220}, true},
             {K::Pillar, {1410, 150, 44, 240}},
             {K::Window, {1500, 190, 90, 140}},
             {K::Window, {1720, 190, 90, 140}},
             {K::Stairs, {1880, 170, 140, 220}}},
            0.75f};
}

PlaceSpec Cave()
{
    using K = LandmarkKind;
    return {202, Setting::Cave, kCavePalette,
            {{K::Tunnel, {100, 200, 180, 190}},
             {K::Pool, {560, 400, 420, 90}},
             {K::Door, {1100, 180, 160, 210}},
             {K::Torch, {1300, 210, 36, 100}, true},
             {K::Machine, {1480, 250, 240, 140}},
             {K::Tunnel, {1850, 220, 150, 150}, true}},
            0.85f};
}

PlaceSpec Court(bool night)
{
    using K = LandmarkKind;
    return {303, Setting::Court, kCourtPalette,
            {{K::Moon, {300, 60, 60, 60}},
             {K::Gate, {700, 150, 180, 200}, night},
             {K::Tree, {1000, 110, 200, 230}},
             {K::Pool, {1250, 380, 260, 70}},
             {K::Tree, {1580, 90, 240, 250}},
             {K::Door, {1960, 210, 140, 170}}},  // runs across the seam, x 1960 .. 2100
            night ? 0.55f : 0.8f};
}

PlaceSpec HallDesk(bool open)
{
    using K = LandmarkKind;
    return {111, Setting::Hall, kHallPalette,
            {{K::Torch, {90, 130, 40, 120}, true}, {K::Window, {820, 170, 100, 150}}, {K::Desk, {312, 250, 400, 200}, open}},
            0.8f};
}

PlaceSpec CaveLock(bool open)
{
    using K = LandmarkKind;
    return {212, Setting::Cave, kCavePalette,
            {{K::Door, {380, 130, 260, 270}, open}, {K::Panel, {690, 210, 300, 90}}, {K::Torch, {170, 190, 36, 110}, true}},
            0.9f};
}

const char* const kJournal[11][2] = {
    {"The Hall", "I came to the old tower at dusk, with a lantern and the key my uncle left me. The hall was as he "
                 "described it: the beams black with smoke, the torches still burning though no one has tended them "
                 "in years. Someone, or something, keeps them lit."},
    {"The Desk", "His desk stands by the east wall. The drawer sticks; he always said the drawer would open for those "
                 "who knew the day the tower was sealed. I wrote the date down somewhere in this book, and I will need it "
                 "again below."},
    {"Voices", "At night the court is silent, but the hall is not. There is a sound like water under the floor, and "
               "now and then a click, regular as a clock, coming from the stairs."},
    {"The Door Below", "Beneath the hall lies a door of black oak. Beside it a panel with four brass wheels, each "
                       "turning through the ten digits. The wheels are stiff; they were made to be turned rarely."},
    {"Drips", "The caves drip in three voices: one high, one low, one that never keeps time. I counted the low drops "
              "while I waited for my eyes to grow used to the dark. Seven, then a pause, then seven again."},
    {"The Machine", "Deep in the cave stands a machine of brass, its dials still, a lever raised. My uncle believed it "
                    "held the water back. I do not know what it holds. I have not touched the lever."},
    {"The Court", "The court is open to the sky. Two trees, a pool, and the gate to the old road, closed with a chain "
                  "that has rusted into the bars. The moon stood over the hills the night I arrived."},
    {"The Gear", "I found a gear of bronze in the mud by the pool, its teeth worn bright. It does not belong to the "
                 "gate. The machine below has a gap where a wheel like this would fit."},
    {"A Warning", "If the lever comes down and the wheel turns, the water will go where it has wanted to go for a "
                  "hundred years. Whoever reads this: be ready to run, and take the lantern."},
    {"Light", "The crystal my uncle kept on the mantel gives a faint light of its own in the caves. Held up to the "
              "sealed door, it shows marks scratched beside the wheels: a date, a name, and an arrow pointing down."},
    {"Last Page", "I am going down. If the hall is dark when you come, light the torches from the stairs; the rest "
                  "you will find in the order I found it. The tower keeps its promises, even to strangers."},
};

void AddSampleArea(AssetList& list)
{
    list.Panorama("data/hall_pano.enc", Hall());
    list.Panorama("data/cave_pano.enc", Cave());
    list.Panorama("data/court_pano.enc", Court(false));
    list.Version("data/court_pano_vers2.enc", Court(true), true);  // the court at night, gate open

    list.FlatView("data/hall_desk.enc", HallDesk(false));
    list.Overlay("data/hall_desk_overlay01.enc", HallDesk(true), false, {425, 285, 175, 80});  // drawer open
    list.FlatView("data/cave_lock.enc", CaveLock(false));
    list.Overlay("data/cave_lock_overlay01.enc", CaveLock(true), false, {368, 118, 284, 282});  // door open
    // Four code keys on the lock's panel: cells of 67 x 66 at x 700, 772, 844, 916, y 222.
    list.Strip("data/cave_lock_digits.enc", 67, 66, 10, StripStyle::Digits);

    std::vector<BookPage> pages;
    for (int i = 0; i < 11; ++i)
        pages.push_back({kJournal[i][0], kJournal[i][1], i + 1, 500u + static_cast<std::uint32_t>(i), i > 0, i < 10});
    list.Book("data/journal_p", pages);  // item 1's book, close-up screens 10001 .. 10011

    list.Item(1, ItemKind::Journal, Hex(0x7a2e22), "");
    list.Item(2, ItemKind::Lantern, Hex(0xffc860), "data/item2_closeup.enc");
    list.Item(3, ItemKind::Key, Hex(0xc9a13c), "data/item3_closeup.enc");
    list.Item(4, ItemKind::Gear, Hex(0xb07840), "data/item4_closeup.enc");
    list.Item(5, ItemKind::Crystal, Hex(0x60c0ff), "data/item5_closeup.enc");
    list.Item(6, ItemKind::Notebook, Hex(0x2c4a6e), "data/item6_closeup.enc");
    list.Item(7, ItemKind::Medallion, Hex(0xd0b060), "data/item7_closeup.enc");
    list.Item(8, ItemKind::Vial, Hex(0x60d070), "data/item8_closeup.enc");

    list.Sound("data/drip1.wav", SoundKind::Drip, 1);
    list.Sound("data/drip2.wav", SoundKind::Drip, 2);
    list.Sound("data/drip3.wav", SoundKind::Drip, 3);
    list.Sound("data/switch.wav", SoundKind::SwitchClick, 4);
    list.Sound("data/explosion.wav", SoundKind::Explosion, 5);
    list.Sound("data/pageturn.wav", SoundKind::PageTurn, 6);
    list.Sound("data/bookfront.wav", SoundKind::PageTurn, 7);
    list.Sound("data/door.mp3", SoundKind::Door, 8);
    list.Sound("data/lockclick.wav", SoundKind::LockClick, 9);
    list.Sound("data/item.mp3", SoundKind::ItemChime, 10);
    list.Sound("data/whoosh.mp3", SoundKind::Whoosh, 11);

    FilmSpec intro;
    intro.seed = 77;
    intro.seconds = 10.0;
    intro.shots = {{Hall(), 5.0, 0.05f, 0.2f, ShotEffect::Embers}, {Cave(), 5.0, 0.62f, 0.72f, ShotEffect::Collapse}};
    intro.subtitles = {{0, ""},
                       {1200, "The torches of the old hall still burn."},
                       {4300, ""},
                       {5200, "Below it, the caves remember the water."},
                       {8600, ""}};
    list.Film("data//FMV//intro.wmv", intro);
}

}  // namespace

std::vector<Asset> GameManifest(const TextCatalogue& texts)
{
    AssetList list;
    AddInterface(list, texts);
    AddWorldAssets(list, texts);
    CheckTheWorldIsMade(list.Assets(), world_content::Art());
    return list.Assets();
}

std::vector<Asset> SampleManifest(const TextCatalogue& texts)
{
    AssetList list;
    AddInterface(list, texts);
    AddSampleArea(list);
    return list.Assets();
}

}  // namespace content
