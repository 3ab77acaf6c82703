"""Starting Kelvaro for the first time, and again."""

import os

import pyatspi

from desktop import wait_for


def scenario_tip_of_the_day_comes_first_and_can_be_switched_off(s):
    assert not os.path.exists(s.config), "a new person has no configuration folder"
    kelvaro = s.start()
    tip = kelvaro.tip()
    # The tip stands alone: the main window comes only after it.
    assert [w.name for w in kelvaro.x_windows()] == ["Tip of the Day"]
    assert not kelvaro.has_window("Kelvaro")

    # Untick "Show Tips on StartUp" and press Close.
    box = tip.find("check box", "Show Tips on StartUp")
    assert box.checked
    box.click()
    wait_for(lambda: not box.checked, "the box to be unticked")
    tip.button("Close").click()
    main = kelvaro.main()
    kelvaro.close(main)
    assert kelvaro.exited() == 0

    # The choice was kept, in a configuration folder made for it.
    with open(os.path.join(s.config, "kelvaro.ini")) as profile:
        assert "StartUp=1" in profile.read().split()
    again = s.start()
    again.main()
    assert not again.has_window("Tip of the Day")


def scenario_escape_leaves_the_tip_on(s):
    kelvaro = s.start()
    tip = kelvaro.tip()
    tip.find("check box", "Show Tips on StartUp").click()
    # A real Escape closes only the tip, without keeping its box.
    tip.press("Escape")
    main = kelvaro.main()
    assert kelvaro.running()
    main.press("Escape")
    assert kelvaro.exited() == 0
    s.start().tip()


# Every stop of the main window's Tab chain, in order, by role and name (a
# combo box's name is its choice).
TAB_STOPS = [("push button", name) for name in ("Add", "Remove", "Convert", "Help")] \
    + [("tree", "Video files")] \
    + [("push button", name) for name in ("Add files", "Remove file", "Move up", "Move down")] \
    + [("combo box", "6.Good    Video:1000kbps   Audio:96kbps"), ("combo box", "320 x 240"),
       ("check box", "Add letterbox to keep aspect"),
       ("text", "Output folder"), ("push button", "Choose output folder"), ("push button", "Play"),
       ("push button", "Stop"), ("slider", "Position"), ("slider", "Volume")]


def scenario_tab_shows_where_the_focus_is(s):
    kelvaro, main = s.start_main()
    # The pointer out of the way: hovering changes pictures too.
    s.desktop.xdotool("mousemove", "0", "0")
    stops = [main.find(role, name) for role, name in TAB_STOPS]

    def around(stop):
        x, y, width, height = stop.extents
        return s.desktop.picture((x - 3, y - 3, width + 6, height + 6))

    wait_for(lambda: stops[0].has(pyatspi.STATE_FOCUSED), "the focus on the first stop")
    first_focused = around(stops[0])
    unfocused = [None] + [around(stop) for stop in stops[1:]]
    for index, stop in enumerate(stops[1:], start=1):
        main.press("Tab")
        wait_for(lambda: stop.has(pyatspi.STATE_FOCUSED), f"the focus on {TAB_STOPS[index][1]!r}")
        wait_for(lambda: around(stop) != unfocused[index], f"{TAB_STOPS[index][1]!r} to show its focus")
        if index == 1:
            assert around(stops[0]) != first_focused, "Add shows that it lost the focus"
    # Round again to the start.
    main.press("Tab")
    wait_for(lambda: stops[0].has(pyatspi.STATE_FOCUSED), "the focus back on the first stop")
