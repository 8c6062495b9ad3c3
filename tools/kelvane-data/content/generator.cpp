#include "content/generator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <mutex>
#include <numeric>
#include <thread>
#include <unistd.h>

#include "core/error.h"
#include "core/game_paths.h"
#include "render/progress.h"

namespace content {

namespace {

namespace fs = std::filesystem;

std::string TwoDigits(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

bool Selected(const Asset& asset, const GenerateOptions& options)
{
    if (options.only.empty()) return true;
    return std::any_of(options.only.begin(), options.only.end(),
                       [&asset](const std::string& s) { return asset.name.find(s) != std::string::npos; });
}

// The file of a game path in the output, with its folder made.
std::string PreparedFile(const AssetContext& out, const std::string& gamePath)
{
    const std::string file = FileForGamePath(out.outputDir, gamePath);
    fs::create_directories(fs::path(file).parent_path());
    return file;
}

}  // namespace

void AssetContext::Picture(const std::string& gamePath, const Canvas& canvas, PictureFormat format) const
{
    WritePicture(outputDir, gamePath, canvas.ToImage(), format, previewDir);
}

void AssetContext::Mask(const std::string& gamePath, const std::vector<float>& mask, int width, int height) const
{
    WritePicture(outputDir, gamePath, MaskToImage(mask, width, height), PictureFormat::Png, previewDir);
}

void AssetList::Picture(const std::string& gamePath, std::function<Canvas()> paint, PictureFormat format, double weight)
{
    Add({gamePath, {gamePath}, weight, [gamePath, paint = std::move(paint), format](const AssetContext& out) {
             out.Picture(gamePath, paint(), format);
         }});
}

void AssetList::TextPicture(const std::string& gamePath, std::function<Canvas()> paint, PictureFormat format,
                            double weight)
{
    Picture(gamePath, std::move(paint), format, weight);
    c_assets.back().carriesText = true;
}

std::vector<Asset> TranslatedAssets(const std::vector<Asset>& translated, const std::string& language)
{
    std::vector<Asset> assets;
    const std::string folder = std::string(GamePaths::kLanguageFolder) + "/" + language;
    for (const Asset& original : translated) {
        if (!original.carriesText) continue;
        Asset asset;
        asset.name = original.name + " (" + language + ")";
        for (const std::string& file : original.files) asset.files.push_back("data/" + folder + file.substr(4));
        asset.weight = original.weight;
        asset.carriesText = true;
        // The original's maker writes its own game paths, so its pictures keep their scrambling;
        // it writes them into the language's folder of the output instead of the output's root.
        asset.make = [make = original.make, folder](const AssetContext& out) {
            AssetContext inLanguage = out;
            inLanguage.outputDir = (fs::path(out.outputDir) / folder).string();
            if (!out.previewDir.empty()) inLanguage.previewDir = (fs::path(out.previewDir) / folder).string();
            make(inLanguage);
        };
        assets.push_back(std::move(asset));
    }
    return assets;
}

std::vector<std::string> TranslationsIn(const std::string& textsDir)
{
    std::vector<std::string> languages;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(textsDir, error)) {
        if (entry.path().extension() == ".po" && entry.is_regular_file(error))
            languages.push_back(entry.path().stem().string());
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

void AssetList::Panorama(const std::string& gamePath, const PlaceSpec& place)
{
    Picture(gamePath, [place] { return PaintPanorama(place); }, PictureFormat::Jpeg, 4.0);
}

void AssetList::FlatView(const std::string& gamePath, const PlaceSpec& place)
{
    Picture(gamePath, [place] { return PaintFlatView(place); }, PictureFormat::Jpeg, 2.0);
}

void AssetList::Overlay(const std::string& gamePath, const PlaceSpec& changed, bool panorama, Rect r)
{
    Picture(gamePath, [changed, panorama, r] { return PaintOverlay(changed, panorama, r); }, PictureFormat::Png,
            panorama ? 4.0 : 2.0);
}

void AssetList::Version(const std::string& gamePath, const PlaceSpec& changed, bool panorama)
{
    if (panorama)
        Panorama(gamePath, changed);
    else
        FlatView(gamePath, changed);
}

void AssetList::Strip(const std::string& gamePath, int frameWidth, int frameHeight, int values, StripStyle style)
{
    Picture(gamePath, [=] { return PaintCodeStrip(frameWidth, frameHeight, values, style); }, PictureFormat::Png, 0.5);
}

void AssetList::Book(const std::string& pathPrefix, const std::vector<BookPage>& pages)
{
    for (const BookPage& page : pages)
        Picture(pathPrefix + TwoDigits(page.number) + ".enc", [page] { return PaintBookPage(page); }, PictureFormat::Jpeg, 1.5);
}

void AssetList::Item(int number, ItemKind kind, Rgb tint, const std::string& closeUpPath)
{
    const std::string base = "data/inven" + std::to_string(number);
    Add({base + ".enc", {base + ".enc", base + "_alpha1.enc", base + "_alpha2.enc"}, 0.5,
         [base, kind, tint](const AssetContext& out) {
             const ItemPictures item = PaintItem(kind, tint);
             out.Picture(base + ".enc", item.picture, PictureFormat::Png);
             out.Mask(base + "_alpha1.enc", item.highlighted, kItemSide, kItemSide);
             out.Mask(base + "_alpha2.enc", item.normal, kItemSide, kItemSide);
         }});
    if (!closeUpPath.empty())
        Picture(closeUpPath, [kind, tint, number] { return PaintItemCloseUp(kind, tint, 900u + static_cast<std::uint32_t>(number)); },
                PictureFormat::Jpeg, 2.0);
}

void AssetList::Cursor(const std::string& basePath, CursorKind kind, bool twoMasks)
{
    std::vector<std::string> files{basePath + ".enc"};
    if (twoMasks) {
        files.push_back(basePath + "_alpha1.enc");
        files.push_back(basePath + "_alpha2.enc");
    } else {
        files.push_back(basePath + "_alpha.enc");
    }
    Add({basePath + ".enc", files, 0.3, [files, kind, twoMasks](const AssetContext& out) {
             const CursorPictures cursor = PaintCursor(kind);
             const int w = cursor.picture.Width(), h = cursor.picture.Height();
             out.Picture(files[0], cursor.picture, PictureFormat::Png);
             if (twoMasks) {
                 out.Mask(files[1], cursor.highlighted, w, h);
                 out.Mask(files[2], cursor.normal, w, h);
             } else {
                 out.Mask(files[1], cursor.normal, w, h);
             }
         }});
}

void AssetList::Sound(const std::string& gamePath, SoundKind kind, std::uint32_t seed)
{
    Add({gamePath, {gamePath}, 0.5, [gamePath, kind, seed](const AssetContext& out) {
             WriteSound(PreparedFile(out, gamePath), SynthSound(kind, seed));
         }});
}

void AssetList::Music(const std::string& gamePath, MusicMood mood, double seconds, std::uint32_t seed)
{
    Add({gamePath, {gamePath}, seconds / 4.0, [gamePath, mood, seconds, seed](const AssetContext& out) {
             WriteSound(PreparedFile(out, gamePath), SynthMusic(mood, seconds, seed));
         }});
}

void AssetList::Film(const std::string& gamePath, const FilmSpec& film)
{
    Add({gamePath, {gamePath}, FilmLength(film) * 1.5, [gamePath, film](const AssetContext& out) {
             WriteFilm(PreparedFile(out, gamePath), film);
             if (out.previewDir.empty()) return;
             const std::vector<imaging::Image> stills = FilmStills(film);
             std::string name = gamePath.substr(gamePath.rfind('/') + 1);
             for (std::size_t i = 0; i < stills.size(); ++i)
                 WriteBytes((fs::path(out.previewDir) / (name + ".shot" + std::to_string(i + 1) + ".png")).string(),
                            imaging::EncodePng(stills[i]));
         }});
}

std::vector<Asset> GameSourceAssets(const std::string& worldDir, const std::string& textsDir)
{
    // Each folder's files of the given extensions, sorted so the list is the same on every run.
    const auto filesOf = [](const std::string& dir, std::initializer_list<const char*> extensions) {
        if (!fs::is_directory(dir)) throw Error("the folder " + dir + " does not exist");
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            for (const char* extension : extensions)
                if (entry.path().extension() == extension) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    };
    const std::vector<fs::path> world = filesOf(worldDir, {".lua"});
    if (!fs::exists(fs::path(worldDir) / "main.lua")) throw Error("the world folder " + worldDir + " has no main.lua");
    std::vector<Asset> assets;
    const auto copy = [&assets](const fs::path& from, const std::string& gamePath) {
        assets.push_back({gamePath, {gamePath}, 0.01, [from, gamePath](const AssetContext& out) {
                              const fs::path to = FileForGamePath(out.outputDir, gamePath);
                              fs::create_directories(to.parent_path());
                              fs::copy_file(from, to, fs::copy_options::overwrite_existing);
                          }});
    };
    for (const fs::path& file : world) copy(file, "data/world/" + file.filename().string());
    for (const fs::path& file : filesOf(textsDir, {".pot", ".po"})) copy(file, "data/po/" + file.filename().string());
    return assets;
}

GenerateReport Generate(const std::vector<Asset>& assets, const std::string& outputDir, const GenerateOptions& options)
{
    const auto started = std::chrono::steady_clock::now();
    GenerateReport report;
    fs::create_directories(outputDir);
    const fs::path marker = fs::path(outputDir) / kCompleteMarker;
    const bool wasComplete = fs::exists(marker);
    fs::remove(marker);
    // The tree is the game's from its first file on: the game tells it by this file from any
    // other folder called data in the directory it is started in.
    std::string dataMarker = GamePaths::DataMarkerText();
    for (const std::string& line : options.markerLines) dataMarker += line + "\n";
    WriteBytes((fs::path(outputDir) / GamePaths::kDataMarker).string(),
               std::vector<std::uint8_t>(dataMarker.begin(), dataMarker.end()));

    // The scratch directory lies inside the output so that moving a file is a rename; one
    // left behind by an interrupted run is removed first.
    const fs::path output = fs::absolute(outputDir).lexically_normal();
    for (const auto& entry : fs::directory_iterator(output))
        if (entry.path().filename().string().rfind(".partial-", 0) == 0) fs::remove_all(entry.path());
    const fs::path scratch = output / (".partial-" + std::to_string(::getpid()));
    fs::create_directories(scratch);

    std::vector<const Asset*> work;
    for (const Asset& a : assets)
        if (Selected(a, options)) work.push_back(&a);
    std::stable_sort(work.begin(), work.end(), [](const Asset* a, const Asset* b) { return a->weight > b->weight; });

    std::atomic<std::size_t> next{0};
    std::mutex lock;
    const AssetContext context{scratch.string(), options.previewDir, options.render};
    double totalWeight = 0.0;
    for (const Asset* a : work) totalWeight += a->weight;
    render::Progress progress(static_cast<int>(work.size()), totalWeight, std::cerr, ::isatty(2) != 0);
    auto worker = [&] {
        for (std::size_t i = next++; i < work.size(); i = next++) {
            const Asset& asset = *work[i];
            const auto begun = std::chrono::steady_clock::now();
            try {
                asset.make(context);
                std::lock_guard<std::mutex> guard(lock);
                for (const std::string& file : asset.files) {
                    const fs::path from = FileForGamePath(scratch.string(), file), to = FileForGamePath(output.string(), file);
                    fs::create_directories(to.parent_path());
                    report.bytes += fs::file_size(from);
                    fs::rename(from, to);
                    ++report.files;
                }
                ++report.assets;
                if (options.verbose) {
                    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
                    char seconds[32];
                    std::snprintf(seconds, sizeof seconds, " (%.1f s)", took);
                    std::cerr << "kelvane-data: " << asset.name << seconds << "\n";
                }
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> guard(lock);
                report.errors.push_back(asset.name + ": " + e.what());
            }
            if (options.progress) progress.Finished(asset.name, asset.weight);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < std::max(1, options.threads); ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    if (options.progress) progress.Close();
    fs::remove_all(scratch);

    if (report.errors.empty() && (options.only.empty() || wasComplete)) WriteBytes(marker.string(), {});
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

}  // namespace content
