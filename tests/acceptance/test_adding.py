"""Adding files: through the file chooser, from the command line, and what
happens to files that cannot be added."""

import os

from desktop import wait_for
from videos import not_a_video, video


def scenario_several_files_at_once_through_the_chooser(s):
    a, _, c = (s.place(f"{name}.avi", video(seconds)) for name, seconds in (("a", 1), ("b", 2), ("c", 3)))
    s.skip_tip()
    # Started from the folder of the videos, as from a terminal there: the
    # chooser opens in it.
    kelvaro = s.start(folder=os.path.dirname(a))
    main = kelvaro.main()
    main.button("Add").click()
    chooser = kelvaro.window("Import video files")
    files = chooser.find("tree", "Files")
    files.find("table cell", "a.avi").click()
    files.find("table cell", "c.avi").click(holding="ctrl")
    chooser.button("Open").click()
    assert main.wait_rows(2) == [(1, a, "00:00:01"), (2, c, "00:00:03")]


def scenario_files_named_on_the_command_line(s):
    good = s.place("a.avi", video(1))
    broken = s.place("notes.avi", not_a_video())
    missing = os.path.join(os.path.dirname(good), "gone.avi")
    kelvaro, main = s.start_main(good, missing, broken)
    message = kelvaro.message()
    assert main.rows() == [(1, good, "00:00:01")], main.rows()
    assert message.text.startswith("2 files were not added to the list."), message.text
    assert message.details == (f"{missing}: the file cannot be found\n"
                               f"{broken}: the file cannot be opened or is not a video file"), message.details
    message.answer("OK")


def scenario_a_folder_dropped_from_the_file_manager(s):
    good = s.place("a.avi", video(1))
    folder = os.path.join(os.path.dirname(good), "Holidays")
    os.mkdir(folder)
    kelvaro, main = s.start_main()
    source = s.drag_files([folder, good], onto=main.list)
    message = kelvaro.message()
    # The file manager gets its drop back while the warning is still open.
    assert source.stdout.readline().strip() == "dropped"
    assert message.text.startswith("1 file was not added to the list."), message.text
    assert message.details == f"{folder}: it is a folder, not a file", message.details
    message.answer("OK")
    assert main.wait_rows(1) == [(1, good, "00:00:01")]


def scenario_the_warning_waits_for_a_running_batch(s):
    # A full list to probe one file at a time, the bad one last: Convert is
    # pressed while they are still being probed, so the bad one fails during
    # the batch.
    s.write_option_file("[Source]\nSimultaneous jobs=1\n")
    names = [s.place(f"clip{i:02}.avi", video(1, size="160x120")) for i in range(98)]
    kelvaro, main = s.start_main(*names, s.place("notes.avi", not_a_video()))
    wait_for(lambda: main.rows(), "the first row")
    main.button("Convert").click()
    progress = kelvaro.progress()
    # Until the batch ends, the progress window is all that shows.
    done = wait_for(lambda: kelvaro.has_window("kelvaro", "alert") and kelvaro.message(), "the end of the batch",
                    timeout=120)
    assert not progress.showing
    assert done.text.startswith("Mission accomplished! Total Time:"), done.text
    assert len(main.rows()) == 98
    done.answer("OK")
    warning = wait_for(lambda: (m := kelvaro.message()).text.startswith("1 file was not added") and m,
                       "the warning about the bad file")
    warning.answer("OK")


def scenario_a_long_report_stays_on_screen(s):
    # Thirty bad files with names as long as names may be.
    bad = not_a_video()
    names = [s.place(f"{i:02} " + "a very long name of a downloaded video " * 5 + ".avi", bad) for i in range(30)]
    s.skip_tip()
    kelvaro = s.start(*names)
    kelvaro.main()
    warning = kelvaro.message()
    assert warning.text.startswith("30 files were not added to the list."), warning.text
    # The box fits on the screen, and the list of files shows in it.
    x, y, width, height = warning.extents
    assert x >= 0 and y >= 0 and x + width <= 1280 and y + height <= 800, warning.extents
    assert os.path.basename(names[0]) in warning.details
    if "KELVARO_SCREENSHOTS" in os.environ:
        s.desktop.screenshot(os.path.join(os.environ["KELVARO_SCREENSHOTS"], "long-report.png"))
    warning.answer("OK")
