// The asset list and the run that writes it: each asset paints or synthesises its content and
// writes one or more files under their game paths. A run writes into a scratch directory in
// the output, moves each finished file into place and marks the output complete last.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "content/film.h"
#include "content/interface.h"
#include "content/output.h"
#include "content/places.h"
#include "content/sounds.h"
#include "content/things.h"
#include "core/text_catalogue.h"
#include "render/povray.h"

namespace world_content {
class WorldArt;
}

namespace content {

// Marks a fully generated output directory; the play command checks for it.
constexpr const char* kCompleteMarker = ".complete";

// What an asset's maker writes with: the directory it writes into, and where previews go.
struct AssetContext {
    std::string outputDir;
    std::string previewDir;  // empty: no previews
    render::RenderSettings render;  // how pictures from 3D scenes are rendered

    void Picture(const std::string& gamePath, const Canvas& canvas, PictureFormat format) const;
    void Mask(const std::string& gamePath, const std::vector<float>& mask, int width, int height) const;
};

struct Asset {
    std::string name;                // shown in progress and errors; matched by --only
    std::vector<std::string> files;  // the game paths it writes
    double weight = 1.0;             // rough cost, so the long ones start first
    std::function<void(const AssetContext&)> make;
    // The picture sets texts of the catalogue it was listed with (a page, a plaque, a label):
    // it is made again for every translation, under data/lang/<language>/.
    bool carriesText = false;
};

// Builds the list of assets with one call per thing the game names.
class AssetList {
public:
    // Any picture painted by `paint`.
    void Picture(const std::string& gamePath, std::function<Canvas()> paint, PictureFormat format, double weight = 1.0);
    // The same for a picture that sets texts of the catalogue (see Asset::carriesText).
    void TextPicture(const std::string& gamePath, std::function<Canvas()> paint, PictureFormat format,
                     double weight = 1.0);
    void Panorama(const std::string& gamePath, const PlaceSpec& place);
    void FlatView(const std::string& gamePath, const PlaceSpec& place);
    // A block `r` of a place in another state, to be copied over the base at (r.x, r.y).
    void Overlay(const std::string& gamePath, const PlaceSpec& changed, bool panorama, Rect r);
    // A whole alternative version of a base picture (an overwrite base image).
    void Version(const std::string& gamePath, const PlaceSpec& changed, bool panorama);
    void Strip(const std::string& gamePath, int frameWidth, int frameHeight, int values, StripStyle style);
    // Pages 1 .. n as "<prefix>NN.enc" (two digits).
    void Book(const std::string& pathPrefix, const std::vector<BookPage>& pages);
    // data/invenN.enc with data/invenN_alpha1.enc (halo) and data/invenN_alpha2.enc (plain),
    // and the item's close-up screen at `closeUpPath` (empty: none).
    void Item(int number, ItemKind kind, Rgb tint, const std::string& closeUpPath);
    // <base>.enc with <base>_alpha.enc, or with <base>_alpha1.enc and <base>_alpha2.enc.
    void Cursor(const std::string& basePath, CursorKind kind, bool twoMasks);
    void Sound(const std::string& gamePath, SoundKind kind, std::uint32_t seed);
    void Music(const std::string& gamePath, MusicMood mood, double seconds, std::uint32_t seed);
    void Film(const std::string& gamePath, const FilmSpec& film);
    void Add(Asset asset) { c_assets.push_back(std::move(asset)); }

    const std::vector<Asset>& Assets() const { return c_assets; }

private:
    std::vector<Asset> c_assets;
};

// Every asset of the game: the interface, the music and the world's places, things and sounds.
// The texts set into the world's pictures come from `texts` (the game's template, English).
std::vector<Asset> GameManifest(const TextCatalogue& texts);
// The interface and music with a small sample area instead of the world: an example for
// people making their own game, and the generator's own tests.
std::vector<Asset> SampleManifest(const TextCatalogue& texts);
// The world's assets (game/assets/world_assets.cpp): the title picture, the sounds and every
// picture and film rendered from the scenes the world files name.
void AddWorldAssets(AssetList& list, const TextCatalogue& texts);
// Throws Error when two assets write the same file, or when a file `art` names (a place's
// picture, a block, an item, a page, a sound, a film) is written by none of `assets`; the
// message names the files.
void CheckTheWorldIsMade(const std::vector<Asset>& assets, const world_content::WorldArt& art);
// The world's sounds alone (AddWorldAssets adds them with the rest): every sound `art` notes,
// made as its note says. Throws Error naming the world file, line and sound of a note whose
// kind the generator does not make.
void AddWorldSounds(AssetList& list, const world_content::WorldArt& art);
// The assets of `translated` (a manifest listed with `language`'s catalogue) that carry text,
// made into data/lang/<language>/ under their own names, scrambled as the originals are: the
// game reads them in place of the English pictures when it plays in that language.
std::vector<Asset> TranslatedAssets(const std::vector<Asset>& translated, const std::string& language);
// The languages that `textsDir` has a translation for ("<language>.po"), in name order.
std::vector<std::string> TranslationsIn(const std::string& textsDir);

// The game's own files copied as they are: every `*.lua` of `worldDir` into data/world/ and
// every `*.pot` and `*.po` of `textsDir` into data/po/, one asset per file, in name order.
// Throws Error when a folder is missing or the world folder has no main.lua.
std::vector<Asset> GameSourceAssets(const std::string& worldDir, const std::string& textsDir);

struct GenerateOptions {
    std::vector<std::string> only;  // if not empty: only assets whose name contains one of these
    std::string previewDir;         // PNG previews of every picture (empty: none)
    int threads = 2;
    bool verbose = false;
    bool progress = false;          // assets done, the current one and the time left on stderr
    render::RenderSettings render;  // quality and cache of the pictures rendered from 3D scenes
    // Lines added to the data marker after its own, such as "source world = DIR": where the
    // tree's world and texts were copied from.
    std::vector<std::string> markerLines;
};

struct GenerateReport {
    int assets = 0;
    int files = 0;
    std::uint64_t bytes = 0;
    double seconds = 0.0;
    std::vector<std::string> errors;  // one line per failed asset
};

// Writes the assets into `outputDir` (created if missing), and GamePaths::kDataMarker at its
// root, which tells the game that the tree is its data. Files that are not generated are
// left alone, so pictures a game maker dropped in stay. The complete marker is removed first
// and written last: after a full run without errors, or after a partial run (--only) into an
// output that was complete before.
GenerateReport Generate(const std::vector<Asset>& assets, const std::string& outputDir, const GenerateOptions& options);

}  // namespace content
