#!/usr/bin/python3
"""Runs the scenarios of one file, each on its own desktop with its own copy
of the program folder and its own profile:

    run.py FILE [SCENARIO ...]

The file's scenarios share one session bus and accessibility bus of their
own, so that files can run side by side.

A scenario is a function named scenario_...; they run in the order the file
defines them. One that fails leaves a screenshot of its desktop and the
program's output in $KELVARO_ACCEPTANCE_ARTEFACTS and prints both paths and
the output."""

import importlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

from desktop import Timeout
from kelvaro import DEFAULT_LIMIT, Session

def on_alarm(signum, frame):
    raise Timeout("the scenario ran out of time")


def run_scenario(file_name, name, scenario, artefacts):
    started = time.monotonic()
    try:
        session = Session(name)
    except Exception:
        print(f"FAIL {name}: its desktop did not start")
        traceback.print_exc(file=sys.stdout)
        return False
    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(getattr(scenario, "limit", DEFAULT_LIMIT))
    failed = False
    try:
        scenario(session)
    except BaseException:
        failed = True
        signal.alarm(0)
        os.makedirs(artefacts, exist_ok=True)
        stem = os.path.join(artefacts, f"{file_name}.{name}")
        try:
            session.desktop.screenshot(stem + ".png")
        except Exception as error:
            print(f"no screenshot: {error}")
        with open(stem + ".log", "w") as log:
            log.write(session.output())
        print(f"FAIL {name} after {time.monotonic() - started:.1f} s")
        traceback.print_exc(file=sys.stdout)
        print(f"screenshot: {stem}.png\nprogram output: {stem}.log")
        print(session.output())
    finally:
        signal.alarm(0)
        session.close()
    if not failed:
        print(f"PASS {name} ({time.monotonic() - started:.1f} s)")
    return not failed


def in_own_session():
    """Runs this script again inside a session bus of its own. The
    accessibility bus's launcher puts its socket in $XDG_RUNTIME_DIR (or one
    shared folder without it), so each run gets its own folder too."""
    runtime = tempfile.mkdtemp(prefix="kelvaro-runtime-")
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, KELVARO_ACCEPTANCE_SESSION=runtime)
    env.pop("DISPLAY", None)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    try:
        return subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv], env=env).returncode
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


def main():
    if "KELVARO_ACCEPTANCE_SESSION" not in os.environ:
        sys.exit(in_own_session())
    file_name = sys.argv[1]
    module = importlib.import_module(file_name)
    wanted = sys.argv[2:]
    scenarios = [(name, function) for name, function in vars(module).items()
                 if name.startswith("scenario_") and (not wanted or name in wanted)]
    artefacts = os.environ.get("KELVARO_ACCEPTANCE_ARTEFACTS", "acceptance-failures")
    # What an earlier run of this file left would read as this run's.
    if os.path.isdir(artefacts):
        for old in os.listdir(artefacts):
            if old.startswith(file_name + "."):
                os.remove(os.path.join(artefacts, old))
    started = time.monotonic()
    passed = sum(run_scenario(file_name, name, function, artefacts) for name, function in scenarios)
    print(f"{passed} of {len(scenarios)} scenarios passed in {time.monotonic() - started:.1f} s")
    sys.exit(0 if passed == len(scenarios) else 1)


if __name__ == "__main__":
    main()
