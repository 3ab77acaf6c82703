"""Cancelling a batch: every way of asking, No and Yes, and what is left."""

import os
import subprocess

from desktop import wait_for
from kelvaro import limit
from videos import slow_video


def ask_to_stop_and_answer(kelvaro, progress, how, answer):
    """Asks the progress window to stop (by its Cancel button, Escape or its
    close box) and answers the question."""
    if how == "Cancel":
        progress.button("Cancel").click()
    elif how == "Escape":
        progress.press("Escape")
    else:
        kelvaro.close(progress)
    question = kelvaro.message()
    assert question.text == "Do you really want to stop?", question.text
    question.answer(answer)


def still_converting(progress, text):
    """The batch goes on: the text moves past what it was."""
    label = progress.find("label")
    wait_for(lambda: label.name.startswith("Total time:") and label.name != text, "the batch to go on")
    return label.name


def start_converting(s, names):
    """Kelvaro converting films that take a while; its windows."""
    kelvaro, main = s.start_main(*(s.place(name, slow_video()) for name in names), rows=len(names))
    main.button("Convert").click()
    progress = kelvaro.progress()
    return kelvaro, main, progress, still_converting(progress, "")


def start_converting_a_film(s):
    return start_converting(s, ["film.avi"])


@limit(180)
def scenario_cancel_no_then_yes(s):
    kelvaro, main, progress, text = start_converting_a_film(s)

    # While converting, the main window takes no clicks: Add opens nothing.
    main.button("Add").click()
    for how in ("Cancel", "Escape"):
        ask_to_stop_and_answer(kelvaro, progress, how, "No")
        text = still_converting(progress, text)
    assert not kelvaro.has_window("Import video files")

    ask_to_stop_and_answer(kelvaro, progress, "close box", "Yes")
    wait_for(lambda: not progress.showing, "the progress window to go")
    wait_for(lambda: main.find("push button", "Add").enabled, "the main window enabled again")
    # Nothing is left of the stopped file, finished or not.
    wait_for(lambda: os.listdir(s.output_folder) == [], f"an empty output folder: {os.listdir(s.output_folder)}")

    # Convert works again; the main window's close box asks to stop too.
    main.button("Convert").click()
    progress = kelvaro.progress()
    still_converting(progress, "")
    kelvaro.close(main)
    question = kelvaro.message()
    assert question.text == "Do you really want to stop?", question.text
    question.answer("Yes")
    wait_for(lambda: not progress.showing, "the progress window to go")
    wait_for(lambda: os.listdir(s.output_folder) == [], f"an empty output folder: {os.listdir(s.output_folder)}")
    assert kelvaro.running()


@limit(180)
def scenario_two_files_at_once(s):
    # Two files converted at once; the list shows both under way, and a
    # stop leaves nothing of either.
    s.write_option_file("[Source]\nSimultaneous jobs=2\n")
    kelvaro, main, progress, text = start_converting(s, ["first.avi", "second.avi"])
    wait_for(lambda: main.states() == ["converting", "converting"], f"both rows converting: {main.states()}")
    ask_to_stop_and_answer(kelvaro, progress, "Cancel", "Yes")
    wait_for(lambda: not progress.showing, "the progress window to go")
    wait_for(lambda: main.states() == ["", ""], f"no row converting any more: {main.states()}")
    wait_for(lambda: os.listdir(s.output_folder) == [], f"an empty output folder: {os.listdir(s.output_folder)}")


def scenario_a_killed_encoder_leaves_nothing(s):
    # As the out-of-memory killer would: the encoder dies mid-file.
    kelvaro = start_converting_a_film(s)[0]
    encoder = os.path.join(s.program, "morlenc")
    subprocess.run(["pkill", "-KILL", "-f", "^" + encoder], check=True)
    report = kelvaro.message(timeout=60)
    assert report.text.startswith("Finished with errors."), report.text
    assert report.details.endswith("film.avi: the encoder stopped unexpectedly"), report.details
    report.answer("OK")
    # Nothing is left in the folder, not even a hidden file.
    wait_for(lambda: os.listdir(s.output_folder) == [], f"an empty output folder: {os.listdir(s.output_folder)}")
