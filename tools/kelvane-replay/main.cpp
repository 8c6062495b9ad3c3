// kelvane-replay SCRIPT: plays the game headless under a script of moves, clicks, keys and
// waits (see src/shell/replay.h for the commands) in the current directory, which must hold
// the game's data/. Prints every failed expectation; exit status 0 when the script ran to its
// end with none, 1 otherwise, 2 on wrong usage.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "shell/replay.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: kelvane-replay SCRIPT\n"
                     "Runs the game headless in the current directory (which holds data/) under SCRIPT.\n";
        return 2;
    }
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "kelvane-replay: cannot read the script '" << argv[1] << "'\n";
        return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();

    // Headless unless the person running it asks for a window.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const ReplayResult result = RunReplay(text.str(), ReplayOptions{});
    for (const std::string& failure : result.failures) std::cerr << argv[1] << ": " << failure << "\n";
    std::cout << (result.Passed() ? "passed" : "FAILED") << " after " << result.frames << " frames\n";
    return result.Passed() ? 0 : 1;
}
