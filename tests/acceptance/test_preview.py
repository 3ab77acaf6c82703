"""The preview in the main window: play, pause, stop, seek, and a file that
plays to its end."""

from desktop import wait_for
from kelvaro import limit
from videos import video


def position(main):
    return int(main.find("slider", "Position").value)


@limit(120)
def scenario_play_pause_seek_stop(s):
    first = s.place("first.avi", video(8))
    second = s.place("second.avi", video(3))
    kelvaro, main = s.start_main(first, second, rows=2)

    # A double-click plays the row: the button offers Pause, the slider moves.
    main.row(0).double_click()
    main.find("push button", "Pause")
    wait_for(lambda: position(main) >= 1, "the position to move")

    # Pause holds the position; Play goes on from there.
    main.button("Pause").click()
    main.find("push button", "Play")
    held = position(main)
    main.button("Play").click()
    wait_for(lambda: position(main) > held, "playing on after the pause")

    # The playing file moved down a row is still the one playing: a
    # double-click on it there pauses it rather than starting it again.
    main.button("Move down").click()
    wait_for(lambda: main.paths() == ["second.avi", "first.avi"], "the playing file moved down")
    main.row(1).double_click()
    main.find("push button", "Play")
    assert position(main) > held
    main.button("Play").click()
    main.find("push button", "Pause")

    # A click on the slider jumps there and plays on from it, to the end,
    # where the slider goes back to 0 and the button offers Play again.
    main.find("slider", "Position").click_at(0.75)
    wait_for(lambda: position(main) >= 6, "the jump to three quarters")
    main.find("push button", "Play", timeout=30)
    wait_for(lambda: position(main) == 0, "the slider back at 0 after the end")

    # Another row: double-click plays it from 0; Stop stops it.
    main.row(0).double_click()
    main.find("push button", "Pause")
    main.button("Stop").click()
    main.find("push button", "Play")
    assert position(main) == 0
