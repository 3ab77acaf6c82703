"""Starting Kelvaro for the first time, and again."""

import os

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
