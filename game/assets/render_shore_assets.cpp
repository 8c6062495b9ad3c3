#include <string>
#include <vector>

#include "content/output.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"

namespace world_render::shore {

namespace {

render::PictureOut PngOut()
{
    render::PictureOut out;
    out.format = content::PictureFormat::Png;
    return out;
}

namespace wc = world_content;

content::Asset Panorama(const std::string& path, const std::string& scene, const render::PictureOut& out = {})
{
    return render::RenderedPicture(path, {path, scene, content::kPanoramaWidth, content::kPanoramaHeight, false, true},
                                   out, 40.0);
}

content::Asset Flat(const std::string& path, const std::string& scene, const render::PictureOut& out = {})
{
    return render::RenderedPicture(path, {path, scene, content::kFlatWidth, content::kFlatHeight, false, false}, out, 15.0);
}

}  // namespace

void AddShoreAssets(std::vector<content::Asset>& rendered)
{
    for (int screen = 100; screen <= 105; ++screen)
        rendered.push_back(Panorama(PlaceShowing(screen).image, ShorePanoramaScene(screen, {})));
    // The close views, and their changed blocks: the gate open, the key, the crank, the
    // watch, the sea door open.
    for (int screen = 151; screen <= 157; ++screen)
        rendered.push_back(Flat(PlaceShowing(screen).image, ShoreViewScene(screen, {})));
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (o.screen < 100 || o.screen > 157) continue;
        const ShoreState changed{o.screen == 102 || o.screen == 152, o.screen == 105 || o.screen == 156,
                                 o.shows == wc::Shows::Item};
        render::PictureOut block;
        block.format = content::PictureFormat::Png;
        block.block = true;
        block.rect = {o.x, o.y, o.w, o.h};
        if (o.screen < 150)
            rendered.push_back(Panorama(o.image, ShorePanoramaScene(o.screen, changed), block));
        else
            rendered.push_back(Flat(o.image, ShoreViewScene(o.screen, changed), block));
    }
    // The flats at high water, and at the three lower tides scrambled with the same offset.
    for (const wc::TideVersion& v : wc::Art().tideVersions) {
        const std::string base = PlaceShowing(v.screen).image;
        rendered.push_back(Panorama(base, TidePanoramaScene(v.screen, 1)));
        render::PictureOut version;
        version.offset = content::OffsetForGamePath(base);
        for (int tide = 2; tide <= 4; ++tide)
            rendered.push_back(Panorama(v.versions[tide - 2], TidePanoramaScene(v.screen, tide), version));
    }
    for (int screen = 650; screen <= 654; ++screen)
        rendered.push_back(Flat(PlaceShowing(screen).image, TideViewScene(screen)));
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        if (panel.screen != 650) continue;
        const int values = wc::Art().grids[panel.grid - 1].max + 1;
        rendered.push_back(render::RenderedPicture(
            panel.strip, {panel.strip, TideWheelStripScene(values, panel.w, panel.h), panel.w * values, panel.h, false, false},
            PngOut(), 2.0));
    }
    rendered.push_back(Flat(wc::Art().boatImage, BoatScene()));
    rendered.push_back(Flat(wc::Art().causewayImage, CausewayScene()));
    rendered.push_back(Flat(wc::Art().endingImage, DawnScene()));
}

}  // namespace world_render::shore
