// The shape of a built world in figures: screens by kind, hotspots by how they were made,
// action codes, condition lists, files. Printed by the checker so that a designer can compare
// the world with the shape it is meant to have. Read-only; depends on the world records.
#pragma once

#include <map>
#include <set>
#include <string>

class WorldManager;

struct WorldCensus {
    // screens
    int screens = 0;
    int panoramas = 0;    // not counting book pages
    int flatScreens = 0;  // not counting book pages
    int otherTypes = 0;
    int bookPages = 0;
    int books = 0;
    // hotspots
    int hotspots = 0;
    int standardMoves = 0;
    int standardMovesDefaultCursor = 0;
    int movesWithAngle = 0;
    int movesWithPointerReset = 0;
    int movesWithTransition = 0;
    int codeKeys = 0;
    int bookStrips = 0;
    int otherHotspots = 0;
    int otherHotspotsDefaultCursor = 0;
    int conditionalExits = 0;          // hotspots leading by a variable
    int conditionalExitsBothWays = 0;  // of those, with a target for both outcomes
    // pictures
    int overlays = 0;
    int conditionalOverlays = 0;
    int strips = 0;
    int replacementImages = 0;
    // scripts (a list attached at several places counts once)
    int actionLists = 0;
    int sharedLists = 0;  // attached at more than one place
    std::map<int, int> actions;        // by code, all
    std::map<int, int> directActions;  // by code, not counting those the helpers make
    std::map<int, int> itemUseLists;   // by item
    int conditionListsOnActionLists = 0;
    int conditionListsOfExits = 0;  // of those, made for conditional exits
    int conditionListsOnOverlays = 0;
    int conditionListsOnHotspots = 0;
    std::set<int> conditionCodes;
    int mp3Sounds = 0;  // sound paths of direct play-sound actions, by extension
    int wavSounds = 0;
    int videos = 0;
    // other records
    int variables = 0;
    int items = 0;
    int ambientSounds = 0;
};

// Counts the records of `world` (a non-const reference only because the variable list has
// no const accessor; nothing is changed).
WorldCensus TakeCensus(WorldManager& world);
// The census as an indented text block, one figure per line.
std::string FormatCensus(const WorldCensus& census);
