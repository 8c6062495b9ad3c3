-- The cistern under the observatory, dark beyond its head: the pump, the basin, the float
-- valve with its hidden catch, the sea gate and the lower walk down to the drowned rooms.
region{name = "cistern", block = 300, title = "place.cistern"}

place{name = "cistern_head", region = "cistern", panorama = true, image = "data/cistern_pano01.enc",
    scene = "cistern/head.pov",
    walk("stairs", 100, 170, 240, 390, "hall_well_room"), dark("tunnel", 800, 200, 980, 390, "cistern_pump_walk"),
    see("torch", 1300, 200, 1340, 300, true)}
place{name = "cistern_pump_walk", region = "cistern", panorama = true, image = "data/cistern_pano02.enc",
    scene = "cistern/pump_walk.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_head"), dark("machine", 700, 250, 940, 390, "cistern_pump"),
    dark("tunnel", 1400, 200, 1580, 390, "cistern_basin")}
place{name = "cistern_basin", region = "cistern", panorama = true, image = "data/cistern_pano03.enc",
    scene = "cistern/basin.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_pump_walk"), see("pool", 600, 380, 1300, 490),
    dark("stairs", 1500, 200, 1650, 420, "cistern_grate_walk", {"cistern_flooded", 0})}
place{name = "cistern_grate_walk", region = "cistern", panorama = true, image = "data/cistern_pano04.enc",
    scene = "cistern/grate_walk.pov",
    dark("stairs", 200, 170, 340, 390, "cistern_basin"), dark("panel", 800, 300, 1000, 420, "cistern_grate"),
    dark("tunnel", 1400, 200, 1580, 390, "cistern_valve_walk")}
place{name = "cistern_valve_walk", region = "cistern", panorama = true, image = "data/cistern_pano05.enc",
    scene = "cistern/valve_walk.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_grate_walk"), dark("machine", 700, 250, 940, 390, "cistern_valve"),
    dark("tunnel", 1400, 200, 1580, 390, "cistern_seagate_walk")}
place{name = "cistern_seagate_walk", region = "cistern", panorama = true, image = "data/cistern_pano06.enc",
    scene = "cistern/seagate_walk.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_valve_walk"), dark("gate", 800, 150, 1000, 400, "cistern_seagate")}
place{name = "cistern_breach", region = "cistern", panorama = true, image = "data/cistern_pano07.enc",
    scene = "cistern/breach.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_seagate_walk"), dark("tunnel", 1100, 200, 1280, 390, "cistern_lower")}
place{name = "cistern_lower", region = "cistern", panorama = true, image = "data/cistern_pano08.enc",
    scene = "cistern/lower.pov",
    dark("tunnel", 100, 200, 280, 390, "cistern_breach"), walk("pool", 700, 380, 1100, 490, "cistern_waterline"),
    dark("door", 1400, 180, 1560, 400, "drowned_hall", {"tide", 4}, "high_water")}
-- The float valve: its ticking runs together over the hidden catch (the view's own effect).
place{name = "cistern_valve", region = "cistern", panorama = false, image = "data/cistern_valve.enc",
    scene = "cistern/valve.pov",
    custom_function = EFFECT_VALVE_TICKS,
    see("machine", 262, 150, 762, 420), back("cistern_valve_walk")}
place{name = "cistern_pump", region = "cistern", panorama = false, image = "data/cistern_pump.enc",
    scene = "cistern/pump.pov",
    see("machine", 262, 150, 762, 420), back("cistern_pump_walk")}
place{name = "cistern_grate", region = "cistern", panorama = false, image = "data/cistern_grate.enc",
    scene = "cistern/grate.pov",
    see("panel", 312, 250, 712, 430), back("cistern_grate_walk")}
place{name = "cistern_seagate", region = "cistern", panorama = false, image = "data/cistern_seagate.enc",
    scene = "cistern/seagate.pov",
    dark("gate", 312, 60, 712, 430, "cistern_breach", {"sea_gate_open", 1}), back("cistern_seagate_walk")}
place{name = "cistern_waterline", region = "cistern", panorama = false, image = "data/cistern_waterline.enc",
    scene = "cistern/waterline.pov",
    see("pool", 162, 300, 862, 430), back("cistern_lower")}

-- ---- what changes in the pictures ----
change{screen = "cistern_basin", x = 590, y = 370, w = 720, h = 130, image = "data/cistern_pano03_overlay01.enc",
       state = {"cistern_flooded", 0}, removed = 2}
change{screen = "cistern_pump", x = 252, y = 140, w = 520, h = 290, image = "data/cistern_pump_overlay01.enc",
       state = {"cistern_flooded", 0}, changed = 1}
change{screen = "cistern_seagate_walk", x = 790, y = 140, w = 220, h = 270,
        image = "data/cistern_pano06_overlay01.enc",
       state = {"sea_gate_open", 1}, changed = 2}
change{screen = "cistern_seagate", x = 302, y = 50, w = 420, h = 390, image = "data/cistern_seagate_overlay01.enc",
       state = {"sea_gate_open", 1}, changed = 1}
change{screen = "cistern_waterline", x = 152, y = 290, w = 720, h = 150,
        image = "data/cistern_waterline_overlay01.enc",
       state = "tide_low", removed = 1}

-- ---- the story ----

-- The catch leaves the pointer as it is: only the ticks (heard, or read at the foot of the
-- view) find it.
local catch = hotspot{screen = "cistern_valve", rect = {500, 300, 590, 380}, cursor = CURSOR_NORMAL, when = "sea_gate_open = 0"}
on_click(catch, steps{play("catch"), cut_scene("sea_gate"), set("sea_gate_open", 1), reload()})

-- The cistern pump wants the crank.
local pump = hotspot{screen = "cistern_pump", rect = {262, 150, 762, 420}}
on_click(pump, {play("examine", {caption = "pump_bare"})})
on_use(pump, "crank", steps{when = "cistern_flooded = 1", cut_scene("pump"), set("cistern_flooded", 0), reload()})
