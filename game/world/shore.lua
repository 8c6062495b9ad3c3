-- The shore of the island: the landing, the boathouse, the gate of the observatory, the cove
-- under the cliff with its sea door and rock pool.
region{name = "shore", block = 100, title = "place.shore"}

place{name = "shore_landing", region = "shore", panorama = true, image = "data/shore_pano01.enc",
    scene = "shore/landing.pov",
    walk("stairs", 200, 150, 380, 400, "shore_steps"), walk("door", 700, 190, 850, 400, "shore_boathouse"),
    walk("pillar", 1110, 180, 1170, 420, "shore_post"), walk("stairs", 1500, 200, 1700, 420, "tide_landing"),
    see("moon", 1850, 60, 1910, 120), walk("arch", 1950, 170, 2132, 400, "shore_path")}
place{name = "shore_steps", region = "shore", panorama = true, image = "data/shore_pano02.enc",
    scene = "shore/steps.pov",
    walk("stairs", 100, 200, 300, 420, "shore_landing"), walk("arch", 800, 170, 1000, 400, "shore_gate"),
    walk("tree", 1200, 110, 1400, 380, "shore_bench"), walk("arch", 1600, 170, 1800, 400, "shore_path"),
    walk("stairs", 480, 200, 660, 420, "shore_boathouse")}
place{name = "shore_gate", region = "shore", panorama = true, image = "data/shore_pano03.enc",
    scene = "shore/gate.pov",
    walk("arch", 300, 170, 500, 400, "shore_path"),
    choice("gate", 900, 150, 1100, 400, "gate_locked", 0, "hall_entrance", "shore_padlock"),
    see("window", 1300, 120, 1390, 260), walk("arch", 1900, 170, 2150, 400, "shore_steps")}
place{name = "shore_path", region = "shore", panorama = true, image = "data/shore_pano04.enc",
    scene = "shore/path.pov",
    walk("arch", 100, 170, 300, 400, "shore_steps"), walk("stairs", 700, 200, 900, 420, "shore_cove"),
    walk("pillar", 1300, 180, 1360, 420, "shore_towerview"), walk("arch", 1700, 170, 1900, 400, "shore_gate"),
    walk("stairs", 420, 200, 580, 420, "shore_landing")}
place{name = "shore_boathouse", region = "shore", panorama = true, image = "data/shore_pano05.enc",
    scene = "shore/boathouse.pov",
    walk("door", 100, 190, 250, 400, "shore_landing"), walk("desk", 600, 290, 820, 400, "shore_workbench"),
    walk("panel", 1200, 220, 1400, 380, "shore_toolrack"), see("window", 1700, 190, 1790, 330)}
place{name = "shore_cove", region = "shore", panorama = true, image = "data/shore_pano06.enc",
    scene = "shore/cove.pov",
    walk("stairs", 200, 200, 400, 420, "shore_path"),
    choice("door", 900, 180, 1060, 400, "sea_door_shut", 0, "drowned_seadoor_hall", "shore_seadoor"),
    walk("pool", 1400, 400, 1784, 490, "shore_rockpool"), walk("arch", 1900, 170, 2100, 400, "shore_landing")}
place{name = "shore_post", region = "shore", panorama = false, image = "data/shore_post.enc",
    see("pillar", 440, 40, 584, 430), back("shore_landing")}
place{name = "shore_bench", region = "shore", panorama = false, image = "data/shore_bench.enc",
    scene = "shore/bench.pov",
    see("tree", 300, 40, 724, 420), edge_left("shore_steps"), edge_right("shore_steps")}
place{name = "shore_padlock", region = "shore", panorama = false, image = "data/shore_padlock.enc",
    scene = "shore/padlock.pov",
    see("gate", 300, 60, 724, 430), back("shore_gate")}
place{name = "shore_towerview", region = "shore", panorama = false, image = "data/shore_towerview.enc",
    scene = "shore/towerview.pov",
    see("window", 430, 60, 594, 300), edge_left("shore_path"), edge_right("shore_path")}
place{name = "shore_workbench", region = "shore", panorama = false, image = "data/shore_workbench.enc",
    scene = "shore/workbench.pov",
    see("desk", 262, 220, 762, 430), back("shore_boathouse")}
place{name = "shore_toolrack", region = "shore", panorama = false, image = "data/shore_toolrack.enc",
    scene = "shore/toolrack.pov",
    see("panel", 300, 100, 724, 420), back("shore_boathouse")}
place{name = "shore_seadoor", region = "shore", panorama = false, image = "data/shore_seadoor.enc",
    scene = "shore/seadoor.pov",
    see("door", 380, 40, 644, 430), back("shore_cove")}
place{name = "shore_rockpool", region = "shore", panorama = false, image = "data/shore_rockpool.enc",
    scene = "shore/rockpool.pov",
    see("pool", 200, 280, 824, 430), back("shore_cove")}

-- ---- what changes in the pictures ----
change{screen = "shore_gate", x = 890, y = 140, w = 220, h = 270, image = "data/shore_pano03_overlay01.enc",
       state = {"gate_locked", 0}, changed = 2}
change{screen = "shore_padlock", x = 290, y = 50, w = 444, h = 390, image = "data/shore_padlock_overlay01.enc",
       state = {"gate_locked", 0}, changed = 1}
change{screen = "shore_workbench", x = 440, y = 230, w = 144, h = 100, image = "data/shore_workbench_overlay01.enc",
       state = {"key_taken", 0}, item = "key"}
change{screen = "shore_toolrack", x = 440, y = 180, w = 144, h = 120, image = "data/shore_toolrack_overlay01.enc",
       state = {"crank_in_rack", 1}, item = "crank"}
-- The crank is seen on the rack from across the boathouse too, until it is taken.
change{screen = "shore_boathouse", x = 1276, y = 254, w = 56, h = 88, image = "data/shore_pano05_overlay01.enc",
       state = {"crank_in_rack", 1}, item = "crank"}
change{screen = "shore_rockpool", x = 440, y = 300, w = 144, h = 110, image = "data/shore_rockpool_overlay01.enc",
       state = {"watch_in_pool", 1}, item = "watch"}
change{screen = "shore_cove", x = 890, y = 170, w = 180, h = 240, image = "data/shore_pano06_overlay01.enc",
       state = {"sea_door_shut", 0}, changed = 2}
change{screen = "shore_seadoor", x = 370, y = 30, w = 284, h = 410, image = "data/shore_seadoor_overlay01.enc",
       state = {"sea_door_shut", 0}, changed = 1}
-- The door is opened from inside; from then on the cove's way leads past the close view into the
-- drowned hall, so the open door is seen from the cove only.
note("search_allows", {{kind = "overlay", name = "screen shore_seadoor, overlay 0 (data/shore_seadoor_overlay01.enc)",
    reason = "once the sea door is open the cove leads past its close view; the cove's picture shows it open"}})

-- ---- the story ----

-- First landing: the boatman leaves.
on_enter("shore_landing", steps{when = "arrived = 0", cut_scene("arrival"), set("arrived", 1)})

-- The observatory gate's padlock takes the key.
local lock = hotspot{screen = "shore_padlock", rect = {300, 60, 724, 430}, cursor = "use"}
on_use(lock, "key", steps{when = "gate_locked = 1",
    play("unlock"), drop(), set("gate_locked", 0), cut_scene("gate"), reload()})
choose{hotspot = lock, var = "gate_locked", value = 0, to = "hall_entrance"}
on_click(lock, steps{when = "gate_locked = 1", play("knock", {caption = "padlock_shut"})})

take("shore_workbench", {440, 230, 584, 330}, "key_taken", 0, "key")
take("shore_toolrack", {440, 180, 584, 300}, "crank_in_rack", 1, "crank")
-- The sea door from outside: no handle, no keyhole.
local door = hotspot{screen = "shore_seadoor", rect = {380, 40, 644, 430}, when = "sea_door_shut = 1"}
on_click(door, {play("knock", {caption = "knock"})})
take("shore_rockpool", {440, 300, 584, 410}, "watch_in_pool", 1, "watch")
