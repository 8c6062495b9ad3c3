#include "menus/save_manager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <utility>

#include "core/error.h"
#include "core/game_paths.h"
#include "core/safe_file.h"
#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "display/full_screen_image.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "input/key_manager.h"
#include "imaging/image.h"
#include "input/mouse_manager.h"
#include "platform/clock/clock.h"
#include "platform/input/key_codes.h"
#include "world/world_global_var_array.h"
#include "world/world_manager.h"

namespace {

constexpr const char* kSaveDirectory = "save";
constexpr const char* kFontFace = "Times New Roman";
constexpr DWORD kFontHeight = 12;

// Slot lists: two columns of eight, 400 pixels and 50 pixels apart.
constexpr int kRowsPerColumn = 8;
constexpr float kColumnWidth = 400.0f;
constexpr float kRowHeight = 50.0f;
constexpr float kLabelX = 60.0f;
constexpr float kTextX = 100.0f;
constexpr float kTextY = 135.0f;
// A slot with a picture: the picture at the left of the slot, the title beside it and the place
// and time under the title.
constexpr float kPictureWidth = 60.0f, kPictureHeight = 30.0f;
constexpr float kPictureTop = 130.0f;
constexpr float kBesidePictureX = 166.0f;
constexpr float kTitleOverDetailsY = 131.0f;
constexpr float kDetailsY = 145.0f;
// The autosave and the quick save stand in a row above the player's slots on the restore page.
constexpr float kTopRowY = -50.0f;
// The pointer area of a slot, relative to its column and row.
constexpr int kAreaLeft = 100, kAreaTop = 130, kAreaRight = 400, kAreaBottom = 160;

// The caret blinks 300 ms on, 200 ms off.
constexpr std::uint32_t kCaretPeriodMs = 500;
constexpr std::uint32_t kCaretOnMs = 300;

// Where and how long the save page tells the player that a save failed.
constexpr float kMessageX = 100.0f;
constexpr float kMessageY = 522.0f;
constexpr std::uint32_t kMessageMs = 6000;

constexpr const char* kEmptyText = "(empty)";
constexpr const char* kUnreadableText = "(unreadable)";
constexpr const char* kBrowseText = "...";
constexpr const char* kCaretText = "|";
constexpr const char* kUnavailableText = "Saving is unavailable: ";
constexpr const char* kTemporarySuffix = ".tmp";
constexpr const char* kDetailsSeparator = ", ";
// Item numbers a save file can hold.
constexpr int kMaxItemNumber = 0xFF;

using SafeFile::FileDescriptor;

// Reads a small file whole; false when it is missing, not a regular file or over `limit` bytes.
bool ReadSmallFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>* bytes)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > limit)
        return false;
    bytes->assign(static_cast<std::size_t>(info.st_size), 0);
    std::size_t filled = 0;
    while (filled < bytes->size()) {
        const ssize_t got = ::read(fd.get(), bytes->data() + filled, bytes->size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

// A companion or a slot picture is a few kilobytes; anything far larger is not ours.
constexpr std::size_t kMaxCompanionSize = 64 * 1024;
constexpr std::size_t kMaxPictureFileSize = 256 * 1024;

// The slot picture as a PNG file's bytes.
std::vector<std::uint8_t> EncodeSlotPicture(const std::vector<std::uint32_t>& picture)
{
    imaging::Image image;
    image.width = kSlotPictureWidth;
    image.height = kSlotPictureHeight;
    image.pixels.resize(picture.size() * 4);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const std::uint32_t p = picture[i];
        image.pixels[i * 4 + 0] = static_cast<std::uint8_t>(p);
        image.pixels[i * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
        image.pixels[i * 4 + 2] = static_cast<std::uint8_t>(p >> 16);
        image.pixels[i * 4 + 3] = 0xFF;
    }
    return imaging::EncodePng(image);
}

// A slot picture file back into pixels; empty unless it is a picture of the slot picture's size.
std::vector<std::uint32_t> DecodeSlotPicture(const std::vector<std::uint8_t>& bytes)
{
    imaging::Image image;
    std::string why;
    if (!imaging::DecodeImage(bytes.data(), bytes.size(), &image, &why) || image.width != kSlotPictureWidth ||
        image.height != kSlotPictureHeight)
        return {};
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const std::uint8_t* p = image.pixels.data() + i * 4;
        picture[i] = 0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
    return picture;
}

// Opens a slot's file for reading without ever waiting: a FIFO or device under a slot's name
// would block a plain open until someone writes to it, and start-up with it.
int OpenSlotFile(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); }

std::string SystemReason(int error) { return std::strerror(error); }

// The letter keys in the order the save page applies them.
struct LetterKey {
    int key;
    char letter;
};
constexpr LetterKey kLetterKeys[] = {
    {platform::DIK_A, 'a'}, {platform::DIK_B, 'b'}, {platform::DIK_C, 'c'}, {platform::DIK_D, 'd'},
    {platform::DIK_E, 'e'}, {platform::DIK_F, 'f'}, {platform::DIK_G, 'g'}, {platform::DIK_H, 'h'},
    {platform::DIK_I, 'i'}, {platform::DIK_J, 'j'}, {platform::DIK_K, 'k'}, {platform::DIK_L, 'l'},
    {platform::DIK_M, 'm'}, {platform::DIK_N, 'n'}, {platform::DIK_O, 'o'}, {platform::DIK_P, 'p'},
    {platform::DIK_Q, 'q'}, {platform::DIK_R, 'r'}, {platform::DIK_S, 's'}, {platform::DIK_T, 't'},
    {platform::DIK_U, 'u'}, {platform::DIK_V, 'v'}, {platform::DIK_W, 'w'}, {platform::DIK_X, 'x'},
    {platform::DIK_Y, 'y'}, {platform::DIK_Z, 'z'},
};
constexpr int kDigitKeys[] = {platform::DIK_0, platform::DIK_1, platform::DIK_2, platform::DIK_3,
                              platform::DIK_4, platform::DIK_5, platform::DIK_6, platform::DIK_7,
                              platform::DIK_8, platform::DIK_9};

}  // namespace

SaveManager::SaveManager(WorldManager* worldManager, KeyManager* keyManager)
    : c_pWorldManager(worldManager), c_pKeyManager(keyManager)
{
    GamePaths::MakeSaveDirectory(nullptr);  // a failure shows on the save page
    RemoveStaleTemporaries();
    c_sUnavailable = ProbeSaveDirectory();
    for (auto& slot : c_pSaveFileNames) slot = std::make_unique<SaveFile>(false);
    if (D3Dfunc::pD3Ddevice != nullptr) {
        c_pPictureQuad = std::make_unique<FullScreenImage>();
        if (!c_pPictureQuad->Create(D3Dfunc::pD3Ddevice)) c_pPictureQuad.reset();
    }
    ReadSlotTitles();
    c_pFont = std::make_unique<CD3DFont>(kFontFace, kFontHeight, D3DFONT_BOLD);
    (void)c_pFont->InitDeviceObjects(D3Dfunc::pD3Ddevice);
    (void)c_pFont->RestoreDeviceObjects();
}

SaveManager::~SaveManager()
{
    // A save being written is finished: the player was told the game saves.
    if (c_pending) c_pendingResult.wait();
}

void SaveManager::ReadSlotTitles()
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        SaveRecord record;
        std::string why;
        std::vector<std::uint8_t> bytes;
        struct stat info {};
        const bool exists = IsFileSlot(slot) && ::stat(SlotPath(slot).c_str(), &info) == 0;
        const bool readable = exists && ReadSlot(slot, &record, &why, &bytes);
        SaveFile& file = *c_pSaveFileNames[slot];
        file.set_Active(readable);
        file.set_Name(readable ? record.title.c_str() : "");
        file.set_Unreadable(exists && !readable);
        if (exists && !readable && slot != kNewGameSlot) std::cerr << "Kelvane: " << why << '\n';
        SaveCompanion companion;
        if (readable && slot != kNewGameSlot) {
            ReadDetails(slot, bytes, &companion);
        } else {
            c_details[static_cast<std::size_t>(slot)] = SlotDetails{};
        }
    }
}

void SaveManager::ReadDetails(int slot, const std::vector<std::uint8_t>& saveBytes, SaveCompanion* companion)
{
    *companion = SaveCompanion{};
    std::vector<std::uint8_t> text;
    SaveCompanion read;
    std::string why;
    // A companion that is missing, garbled or left from an earlier save in the slot is passed
    // over: the save restores all the same and shows its title alone.
    if (!ReadSmallFile(CompanionPath(slot), kMaxCompanionSize, &text) ||
        !ParseSaveCompanion(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), &read, &why) ||
        read.saveCheck != SaveChecksum(saveBytes)) {
        ShowDetails(slot, *companion, {});
        return;
    }
    *companion = std::move(read);
    std::vector<std::uint8_t> pictureBytes;
    std::vector<std::uint32_t> picture;
    if (!companion->pictureCheck.empty() && ReadSmallFile(PicturePath(slot), kMaxPictureFileSize, &pictureBytes) &&
        SaveChecksum(pictureBytes) == companion->pictureCheck)
        picture = DecodeSlotPicture(pictureBytes);
    ShowDetails(slot, *companion, picture);
}

void SaveManager::ShowDetails(int slot, const SaveCompanion& companion, const std::vector<std::uint32_t>& picture)
{
    SlotDetails& details = c_details[static_cast<std::size_t>(slot)];
    details.place = companion.place;
    details.when = SaveTimeText(companion.time);
    details.picture.reset();
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    if (picture.empty() || device == nullptr) return;
    if (device->CreateTexture(kSlotPictureWidth, kSlotPictureHeight, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                              &details.picture) != S_OK)
        return;
    D3DLOCKED_RECT locked{};
    if (details.picture->LockRect(0, &locked, nullptr, 0) != S_OK) {
        details.picture.reset();
        return;
    }
    for (int y = 0; y < kSlotPictureHeight; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch,
                    picture.data() + static_cast<std::size_t>(y) * kSlotPictureWidth, kSlotPictureWidth * 4u);
    details.picture->UnlockRect(0);
}

void SaveManager::set_OwnSlotLabels(std::string autosave, std::string quickSave)
{
    c_sAutoLabel = std::move(autosave);
    c_sQuickLabel = std::move(quickSave);
}

void SaveManager::set_ViewPicture(const std::vector<std::uint32_t>& view)
{
    // The view band alone: the top strip and the bar are the same in every save.
    c_viewPicture = ShrinkToSlotPicture(view, gfx::kBackBufferWidth, gfx::kBackBufferHeight, WorldManager::kViewTop,
                                        WorldManager::kViewBottom);
}

void SaveManager::ChangeWorld(WorldManager* worldManager)
{
    c_pWorldManager = worldManager;
    c_pNewGameSnapshot.reset();
    ReadSlotTitles();
}

namespace {

// "save/save<n>", "save/autosave" or "save/quicksave", before its extension.
std::string SlotStem(int slot)
{
    const std::string name = slot == SaveManager::kAutoSlot    ? "autosave"
                             : slot == SaveManager::kQuickSlot ? "quicksave"
                                                               : "save" + std::to_string(slot);
    return GamePaths::Resolve(std::string(kSaveDirectory) + "/" + name);
}

}  // namespace

std::string SaveManager::SlotPath(int slot) { return SlotStem(slot) + ".sav"; }
std::string SaveManager::CompanionPath(int slot) { return SlotStem(slot) + ".info"; }
std::string SaveManager::PicturePath(int slot) { return SlotStem(slot) + ".png"; }

void SaveManager::RemoveStaleTemporaries()
{
    // Only the names a save writes: whatever else a player keeps there stays.
    for (int slot = kNewGameSlot; slot < kSlotCount; ++slot) {
        if (!IsFileSlot(slot)) continue;
        for (const std::string& path : {SlotPath(slot), CompanionPath(slot), PicturePath(slot)})
            ::unlink((path + kTemporarySuffix).c_str());
    }
}

std::string SaveManager::ProbeSaveDirectory()
{
    const std::string directory = GamePaths::SaveDirectory();
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        return "the folder \"" + directory + "\" cannot be made (" + SystemReason(errno) + ")";
    }
    if (!S_ISDIR(info.st_mode)) return "\"" + directory + "\" is a file, not a folder";
    // The effective rights decide, as for the save itself; a read-only file system says so too.
    if (::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return "the folder \"" + directory + "\" cannot be written (" + SystemReason(errno) + ")";
    }
    return {};
}

bool SaveManager::CheckSaveFile(int slot) const
{
    FileDescriptor fd(OpenSlotFile(SlotPath(slot)));
    if (!fd.IsOpen()) return false;
    struct stat info {};
    return ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode);
}

bool SaveManager::GetName(int slot, char* buffer) const
{
    std::memset(buffer, 0, SaveFile::kTitleSize);
    FileDescriptor fd(OpenSlotFile(SlotPath(slot)));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    char field[SaveFile::kTitleSize];
    ssize_t got;
    do {
        got = ::read(fd.get(), field, sizeof field);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    for (ssize_t i = 0; i < got; ++i) {
        buffer[i] = field[i];
        if (field[i] == '\0') return true;
    }
    // No terminator among the bytes read: keep the title terminated within its field.
    buffer[SaveFile::kTitleSize - 1] = '\0';
    return false;
}

const SaveFile* SaveManager::GetSaveFile(int slot) const
{
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    return c_pSaveFileNames[slot].get();
}

// ---- the world's state: the only place that reads or writes the world ----

SaveRecord SaveManager::CaptureWorld(const char* title) const
{
    SaveRecord record;
    record.title.assign(title, strnlen(title, SaveFile::kTitleSize - 1));
    // Saved in a close-up or over a book, the game is restored where the player stood to
    // open it: a page or a close-up is no place to resume (and may be numbered beyond 65535).
    const int screen = c_pWorldManager->get_StandingScreen();
    if (screen < 0 || screen > 0xFFFF) {
        throw Error("screen number " + std::to_string(screen) + " does not fit a save file (0 to 65535)");
    }
    record.screen = static_cast<std::uint16_t>(screen);
    record.heading = HeadingToFile(c_pWorldManager->get_StandingRotation());
    for (const auto& variable : c_pWorldManager->get_GlobalVars()) {
        const int number = variable->get_Number();
        if (number < 0 || number > 0xFFFF) {
            throw Error("variable number " + std::to_string(number) + " does not fit a save file (0 to 65535)");
        }
        record.variables.push_back({static_cast<std::uint16_t>(number), variable->get_Value()});
    }
    for (const WorldItem* item : c_pWorldManager->get_Inventory()->get_ActiveItems()) {
        const int number = item->get_Number();
        if (number < 0 || number > 0xFF) {
            throw Error("item number " + std::to_string(number) + " does not fit a save file (0 to 255)");
        }
        record.items.push_back(static_cast<std::uint8_t>(number));
    }
    // An item in the player's hand is no longer in the bar; the save keeps it at the bar's end
    // (restored there, not in the hand) rather than losing it.
    const int held = c_pWorldManager->get_CursorItem();
    if (held > 0 && held <= 0xFF &&
        std::find(record.items.begin(), record.items.end(), static_cast<std::uint8_t>(held)) == record.items.end())
        record.items.push_back(static_cast<std::uint8_t>(held));
    return record;
}

SaveWorldShape SaveManager::WorldShape() const
{
    SaveWorldShape shape;
    for (const auto& screen : c_pWorldManager->get_Screens()) {
        const int number = screen->get_Number();
        switch (c_pWorldManager->KindOfScreen(number)) {
        case WorldManager::ScreenKind::Standing: shape.screens.insert(number); break;
        case WorldManager::ScreenKind::ItemCloseUp: shape.lookedAtScreens[number] = "an item's close-up"; break;
        case WorldManager::ScreenKind::BookPage: shape.lookedAtScreens[number] = "a page of a book"; break;
        case WorldManager::ScreenKind::Missing: break;
        }
    }
    for (const auto& variable : c_pWorldManager->get_GlobalVars()) ++shape.variables[variable->get_Number()].defined;
    for (const auto& grid : c_pWorldManager->get_GlobalVarArrays()) {
        const int states = std::clamp(grid->get_NumberMax(), 0, 0xFF);
        for (int cell = 0; cell < grid->get_Width() * grid->get_Height(); ++cell) {
            const auto found = shape.variables.find(grid->get_Start() + cell);
            if (found == shape.variables.end()) continue;
            found->second.maxValue = std::min(found->second.maxValue, static_cast<std::uint8_t>(states));
        }
    }
    const WorldInventory& inventory = *c_pWorldManager->get_Inventory();
    for (int item = 0; item <= kMaxItemNumber; ++item) {
        if (inventory.GetItem(item) != nullptr) shape.items.insert(item);
    }
    return shape;
}

void SaveManager::RestoreWorld(const SaveRecord& record)
{
    c_pWorldManager->set_ScreenPosition(record.screen);
    c_pWorldManager->set_BackRotation(HeadingFromFile(record.heading));
    for (const SaveVariable& variable : record.variables) {
        c_pWorldManager->setGlobalVarValue(variable.number, static_cast<signed char>(variable.value));
    }
    c_pWorldManager->get_Inventory()->get_ActiveItems().clear();
    for (std::uint8_t item : record.items) c_pWorldManager->ActivateItem(item);
}

// ---- files ----

bool SaveManager::ReadSlot(int slot, SaveRecord* record, std::string* error, std::vector<std::uint8_t>* fileBytes) const
{
    const std::string path = SlotPath(slot);
    FileDescriptor fd(OpenSlotFile(path));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.get(), &info) != 0) {
        if (error != nullptr) *error = "cannot open " + path + ": " + SystemReason(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode) || static_cast<std::uintmax_t>(info.st_size) > kMaxSaveFileSize) {
        if (error != nullptr) *error = path + " is not a save file of at most " + std::to_string(kMaxSaveFileSize) + " bytes";
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            if (error != nullptr) *error = "cannot read " + path + ": " + SystemReason(errno);
            return false;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    // One byte more than the size was asked for, so a file that grew meanwhile reads as oversized.
    bytes.resize(filled);
    if (ReadSaveFile(bytes, WorldShape(), record, error)) {
        if (fileBytes != nullptr) *fileBytes = std::move(bytes);
        return true;
    }
    if (error != nullptr) *error = path + " cannot be restored: " + *error;
    return false;
}

void SaveManager::WriteAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    // A save the player made read-only is kept, as the directory alone would not protect it.
    // Asked without opening the file: opening a FIFO of that name for writing would wait.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM || errno == EROFS)) {
        throw Error(path + " is write-protected (" + SystemReason(errno) + ")");
    }
    std::string error;
    if (SafeFile::WriteFileAtomically(path, bytes, SafeFile::Existing::kReplace, &error)) throw Error(error);
}

SaveManager::PreparedSave SaveManager::Prepare(int slot, const char* title)
{
    PreparedSave save;
    save.slot = slot;
    save.record = CaptureWorld(title != nullptr ? title : "");
    save.saveBytes = EncodeSaveFile(save.record);
    if (slot == kNewGameSlot) return save;  // the new game shows on no page
    if (c_pCompanionSource != nullptr) {
        save.companion.place = c_pCompanionSource->PlaceOf(c_pWorldManager->get_StandingScreen());
        save.companion.extras = c_pCompanionSource->CaptureExtras();
    }
    save.companion.time = static_cast<std::int64_t>(std::time(nullptr));
    save.picture = std::exchange(c_viewPicture, {});
    if (!save.picture.empty()) {
        save.pictureBytes = EncodeSlotPicture(save.picture);
        save.companion.pictureCheck = SaveChecksum(save.pictureBytes);
    }
    save.companion.saveCheck = SaveChecksum(save.saveBytes);
    const std::string text = EncodeSaveCompanion(save.companion);
    save.companionBytes.assign(text.begin(), text.end());
    return save;
}

std::string SaveManager::Write(const PreparedSave& save)
{
    try {
        // The picture first and the companion last: a companion on disk names a save and a
        // picture that are complete, and one left from an earlier save matches neither.
        if (!save.pictureBytes.empty()) WriteAtomically(PicturePath(save.slot), save.pictureBytes);
        WriteAtomically(SlotPath(save.slot), save.saveBytes);
        if (save.slot != kNewGameSlot) {
            try {
                WriteAtomically(CompanionPath(save.slot), save.companionBytes);
            } catch (const Error& error) {
                // The game is saved; only what the page shows beside it is missing.
                std::cerr << "Kelvane: the save's place and picture could not be written: " << error.what() << '\n';
            }
        }
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

void SaveManager::Fail(int slot, const std::string& why)
{
    c_sLastError = std::string("The game could not be saved: ") + why;
    // Slot 0 is no slot the player sees: start-up reports its failure, not the page.
    c_bShowError = slot != kNewGameSlot;
    c_dwMessageTime = timeGetTime();
    c_sUnavailable = ProbeSaveDirectory();
}

bool SaveManager::Finish(const PreparedSave& save, const std::string& error)
{
    if (!error.empty()) {
        Fail(save.slot, error);
        return false;
    }
    SaveFile& file = *c_pSaveFileNames[static_cast<std::size_t>(save.slot)];
    file.set_Name(save.record.title.c_str());
    file.set_Active(true);
    file.set_Unreadable(false);
    if (save.slot != kNewGameSlot) ShowDetails(save.slot, save.companion, save.picture);
    c_sLastError.clear();
    c_bShowError = false;
    c_sUnavailable.clear();
    return true;
}

bool SaveManager::SaveGame(int slot, const char* title)
{
    if (!IsFileSlot(slot)) return false;
    // One writer per slot file at a time: a save in the background ends first.
    FinishBackground();
    try {
        const PreparedSave save = Prepare(slot, title);
        // New games start from this snapshot even when the slot cannot be written.
        if (slot == kNewGameSlot) c_pNewGameSnapshot = save.record;
        return Finish(save, Write(save));
    } catch (const Error& error) {
        Fail(slot, error.what());
        return false;
    }
}

bool SaveManager::SaveGame(int slot)
{
    if (!IsFileSlot(slot)) return false;
    return SaveGame(slot, c_pSaveFileNames[slot]->get_Title());
}

bool SaveManager::SaveGameInBackground(int slot, const char* title)
{
    if (!IsFileSlot(slot) || slot == kNewGameSlot || c_pending) return false;
    try {
        c_pending = Prepare(slot, title);
    } catch (const Error& error) {
        Fail(slot, error.what());
        return false;
    }
    // The worker reads only the prepared bytes, which stay put until PollBackground takes them.
    c_pendingResult = std::async(std::launch::async, [save = &*c_pending] { return Write(*save); });
    return true;
}

bool SaveManager::PollBackground()
{
    if (!c_pending || c_pendingResult.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    FinishBackground();
    return true;
}

void SaveManager::FinishBackground()
{
    if (!c_pending) return;
    const std::string error = c_pendingResult.get();
    const PreparedSave save = std::move(*c_pending);
    c_pending.reset();
    Finish(save, error);
}

bool SaveManager::LoadGame(int slot)
{
    if (!IsFileSlot(slot)) return false;
    FinishBackground();
    if (slot == kNewGameSlot && c_pNewGameSnapshot) {
        RestoreWorld(*c_pNewGameSnapshot);
        if (c_pCompanionSource != nullptr) c_pCompanionSource->RestoreExtras({});
        return true;
    }
    SaveRecord record;
    std::string why;
    std::vector<std::uint8_t> bytes;
    const bool exists = CheckSaveFile(slot);
    if (exists && ReadSlot(slot, &record, &why, &bytes)) {
        RestoreWorld(record);
        SaveCompanion companion;
        if (slot != kNewGameSlot) ReadDetails(slot, bytes, &companion);
        if (c_pCompanionSource != nullptr) c_pCompanionSource->RestoreExtras(companion.extras);
        return true;
    }
    SaveFile& file = *c_pSaveFileNames[slot];
    if (exists) std::cerr << "Kelvane: " << why << '\n';
    file.set_Active(false);
    file.set_Unreadable(exists);
    return false;
}

// ---- the slot pages ----

int SaveManager::SlotOfIndex(int index)
{
    return index == -1 ? kAutoSlot : index == -2 ? kQuickSlot : index + kFirstPlayerSlot;
}

float SaveManager::SlotX(int index)
{
    if (index < 0) return index == -1 ? 0.0f : kColumnWidth;
    return kColumnWidth * static_cast<float>(index / kRowsPerColumn);
}
float SaveManager::SlotY(int index)
{
    return index < 0 ? kTopRowY : kRowHeight * static_cast<float>(index % kRowsPerColumn);
}

bool SaveManager::PointerOverSlot(MouseManager* mouse, int index)
{
    const int x0 = static_cast<int>(SlotX(index));
    const int y0 = static_cast<int>(SlotY(index));
    return mouse->Inside(kAreaLeft + x0, kAreaTop + y0, kAreaRight + x0, kAreaBottom + y0);
}

void SaveManager::QueueSlotText(int index, std::uint32_t colour, const char* text)
{
    // Beside a picture the title moves right, and up when the place and time go under it.
    const std::size_t slot = static_cast<std::size_t>(SlotOfIndex(index));
    const bool picture = c_details[slot].picture != nullptr && c_pPictureQuad;
    const bool details = c_pSaveFileNames[slot]->get_Active() && !c_details[slot].place.empty();
    c_textRuns.push_back({(picture ? kBesidePictureX : kTextX) + SlotX(index),
                          (details ? kTitleOverDetailsY : kTextY) + SlotY(index), colour, text});
}

void SaveManager::QueueSlotDetails(int index)
{
    const std::size_t slot = static_cast<std::size_t>(SlotOfIndex(index));
    SlotDetails& details = c_details[slot];
    if (!c_pSaveFileNames[slot]->get_Active() || details.place.empty()) return;
    // A save named after its place (the autosave, an untitled save) says the place once.
    const bool namedByPlace = details.place == c_pSaveFileNames[slot]->get_Title();
    details.line = details.when.empty() ? details.place
                   : namedByPlace       ? details.when
                                        : details.place + kDetailsSeparator + details.when;
    const bool picture = details.picture != nullptr && c_pPictureQuad;
    c_textRuns.push_back(
        {(picture ? kBesidePictureX : kTextX) + SlotX(index), kDetailsY + SlotY(index), kGrey, details.line.c_str()});
}

void SaveManager::DrawSlotPicture(int index)
{
    const std::size_t slot = static_cast<std::size_t>(SlotOfIndex(index));
    gfx::Texture* picture = c_details[slot].picture.get();
    if (picture == nullptr || !c_pPictureQuad || !c_pSaveFileNames[slot]->get_Active()) return;
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    const float x = kTextX + SlotX(index), y = kPictureTop + SlotY(index);
    device->SetTexture(0, picture);
    device->SetMaterial(D3Dfunc::WhiteMaterial);
    c_pPictureQuad->Render(device, x / 400.0f - 1.0f, y / 300.0f - 1.0f, kPictureWidth / 800.0f, kPictureHeight / 600.0f);
}

void SaveManager::QueueSlotLabel(int index)
{
    // "01" to "16", made once: the runs point at their text until the page is drawn.
    static const std::array<std::string, kPlayerSlots> labels = [] {
        std::array<std::string, kPlayerSlots> made;
        for (int i = 0; i < kPlayerSlots; ++i) {
            char label[16];
            std::snprintf(label, sizeof label, "%02d", i + kFirstPlayerSlot);
            made[static_cast<std::size_t>(i)] = label;
        }
        return made;
    }();
    const char* label = index == -1   ? c_sAutoLabel.c_str()
                        : index == -2 ? c_sQuickLabel.c_str()
                                      : labels[static_cast<std::size_t>(index)].c_str();
    // The top row's words end where the numbers do.
    float x = kLabelX + SlotX(index);
    if (index < 0) {
        SIZE extent{};
        SIZE number{};
        c_pFont->GetTextExtent(label, &extent);
        c_pFont->GetTextExtent("00", &number);
        x += static_cast<float>(number.cx - extent.cx);
    }
    c_textRuns.push_back({x, kTextY + SlotY(index), kWhite, label});
}

void SaveManager::QueueEditText(int index)
{
    const char* text = c_pSaveFileNames[kEditSlot]->get_Title();
    QueueSlotText(index, kWhite, text);
    if (timeGetTime() % kCaretPeriodMs < kCaretOnMs) {
        SIZE extent{};
        c_pFont->GetTextExtent(text, &extent);
        c_textRuns.push_back(
            {kTextX + SlotX(index) + static_cast<float>(extent.cx), kTextY + SlotY(index), kWhite, kCaretText});
    }
}

void SaveManager::QueueSaveMessage()
{
    if (c_bShowError && timeGetTime() - c_dwMessageTime >= kMessageMs) {
        c_sLastError.clear();
        c_bShowError = false;
    }
    if (c_bShowError) {
        c_sMessageText = c_sLastError;
    } else if (!c_sUnavailable.empty()) {
        c_sMessageText = kUnavailableText + c_sUnavailable;
    } else {
        return;
    }
    c_textRuns.push_back({kMessageX, kMessageY, kHighlight, c_sMessageText.c_str()});
}

void SaveManager::DrawPageText()
{
    c_pFont->DrawTexts(c_textRuns);
    c_textRuns.clear();
}

int SaveManager::Run(MouseManager* mouse)
{
    c_textRuns.clear();
    int result = kNothing;
    // The game's own saves first, then the player's.
    for (int index = -2; index < kPlayerSlots; ++index) {
        const int slot = SlotOfIndex(index);
        const SaveFile& file = *c_pSaveFileNames[slot];
        QueueSlotLabel(index);
        DrawSlotPicture(index);
        QueueSlotDetails(index);
        if (!file.get_Active()) {
            QueueSlotText(index, kGrey, file.get_Unreadable() ? kUnreadableText : kEmptyText);
        } else if (PointerOverSlot(mouse, index)) {
            QueueSlotText(index, kHighlight, file.get_Title());
            result = kOverSlot;
            if (mouse->LMouseButtonDown()) {
                DrawPageText();
                return slot;
            }
        } else {
            QueueSlotText(index, kWhite, file.get_Title());
        }
    }
    DrawPageText();
    return result;
}

int SaveManager::RunSave(MouseManager* mouse)
{
    c_textRuns.clear();
    const bool editing = c_iEdit != 0;
    int result = editing ? kTyping : kNothing;
    for (int index = 0; index < kPlayerSlots; ++index) {
        const int slot = SlotOfIndex(index);
        const SaveFile& file = *c_pSaveFileNames[slot];
        QueueSlotLabel(index);
        const bool typing = editing && slot == c_iEdit;
        if (!typing) {
            DrawSlotPicture(index);
            QueueSlotDetails(index);
        }
        if (typing) {
            QueueEditText(index);
        } else if (!editing && PointerOverSlot(mouse, index)) {
            QueueSlotText(index, kWhite, kBrowseText);
            result = kOverSlot;
            if (mouse->LMouseButtonDown()) {
                c_pSaveFileNames[kEditSlot]->set_Name(file.get_Active() ? file.get_Title() : "");
                c_iEdit = slot;
                c_sLastError.clear();
            }
        } else if (file.get_Active()) {
            QueueSlotText(index, kGrey, file.get_Title());
        } else if (file.get_Unreadable()) {
            QueueSlotText(index, kGrey, kUnreadableText);
        } else {
            QueueSlotText(index, editing ? kGrey : kWhite, kEmptyText);
        }
    }
    QueueSaveMessage();
    DrawPageText();
    if (editing) {
        if (ReadTitleKeys()) return kSaved;
        if (c_iEdit == 0) return kNothing;
    }
    return result;
}

bool SaveManager::ReadTitleKeys()
{
    SaveFile& title = *c_pSaveFileNames[kEditSlot];
    KeyManager& keys = *c_pKeyManager;
    if (keys.GetKeyPressedDel(platform::DIK_ESCAPE)) c_iEdit = 0;
    if (keys.GetKeyPressedDel(platform::DIK_BACK)) title.RemoveLastChar();
    if (keys.GetKeyPressedDel(platform::DIK_SPACE)) title.AddChar(' ');
    const bool capital = keys.GetKeyPressed(platform::DIK_LSHIFT);
    for (const LetterKey& letter : kLetterKeys) {
        if (keys.GetKeyPressedDel(letter.key)) {
            title.AddChar(capital ? static_cast<char>(letter.letter - 'a' + 'A') : letter.letter);
        }
    }
    for (int digit = 0; digit < 10; ++digit) {
        if (keys.GetKeyPressedDel(kDigitKeys[digit])) title.AddChar(static_cast<char>('0' + digit));
    }
    if (keys.GetKeyPressedDel(platform::DIK_PERIOD)) title.AddChar('.');
    if (keys.GetKeyPressedDel(platform::DIK_RETURN) && c_iEdit != 0) return CommitTitle();
    return false;
}

bool SaveManager::CommitTitle()
{
    const int slot = c_iEdit;
    c_iEdit = 0;
    // The game resumes through a screen switch: show it at the heading the player saved.
    c_pWorldManager->set_BackRotation(c_pWorldManager->get_Rotation());
    std::string title = c_pSaveFileNames[kEditSlot]->get_Title();
    // Typing a title is optional: without one the save is named after where it was made.
    const bool blank = title.find_first_not_of(' ') == std::string::npos;
    if (blank && c_pCompanionSource != nullptr)
        title = c_pCompanionSource->PlaceOf(c_pWorldManager->get_StandingScreen());
    return SaveGame(slot, title.c_str());
}
