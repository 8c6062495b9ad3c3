// Frame sequences rendered from one scene whose motion follows povray's `clock`: the shots of
// the films, each a file of the scene library read after a prelude that sets the shot's clock. povray renders them with its animation options; like single pictures they repeat
// exactly and are kept in the render cache by a hash of everything that makes them.
#pragma once

#include <string>
#include <vector>

#include "imaging/image.h"
#include "render/povray.h"

namespace render {

struct AnimationRequest {
    std::string name;   // shown in errors
    std::string scene;  // the prelude when `sceneFile` is set, else the whole scene text; the
                        // motion follows `clock`: 0 at the first frame, 1 at the last (0 if only one)
    int width = 0;
    int height = 0;
    int frames = 1;
    std::string sceneFile;  // a scene of the library ("films/gate.pov"), or empty
};

// The size frames are rendered at: the request's, or a quarter of it (at least 8 x 4) for drafts.
void FrameSize(const AnimationRequest& request, Quality quality, int* width, int* height);

// The hash a sequence is cached under: scene text (the prelude and the scene file's name), size, frame count, quality, renderer version,
// and the bytes of every file of `library` the scene includes.
std::string AnimationHash(const AnimationRequest& request, Quality quality, const std::string& version,
                          const std::string& library = DefaultSceneLibrary());

// Renders (or takes from the cache) every frame, first to last, at the request's size: B, G, R,
// A pixels with alpha 255. Films are lit directly at both qualities (`Draft` is declared true:
// a radiosity pass per frame would cost more than the whole world's stills) and are not
// anti-aliased (motion and the film's compression hide the edges; the time goes into frames);
// drafts are rendered small and scaled up. The sequence is split into a few
// parts rendered by povray processes at once (povray idles about a quarter second after each
// frame of an animation). Throws Error naming the scene when povray fails or leaves a frame
// missing.
std::vector<imaging::Image> RenderFrames(const AnimationRequest& request, const RenderSettings& settings);

}  // namespace render
