#include "checked_world.h"

#include <exception>
#include <regex>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/image_offsets.h"
#include "file_probe.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "script/world_files.h"
#include "world/world_manager.h"

namespace {

// The start-up's settings of the world's view and interface.
constexpr int kPanoramaSlices = 128;
constexpr int kPanoramaStacks = 40;
constexpr int kViewSwitchLength = 350;  // ms
constexpr float kRotationSpeed = 32500.0f;
constexpr int kStandardTransition = 600;  // ms
const char* const kBlackImage = "data/black.jpg";
const char* const kTopMenuImages[] = {"data/menu/Top1.enc", "data/menu/Top2.enc", "data/menu/Top3.enc",
                                      "data/menu/Top4.enc", "data/menu/Top5.enc", "data/menu/Top6.enc"};

// The cursors in index order: normal, over something that reacts, turn left, turn right,
// loading.
struct CursorFiles {
    const char* image;
    const char* alpha;
    int width, height, hotspotX, hotspotY;
};
constexpr CursorFiles kCursors[] = {
    {"data/cursor/cursor1.enc", "data/cursor/cursor1_alpha2.enc", 85, 90, 3, 3},
    {"data/cursor/cursor1.enc", "data/cursor/cursor1_alpha1.enc", 85, 90, 3, 3},
    {"data/cursor/cursor2.enc", "data/cursor/cursor2_alpha.enc", 85, 85, 10, 42},
    {"data/cursor/cursor3.enc", "data/cursor/cursor3_alpha.enc", 85, 85, 80, 42},
    {"data/cursor/cursorL.enc", "data/cursor/cursorL_alpha.enc", 85, 90, 3, 3},
};

// Reports a start-up picture that is missing or does not decode; true when it is fine.
bool ProbeStartUpPicture(FileProbe& probe, const std::string& where, const char* path, int offset,
                         std::vector<CheckFinding>& findings)
{
    const ProbedFile& file = probe.Picture(path, offset);
    if (file.Ok()) return true;
    findings.push_back({file.missing ? CheckRule::MissingFile : CheckRule::UndecodableFile, where,
                        std::string(path) + ": " + file.error});
    return false;
}

}  // namespace

CheckedWorld::CheckedWorld(platform::Window* window)
    : c_pMouse(std::make_unique<MouseManager>(window)),
      c_pMusic(std::make_unique<MusicManager>()),
      c_pSounds(std::make_unique<GameSoundManager>())
{
    for (const MusicTrack& track : Tracks()) c_pMusic->AddSong(track.number, track.path);
}

CheckedWorld::~CheckedWorld() = default;

const std::vector<MusicTrack>& CheckedWorld::Tracks()
{
    static const std::vector<MusicTrack> tracks = {
        {1, L"data/music/1.mp3"}, {2, L"data/music/2.mp3"}, {3, L"data/music/3.mp3"}, {4, L"data/music/4.mp3"}};
    return tracks;
}

bool CheckedWorld::BuildStartUp(FileProbe& probe, std::vector<CheckFinding>& findings)
{
    bool canStart = ProbeStartUpPicture(probe, "start-up, black background", kBlackImage, 0, findings);
    for (const char* top : kTopMenuImages) {
        canStart &= ProbeStartUpPicture(probe, "start-up, top menu", top, kTopMenuImageOffset, findings);
    }
    if (!canStart) {
        findings.push_back({CheckRule::WorldNotBuilt, "start-up", "the world manager needs the pictures above"});
        return false;
    }
    try {
        c_pWorld = std::make_unique<WorldManager>(
            kPanoramaSlices, kPanoramaStacks, kViewSwitchLength, kBlackImage, 0, c_pMouse.get(), c_pMusic.get(),
            nullptr, kRotationSpeed, kStandardTransition, kTopMenuImages[0], kTopMenuImages[1], kTopMenuImages[2],
            kTopMenuImages[3], kTopMenuImageOffset);
        c_pWorld->AddTopMenuHelpButtons(kTopMenuImages[4], kTopMenuImages[5], kTopMenuImageOffset);
        c_pWorld->set_SoundManager(c_pSounds.get());
        int index = 0;
        for (const CursorFiles& files : kCursors) {
            const std::string where = "start-up, cursor " + std::to_string(index++);
            const bool image = ProbeStartUpPicture(probe, where, files.image, kCursorImageOffset, findings);
            const bool alpha = ProbeStartUpPicture(probe, where, files.alpha, kCursorImageOffset, findings);
            if (image && alpha) {
                c_pWorld->AddCursor(files.image, files.alpha, files.width, files.height, files.hotspotX,
                                    files.hotspotY, kCursorImageOffset);
            } else {
                c_pWorld->AddCursor(std::make_unique<Cursor>(D3Dfunc::pD3Ddevice));  // keeps the indices
            }
        }
    } catch (const std::exception& e) {
        findings.push_back({CheckRule::WorldNotBuilt, "start-up", e.what()});
        c_pWorld.reset();
        return false;
    }
    c_bBuilt = true;
    return true;
}

std::vector<CheckFinding> CheckedWorld::Build(const std::function<void(WorldManager&)>& define, FileProbe& probe)
{
    std::vector<CheckFinding> findings;
    if (!BuildStartUp(probe, findings)) return findings;
    try {
        define(*c_pWorld);
    } catch (const std::exception& e) {
        // What was built before the failure is still worth checking: the definition ends by
        // entering screen 0, whose pictures are a common reason to fail.
        findings.push_back({CheckRule::WorldNotBuilt, "the world definition",
                            std::string(e.what()) + " (the records built before this are checked)"});
    }
    return findings;
}

std::vector<CheckFinding> CheckedWorld::BuildFromFiles(const std::filesystem::path& worldDir,
                                                       const std::filesystem::path& textsDir, FileProbe& probe)
{
    std::vector<CheckFinding> findings;
    if (!BuildStartUp(probe, findings)) return findings;
    try {
        // English, as the generator sets the pictures' texts: a check does not depend on who runs it.
        c_pTexts = std::make_unique<TextCatalogue>(TextCatalogue::Load(textsDir, {}));
        c_pFiles = WorldFiles::Load(*c_pWorld, nullptr, worldDir, *c_pTexts);
    } catch (const std::exception& e) {
        // "file:line:col: what" (a world file) or "file:line: what" (a text file); anything
        // else (a picture the start screen needs) is placed at the world folder.
        static const std::regex placed(R"(^(.+?:\d+(?::\d+)?): ([\s\S]*)$)");
        std::smatch match;
        const std::string message = e.what();
        if (std::regex_match(message, match, placed)) {
            findings.push_back({CheckRule::WorldFileFault, match[1].str(), match[2].str()});
        } else {
            findings.push_back({CheckRule::WorldFileFault, worldDir.string(), message});
        }
        // The records may point into what the failed load left behind: nothing of it is checked.
        c_bBuilt = false;
        c_pWorld.reset();
        c_pFiles.reset();
    }
    return findings;
}
