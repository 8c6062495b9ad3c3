-- The story's goals, in the order the story takes them, for the hints (the H key): the first
-- goal that is open and not done is hinted at, each press one step further, the last hint
-- being the answer. docs/puzzles.md says how each puzzle is clued.
local function hints(name)
    return {"hint." .. name .. ".1", "hint." .. name .. ".2", "hint." .. name .. ".3"}
end

goal{name = "open_gate", open = "gate_locked = 1", done = "gate_locked = 0", hints = hints("open_gate")}
goal{name = "find_light", open = "gate_locked = 0", done = "lamp_on_hook = 0", hints = hints("find_light")}
goal{name = "open_cabinet", open = "lamp_on_hook = 0", done = "letters_in_cabinet = 0", hints = hints("open_cabinet")}
goal{name = "unbar_hatch", open = "letters_in_cabinet = 0", done = "hatch_barred = 0", hints = hints("unbar_hatch")}
goal{name = "light_ring", open = "hatch_barred = 0", done = "arrived >= 2", hints = hints("light_ring")}
goal{name = "lowest_ebb", open = "arrived >= 2", done = "tide = 4 or sea_door_shut = 0", hints = hints("lowest_ebb")}
goal{name = "drain_cistern", open = "arrived >= 2", done = "cistern_flooded = 0", hints = hints("drain_cistern")}
goal{name = "break_sea_gate", open = "cistern_flooded = 0", done = "sea_gate_open = 1", hints = hints("break_sea_gate")}
goal{name = "open_sea_door", open = "sea_gate_open = 1", done = "sea_door_shut = 0", hints = hints("open_sea_door")}
goal{name = "take_lens", open = "sea_door_shut = 0", done = "lens_in_cradle = 0", hints = hints("take_lens")}
goal{name = "set_stars", open = "lens_in_cradle = 0", done = "arrived >= 3", hints = hints("set_stars")}
goal{name = "place_lens", open = "arrived >= 3", done = "lens_placed = 1", hints = hints("place_lens")}
idle_hint("hint.idle")
