-- The tide flats below the landing: the tide clock, the wreck, the marker, the skylight of the
-- drowned observatory (dry only at the lowest ebb) and the tide gauge.
region{name = "tide", block = 600, title = "place.tide"}

place{name = "tide_landing", region = "tide", panorama = true, image = "data/tide_pano01.enc",
    scene = "tide/landing.pov",
    walk("stairs", 100, 150, 280, 400, "shore_landing"), walk("machine", 700, 250, 940, 390, "tide_clock"),
    walk("arch", 1250, 170, 1450, 400, "tide_wreck_flats"), walk("pillar", 1800, 180, 1860, 420, "tide_gauge"),
    see("pool", 1000, 400, 1700, 500), see("moon", 1480, 50, 1540, 110)}
place{name = "tide_wreck_flats", region = "tide", panorama = true, image = "data/tide_pano02.enc",
    scene = "tide/wreck_flats.pov",
    walk("stairs", 100, 200, 280, 420, "tide_landing"), walk("door", 800, 190, 950, 400, "tide_wreck"),
    walk("arch", 1400, 170, 1600, 400, "tide_marker_flats"), see("pool", 300, 400, 1300, 500)}
place{name = "tide_marker_flats", region = "tide", panorama = true, image = "data/tide_pano03.enc",
    scene = "tide/marker_flats.pov",
    walk("arch", 100, 170, 300, 400, "tide_wreck_flats"), walk("pillar", 800, 180, 860, 420, "tide_marker"),
    walk("arch", 1400, 170, 1584, 400, "tide_skylight_flats"), see("pool", 900, 400, 1900, 500),
    walk("stairs", 1700, 150, 1880, 400, "tide_landing")}
place{name = "tide_skylight_flats", region = "tide", panorama = true, image = "data/tide_pano04.enc",
    scene = "tide/skylight_flats.pov",
    walk("arch", 100, 170, 300, 400, "tide_marker_flats"),
    walk("window", 900, 200, 1100, 400, "tide_skylight", {"tide", 4}),
    see("pool", 600, 380, 1500, 500), walk("arch", 1700, 170, 1900, 400, "tide_landing")}
place{name = "tide_clock", region = "tide", panorama = false, image = "data/tide_clock.enc",
    scene = "tide/clock.pov", texts = {plate = "panel.tideclock"},
    see("machine", 340, 100, 990, 420), back("tide_landing")}
place{name = "tide_wreck", region = "tide", panorama = false, image = "data/tide_wreck.enc",
    scene = "tide/wreck.pov",
    see("door", 380, 60, 644, 430), back("tide_wreck_flats")}
place{name = "tide_marker", region = "tide", panorama = false, image = "data/tide_marker.enc",
    scene = "tide/marker.pov",
    see("pillar", 470, 40, 554, 430), edge_left("tide_marker_flats"), edge_right("tide_marker_flats")}
place{name = "tide_skylight", region = "tide", panorama = false, image = "data/tide_skylight.enc",
    scene = "tide/skylight.pov",
    see("window", 312, 60, 712, 400), back("tide_skylight_flats")}
place{name = "tide_gauge", region = "tide", panorama = false, image = "data/tide_gauge.enc",
    scene = "tide/gauge.pov",
    see("pillar", 460, 30, 564, 430), back("tide_landing")}

-- ---- what changes in the pictures: the water at tides 2, 3 and 4 ----
tide_versions("tide_landing", "data/tide_pano01")
tide_versions("tide_wreck_flats", "data/tide_pano02")
tide_versions("tide_marker_flats", "data/tide_pano03")
tide_versions("tide_skylight_flats", "data/tide_pano04")

-- ---- the tide clock ----

key_panel{screen = "tide_clock", grid = "tide_wheels", width = 5, height = 1, x = 380, y = 200, w = 67, h = 66,
          dx = 90, dy = 0, strip = "data/tide_clock_wheels.enc"}

-- The lever: tonight's setting of the next tide up or down takes the water there.
local lever_rect = {860, 150, 960, 400}
note("tide_lever", {screen = "tide_clock", rect = lever_rect})
local lever = hotspot{screen = "tide_clock", rect = lever_rect}
on_click(lever, {play("lever", {caption = "lever"})})
for tide = 1, 4 do
    local from_neighbour
    if tide == 1 then
        from_neighbour = "tide = 2"
    elseif tide == 4 then
        from_neighbour = "tide = 3"
    else
        from_neighbour = "(tide = " .. (tide - 1) .. " or tide = " .. (tide + 1) .. ")"
    end
    on_click(lever, steps{when = "total(tide_wheels) = " .. grid_total(tide_setting(tide), 5) .. " and " .. from_neighbour,
        cut_scene("tide" .. tide), set("tide", tide)})
end
