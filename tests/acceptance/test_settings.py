"""Settings changed with the mouse and the keyboard are kept in option.ini
and shown again at the next start."""

import os

from desktop import wait_for

BEST = "9.Best    Video:2500kbps   Audio:192kbps"


def folder_field(main):
    field = main.find("text", "Output folder")
    return field, lambda: field.accessible.queryText().getText(0, -1)


def scenario_settings_survive_a_restart(s):
    kelvaro, main = s.start_main()

    # Quality with the mouse: open the list, click the best.
    quality = main.find("combo box", "6.Good    Video:1000kbps   Audio:96kbps")
    quality.click()
    quality.find("list").find("list item", BEST).click()
    wait_for(lambda: quality.name == BEST, "the best quality chosen")

    # Resolution: the open list shows all 18 sizes at once; the keyboard
    # picks one.
    resolution = main.find("combo box", "320 x 240")
    resolution.click()
    sizes = resolution.find("list")
    items = sizes.descendants("list item")
    _, top, _, height = sizes.extents
    assert len(items) == 18 and all(top <= y and y + h <= top + height for _, y, _, h in
                                    (item.extents for item in items)), "not all sizes show"
    main.press("End", "Up", "Return")
    wait_for(lambda: resolution.name == "752 x 304", "the size chosen with the keys")

    # Letterbox off with the mouse; the volume with the keys.
    letterbox = main.find("check box", "Add letterbox to keep aspect")
    letterbox.click()
    wait_for(lambda: not letterbox.checked, "letterbox off")
    volume = main.find("slider", "Volume")
    volume.click()
    main.press("Home", *["Page_Up"] * 15)
    wait_for(lambda: main.descendants("label", "150%"), "the volume label at 150%")

    # A folder typed and confirmed with Enter: the program stays open.
    field, text = folder_field(main)
    folder = os.path.join(s.home, "For the player")
    field.click()
    main.press("ctrl+a")
    s.desktop.type(folder)
    main.press("Return")
    wait_for(lambda: text() == folder, "the typed folder")
    assert kelvaro.running()

    kelvaro.close(main)
    assert kelvaro.exited() == 0
    options = s.option_file()
    assert {key: options[key] for key in ("Source/Output quality", "Source/Resolution", "Source/Letterbox",
                                          "Source/Volume", "Destinate/Temporary folder")} == {
        "Source/Output quality": "8", "Source/Resolution": "16", "Source/Letterbox": "0",
        "Source/Volume": "150", "Destinate/Temporary folder": folder}, options

    main = s.start().main()
    main.find("combo box", BEST)
    main.find("combo box", "752 x 304")
    assert not main.find("check box", "Add letterbox to keep aspect").checked
    assert main.find("slider", "Volume").value == 150
    assert main.descendants("label", "150%")
    assert folder_field(main)[1]() == folder
