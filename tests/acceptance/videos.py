"""Test videos, made at test time with the ffmpeg command and kept for the
rest of the run in one folder (made once, shared by the scenario files)."""

import os
import subprocess

FOLDER = os.environ["KELVARO_ACCEPTANCE_VIDEOS"]


def video(seconds, size="320x240", rate=25, audio=True):
    """A test picture with a tone, as an AVI file; a scenario gives it the
    name it needs with Session.place."""
    os.makedirs(FOLDER, exist_ok=True)
    name = f"{seconds}s-{size}-{rate}fps{'' if audio else '-silent'}.avi"
    path = os.path.join(FOLDER, name)
    if os.path.exists(path):
        return path
    command = ["ffmpeg", "-v", "error", "-nostdin", "-y",
               "-f", "lavfi", "-i", f"testsrc=size={size}:rate={rate}:duration={seconds}"]
    if audio:
        command += ["-f", "lavfi", "-i", f"sine=frequency=440:sample_rate=22050:duration={seconds}",
                    "-c:a", "aac", "-b:a", "32k", "-ac", "1"]
    # Written beside and renamed: scenario files run side by side.
    partial = f"{path}.{os.getpid()}.avi"
    subprocess.run(command + ["-c:v", "mpeg4", "-q:v", "10", partial], check=True)
    os.replace(partial, path)
    return path


def slow_video():
    """Twenty minutes of small pictures at 5 frames a second: quick to make,
    about half a minute to convert, so there is time to cancel."""
    return video(1200, rate=5)


def not_a_video():
    """A file that holds text."""
    os.makedirs(FOLDER, exist_ok=True)
    path = os.path.join(FOLDER, "not-a-video.txt")
    if not os.path.exists(path):
        with open(f"{path}.{os.getpid()}", "w") as file:
            file.write("This is not a video.\n")
        os.replace(f"{path}.{os.getpid()}", path)
    return path


def probe(path):
    """What ffprobe says of a file's streams: a list of dicts."""
    output = subprocess.run(
        ["ffprobe", "-v", "error", "-show_entries",
         "stream=codec_type,codec_name,codec_tag_string,width,height,avg_frame_rate,sample_rate",
         "-of", "compact=p=0", path], check=True, capture_output=True, text=True).stdout
    streams = []
    for line in output.splitlines():
        streams.append(dict(field.split("=", 1) for field in line.split("|")))
    return streams
