-- What every region of the world shares: the items, the story flags, the puzzle grids and
-- their starting state, the sounds, captions and films, the music of the regions, and the
-- helpers that turn a place's landmarks into hotspots.

-- ---- the engine's fixed numbers, by name ----

-- Pointers (the order start-up adds them).
CURSOR_NORMAL, CURSOR_REACT, CURSOR_TURN_LEFT, CURSOR_TURN_RIGHT = 0, 1, 2, 3
-- The music tracks.
SONG_DOME, SONG_EXPLORE, SONG_DEPTHS, SONG_WARM = 1, 2, 3, 4
-- The view's built-in effects: the float valve ticks faster as the pointer nears its catch.
EFFECT_VALVE_TICKS = 1

-- ---- what the pictures' maker reads ----
-- The content generator paints every picture, sound and film from these files. The
-- declarations below also note what they declare (note(kind, value) is read by the tools
-- only); the helpers further down note the places, the changing blocks and the panels.
local declare = {sound = sound, item = item, grid = grid, captions = captions, film = film, book = book,
                 close_up = close_up}
-- A sound also says how it is made (`made`, `seed`: read by the tools only).
function sound(s)
    note("sound", s)
    return declare.sound{name = s.name, file = s.file}
end
-- An item and a close-up also name the scene their pictures are rendered from (`scene`: read
-- by the tools only).
local function without_scene(t)
    local fields = {}
    for k, v in pairs(t) do
        if k ~= "scene" then fields[k] = v end
    end
    return fields
end
function item(i) note("item", i); return declare.item(without_scene(i)) end
function grid(g) note("grid", g); return declare.grid(g) end
function captions(c) note("captions", c); return declare.captions(c) end
function book(b) note("book", b); return declare.book(b) end
function close_up(c) note("close_up", c); return declare.close_up(without_scene(c)) end
-- A view that is read (read by the tools only): the close view of an `item`, the pages of a
-- `book` or the place on `screen`, the `scene` of the scene library its picture is rendered
-- from, and the `setting` of its text over the render: "letter", "engraved_lid",
-- "painted_board", "brass_plaque", "bronze_plaque", "star_chart" or "book".
function read_view(r) note("read_view", r) end
-- A film without subtitles names its length in `seconds` (a subtitled film lasts a second past
-- its last line).
function film(f)
    note("film", f)
    return declare.film{name = f.name, file = f.file, subtitles = f.subtitles}
end

-- ---- sounds ----
-- Each sound says how the generator makes it: `made` names its kind and `seed` varies it within
-- the kind (three drips that are not the same drip). The kinds: drip, switch_click, explosion,
-- page_turn, door, lock_click, item_chime, whoosh (short effects); iron_clank, lever_creak,
-- ratchet, brass_seat (the effects of working the island's heavy machinery); sea_pound (the
-- sea through the broken gate); shore_bed, hall_bed, lamp_room_bed, dome_bed, cave_bed (the
-- regions' beds, which loop without a seam).

sound{name = "page", file = "data/pageturn.wav", made = "page_turn", seed = 6}
sound{name = "cover", file = "data/bookfront.wav", made = "page_turn", seed = 7}
sound{name = "wheel", file = "data/wheel.wav", made = "lock_click", seed = 8}            -- a brass wheel clicks round
sound{name = "lamp_switch", file = "data/lamp.wav", made = "switch_click", seed = 9}     -- a gallery lamp switched
sound{name = "take", file = "data/take.mp3", made = "item_chime", seed = 10}            -- something picked up
sound{name = "knock", file = "data/knock.mp3", made = "door", seed = 11}                -- a fist on a heavy door
sound{name = "lever", file = "data/lever.mp3", made = "lever_creak", seed = 12}         -- the tide clock's lever
sound{name = "waves", file = "data/waves.mp3", made = "whoosh", seed = 13}              -- the crossing to the island
sound{name = "unlock", file = "data/unlock.wav", made = "iron_clank", seed = 14}        -- a padlock opens
sound{name = "snuff", file = "data/snuff.mp3", made = "whoosh", seed = 15}              -- the gallery lamps put out
sound{name = "catch", file = "data/catch.wav", made = "ratchet", seed = 16}             -- the hidden catch gives
sound{name = "seat", file = "data/seat.wav", made = "brass_seat", seed = 17}            -- the lens settles in its seat
sound{name = "examine", file = "data/item.mp3", made = "item_chime", seed = 18}         -- an item examined
sound{name = "paper", file = "data/paper.mp3", made = "page_turn", seed = 19}           -- a letter unfolded
sound{name = "drip1", file = "data/drip1.wav", made = "drip", seed = 1}
sound{name = "drip2", file = "data/drip2.wav", made = "drip", seed = 2}
sound{name = "drip3", file = "data/drip3.wav", made = "drip", seed = 3}
sound{name = "valve_tick", file = "data/switch.wav", made = "switch_click", seed = 4}    -- the float valve ticking
sound{name = "stumble", file = "data/stumble.wav", made = "door", seed = 20}            -- a foot slipping on wet stone
sound{name = "sea_pound", file = "data/explosion.wav", made = "sea_pound", seed = 5}     -- the sea through the broken gate
-- The beds under the music (.wav: they loop sample to sample).
sound{name = "shore_bed", file = "data/shore_bed.wav", made = "shore_bed", seed = 21}       -- wind and surf
sound{name = "hall_bed", file = "data/hall_bed.wav", made = "hall_bed", seed = 22}          -- a still room, a slow clock
sound{name = "lamp_room_bed", file = "data/lamp_room_bed.wav", made = "lamp_room_bed", seed = 23}  -- the lamps' hum
sound{name = "dome_bed", file = "data/dome_bed.wav", made = "dome_bed", seed = 24}          -- the hush under the dome
sound{name = "cave_bed", file = "data/cave_bed.wav", made = "cave_bed", seed = 25}          -- water and stone below

-- ---- items (the bar at the foot of the screen) ----

-- Each item's picture, its mask with a halo (held over something that reacts) and its plain
-- mask (held over nothing); the pictures are rendered from the model's scene items/<model>.pov.
local function item_pictures(n)
    local base = "data/inven" .. n
    return base .. ".enc", base .. "_alpha1.enc", base .. "_alpha2.enc"
end
for n, def in ipairs{
    {"logbook", "cover", "logbook"}, {"letter", "paper", "appointment"}, {"key", "examine", "gate_key"},
    {"crank", "examine", "crank"}, {"lamp", "examine", "hand_lamp"}, {"letters", "cover", "letters"},
    {"watch", "examine", "watch"}, {"lens", "examine", "lens"},
} do
    local picture, react, plain = item_pictures(n)
    -- Its name, shown over the pointer in the bar and on the thing a click takes: item.<name>.
    item{name = def[1], picture = picture, react_mask = react, plain_mask = plain, sound = def[2],
         title = "item." .. def[1], scene = "items/" .. def[3] .. ".pov"}
end
in_bar("letter")  -- the letter of appointment comes with the keeper

-- ---- the story flags ----

variable("gate_locked", 1)          -- the observatory gate is padlocked
variable("key_taken", 0)            -- the iron key has been taken from the boathouse bench
variable("logbook_on_desk", 1)      -- the keeper's logbook still lies on his desk
variable("sea_gate_open", 0)        -- the sea gate of the cistern is broken open (waves pound below)
variable("cistern_flooded", 1)      -- the cistern basin is under water
variable("lamp_on_hook", 1)         -- the hand lamp still hangs in the lamp room
variable("crank_in_rack", 1)        -- the crank handle still hangs in the boathouse rack
variable("hatch_barred", 1)         -- the hatch to the lamp gallery is barred
variable("lens_in_cradle", 1)       -- the last lens still lies below the sea
variable("tide", 1)                 -- 1 .. 4: from high water (1) to the lowest ebb (4)
variable("letters_in_cabinet", 1)   -- the keeper's letters are still in the tower cabinet
variable("arrived", 0)              -- 1 arrived, 2 the lamps lit, 3 the shutter open
variable("lens_placed", 0)          -- the last lens sits in the great telescope
variable("warm_music", 0)           -- 0: the depths play song 3; 1: song 4 (after the sea door opened)
variable("watch_in_pool", 1)        -- the keeper's watch still lies in the rock pool
variable("sea_door_shut", 1)        -- the sea door under the cliff is shut (it opens only from inside)

-- ---- the puzzle grids ----

grid{name = "cabinet_wheels", width = 8, height = 1, max = 7}  -- the letter cabinet's eight bell wheels
grid{name = "lamp_ring", width = 12, height = 3, max = 1, neighbours = true, wrap_x = true, wrap_y = false}
grid{name = "stars1", width = 3, height = 3, max = 1}           -- the four star panels of the dome
grid{name = "stars2", width = 3, height = 3, max = 1, packed = true}
grid{name = "stars3", width = 3, height = 3, max = 1, packed = true}
grid{name = "stars4", width = 3, height = 3, max = 1, packed = true}
grid{name = "tide_wheels", width = 5, height = 1, max = 4}      -- the tide clock's five wheels

-- A grid's total (its first cell least significant) for the given cell values.
function grid_total(cells, base)
    local total, power = 0, 1
    for _, v in ipairs(cells) do
        total = total + v * power
        power = power * base
    end
    return total
end

-- The cabinet's bell code, wheel 0 (left) first: "three, one, four, one, five, two, six, five".
cabinet_code = {3, 1, 4, 1, 5, 2, 6, 5}
cabinet_total = grid_total(cabinet_code, 8)

-- The four star patterns (the Heron, the Lantern, the Anchor, the Gull), as 3 x 3 cells row by
-- row, top row first; 1 = the star is lit.
star_patterns = {
    {1, 0, 1, 0, 1, 0, 1, 1, 1},  -- Heron
    {0, 1, 0, 1, 1, 1, 0, 1, 0},  -- Lantern
    {0, 1, 0, 0, 1, 0, 1, 1, 1},  -- Anchor
    {1, 0, 1, 1, 1, 1, 0, 0, 0},  -- Gull
}

-- The tide clock's settings (wheel 0 first), as the tide register tables them by the moon's
-- age. The clock takes the water down or up one tide at a time, and only with the settings of
-- tonight's moon: the full moon, drawn in the sky over the shore.
high_water = {3, 2, 1, 4, 0}  -- how the keeper left the clock, at every moon
-- Half ebb, low water and the lowest ebb for each moon; the lowest ebb comes only with the
-- spring tides of the new and the full moon (at the quarters its row is all -1: no setting).
tide_table = {
    new_moon = {{0, 3, 4, 1, 2}, {4, 2, 0, 1, 3}, {1, 0, 4, 3, 2}},
    first_quarter = {{2, 1, 3, 0, 4}, {3, 4, 2, 1, 0}, {-1, -1, -1, -1, -1}},
    full_moon = {{1, 4, 0, 2, 3}, {2, 0, 3, 3, 1}, {4, 1, 2, 0, 4}},
    last_quarter = {{4, 0, 1, 3, 2}, {0, 2, 4, 4, 3}, {-1, -1, -1, -1, -1}},
}
tonight = "full_moon"
-- The setting that works tonight for tide 1 (high water) .. 4 (the lowest ebb).
function tide_setting(tide)
    if tide == 1 then return high_water end
    return tide_table[tonight][tide - 1]
end

-- The moons of the table in its order, and tonight's among them.
moons = {"new_moon", "first_quarter", "full_moon", "last_quarter"}
local tonight_index
for index, moon in ipairs(moons) do
    if moon == tonight then tonight_index = index end
end
local moon_rows = {}
for _, moon in ipairs(moons) do moon_rows[#moon_rows + 1] = tide_table[moon] end
note("puzzles", {cabinet_code = cabinet_code, star_patterns = star_patterns, high_water = high_water,
                 tide_table = moon_rows, tonight = tonight_index})

-- The cabinet's wheels stand wherever the last hand left them.
for x = 0, 7 do set_now(cell("cabinet_wheels", x, 0), random(8)) end
-- The lamp ring: each lamp also switches its four neighbours, round the ring but not over the
-- top or bottom edge. Four lamps of the middle ring were switched last evening.
for _, c in ipairs{{1, 1}, {4, 1}, {6, 1}, {10, 1}} do click_now("lamp_ring", c[1], c[2]) end
-- The star panels, scrambled by the damp.
for panel, cells in ipairs{
    {{0, 0}, {1, 1}, {2, 2}, {0, 2}},
    {{1, 0}, {0, 1}, {2, 1}},
    {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}, {1, 2}},
    {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
} do
    for _, c in ipairs(cells) do click_now("stars" .. panel, c[1], c[2]) end
end
-- The tide clock as the keeper left it: high water.
for x = 0, 4 do set_now(cell("tide_wheels", x, 0), high_water[x + 1]) end

-- ---- captions: the words of films and of sounds that tell the player something ----
-- Each line shows from its time on, timed from the moment its film or sound starts.

captions{name = "arrival", {0, ""}, {800, "film.arrival.01"}, {4200, "film.arrival.02"}, {7300, ""}}
captions{name = "letters",
    {0, ""}, {1500, "film.letters.01"}, {6000, ""}, {7000, "film.letters.02"}, {11700, ""},
    {12700, "film.letters.03"}, {17200, ""}, {18200, "film.letters.04"}, {23700, "film.letters.05"},
    {29700, ""}, {30700, "film.letters.06"}, {36200, "film.letters.07"}, {42200, ""},
    {43200, "film.letters.08"}, {48700, "film.letters.09"}, {54700, ""}, {55700, "film.letters.10"},
    {61700, "film.letters.11"}, {66700, ""}, {67700, "film.letters.12"}, {73200, "film.letters.13"},
    {76700, ""}, {77700, "film.letters.14"}, {83700, "film.letters.15"}, {90200, ""},
    {91200, "film.letters.16"}, {97700, "film.letters.17"}, {104200, ""}, {105200, "film.letters.18"},
    {110700, "film.letters.19"}, {115700, ""}, {116700, "film.letters.20"}, {121700, "film.letters.21"},
    {125500, ""}, {126000, "film.letters.22"}, {127500, ""}, {127800, ""},
}
captions{name = "recorder",
    {0, ""}, {1500, "film.recorder.01"}, {7000, ""}, {8000, "film.recorder.02"},
    {14000, "film.recorder.03"}, {19500, ""}, {20500, "film.recorder.04"}, {26500, "film.recorder.05"},
    {33000, ""}, {34000, "film.recorder.06"}, {40500, "film.recorder.07"}, {47000, ""},
    {48000, "film.recorder.08"}, {54000, "film.recorder.09"}, {60000, ""}, {61000, "film.recorder.10"},
    {67500, "film.recorder.11"}, {74000, ""}, {75000, "film.recorder.12"}, {81500, "film.recorder.13"},
    {86500, ""}, {87500, "film.recorder.14"}, {93500, "film.recorder.15"}, {99500, ""},
    {100500, "film.recorder.16"}, {104500, ""}, {105500, "film.recorder.17"}, {108000, ""},
    {109000, "film.recorder.18"}, {111000, ""}, {111300, ""}, {111500, ""},
}
captions{name = "ending",
    {0, ""}, {2000, "film.ending.01"}, {8000, ""}, {9000, "film.ending.02"}, {15500, ""},
    {16500, "film.ending.03"}, {23000, "film.ending.04"}, {29500, ""}, {30500, "film.ending.05"},
    {36500, "film.ending.06"}, {39500, ""}, {40500, "film.ending.07"}, {47000, "film.ending.08"},
    {52500, ""}, {53500, "film.ending.09"}, {60500, "film.ending.10"}, {67000, ""},
    {68000, "film.ending.11"}, {74500, "film.ending.12"}, {80000, ""}, {81000, "film.ending.13"},
    {87000, "film.ending.14"}, {93000, ""}, {94000, "film.ending.15"}, {100000, "film.ending.16"},
    {106500, ""}, {107500, "film.ending.17"}, {113500, "film.ending.18"}, {119500, ""},
    {120500, "film.ending.19"}, {126500, "film.ending.20"}, {133000, ""}, {134000, "film.ending.21"},
    {140500, "film.ending.22"}, {143000, "film.ending.23"}, {145700, ""}, {146700, "film.ending.24"},
    {152700, "film.ending.25"}, {158200, ""}, {159200, "film.ending.26"}, {164000, "film.ending.27"},
    {166000, ""}, {166500, "film.ending.28"}, {168000, ""}, {168500, "film.ending.29"}, {170500, ""},
    {170900, ""}, {171200, ""}, {171400, ""}, {171500, ""},
}
captions{name = "waves", {0, ""}, {300, "caption.waves"}, {3300, ""}}
-- Shown each time the float valve ticks: the faster the ticks, the steadier the word.
captions{name = "tick", {0, "caption.tick"}, {120, ""}}
captions{name = "pound", {0, "caption.pound"}, {1900, ""}}
captions{name = "knock", {0, "caption.knock"}, {2600, ""}}
captions{name = "dark", {0, "caption.dark"}, {3000, ""}}
captions{name = "heavy", {0, "caption.heavy"}, {2600, ""}}
captions{name = "cradle", {0, "caption.cradle"}, {3400, ""}}
captions{name = "lever", {0, "caption.lever"}, {1600, ""}}
-- What the world says when it refuses: an item of no use where it is tried, a way not open yet.
captions{name = "no_use", {0, "caption.no_use"}, {2200, ""}}
captions{name = "stair_unlit", {0, "caption.stair_unlit"}, {3400, ""}}
captions{name = "high_water", {0, "caption.high_water"}, {3400, ""}}
captions{name = "lens_shutter", {0, "caption.lens_shutter"}, {3400, ""}}
captions{name = "padlock_shut", {0, "caption.padlock_shut"}, {3000, ""}}
captions{name = "pump_bare", {0, "caption.pump_bare"}, {3400, ""}}
captions{name = "winch_bare", {0, "caption.winch_bare"}, {3400, ""}}
captions{name = "mount_empty", {0, "caption.mount_empty"}, {3400, ""}}
on_no_use({play("examine", {caption = "no_use"})})

-- ---- films ----

film{name = "arrival", file = "data//FMV//arrival.wmv", subtitles = "arrival"}
film{name = "letters", file = "data//FMV//letters.wmv", subtitles = "letters"}
film{name = "recorder", file = "data//FMV//recorder.wmv", subtitles = "recorder"}
film{name = "ending", file = "data//FMV//ending.wmv", subtitles = "ending"}
film{name = "gate", file = "data//FMV//gate.wmv", seconds = 5}
film{name = "pump", file = "data//FMV//pump.wmv", seconds = 6}
film{name = "sea_gate", file = "data//FMV//collapse.wmv", seconds = 7}
for tide = 1, 4 do film{name = "tide" .. tide, file = "data//FMV//tide" .. tide .. ".wmv", seconds = tide == 4 and 6 or 5} end
film{name = "hatch", file = "data//FMV//hatch.wmv", seconds = 5}
film{name = "lamps", file = "data//FMV//lamps.wmv", seconds = 6}
film{name = "shutter", file = "data//FMV//shutter.wmv", seconds = 6}
film{name = "sea_door", file = "data//FMV//seadoor.wmv", seconds = 6}
film{name = "lens", file = "data//FMV//lens.wmv", seconds = 8}

-- ---- ambient sounds ----

ambient{name = "drip1", sound = "drip1"}
ambient{name = "drip2", sound = "drip2"}
ambient{name = "drip3", sound = "drip3"}
ambient{name = "valve_tick", sound = "valve_tick", caption = "tick"}
ambient{name = "sea_pound", sound = "sea_pound", caption = "pound"}
-- The regions' beds: each plays on from the moment its region is entered until it is left.
ambient{name = "shore_bed", sound = "shore_bed", bed = true}
ambient{name = "hall_bed", sound = "hall_bed", bed = true}
ambient{name = "lamp_room_bed", sound = "lamp_room_bed", bed = true}
ambient{name = "dome_bed", sound = "dome_bed", bed = true}
ambient{name = "cave_bed", sound = "cave_bed", bed = true}

-- ---- the music and sounds of the regions (entry lists shared by their screens) ----

-- Kept by name for the places to attach.
music = {}
music.silence = shared{name = "silence", song("silence")}
music.explore = shared{name = "explore", song(SONG_EXPLORE)}   -- the shore and the ground floor
music.dome = shared{name = "dome", song(SONG_DOME)}         -- the dome under its stars
music.depths = shared{name = "depths", when = "warm_music = 0", song(SONG_DEPTHS)}  -- until the sea door is opened ...
music.warm = shared{name = "warm", when = "warm_music = 1", song(SONG_WARM)}      -- ... and after it
music.drips = shared{name = "drips",
    start_ambient("drip1", 2000, 20000), start_ambient("drip2", 2000, 20000), start_ambient("drip3", 2000, 20000)}
-- The broken sea gate pounds every two seconds; each pound (1.8 s) is over before the next.
music.waves = shared{name = "waves", when = "sea_gate_open = 1", start_ambient("sea_pound", 2000, 2001)}

-- Each region's bed, started on every screen of the region, close views too (a bed already
-- playing plays on from one screen to the next of its region; the bounds mean nothing to it).
local beds = {}
for _, name in ipairs{"shore_bed", "hall_bed", "lamp_room_bed", "dome_bed", "cave_bed"} do
    beds[name] = shared{name = name, start_ambient(name, 0, 0)}
end
-- Outdoors the wind and the surf; indoors the room's own tone: the ground floor's clock, the
-- lamps' hum up the tower, the hush of the dome, water and stone below.
local region_bed = {
    shore = "shore_bed", tide = "shore_bed", hall = "hall_bed", tower = "lamp_room_bed",
    gallery = "lamp_room_bed", dome = "dome_bed", cistern = "cave_bed", drowned = "cave_bed",
}

-- The entry lists each region's places start with; `panoramas_only` keeps them off close views.
local region_entry = {
    shore = {"explore"}, hall = {"explore"},
    dome = {"dome", panoramas_only = true},
    cistern = {"depths", "warm", "drips", "waves"},
    tide = {"depths", "warm"}, tower = {"depths", "warm"},
    gallery = {"depths", "warm"}, drowned = {"depths", "warm"},
}

-- ---- action helpers ----

-- A run of actions to splice into a list with steps{...}.
local function run(...)
    return {is_run = true, ...}
end

-- The list `t` with every run in it spliced in place (its `when` kept).
function steps(t)
    local out = {when = t.when}
    for _, a in ipairs(t) do
        if type(a) == "table" and a.is_run then
            for _, b in ipairs(a) do out[#out + 1] = b end
        else
            out[#out + 1] = a
        end
    end
    return out
end

CUT_SCENE_WAIT = 700

-- Cursor and bar away or back.
function hide(hidden)
    return run(hide_cursor(hidden), hide_bar(hidden))
end

-- Cursor and bar away, a moment's pause, the film (its subtitles with it), cursor and bar back.
function cut_scene(name)
    return run(hide_cursor(true), hide_bar(true), wait(CUT_SCENE_WAIT, {hide = true}),
               video(name, {pause_music = true}), hide_cursor(false), hide_bar(false))
end

-- A thing lying in a close view: while `flag` holds `there`, a click takes `thing`.
function take(screen, rect, flag, there, thing)
    local spot = hotspot{screen = screen, rect = rect, when = flag .. " = " .. there}
    on_click(spot, {play("take"), give(thing), set(flag, 1 - there), reload()})
    return spot
end

-- ---- places and their landmarks ----

PANORAMA_WIDTH = 2048
PICTURE_HEIGHT = 512
-- Where a click finds a panorama's landmark. The game picks one picture column per screen pixel
-- from the view's centre and scales rows straight, while the panorama is drawn in perspective:
-- a point drawn off the centre of the view is picked further out, by up to PICK_COLUMNS columns
-- and PICK_ROWS rows at the edges of the clickable view (screen x 100 .. 700). A landmark's
-- hotspot is therefore its drawn rectangle grown by that much on every side; where two
-- landmarks stand closer than that, the ground between them is shared at its middle.
PICK_COLUMNS = 58
PICK_ROWS = 60
note("pick", {columns = PICK_COLUMNS, rows = PICK_ROWS})

-- Landmarks: what is drawn (the generator paints it there), where, and how the world reacts to
-- it. A way that leads on only in some state of the story names it as `need` (see
-- story_condition), and with `refuse` the captions a click gets until then (a way without it
-- is not there at all until then).
function walk(look, x1, y1, x2, y2, to, need, refuse)
    return {look = look, x1 = x1, y1 = y1, x2 = x2, y2 = y2, to = to, way = "walk", need = need,
            when = need and story_condition(need), refuse = refuse, cursor = CURSOR_REACT}
end
-- Leads on only with the lit hand lamp in the hand; with an empty hand the player stumbles at
-- the edge of the dark and is told why.
function dark(look, x1, y1, x2, y2, to, need, refuse)
    return {look = look, x1 = x1, y1 = y1, x2 = x2, y2 = y2, to = to, way = "dark", need = need,
            when = need and story_condition(need), refuse = refuse, cursor = CURSOR_REACT}
end
-- Leads to `to` while `var` holds `value`, else to `otherwise` (or nowhere).
function choice(look, x1, y1, x2, y2, var, value, to, otherwise)
    return {look = look, x1 = x1, y1 = y1, x2 = x2, y2 = y2, to = to, way = "choose", var = var, value = value,
            otherwise = otherwise, cursor = CURSOR_REACT}
end
-- Drawn, `lit` in its changed state (a burning torch, a warm stove); the region's story attaches
-- its own behaviour or none.
function see(look, x1, y1, x2, y2, lit)
    return {look = look, x1 = x1, y1 = y1, x2 = x2, y2 = y2, way = "scenery", lit = lit}
end
-- The back strip along the bottom of a close view.
function back(to) return walk(nil, 0, 440, 1023, 511, to) end
-- The turning strips at both sides of a wide view, both leading back.
function edge_left(to)
    local f = walk(nil, 0, 0, 150, 511, to)
    f.cursor = CURSOR_TURN_LEFT
    return f
end
function edge_right(to)
    local f = walk(nil, 824, 0, 1023, 511, to)
    f.cursor = CURSOR_TURN_RIGHT
    return f
end

local function has_hotspot(f) return f.way ~= "scenery" end

-- Columns from the right edge of `a` round to the left edge of `b`, or -1 where their column
-- ranges overlap (on the circle of the panorama).
local function gap_right(a, b)
    local gap = (b.x1 - a.x2) % PANORAMA_WIDTH
    if gap + (a.x2 - a.x1) + (b.x2 - b.x1) > PANORAMA_WIDTH then return -1 end
    return gap
end

local function rows_meet(a1, a2, b1, b2) return a1 < b2 and b1 < a2 end

-- The hotspot of landmark `index` of `features`: on a flat view its drawn rectangle, on a
-- panorama that rectangle grown as above, rows kept inside the picture.
local function pick_area(features, index, panorama)
    local f = features[index]
    if not panorama then return {f.x1, f.y1, f.x2, f.y2} end
    local left, right, up, down = PICK_COLUMNS, PICK_COLUMNS, PICK_ROWS, PICK_ROWS
    for i, g in ipairs(features) do
        if i ~= index and has_hotspot(g) then
            local rows_overlap = rows_meet(f.y1, f.y2, g.y1, g.y2)
            if rows_meet(f.y1 - PICK_ROWS, f.y2 + PICK_ROWS, g.y1 - PICK_ROWS, g.y2 + PICK_ROWS) then
                -- Side by side: share the columns between them.
                local to_right, to_left = gap_right(f, g), gap_right(g, f)
                if to_right >= 0 and to_right < 2 * PICK_COLUMNS then right = math.min(right, to_right // 2) end
                if to_left >= 0 and to_left < 2 * PICK_COLUMNS then left = math.min(left, to_left - to_left // 2) end
            end
            if not rows_overlap and gap_right(f, g) < 0 and gap_right(g, f) < 0 then
                -- One above the other: share the rows between them.
                if g.y1 >= f.y2 and g.y1 - f.y2 < 2 * PICK_ROWS then down = math.min(down, (g.y1 - f.y2) // 2) end
                if f.y1 >= g.y2 and f.y1 - g.y2 < 2 * PICK_ROWS then
                    up = math.min(up, (f.y1 - g.y2) - (f.y1 - g.y2) // 2)
                end
            end
        end
    end
    local area = {f.x1 - left, math.max(0, f.y1 - up), f.x2 + right, math.min(PICTURE_HEIGHT, f.y2 + down)}
    if area[1] < 0 then
        area[1] = area[1] + PANORAMA_WIDTH
        area[3] = area[3] + PANORAMA_WIDTH
    end
    return area
end

-- A hotspot's rectangles: one, or two where a panorama's area runs across the seam.
local function spans(area, panorama)
    if panorama and area[3] >= PANORAMA_WIDTH then
        return {{area[1], area[2], PANORAMA_WIDTH, area[4]}, {0, area[2], area[3] - PANORAMA_WIDTH, area[4]}}
    end
    return {area}
end

-- What a way that is not open yet says: its refusal's captions, with a soft sound.
local function refusal(f)
    return steps{when = "not (" .. f.when .. ")", play(f.refuse_sound or "examine", {caption = f.refuse})}
end

local function add_feature(screen, f, area, panorama)
    for _, rect in ipairs(spans(area, panorama)) do
        -- Out of a wide view the pointer comes back to the middle, clear of the turning margins.
        local center = f.cursor ~= CURSOR_REACT and "x" or nil
        if f.way == "walk" and f.refuse then
            local spot = hotspot{screen = screen, rect = rect, cursor = f.cursor}
            on_click(spot, steps{when = f.when, go(f.to, {center = center})})
            on_click(spot, refusal(f))
        elseif f.way == "walk" then
            move{screen = screen, rect = rect, to = f.to, cursor = f.cursor, center = center, when = f.when}
        elseif f.way == "choose" then
            local spot = hotspot{screen = screen, rect = rect, cursor = f.cursor, when = f.when}
            choose{hotspot = spot, var = f.var, value = f.value, to = f.to, otherwise = f.otherwise}
        elseif f.way == "dark" then
            local spot = hotspot{screen = screen, rect = rect, cursor = f.cursor, when = not f.refuse and f.when or nil}
            if f.refuse then
                on_use(spot, "lamp", steps{when = f.when, go(f.to)})
                on_use(spot, "lamp", refusal(f))
            else
                on_use(spot, "lamp", {go(f.to)})
            end
            on_click(spot, {play("stumble", {caption = "dark"})})
        end
    end
end

-- The hotspot areas of each place's landmarks, by screen name and landmark index.
pick_areas = {}

-- The seeds each region's pictures scatter their stones from: its thousand, then 1, 2, ... for
-- its panoramas and 50, 51, ... for its close views, in the order they are declared.
local picture_seeds = {shore = 1000, hall = 2000, cistern = 3000, tower = 4000, gallery = 5000, tide = 6000,
                       dome = 7000, drowned = 8000}
local seeds_given = {}
local function next_seed(region, panorama)
    local base = picture_seeds[region]
    if not base then error("no picture seeds for the region " .. tostring(region), 3) end
    local given = seeds_given[region] or {panoramas = 0, views = 0}
    seeds_given[region] = given
    if panorama then
        given.panoramas = given.panoramas + 1
        return base + given.panoramas
    end
    given.views = given.views + 1
    return base + 49 + given.views
end

-- A landmark as the pictures' maker reads it.
local function landmark_note(f)
    return {look = f.look, rect = {f.x1, f.y1, f.x2, f.y2}, way = f.way, to = f.to, need = f.need, var = f.var,
            value = f.value, otherwise = f.otherwise, cursor = f.cursor, lit = f.lit}
end

-- A place: its screen, the music of its region, and a hotspot for each landmark in order.
-- Fields: name, region, panorama, image, number (optional), scene (the scene file of the scene
-- library its picture is rendered from, optional), and the landmarks as the list.
function place(p)
    local name = screen{name = p.name, region = p.region, panorama = p.panorama, image = p.image,
                        number = p.number, custom_function = p.custom_function}
    local entry = region_entry[p.region]
    if entry and (p.panorama or not entry.panoramas_only) then
        for _, list in ipairs(entry) do on_enter(name, music[list]) end
    end
    if region_bed[p.region] then on_enter(name, beds[region_bed[p.region]]) end
    pick_areas[name] = {}
    local landmarks = {}
    for i, f in ipairs(p) do
        local area = pick_area(p, i, p.panorama)
        pick_areas[name][i] = area
        add_feature(name, f, area, p.panorama)
        landmarks[i] = landmark_note(f)
    end
    note("place", {screen = name, region = p.region, panorama = p.panorama, image = p.image, scene = p.scene, texts = p.texts,
                   seed = next_seed(p.region, p.panorama), landmarks = landmarks, areas = pick_areas[name]})
    return name
end

-- A block of a place's picture that changes with the story: while `state` holds (see
-- story_condition) the block shows the place with landmark `changed` in its other state (open,
-- lit), without landmark `removed` (water drained away), or with item `item` lying in it (and
-- landmark `open`, when given, drawn open too). Landmarks count from 1 in the place's list.
function change(c)
    overlay{screen = c.screen, x = c.x, y = c.y, w = c.w, h = c.h, image = c.image, when = story_condition(c.state)}
    note("overlay", c)
end

-- A panel of code keys: one per cell of `grid`, row by row, `dx`, `dy` apart, drawn from frames
-- of `strip`; digits click with the wheel, lamps with the lamp switch.
function key_panel(k)
    note("key_panel", k)
    for y = 0, k.height - 1 do
        for x = 0, k.width - 1 do
            code_key{screen = k.screen, x = k.x + x * k.dx, y = k.y + y * k.dy, w = k.w, h = k.h, grid = k.grid,
                     cx = x, cy = y, image = k.strip, sound = k.lamps and "lamp_switch" or "wheel"}
        end
    end
end

-- The tide's versions of the flats: tide 2, 3, 4 replaces the base picture.
function tide_versions(screen, stem)
    local versions = {}
    for tide = 2, 4 do
        versions[#versions + 1] = stem .. "_vers" .. tide .. ".enc"
        version{screen = screen, var = "tide", value = tide, image = versions[#versions]}
    end
    note("tide_versions", {screen = screen, versions = versions})
end

-- Conditions the story uses in many places.
function all_stars_set()
    local parts = {}
    for panel, pattern in ipairs(star_patterns) do
        parts[#parts + 1] = "total(stars" .. panel .. ") = " .. grid_total(pattern, 2)
    end
    return table.concat(parts, " and ")
end
function cabinet_open() return "total(cabinet_wheels) = " .. cabinet_total end

-- The states of the story that pictures show and ways wait for, by name.
local named_states = {
    lamps_lit = function() return "all_set(lamp_ring)" end,  -- every lamp of the gallery ring burns
    stars_set = all_stars_set,                               -- the four star panels show their figures
    tide_low = function() return "tide = 4" end,             -- the lowest ebb
    cabinet_open = cabinet_open,                             -- the cabinet's wheels show the bell code
    letters_there = function() return "letters_in_cabinet = 1 and " .. cabinet_open() end,
}
-- The condition of a story state: {var, value} (the variable holds the value) or a name above.
function story_condition(state)
    if type(state) == "table" then return state[1] .. " = " .. state[2] end
    local named = named_states[state]
    if not named then error("no story state named " .. tostring(state), 2) end
    return named()
end
