#include "shell/start_up.h"

#include "display/d3dfunc.h"
#include "platform/gfx/device.h"

GameAssembly AssembleGame()
{
    // Until the game's phases are attached, each frame shows the loading banner again so the
    // loop keeps its pace and the window stays responsive until it is closed.
    GameAssembly game;
    game.hooks.frameStep = [] {
        D3Dfunc::pD3Ddevice->Present();
        return true;
    };
    return game;
}
