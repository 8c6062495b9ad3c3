-- The tower: the stair up from the clock room, the letter cabinet with its bell wheels, the
-- winch that unbars the gallery hatch, and the hatch itself.
region{name = "tower", block = 400, title = "place.tower"}

place{name = "tower_foot", region = "tower", panorama = true, image = "data/tower_pano01.enc", number = 401, scene = "tower/foot.pov",
    walk("stairs", 100, 200, 280, 420, "hall_clock_room"), walk("window", 700, 190, 790, 330, "tower_slit"),
    walk("stairs", 1300, 170, 1440, 390, "tower_cabinet_floor")}
place{name = "tower_cabinet_floor", region = "tower", panorama = true, image = "data/tower_pano02.enc", scene = "tower/cabinet_floor.pov",
    walk("stairs", 100, 200, 280, 420, "tower_foot"), walk("panel", 600, 220, 800, 380, "tower_cabinet"),
    walk("desk", 1000, 290, 1220, 400, "tower_table"), walk("stairs", 1600, 170, 1740, 390, "tower_winch_floor"),
    see("torch", 1400, 200, 1440, 310, true)}
place{name = "tower_winch_floor", region = "tower", panorama = true, image = "data/tower_pano03.enc", scene = "tower/winch_floor.pov",
    walk("stairs", 100, 200, 280, 420, "tower_cabinet_floor"), walk("machine", 800, 250, 1040, 390, "tower_winch"),
    walk("stairs", 1500, 170, 1640, 390, "tower_shelf_floor")}
place{name = "tower_shelf_floor", region = "tower", panorama = true, image = "data/tower_pano04.enc", scene = "tower/shelf_floor.pov",
    walk("stairs", 100, 200, 280, 420, "tower_winch_floor"), walk("panel", 700, 220, 900, 380, "tower_shelf"),
    walk("arch", 1300, 170, 1500, 400, "tower_top"), walk("stairs", 1800, 170, 1940, 390, "tower_foot")}
place{name = "tower_top", region = "tower", panorama = true, image = "data/tower_pano05.enc", scene = "tower/top.pov",
    walk("arch", 100, 170, 300, 400, "tower_shelf_floor"),
    choice("stairs", 800, 170, 940, 390, "hatch_barred", 0, "gallery_plaque_walk", "tower_hatch"),
    walk("window", 1500, 190, 1590, 330, "tower_window"), walk("stairs", 1800, 170, 1940, 390, "tower_winch_floor")}
place{name = "tower_slit", region = "tower", panorama = false, image = "data/tower_slit.enc", scene = "tower/slit.pov",
    see("window", 440, 40, 584, 400), edge_left("tower_foot"), edge_right("tower_foot")}
place{name = "tower_cabinet", region = "tower", panorama = false, image = "data/tower_cabinet.enc", scene = "tower/cabinet.pov",
    see("door", 40, 40, 300, 430), see("panel", 320, 180, 980, 290), back("tower_cabinet_floor")}
place{name = "tower_table", region = "tower", panorama = false, image = "data/tower_table.enc", scene = "tower/table.pov",
    see("desk", 262, 230, 762, 430), back("tower_cabinet_floor")}
place{name = "tower_winch", region = "tower", panorama = false, image = "data/tower_winch.enc", scene = "tower/winch.pov",
    see("machine", 262, 150, 762, 420), back("tower_winch_floor")}
place{name = "tower_shelf", region = "tower", panorama = false, image = "data/tower_shelf.enc", scene = "tower/shelf.pov",
    see("panel", 312, 100, 712, 420), back("tower_shelf_floor")}
place{name = "tower_window", region = "tower", panorama = false, image = "data/tower_window.enc", scene = "tower/window.pov",
    see("window", 380, 40, 644, 380), back("tower_top")}
place{name = "tower_hatch", region = "tower", panorama = false, image = "data/tower_hatch.enc", scene = "tower/hatch.pov",
    see("door", 362, 40, 662, 430), back("tower_top")}

-- ---- what changes in the pictures ----
change{screen = "tower_cabinet", x = 30, y = 30, w = 280, h = 410, image = "data/tower_cabinet_overlay01.enc",
       state = "cabinet_open", changed = 1}
change{screen = "tower_cabinet", x = 30, y = 30, w = 280, h = 410, image = "data/tower_cabinet_overlay02.enc",
       state = "letters_there", item = "letters", open = 1}
change{screen = "tower_top", x = 790, y = 160, w = 160, h = 240, image = "data/tower_pano05_overlay01.enc",
       state = {"hatch_barred", 0}, changed = 2}
change{screen = "tower_hatch", x = 352, y = 30, w = 320, h = 410, image = "data/tower_hatch_overlay01.enc",
       state = {"hatch_barred", 0}, changed = 1}
-- Unbarred from the winch, the hatch is passed: the stairs lead past its close view to the gallery.
note("search_allows", {{kind = "overlay", name = "screen tower_hatch, overlay 0 (data/tower_hatch_overlay01.enc)",
    reason = "once the hatch is unbarred the stairs lead past its close view; the stair's picture shows it open"}})

-- ---- the letter cabinet: it opens to the bells of the keeper's watch ----

key_panel{screen = "tower_cabinet", grid = "cabinet_wheels", width = 8, height = 1, x = 330, y = 200, w = 67, h = 66,
          dx = 80, dy = 0, strip = "data/tower_cabinet_wheels.enc"}

local letters = hotspot{screen = "tower_cabinet", rect = {40, 40, 300, 430},
                        when = "letters_in_cabinet = 1 and " .. cabinet_open()}
on_click(letters, steps{play("take"), give("letters"), set("letters_in_cabinet", 0), cut_scene("letters"), reload()})
-- The release knob, below the wheels, drops every wheel back to the blank.
local release_rect = {610, 320, 690, 400}
note("cabinet_release", {screen = "tower_cabinet", rect = release_rect})
local release = hotspot{screen = "tower_cabinet", rect = release_rect}
local drop_wheels = {play("unlock")}
for x = 0, 7 do drop_wheels[#drop_wheels + 1] = set(cell("cabinet_wheels", x, 0), 0) end
drop_wheels[#drop_wheels + 1] = reload()
on_click(release, drop_wheels)

-- ---- the winch that unbars the gallery hatch ----
local winch = hotspot{screen = "tower_winch", rect = {262, 150, 762, 420}}
on_click(winch, {play("examine", {caption = "winch_bare"})})
on_use(winch, "crank", steps{when = "hatch_barred = 1", cut_scene("hatch"), set("hatch_barred", 0), reload()})
