-- The keeper's letters, the tide register on the lectern, and the close-ups of the things
-- found below the sea.
local function pages(stem, count)
    local list = {}
    for page = 1, count do list[page] = string.format("data/%s_p%02d.enc", stem, page) end
    return list
end

book{name = "letters", item = "letters", cover = "cover", page = "page", pages = pages("letters", 16)}
read_view{book = "letters", scene = "texts/letters.pov", setting = "book", seed = 600}

-- Every page of the register has a strip along its foot that puts it back on the lectern.
local register = book{name = "register", number = 90001, cover = "cover", page = "page", pages = pages("register", 5)}
for _, page in ipairs(register) do
    move{screen = page, rect = {300, 460, 724, 511}, to = "hall_lectern"}
end
read_view{book = "register", scene = "texts/register.pov", setting = "book", seed = 700}

close_up{item = "watch", image = "data/item7_watch.enc"}
read_view{item = "watch", scene = "texts/watch.pov", setting = "engraved_lid"}
close_up{item = "lens", image = "data/item8_lens.enc", scene = "items/lens_closeup.pov"}

-- The boards and plates read in the places, each a close view of its own; `text` names the
-- texts' "<text>.heading" and "<text>.body" set on it.
read_view{screen = "shore_post", scene = "texts/tide_post.pov", setting = "painted_board", text = "tidepost"}
read_view{screen = "gallery_plaque", scene = "texts/gallery_plaque.pov", setting = "brass_plaque", text = "plaque.gallery"}
read_view{screen = "dome_plaque", scene = "texts/star_chart.pov", setting = "star_chart", text = "plaque.stars"}
read_view{screen = "drowned_plaque", scene = "texts/drowned_plaque.pov", setting = "bronze_plaque", text = "plaque.drowned"}
