// The screens the entry routine draws itself with the start-up font: the loading banner and
// the fatal-error screen that waits for Q.
#pragma once

#include <string>

class CD3DFont;

namespace gfx {
class Device;
}

// Draws the version line, the build line and "...Loading..." centred on black and presents.
void DrawLoadingBanner(gfx::Device& device, CD3DFont& font);

// Shows the error (with FailSafe::Info) or, with no message, the "could not be retrieved"
// form; then waits until Q is pressed or the window is closed, keeping the window alive.
// A message of several lines shows its first line as the error and the others below. Every
// line, the error information's too, is shown whole, wrapped to the screen's width.
void ShowFatalErrorScreen(gfx::Device& device, CD3DFont& font, const std::string* message);
