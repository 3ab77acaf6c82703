"""Converting: the progress window over the main window, the report at the
end, and what the files hold."""

import os

from desktop import wait_for
from videos import probe, video


def check_progress_window_over(kelvaro, main, progress):
    """The window manager stacks the progress window above the main window,
    tied to it and inside its frame."""
    stack = kelvaro.x_windows()
    over, under = kelvaro.x_window(progress), kelvaro.x_window(main)
    assert over.transient_for == under.id, stack
    assert stack.index(over) > stack.index(under), stack
    assert over.covers(under), stack


def scenario_convert_two_files(s):
    wide = s.place("Holiday at the sea.avi", video(60, size="640x360", rate=25))
    tall = s.place("Phone clip.avi", video(2, size="240x320"))
    kelvaro, main = s.start_main(wide, tall, rows=2)
    main.button("Convert").click()

    progress = kelvaro.progress()
    check_progress_window_over(kelvaro, main, progress)
    assert not main.find("push button", "Add").enabled
    # Its text and bar move while the files are converted.
    text = progress.find("label")
    seen = set()
    wait_for(lambda: seen.add(text.name) or len({t for t in seen if "Finished" in t}) >= 3,
             "three different progress texts", timeout=60)
    if "KELVARO_SCREENSHOTS" in os.environ:
        # For the README: a moment when every figure has moved.
        wait_for(lambda: "Elapsed time:00:00:00" not in text.name, "a second of converting")
        s.desktop.screenshot(os.path.join(os.environ["KELVARO_SCREENSHOTS"], "progress.png"),
                             area=kelvaro.x_window(main).frame)

    done = kelvaro.message(timeout=120)
    assert done.text.startswith("Mission accomplished! Total Time:00:00:"), done.text
    assert not progress.showing
    done.answer("OK")
    wait_for(lambda: main.find("push button", "Add").enabled, "the main window enabled again")

    for name in ("Holiday at the sea.mp4", "Phone clip.mp4"):
        video_stream, audio_stream = probe(os.path.join(s.output_folder, name))
        assert video_stream["codec_name"] == "mpeg4" and video_stream["codec_tag_string"] == "mp4v", video_stream
        assert (video_stream["width"], video_stream["height"]) == ("320", "240"), video_stream
        assert video_stream["avg_frame_rate"] == "30000/1001", video_stream
        assert audio_stream["codec_name"] == "aac" and audio_stream["sample_rate"] == "44100", audio_stream
    assert sorted(os.listdir(s.output_folder)) == ["Holiday at the sea.mp4", "Phone clip.mp4"]


def scenario_nothing_to_convert(s):
    s.skip_tip()
    kelvaro = s.start()
    kelvaro.main().button("Convert").click()
    message = kelvaro.message()
    assert message.text == "No file in the list"
    message.answer("OK")


def scenario_a_relative_output_folder(s):
    # "My Videos" lies in the folder Kelvaro is started in; "ipod" in it is
    # made at Add, which moves the current folder: Convert still finds it.
    os.mkdir(os.path.join(s.home, "My Videos"))
    s.write_option_file("[Destinate]\nTemporary folder=My Videos/ipod/\n")
    kelvaro, main = s.start_main(s.place("clip.avi", video(2)), rows=1)
    main.button("Convert").click()
    done = kelvaro.message(timeout=60)
    assert done.text.startswith("Mission accomplished!"), done.text
    done.answer("OK")
    assert os.listdir(os.path.join(s.home, "My Videos", "ipod")) == ["clip.mp4"]
    kelvaro.close(main)
    assert kelvaro.exited() == 0
    # Kept as the person wrote it.
    assert s.option_file()["Destinate/Temporary folder"] == "My Videos/ipod/"
