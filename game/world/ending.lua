-- The ending: the lens film, the dawn and the keeper's last words, then the credits.
region{name = "ending", block = 9900, title = "place.ending"}

local ENDING_PAUSE = 2000

screen{name = "dawn", region = "ending", panorama = false, image = "data/ending_dawn.enc", number = 9999}
note("ending", {dawn = "dawn"})
on_enter("dawn", steps{
    hide(true),
    wait(CUT_SCENE_WAIT, {hide = true}),
    video("lens", {pause_music = true}),
    wait(ENDING_PAUSE, {hide = true}),
    video("ending", {pause_music = true, full_screen = true}),
    hide_cursor(false),
    hide_bar(true),
    song(SONG_WARM),
    end_game(),
})
-- The dawn picture leads on: a click anywhere on it goes to the credits.
local onward = hotspot{screen = "dawn", rect = {0, 0, 1024, 512}}
on_click(onward, {end_game({now = true})})
-- Never shown: the first screen 9999 is the one every lookup finds.
placeholder{number = 9999, panorama = true, image = "data/newscreen.jpg"}
note("search_allows", {{kind = "screen", name = "dawn (a second screen of number 9999)",
    reason = "the placeholder only holds the number: the dawn, declared first, is the screen 9999 entered"}})
