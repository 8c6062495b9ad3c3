-- The drowned lower observatory, dry and dark at the lowest ebb: the cradle of the last lens,
-- the sea door that opens only from the inside, and the keeper's last cylinder.
region{name = "drowned", block = 1100, title = "place.drowned"}

place{name = "drowned_hall", region = "drowned", panorama = true, image = "data/drowned_pano01.enc",
    scene = "drowned/hall.pov",
    dark("door", 100, 180, 260, 400, "cistern_lower", {"lens_in_cradle", 1}),
    dark("tunnel", 800, 200, 980, 390, "drowned_seadoor_hall"), dark("panel", 1300, 220, 1500, 380, "drowned_plaque"),
    dark("desk", 1700, 290, 1900, 400, "drowned_bench")}
place{name = "drowned_seadoor_hall", region = "drowned", panorama = true, image = "data/drowned_pano02.enc",
    scene = "drowned/seadoor_hall.pov",
    dark("tunnel", 100, 200, 280, 390, "drowned_hall"), dark("door", 700, 180, 860, 400, "drowned_seadoor"),
    dark("tunnel", 1300, 200, 1480, 390, "drowned_cradle_hall"), dark("panel", 1700, 220, 1900, 380, "drowned_coat")}
place{name = "drowned_cradle_hall", region = "drowned", panorama = true, image = "data/drowned_pano03.enc",
    scene = "drowned/cradle_hall.pov",
    dark("tunnel", 100, 200, 280, 390, "drowned_seadoor_hall"), dark("machine", 700, 250, 940, 390, "drowned_cradle"),
    dark("desk", 1200, 290, 1400, 400, "drowned_charts"), dark("tunnel", 1700, 200, 1880, 390, "drowned_recorder_hall")}
place{name = "drowned_recorder_hall", region = "drowned", panorama = true, image = "data/drowned_pano04.enc",
    scene = "drowned/recorder_hall.pov",
    dark("tunnel", 100, 200, 280, 390, "drowned_cradle_hall"), dark("desk", 600, 290, 820, 400, "drowned_recorder"),
    dark("window", 1100, 190, 1190, 330, "drowned_porthole"), dark("panel", 1600, 220, 1800, 380, "drowned_bunk")}
place{name = "drowned_plaque", region = "drowned", panorama = false, image = "data/drowned_plaque.enc",
    see("panel", 312, 60, 712, 420), back("drowned_hall")}
place{name = "drowned_seadoor", region = "drowned", panorama = false, image = "data/drowned_seadoor.enc",
    scene = "drowned/seadoor.pov",
    walk("door", 362, 40, 662, 430, "shore_cove", {"sea_door_shut", 0}), back("drowned_seadoor_hall")}
place{name = "drowned_cradle", region = "drowned", panorama = false, image = "data/drowned_cradle.enc",
    scene = "drowned/cradle.pov",
    see("machine", 262, 150, 762, 420), back("drowned_cradle_hall")}
place{name = "drowned_charts", region = "drowned", panorama = false, image = "data/drowned_charts.enc",
    scene = "drowned/charts.pov",
    see("desk", 262, 230, 762, 430), back("drowned_cradle_hall")}
place{name = "drowned_recorder", region = "drowned", panorama = false, image = "data/drowned_recorder.enc",
    scene = "drowned/recorder.pov",
    see("machine", 362, 150, 662, 420), back("drowned_recorder_hall")}
place{name = "drowned_porthole", region = "drowned", panorama = false, image = "data/drowned_porthole.enc",
    scene = "drowned/porthole.pov",
    see("window", 380, 40, 644, 380), back("drowned_recorder_hall")}
place{name = "drowned_bunk", region = "drowned", panorama = false, image = "data/drowned_bunk.enc",
    scene = "drowned/bunk.pov",
    see("desk", 262, 230, 762, 430), back("drowned_recorder_hall")}
place{name = "drowned_bench", region = "drowned", panorama = false, image = "data/drowned_bench.enc",
    scene = "drowned/bench.pov",
    see("desk", 262, 230, 762, 430), back("drowned_hall")}
place{name = "drowned_coat", region = "drowned", panorama = false, image = "data/drowned_coat.enc",
    scene = "drowned/coat.pov",
    see("panel", 362, 60, 662, 420), back("drowned_seadoor_hall")}

-- ---- what changes in the pictures ----
change{screen = "drowned_cradle", x = 440, y = 220, w = 144, h = 110, image = "data/drowned_cradle_overlay01.enc",
       state = {"lens_in_cradle", 1}, item = "lens"}

-- ---- the story ----

-- With the lens in the arms the tunnel is no way out.
local way = pick_areas["drowned_hall"][1]
local tunnel = hotspot{screen = "drowned_hall", rect = way, when = "lens_in_cradle = 0"}
on_click(tunnel, {play("stumble", {caption = "heavy"})})
on_use(tunnel, "lamp", {play("stumble", {caption = "heavy"})})

-- The sea door from inside: its bar lifts.
local bar = hotspot{screen = "drowned_seadoor", rect = {362, 40, 662, 430}, when = "sea_door_shut = 1"}
on_click(bar, steps{cut_scene("sea_door"), set("sea_door_shut", 0), set("warm_music", 1), reload()})

-- The last lens: too heavy for the tunnel, it leaves only by the sea door.
local cradle = hotspot{screen = "drowned_cradle", rect = {440, 220, 584, 330},
                       when = "lens_in_cradle = 1 and sea_door_shut = 1"}
on_click(cradle, {play("stumble", {caption = "cradle"})})
local lens = hotspot{screen = "drowned_cradle", rect = {440, 220, 584, 330},
                     when = "lens_in_cradle = 1 and sea_door_shut = 0"}
on_click(lens, {play("take"), give("lens"), set("lens_in_cradle", 0), reload()})

-- The keeper's last cylinder.
local cylinder = hotspot{screen = "drowned_recorder", rect = {362, 150, 662, 420}}
on_click(cylinder, steps{cut_scene("recorder")})
