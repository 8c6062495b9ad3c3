// kelvane-pseudo: writes the pseudo-translation "qps" of the game's text template, with which a
// tester sees at once which texts the game does not take from the catalogue and which have no
// room to grow.
//   kelvane-pseudo [--output FILE | --check] PODIR
// Reads PODIR/kelvane.pot and writes PODIR/qps.po (or FILE; "-" is standard output). --check
// writes nothing and fails when PODIR/qps.po is not what it would write.
// Exit status: 0 done (or up to date), 1 the template could not be read or qps.po is out of
// date (the reason on stderr), 2 usage.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "pseudo_text.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: kelvane-pseudo [--output FILE | --check] PODIR\n"
    "  writes the pseudo-translation \"qps\" of PODIR/kelvane.pot into PODIR/qps.po: every\n"
    "  text with accented letters and about 40% longer, placeholders and edge spaces kept\n"
    "  --output FILE   write into FILE instead (\"-\": standard output)\n"
    "  --check         write nothing; fail when PODIR/qps.po differs from what would be written\n"
    "  --help          print this text and exit\n"
    "Exit status: 0 done, 1 the template could not be read or qps.po is out of date, 2 wrong usage.\n";

int Usage()
{
    std::cerr << kUsage;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dir, output;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--output" && i + 1 < argc && !check) output = argv[++i];
        else if (arg == "--check" && output.empty()) check = true;
        else if (!arg.empty() && arg[0] != '-' && dir.empty()) dir = arg;
        else return Usage();
    }
    if (dir.empty()) return Usage();
    const std::filesystem::path committed = std::filesystem::path(dir) / "qps.po";
    try {
        const std::string text = PseudoCatalogue(TextCatalogue::Load(dir, {}));
        if (check) {
            std::ifstream in(committed, std::ios::binary);
            const std::string current{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (in && current == text) return 0;
            std::cerr << "kelvane-pseudo: " << committed.string()
                      << " is not what the template gives: build the pseudo_locale target and commit it\n";
            return kExitFailure;
        }
        if (output == "-") {
            std::cout << text;
            return 0;
        }
        const std::filesystem::path target = output.empty() ? committed : std::filesystem::path(output);
        std::ofstream out(target, std::ios::binary);
        out << text;
        out.close();
        if (!out) throw Error(target.string() + ": cannot be written");
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "kelvane-pseudo: " << e.what() << "\n";
        return kExitFailure;
    }
}
