// Saving and restoring a small world of the test's own: round trips, the file on disk,
// damaged files, failed writes, and the save page's title entry.
#include "menus/save_manager.h"

#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "display/display_screen.h"
#include "media/game_sound_manager.h"
#include "menus_fixture.h"
#include "platform/clock/clock.h"
#include "platform/input/key_codes.h"
#include "support/watched_fifo.h"
#include "world/world_book_creator.h"

namespace {

using menus_test::ReadBytes;
using menus_test::WriteBytes;
using namespace platform;

// File modes apply to this thread as they would to a player: the super-user's rights to pass
// over them are set aside until the scope ends (nothing to do for anyone else).
class FileModesApply {
public:
    FileModesApply()
    {
        if (::geteuid() != 0) return;
        c_header.version = _LINUX_CAPABILITY_VERSION_3;
        c_header.pid = 0;
        c_bDropped = ::syscall(SYS_capget, &c_header, c_saved) == 0;
        if (!c_bDropped) return;
        __user_cap_data_struct reduced[2] = {c_saved[0], c_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        c_bDropped = ::syscall(SYS_capset, &c_header, reduced) == 0;
    }
    ~FileModesApply()
    {
        if (c_bDropped) ::syscall(SYS_capset, &c_header, c_saved);
    }
    FileModesApply(const FileModesApply&) = delete;
    FileModesApply& operator=(const FileModesApply&) = delete;

private:
    __user_cap_header_struct c_header{};
    __user_cap_data_struct c_saved[2]{};
    bool c_bDropped = false;
};

class SaveManagerTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        world = MakeWorld({{1, 5}, {300, 255}, {2, 0}});
        for (int screen : {3, 77, 12001, 17001}) world->AddWorldScreen(screen, 0, "data/screen.enc", menus_test::kOffset);
        saves = std::make_unique<SaveManager>(world.get(), &keys);
    }

    // One frame of the save page (or the restore page) on a cleared target, drawn by the
    // fixture's save manager or by `manager`.
    int PageFrame(bool savePage = true, SaveManager* manager = nullptr)
    {
        SaveManager& drawing = manager != nullptr ? *manager : *saves;
        device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device.BeginScene();
        const int result = savePage ? drawing.RunSave(&mouse) : drawing.Run(&mouse);
        device.EndScene();
        return result;
    }
    // One save-page frame with `keys` held, then released.
    int Type(std::initializer_list<int> pressed)
    {
        for (int key : pressed) Hold(key);
        InputFrame();
        const int result = PageFrame();
        for (int key : pressed) Release(key);
        InputFrame();
        return result;
    }
    static void PointAtSlotArgs(int slot, int* x, int* y)
    {
        *x = 200 + 400 * ((slot - 1) / 8);
        *y = 145 + 50 * ((slot - 1) % 8);
    }
    void PointAt(int slot)
    {
        int x, y;
        PointAtSlotArgs(slot, &x, &y);
        MoveTo(x, y);
    }
    void BeginEditing(int slot)
    {
        PointAt(slot);
        Click();
        InputFrame();
        PageFrame();
        ASSERT_EQ(saves->get_Edit(), slot);
    }
    // Lit pixels of a slot's text and the largest red and blue among them.
    static std::array<int, 3> SlotText(int slot)
    {
        const auto frame = kt::ReadBack();
        int x0, y0;
        PointAtSlotArgs(slot, &x0, &y0);
        std::array<int, 3> text{};
        for (int y = y0 - 12; y < y0 + 8; ++y)
            for (int x = x0 - 100; x < x0 + 190; ++x) {
                const std::uint32_t c = kt::PixelAt(frame, x, y);
                if ((c & 0xFFFFFF) == 0) continue;
                ++text[0];
                text[1] = std::max(text[1], static_cast<int>((c >> 16) & 0xFF));
                text[2] = std::max(text[2], static_cast<int>(c & 0xFF));
            }
        return text;
    }
    int Value(int number) const { return static_cast<unsigned char>(world->getGlobalVarValue(number)); }
    // Lit pixels of the line below the slots where the save page gives its messages.
    static int MessageLine()
    {
        const auto frame = kt::ReadBack();
        int lit = 0;
        for (int y = 518; y < 545; ++y)
            for (int x = 100; x < 500; ++x) lit += (kt::PixelAt(frame, x, y) & 0xFFFFFF) != 0;
        return lit;
    }

    std::unique_ptr<WorldManager> world;
    std::unique_ptr<SaveManager> saves;
};

TEST_F(SaveManagerTest, RoundTripRestoresVariablesInventoryScreenAndHeading)
{
    world->TransportToScreen(0);
    world->ActivateItem(4);
    world->ActivateItem(2);
    world->set_ScreenPosition(12001);
    world->set_Rotation(3.14159f);
    MoveTo(400, 300);
    world->Run();  // a save reads the heading taken at the start of the last frame
    ASSERT_TRUE(saves->SaveGame(5, "Before the gate"));
    const std::vector<std::uint8_t> file = ReadBytes("save/save5.sav");
    ASSERT_GE(file.size(), 20u);
    EXPECT_EQ(file[18] * 256 + file[19], 314) << "3.14159 radians are stored as 314";

    world->setGlobalVarValue(1, 7);
    world->setGlobalVarValue(300, 0);
    world->get_Inventory()->get_ActiveItems().clear();
    world->ActivateItem(8);
    world->set_ScreenPosition(3);
    ASSERT_TRUE(saves->LoadGame(5));
    EXPECT_EQ(Value(1), 5);
    EXPECT_EQ(Value(300), 255) << "the value 255 comes back as the same byte";
    EXPECT_EQ(BarItems(*world), (std::vector<int>{4, 2})) << "the bar is replaced, in its saved order";
    EXPECT_EQ(world->get_ScreenPosition(), 12001);
    EXPECT_NEAR(world->get_DisplayScreen()->GetBackgroundRotation(), 3.14f, 1e-5f);
}

// Book pages and close-ups are looked at from a place, and pages may bear numbers a save
// cannot hold: a save made over one keeps the place the player stands on and its heading.
TEST_F(SaveManagerTest, ASaveOverABookOrACloseUpRestoresWhereThePlayerStood)
{
    WorldBookCreator book(world.get(), L"data/item.wav", L"data/item.wav", 90001, menus_test::kOffset);
    book.AddPage("data/screen.enc");
    book.AddPage("data/screen.enc");
    world->AddWorldScreen(menus_test::kFirstCloseUp + 1000, 0, "data/screen.enc", menus_test::kOffset);
    GameSoundManager sounds;  // the close-up plays the item's sound
    world->set_SoundManager(&sounds);
    world->ActivateItem(2);
    world->TransportToScreen(77);
    world->set_Rotation(2.5f);
    MoveTo(400, 300);
    world->Run();
    world->JumpToScreen(90001, 0);
    world->JumpToScreen(90002, 0);
    world->set_Rotation(0.75f);
    world->Run();
    ASSERT_TRUE(saves->SaveGame(1, "reading")) << saves->get_LastError();
    world->JumpToScreen(3, 0);
    world->JumpToInventoryScreen(2);
    ASSERT_EQ(world->get_ScreenPosition(), menus_test::kFirstCloseUp + 1000);
    ASSERT_TRUE(saves->SaveGame(2, "looking")) << saves->get_LastError();

    const std::vector<std::uint8_t> reading = ReadBytes("save/save1.sav");
    ASSERT_GE(reading.size(), 12u);
    EXPECT_EQ(reading[8] * 256 + reading[9], 77) << "the screen the book was opened from";
    EXPECT_EQ(reading[10] * 256 + reading[11], 250) << "at the heading the player had there";
    ASSERT_TRUE(saves->LoadGame(1));
    EXPECT_EQ(world->get_ScreenPosition(), 77);
    EXPECT_NEAR(world->get_DisplayScreen()->GetBackgroundRotation(), 2.5f, 1e-5f);
    ASSERT_TRUE(saves->LoadGame(2));
    EXPECT_EQ(world->get_ScreenPosition(), 3) << "the screen the close-up was opened on";
}

TEST_F(SaveManagerTest, WritesTheFileByteForByteAndReplacesAUsedSlot)
{
    world->ActivateItem(3);
    world->ActivateItem(1);
    world->set_ScreenPosition(17001);
    ASSERT_TRUE(saves->SaveGame(2, "a much longer first title"));
    ASSERT_TRUE(saves->SaveGame(2, "Hall"));
    EXPECT_EQ(ReadBytes("save/save2.sav"),
              (std::vector<std::uint8_t>{'H', 'a', 'l', 'l', 0, 0x42, 0x69, 0x00, 0x00, 0x00, 0x03, 0x00, 0x01, 0x05,
                                         0x01, 0x2C, 0xFF, 0x00, 0x02, 0x00, 0x02, 0x03, 0x01}));
    EXPECT_FALSE(std::filesystem::exists("save/save2.sav.tmp")) << "no temporary file is left behind";
    EXPECT_STREQ(SaveManager(world.get(), &keys).GetSaveFile(2)->get_Title(), "Hall");
}

TEST_F(SaveManagerTest, DamagedFilesChangeNothingAndShowAsUnreadable)
{
    ASSERT_TRUE(saves->SaveGame(1, "good"));
    const std::vector<std::uint8_t> good = ReadBytes("save/save1.sav");
    WriteBytes("save/save2.sav", std::vector<std::uint8_t>(good.begin(), good.end() - 1));
    std::vector<std::uint8_t> counts = good;
    counts[10] = 200;  // 200 variables declared
    WriteBytes("save/save3.sav", counts);
    WriteBytes("save/save4.sav", std::vector<std::uint8_t>(60, 'x'));  // no terminator in 48 bytes
    WriteBytes("save/save5.sav", std::vector<std::uint8_t>(kMaxSaveFileSize + 100, 0));

    SaveManager reopened(world.get(), &keys);
    EXPECT_TRUE(reopened.GetSaveFile(1)->get_Active());
    for (int slot = 2; slot <= 5; ++slot) {
        EXPECT_FALSE(reopened.GetSaveFile(slot)->get_Active()) << "slot " << slot;
        EXPECT_TRUE(reopened.GetSaveFile(slot)->get_Unreadable()) << "slot " << slot;
    }
    EXPECT_FALSE(reopened.GetSaveFile(6)->get_Unreadable()) << "a missing file is an empty slot";

    world->setGlobalVarValue(1, 1);
    world->set_ScreenPosition(77);
    WriteBytes("save/save1.sav", std::vector<std::uint8_t>(good.begin(), good.begin() + 12));
    for (int slot = 1; slot <= 6; ++slot) EXPECT_FALSE(reopened.LoadGame(slot)) << "slot " << slot;
    EXPECT_TRUE(reopened.GetSaveFile(1)->get_Unreadable()) << "damaged while the game ran";
    EXPECT_EQ(Value(1), 1);
    EXPECT_EQ(world->get_ScreenPosition(), 77);

    char name[SaveFile::kTitleSize + 1];
    name[SaveFile::kTitleSize] = '#';
    EXPECT_FALSE(reopened.GetName(4, name));
    EXPECT_EQ(std::strlen(name), 47u) << "GetName stops at 48 bytes and terminates";
    EXPECT_EQ(name[SaveFile::kTitleSize], '#');
}

TEST_F(SaveManagerTest, AFullDiskKeepsTheOldSaveAndThePageSaysSo)
{
    kt::ManualClockScope clock(0);
    ASSERT_TRUE(saves->SaveGame(3, "old"));
    const std::vector<std::uint8_t> old = ReadBytes("save/save3.sav");
    // Files may grow to 10 bytes only: the write stops part-way, as on a full disk.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 10;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = saves->SaveGame(3, "new");
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes("save/save3.sav"), old) << "the previous save is intact";
    EXPECT_STREQ(saves->GetSaveFile(3)->get_Title(), "old");
    EXPECT_NE(saves->get_LastError().find("could not be saved"), std::string::npos) << saves->get_LastError();

    MoveTo(10, 10);
    PageFrame();
    EXPECT_GT(MessageLine(), 100) << "the failure is written below the slots";
    platform::AdvanceClock(10000);
    PageFrame();
    EXPECT_TRUE(saves->get_LastError().empty()) << "the message goes away after a while";
}

TEST_F(SaveManagerTest, NoSaveDirectoryMeansNoSaveButNewGamesStillStart)
{
    ASSERT_TRUE(saves->SaveGame(0, ""));
    std::filesystem::remove_all("save");
    WriteBytes("save", {1, 2, 3});  // a file where the directory should be
    world->setGlobalVarValue(300, 1);
    EXPECT_FALSE(saves->SaveGame(1, "x"));
    EXPECT_FALSE(saves->GetSaveFile(1)->get_Active());
    EXPECT_TRUE(saves->LoadGame(0)) << "slot 0 falls back to the snapshot taken when it was written";
    EXPECT_EQ(Value(300), 255);
}

TEST_F(SaveManagerTest, ReadOnlySavesRestoreAndTheSavePageSaysSavingIsUnavailable)
{
    world->setGlobalVarValue(1, 42);
    ASSERT_TRUE(saves->SaveGame(1, "kept"));
    ASSERT_TRUE(saves->SaveGame(2, "guarded"));
    const std::vector<std::uint8_t> guarded = ReadBytes("save/save2.sav");
    ASSERT_EQ(::chmod("save/save1.sav", 0444), 0);
    ASSERT_EQ(::chmod("save/save2.sav", 0444), 0);
    FileModesApply modes;

    // Read-only files in a writable directory: restored, never replaced.
    world->setGlobalVarValue(1, 1);
    SaveManager reopened(world.get(), &keys);
    ASSERT_TRUE(reopened.GetSaveFile(1)->get_Active()) << "a read-only save is a save";
    EXPECT_STREQ(reopened.GetSaveFile(1)->get_Title(), "kept");
    EXPECT_TRUE(reopened.get_SavingUnavailable().empty()) << reopened.get_SavingUnavailable();
    ASSERT_TRUE(reopened.LoadGame(1));
    EXPECT_EQ(Value(1), 42);
    EXPECT_FALSE(reopened.SaveGame(2, "over it"));
    EXPECT_NE(reopened.get_LastError().find("write-protected"), std::string::npos) << reopened.get_LastError();
    EXPECT_EQ(ReadBytes("save/save2.sav"), guarded);
    EXPECT_STREQ(reopened.GetSaveFile(2)->get_Title(), "guarded");

    // A directory that cannot be written: every save still restores; the page says why not.
    ASSERT_EQ(::chmod("save", 0555), 0);
    world->setGlobalVarValue(1, 2);
    SaveManager locked(world.get(), &keys);
    EXPECT_TRUE(locked.GetSaveFile(2)->get_Active());
    EXPECT_NE(locked.get_SavingUnavailable().find("cannot be written"), std::string::npos)
        << locked.get_SavingUnavailable();
    ASSERT_TRUE(locked.LoadGame(1));
    EXPECT_EQ(Value(1), 42);
    EXPECT_FALSE(locked.SaveGame(3, "nowhere"));
    EXPECT_FALSE(locked.GetSaveFile(3)->get_Active());
    MoveTo(10, 10);
    PageFrame(true, &locked);
    EXPECT_GT(MessageLine(), 100) << "the save page says that saving is unavailable";
    ::chmod("save", 0755);
}

TEST_F(SaveManagerTest, SavesNamingWhatTheWorldLacksShowAsUnreadableAndChangeNothing)
{
    world->AddGlobalVarArray(9, 100, 2, 2, 3);  // cells 100 .. 103 hold 0 .. 3
    world->AddWorldScreen(menus_test::kFirstCloseUp, 0, "data/screen.enc", menus_test::kOffset);
    WorldBookCreator book(world.get(), L"data/item.wav", L"data/item.wav", 30001, menus_test::kOffset);
    book.AddPage("data/screen.enc");
    book.AddPage("data/screen.enc");
    world->set_ScreenPosition(17001);
    world->ActivateItem(2);
    ASSERT_TRUE(saves->SaveGame(1, "good"));
    SaveRecord good;
    ASSERT_TRUE(ParseSaveFile(ReadBytes("save/save1.sav"), &good, nullptr));
    const auto damaged = [&](int slot, void (*apply)(SaveRecord&)) {
        SaveRecord record = good;
        apply(record);
        WriteBytes(SaveManager::SlotPath(slot), EncodeSaveFile(record));
    };
    damaged(2, [](SaveRecord& r) { r.screen = 65535; });
    damaged(3, [](SaveRecord& r) { r.variables.back().value = 4; });  // a grid cell beyond 3
    damaged(4, [](SaveRecord& r) { r.variables.push_back({999, 1}); });
    damaged(5, [](SaveRecord& r) { r.items.push_back(9); });
    damaged(6, [](SaveRecord& r) { r.heading = 9000; });
    damaged(7, [](SaveRecord& r) { r.screen = menus_test::kFirstCloseUp; });  // item 1's close-up
    damaged(8, [](SaveRecord& r) { r.screen = 30002; });                     // a book's second page
    damaged(9, [](SaveRecord& r) { r.variables.erase(r.variables.begin()); });

    world->setGlobalVarValue(1, 77);
    world->set_ScreenPosition(3);
    world->get_Inventory()->get_ActiveItems().clear();
    world->ActivateItem(5);
    world->set_BackRotation(1.5f);
    SaveManager reopened(world.get(), &keys);
    EXPECT_TRUE(reopened.GetSaveFile(1)->get_Active());
    for (int slot = 2; slot <= 9; ++slot) {
        EXPECT_TRUE(reopened.GetSaveFile(slot)->get_Unreadable()) << "slot " << slot;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(reopened.LoadGame(slot)) << "slot " << slot;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("save" + std::to_string(slot) + ".sav cannot be restored"), std::string::npos) << said;
        const std::string fault = slot == 7 ? "close-up" : slot == 8 ? "page of a book" : slot == 9 ? "variable 1 " : "";
        EXPECT_NE(said.find(fault), std::string::npos) << said;
    }
    EXPECT_EQ(Value(1), 77);
    EXPECT_EQ(world->get_ScreenPosition(), 3);
    EXPECT_EQ(BarItems(*world), std::vector<int>{5});
    EXPECT_NEAR(world->get_DisplayScreen()->GetBackgroundRotation(), 1.5f, 1e-5f);

    // Damage done while the game runs is found at the click, too.
    damaged(1, [](SaveRecord& r) { r.screen = 65535; });
    EXPECT_FALSE(reopened.LoadGame(1));
    EXPECT_TRUE(reopened.GetSaveFile(1)->get_Unreadable());
    EXPECT_EQ(world->get_ScreenPosition(), 3);
}

TEST_F(SaveManagerTest, NewGameStartsFreshWhenSlotZeroCannotBeWrittenOverAnOlderSave)
{
    // An older new-game save from another start: other values, another screen.
    world->setGlobalVarValue(1, 99);
    world->ActivateItem(7);
    ASSERT_TRUE(saves->SaveGame(0, ""));
    world->setGlobalVarValue(1, 5);
    world->get_Inventory()->get_ActiveItems().clear();
    ASSERT_EQ(::chmod("save", 0555), 0);
    FileModesApply modes;

    SaveManager fresh(world.get(), &keys);
    EXPECT_FALSE(fresh.SaveGame(0, "")) << "slot 0 cannot be written";
    EXPECT_FALSE(fresh.get_LastError().empty());
    world->setGlobalVarValue(1, 3);
    world->ActivateItem(4);
    ASSERT_TRUE(fresh.LoadGame(0)) << "New Game starts from memory";
    EXPECT_EQ(Value(1), 5) << "the fresh start, not the older file";
    EXPECT_TRUE(BarItems(*world).empty());
    EXPECT_EQ(world->get_ScreenPosition(), 0);

    MoveTo(10, 10);
    PageFrame(true, &fresh);
    EXPECT_GT(MessageLine(), 100) << "the save page tells why saving fails";
    ::chmod("save", 0755);
}

TEST_F(SaveManagerTest, TemporaryFilesOfAnInterruptedSaveAreRemovedWhenTheDirectoryOpens)
{
    WriteBytes("save/save3.sav.tmp", {'h', 'a', 'l', 'f'});
    WriteBytes("save/save0.sav.tmp", {0});
    WriteBytes("save/notes.tmp", {'m', 'i', 'n', 'e'});
    SaveManager reopened(world.get(), &keys);
    EXPECT_FALSE(std::filesystem::exists("save/save3.sav.tmp"));
    EXPECT_FALSE(std::filesystem::exists("save/save0.sav.tmp"));
    EXPECT_TRUE(std::filesystem::exists("save/notes.tmp")) << "files the game did not write stay";
    EXPECT_FALSE(reopened.GetSaveFile(3)->get_Active());
}

TEST_F(SaveManagerTest, ASlotThatIsNoFileShowsUnreadableAndNeitherStartUpNorASaveWaitsOnIt)
{
    // A FIFO under a slot's name: opening it to read, or to see whether it may be written,
    // would wait for its other end.
    kt::WatchedFifo fifo("save/save3.sav");
    ::testing::internal::CaptureStderr();
    SaveManager reopened(world.get(), &keys);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(reopened.GetSaveFile(3)->get_Active());
    EXPECT_TRUE(reopened.GetSaveFile(3)->get_Unreadable());
    EXPECT_NE(said.find("save/save3.sav"), std::string::npos) << said;
    char title[SaveFile::kTitleSize];
    EXPECT_FALSE(reopened.GetName(3, title));
    EXPECT_FALSE(reopened.CheckSaveFile(3));

    world->setGlobalVarValue(1, 9);
    EXPECT_TRUE(reopened.SaveGame(3, "in its place")) << reopened.get_LastError();
    EXPECT_FALSE(fifo.Stop()) << "the save manager waited on a FIFO";
    world->setGlobalVarValue(1, 0);
    ASSERT_TRUE(reopened.LoadGame(3));
    EXPECT_EQ(Value(1), 9);
}

TEST_F(SaveManagerTest, TitleEntryFollowsTheKeyTable)
{
    ASSERT_TRUE(saves->SaveGame(6, "kept"));
    BeginEditing(4);
    EXPECT_EQ(Type({DIK_BACK}), SaveManager::kTyping) << "Backspace on an empty title";
    Hold(DIK_LSHIFT);
    Type({DIK_H});
    Type({DIK_1});
    Type({DIK_PERIOD});
    Release(DIK_LSHIFT);
    Type({DIK_A});
    Type({DIK_SPACE});
    for (int i = 0; i < 30; ++i) Type({DIK_Z});
    Type({DIK_RSHIFT});
    EXPECT_EQ(Type({DIK_RETURN}), SaveManager::kSaved);
    EXPECT_EQ(saves->get_Edit(), 0);
    EXPECT_STREQ(saves->GetSaveFile(4)->get_Title(), ("H1.a " + std::string(19, 'z')).c_str());

    BeginEditing(6);
    EXPECT_EQ(Type({DIK_RETURN, DIK_X}), SaveManager::kSaved) << "the letter first, then the save";
    EXPECT_STREQ(saves->GetSaveFile(6)->get_Title(), "keptx") << "editing starts from the old title";
    BeginEditing(6);
    EXPECT_EQ(Type({DIK_ESCAPE, DIK_RETURN}), SaveManager::kNothing) << "Return after Escape does nothing";
    EXPECT_STREQ(saves->GetSaveFile(6)->get_Title(), "keptx");
}

TEST_F(SaveManagerTest, SlotPagesShowDotsOnTheSavePageAndHighlightUsedSlotsOnRestore)
{
    ASSERT_TRUE(saves->SaveGame(2, "WWWWWWWWWWWWWWWWWWWW"));
    MoveTo(10, 10);
    PageFrame();
    const int title = SlotText(2)[0];
    PointAt(2);
    EXPECT_EQ(PageFrame(), SaveManager::kOverSlot);
    EXPECT_LT(SlotText(2)[0] * 5, title) << "three dots instead of the long title over a used slot";

    EXPECT_EQ(PageFrame(false), SaveManager::kOverSlot);
    const auto highlighted = SlotText(2);
    EXPECT_LT(highlighted[2], highlighted[1] - 30) << "the highlight has less blue than red";
    PointAt(3);
    EXPECT_EQ(PageFrame(false), SaveManager::kNothing) << "an empty slot does not react";
    Click();
    InputFrame();
    EXPECT_EQ(PageFrame(false), SaveManager::kNothing) << "an empty slot cannot be picked";
    const auto white = SlotText(2);
    EXPECT_NEAR(white[2], white[1], 2) << "a used slot away from the pointer is white";
    PointAt(2);
    Click();
    InputFrame();
    EXPECT_EQ(PageFrame(false), 2);
}

}  // namespace

namespace {

// The game's side of a save as a test sees it: a place per screen and one addition.
class FakeCompanions : public SaveCompanionSource {
public:
    std::string PlaceOf(int screen) const override { return screen == 3 ? "The shore" : "Elsewhere"; }
    std::map<std::string, std::string> CaptureExtras() const override { return {{"journal", journal}}; }
    void RestoreExtras(const std::map<std::string, std::string>& extras) override
    {
        ++restores;
        const auto found = extras.find("journal");
        journal = found == extras.end() ? "(fresh)" : found->second;
    }
    std::string journal = "watch lid";
    int restores = 0;
};

// An 800 x 600 view whose band is `colour`.
std::vector<std::uint32_t> View(std::uint32_t colour) { return std::vector<std::uint32_t>(800 * 600, colour); }

}  // namespace

TEST_F(SaveManagerTest, ASaveKeepsItsPlaceTimePictureAndTheGameAdditionsBesideItsUnchangedFile)
{
    FakeCompanions companions;
    saves->set_CompanionSource(&companions);
    world->set_ScreenPosition(3);
    world->TransportToScreen(3);
    saves->set_ViewPicture(View(0xFF336699u));
    ASSERT_TRUE(saves->SaveGame(4, "By the boat"));
    EXPECT_EQ(saves->GetPlace(4), "The shore");
    EXPECT_FALSE(saves->GetWhen(4).empty());
    EXPECT_TRUE(saves->HasPicture(4));
    // The save file is the same bytes a save without companions writes.
    const std::vector<std::uint8_t> withCompanion = ReadBytes("save/save4.sav");
    saves->set_CompanionSource(nullptr);
    ASSERT_TRUE(saves->SaveGame(5, "By the boat"));
    EXPECT_EQ(ReadBytes("save/save5.sav"), withCompanion);
    EXPECT_FALSE(saves->HasPicture(5)) << "a picture goes to one save only";
    saves->set_CompanionSource(&companions);

    // A manager opened afterwards reads them back, and a restore gives the additions back.
    SaveManager reopened(world.get(), &keys);
    reopened.set_CompanionSource(&companions);
    EXPECT_EQ(reopened.GetPlace(4), "The shore");
    EXPECT_TRUE(reopened.HasPicture(4));
    companions.journal = "changed since";
    ASSERT_TRUE(reopened.LoadGame(4));
    EXPECT_EQ(companions.journal, "watch lid");
    ASSERT_TRUE(reopened.SaveGame(0, ""));
    ASSERT_TRUE(reopened.LoadGame(0));
    EXPECT_EQ(companions.journal, "(fresh)") << "a new game starts the additions afresh";
}

TEST_F(SaveManagerTest, ASaveWithoutItsCompanionOrWithOneLeftFromAnEarlierSaveStillRestores)
{
    FakeCompanions companions;
    saves->set_CompanionSource(&companions);
    saves->set_ViewPicture(View(0xFF808080u));
    ASSERT_TRUE(saves->SaveGame(6, "First"));
    const std::vector<std::uint8_t> firstCompanion = ReadBytes("save/save6.info");

    // A save from before companions existed: the file alone.
    ASSERT_EQ(::unlink("save/save6.info"), 0);
    {
        SaveManager reopened(world.get(), &keys);
        reopened.set_CompanionSource(&companions);
        EXPECT_TRUE(reopened.GetSaveFile(6)->get_Active());
        EXPECT_EQ(reopened.GetPlace(6), "");
        EXPECT_FALSE(reopened.HasPicture(6));
        companions.journal = "later";
        ASSERT_TRUE(reopened.LoadGame(6));
        EXPECT_EQ(companions.journal, "(fresh)") << "a save without additions had none";
    }

    // A companion of another save beside it (a crash between the two writes) is not believed.
    world->setGlobalVarValue(1, 9);
    saves->set_CompanionSource(nullptr);
    ASSERT_TRUE(saves->SaveGame(6, "Second"));
    WriteBytes("save/save6.info", firstCompanion);
    SaveManager reopened(world.get(), &keys);
    reopened.set_CompanionSource(&companions);
    EXPECT_EQ(reopened.GetPlace(6), "");
    EXPECT_FALSE(reopened.HasPicture(6));
    companions.journal = "kept?";
    ASSERT_TRUE(reopened.LoadGame(6));
    EXPECT_EQ(Value(1), 9);
    EXPECT_EQ(companions.journal, "(fresh)");
}

TEST_F(SaveManagerTest, TheGameOwnSlotsSaveInTheBackgroundAndAHeldItemIsKept)
{
    FakeCompanions companions;
    saves->set_CompanionSource(&companions);
    world->ActivateItem(4);
    world->ActivateItem(2);
    ASSERT_TRUE(world->ClickBarItem(4));
    ASSERT_EQ(world->get_CursorItem(), 4);

    ASSERT_TRUE(saves->SaveGameInBackground(SaveManager::kAutoSlot, "The shore"));
    EXPECT_FALSE(saves->SaveGameInBackground(SaveManager::kAutoSlot, "again")) << "one save at a time";
    // What is saved is the state when the save began.
    world->setGlobalVarValue(1, 7);
    while (!saves->PollBackground()) {}
    EXPECT_FALSE(saves->get_SavingInBackground());
    EXPECT_TRUE(saves->GetSaveFile(SaveManager::kAutoSlot)->get_Active());
    EXPECT_EQ(ReadBytes("save/autosave.sav").empty(), false);
    EXPECT_FALSE(saves->SaveGameInBackground(SaveManager::kNewGameSlot, "")) << "the new game is no background save";

    ASSERT_TRUE(saves->SaveGame(SaveManager::kQuickSlot, "Quick"));
    ASSERT_TRUE(saves->LoadGame(SaveManager::kAutoSlot));
    EXPECT_EQ(Value(1), 5);
    EXPECT_EQ(BarItems(*world), (std::vector<int>{2, 4})) << "the item in hand comes back at the bar's end";
    SaveManager reopened(world.get(), &keys);
    EXPECT_TRUE(reopened.GetSaveFile(SaveManager::kQuickSlot)->get_Active());
    EXPECT_STREQ(reopened.GetSaveFile(SaveManager::kAutoSlot)->get_Title(), "The shore");
    EXPECT_FALSE(reopened.GetSaveFile(SaveManager::kEditSlot)->get_Active());
}

TEST_F(SaveManagerTest, AnEmptyTitleSavesUnderThePlaceAndTheRestorePageOffersTheGameOwnSaves)
{
    FakeCompanions companions;
    saves->set_CompanionSource(&companions);
    world->set_ScreenPosition(3);
    world->TransportToScreen(3);
    BeginEditing(2);
    for (int i = 0; i < 4; ++i) Type({DIK_BACK});
    Type({DIK_SPACE});
    ASSERT_EQ(Type({DIK_RETURN}), SaveManager::kSaved);
    EXPECT_STREQ(saves->GetSaveFile(2)->get_Title(), "The shore");

    // The autosave stands above slot 1 and the quick save above slot 9; a click restores it.
    ASSERT_TRUE(saves->SaveGame(SaveManager::kQuickSlot, "Quick"));
    MoveTo(600, 95);
    Click();
    InputFrame();
    EXPECT_EQ(PageFrame(false), SaveManager::kQuickSlot);
    MoveTo(200, 95);
    InputFrame();
    EXPECT_EQ(PageFrame(false), SaveManager::kNothing) << "no autosave yet: nothing to restore there";
}
