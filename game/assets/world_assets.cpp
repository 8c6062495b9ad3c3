// The world's assets: every picture, sound and film that Kelvane's world files name. The places,
// things and films are rendered from the scenes the files name (game/assets/render_*.cpp), the
// sounds are made as the files' notes say, and the title picture is set from the texts.
#include <map>
#include <string>
#include <vector>

#include "content/generator.h"
#include "core/error.h"
#include "game/assets/world_art.h"
#include "game/assets/world_texts.h"
#include "render/rendered_assets.h"

namespace content {

namespace {

namespace wc = world_content;

// The title picture the opening shows: the game's name and tagline glowing on the night.
void AddTitle(AssetList& list, const TextCatalogue& texts)
{
    const std::string title = PictureText(texts, "title.name"), tagline = PictureText(texts, "title.tagline");
    list.TextPicture(wc::Art().logoImage, [title, tagline] {
        Canvas c(kFlatWidth, kFlatHeight, false, Hex(0x05070c));
        c.Glow(512, 200, 260, Hex(0xffc070), 0.6f);
        c.Text(title, 512, 210, 72, Hex(0xedb469), true, false, TextAlign::Centre);
        c.Text(tagline, 512, 300, 26, Hex(0xc0a070), false, true, TextAlign::Centre);
        return c;
    }, PictureFormat::Jpeg);
}

}  // namespace

void AddWorldAssets(AssetList& list, const TextCatalogue& texts)
{
    AddTitle(list, texts);
    AddWorldSounds(list, wc::Art());
    for (Asset& asset : render::RenderedWorldAssets(texts)) list.Add(std::move(asset));
}

void AddWorldSounds(AssetList& list, const world_content::WorldArt& art)
{
    for (const world_content::SoundDef& sound : art.sounds) {
        SoundKind kind{};
        if (!SoundKindNamed(sound.made, &kind)) {
            throw Error(std::string(sound.where) + ": the sound '" + sound.name + "' is made as '" + sound.made +
                        "', which is no kind of sound the generator makes (" + SoundKindNames() + ")");
        }
        list.Sound(sound.file, kind, sound.seed);
    }
}

void CheckTheWorldIsMade(const std::vector<Asset>& assets, const world_content::WorldArt& art)
{
    std::map<std::string, const Asset*> maker;
    for (const Asset& asset : assets)
        for (const std::string& file : asset.files) {
            const auto [it, first] = maker.emplace(file, &asset);
            if (!first)
                throw Error("the game's data would write " + file + " twice: as part of " + it->second->name + " and of " +
                            asset.name + " (two scenes or sounds name the same file)");
        }
    std::string missing;
    int count = 0;
    for (const std::string& file : art.namedFiles) {
        if (maker.count(file) != 0) continue;
        if (++count <= 8) missing += (missing.empty() ? "" : ", ") + file;
    }
    if (count > 0)
        throw Error("the world files name " + std::to_string(count) + " file" + (count == 1 ? "" : "s") +
                    " that nothing makes: " + missing + (count > 8 ? ", ..." : "") +
                    " (give each place a scene, each item and close view a scene, each sound a kind)");
}

}  // namespace content
