#include "menus/save_manager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "core/error.h"
#include "core/game_paths.h"
#include "core/safe_file.h"
#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "input/key_manager.h"
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
// Item numbers a save file can hold.
constexpr int kMaxItemNumber = 0xFF;

using SafeFile::FileDescriptor;

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
    ReadSlotTitles();
    c_pFont = std::make_unique<CD3DFont>(kFontFace, kFontHeight, D3DFONT_BOLD);
    (void)c_pFont->InitDeviceObjects(D3Dfunc::pD3Ddevice);
    (void)c_pFont->RestoreDeviceObjects();
}

SaveManager::~SaveManager() = default;

void SaveManager::ReadSlotTitles()
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        SaveRecord record;
        std::string why;
        struct stat info {};
        const bool exists = slot <= kPlayerSlots && ::stat(SlotPath(slot).c_str(), &info) == 0;
        const bool readable = exists && ReadSlot(slot, &record, &why);
        SaveFile& file = *c_pSaveFileNames[slot];
        file.set_Active(readable);
        file.set_Name(readable ? record.title.c_str() : "");
        file.set_Unreadable(exists && !readable);
        if (exists && !readable && slot != kNewGameSlot) std::cerr << "Kelvane: " << why << '\n';
    }
}

void SaveManager::ChangeWorld(WorldManager* worldManager)
{
    c_pWorldManager = worldManager;
    c_pNewGameSnapshot.reset();
    ReadSlotTitles();
}

std::string SaveManager::SlotPath(int slot)
{
    return GamePaths::Resolve(std::string(kSaveDirectory) + "/save" + std::to_string(slot) + ".sav");
}

void SaveManager::RemoveStaleTemporaries()
{
    // Only the names a save writes: whatever else a player keeps there stays.
    for (int slot = kNewGameSlot; slot <= kPlayerSlots; ++slot) {
        ::unlink((SlotPath(slot) + kTemporarySuffix).c_str());
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

bool SaveManager::ReadSlot(int slot, SaveRecord* record, std::string* error) const
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
    if (ReadSaveFile(bytes, WorldShape(), record, error)) return true;
    if (error != nullptr) *error = path + " cannot be restored: " + *error;
    return false;
}

void SaveManager::WriteSlotAtomically(int slot, const std::vector<std::uint8_t>& bytes)
{
    const std::string path = SlotPath(slot);
    // A save the player made read-only is kept, as the directory alone would not protect it.
    // Asked without opening the file: opening a FIFO of that name for writing would wait.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM || errno == EROFS)) {
        throw Error(path + " is write-protected (" + SystemReason(errno) + ")");
    }
    std::string error;
    if (SafeFile::WriteFileAtomically(path, bytes, SafeFile::Existing::kReplace, &error)) throw Error(error);
}

bool SaveManager::SaveGame(int slot, const char* title)
{
    if (slot < 0 || slot > kPlayerSlots) return false;
    try {
        const SaveRecord record = CaptureWorld(title != nullptr ? title : "");
        // New games start from this snapshot even when the slot cannot be written.
        if (slot == kNewGameSlot) c_pNewGameSnapshot = record;
        WriteSlotAtomically(slot, EncodeSaveFile(record));
        SaveFile& file = *c_pSaveFileNames[slot];
        file.set_Name(record.title.c_str());
        file.set_Active(true);
        file.set_Unreadable(false);
        c_sLastError.clear();
        c_bShowError = false;
        c_sUnavailable.clear();
        return true;
    } catch (const Error& error) {
        c_sLastError = std::string("The game could not be saved: ") + error.what();
        // Slot 0 is no slot the player sees: start-up reports its failure, not the page.
        c_bShowError = slot != kNewGameSlot;
        c_dwMessageTime = timeGetTime();
        c_sUnavailable = ProbeSaveDirectory();
        return false;
    }
}

bool SaveManager::SaveGame(int slot)
{
    if (slot < 0 || slot > kPlayerSlots) return false;
    return SaveGame(slot, c_pSaveFileNames[slot]->get_Title());
}

bool SaveManager::LoadGame(int slot)
{
    if (slot < 0 || slot > kPlayerSlots) return false;
    if (slot == kNewGameSlot && c_pNewGameSnapshot) {
        RestoreWorld(*c_pNewGameSnapshot);
        return true;
    }
    SaveRecord record;
    std::string why;
    const bool exists = CheckSaveFile(slot);
    if (exists && ReadSlot(slot, &record, &why)) {
        RestoreWorld(record);
        return true;
    }
    SaveFile& file = *c_pSaveFileNames[slot];
    if (exists) std::cerr << "Kelvane: " << why << '\n';
    file.set_Active(false);
    file.set_Unreadable(exists);
    return false;
}

// ---- the slot pages ----

float SaveManager::SlotX(int index) { return kColumnWidth * static_cast<float>(index / kRowsPerColumn); }
float SaveManager::SlotY(int index) { return kRowHeight * static_cast<float>(index % kRowsPerColumn); }

bool SaveManager::PointerOverSlot(MouseManager* mouse, int index)
{
    const int x0 = static_cast<int>(SlotX(index));
    const int y0 = static_cast<int>(SlotY(index));
    return mouse->Inside(kAreaLeft + x0, kAreaTop + y0, kAreaRight + x0, kAreaBottom + y0);
}

void SaveManager::QueueSlotText(int index, std::uint32_t colour, const char* text)
{
    c_textRuns.push_back({kTextX + SlotX(index), kTextY + SlotY(index), colour, text});
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
    c_textRuns.push_back(
        {kLabelX + SlotX(index), kTextY + SlotY(index), kWhite, labels[static_cast<std::size_t>(index)].c_str()});
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
    for (int index = 0; index < kPlayerSlots; ++index) {
        const int slot = index + kFirstPlayerSlot;
        const SaveFile& file = *c_pSaveFileNames[slot];
        QueueSlotLabel(index);
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
        const int slot = index + kFirstPlayerSlot;
        const SaveFile& file = *c_pSaveFileNames[slot];
        QueueSlotLabel(index);
        if (editing && slot == c_iEdit) {
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
    return SaveGame(slot, c_pSaveFileNames[kEditSlot]->get_Title());
}
