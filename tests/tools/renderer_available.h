// The render tests need the povray program: without it they are skipped, saying how to get it.
// They render their scenes at draft quality, at the game's picture sizes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "content/places.h"
#include "core/error.h"
#include "imaging/image.h"
#include "render/povray.h"

namespace render_test {

inline bool HaveRenderer()
{
    try {
        render::RendererVersion("povray");
        return true;
    } catch (const Error&) {
        return false;
    }
}

// `scene` rendered at draft quality as a panorama or a flat view of the game's size.
inline imaging::Image Draft(const std::string& name, const std::string& scene, bool panorama)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const int w = panorama ? content::kPanoramaWidth : content::kFlatWidth;
    const int h = panorama ? content::kPanoramaHeight : content::kFlatHeight;
    return render::Render({name, scene, w, h, false, panorama}, settings);
}

}  // namespace render_test

#define REQUIRE_RENDERER()                                                                     \
    if (!render_test::HaveRenderer()) GTEST_SKIP() << "povray is not installed (scripts/install-deps installs it)"
