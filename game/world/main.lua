-- Kelvane's world: the keeper's island, the observatory over the cistern, the tower with its
-- letters, the lamp gallery, the dome, the tide flats and the drowned observatory below them.
-- The files run in this order, and the screens are added in the order they are declared.
include "shared.lua"
include "opening.lua"
include "shore.lua"
include "hall.lua"
include "logbook.lua"
include "cistern.lua"
include "tide.lua"
include "tower.lua"
include "gallery.lua"
include "dome.lua"
include "drowned.lua"
include "ending.lua"
include "books.lua"
include "goals.lua"
include "clues.lua"
include "credits.lua"
