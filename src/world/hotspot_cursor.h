// Which cursor a hotspot shows, chosen by what a click on it does: walk on to another place,
// take a thing, use or operate something, look closer, read, go back out of a close view. The
// world files may name a hotspot's cursor themselves; one they leave as "something reacts" is
// given its kind here when the world is built.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

class WorldHotspot;
class WorldScreen;

namespace hotspot_cursor {

// Cursor numbers, as the game's cursor list holds them: the first five are the engine's own
// (the menu shares 0 and 1), the kinds by action follow.
constexpr int kNormal = 0, kReact = 1, kTurnLeft = 2, kTurnRight = 3, kLoading = 4;
constexpr int kWalk = 5, kTake = 6, kUse = 7, kLook = 8, kRead = 9, kBack = 10;
constexpr int kCount = 11;

// The world files' name of a cursor ("walk", "take", ...), and the cursor of a name.
const char* Name(int cursor);
std::optional<int> Named(std::string_view name);

// True for the cursors that say a click does something (react and every kind by action).
bool Reacts(int cursor);

// The kind of `hotspot` on screen `on` by its lists without an item (then those with one):
// an item given is taking; a move into a book's page reading; a move from a panorama into a
// close view, or from one close view into another, looking closer; the strip along a close
// view's foot going back; another move walking; anything else using. `screen` finds a screen by
// number (null when there is none).
int ByAction(const WorldHotspot& hotspot, const WorldScreen& on, const std::function<const WorldScreen*(int)>& screen);

// The item a click on `hotspot` without an item in the hand gives the player (its number), or 0
// when it gives none: what the player is about to take.
int ItemGiven(const WorldHotspot& hotspot);

}  // namespace hotspot_cursor
