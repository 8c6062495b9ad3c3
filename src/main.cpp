// The process entry: answers --help and --version, otherwise everything happens in WinMain.
#include <iostream>

#include "core/version.h"
#include "shell/win_main.h"

namespace {

void PrintUsage()
{
    std::cout << "usage: kelvane [--windowed] [--develop] [--help] [--version]\n"
                 "Kelvane, a first-person point-and-click adventure.\n"
                 "  --windowed   start in a window instead of full screen\n"
                 "  --develop    for the game's authors: reload the world files and texts while the game\n"
                 "               runs whenever one of them changes (a fault shows over the picture)\n"
                 "  --help       print this text and exit\n"
                 "  --version    print the version and exit\n"
                 "The game reads the data in $KELVANE_DATA_DIR when it is set; otherwise data/ in the\n"
                 "working directory when that is the game's (as in a checkout); otherwise the data\n"
                 "installed beside it (../share/kelvane from the executable). Saves stay in save/ beside\n"
                 "a working directory's data/ while the game reads it, and otherwise in\n"
                 "$XDG_DATA_HOME/kelvane/save (~/.local/share/kelvane/save).\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const LaunchOptions options = ParseCommandLine(argc, argv);
    if (options.help) {
        PrintUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "kelvane " << kKelvaneVersion << "\n";
        return 0;
    }
    return WinMain(options);
}
