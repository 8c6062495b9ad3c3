// A map of the world's screens for designers: one node per screen (panoramas as ellipses,
// flat screens and book pages as boxes, unreachable screens filled red), one arrow per way
// between them (clicks solid, entry lists bold, conditional ways dashed, item uses and
// close-ups dotted). Written as Graphviz dot; turned into a PNG when Graphviz is installed.
#pragma once

#include <set>
#include <string>

class WorldManager;
class WorldScreen;

// The dot text of the map. `reached` marks the screens reachable from the start; the
// close-ups of the `obtainable` items hang from an "inventory bar" node.
std::string WorldMapDot(const WorldManager& world, const std::set<const WorldScreen*>& reached,
                        const std::set<int>& obtainable);

// Draws the Graphviz graph in `dotPath` into `outPath` in `format` ("png", "svg") with dot;
// false (and why in `error`) when dot is missing or fails.
bool RenderDot(const std::string& dotPath, const std::string& outPath, const std::string& format, std::string* error);
// Runs Graphviz's dot on `dotPath` to write `pngPath`. False with `error` set when dot is not
// installed or fails.
bool RenderMapPng(const std::string& dotPath, const std::string& pngPath, std::string* error);
