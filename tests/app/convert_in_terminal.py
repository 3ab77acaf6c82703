#!/usr/bin/python3
"""`kelvaro --convert` as a person uses it from a terminal with no display:

    convert_in_terminal.py PROGRAM_FOLDER

A short batch converts whole and exits 0; Ctrl-C during a long file stops it
at once, keeps the file finished before it and leaves nothing of the stopped
one; a file that is not a video makes the run exit 1 while the others are
converted. From a script, with its output in a pipe: started under nohup it
outlives a hang-up, converts a file whose name is not UTF-8 and writes a
line per 5 % rather than per second; a reader that goes away early (| head)
changes nothing. The settings file is read, never written."""

import os
import pty
import re
import select
import signal
import subprocess
import sys
import tempfile
import time

PROGRAM = sys.argv[1]
KELVARO = os.path.join(PROGRAM, "kelvaro")


def make_video(path, seconds, size="320x240"):
    subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-y",
                    "-f", "lavfi", "-i", f"testsrc2=size={size}:rate=25:duration={seconds}",
                    "-f", "lavfi", "-i", f"sine=frequency=440:sample_rate=48000:duration={seconds}",
                    "-c:v", "mpeg4", "-q:v", "5", "-c:a", "mp2", path], check=True)


def seconds_of(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def environment(home):
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    return env


def on_terminal(arguments, env, cwd, interrupt_when=None, timeout=300):
    """Runs kelvaro on a pseudo-terminal; types Ctrl-C once
    `interrupt_when(output so far)` holds. Returns the exit status and
    everything it wrote."""
    pid, master = pty.fork()
    if pid == 0:
        os.chdir(cwd)
        os.execve(KELVARO, [KELVARO] + arguments, env)
    seen = b""
    interrupted = False
    deadline = time.monotonic() + timeout
    while True:
        if time.monotonic() > deadline:
            os.kill(pid, signal.SIGKILL)
            raise AssertionError("kelvaro --convert did not end:\n" + seen.decode(errors="replace"))
        ready, _, _ = select.select([master], [], [], 0.1)
        if ready:
            try:
                chunk = os.read(master, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                break
            seen += chunk
        if interrupt_when and not interrupted and interrupt_when(seen.decode(errors="replace")):
            os.write(master, b"\x03")
            interrupted = True
    _, status = os.waitpid(pid, 0)
    os.close(master)
    return os.waitstatus_to_exitcode(status), seen.decode(errors="replace")


def through_pipe(arguments, env, cwd, hang_up=False, read_lines=None):
    """Runs kelvaro as a script does, its output in a pipe and SIGHUP ignored
    as nohup leaves it; hangs up once the first file has begun when
    `hang_up`; stops reading after `read_lines` lines, as `| head` does.
    Returns the exit status and the lines read."""
    process = subprocess.Popen([os.fsencode(KELVARO)] + arguments, cwd=cwd, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT,
                               preexec_fn=lambda: signal.signal(signal.SIGHUP, signal.SIG_IGN))
    lines = []
    for line in process.stdout:
        lines.append(line.decode(errors="replace"))
        if hang_up and line.startswith(b"File 1 of"):
            process.send_signal(signal.SIGHUP)
        if read_lines and len(lines) >= read_lines:
            break
    process.stdout.close()
    return process.wait(timeout=300), "".join(lines)


def past_first_file(output):
    """The first file is 2 of the batch's 122 seconds."""
    done = re.findall(r"Finished (\d+\.\d)%", output)
    return bool(done) and float(done[-1]) >= 3.0


def check(condition, what, output):
    if not condition:
        raise AssertionError(f"{what}\n--- kelvaro wrote:\n{output}")


def main():
    settings = os.path.join(PROGRAM, "option.ini")
    settings_before = os.path.getmtime(settings) if os.path.exists(settings) else None
    with tempfile.TemporaryDirectory(prefix="kelvaro-terminal-") as folder:
        home = os.path.join(folder, "home")
        os.makedirs(home)
        env = environment(home)
        make_video(os.path.join(folder, "first.avi"), 2)
        make_video(os.path.join(folder, "long.avi"), 120, "1280x720")
        with open(os.path.join(folder, "notes.avi"), "w") as text:
            text.write("not a video\n")

        # A short batch: whole, status 0.
        status, output = on_terminal(["--convert", "first.avi", "--output", "whole", "--resolution", "1"],
                                     env, folder)
        check(status == 0, f"a converted batch exits 0, not {status}", output)
        check(abs(seconds_of(os.path.join(folder, "whole", "first.mp4")) - 2) < 0.2, "the output is whole", output)
        check("%" in output, "the progress line shows the percentage", output)

        # Ctrl-C during the long file: the first is kept, nothing of the long one stays.
        status, output = on_terminal(["--convert", "first.avi", "long.avi", "--output", "stopped"], env, folder,
                                     interrupt_when=past_first_file)
        left = sorted(os.listdir(os.path.join(folder, "stopped")))
        check(status == 1, f"a stopped batch exits 1, not {status}", output)
        check("Stopped; 1 of 2 files were converted." in output, "the stop is reported", output)
        check(left == ["first.mp4"], f"only the finished file stays, not {left}", output)

        # A file that is not a video: reported, the rest converted, status 1.
        status, output = on_terminal(["--convert", "notes.avi", "first.avi", "--output", "mixed"], env, folder)
        check(status == 1, f"a batch with a failed file exits 1, not {status}", output)
        check("notes.avi" in output, "the failed file is named", output)
        check(os.listdir(os.path.join(folder, "mixed")) == ["first.mp4"], "the good file is converted", output)

        # From a script: a name in Latin-1 bytes, a pipe, nohup and a hang-up.
        latin1 = os.path.join(os.fsencode(folder), b"caf\xe9.avi")
        make_video(latin1, 60)
        status, output = through_pipe([b"--convert", b"caf\xe9.avi", b"--output", b"piped"], env, folder, hang_up=True)
        check(status == 0, f"a hang-up under nohup changes nothing, yet the status is {status}", output)
        check("café.avi" in output, "the name is shown readably", output)
        check(abs(seconds_of(os.path.join(folder, "piped", "café.mp4")) - 60) < 0.5, "the output is whole", output)
        progress = [line for line in output.splitlines() if "Finished" in line]
        check(2 <= len(progress) <= 25, f"a minute's progress takes {len(progress)} lines, not one per second",
              output)

        # A reader that stops early: the run goes on and ends as it would.
        status, output = through_pipe([b"--convert", b"caf\xe9.avi", b"--output", b"headed"], env, folder,
                                      read_lines=1)
        check(status == 0, f"a closed output changes nothing, yet the status is {status}", output)
        check(os.listdir(os.path.join(folder, "headed")) == ["café.mp4"], "the file is converted", output)

    settings_after = os.path.getmtime(settings) if os.path.exists(settings) else None
    assert settings_before == settings_after, "a run from the terminal does not write the settings"
    print("kelvaro --convert: whole batch, Ctrl-C, a failed file, a pipe, nohup and a Latin-1 name behave")


if __name__ == "__main__":
    main()
