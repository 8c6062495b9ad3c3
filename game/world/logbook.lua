-- The keeper's logbook and the close-ups of the things found on the shore and the ground
-- floor, numbered after their items.
local logbook_pages = {}
for page = 1, 11 do logbook_pages[page] = string.format("data/logbook_p%02d.enc", page) end
book{name = "logbook", item = "logbook", cover = "cover", page = "page", pages = logbook_pages}
read_view{book = "logbook", scene = "texts/logbook.pov", setting = "book", seed = 500}

close_up{item = "letter", image = "data/item2_letter.enc"}
read_view{item = "letter", scene = "texts/letter.pov", setting = "letter"}
close_up{item = "key", image = "data/item3_key.enc", scene = "items/gate_key_closeup.pov"}
close_up{item = "crank", image = "data/item4_crank.enc", scene = "items/crank_closeup.pov"}
close_up{item = "lamp", image = "data/item5_lamp.enc", scene = "items/hand_lamp_closeup.pov"}
