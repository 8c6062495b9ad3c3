-- The lamp gallery: the ring of thirty-six lamps that must all burn before the stair to the
-- dome takes anyone up, the plaque that tells how the ring answers a hand, and the snuffer.
region{name = "gallery", block = 500, title = "place.gallery"}

place{name = "gallery_plaque_walk", region = "gallery", panorama = true, image = "data/gallery_pano01.enc",
    scene = "gallery/plaque_walk.pov",
    walk("stairs", 100, 200, 280, 420, "tower_top"), walk("arch", 900, 170, 1100, 400, "gallery_ring_walk"),
    walk("panel", 1500, 220, 1700, 380, "gallery_plaque"), walk("arch", 1850, 170, 2000, 400, "gallery_window_walk")}
place{name = "gallery_ring_walk", region = "gallery", panorama = true, image = "data/gallery_pano02.enc",
    scene = "gallery/ring_walk.pov",
    walk("arch", 134, 170, 300, 400, "gallery_plaque_walk"), walk("panel", 800, 220, 1000, 380, "gallery_ring"),
    walk("arch", 1400, 170, 1600, 400, "gallery_window_walk"), see("torch", 1200, 200, 1240, 310),
    see("torch", 1800, 200, 1840, 310), walk("arch", 1900, 170, 2066, 400, "gallery_stair_walk")}
place{name = "gallery_window_walk", region = "gallery", panorama = true, image = "data/gallery_pano03.enc",
    scene = "gallery/window_walk.pov",
    walk("arch", 100, 170, 300, 400, "gallery_ring_walk"), walk("window", 800, 190, 890, 330, "gallery_window"),
    walk("arch", 1400, 170, 1584, 400, "gallery_stair_walk"), walk("desk", 1700, 290, 1900, 400, "gallery_bench"),
    walk("arch", 450, 170, 650, 400, "gallery_plaque_walk")}
place{name = "gallery_stair_walk", region = "gallery", panorama = true, image = "data/gallery_pano04.enc",
    scene = "gallery/stair_walk.pov",
    walk("arch", 100, 170, 300, 400, "gallery_window_walk"),
    walk("stairs", 800, 170, 940, 390, "dome_entry", "lamps_lit", "stair_unlit"),
    walk("panel", 1200, 220, 1400, 380, "gallery_stair"), walk("arch", 1750, 170, 1950, 400, "gallery_plaque_walk"),
    see("torch", 600, 200, 640, 310), see("torch", 1080, 200, 1120, 310)}
place{name = "gallery_plaque", region = "gallery", panorama = false, image = "data/gallery_plaque.enc",
    see("panel", 312, 80, 712, 400), back("gallery_plaque_walk")}
place{name = "gallery_ring", region = "gallery", panorama = false, image = "data/gallery_ring.enc",
    scene = "gallery/ring_board.pov",
    see("panel", 40, 40, 984, 400), see("torch", 492, 372, 532, 432), back("gallery_ring_walk")}
place{name = "gallery_window", region = "gallery", panorama = false, image = "data/gallery_window.enc",
    scene = "gallery/window.pov",
    see("window", 380, 40, 644, 380), back("gallery_window_walk")}
place{name = "gallery_stair", region = "gallery", panorama = false, image = "data/gallery_stair.enc",
    scene = "gallery/stair.pov",
    see("stairs", 362, 60, 662, 430), back("gallery_stair_walk")}
place{name = "gallery_bench", region = "gallery", panorama = false, image = "data/gallery_bench.enc",
    scene = "gallery/bench.pov",
    see("desk", 262, 230, 762, 430), back("gallery_window_walk")}

-- ---- what changes in the pictures ----
change{screen = "gallery_ring_walk", x = 1190, y = 190, w = 660, h = 130, image = "data/gallery_pano02_overlay01.enc",
       state = "lamps_lit", changed = 4}
change{screen = "gallery_stair_walk", x = 590, y = 160, w = 540, h = 240, image = "data/gallery_pano04_overlay01.enc",
       state = "lamps_lit", changed = 5}

-- ---- the lamp ring ----

key_panel{screen = "gallery_ring", grid = "lamp_ring", width = 12, height = 3, x = 52, y = 90, w = 64, h = 64,
          dx = 78, dy = 100, strip = "data/gallery_ring_lamps.enc", lamps = true}

-- The moment every lamp burns.
on_enter("gallery_ring", steps{when = "all_set(lamp_ring) and arrived = 1", cut_scene("lamps"), set("arrived", 2)})
-- The snuffer puts every lamp out.
local snuffer = hotspot{screen = "gallery_ring", rect = {440, 380, 584, 430}}
local snuff = {play("snuff")}
for y = 0, 2 do
    for x = 0, 11 do snuff[#snuff + 1] = set(cell("lamp_ring", x, y), 0) end
end
snuff[#snuff + 1] = reload()
on_click(snuffer, snuff)
