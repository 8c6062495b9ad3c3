#include "shell/replay.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "core/error.h"
#include "core/latin1_text.h"
#include "core/text_catalogue.h"
#include "display/d3dfunc.h"
#include "display/display_screen.h"
#include "display/picture_cache.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "imaging/image.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "media/music_manager.h"
#include "media/video_player.h"
#include "menus/menu_manager.h"
#include "menus/save_manager.h"
#include "menus/settings_overlay.h"
#include "platform/clock/clock.h"
#include "platform/gfx/device.h"
#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"
#include "platform/input/keyboard_device.h"
#include "platform/input/mouse_device.h"
#include "shell/autosave.h"
#include "shell/game_manager.h"
#include "shell/hint_ladder.h"
#include "shell/journal.h"
#include "shell/journal_screen.h"
#include "shell/winfunc.h"
#include "world/hotspot_cursor.h"
#include "world/world_manager.h"
#include "world/world_screen.h"

namespace {

const std::map<std::string, int>& KeyNames()
{
    static const std::map<std::string, int> names = [] {
        std::map<std::string, int> n = {
            {"ESCAPE", platform::DIK_ESCAPE}, {"RETURN", platform::DIK_RETURN}, {"BACK", platform::DIK_BACK},
            {"SPACE", platform::DIK_SPACE},   {"LSHIFT", platform::DIK_LSHIFT}, {"PERIOD", platform::DIK_PERIOD},
            {"F1", platform::DIK_F1},         {"UP", platform::DIK_UP},         {"DOWN", platform::DIK_DOWN},
            {"LEFT", platform::DIK_LEFT},     {"RIGHT", platform::DIK_RIGHT},   {"F5", platform::DIK_F5},
            {"F9", platform::DIK_F9},
        };
        const int digits[] = {platform::DIK_0, platform::DIK_1, platform::DIK_2, platform::DIK_3, platform::DIK_4,
                              platform::DIK_5, platform::DIK_6, platform::DIK_7, platform::DIK_8, platform::DIK_9};
        for (int d = 0; d < 10; ++d) n[std::string(1, static_cast<char>('0' + d))] = digits[d];
        const int letters[] = {platform::DIK_A, platform::DIK_B, platform::DIK_C, platform::DIK_D, platform::DIK_E,
                               platform::DIK_F, platform::DIK_G, platform::DIK_H, platform::DIK_I, platform::DIK_J,
                               platform::DIK_K, platform::DIK_L, platform::DIK_M, platform::DIK_N, platform::DIK_O,
                               platform::DIK_P, platform::DIK_Q, platform::DIK_R, platform::DIK_S, platform::DIK_T,
                               platform::DIK_U, platform::DIK_V, platform::DIK_W, platform::DIK_X, platform::DIK_Y,
                               platform::DIK_Z};
        for (int l = 0; l < 26; ++l) n[std::string(1, static_cast<char>('A' + l))] = letters[l];
        return n;
    }();
    return names;
}

bool ParseInts(std::istringstream& in, std::vector<int>* out)
{
    int value;
    while (in >> value) out->push_back(value);
    return in.eof();
}

// Splits TEXT into key presses; false if a character has no key.
bool TypeCommands(const std::string& text, int line, std::vector<ReplayCommand>* commands)
{
    for (char c : text) {
        std::string name;
        if (c == ' ') name = "SPACE";
        else if (c == '.') name = "PERIOD";
        else name = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (!KeyNames().count(name)) return false;
        commands->push_back({ReplayCommand::Key, line, {}, name});
    }
    return true;
}

bool ParseLine(const std::string& raw, int line, std::vector<ReplayCommand>* commands, std::string* why)
{
    std::string text = raw.substr(0, raw.find('#'));
    std::istringstream in(text);
    std::string verb;
    if (!(in >> verb)) return true;  // blank or comment
    ReplayCommand c{ReplayCommand::Frames, line, {}, {}};
    auto ints = [&](std::size_t min, std::size_t max) {
        if (!ParseInts(in, &c.numbers) || c.numbers.size() < min || c.numbers.size() > max) {
            *why = "expected " + std::to_string(min) + (min == max ? "" : " to " + std::to_string(max)) +
                   " whole numbers after '" + verb + "'";
            return false;
        }
        return true;
    };
    if (verb == "seed") {
        c.kind = ReplayCommand::Seed;
        if (!ints(1, 1)) return false;
        if (c.numbers[0] < 0) {
            *why = "'seed' takes a whole number of 0 or more";
            return false;
        }
        const bool first = std::all_of(commands->begin(), commands->end(),
                                       [](const ReplayCommand& earlier) { return earlier.kind == ReplayCommand::Seed; });
        if (!first) {
            *why = "'seed' must come before every other command: the world draws its random set-up at start-up";
            return false;
        }
    } else if (verb == "frames") {
        c.kind = ReplayCommand::Frames;
        if (!ints(1, 1)) return false;
    } else if (verb == "wait") {
        c.kind = ReplayCommand::Wait;
        if (!ints(1, 1)) return false;
    } else if (verb == "move") {
        c.kind = ReplayCommand::Move;
        if (!ints(2, 2)) return false;
    } else if (verb == "click" || verb == "rclick") {
        c.kind = verb == "click" ? ReplayCommand::Click : ReplayCommand::RClick;
        if (!ints(0, 2) || c.numbers.size() == 1) {
            *why = "'" + verb + "' takes no position or both X and Y";
            return false;
        }
    } else if (verb == "pick" || verb == "point") {
        // point: as pick, the view turned and the pointer set on the picture point, without the click.
        c.kind = ReplayCommand::Pick;
        c.text = verb;
        if (!ints(2, 2)) return false;
        if (c.numbers[0] < 0 || c.numbers[0] >= WorldManager::kPanoramaWidth || c.numbers[1] < 0 ||
            c.numbers[1] >= WorldManager::kImageHeight) {
            *why = "'" + verb + "' needs a point inside a 2048 x 512 picture";
            return false;
        }
    } else if (verb == "hold" || verb == "examine") {
        c.kind = verb == "hold" ? ReplayCommand::Hold : ReplayCommand::Examine;
        if (!ints(1, 1)) return false;
    } else if (verb == "pace") {
        c.kind = ReplayCommand::Pace;
        if (!ints(1, 1)) return false;
        if (c.numbers[0] < 1 || c.numbers[0] > 1000) {
            *why = "'pace' takes 1 to 1000 milliseconds per frame";
            return false;
        }
    } else if (verb == "key" || verb == "press" || verb == "release") {
        c.kind = verb == "key" ? ReplayCommand::Key : verb == "press" ? ReplayCommand::KeyDown : ReplayCommand::KeyUp;
        in >> c.text;
        if (!KeyNames().count(c.text)) {
            *why = "unknown key '" + c.text + "'";
            return false;
        }
    } else if (verb == "window") {
        c.kind = ReplayCommand::Window;
        in >> c.text;
        if (c.text != "fullscreen" && c.text != "windowed") {
            *why = "'window' takes fullscreen or windowed";
            return false;
        }
    } else if (verb == "type") {
        std::string rest;
        std::getline(in, rest);
        const auto start = rest.find_first_not_of(' ');
        rest = start == std::string::npos ? "" : rest.substr(start);
        if (!TypeCommands(rest, line, commands)) {
            *why = "'type' accepts letters, digits, spaces and periods only";
            return false;
        }
        return true;
    } else if (verb == "screenshot") {
        c.kind = ReplayCommand::Screenshot;
        if (!(in >> c.text)) {
            *why = "'screenshot' needs a file path";
            return false;
        }
        std::string path;
        if (c.text == "settled" && in >> path) {
            c.numbers.push_back(1);
            c.text = path;
        }
        if (in >> path) {
            *why = "'screenshot' takes a file path, after 'settled' if it waits for the picture to settle";
            return false;
        }
    } else if (verb == "expect") {
        c.kind = ReplayCommand::Expect;
        in >> c.text;
        if (c.text == "phase") {
            std::string phase;
            in >> phase;
            const std::map<std::string, int> phases = {{"menu", 0}, {"world", 1}, {"credits", 2}};
            if (!phases.count(phase)) {
                *why = "expect phase takes menu, world or credits";
                return false;
            }
            c.numbers.push_back(phases.at(phase));
        } else if (c.text == "settings") {
            std::string state;
            in >> state;
            if (state != "open" && state != "closed") {
                *why = "expect settings takes open or closed";
                return false;
            }
            c.numbers.push_back(state == "open" ? 1 : 0);
        } else if (c.text == "goal") {
            std::string goal;
            in >> goal;
            if (goal.empty()) {
                *why = "expect goal takes a goal's name, or none";
                return false;
            }
            c.text = "goal " + goal;
        } else if (c.text == "clue") {
            std::string clue;
            in >> clue;
            if (clue.empty()) {
                *why = "expect clue takes a clue's name";
                return false;
            }
            c.text = "clue " + clue;
        } else if (c.text == "journal" || c.text == "journalpage") {
            if (!ints(1, 1)) return false;
        } else if (c.text == "says") {
            std::string id;
            in >> id;
            if (id.empty()) {
                *why = "expect says takes the identifier of the text the caption shows (caption.dark)";
                return false;
            }
            c.text = "says " + id;
        } else if (c.text == "cursor") {
            std::string name;
            in >> name;
            if (!hotspot_cursor::Named(name)) {
                *why = "expect cursor takes a cursor's name (walk, take, use, look, read, back, react, normal, ...)";
                return false;
            }
            c.text = "cursor " + name;
        } else if (c.text == "var") {
            if (!ints(2, 2)) return false;
        } else if (c.text == "screen" || c.text == "item" || c.text == "noitem" || c.text == "held" ||
                   c.text == "menupage" || c.text == "videos" || c.text == "song" || c.text == "marks" ||
                   c.text == "autosaves" || c.text == "saved" || c.text == "unsaved" || c.text == "overlays") {
            if (!ints(1, 1)) return false;
        } else {
            *why = "unknown expectation '" + c.text + "'";
            return false;
        }
    } else if (verb == "quit") {
        c.kind = ReplayCommand::Quit;
    } else if (verb == "videos") {
        c.kind = ReplayCommand::Videos;
        in >> c.text;
        if (c.text != "skip" && c.text != "watch") {
            *why = "'videos' takes skip or watch";
            return false;
        }
    } else {
        *why = "unknown command '" + verb + "'";
        return false;
    }
    commands->push_back(c);
    return true;
}

// Walks the script frame by frame from inside the game's frame step.
class ReplayRunner {
public:
    // `pace`: the game time each presented frame adds at the start, milliseconds.
    ReplayRunner(std::vector<ReplayCommand> commands, ReplayResult* result, std::uint32_t pace,
                 std::uint32_t forcedPace)
        : c_commands(std::move(commands)), c_pResult(result), c_dwPace(pace), c_dwForcedPace(forcedPace)
    {
        platform::SetClockStepPerPresent(c_dwPace);
    }

    // Called at each Present before the clock takes its step (platform::SetPresentHook). A film
    // holds the main thread in a loop of its own that presents as often as the machine lets
    // it, so its frames are not the game's: the game's time stands still while it plays, and
    // a skipped film is ended from here after a fixed number of its frames, on this thread.
    // Neither the film's real-time playing nor the machine's load then changes the game.
    void Presented()
    {
        const bool film = _pVideoPlayer != nullptr && _pVideoPlayer->get_Playing();
        if (!film) {
            if (c_iFilmFrames > 0) EndFilm();
            return;
        }
        platform::SetClockStepPerPresent(0);
        if (c_iFilmFrames == 0) c_dFilmStart = SteadySeconds();
        if (++c_iFilmFrames == kFilmGlimpseFrames && c_bSkipVideos) {
            // A tap, down and up at once: the film's next key reading sees one press, and no
            // key is left held for what follows the film.
            platform::InjectKey(platform::DIK_ESCAPE, true);
            platform::InjectKey(platform::DIK_ESCAPE, false);
            c_bFilmEscape = true;
        }
    }

    // Called after each game frame: notes the latency of a click taken earlier once the screen it
    // entered has been presented. A click pressed during this frame reaches the game through the
    // next frame's poll, which comes right after: it counts from now.
    void FrameEnded()
    {
        NoteClickShown();
        if (c_iArmedClickLine == 0) return;
        const WorldManager& world = *GetGameObjects()->world;
        c_click = PendingClick{c_iArmedClickLine, SteadySeconds(), world.get_EntryTimes().count,
                               world.get_FramesPresented(), VideosPlayed(), kFramesToShowEntry};
        c_iArmedClickLine = 0;
    }

    void NoteClickShown()
    {
        if (!c_click) return;
        for (const WorldManager::EntryFrames& entry : GetGameObjects()->world->get_RecentEntries()) {
            if (entry.entry <= c_click->entries) continue;
            if (entry.firstFrameAfter == 0.0) {
                if (--c_click->framesLeft <= 0) c_click.reset();
                return;
            }
            ClickLatency noted;
            noted.line = c_click->line;
            noted.screen = entry.screen;
            noted.ms = (entry.firstFrameAfter - c_click->takenAt) * 1000.0;
            noted.afterLoadingMs = (entry.firstFrameAfter - std::max(entry.lastFrameBefore, c_click->takenAt)) * 1000.0;
            noted.scripted = entry.framesBefore > c_click->frames + 1 || VideosPlayed() != c_click->videos;
            c_pResult->clicks.push_back(noted);
            c_click.reset();
            return;
        }
        c_click.reset();  // the click entered no screen in its frame: not a move
    }

    // Called before each game frame: runs the commands due now. False ends the game.
    bool BeforeFrame()
    {
        if (c_iReleaseKey >= 0) {
            platform::InjectKey(c_iReleaseKey, false);
            c_iReleaseKey = -1;
        }
        if (c_iFilmFrames > 0) EndFilm();
        SpendFilmEscape();
        for (;;) {
            if (c_iPendingFrames > 0) {
                --c_iPendingFrames;
                return true;
            }
            if (c_bWaiting) {
                if (static_cast<std::int32_t>(timeGetTime() - c_dwWaitUntil) < 0) return true;
                c_bWaiting = false;
            }
            if (c_pPick != nullptr && !StepPick()) return true;
            if (c_pAwaited != nullptr && !StepAwaited()) return true;
            if (c_pShot != nullptr && !StepSettledScreenshot()) return true;
            if (c_next >= c_commands.size()) {
                c_pResult->finished = true;
                return false;
            }
            Execute(c_commands[c_next++]);
        }
    }

    // Whether every command has been started (the game may end during the last one).
    bool AllStarted() const
    {
        return c_next >= c_commands.size() && c_iPendingFrames == 0 && !c_bWaiting && c_pShot == nullptr;
    }

private:
    static double SteadySeconds()
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    static int VideosPlayed() { return _pVideoPlayer != nullptr ? _pVideoPlayer->get_PlayCount() : 0; }

    // Frames of a skipped film shown before its Escape.
    static constexpr int kFilmGlimpseFrames = 3;

    // The game's time goes on again after a film.
    void EndFilm()
    {
        c_pResult->filmSeconds += SteadySeconds() - c_dFilmStart;
        c_iFilmFrames = 0;
        platform::SetClockStepPerPresent(c_dwPace);
    }

    // A film that reached its end in the same loop pass as its Escape press never read it; left
    // there, the world would take it as the player's Escape and open the settings screen.
    void SpendFilmEscape()
    {
        if (!c_bFilmEscape) return;
        c_bFilmEscape = false;
        if (_pKeyManager == nullptr) return;
        _pKeyManager->Update();
        _pKeyManager->GetKeyPressedDel(platform::DIK_ESCAPE);
    }

    void Fail(const ReplayCommand& command, const std::string& what)
    {
        c_pResult->failures.push_back("line " + std::to_string(command.line) + ": " + what);
    }

    // Input reaches the game through the next frame's poll; the command's effects are in place
    // once that frame has run.
    static constexpr int kFramesForInput = 2;

    void MoveTo(int x, int y)
    {
        platform::InjectMouseMotion(x - _pMouseManager->get_X(), y - _pMouseManager->get_Y());
    }

    // The pointer row that lands on picture row y of any screen, and the column that lands on
    // picture column x of a flat screen (the inverse of the world's pointer mapping, rounded
    // up). The view's top row itself is outside it, so row 0 is reached as row 1.
    static int ScreenRowFor(int y)
    {
        constexpr int kViewHeight = WorldManager::kViewBottom - WorldManager::kViewTop;
        const int row = WorldManager::kViewTop + (y * kViewHeight + WorldManager::kImageHeight - 1) / WorldManager::kImageHeight;
        return std::max(row, WorldManager::kViewTop + 1);
    }
    static int ScreenColumnForFlat(int x)
    {
        return (x * gfx::kBackBufferWidth + WorldManager::kFlatWidth - 1) / WorldManager::kFlatWidth;
    }

    // One frame's worth of a `pick`: true once it has clicked (or failed), false while the
    // pointer still turns the view or settles on its point (a frame must run first).
    bool StepPick()
    {
        const ReplayCommand& c = *c_pPick;
        GameObjects& game = *GetGameObjects();
        const WorldScreen* screen = game.world->get_Screen();
        if (game.game->get_Phase() != GameManager::kWorld || screen == nullptr) {
            Fail(c, "'pick' needs the world on the screen");
            c_pPick = nullptr;
            return true;
        }
        const int row = ScreenRowFor(c.numbers[1]);
        int column;
        if (screen->get_Type() == WorldScreen::kPanorama) {
            // The column under the screen's middle, and how far the wanted one lies from it.
            constexpr float kTwoPi = 6.2831853f;
            constexpr int kWidth = WorldManager::kPanoramaWidth;
            const float angle = game.world->get_DisplayScreen()->GetRotation();
            const int middle = static_cast<int>(std::lround(-angle / kTwoPi * kWidth));
            const int offset = ((c.numbers[0] - middle) % kWidth + kWidth + kWidth / 2) % kWidth - kWidth / 2;
            // Only a column well clear of the turning margins is clicked.
            constexpr int kReach = gfx::kBackBufferWidth / 2 - WorldManager::kTurnLeftEdge - 20;
            if (std::abs(offset) > kReach) {
                if (++c_iPickFrames > kMaxPickFrames) {
                    Fail(c, "the view never turned to column " + std::to_string(c.numbers[0]));
                    c_pPick = nullptr;
                    return true;
                }
                MoveTo(offset < 0 ? 0 : gfx::kBackBufferWidth - 1, row);
                return false;
            }
            column = gfx::kBackBufferWidth / 2 + offset;
        } else {
            column = ScreenColumnForFlat(std::min(c.numbers[0], WorldManager::kFlatWidth - 1));
        }
        // The pointer rests on the point for a frame before the click, so that a turn still
        // under way when it left the margin is accounted for.
        if (_pMouseManager->get_X() != column || _pMouseManager->get_Y() != row) {
            if (++c_iPickFrames > kMaxPickFrames) {
                Fail(c, "the pointer never settled on the picture point");
                c_pPick = nullptr;
                return true;
            }
            MoveTo(column, row);
            return false;
        }
        c_pPick = nullptr;
        if (c.text != "point") PressButton(platform::MouseButton::Left, c.line);
        return false;
    }

    // Whether the view is cross-fading (a screen change, a close-up opening or closing).
    static bool ViewInTransition()
    {
        const GameObjects& game = *GetGameObjects();
        return game.game->get_Phase() == GameManager::kWorld && game.world->get_DisplayScreen()->get_Switching();
    }

    // One frame's worth of a `screenshot settled`: true once the picture has been written (or
    // the wait has failed), false while a frame must run first.
    bool StepSettledScreenshot()
    {
        const ReplayCommand& c = *c_pShot;
        if (ViewInTransition()) {
            c_bSettledFrameDrawn = false;
            if (++c_iShotFrames > kMaxSettleFrames) {
                Fail(c, "the view was still in a transition after " + std::to_string(kMaxSettleFrames) + " frames");
                c_pShot = nullptr;
                return true;
            }
            return false;
        }
        // The frame drawn last may have been the cross-fade's last step: one more frame shows
        // the picture as it stays.
        if (!c_bSettledFrameDrawn) {
            c_bSettledFrameDrawn = true;
            return false;
        }
        c_pShot = nullptr;
        Screenshot(c);
        return true;
    }

    void PressButton(platform::MouseButton button, int line)
    {
        platform::InjectMouseButton(button, true);
        platform::InjectMouseButton(button, false);
        c_iPendingFrames = kFramesForInput;
        c_iArmedClickLine = line;
    }

    void Execute(const ReplayCommand& c)
    {
        switch (c.kind) {
        case ReplayCommand::Seed:
            break;  // taken before the start-up
        case ReplayCommand::Frames:
            c_iPendingFrames = c.numbers[0];
            break;
        case ReplayCommand::Wait:
            c_dwWaitUntil = timeGetTime() + static_cast<std::uint32_t>(c.numbers[0]);
            c_bWaiting = true;
            break;
        case ReplayCommand::Move:
            MoveTo(c.numbers[0], c.numbers[1]);
            c_iPendingFrames = kFramesForInput;
            break;
        case ReplayCommand::Click:
        case ReplayCommand::RClick: {
            if (c.numbers.size() == 2) MoveTo(c.numbers[0], c.numbers[1]);
            PressButton(c.kind == ReplayCommand::Click ? platform::MouseButton::Left : platform::MouseButton::Right,
                        c.line);
            break;
        }
        case ReplayCommand::Pick:
            c_pPick = &c;
            c_iPickFrames = 0;
            break;
        case ReplayCommand::Hold:
        case ReplayCommand::Examine:
            ClickInBar(c);
            break;
        case ReplayCommand::Key:
            platform::InjectKey(KeyNames().at(c.text), true);
            // The key is released before the second frame, which sees it up: the next key,
            // the same letter again included, is then a press of its own.
            c_iReleaseKey = KeyNames().at(c.text);
            c_iPendingFrames = 2;
            break;
        case ReplayCommand::KeyDown:
        case ReplayCommand::KeyUp:
            platform::InjectKey(KeyNames().at(c.text), c.kind == ReplayCommand::KeyDown);
            c_iPendingFrames = 1;
            break;
        case ReplayCommand::Window:
            Winfunc::SetFullscreen(c.text == "fullscreen");
            break;
        case ReplayCommand::Pace:
            if (c_dwForcedPace == 0) {
                c_dwPace = static_cast<std::uint32_t>(c.numbers[0]);
                platform::SetClockStepPerPresent(c_dwPace);
            }
            break;
        case ReplayCommand::Screenshot:
            if (c.numbers.empty()) {
                Screenshot(c);
            } else {
                c_pShot = &c;
                c_iShotFrames = 0;
                c_bSettledFrameDrawn = false;
            }
            break;
        case ReplayCommand::Expect:
            if (c.text == "autosaves") {
                // An autosave waits for the one before it to be written, and takes two frames
                // for its picture: the count is awaited over a few frames.
                c_pAwaited = &c;
                c_iAwaitedFrames = 0;
            } else {
                Expect(c);
            }
            break;
        case ReplayCommand::Quit:
            Winfunc::hWnd->PostQuit();
            c_iPendingFrames = 1;
            break;
        case ReplayCommand::Videos:
            c_bSkipVideos = c.text == "skip";
            break;
        }
    }

    void Screenshot(const ReplayCommand& c)
    {
        const std::vector<std::uint32_t> frame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
        imaging::Image image;
        image.width = gfx::kBackBufferWidth;
        image.height = gfx::kBackBufferHeight;
        image.pixels.resize(frame.size() * 4);
        for (std::size_t i = 0; i < frame.size(); ++i) {
            image.pixels[i * 4 + 0] = static_cast<std::uint8_t>(frame[i]);
            image.pixels[i * 4 + 1] = static_cast<std::uint8_t>(frame[i] >> 8);
            image.pixels[i * 4 + 2] = static_cast<std::uint8_t>(frame[i] >> 16);
            image.pixels[i * 4 + 3] = 0xFF;
        }
        const std::vector<std::uint8_t> png = imaging::EncodePng(image);
        std::ofstream out(c.text, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) Fail(c, "cannot write the screenshot '" + c.text + "'");
    }

    // `hold` or `examine`: a left or right click on the item's slot in the bar.
    void ClickInBar(const ReplayCommand& c)
    {
        const std::vector<WorldItem*>& row = GetGameObjects()->world->get_Inventory()->get_ActiveItems();
        const int count = static_cast<int>(row.size());
        for (int i = 0; i < count; ++i) {
            if (row[i]->get_Number() != c.numbers[0]) continue;
            constexpr int kSlotMiddle = 37;
            MoveTo(WorldInventory::SlotLeft(count, i) + kSlotMiddle,
                   (WorldManager::kBarTop + WorldManager::kBarClickBottom) / 2);
            PressButton(c.kind == ReplayCommand::Hold ? platform::MouseButton::Left : platform::MouseButton::Right,
                        c.line);
            return;
        }
        Fail(c, "item " + std::to_string(c.numbers[0]) + " is not in the inventory bar");
    }

    bool ItemInBar(int number) const
    {
        for (const WorldItem* item : GetGameObjects()->world->get_Inventory()->get_ActiveItems()) {
            if (item->get_Number() == number) return true;
        }
        return false;
    }

    // ", which holds a, b" naming the clues filed, in order.
    static std::string JournalList(const GameObjects& game)
    {
        if (!game.journal || game.journal->get_Entries().empty()) return "";
        std::string list = ", which holds";
        for (const Journal::Entry& entry : game.journal->get_Entries()) list += " " + game.journal->ClueOf(entry).name;
        return list;
    }

    void Expect(const ReplayCommand& c)
    {
        GameObjects& game = *GetGameObjects();
        auto check = [&](bool ok, const std::string& what) {
            if (!ok) Fail(c, what);
        };
        if (c.text == "screen") {
            const int screen = game.world->get_ScreenPosition();
            check(screen == c.numbers[0], "expected screen " + std::to_string(c.numbers[0]) + ", the world is on " +
                                              std::to_string(screen));
        } else if (c.text == "var") {
            const int value = static_cast<unsigned char>(game.world->getGlobalVarValue(c.numbers[0]));
            check(value == (c.numbers[1] & 0xFF), "expected variable " + std::to_string(c.numbers[0]) + " = " +
                                                      std::to_string(c.numbers[1]) + ", it holds " +
                                                      std::to_string(value));
        } else if (c.text == "item" || c.text == "noitem") {
            const bool want = c.text == "item";
            check(ItemInBar(c.numbers[0]) == want, "expected item " + std::to_string(c.numbers[0]) +
                                                       (want ? " in the bar" : " not in the bar"));
        } else if (c.text == "held") {
            const int held = game.world->get_CursorItem();
            check(held == c.numbers[0], "expected item " + std::to_string(c.numbers[0]) + " on the cursor, it holds " +
                                            std::to_string(held));
        } else if (c.text == "phase") {
            const int phase = game.game->get_Phase();
            check(phase == c.numbers[0], "expected phase " + std::to_string(c.numbers[0]) + ", the game is in phase " +
                                             std::to_string(phase));
        } else if (c.text == "videos") {
            const int count = _pVideoPlayer != nullptr ? _pVideoPlayer->get_PlayCount() : 0;
            check(count == c.numbers[0], "expected " + std::to_string(c.numbers[0]) + " video clips started, " +
                                             std::to_string(count) + " were");
        } else if (c.text == "song") {
            const int song = game.music->get_Current();
            check(song == c.numbers[0], "expected music track " + std::to_string(c.numbers[0]) + ", track " +
                                            std::to_string(song) + " is current");
        } else if (c.text == "settings") {
            const bool open = game.settingsScreen->IsOpen();
            check(open == (c.numbers[0] == 1), std::string("expected the settings screen ") +
                                                   (c.numbers[0] == 1 ? "open" : "closed") + ", it is " +
                                                   (open ? "open" : "closed"));
        } else if (c.text.rfind("goal ", 0) == 0) {
            const std::string want = c.text.substr(5);
            const int open = game.hints ? game.hints->OpenGoal(*game.world) : -1;
            const std::string name = open < 0 ? "none" : game.hints->get_Goals()[static_cast<std::size_t>(open)].name;
            check(name == want, "expected the hints on goal " + want + ", they are on " + name);
        } else if (c.text == "overlays") {
            // The changing blocks drawn over the current screen's picture: those whose
            // conditions hold now.
            int shown = 0;
            if (const WorldScreen* screen = game.world->get_Screen())
                for (int i = 0; i < screen->get_OverlayCount(); ++i)
                    if (game.world->TestConditionList(screen->GetOverlay(i))) ++shown;
            check(shown == c.numbers[0], "expected " + std::to_string(c.numbers[0]) +
                                             " changing blocks drawn over the view, it shows " + std::to_string(shown));
        } else if (c.text == "marks") {
            const std::vector<WorldManager::RevealMark> shown =
                game.world->get_Reveal() ? game.world->RevealMarks() : std::vector<WorldManager::RevealMark>{};
            check(shown.size() == static_cast<std::size_t>(c.numbers[0]),
                  "expected " + std::to_string(c.numbers[0]) + " reveal marks on the view, it shows " +
                      std::to_string(shown.size()));
            // A flat view shows all of itself: the marks are exactly its hotspots whose
            // conditions hold, as the world's own list of them says.
            const WorldScreen* screen = game.world->get_Screen();
            if (game.world->get_Reveal() && screen != nullptr && screen->get_Type() == WorldScreen::kFlat) {
                std::vector<int> holding, marked;
                for (int i = 0; i < screen->get_HotspotCount(); ++i)
                    if (game.world->TestConditionList(screen->GetHotspot(i))) holding.push_back(i);
                for (const WorldManager::RevealMark& mark : shown) marked.push_back(mark.hotspot);
                check(marked == holding, "the reveal marks " + std::to_string(marked.size()) +
                                             " hotspots, but the screen has " + std::to_string(holding.size()) +
                                             " whose conditions hold");
            }
        } else if (c.text == "autosaves") {
            const int count = game.autosave ? game.autosave->get_Count() : 0;
            check(count == c.numbers[0], "expected " + std::to_string(c.numbers[0]) + " autosaves, the game made " +
                                             std::to_string(count));
        } else if (c.text == "saved" || c.text == "unsaved") {
            // Whether the slot holds a save; one being written counts once it is on disk.
            game.saves->FinishBackground();
            const SaveFile* slot = game.saves->GetSaveFile(c.numbers[0]);
            const bool saved = slot != nullptr && slot->get_Active();
            check(saved == (c.text == "saved"), "expected slot " + std::to_string(c.numbers[0]) +
                                                    (saved ? " empty, it holds a save" : " to hold a save, it is empty"));
        } else if (c.text == "journal") {
            const int found = game.journal ? static_cast<int>(game.journal->get_Entries().size()) : 0;
            check(found == c.numbers[0], "expected " + std::to_string(c.numbers[0]) + " clues in the journal, it has " +
                                             std::to_string(found) + JournalList(game));
        } else if (c.text.rfind("says ", 0) == 0) {
            // The caption shown now (a line of a film, a sound's words, a refusal) is the text of
            // the identifier in the game's language.
            const std::string id = c.text.substr(5), shown = game.world->get_Caption();
            const std::string* text = game.texts ? game.texts->Find(id) : nullptr;
            if (text == nullptr) {
                Fail(c, "the game's texts have no identifier '" + id + "'");
            } else {
                const std::string want = Utf8ToLatin1(*text);
                check(shown == want, "expected the caption " + id + " (\"" + want + "\"), it " +
                                         (shown.empty() ? std::string("shows nothing") : "says \"" + shown + "\""));
            }
        } else if (c.text.rfind("cursor ", 0) == 0) {
            // The cursor the last frame drew for the pointer (an item in the hand aside).
            const std::string want = c.text.substr(7);
            const std::string shown = hotspot_cursor::Name(game.world->get_Cursor());
            check(shown == want, "expected the " + want + " cursor, the pointer shows the " + shown + " cursor");
        } else if (c.text.rfind("clue ", 0) == 0) {
            const std::string want = c.text.substr(5);
            check(game.journal && game.journal->Has(want), "expected clue " + want + " in the journal" + JournalList(game));
        } else if (c.text == "journalpage") {
            const bool open = game.journalScreen && game.journalScreen->IsOpen();
            const int page = open ? game.journalScreen->get_Page() + 1 : -1;
            check(page == c.numbers[0], "expected journal page " + std::to_string(c.numbers[0]) +
                                            " (0: open and empty, -1: closed), it " +
                                            (open ? "shows " + std::to_string(page) : std::string("is closed")));
        } else if (c.text == "menupage") {
            const int page = game.menu->get_CurrentMenu();
            check(page == c.numbers[0], "expected menu page " + std::to_string(c.numbers[0]) + ", the menu shows " +
                                            std::to_string(page));
        }
    }

    std::vector<ReplayCommand> c_commands;
    ReplayResult* c_pResult;
    bool c_bSkipVideos = false;
    int c_iFilmFrames = 0;       // frames the playing film has presented (0: none playing)
    double c_dFilmStart = 0.0;   // steady clock at the playing film's first frame, seconds
    bool c_bFilmEscape = false;  // a skipped film's Escape was pressed and may be unread
    std::uint32_t c_dwPace;      // game time per presented frame outside films, milliseconds
    std::size_t c_next = 0;
    int c_iPendingFrames = 0;
    bool c_bWaiting = false;
    std::uint32_t c_dwWaitUntil = 0;
    int c_iReleaseKey = -1;
    static constexpr int kMaxPickFrames = 600;  // half a turn takes about 60 frames
    static constexpr int kMaxAwaitedFrames = 10;  // an autosave due now is written within three
    const ReplayCommand* c_pAwaited = nullptr;
    int c_iAwaitedFrames = 0;

    // An expectation that may take a few frames to come true: each frame, with any save being
    // written finished first, it holds or is given another frame, until the last is checked.
    bool StepAwaited()
    {
        GameObjects& game = *GetGameObjects();
        game.saves->FinishBackground();
        const int count = game.autosave ? game.autosave->get_Count() : 0;
        if (count != c_pAwaited->numbers[0] && ++c_iAwaitedFrames < kMaxAwaitedFrames) return false;
        const ReplayCommand& c = *c_pAwaited;
        c_pAwaited = nullptr;
        Expect(c);
        return true;
    }
    const ReplayCommand* c_pPick = nullptr;      // the `pick` under way
    int c_iPickFrames = 0;
    static constexpr int kMaxSettleFrames = 600;  // 10 s of game time at the default pace
    const ReplayCommand* c_pShot = nullptr;       // the `screenshot settled` under way
    int c_iShotFrames = 0;
    bool c_bSettledFrameDrawn = false;
    std::uint32_t c_dwForcedPace;
    // A click pressed for the next frame (its script line; 0: none), and the click whose
    // screen is awaited: a screen entered on leaving the menu may show a few frames later.
    static constexpr int kFramesToShowEntry = 4;
    struct PendingClick {
        int line;
        double takenAt;  // steady clock, seconds
        int entries;     // screen entries counted before the click
        std::uint64_t frames;
        int videos;
        int framesLeft;
    };
    int c_iArmedClickLine = 0;
    std::optional<PendingClick> c_click;
};

}  // namespace

bool ParseReplayScript(const std::string& script, std::vector<ReplayCommand>* commands, std::string* error)
{
    std::istringstream in(script);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string why;
        if (!ParseLine(line, number, commands, &why)) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

ReplayResult RunReplay(const std::string& script, const ReplayOptions& options)
{
    ReplayResult result;
    std::vector<ReplayCommand> commands;
    std::string error;
    if (!ParseReplayScript(script, &commands, &error)) {
        result.failures.push_back(error);
        return result;
    }
    result.parsed = true;
    std::uint32_t seed = options.seed;
    for (const ReplayCommand& c : commands) {
        if (c.kind != ReplayCommand::Seed) break;
        seed = static_cast<std::uint32_t>(c.numbers[0]);
    }

    platform::ResetInjectedInput();
    constexpr std::uint32_t kStartMs = 1000;
    platform::UseManualClock(kStartMs);
    ReplayRunner runner(std::move(commands), &result,
                        options.forcedPace != 0 ? options.forcedPace : options.msPerFrame, options.forcedPace);
    platform::SetPresentHook([&runner] { runner.Presented(); });

    const auto started = std::chrono::steady_clock::now();
    // Errors are caught here rather than on the fatal-error screen, which would wait for Q.
    WinMain([&]() -> GameAssembly {
        GameAssembly game;
        std::srand(seed);  // in place of the start-up's seed, which differs from run to run
        try {
            game = options.world ? AssembleGame(options.world) : AssembleGame();
        } catch (const std::exception& e) {
            result.failures.push_back(std::string("start-up failed: ") + e.what() + " (" +
                                      ToErrorScreenText(FailSafe::Info) + ")");
            game.hooks.frameStep = [] { return false; };
            return game;
        }
        GetGameObjects()->world->set_Prefetch(options.prefetch);
        auto frameStep = game.hooks.frameStep;
        game.hooks.frameStep = [&result, &runner, &options, frameStep, started] {
            if (!runner.BeforeFrame()) return false;
            try {
                const bool goOn = frameStep();
                runner.FrameEnded();
                if (result.frames == 0) {
                    result.firstFrameSeconds =
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                }
                result.screenEntries = GetGameObjects()->world->get_EntryTimes();
                if (const PictureCache* cache = GetGameObjects()->world->get_PictureCache()) {
                    result.picturesAhead = cache->get_Hits();
                    result.picturesRead = cache->get_Misses();
                }
                if (++result.frames >= options.maxFrames) {
                    result.failures.push_back("the replay ran " + std::to_string(options.maxFrames) +
                                              " frames without finishing its script");
                    return false;
                }
                return goOn;
            } catch (const std::exception& e) {
                result.failures.push_back(std::string("the game raised an error: ") + e.what() + " (" +
                                          ToErrorScreenText(FailSafe::Info) + ")");
                return false;
            }
        };
        return game;
    });

    if (runner.AllStarted()) result.finished = true;
    result.gameMs = timeGetTime() - kStartMs;
    platform::ResetInjectedInput();
    platform::UseRealClock();
    return result;
}

LatencyStats SummariseLatencies(std::vector<double> samples)
{
    LatencyStats stats;
    if (samples.empty()) return stats;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    auto rank = [&](std::size_t percent) { return samples[(percent * n + 99) / 100 - 1]; };
    stats.count = static_cast<int>(n);
    stats.p50 = rank(50);
    stats.p95 = rank(95);
    stats.worst = samples.back();
    return stats;
}

std::string LatencyReport(const ReplayResult& result, std::uint32_t paceMs)
{
    std::vector<double> whole, afterLoading;
    int scripted = 0;
    const ClickLatency* worst = nullptr;
    for (const ClickLatency& click : result.clicks) {
        if (click.scripted) {
            ++scripted;
            continue;
        }
        whole.push_back(click.ms);
        afterLoading.push_back(click.afterLoadingMs);
        if (worst == nullptr || click.ms > worst->ms) worst = &click;
    }
    const LatencyStats w = SummariseLatencies(whole);
    const LatencyStats a = SummariseLatencies(afterLoading);
    const double pace = paceMs > 0 ? paceMs : 1.0;
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(1);
    out << "click-to-frame latency over " << w.count << " screen changes: p50 " << w.p50 << " ms, p95 " << w.p95
        << " ms, worst " << w.worst << " ms";
    if (worst != nullptr) out << " (screen " << worst->screen << ", line " << worst->line << ")";
    out.precision(2);
    out << " = " << w.p50 / pace << " / " << w.p95 / pace << " / " << w.worst / pace << " frames of " << paceMs
        << " ms";
    out.precision(1);
    out << "; after the loading frame p50 " << a.p50 << " ms, p95 " << a.p95 << " ms, worst " << a.worst << " ms";
    out << "; " << scripted << " clicks with a scripted wait or film first left out";
    // The clicks slower than a frame, slowest first: where to look.
    std::vector<const ClickLatency*> slow;
    for (const ClickLatency& click : result.clicks)
        if (!click.scripted && paceMs > 0 && click.ms > paceMs) slow.push_back(&click);
    std::sort(slow.begin(), slow.end(), [](const ClickLatency* a, const ClickLatency* b) { return a->ms > b->ms; });
    if (!slow.empty()) {
        out << "; over a frame: " << slow.size() << " (";
        constexpr std::size_t kNamed = 8;
        for (std::size_t i = 0; i < std::min(slow.size(), kNamed); ++i)
            out << (i > 0 ? ", " : "") << "screen " << slow[i]->screen << " line " << slow[i]->line << " "
                << slow[i]->ms << " ms";
        out << (slow.size() > kNamed ? ", ...)" : ")");
    }
    return out.str();
}
