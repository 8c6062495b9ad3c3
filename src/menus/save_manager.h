// Saving and restoring games: sixteen player slots plus the new-game snapshot (slot 0) as files
// "save/save<n>.sav" in the save directory, the game's own autosave and quick save slots
// ("save/autosave.sav", "save/quicksave.sav"), and the restore and save pages' slot lists (texts
// and slot pictures; the page pictures belong to the main menu). Beside each save file lie its
// companion ("<name>.info": place, time, the game's additions) and its picture ("<name>.png").
// Reads and writes the world through WorldManager's state operations only. Depends on world,
// display and input; not on the shell.
#pragma once

#include <array>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/cd3dfont.h"
#include "menus/save_companion.h"
#include "menus/save_file.h"
#include "platform/gfx/device.h"

class FullScreenImage;
class KeyManager;
class MouseManager;
class WorldManager;

// What the game tells the save manager of itself when a game is saved or restored.
class SaveCompanionSource {
public:
    virtual ~SaveCompanionSource() = default;
    // The place the player stands on at `screen`, as the slot pages name it (Latin-1).
    virtual std::string PlaceOf(int screen) const = 0;
    // The game's additions to the saved state: name -> one line of text.
    virtual std::map<std::string, std::string> CaptureExtras() const = 0;
    // Puts the additions of a restored save back. A name missing from `extras` was not saved
    // (a new game, a save older than the addition): that part of the state starts afresh.
    virtual void RestoreExtras(const std::map<std::string, std::string>& extras) = 0;
};

class SaveManager {
public:
    // Slot 0 is the new-game snapshot, 1 .. 16 the player's slots, 17 the title being typed,
    // 18 the game's autosave and 19 the quick save (F5, F9).
    static constexpr int kNewGameSlot = 0;
    static constexpr int kFirstPlayerSlot = 1;
    static constexpr int kPlayerSlots = 16;
    static constexpr int kEditSlot = 17;
    static constexpr int kAutoSlot = 18;
    static constexpr int kQuickSlot = 19;
    static constexpr int kSlotCount = 20;
    // Whether `slot` names a save file (every slot but the title being typed).
    static bool IsFileSlot(int slot) { return slot >= 0 && slot < kSlotCount && slot != kEditSlot; }

    // Results of Run and RunSave.
    static constexpr int kNothing = 0;
    static constexpr int kOverSlot = -1;
    static constexpr int kTyping = 2;
    static constexpr int kSaved = 3;

    // Text colours of the slot lists (0xAARRGGBB).
    static constexpr std::uint32_t kWhite = 0xFFFFFFFF;
    static constexpr std::uint32_t kGrey = 0xFF808080;
    static constexpr std::uint32_t kHighlight = 0xFFFFFFC8;

    // Creates the save directory (an existing directory or a failure is ignored), removes
    // temporary files that an interrupted save left there, finds out whether the directory
    // can be written, reads every slot's title (a file that is not a complete save of this
    // world shows as unreadable, with the reason on standard error), and prepares the page
    // font on the game's device. The world must be defined already; it and the keyboard are
    // not owned and must outlive the manager.
    SaveManager(WorldManager* worldManager, KeyManager* keyManager);
    ~SaveManager();
    SaveManager(const SaveManager&) = delete;
    SaveManager& operator=(const SaveManager&) = delete;

    // Serves another world from now on (the world files reloaded while the game runs): the
    // new-game state is forgotten until the next SaveGame(0, ...), and every slot's title is
    // read again against the new world.
    void ChangeWorld(WorldManager* worldManager);

    // The words the restore page shows before the autosave and the quick save, in the game's
    // language (Latin-1); "Auto" and "Quick" until told.
    void set_OwnSlotLabels(std::string autosave, std::string quickSave);
    // Tells the manager the game's places and additions (not owned; null: none).
    void set_CompanionSource(SaveCompanionSource* source) { c_pCompanionSource = source; }
    // The view to keep as the next save's picture: 800 x 600 pixels as the device reads its
    // back buffer, of which the view band is kept. Held until a save takes it; an empty vector
    // forgets it.
    void set_ViewPicture(const std::vector<std::uint32_t>& view);

    // The slot's file path: "save/save<n>.sav", "save/autosave.sav" or "save/quicksave.sav"
    // as GamePaths::Resolve places it; the companion and picture replace ".sav" with ".info"
    // and ".png".
    static std::string SlotPath(int slot);
    static std::string CompanionPath(int slot);
    static std::string PicturePath(int slot);
    // Whether the slot's file exists and can be opened for reading (read-only saves restore).
    bool CheckSaveFile(int slot) const;
    // Copies the title at the start of the slot's file into `buffer` (48 bytes), stopping
    // after the first 0 byte or after 48 bytes; the buffer always ends up terminated. False
    // when the file cannot be read or its title has no terminator within 48 bytes.
    bool GetName(int slot, char* buffer) const;

    // Names the slot, marks it used and writes it. False (the game goes on) when the file
    // cannot be written (a write-protected save is not replaced); the slot's title, its state
    // and its old file are then unchanged, and get_LastError says why. Slot 0 keeps the state
    // in memory as the new game whether or not its file could be written.
    bool SaveGame(int slot, const char* title);
    // Writes the world's state as the slot's file, replacing the old file only once the new
    // one is complete on disk. False when it cannot be written (see above).
    bool SaveGame(int slot);
    // SaveGame, with the files written on a worker thread so that play goes on meanwhile; the
    // state is taken now. False when a save is being written already or the state cannot be
    // stored. PollBackground finishes it.
    bool SaveGameInBackground(int slot, const char* title);
    // Called once a frame: when the background save has finished, takes its result (the slot
    // shows it, or get_LastError says why not) and returns true, once.
    bool PollBackground();
    bool get_SavingInBackground() const { return c_pending.has_value(); }
    // Waits for a background save to finish and takes its result.
    void FinishBackground();
    // Restores the world from the slot's file. The whole file is checked first, and what it
    // names against the world (CheckSaveAgainstWorld): a missing, truncated, oversized,
    // garbled or foreign file changes nothing, marks the slot unreadable and returns false.
    // Slot 0 restores the new-game state kept in memory by SaveGame(0, ...), never an older
    // file; only when none was kept is its file read.
    bool LoadGame(int slot);

    // One frame of the restore page's slot list: kNothing, kOverSlot (pointer over a used
    // slot) or the number of the used slot clicked. Draws between the caller's BeginScene
    // and EndScene.
    int Run(MouseManager* mouse);
    // One frame of the save page's slot list and title entry: kNothing, kOverSlot, kTyping or
    // kSaved (the game has just been saved).
    int RunSave(MouseManager* mouse);

    // The slot (0 .. 19); null outside.
    const SaveFile* GetSaveFile(int slot) const;
    // Where and when the slot's save was made, as its companion says (empty when it has none),
    // and whether a picture is shown for it.
    const std::string& GetPlace(int slot) const { return c_details.at(static_cast<std::size_t>(slot)).place; }
    const std::string& GetWhen(int slot) const { return c_details.at(static_cast<std::size_t>(slot)).when; }
    bool HasPicture(int slot) const { return c_details.at(static_cast<std::size_t>(slot)).picture != nullptr; }
    // Why the last save failed, in words for the player; empty after a successful save.
    const std::string& get_LastError() const { return c_sLastError; }
    // Why no save can be written to the save directory (it is not a writable directory);
    // empty while saving is possible. The save page says so below the slots.
    const std::string& get_SavingUnavailable() const { return c_sUnavailable; }
    // 0 while browsing, else the slot (1 .. 16) whose title is being typed.
    int get_Edit() const { return c_iEdit; }

private:
    // A save taken from the world and made into bytes, not yet on disk.
    struct PreparedSave {
        int slot = 0;
        SaveRecord record;
        std::vector<std::uint8_t> saveBytes, pictureBytes, companionBytes;
        SaveCompanion companion;
        std::vector<std::uint32_t> picture;  // kSlotPicture pixels; empty: none
    };
    // What a slot shows besides its title.
    struct SlotDetails {
        std::string place, when;
        std::string line;  // place and time as drawn this frame
        std::unique_ptr<gfx::Texture> picture;
    };
    // The world's state and companion for `slot`, or an Error when it does not fit the format.
    PreparedSave Prepare(int slot, const char* title);
    // Writes the picture, the save and then the companion (which names the other two by their
    // checksums, so that a companion left from an earlier save is never taken for this one's).
    // Empty, or why not. Touches no member: runs on the worker thread.
    static std::string Write(const PreparedSave& save);
    // The slot shows the save written, or the failure is recorded.
    bool Finish(const PreparedSave& save, const std::string& error);
    void Fail(int slot, const std::string& why);
    // Reads the slot's companion and picture, when they belong to its save file's bytes.
    void ReadDetails(int slot, const std::vector<std::uint8_t>& saveBytes, SaveCompanion* companion);
    void ShowDetails(int slot, const SaveCompanion& companion, const std::vector<std::uint32_t>& picture);
    // The world's state as a save record, or an Error when it does not fit the file format.
    SaveRecord CaptureWorld(const char* title) const;
    // The screens, variables (grid cells with their largest value) and items of the world.
    SaveWorldShape WorldShape() const;
    // Puts a checked record into the world.
    void RestoreWorld(const SaveRecord& record);
    // Reads a slot's file and checks it against the world; `bytes` (when given) gets the file.
    bool ReadSlot(int slot, SaveRecord* record, std::string* error, std::vector<std::uint8_t>* bytes = nullptr) const;
    // Writes the bytes next to the file and renames them over it, then flushes the directory
    // so that the new name survives a power loss. Raises Error.
    static void WriteAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
    // Removes "save<n>.sav.tmp" files that a save interrupted by a crash left behind.
    static void RemoveStaleTemporaries();
    // Why the save directory cannot take a save, or empty when it can.
    static std::string ProbeSaveDirectory();

    // Drawing of one slot (0 .. 15 in page order). The Queue functions add the page's strings
    // to this frame's list; DrawPageText draws them together, in the order they were queued.
    // Index -1 is the autosave and -2 the quick save, in a row above the others (restore page).
    static float SlotX(int index);
    static float SlotY(int index);
    static int SlotOfIndex(int index);
    static bool PointerOverSlot(MouseManager* mouse, int index);
    void QueueSlotText(int index, std::uint32_t colour, const char* text);
    void QueueSlotLabel(int index);
    void QueueEditText(int index);
    // The slot's picture, and its place and time under the title.
    void DrawSlotPicture(int index);
    void QueueSlotDetails(int index);
    // Reads every slot's title from its file; a file that is no complete save of the world
    // shows as unreadable, with the reason on standard error.
    void ReadSlotTitles();
    // Applies this frame's keys to the title being typed; true when Return saved the game.
    bool ReadTitleKeys();
    // Return pressed: write the typed title into the edited slot; an empty title saves under
    // the place's name.
    bool CommitTitle();
    void QueueSaveMessage();
    void DrawPageText();

    WorldManager* c_pWorldManager;  // not owned
    KeyManager* c_pKeyManager;      // not owned
    SaveCompanionSource* c_pCompanionSource = nullptr;  // not owned
    std::vector<std::uint32_t> c_viewPicture;          // the next save's picture (slot size)
    std::array<std::unique_ptr<SaveFile>, kSlotCount> c_pSaveFileNames;
    std::array<SlotDetails, kSlotCount> c_details;
    std::string c_sAutoLabel = "Auto", c_sQuickLabel = "Quick";
    std::unique_ptr<FullScreenImage> c_pPictureQuad;
    // The save being written on the worker thread, and its result (the error, empty when saved).
    std::optional<PreparedSave> c_pending;
    std::future<std::string> c_pendingResult;
    std::unique_ptr<CD3DFont> c_pFont;
    std::vector<CD3DFont::TextRun> c_textRuns;  // this frame's strings, not yet drawn
    std::string c_sMessageText;                 // the message line as drawn this frame
    int c_iEdit = 0;
    // What slot 0 held when written, so that a new game still starts if its file is lost.
    std::optional<SaveRecord> c_pNewGameSnapshot;
    std::string c_sLastError;
    bool c_bShowError = false;          // the last failure was the player's and is on the page
    std::uint32_t c_dwMessageTime = 0;  // timeGetTime when the failure message appeared
    std::string c_sUnavailable;
};
