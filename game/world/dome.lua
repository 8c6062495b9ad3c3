-- The dome: the plaque with the four figures, the telescope's mount, the four star panels and
-- the shutter that opens when they show the figures.
region{name = "dome", block = 700, title = "place.dome"}

place{name = "dome_entry", region = "dome", panorama = true, image = "data/dome_pano01.enc", scene = "dome/entry.pov",
    walk("stairs", 100, 200, 280, 420, "gallery_stair_walk"), walk("arch", 800, 170, 1000, 400, "dome_telescope"),
    walk("panel", 1300, 220, 1500, 380, "dome_plaque"), walk("arch", 1750, 170, 1950, 400, "dome_shutter_side")}
place{name = "dome_telescope", region = "dome", panorama = true, image = "data/dome_pano02.enc",
    scene = "dome/telescope.pov",
    walk("arch", 100, 170, 300, 400, "dome_entry"), walk("machine", 800, 250, 1040, 390, "dome_mount"),
    walk("arch", 1400, 170, 1600, 400, "dome_panels_west"), walk("arch", 1800, 170, 2000, 400, "dome_panels_east")}
place{name = "dome_panels_west", region = "dome", panorama = true, image = "data/dome_pano03.enc",
    scene = "dome/panels_west.pov",
    walk("arch", 134, 170, 300, 400, "dome_telescope"), walk("panel", 600, 220, 800, 380, "dome_panel1"),
    walk("panel", 1100, 220, 1300, 380, "dome_panel2"), walk("arch", 1600, 170, 1784, 400, "dome_panels_east"),
    walk("arch", 1900, 170, 2066, 400, "dome_shutter_side")}
place{name = "dome_panels_east", region = "dome", panorama = true, image = "data/dome_pano04.enc",
    scene = "dome/panels_east.pov",
    walk("arch", 134, 170, 300, 400, "dome_panels_west"), walk("panel", 600, 220, 800, 380, "dome_panel3"),
    walk("panel", 1100, 220, 1300, 380, "dome_panel4"), walk("arch", 1600, 170, 1784, 400, "dome_shutter_side"),
    walk("arch", 1900, 170, 2066, 400, "dome_telescope")}
place{name = "dome_shutter_side", region = "dome", panorama = true, image = "data/dome_pano05.enc",
    scene = "dome/shutter_side.pov",
    walk("arch", 100, 170, 300, 400, "dome_panels_east"), walk("window", 800, 100, 1100, 330, "dome_shutter"),
    walk("arch", 1600, 170, 1800, 400, "dome_entry")}
place{name = "dome_plaque", region = "dome", panorama = false, image = "data/dome_plaque.enc",
    see("panel", 312, 60, 712, 420), back("dome_entry")}
place{name = "dome_mount", region = "dome", panorama = false, image = "data/dome_mount.enc", scene = "dome/mount.pov",
    see("machine", 262, 100, 762, 420), back("dome_telescope")}
for panel = 1, 4 do
    place{name = "dome_panel" .. panel, region = "dome", panorama = false, image = "data/dome_panel" .. panel .. ".enc",
        see("panel", 312, 80, 712, 420), back(panel <= 2 and "dome_panels_west" or "dome_panels_east")}
end
place{name = "dome_shutter", region = "dome", panorama = false, image = "data/dome_shutter.enc",
    scene = "dome/shutter.pov",
    see("window", 312, 30, 712, 330), edge_left("dome_shutter_side"), edge_right("dome_shutter_side")}

-- ---- the star panels ----
for panel = 1, 4 do
    key_panel{screen = "dome_panel" .. panel, grid = "stars" .. panel, width = 3, height = 3, x = 392, y = 130,
              w = 64, h = 64, dx = 88, dy = 88, strip = "data/dome_panel" .. panel .. "_stars.enc", lamps = true}
end

-- ---- what changes in the pictures ----
change{screen = "dome_shutter", x = 302, y = 20, w = 420, h = 320, image = "data/dome_shutter_overlay01.enc",
       state = "stars_set", changed = 1}
change{screen = "dome_mount", x = 252, y = 90, w = 520, h = 340, image = "data/dome_mount_overlay01.enc",
       state = {"lens_placed", 1}, changed = 1}
-- The lens seated, the story goes straight on to the dawn: the mount is not seen with it.
note("search_allows", {{kind = "overlay", name = "screen dome_mount, overlay 0 (data/dome_mount_overlay01.enc)",
    reason = "placing the lens goes on to the dawn at once"}})

-- ---- the story ----

-- Back from the panels with all four figures set: the shutter opens.
for _, side in ipairs{"dome_panels_west", "dome_panels_east"} do
    on_enter(side, steps{when = all_stars_set() .. " and arrived = 2", cut_scene("shutter"), set("arrived", 3)})
end

-- The telescope takes the last lens once the shutter is open; then the story ends.
local mount = hotspot{screen = "dome_mount", rect = {262, 100, 762, 420}}
on_click(mount, {play("examine", {caption = "mount_empty"})})
on_use(mount, "lens", {when = all_stars_set(), play("seat"), drop(), set("lens_placed", 1), go("dawn")})
on_use(mount, "lens", steps{when = "not (" .. all_stars_set() .. ")", play("examine", {caption = "lens_shutter"})})
