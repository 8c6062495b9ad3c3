// The render tests need the povray program: without it they are skipped, saying how to get it.
#pragma once

#include <gtest/gtest.h>

#include "core/error.h"
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

}  // namespace render_test

#define REQUIRE_RENDERER()                                                                     \
    if (!render_test::HaveRenderer()) GTEST_SKIP() << "povray is not installed (scripts/install-deps installs it)"
