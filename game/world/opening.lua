-- The opening: the logo, the boat crossing to the island and the causeway, each long enough to
-- be seen, then the first step onto the landing.
region{name = "opening", block = 0, title = "place.opening"}

local LOGO_WAIT, LOGO_FADE = 1000, 2500
local CROSSING_WAIT, CAUSEWAY_FADE = 3500, 5000

screen{name = "logo", region = "opening", panorama = false, image = "data/opening_logo.enc", number = 0}
on_enter("logo", music.silence)
on_enter("logo", steps{hide(true), wait(LOGO_WAIT), go("boat", {fade = LOGO_FADE})})

screen{name = "boat", region = "opening", panorama = false, image = "data/opening_boat.enc", number = 1}
on_enter("boat", steps{
    play("waves", {caption = "waves"}),
    wait(CROSSING_WAIT),
    go("causeway", {fade = CAUSEWAY_FADE}),
    wait(CAUSEWAY_FADE),
    hide(false),
    song(SONG_EXPLORE, {restart = true}),
})

screen{name = "causeway", region = "opening", panorama = false, image = "data/opening_causeway.enc", number = 2}
-- The fixed pictures of the opening, for the pictures' maker.
note("opening", {logo = "logo", boat = "boat", causeway = "causeway"})
move{screen = "causeway", rect = {200, 80, 824, 440}, to = "shore_landing"}
