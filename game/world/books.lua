-- The keeper's letters, the tide register on the lectern, and the close-ups of the things
-- found below the sea.
local function pages(stem, count)
    local list = {}
    for page = 1, count do list[page] = string.format("data/%s_p%02d.enc", stem, page) end
    return list
end

book{name = "letters", item = "letters", cover = "cover", page = "page", pages = pages("letters", 16)}

-- Every page of the register has a strip along its foot that puts it back on the lectern.
local register = book{name = "register", number = 90001, cover = "cover", page = "page", pages = pages("register", 5)}
for _, page in ipairs(register) do
    move{screen = page, rect = {300, 460, 724, 511}, to = "hall_lectern"}
end

close_up{item = "watch", image = "data/item7_watch.enc"}
close_up{item = "lens", image = "data/item8_lens.enc"}
