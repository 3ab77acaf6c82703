"""Help: the help pages, F1, the About box and its links, Tip of the Day,
and the window's own menu."""

import os

from desktop import wait_for

HOME_PAGE = os.environ.get("KELVARO_HOME_PAGE_URL", "https://kelvaro.example.org/")
SUPPORT = os.environ.get("KELVARO_SUPPORT_URL", "https://kelvaro.example.org/support/")


def choose(s, main, item):
    """Opens the Help button's menu and chooses an item."""
    main.button("Help").click()
    s.desktop.popup_menu().find("menu item", item).click()


def scenario_help_pages(s):
    kelvaro, main = s.start_main()
    choose(s, main, "Content")
    pages = kelvaro.window("Kelvaro Help")
    pages.press("Escape")
    wait_for(lambda: not pages.showing, "the help window to close")
    main.press("F1")
    wait_for(lambda: pages.showing, "F1 to open the help again")
    pages.press("Escape")

    # Without its pages, Content says so; put back, they are found.
    hidden = os.path.join(s.program, "help-away")
    os.rename(os.path.join(s.program, "help"), hidden)
    choose(s, main, "Content")
    message = kelvaro.message()
    assert message.text.startswith("The help pages cannot be found."), message.text
    message.answer("OK")
    os.rename(hidden, os.path.join(s.program, "help"))
    choose(s, main, "Content")
    wait_for(lambda: pages.showing, "the help window with its pages back")


def scenario_about_box_and_links(s):
    kelvaro, main = s.start_main()
    choose(s, main, "About")
    about = kelvaro.window("About Kelvaro")
    about.find("label", "Home page").click()
    wait_for(lambda: s.opened_addresses() == [HOME_PAGE], "the home page opened")
    # A double-click is one click for a link: the address opens once.
    about.find("label", "Technical support").double_click()
    wait_for(lambda: s.opened_addresses() == [HOME_PAGE, SUPPORT], "the support page opened")
    about.button("OK").click()
    wait_for(lambda: not about.showing, "the About box to close")
    assert s.opened_addresses() == [HOME_PAGE, SUPPORT]

    choose(s, main, "Home page")
    wait_for(lambda: s.opened_addresses()[2:] == [HOME_PAGE], "the home page from the menu")

    choose(s, main, "Tip of the Day...")
    tip = kelvaro.tip()
    tip.button("Next Tip").click()
    tip.button("Close").click()
    wait_for(lambda: not tip.showing, "the tip to close")


def scenario_the_window_menu_only_on_the_background(s):
    kelvaro, main = s.start_main()
    # The list's header has no menu of its own: nothing pops up, so the Help
    # button's menu is the next to show.
    main.find("table column header", "File path").right_click()
    main.button("Help").click()
    s.desktop.popup_menu().find("menu item", "Content")
    s.desktop.press("Escape")  # the menu has the keyboard

    x, y, _, height = main.extents
    s.desktop.click(x + 8, y + height // 2, button=3)
    s.desktop.popup_menu().find("menu item", "About Kelvaro...").click()
    about = kelvaro.window("About Kelvaro")
    about.button("OK").click()
