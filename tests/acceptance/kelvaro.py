"""Kelvaro as a person meets it: its own copy of the program folder, its own
home and profile, started on a private desktop, its windows found by their
titles and its controls by their names."""

import os
import shutil
import signal
import stat
import subprocess
import tempfile

import pyatspi

from desktop import DEFAULT_WAIT, Desktop, Node, die_with_parent, wait_for

PROGRAM_FOLDER = os.environ["KELVARO_PROGRAM_DIR"]
DEFAULT_LIMIT = 90  # seconds a scenario may take


def limit(seconds):
    """Gives a scenario a time limit other than the default."""
    def mark(scenario):
        scenario.limit = seconds
        return scenario
    return mark

# Records what the desktop was asked to open, one address a line, instead of
# starting a browser.
OPENER = """#!/bin/sh
printf '%s\\n' "$*" >> "$KELVARO_OPENED"
"""


class Session:
    """One scenario's world."""

    def __init__(self, name):
        self.name = name
        self.root = tempfile.mkdtemp(prefix="kelvaro-")
        self.program = os.path.join(self.root, "program")
        shutil.copytree(PROGRAM_FOLDER, self.program, symlinks=True)
        for stale in ("option.ini", "version.ini"):
            if os.path.exists(os.path.join(self.program, stale)):
                os.remove(os.path.join(self.program, stale))
        self.home = os.path.join(self.root, "home")
        os.mkdir(self.home)
        # Not made: a new person's configuration folder may not exist yet.
        self.config = os.path.join(self.home, ".config")
        self.opened = os.path.join(self.root, "opened.txt")
        bin_folder = os.path.join(self.root, "bin")
        os.mkdir(bin_folder)
        opener = os.path.join(bin_folder, "xdg-open")
        with open(opener, "w") as file:
            file.write(OPENER)
        os.chmod(opener, stat.S_IRWXU)
        self.desktop = Desktop(self.root)
        runtime = os.path.join(self.root, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(self.desktop.env, HOME=self.home, XDG_CONFIG_HOME=self.config,
                        XDG_RUNTIME_DIR=runtime, KELVARO_OPENED=self.opened,
                        PATH=bin_folder + os.pathsep + os.environ["PATH"],
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                        LANG="C.UTF-8", LC_ALL="C.UTF-8")
        for variable in ("QT_QPA_PLATFORM", "SESSION_MANAGER"):
            self.env.pop(variable, None)
        self.programs = []

    def skip_tip(self):
        """As for a person who switched Tip of the Day off long ago."""
        os.makedirs(self.config, exist_ok=True)
        with open(os.path.join(self.config, "kelvaro.ini"), "w") as profile:
            profile.write("[Tip]\nStartUp=1\n")

    def place(self, name, video, folder="Videos"):
        """Puts a video into a folder of this scenario's home under the
        name a person gave it; returns its path."""
        path = os.path.join(self.home, folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        os.symlink(video, path)
        return path

    def start_main(self, *arguments, rows=None):
        """Kelvaro started without Tip of the Day, and its main window, once
        it shows `rows` rows when given."""
        self.skip_tip()
        kelvaro = self.start(*arguments)
        main = kelvaro.main()
        if rows is not None:
            main.wait_rows(rows)
        return kelvaro, main

    def start(self, *arguments, folder=None):
        """Starts Kelvaro as a person does, from their home folder or the
        folder given."""
        kelvaro = Kelvaro(self, arguments, len(self.programs), folder or self.home)
        self.programs.append(kelvaro)
        return kelvaro

    def drag_files(self, paths, onto):
        """Drags the files from a file manager's window onto the node `onto`;
        returns the drag source's process, which says "dropped" once the drop
        has returned."""
        source = subprocess.Popen([os.environ["KELVARO_DRAG_SOURCE"], *paths], env=self.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                  preexec_fn=die_with_parent)
        window = wait_for(lambda: next((w for w in self.desktop.windows() if w.pid == source.pid), None),
                          "the drag source's window")
        x, y, width, height = window.client
        self.desktop.drag((x + width // 2, y + height // 2), onto.centre)
        return source

    def output(self):
        """What every Kelvaro of this scenario printed."""
        texts = []
        for kelvaro in self.programs:
            with open(kelvaro.log_path, errors="replace") as log:
                texts.append(f"--- kelvaro run {kelvaro.number + 1} ---\n{log.read()}")
        return "\n".join(texts)

    def close(self, keep=False):
        for kelvaro in self.programs:
            kelvaro.kill()
        self.desktop.close()
        if not keep:
            shutil.rmtree(self.root, ignore_errors=True)

    @property
    def output_folder(self):
        return os.path.join(self.home, "ipod video")

    def opened_addresses(self):
        if not os.path.exists(self.opened):
            return []
        with open(self.opened) as file:
            return file.read().splitlines()

    def write_option_file(self, text):
        """option.ini as a person (or an older version) left it."""
        with open(os.path.join(self.program, "option.ini"), "w") as file:
            file.write(text)

    def option_file(self):
        """option.ini as a dict of "section/key" to value."""
        values = {}
        section = ""
        with open(os.path.join(self.program, "option.ini")) as file:
            for line in file:
                line = line.strip()
                if line.startswith("["):
                    section = line.strip("[]")
                elif "=" in line:
                    key, value = line.split("=", 1)
                    values[f"{section}/{key.strip()}"] = value.strip()
        return values


class Kelvaro:
    """One run of the program."""

    def __init__(self, session, arguments, number, folder):
        self.session = session
        self.desktop = session.desktop
        self.number = number
        self.log_path = os.path.join(session.root, f"kelvaro-{number + 1}.log")
        with open(self.log_path, "w") as log:
            self.process = subprocess.Popen(
                [os.path.join(session.program, "kelvaro"), *arguments], cwd=folder,
                env=session.env, stdout=log, stderr=subprocess.STDOUT, preexec_fn=die_with_parent)
        self._app = None

    @property
    def app(self):
        if self._app is None:
            pid = self.process.pid
            self._app = wait_for(lambda: self._find_app(pid), "Kelvaro on the accessibility bus")
        return self._app

    def _find_app(self, pid):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return Node(self.desktop, app)
        return None

    def windows(self):
        """The program's windows on the screen."""
        return [w for w in self.app.children() if w.showing]

    def window(self, title, role=None, containing=None, timeout=DEFAULT_WAIT):
        """The showing window of that title (and role), optionally the one
        that holds a control of that name."""
        def find():
            for window in self.windows():
                if window.name != title or (role and window.role != role):
                    continue
                if containing and not window.descendants(name=containing):
                    continue
                return window
            return None
        return wait_for(find, f"the window {title!r}", timeout)

    def main(self, timeout=DEFAULT_WAIT):
        return MainWindow(self.window("Kelvaro", containing="Convert", timeout=timeout))

    def progress(self, timeout=DEFAULT_WAIT):
        return self.window("Kelvaro", containing="Progress", timeout=timeout)

    def tip(self, timeout=DEFAULT_WAIT):
        return self.window("Tip of the Day", timeout=timeout)

    def message(self, caption="kelvaro", timeout=DEFAULT_WAIT):
        """A message box; its text is `Message.text`."""
        return Message(self.window(caption, role="alert", timeout=timeout))

    def has_window(self, title, role=None):
        try:
            return any(w.name == title and (role is None or w.role == role) for w in self.windows())
        except Exception:
            return False

    def x_windows(self):
        """Kelvaro's windows as the window manager stacks them, bottom to top."""
        return [w for w in self.desktop.windows() if w.pid == self.process.pid]

    def x_window(self, window):
        """The window manager's side of a window found on the bus."""
        extents = window.extents
        return wait_for(lambda: next((w for w in self.x_windows() if w.client == extents), None),
                        f"the window manager's window for {window.name!r}")

    def close(self, window):
        """Clicks the window's close box."""
        self.desktop.click(*self.x_window(window).close_box())

    def exited(self, timeout=DEFAULT_WAIT):
        wait_for(lambda: self.process.poll() is not None, "Kelvaro to end", timeout)
        return self.process.returncode

    def running(self):
        return self.process.poll() is None

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()


class MainWindow(Node):
    def __init__(self, node):
        super().__init__(node.desktop, node.accessible)

    @property
    def list(self):
        return self.find("tree", "Video files")

    def rows(self):
        """The list's rows as (number, path, duration), top to bottom."""
        cells = [cell.name for cell in self.list.descendants("table cell", showing=False)]
        return [(int(cells[i]), cells[i + 1], cells[i + 2]) for i in range(0, len(cells), 3)]

    def paths(self):
        return [os.path.basename(path) for _, path, _ in self.rows()]

    def states(self):
        """Where each row stands in the batch, as a screen reader hears it
        ("converting", "converted", "not converted" or nothing)."""
        cells = self.list.descendants("table cell", showing=False)
        return [cell.accessible.description for cell in cells[0::3]]

    def row(self, index):
        """The path cell of a row (0 is the top), to click on."""
        return self.list.descendants("table cell")[index * 3 + 1]

    def selected_rows(self):
        cells = self.list.descendants("table cell", showing=False)
        return sorted({i // 3 for i, cell in enumerate(cells) if cell.selected})

    def wait_rows(self, count, timeout=DEFAULT_WAIT):
        return wait_for(lambda: len(self.rows()) == count and self.rows(), f"{count} rows in the list", timeout)


class Message(Node):
    def __init__(self, node):
        super().__init__(node.desktop, node.accessible)

    @property
    def text(self):
        return "\n".join(label.name for label in self.descendants("label"))

    @property
    def details(self):
        """The list under the text, when the message has one."""
        return self.find("text").accessible.queryText().getText(0, -1)

    def answer(self, button):
        self.button(button).click()
