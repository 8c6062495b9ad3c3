// The world runtime on the headless device: moving between screens, turning a panorama,
// picking hotspots under the pointer, held items, close-ups, the top menu, waits, composing
// a screen's picture, and books.
#include "world/world_fixture.h"

#include <time.h>

#include <fstream>
#include <string>

#include "core/error.h"
#include "display/display_screen.h"
#include "display/world_inventory.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "platform/window/window.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/world_book_creator.h"

using namespace world_test;

namespace {

int Red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

::testing::AssertionResult RgbNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 4)
{
    if (std::abs(Red(actual) - Red(expected)) <= tolerance && std::abs(Green(actual) - Green(expected)) <= tolerance &&
        std::abs(Blue(actual) - Blue(expected)) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << "colour " << (actual & 0xFFFFFF) << ", expected "
                                         << (expected & 0xFFFFFF);
}

// Processor time used by the calling thread, milliseconds.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

// Adds "set variable `var` to 1" to a list.
void SetsVar(WorldActionlist* list, int var)
{
    WorldAction* set = list->addAction(ACT_SetVar);
    set->addParam(0, static_cast<float>(var));
    set->addParam(1, 1);
}

}  // namespace

class WorldRuntime : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        for (int v = 1; v <= 9; ++v) world->AddGlobalVar(v, 0);
    }
};

TEST_F(WorldRuntime, GotoScreenWithStandardTransitionShowsALoadingFrameAndKeepsTheAngle)
{
    AddScreen(1, 0, kBlue);
    AddScreen(203, 0, kRed);
    world->TransportToScreen(1);
    EXPECT_TRUE(RgbNear(ViewCentre(), kBlue));
    world->set_Rotation(1.0f);

    WorldActionlist* list = List();
    list->addAction(ACT_GotoScreen)->addParam(0, 203);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(list); }), 2) << "a loading frame and the frame after";
    EXPECT_EQ(world->get_ScreenPosition(), 203);
    EXPECT_EQ(world->get_Cursor(), WorldManager::kCursorLoading);
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 1.0f) << "the new screen keeps the view angle";
    const std::uint32_t early = ViewCentre();
    EXPECT_GT(Blue(early), 200) << "the standard cross-fade has only begun";
    platform::AdvanceClock(600);
    EXPECT_TRUE(RgbNear(ViewCentre(), kRed));
}

TEST_F(WorldRuntime, GotoScreenInstantWithAngleAndPointerReset)
{
    AddScreen(1, 0, kBlue);
    AddScreen(204, 0, kGreen)->AddPreActionList()->addAction(ACT_EndGame);
    world->TransportToScreen(1);
    PointAt(100, 200);
    WorldActionlist* list = List();
    WorldAction* go = list->addAction(ACT_GotoScreen);
    go->addParam(1, 0);
    go->addParam(0, 204);
    go->addParam(2, 0.5f);
    go->addParam(3, 1);
    list->addAction(ACT_PlaySound)->addParamObject(0, L"nothing/s.wav");
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(list); }), 1) << "no loading frame";
    EXPECT_TRUE(RgbNear(ViewCentre(), kGreen)) << "an instant switch";
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 0.5f);
    EXPECT_EQ(mouse->get_X(), 400);
    EXPECT_EQ(mouse->get_Y(), 200) << "reset 1 centres horizontally only";
    EXPECT_TRUE(world->get_EndGameMode()) << "the new screen's entry list ran";
    EXPECT_EQ(sounds.get_SoundCount(), 1u) << "the action after the move ran too";
}

TEST_F(WorldRuntime, EntryListsAreReadFromTheCurrentScreenAtEachStep)
{
    WorldScreen* ten = AddScreen(10, 0, kBlue);
    WorldScreen* eleven = AddScreen(11, 0, kRed);
    WorldAction* go = ten->AddPreActionList()->addAction(ACT_GotoScreen);
    go->addParam(0, 11);
    go->addParam(1, 0);
    SetsVar(ten->AddPreActionList(), 1);
    SetsVar(eleven->AddPreActionList(), 2);
    WorldAction* toggle = eleven->AddPreActionList()->addAction(ACT_SetVar);
    toggle->addParam(0, 3);
    toggle->addParam(2, 0);

    world->JumpToScreen(10, 0);
    EXPECT_EQ(world->get_ScreenPosition(), 11);
    EXPECT_EQ(world->getGlobalVarValue(2), 1);
    EXPECT_EQ(world->getGlobalVarValue(1), 0) << "screen 10's second list is not reached";
    EXPECT_EQ(world->getGlobalVarValue(3), 0) << "screen 11's second list ran twice";
}

TEST_F(WorldRuntime, ScreenNumbersThatNoScreenBears)
{
    try {
        world->JumpToScreen(5, 0);
        FAIL() << "no screens: an error";
    } catch (const Error&) {
        EXPECT_EQ(FailSafe::Info, L"Error during JumpToScreen, loading screen.");
    }
    EXPECT_THROW(world->TransportToScreen(5), Error);
    EXPECT_EQ(world->Run(), 0) << "with no screen a frame still runs";
    AddScreen(1, 0, kBlue);
    AddScreen(2, 0, kGreen);
    world->TransportToScreen(3);
    EXPECT_EQ(world->get_ScreenPosition(), 3) << "the requested number is kept";
    EXPECT_TRUE(RgbNear(ViewCentre(), kGreen)) << "the last screen is entered";
}

TEST_F(WorldRuntime, PointerInTheMarginsTurnsAndTestsNoHotspot)
{
    WorldScreen* pano = AddScreen(5, 1, kBlue);
    SetsVar(pano->AddHotspot(0, 0, 2048, 512)->AddActionlist(true, 0), 1);
    world->TransportToScreen(5);
    PointAt(50, 300);
    world->Run();
    const float before = world->get_DisplayScreen()->GetRotation();
    platform::AdvanceClock(20);
    Click();
    world->Run();
    EXPECT_NEAR(world->get_DisplayScreen()->GetRotation() - before, 50.0f / 32500.0f * 20.0f, 1e-5f);
    EXPECT_EQ(world->get_Cursor(), WorldManager::kCursorTurnLeft);
    EXPECT_EQ(world->getGlobalVarValue(1), 0) << "no hotspot reacts in the margin";
    PointAt(750, 300);
    const float right = world->get_DisplayScreen()->GetRotation();
    platform::AdvanceClock(20);
    world->Run();
    EXPECT_NEAR(world->get_DisplayScreen()->GetRotation() - right, -50.0f / 32500.0f * 20.0f, 1e-5f);
    EXPECT_EQ(world->get_Cursor(), WorldManager::kCursorTurnRight);
}

TEST_F(WorldRuntime, PickedPointOnPanoramaAndFlatScreens)
{
    WorldScreen* pano = AddScreen(5, 1, kBlue);
    SetsVar(pano->AddHotspot(1948, 256, 1948, 256)->AddActionlist(true, 0), 1);
    SetsVar(pano->AddHotspot(0, 256, 0, 256)->AddActionlist(true, 0), 2);
    WorldScreen* flat = AddScreen(6, 0, kBlue);
    SetsVar(flat->AddHotspot(1022, 510, 1022, 510)->AddActionlist(true, 0), 3);
    SetsVar(flat->AddHotspot(0, 0, 1024, 512)->AddActionlist(true, 0), 4);
    world->TransportToScreen(5);
    ClickAt(300, 300);
    EXPECT_EQ(world->getGlobalVarValue(1), 1) << "x 300 at angle 0 picks column 1948";
    EXPECT_EQ(world->getGlobalVarValue(2), 0);
    ClickAt(400, 300);
    EXPECT_EQ(world->getGlobalVarValue(2), 1) << "the centre picks column 0";
    world->TransportToScreen(6);
    ClickAt(799, 499);
    EXPECT_EQ(world->getGlobalVarValue(3), 1) << "(799, 499) picks (1022, 510)";
    for (int y : {100, 500}) {
        ClickAt(400, y);
        EXPECT_EQ(world->get_Cursor(), 0) << "outside the view band at y " << y;
    }
    EXPECT_EQ(world->getGlobalVarValue(4), 0);
    ClickAt(400, 101);
    EXPECT_EQ(world->getGlobalVarValue(4), 1);
}

TEST_F(WorldRuntime, FirstHotspotTakesTheClickLastSetsTheCursor)
{
    WorldScreen* flat = AddScreen(6, 0, kBlue);
    WorldHotspot* first = flat->AddHotspot(0, 0, 1024, 512, 1);
    SetsVar(first->AddActionlist(true, 0), 5);
    WorldActionlist* second = first->AddActionlist(true, 0);  // made true by the list before it
    for (int t : {int{CT_Var}, 5, int{CT_Equal}, int{CT_Value}, 1}) second->addCondition(t);
    SetsVar(second, 6);
    SetsVar(flat->AddHotspot(0, 0, 1024, 512, 3)->AddActionlist(true, 0), 2);
    WorldHotspot* hidden = flat->AddHotspot(0, 0, 1024, 512, 2);
    for (int t : {int{CT_Var}, 9, int{CT_Equal}, int{CT_Value}, 1}) hidden->addCondition(t);
    world->TransportToScreen(6);
    ClickAt(400, 300);
    EXPECT_EQ(world->getGlobalVarValue(5), 1);
    EXPECT_EQ(world->getGlobalVarValue(6), 1) << "one click runs both lists";
    EXPECT_EQ(world->getGlobalVarValue(2), 0) << "only the first hotspot's lists";
    EXPECT_EQ(world->get_Cursor(), 3) << "the last hotspot that holds sets the cursor";
}

class WorldWithItem : public WorldRuntime {
protected:
    void SetUp() override
    {
        WorldRuntime::SetUp();
        const char* picture = Keep(Solid("item.png", 8, 8, kYellow));
        world->AddItem(1, picture, picture, picture, picture, picture, L"nothing/item.wav", 8, 8, 0, 0, 0, 10001);
        world->ActivateItem(1);
        AddScreen(10001, 0, kGreen);
        WorldScreen* flat = AddScreen(6, 0, kBlue);
        flat->QHS_StandardMove(0, 0, 300, 512, 10001);
        WorldHotspot* use = flat->AddHotspot(301, 0, 600, 512, 1);
        SetsVar(use->AddActionlist(false, 1), 7);
        SetsVar(use->AddActionlist(true, 0), 8);
        flat->AddHotspot(601, 0, 1024, 512, 2);
        world->TransportToScreen(6);
    }
    void PickUp()
    {
        ClickAt(400, 540);  // the only item's slot is x 362 .. 437
        ASSERT_EQ(world->get_CursorItem(), 1);
    }
};

TEST_F(WorldWithItem, HeldItemCursorsAndClicks)
{
    PickUp();
    const int cursors[][2] = {{100, 0}, {400, 1}, {750, 2}};  // simple move, cursor 1, cursor 2
    for (const auto& [x, cursor] : cursors) {
        PointAt(x, 300);
        world->Run();
        EXPECT_EQ(world->get_Cursor(), cursor) << "pointer x " << x;
    }
    ClickAt(400, 300);
    EXPECT_EQ(world->getGlobalVarValue(7), 1) << "the item's list";
    EXPECT_EQ(world->getGlobalVarValue(8), 0);
    ClickAt(100, 300);
    EXPECT_EQ(world->get_ScreenPosition(), 6) << "no list for the item: the click does nothing";
    ClickAt(400, 300, platform::MouseButton::Right);
    EXPECT_EQ(world->get_CursorItem(), 0) << "a right click puts the item back";
    PickUp();
    WorldActionlist* drop = List();
    drop->addAction(ACT_DropItem);
    world->ExcuteActionList(drop);
    EXPECT_EQ(world->get_CursorItem(), 0);
    EXPECT_TRUE(world->get_Inventory()->get_ActiveItems().empty()) << "a dropped item leaves the game";
}

TEST_F(WorldWithItem, CloseUpOpensFromTheBarAndARightClickClosesIt)
{
    world->set_Rotation(2.0f);
    ClickAt(400, 540, platform::MouseButton::Right);
    EXPECT_EQ(world->get_ScreenPosition(), 10001);
    EXPECT_TRUE(world->get_ScreenIsInventory());
    EXPECT_EQ(sounds.get_SoundCount(), 1u) << "the item's sound";
    ClickAt(400, 540);
    EXPECT_EQ(world->get_CursorItem(), 0) << "the bar cannot be used on a close-up";
    ClickAt(400, 300, platform::MouseButton::Right);
    EXPECT_FALSE(world->get_ScreenIsInventory());
    EXPECT_EQ(world->get_ScreenPosition(), 6);
    EXPECT_EQ(sounds.get_SoundCount(), 2u);
    EXPECT_FLOAT_EQ(world->get_DisplayScreen()->GetRotation(), 2.0f) << "the remembered angle";

    PickUp();  // a close-up opened by a script while an item is held
    WorldActionlist* show = List();
    show->addAction(ACT_ShowItem)->addParam(0, 1);
    world->ExcuteActionList(show);
    ClickAt(400, 300, platform::MouseButton::Right);
    EXPECT_EQ(world->get_Inventory()->get_ActiveItems().size(), 1u) << "one right click returns the item";
    EXPECT_FALSE(world->get_ScreenIsInventory()) << "and closes the close-up";
}

// A book or an item's close-up is looked at from a place: the player still stands where it
// was opened, at the angle they had there, however the pages are turned or the view moved.
TEST_F(WorldWithItem, BooksAndCloseUpsAreLookedAtFromTheScreenThePlayerStandsOn)
{
    WorldBookCreator book(world.get(), L"nothing/front.wav", L"nothing/page.wav", 90001, 0);
    WorldScreen* cover = book.AddPage(Keep(Solid("cover.png", 16, 8, kRed)));
    book.AddPage(Keep(Solid("page.png", 16, 8, kWhite)));
    AddScreen(8, 1, kRed);
    using Kind = WorldManager::ScreenKind;
    EXPECT_EQ(world->KindOfScreen(6), Kind::Standing);
    EXPECT_EQ(world->KindOfScreen(90001), Kind::BookPage);
    EXPECT_EQ(world->KindOfScreen(90002), Kind::BookPage);
    EXPECT_EQ(world->KindOfScreen(10001), Kind::ItemCloseUp);
    EXPECT_EQ(world->KindOfScreen(12345), Kind::Missing);

    world->set_Rotation(1.25f);
    PointAt(400, 300);
    world->Run();
    WorldActionlist* open = List();
    WorldAction* toCover = open->addAction(ACT_GotoScreen);
    toCover->addParam(0, 90001.0f);
    toCover->addParam(1, 0.0f);
    world->ExcuteActionList(open);
    world->ExcuteActionList(cover->GetHotspot(0)->GetActionlist(0));  // the page is turned
    world->set_Rotation(0.5f);
    world->Run();
    EXPECT_EQ(world->get_ScreenPosition(), 90002);
    EXPECT_EQ(world->get_StandingScreen(), 6) << "the book was opened from screen 6";
    EXPECT_FLOAT_EQ(world->get_StandingRotation(), 1.25f) << "the angle the player left screen 6 at";

    WorldActionlist* away = List();
    away->addAction(ACT_GotoScreen)->addParam(0, 8.0f);
    world->ExcuteActionList(away);  // a page may lead to a place: the player stands there now
    world->Run();
    EXPECT_EQ(world->get_StandingScreen(), 8);

    ClickAt(400, 540, platform::MouseButton::Right);
    ASSERT_EQ(world->get_ScreenPosition(), 10001);
    EXPECT_EQ(world->get_StandingScreen(), 8) << "the close-up was opened on screen 8";
}

TEST_F(WorldRuntime, TopMenuSaveReturnsTwoWithoutPresenting)
{
    AddScreen(6, 0, kBlue);
    world->TransportToScreen(6);
    PointAt(242, 50);
    world->Run();  // the menu fades in under the pointer
    int result = -1;
    EXPECT_EQ(CountFrames([&] {
                  Click();
                  result = world->Run();
              }),
              0)
        << "the frame of the click is not presented";
    EXPECT_EQ(result, WorldManager::kSave);

    // End-game mode: the quit button's first click asks for the credits and ends the mode.
    WorldActionlist* end = List();
    end->addAction(ACT_EndGame);
    world->ExcuteActionList(end);
    world->set_Rotation(0.0f);
    EXPECT_EQ(ClickAt(716, 50), WorldManager::kCredits);
    EXPECT_FALSE(world->get_EndGameMode());
}

TEST_F(WorldRuntime, WaitRendersFramesAndRestoresTheHideFlags)
{
    AddScreen(6, 0, kBlue);
    world->TransportToScreen(6);
    WorldActionlist* list = List();
    list->addAction(ACT_HideCursor)->addParam(0, 1);
    WorldAction* wait = list->addAction(ACT_Wait);
    wait->addParam(0, 20);
    wait->addParam(1, 0);
    wait->addParam(2, 1);
    const int frames = CountFrames([&] { world->ExcuteActionList(list); });
    EXPECT_EQ(frames, 20) << "one frame per millisecond of the stepped clock";
    EXPECT_TRUE(world->get_HideCursor()) << "restored to what it was before the wait";
    EXPECT_FALSE(world->get_HideInventory());
}

TEST_F(WorldRuntime, WaitWithoutFramesSleepsAndQStopsIt)
{
    clock.reset();  // the real clock: the wait must not keep a core busy
    WorldActionlist* list = List();
    WorldAction* wait = list->addAction(ACT_Wait);
    wait->addParam(0, 300);
    wait->addParam(4, 0);
    const double cpuBefore = ThreadCpuMs();
    const std::uint32_t wallBefore = timeGetTime();
    world->ExcuteActionList(list);
    const std::uint32_t wall = timeGetTime() - wallBefore;
    const double cpuMs = ThreadCpuMs() - cpuBefore;
    EXPECT_GE(wall, 300u);
    EXPECT_LT(cpuMs, 100.0) << "the wait slept rather than spun";

    WorldActionlist* longWait = List();
    WorldAction* w = longWait->addAction(ACT_Wait);
    w->addParam(0, 100000);
    w->addParam(4, 0);
    platform::InjectAsyncKey('Q', true);
    const std::uint32_t start = timeGetTime();
    world->ExcuteActionList(longWait);
    platform::InjectAsyncKey('Q', false);
    platform::GetAsyncKeyState('Q');
    EXPECT_LT(timeGetTime() - start, 1000u) << "Q ends the wait";
}

// ---- composing a screen's picture ----

class ScreenImage : public WorldRuntime {
protected:
    // The composed picture of the current screen (rebuilt into the view's back slot).
    std::uint32_t At(int x, int y)
    {
        if (c_pixels.empty()) {
            world->BuildScreenImage();
            gfx::Texture* texture = world->get_DisplayScreen()->getTexture()->get();
            c_width = static_cast<int>(texture->Width());
            D3DLOCKED_RECT locked{};
            texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
            for (UINT row = 0; row < texture->Height(); ++row) {
                const auto* p = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(locked.pBits) +
                                                                       row * locked.Pitch);
                c_pixels.insert(c_pixels.end(), p, p + c_width);
            }
            texture->UnlockRect(0);
        }
        return c_pixels[static_cast<std::size_t>(y * c_width + x)];
    }
    std::vector<std::uint32_t> c_pixels;
    int c_width = 0;
};

TEST_F(ScreenImage, OverlaysThenStripsLastReplacementWinsAndBlocksAreClipped)
{
    WorldScreen* s = world->AddWorldScreen(20, 0, Keep(Solid("base.png", 64, 32, kBlue)));
    s->AddOverwriteBaseImage(4, 2, Keep(Solid("v2a.png", 64, 32, kGreen)));
    s->AddOverwriteBaseImage(4, 2, Keep(Solid("v2b.png", 64, 32, kBlack)));
    s->AddOverwriteBaseImage(4, 3, Keep(Solid("v3.png", 64, 32, kRed)));
    const char* red = Keep(Solid("red.png", 10, 10, kRed));
    WorldOverlay* hidden = s->AddOverlay(0, 0, 8, 8, red);
    for (int t : {int{CT_Var}, 1, int{CT_Equal}, int{CT_Value}, 1}) hidden->addCondition(t);
    s->AddOverlay(30, 0, 8, 8, red);
    // Red columns 0 .. 4, green 5 .. 9: shows which part of a clipped block was copied.
    const char* halves = Keep(Image("halves.png", 10, 10, [](int x, int) { return x < 5 ? kRed : kGreen; }));
    s->AddOverlay(60, 28, 10, 10, halves);  // past the right and bottom edges
    s->AddOverlay(-4, 12, 10, 4, halves);   // before the left edge
    s->AddOverlay(20, 12, 40, 4, halves);   // wider than its image
    // Frame k: its left half in frames[k], its right half white.
    const std::uint32_t frames[] = {kWhite, kYellow, kGreen, kRed};
    const char* strip = Keep(Image("strip.png", 32, 8, [&](int x, int) { return x % 8 < 4 ? frames[x / 8] : kWhite; }));
    s->AddOverlayArray(30, 4, 8, 8, 2, strip, 0);   // frame 1, over the overlay's lower half
    s->AddOverlayArray(-5, 20, 8, 8, 2, strip, 0);  // frame 1 starting left of the picture
    s->AddOverlayArray(20, 20, 8, 8, 3, strip, 0);  // frame -1
    s->AddOverlayArray(40, 20, 8, 8, 5, strip, 0);  // frame 4 of a 4-frame strip
    world->setGlobalVarValue(2, 1);
    world->setGlobalVarValue(3, -1);
    world->setGlobalVarValue(4, 2);
    world->setGlobalVarValue(5, 4);
    world->TransportToScreen(20);

    EXPECT_TRUE(RgbNear(At(50, 20), kBlack)) << "the last matching replacement of the base image";
    EXPECT_TRUE(RgbNear(At(3, 3), kBlack)) << "an overlay whose condition fails";
    EXPECT_TRUE(RgbNear(At(33, 2), kRed));
    EXPECT_TRUE(RgbNear(At(33, 6), kYellow)) << "strips are drawn after the overlays";
    EXPECT_TRUE(RgbNear(At(63, 31), kRed));
    EXPECT_TRUE(RgbNear(At(59, 31), kBlack));
    EXPECT_TRUE(RgbNear(At(0, 13), kRed)) << "column 4 of the block lands on column 0";
    EXPECT_TRUE(RgbNear(At(1, 13), kGreen));
    EXPECT_TRUE(RgbNear(At(5, 13), kGreen));
    EXPECT_TRUE(RgbNear(At(6, 13), kBlack));
    EXPECT_TRUE(RgbNear(At(29, 13), kGreen));
    EXPECT_TRUE(RgbNear(At(30, 13), kBlack)) << "no columns beyond the overlay's image";
    EXPECT_TRUE(RgbNear(At(0, 22), kWhite)) << "the visible columns of frame 1 are its right edge";
    EXPECT_TRUE(RgbNear(At(2, 22), kWhite));
    EXPECT_TRUE(RgbNear(At(3, 22), kBlack));
    EXPECT_TRUE(RgbNear(At(22, 22), kBlack)) << "a negative frame draws nothing";
    EXPECT_TRUE(RgbNear(At(42, 22), kBlack)) << "a frame past the strip draws nothing";
}

// ---- books ----

TEST_F(WorldRuntime, ThreePageBook)
{
    const wchar_t* front = L"nothing/front.wav";
    const wchar_t* page = L"nothing/page.wav";
    WorldBookCreator book(world.get(), front, page, 15001, 3);
    WorldScreen* p1 = book.AddPage(Keep(Scramble(Solid("p1.png", 16, 8, kRed), 3)));
    WorldScreen* p2 = book.AddPage(Keep(Scramble(Solid("p2.png", 16, 8, kGreen), 3)));
    p2->AddHotspot(400, 0, 500, 100);  // the caller's own hotspot, between the two strips
    WorldScreen* p3 = book.AddPage(Keep(Scramble(Solid("p3.png", 16, 8, kBlue), 3)));
    EXPECT_EQ((std::vector<int>{p1->get_Number(), p2->get_Number(), p3->get_Number()}),
              (std::vector<int>{15001, 15002, 15003}));
    ASSERT_EQ((std::vector<int>{p1->get_HotspotCount(), p2->get_HotspotCount(), p3->get_HotspotCount()}),
              (std::vector<int>{1, 3, 1}));

    // Each strip: (page, hotspot index, cursor, target, sound).
    struct Strip {
        WorldScreen* page;
        int index, cursor, target;
        const wchar_t* sound;
    };
    const Strip strips[] = {{p1, 0, 3, 15002, front}, {p2, 0, 2, 15001, front}, {p2, 2, 3, 15003, page},
                            {p3, 0, 2, 15002, page}};
    for (const Strip& strip : strips) {
        const WorldHotspot* h = strip.page->GetHotspot(strip.index);
        const WorldActionlist* turn = h->GetActionlist(0);
        EXPECT_EQ(h->get_Cursor(), strip.cursor);
        EXPECT_EQ(turn->getAction(0)->getParamValue(0), static_cast<float>(strip.target));
        EXPECT_EQ(turn->getAction(0)->getParamValue(1), 0.0f) << "an instant turn";
        EXPECT_EQ(turn->getAction(1)->getParamPath(0), strip.sound) << "strip to " << strip.target;
    }
    EXPECT_TRUE(p1->GetHotspot(0)->Check(824, 0) && !p1->GetHotspot(0)->Check(823, 0));
    EXPECT_TRUE(p2->GetHotspot(0)->Check(200, 512) && !p2->GetHotspot(0)->Check(201, 0));

    world->TransportToScreen(15001);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(p1->GetHotspot(0)->GetActionlist(0)); }), 1)
        << "no loading frame";
    EXPECT_EQ(world->get_ScreenPosition(), 15002);
    EXPECT_EQ(sounds.get_SoundCount(), 1u);
    EXPECT_TRUE(RgbNear(ViewCentre(), kGreen));
}

namespace {

// A short silent PCM .wav file (8 kHz mono 16-bit) at `path`.
void WriteSilentWav(const std::string& path, int samples)
{
    auto put32 = [](std::ofstream& out, std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [](std::ofstream& out, std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t bytes = static_cast<std::uint32_t>(samples) * 2;
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, 8000);
    put32(out, 16000);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    const std::vector<char> silence(bytes, 0);
    out.write(silence.data(), static_cast<std::streamsize>(silence.size()));
}

}  // namespace

// A sound can carry its words for players who cannot hear it: the lines are timed from the
// moment the sound starts, like a film's subtitles, and drawn over the foot of the view.
TEST_F(WorldRuntime, ASoundWithACaptionShowsItsLinesFromItsStart)
{
    AddScreen(6, 0, kBlue);
    world->TransportToScreen(6);
    SubtitleItem caption;
    caption.Add(0, "");
    caption.Add(1, "(a knock, and no answer)");
    caption.Add(2000, "");
    WorldActionlist* knock = List();
    WorldAction* play = knock->addAction(ACT_PlaySound);
    play->addParamObject(0, L"nothing/knock.wav");
    play->addParamObject(5, &caption);
    EXPECT_STREQ(world->get_Caption(), "") << "no caption before any sound";
    world->ExcuteActionList(knock);
    platform::AdvanceClock(10);
    EXPECT_STREQ(world->get_Caption(), "(a knock, and no answer)");
    EXPECT_EQ(world->Run(), WorldManager::kKeepPlaying) << "a frame with the caption drawn";
    platform::AdvanceClock(2000);
    EXPECT_STREQ(world->get_Caption(), "") << "the list's last empty line ends it";

    // A plain sound leaves the caption alone; a new captioned one starts its lines again.
    WorldActionlist* plain = List();
    plain->addAction(ACT_PlaySound)->addParamObject(0, L"nothing/plain.wav");
    world->ExcuteActionList(plain);
    EXPECT_STREQ(world->get_Caption(), "");
    world->ExcuteActionList(knock);
    platform::AdvanceClock(5);
    EXPECT_STREQ(world->get_Caption(), "(a knock, and no answer)");

    // A line timed 0 shows the moment its sound starts, before any time has passed.
    SubtitleItem bang;
    bang.Add(0, "(bang)");
    bang.Add(500, "");
    WorldActionlist* burst = List();
    WorldAction* boom = burst->addAction(ACT_PlaySound);
    boom->addParamObject(0, L"nothing/bang.wav");
    boom->addParamObject(5, &bang);
    world->ExcuteActionList(burst);
    EXPECT_STREQ(world->get_Caption(), "(bang)");
    platform::AdvanceClock(499);
    EXPECT_STREQ(world->get_Caption(), "(bang)");
    platform::AdvanceClock(1);
    EXPECT_STREQ(world->get_Caption(), "") << "the empty line at 500 ms shows from 500 ms on";
}

TEST_F(WorldRuntime, AnAmbientSoundShowsItsCaptionEachTimeItStarts)
{
    const std::string file = (c_dir / "tick.wav").string();
    WriteSilentWav(file, 400);
    const std::wstring wide(file.begin(), file.end());
    SubtitleItem tick;
    tick.Add(0, "");
    tick.Add(1, "(tick)");
    tick.Add(100, "");
    world->AddRepetiveSound(4, wide.c_str(), &tick);
    world->AddRepetiveSound(5, wide.c_str());  // no caption: never shows one
    AddScreen(6, 0, kBlue);
    world->TransportToScreen(6);
    world->ActivateRepetiveSound(5, 50, 51);
    for (int i = 0; i < 10; ++i) {
        platform::AdvanceClock(30);
        sounds.Run();
        world->Run();
    }
    EXPECT_STREQ(world->get_Caption(), "") << "an uncaptioned sound shows nothing";

    world->ActivateRepetiveSound(4, 300, 301);
    int shown = 0;
    bool wasShown = false;
    for (int i = 0; i < 100; ++i) {  // 1.5 s in 15 ms frames: the tick starts four or five times
        platform::AdvanceClock(15);
        sounds.Run();
        world->Run();
        const bool showing = std::string(world->get_Caption()) == "(tick)";
        if (showing && !wasShown) ++shown;
        wasShown = showing;
    }
    EXPECT_GE(shown, 4);
    EXPECT_LE(shown, 6);
    world->DeactivateAllRepetiveSounds();
    sounds.Run();
    platform::AdvanceClock(200);
    world->Run();
    EXPECT_STREQ(world->get_Caption(), "") << "a silenced sound shows no more";
}

// The ending can lead on to the credits itself: an end-game action with 1 ends the world
// phase after the frame, as the top menu's quit button would; without it the game waits.
TEST_F(WorldRuntime, AnEndGameActionWithOneLeadsToTheCreditsAtOnce)
{
    AddScreen(6, 0, kBlue);
    world->TransportToScreen(6);
    WorldActionlist* wait = List();
    wait->addAction(ACT_EndGame);
    world->ExcuteActionList(wait);
    EXPECT_EQ(world->Run(), WorldManager::kKeepPlaying);
    EXPECT_TRUE(world->get_EndGameMode());

    WorldActionlist* now = List();
    now->addAction(ACT_HideInventory)->addParam(0, 1);
    now->addAction(ACT_EndGame)->addParam(0, 1);
    world->ExcuteActionList(now);
    EXPECT_EQ(world->Run(), WorldManager::kCredits);
    EXPECT_FALSE(world->get_EndGameMode());
    EXPECT_FALSE(world->get_HideInventory()) << "the bar comes back for the next game";
    EXPECT_EQ(world->Run(), WorldManager::kKeepPlaying) << "asked once, answered once";
}
