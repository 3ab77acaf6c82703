"""Editing the list with real clicks: removing and moving rows."""

from desktop import wait_for
from videos import video


def start_with_files(s, count):
    """Kelvaro with files named a.avi, b.avi, ... of 1, 2, ... seconds."""
    names = "abcdefgh"[:count]
    paths = [s.place(f"{name}.avi", video(i + 1)) for i, name in enumerate(names)]
    kelvaro, main = s.start_main(*paths, rows=count)
    return kelvaro, main


def expect_list(main, *names):
    """The rows show these files in this order, numbered 1 to n, each with its
    own duration (x.avi of n seconds for the n-th letter)."""
    expected = [(i + 1, f"{name}.avi", f"00:00:0{'abcdefgh'.index(name) + 1}") for i, name in enumerate(names)]
    wait_for(lambda: [(n, p.rsplit("/", 1)[1], d) for n, p, d in main.rows()] == expected,
             f"the list to read {' '.join(names)}; it reads {main.paths()}")


def scenario_remove_and_move_rows(s):
    kelvaro, main = start_with_files(s, 5)

    # The last row removed: nothing is selected, so Remove again does nothing.
    main.row(4).click()
    main.button("Remove").click()
    expect_list(main, "a", "b", "c", "d")
    assert main.selected_rows() == []
    main.button("Remove").click()
    main.button("Remove file").click()
    expect_list(main, "a", "b", "c", "d")

    # Moving with nothing selected asks for a selection.
    main.button("Move up").click()
    warning = kelvaro.message("Warning")
    assert warning.text == "No item was selected!"
    warning.answer("OK")

    # A middle row removed: the next file takes its place, selected.
    main.row(1).click()
    main.button("Remove file").click()
    expect_list(main, "a", "c", "d")
    wait_for(lambda: main.selected_rows() == [1], "the second row selected")

    # Moving keeps the moved file selected; the first row goes no higher.
    main.row(2).click()
    main.button("Move up").click()
    expect_list(main, "a", "d", "c")
    main.button("Move up").click()
    expect_list(main, "d", "a", "c")
    assert main.selected_rows() == [0]
    main.button("Move up").click()
    main.button("Move down").click()
    expect_list(main, "a", "d", "c")
    wait_for(lambda: main.selected_rows() == [1], "the moved file still selected")


def scenario_the_list_menu(s):
    kelvaro, main = start_with_files(s, 3)
    main.row(0).right_click()
    s.desktop.popup_menu().find("menu item", "Move down").click()
    expect_list(main, "b", "a", "c")
    # Right-clicking below the rows still offers the menu; its Remove acts
    # on the selected row.
    main.list.click_at(0.5, 0.9, button=3)
    s.desktop.popup_menu().find("menu item", "Remove video file from list").click()
    expect_list(main, "b", "c")
