// The replay harness: runs the real start-up assembly headless with a manual clock, driven by
// a small script of mouse moves, clicks, keys and waits, checking the game's state as it goes.
// Tests use it, and a person can reproduce a bug from a script with the kelvane-replay tool.
//
// Script: one command per line, '#' starts a comment.
//   seed N                the seed of the game's random generator (0 or more; the default is
//                         ReplayOptions::seed). Only before every other command: the world
//                         draws its random set-up (the cabinet's wheels) at start-up
//   frames N              run N frames
//   wait MS               run frames until MS milliseconds of game time have passed
//   move X Y              move the pointer to screen pixel (X, Y); runs one frame
//   click [X Y]           left click (after moving to X, Y); runs one frame
//   rclick [X Y]          right click; runs one frame
//   pick IX IY            left click on the point (IX, IY) of the shown picture (picture
//                         pixels: 2048 x 512 for a panorama, 1024 x 512 for a flat screen).
//                         On a panorama the pointer first holds at the screen's edge, turning
//                         the view as a player would, until that column is well inside it
//   hold N                picks item N up from the inventory bar (clicks where the bar shows it)
//   examine N             right-clicks item N in the inventory bar, opening its close-up
//   key NAME              press and release a key (ESCAPE, RETURN, BACK, SPACE, LSHIFT,
//                         PERIOD, F1, UP, DOWN, LEFT, RIGHT, A..Z, 0..9); runs two frames,
//                         the first with the key down, the second with it up
//   press NAME            holds a key down from now on (the names of `key`); runs one frame
//   release NAME          lets a held key go; runs one frame
//   window MODE           switches the window as Alt+Enter does: MODE is fullscreen or
//                         windowed
//   type TEXT             types the letters, digits, spaces and periods of TEXT, one `key`
//                         each, so a doubled letter is typed twice
//   pace MS               from now on each presented frame adds MS ms of game time (1 .. 1000;
//                         the run starts at ReplayOptions::msPerFrame)
//   screenshot PATH       writes the current back buffer as PNG. Right after a click that
//                         changes the screen, or `examine`, that is the cross-fade between
//                         the old picture and the new one
//   screenshot settled PATH
//                         first runs frames until the view's cross-fade (a screen change, a
//                         close-up opening or closing) has ended and one frame has been drawn
//                         after it, then writes the picture; fails if it has not ended within
//                         600 frames. The main menu's veil is not waited for
//   expect screen N       the world's current screen
//   expect var N V        variable N holds V (compared as a byte: -56 and 200 are the same)
//   expect item N         item N is in the inventory bar
//   expect noitem N       item N is not in the inventory bar
//   expect held N         the item on the cursor is N (0: none)
//   expect phase NAME     menu, world or credits
//   expect menupage N     the main menu shows page N
//   expect goal NAME      the goal the hints (H) are on now: the first open and not done in
//                         the world files' order; none when no goal is open
//   expect journal N      the journal holds N clues
//   expect clue NAME      the clue NAME (its clue{} name) is in the journal
//   expect journalpage N  the journal screen shows its Nth page (1: the first found); 0
//                         when it is open on an empty journal, -1 while it is closed
//   expect marks N        the reveal (Space held) marks N hotspots on the view; 0 while
//                         Space is up
//   expect overlays N     N changing blocks of the current screen are drawn over its picture
//                         (their conditions hold)
//   expect settings open|closed
//                         whether the settings screen (F1) is open
//   expect videos N       N video clips have been started so far
//   expect song N         the current music track (-999: silence)
//   videos skip|watch     skip: every clip is ended with Escape once it has shown its first
//                         frames; watch (the default): clips play to their end
//   quit                  closes the window (the game ends after this frame)
//
// Game time: the manual clock, moved only by the run: each frame the game presents adds the
// pace, a wait without frames adds its length. A film plays in real time in a loop of its own
// and its frames add nothing: the game's time stands still while it plays (its subtitles keep
// their first line), so a run plays the same game however fast the machine shows the film.
//
// Click-to-frame latency: for every click (click, pick, rclick, hold, examine) that enters a
// screen in the frame that takes it, the run notes the real time from the start of that frame
// to the Present of the first frame drawn with the new screen in the view. The frames between
// are the game's own: the loading frame (cursor 4) a move shows first, then the new screen.
// A click whose actions present other frames first (a scripted wait, a film) is noted as
// scripted and left out of the statistics. kelvane-replay prints the statistics on standard
// error at the end of the run (LatencyReport).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/start_up.h"
#include "world/world_manager.h"

struct ReplayCommand {
    enum Kind { Seed, Frames, Wait, Move, Click, RClick, Pick, Hold, Examine, Key, Window, Pace, Screenshot, Expect, Quit, Videos, KeyDown, KeyUp };
    Kind kind;
    int line = 0;             // line number in the script, for messages
    std::vector<int> numbers;  // coordinates, counts, milliseconds, expected values, the seed;
                               // for a screenshot {1} when it waits for the picture to settle
    std::string text;          // key name, typed text, path, or what an expect checks
};

// How soon one click showed the screen it entered.
struct ClickLatency {
    int line = 0;                 // the script line of the click
    int screen = 0;               // the screen entered
    double ms = 0.0;              // from the start of the frame that took the click to the
                                  // Present of the first frame with the new screen, real time
    double afterLoadingMs = 0.0;  // the part of it after the last frame presented before the
                                  // view switched (the loading frame, or the frame before the click)
    bool scripted = false;        // a wait or a film came first: left out of the statistics
};

// Percentiles by nearest rank: the p-th of n samples is the ceil(p * n / 100)-th smallest
// (so with 20 samples p95 is the 19th smallest); worst is the largest. All 0 with no samples.
struct LatencyStats {
    int count = 0;
    double p50 = 0.0;
    double p95 = 0.0;
    double worst = 0.0;
};
LatencyStats SummariseLatencies(std::vector<double> samples);

struct ReplayOptions {
    // The world to build (null: the game's own, from the world files in its data).
    WorldDefinition world;
    // Game time added at every presented frame, milliseconds.
    std::uint32_t msPerFrame = 17;
    // The random generator's seed for the run, unless the script sets one. Every run with the
    // same seed and script plays the same game; the game's own scripts rely on the set-up this
    // default draws.
    static constexpr std::uint32_t kDefaultSeed = 1000;
    std::uint32_t seed = kDefaultSeed;
    // Stops the replay (as a failure) after this many frames.
    int maxFrames = 200000;
    // Game time per presented frame for the whole run, every `pace` command of the script
    // included (1 .. 1000 ms); 0 keeps the script's own pace.
    std::uint32_t forcedPace = 0;
    // Whether the world decodes the pictures of the screens one click away ahead (as the game
    // does); off, every screen's pictures are read when it is entered.
    bool prefetch = true;
};

struct ReplayResult {
    bool parsed = false;
    bool finished = false;            // every command ran
    std::vector<std::string> failures;  // parse errors, failed expectations, the game's error
    int frames = 0;
    std::uint32_t gameMs = 0;         // game time the run covered, milliseconds
    double filmSeconds = 0.0;         // real time from each film's first frame to its end, summed
    WorldManager::EntryTimes screenEntries;  // the world's screen entries during the run
    double firstFrameSeconds = 0.0;          // real time from the start of the run (window,
                                             // start-up assembly) to the end of the first frame
    std::vector<ClickLatency> clicks;        // every click that entered a screen, in order
    int picturesAhead = 0;                   // pictures entered screens took decoded ahead
    int picturesRead = 0;                    // pictures they read on entry (prefetching on)
    bool Passed() const { return parsed && finished && failures.empty(); }
};

// Reads a script; on a malformed line returns false with the line named in `error`.
bool ParseReplayScript(const std::string& script, std::vector<ReplayCommand>* commands, std::string* error);

// Runs the game (window, device, assembly, main loop) under the script in the current
// working directory, which must hold data/ (save/ is written there). Uses the manual clock
// for the whole run and restores the real clock afterwards.
ReplayResult RunReplay(const std::string& script, const ReplayOptions& options);

// The click-to-frame statistics of a run in one line: how many clicks, p50, p95 and worst in
// milliseconds and in frames of `paceMs`, the worst's screen and script line, the same for the
// part after the loading frame, how many scripted clicks were left out, and the clicks slower
// than a frame (the slowest eight named by screen and script line).
std::string LatencyReport(const ReplayResult& result, std::uint32_t paceMs);
