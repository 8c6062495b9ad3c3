-- The clues the journal keeps (the J key, the top strip's Journal button): every screen and
-- spoken line that tells the player how a puzzle is solved, as docs/puzzles.md lists them.
-- A screen is filed when the player looks at it, a line when its subtitle shows.

clue{name = "appointment", screen = "letter_close_up", title = "journal.appointment"}
clue{name = "logbook_lamp", screen = "logbook_p2", title = "journal.logbook_lamp"}
clue{name = "logbook_cistern", screen = "logbook_p3", title = "journal.logbook_cistern"}
clue{name = "logbook_float_valve", screen = "logbook_p4", title = "journal.logbook_float_valve"}
clue{name = "logbook_sea_gate", screen = "logbook_p5", title = "journal.logbook_sea_gate"}
clue{name = "logbook_tide_clock", screen = "logbook_p6", title = "journal.logbook_tide_clock"}
clue{name = "logbook_cabinet", screen = "logbook_p7", title = "journal.logbook_cabinet"}
clue{name = "logbook_hatch", screen = "logbook_p8", title = "journal.logbook_hatch"}
clue{name = "logbook_gallery", screen = "logbook_p9", title = "journal.logbook_gallery"}
clue{name = "logbook_last_lens", screen = "logbook_p10", title = "journal.logbook_last_lens"}
clue{name = "logbook_last_entry", screen = "logbook_p11", title = "journal.logbook_last_entry"}
clue{name = "tide_post", screen = "shore_post", title = "journal.tide_post"}
clue{name = "watch_lid", screen = "watch_close_up", title = "journal.watch_lid"}
clue{name = "register_tides", screen = "register_p1", title = "journal.register_tides"}
clue{name = "register_new_moon", screen = "register_p2", title = "journal.register_new_moon"}
clue{name = "register_first_quarter", screen = "register_p3", title = "journal.register_first_quarter"}
clue{name = "register_full_moon", screen = "register_p4", title = "journal.register_full_moon"}
clue{name = "register_last_quarter", screen = "register_p5", title = "journal.register_last_quarter"}
clue{name = "letter_middle_ring", screen = "letters_p3", title = "journal.letter_middle_ring"}
clue{name = "letter_ring_rule", screen = "letters_p4", title = "journal.letter_ring_rule"}
clue{name = "letter_lamp_twice", screen = "letters_p5", title = "journal.letter_lamp_twice"}
clue{name = "letter_upper_ring", screen = "letters_p6", title = "journal.letter_upper_ring"}
clue{name = "letter_figures", screen = "letters_p8", title = "journal.letter_figures"}
clue{name = "letter_stray_stars", screen = "letters_p9", title = "journal.letter_stray_stars"}
clue{name = "letter_gull", screen = "letters_p11", title = "journal.letter_gull"}
clue{name = "gallery_plaque", screen = "gallery_plaque", title = "journal.gallery_plaque"}
clue{name = "star_chart", screen = "dome_plaque", title = "journal.star_chart"}
clue{name = "drowned_plaque", screen = "drowned_plaque", title = "journal.drowned_plaque"}

clue{name = "film_bells", line = "film.letters.02", title = "journal.film_bells"}
clue{name = "film_float_valve", line = "film.letters.15", title = "journal.film_float_valve"}
clue{name = "film_catch", line = "film.letters.16", title = "journal.film_catch"}
clue{name = "film_tide_clock", line = "film.letters.17", title = "journal.film_tide_clock"}
clue{name = "film_ring", line = "film.letters.19", title = "journal.film_ring"}
clue{name = "cylinder_bar", line = "film.recorder.08", title = "journal.cylinder_bar"}
clue{name = "cylinder_panels", line = "film.recorder.10", title = "journal.cylinder_panels"}
clue{name = "cylinder_figures", line = "film.recorder.11", title = "journal.cylinder_figures"}
