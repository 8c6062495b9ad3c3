// The process entry: answers --help and --version, otherwise everything happens in WinMain.
#include <iostream>

#include "core/version.h"
#include "shell/win_main.h"

namespace {

void PrintUsage()
{
    std::cout << "usage: kelvane [--windowed] [--help] [--version]\n"
                 "Kelvane, a first-person point-and-click adventure.\n"
                 "  --windowed   start in a window instead of full screen\n"
                 "  --help       print this text and exit\n"
                 "  --version    print the version and exit\n"
                 "Started from a directory holding data/, the game reads data/ and keeps its saves in\n"
                 "save/ there. Otherwise it reads $KELVANE_DATA_DIR or the data installed beside it\n"
                 "(../share/kelvane from the executable) and keeps its saves in\n"
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
