#include "render/rendered_assets.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"
#include "render/scenes.h"
#include "game/world_content.h"

namespace render {

namespace {

namespace wc = world_content;

constexpr const char* kDomeWithTelescope = "data/dome_pano02.enc";
constexpr const char* kCrankCloseUp = "data/item4_crank.enc";

// Renders cost far more than paintings: they start first and count so in the time left.
constexpr double kPanoramaWeight = 40.0;
constexpr double kCloseUpWeight = 15.0;

const wc::Place& PlaceShowing(const char* image)
{
    for (const wc::Place& place : wc::kPlaces)
        if (std::strcmp(place.image, image) == 0) return place;
    throw Error(std::string("the world names no place shown by ") + image);
}

// The dome's fixtures where the world's hotspots for them lie.
std::vector<FixtureAt> DomeFixtures()
{
    std::vector<FixtureAt> fixtures;
    for (const wc::Feature& f : PlaceShowing(kDomeWithTelescope).features) {
        if (f.look == wc::Look::Arch) fixtures.push_back({Fixture::Archway, f.x1, f.y1, f.x2, f.y2});
        if (f.look == wc::Look::Machine) fixtures.push_back({Fixture::Telescope, f.x1, f.y1, f.x2, f.y2});
    }
    return fixtures;
}

}  // namespace

content::Asset RenderedPicture(const std::string& gamePath, const RenderRequest& request,
                               content::PictureFormat format, double weight)
{
    return {gamePath, {gamePath}, weight, [gamePath, request, format](const content::AssetContext& out) {
                content::WritePicture(out.outputDir, gamePath, Render(request, out.render), format, out.previewDir);
            }};
}

void UseRenderedAssets(std::vector<content::Asset>& assets)
{
    const std::vector<content::Asset> rendered{
        RenderedPicture(kDomeWithTelescope,
                        {kDomeWithTelescope, DomeScene(DomeFixtures()), content::kPanoramaWidth,
                         content::kPanoramaHeight, false, true},
                        content::PictureFormat::Jpeg, kPanoramaWeight),
        RenderedPicture(kCrankCloseUp,
                        {kCrankCloseUp, CrankCloseUpScene(), content::kFlatWidth, content::kFlatHeight, false, false},
                        content::PictureFormat::Jpeg, kCloseUpWeight),
    };
    for (const content::Asset& asset : rendered) {
        auto painted = std::find_if(assets.begin(), assets.end(),
                                    [&asset](const content::Asset& a) { return a.name == asset.name; });
        if (painted == assets.end())
            throw Error("the renderer makes " + asset.name + ", but the game's data names no such file");
        *painted = asset;
    }
}

}  // namespace render
