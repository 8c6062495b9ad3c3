-- The observatory's ground floor: the entrance hall, the keeper's study, the lamp room, the
-- clock room at the foot of the tower, the well room over the cistern and the instrument room.
region{name = "hall", block = 200, title = "place.hall"}

place{name = "hall_entrance", region = "hall", panorama = true, image = "data/hall_pano01.enc", scene = "hall/entrance.pov",
    walk("gate", 110, 150, 300, 400, "shore_gate"), walk("arch", 420, 170, 560, 400, "hall_instrument_room"),
    walk("door", 700, 190, 850, 400, "hall_study"), walk("desk", 1000, 290, 1184, 400, "hall_lectern"),
    walk("arch", 1300, 170, 1500, 400, "hall_clock_room"), walk("door", 1750, 190, 1870, 400, "hall_lamp_room"),
    see("torch", 1600, 200, 1640, 310, true), walk("stairs", 1986, 200, 2042, 420, "hall_well_room")}
place{name = "hall_study", region = "hall", panorama = true, image = "data/hall_pano02.enc", scene = "hall/study.pov",
    walk("door", 100, 190, 250, 400, "hall_entrance"), walk("desk", 600, 290, 820, 400, "hall_desk"),
    walk("machine", 1100, 250, 1300, 390, "hall_stove"), walk("window", 1600, 190, 1690, 330, "hall_windowseat"),
    see("torch", 400, 200, 440, 310, true), walk("door", 1850, 190, 2000, 400, "hall_lamp_room")}
place{name = "hall_lamp_room", region = "hall", panorama = true, image = "data/hall_pano03.enc", scene = "hall/lamp_room.pov",
    walk("door", 150, 190, 300, 400, "hall_entrance"), see("torch", 700, 200, 740, 310, true),
    walk("panel", 800, 220, 1000, 380, "hall_lamphook"), walk("machine", 1400, 250, 1640, 390, "hall_oil"),
    walk("door", 1800, 190, 1950, 400, "hall_study")}
place{name = "hall_clock_room", region = "hall", panorama = true, image = "data/hall_pano04.enc", scene = "hall/clock_room.pov",
    walk("arch", 134, 170, 300, 400, "hall_entrance"), walk("stairs", 700, 170, 840, 390, "tower_foot"),
    walk("stairs", 1200, 200, 1400, 420, "hall_well_room"), walk("panel", 1700, 200, 1784, 340, "hall_clock"),
    walk("arch", 1900, 170, 2066, 400, "hall_instrument_room")}
place{name = "hall_well_room", region = "hall", panorama = true, image = "data/hall_pano05.enc", scene = "hall/well_room.pov",
    walk("stairs", 300, 170, 440, 390, "hall_clock_room"), walk("tunnel", 900, 200, 1080, 390, "cistern_head"),
    walk("pool", 1400, 400, 1684, 480, "hall_well"), see("torch", 1200, 200, 1240, 310, true),
    walk("arch", 1800, 170, 1980, 400, "hall_entrance")}
place{name = "hall_instrument_room", region = "hall", panorama = true, image = "data/hall_pano06.enc", scene = "hall/instrument_room.pov",
    walk("arch", 100, 170, 300, 400, "hall_entrance"), walk("desk", 700, 290, 920, 400, "hall_instruments"),
    see("window", 1300, 190, 1390, 330), see("pillar", 1600, 150, 1644, 390),
    walk("arch", 1800, 170, 2000, 400, "hall_clock_room")}
place{name = "hall_lectern", region = "hall", panorama = false, image = "data/hall_lectern.enc", scene = "hall/lectern.pov",
    see("desk", 312, 200, 712, 430), back("hall_entrance")}
place{name = "hall_desk", region = "hall", panorama = false, image = "data/hall_desk.enc", scene = "hall/desk.pov",
    see("desk", 262, 230, 762, 430), back("hall_study")}
place{name = "hall_stove", region = "hall", panorama = false, image = "data/hall_stove.enc", scene = "hall/stove.pov",
    see("machine", 312, 150, 712, 420, true), back("hall_study")}
place{name = "hall_windowseat", region = "hall", panorama = false, image = "data/hall_windowseat.enc", scene = "hall/windowseat.pov",
    see("window", 400, 60, 624, 330), back("hall_study")}
place{name = "hall_lamphook", region = "hall", panorama = false, image = "data/hall_lamphook.enc", scene = "hall/lamphook.pov",
    see("panel", 362, 100, 662, 420), back("hall_lamp_room")}
place{name = "hall_oil", region = "hall", panorama = false, image = "data/hall_oil.enc", scene = "hall/oil.pov",
    see("machine", 262, 180, 762, 420), back("hall_lamp_room")}
place{name = "hall_clock", region = "hall", panorama = false, image = "data/hall_clock.enc", scene = "hall/clock.pov",
    see("panel", 362, 80, 662, 400), back("hall_clock_room")}
place{name = "hall_well", region = "hall", panorama = false, image = "data/hall_well.enc", scene = "hall/well.pov",
    see("pool", 262, 260, 762, 430), back("hall_well_room")}
place{name = "hall_instruments", region = "hall", panorama = false, image = "data/hall_instruments.enc", scene = "hall/instruments.pov",
    see("desk", 262, 230, 762, 430), back("hall_instrument_room")}

-- ---- what changes in the pictures ----
change{screen = "hall_desk", x = 440, y = 240, w = 144, h = 100, image = "data/hall_desk_overlay01.enc",
       state = {"logbook_on_desk", 1}, item = "logbook"}
change{screen = "hall_lamphook", x = 440, y = 180, w = 144, h = 130, image = "data/hall_lamphook_overlay01.enc",
       state = {"lamp_on_hook", 1}, item = "lamp"}
-- The spare lamp is seen on its board from the room too, until it is taken.
change{screen = "hall_lamp_room", x = 872, y = 262, w = 56, h = 88, image = "data/hall_pano03_overlay01.enc",
       state = {"lamp_on_hook", 1}, item = "lamp"}

-- ---- the story ----

-- The tide register on the lectern.
local register = hotspot{screen = "hall_lectern", rect = {312, 200, 712, 430}}
on_click(register, {go("register_p1"), play("cover")})

take("hall_desk", {440, 240, 584, 340}, "logbook_on_desk", 1, "logbook")
take("hall_lamphook", {440, 180, 584, 310}, "lamp_on_hook", 1, "lamp")
