// kelvane-data: writes the game's whole data/ directory from code, the same bytes on every run.
//   kelvane-data [--only TEXT]... [--preview DIR] [--jobs N] [--quality draft|full]
//                [--render-cache DIR] [--texts DIR] [--world DIR] [--scenes DIR] [--list] [--verbose] OUTDIR
//   kelvane-data --scene NAME --preview DIR [--quality draft|full] [--render-cache DIR] ...
// --only generates just the assets whose name contains TEXT (repeatable); --preview also
// writes every picture as a plain PNG into DIR; --list prints the files and exits. Pictures
// from 3D scenes are kept by input hash in the render cache (default: .render-cache beside
// OUTDIR), so a run renders again only the scenes that changed. The texts set into pictures
// are read from the English template in --texts (default: the source tree's game/po), and set
// again from each translation there (<language>.po) into OUTDIR/lang/<language>/; what
// the pictures show from the game's world files in --world (default: the source tree's
// game/world); both are also copied into OUTDIR/po/ and OUTDIR/world/, and the data marker
// names the two source folders. The scenes are read from the scene library in --scenes
// (default: the source tree's game/scenes). --scene renders only the places drawn from one
// scene (or one picture) into the preview folder, once as the game shows it and once with the
// world's hotspot areas and changing blocks outlined over it.
// Exit status: 0 done, 1 some asset failed (reasons on stderr), 2 usage.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <utility>
#include <string>
#include <thread>

#include "content/generator.h"
#include "core/text_catalogue.h"
#include "content/output.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "render/preview.h"

namespace {

constexpr const char* kUsage =
    "usage: kelvane-data [--only TEXT]... [--preview DIR] [--jobs N] [--quality draft|full]\n"
    "                    [--render-cache DIR] [--texts DIR] [--world DIR] [--scenes DIR] [--list]\n"
    "                    [--verbose]\n"
    "                    OUTDIR\n"
    "       kelvane-data --scene NAME --preview DIR [--quality draft|full] [--render-cache DIR]\n"
    "  writes every file of the game's data directory into OUTDIR (normally data/)\n"
    "  --only TEXT     only the assets whose name contains TEXT (repeatable)\n"
    "  --preview DIR   also write every picture as a plain PNG into DIR\n"
    "  --jobs N        generate with N threads (default: two for each processor, as povray\n"
    "                  waits between its steps)\n"
    "  --quality Q     draft (small renders scaled up, quick) or full (the default)\n"
    "  --render-cache DIR  where finished renders are kept (default: .render-cache beside OUTDIR)\n"
    "  --texts DIR     where the game's texts (kelvane.pot, *.po) are, copied into OUTDIR/po\n"
    "                  (default: " KELVANE_GAME_TEXTS ")\n"
    "  --world DIR     where the game's world files (main.lua, ...) are, copied into OUTDIR/world\n"
    "                  (default: " KELVANE_GAME_WORLD ")\n"
    "  --scenes DIR    where the scene library (the .pov scenes and the .inc files they share) is\n"
    "                  (default: " KELVANE_GAME_SCENES ")\n"
    "  --scene NAME    render only the places drawn from scene NAME (\"shore/landing\") or the\n"
    "                  picture NAME (\"shore_pano01\") into the --preview folder: NAME.png as the\n"
    "                  game shows it and NAME.hotspots.png with the world's hotspots outlined in\n"
    "                  yellow and its changing blocks in cyan (draft quality unless --quality)\n"
    "  --list          print the files the game's data holds and exit\n"
    "  --verbose       report every asset as it is made\n"
    "  --help          print this text and exit\n";

int Usage()
{
    std::cerr << kUsage;
    return 2;
}

// Renders the places drawn from scene `name` into `dir`, plain and with their hotspots outlined.
int PreviewScene(const std::string& name, const std::string& dir, const render::RenderSettings& settings)
{
    try {
        std::filesystem::create_directories(dir);
        for (const world_render::ScenePreview& preview : world_render::PreviewsOf(name)) {
            imaging::Image picture = render::Render(preview.request, settings);
            const std::filesystem::path plain = std::filesystem::path(dir) / (preview.request.name + ".png");
            content::WriteBytes(plain.string(), imaging::EncodePng(picture));
            std::vector<render::OutlinedArea> outlines;
            for (const content::Rect& r : preview.blocks) outlines.push_back(render::BlockOutline(r));
            for (const content::Rect& r : preview.hotspots) outlines.push_back(render::HotspotOutline(r));
            render::DrawOutlines(picture, outlines, preview.request.wrapsAround);
            const std::filesystem::path marked = std::filesystem::path(dir) / (preview.request.name + ".hotspots.png");
            content::WriteBytes(marked.string(), imaging::EncodePng(picture));
            std::cout << plain.string() << "\n" << marked.string() << " (" << preview.hotspots.size() << " hotspots, "
                      << preview.blocks.size() << " changing blocks)\n";
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "kelvane-data: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    content::GenerateOptions options;
    // The renders spend much of their time waiting between povray's steps: two jobs for
    // each processor keep the processors busy.
    options.threads = 2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::string outputDir;
    std::string textsDir = KELVANE_GAME_TEXTS;
    std::string worldDir = KELVANE_GAME_WORLD;
    bool list = false;
    std::string sceneName;
    bool qualityGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--only" && i + 1 < argc) options.only.push_back(argv[++i]);
        else if (arg == "--preview" && i + 1 < argc) options.previewDir = argv[++i];
        else if (arg == "--jobs" && i + 1 < argc) options.threads = std::atoi(argv[++i]);
        else if (arg == "--quality" && i + 1 < argc) {
            if (!render::ParseQuality(argv[++i], &options.render.quality)) return Usage();
            qualityGiven = true;
        } else if (arg == "--render-cache" && i + 1 < argc) options.render.cacheDir = argv[++i];
        else if (arg == "--texts" && i + 1 < argc) textsDir = argv[++i];
        else if (arg == "--world" && i + 1 < argc) worldDir = argv[++i];
        else if (arg == "--scenes" && i + 1 < argc) options.render.sceneLibrary = argv[++i];
        else if (arg == "--scene" && i + 1 < argc) sceneName = argv[++i];
        else if (arg == "--list") list = true;
        else if (arg == "--verbose") options.verbose = true;
        else if (!arg.empty() && arg[0] != '-' && outputDir.empty()) outputDir = arg;
        else return Usage();
    }
    if (!sceneName.empty() && (options.previewDir.empty() || !outputDir.empty())) return Usage();
    std::vector<content::Asset> assets;
    try {
        // English: the pictures are set in the template's own texts.
        const TextCatalogue texts = TextCatalogue::Load(textsDir, {});
        world_content::UseWorldArt(world_content::WorldArt::Load(worldDir, texts));
        if (!sceneName.empty()) {
            if (!qualityGiven) options.render.quality = render::Quality::Draft;
            options.render.version = render::RendererVersion(options.render.program);
            return PreviewScene(sceneName, options.previewDir, options.render);
        }
        assets = content::GameManifest(texts);
        // Each translation gets its own versions of the pictures that carry text.
        for (const std::string& language : content::TranslationsIn(textsDir)) {
            const TextCatalogue translation = TextCatalogue::Load(textsDir, {language});
            std::vector<content::Asset> translated =
                content::TranslatedAssets(content::GameManifest(translation), language);
            assets.insert(assets.end(), std::make_move_iterator(translated.begin()),
                          std::make_move_iterator(translated.end()));
        }
        std::vector<content::Asset> sources = content::GameSourceAssets(worldDir, textsDir);
        assets.insert(assets.end(), std::make_move_iterator(sources.begin()), std::make_move_iterator(sources.end()));
    } catch (const std::exception& e) {
        std::cerr << "kelvane-data: " << e.what() << "\n";
        return 1;
    }
    if (list) {
        for (const content::Asset& a : assets)
            for (const std::string& f : a.files) std::cout << f << "\n";
        return 0;
    }
    if (outputDir.empty() || options.threads < 1) return Usage();
    if (options.render.cacheDir.empty()) {
        std::filesystem::path output = std::filesystem::absolute(outputDir).lexically_normal();
        if (!output.has_filename()) output = output.parent_path();  // "data/" as "data"
        options.render.cacheDir = (output.parent_path() / ".render-cache").string();
    }
    options.progress = !options.verbose;
    // Where the world and texts came from, so that a later run can find the files an author edits.
    for (const auto& [kind, dir] : {std::pair{"world", worldDir}, std::pair{"texts", textsDir}})
        options.markerLines.push_back(std::string("source ") + kind + " = " +
                                      std::filesystem::absolute(dir).lexically_normal().string());
    try {
        // Asked once; without povray the rendered assets fail one by one with a message saying so.
        options.render.version = render::RendererVersion(options.render.program);
    } catch (const std::exception&) {
    }
    try {
        const content::GenerateReport report = content::Generate(assets, outputDir, options);
        for (const std::string& e : report.errors) std::cerr << "kelvane-data: " << e << "\n";
        std::cerr << "kelvane-data: " << report.files << " files (" << report.assets << " assets), " << std::fixed
                  << std::setprecision(1) << report.bytes / (1024.0 * 1024.0) << " MiB in " << report.seconds << " s\n";
        return report.errors.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "kelvane-data: " << e.what() << "\n";
        return 1;
    }
}
