"""A private desktop for one scenario: an X server (Xvfb) with a real window
manager (openbox), the windows' controls found over the accessibility bus
(AT-SPI) and acted on with real pointer and key events (XTEST, by xdotool).

Nothing here presses a button through the accessibility bus: a click is a
pointer event at the control's place on the screen, so it lands on whatever
a person's click would land on there (another window on top, a disabled
window, a modal question).
"""

import ctypes
import os
import re
import signal
import subprocess
import time

import pyatspi
from gi.repository import GLib

DEFAULT_WAIT = 20.0


class Timeout(AssertionError):
    pass


def wait_for(condition, what, timeout=DEFAULT_WAIT):
    """Returns the first true value `condition` gives, polling; accessible
    objects that vanish while being read count as "not yet"."""
    deadline = time.monotonic() + timeout
    while True:
        _dispatch_events()
        try:
            value = condition()
        except Exception:  # an object gone from the bus, a window closing
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"waited {timeout:g} s for {what}")
        time.sleep(0.1)


def die_with_parent():
    """For Popen's preexec_fn: the child is killed when this script ends,
    however it ends (a test runner's time limit kills it outright)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def _dispatch_events():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


class _Popups:
    """Menus that have popped up. Qt lists no popup among a program's windows
    on the bus, but it says when one shows."""

    def __init__(self):
        self.shown = []
        pyatspi.Registry.registerEventListener(self._on_showing, "object:state-changed:showing")

    def _on_showing(self, event):
        try:
            if event.detail1 and event.source.getRoleName() == "popup menu":
                self.shown.append(event.source)
        except Exception:  # the source has gone already
            pass


_popups = None


def watch_popups():
    """Starts noting menus that pop up; call before any is expected."""
    global _popups
    if _popups is None:
        _popups = _Popups()


def run(*command, env=None):
    return subprocess.run(command, env=env, check=True, capture_output=True, text=True).stdout


class Desktop:
    """Xvfb and openbox, started in `folder`; `env` is what programs on this
    desktop are started with."""

    def __init__(self, folder, size="1280x800"):
        self.folder = folder
        # Under load a new X server now and then loses its display to one
        # that is going away beside it (seen with several desktops starting
        # and stopping at once); a desktop that does not come up is made
        # again, and a third failure is reported with both logs.
        for attempt in range(3):
            problem = self._start(size, attempt)
            if problem is None:
                break
            print(f"desktop not started, trying again: {problem}")
            self._stop()
        else:
            raise RuntimeError(problem)
        watch_popups()

    def _start(self, size, attempt):
        """Starts Xvfb and openbox; None when both run, else what failed."""
        read_end, write_end = os.pipe()
        self._xvfb_log = open(os.path.join(self.folder, f"xvfb-{attempt}.log"), "w")
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=self._xvfb_log, stderr=subprocess.STDOUT,
            preexec_fn=die_with_parent)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        self.env = dict(os.environ, DISPLAY=f":{display}")
        self._wm_log = open(os.path.join(self.folder, f"openbox-{attempt}.log"), "w")
        self._wm = None
        if not display:
            return "Xvfb did not start: " + self._logs()
        self._wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=self._wm_log,
                                    stderr=subprocess.STDOUT, preexec_fn=die_with_parent)
        try:
            wait_for(lambda: self._wm.poll() is not None
                     or "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.xprop("-root"), "the window manager")
        except Timeout:
            return f"openbox did not start on :{display}: " + self._logs()
        if self._wm.poll() is not None:
            return f"openbox ended on :{display} with {self._wm.poll()}: " + self._logs()
        return None

    def _logs(self):
        texts = []
        for log in (self._xvfb_log, self._wm_log):
            log.flush()
            with open(log.name, errors="replace") as file:
                texts.append(f"{os.path.basename(log.name)}: {file.read().strip()}")
        return "; ".join(texts)

    def _stop(self):
        for process in (self._wm, self._xvfb):
            if process is None:
                continue
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self._xvfb_log.close()
        self._wm_log.close()

    def close(self):
        self._stop()

    def xprop(self, *arguments):
        return run("xprop", *arguments, env=self.env)

    def xdotool(self, *arguments):
        return run("xdotool", *arguments, env=self.env)

    def screenshot(self, path, area=None):
        """The whole screen, or the area (x, y, width, height) of it."""
        crop = ["-crop", "{2}x{3}+{0}+{1}".format(*area), "+repage"] if area else []
        run("import", "-window", "root", *crop, path, env=self.env)

    def picture(self, area):
        """The pixels of an area (x, y, width, height) of the screen, to
        compare with another picture of it."""
        crop = "{2}x{3}+{0}+{1}".format(*area)
        return subprocess.run(["import", "-window", "root", "-crop", crop, "+repage", "rgb:-"], env=self.env,
                              check=True, capture_output=True).stdout

    # Real input, where a person's hand would put it.
    def click(self, x, y, button=1, count=1, holding=None):
        """Clicks at a place on the screen, `holding` a key such as "ctrl"."""
        # The X server takes the events in order: the press lands where the
        # pointer has moved to.
        command = ["mousemove", str(x), str(y)]
        if holding:
            command += ["keydown", holding]
        command += ["click", "--repeat", str(count), "--delay", "80", str(button)]
        if holding:
            command += ["keyup", holding]
        self.xdotool(*command)

    def drag(self, start, end):
        """Presses the first button at `start`, moves the pointer to `end` in
        steps, as a hand does, and lets go there."""
        self.xdotool("mousemove", str(start[0]), str(start[1]), "mousedown", "1")
        for step in range(1, 11):
            x = start[0] + (end[0] - start[0]) * step // 10
            y = start[1] + (end[1] - start[1]) * step // 10
            self.xdotool("mousemove", str(x), str(y), "sleep", "0.05")
        self.xdotool("sleep", "0.2", "mouseup", "1")

    def press(self, *keys):
        for key in keys:
            self.xdotool("key", key)

    def type(self, text):
        self.xdotool("type", "--delay", "15", text)

    def popup_menu(self, timeout=DEFAULT_WAIT):
        """The menu that popped up last and still shows."""
        def find():
            for menu in reversed(_popups.shown):
                node = Node(self, menu)
                if node.showing:
                    return node
            return None
        return wait_for(find, "a menu to pop up", timeout)

    def windows(self):
        """The managed windows, bottom to top, as the window manager stacks
        them."""
        listing = self.xprop("-root", "_NET_CLIENT_LIST_STACKING")
        return [XWindow(self, int(w, 16)) for w in re.findall(r"0x[0-9a-f]+", listing)]


class XWindow:
    """A window as the window manager sees it."""

    def __init__(self, desktop, wid):
        self.id = wid
        facts = desktop.xprop("-id", hex(wid), "-notype", "WM_NAME", "WM_TRANSIENT_FOR",
                              "_NET_FRAME_EXTENTS", "_NET_WM_PID")
        name = re.search(r'^WM_NAME = "(.*)"$', facts, re.M)
        self.name = name.group(1) if name else ""
        owner = re.search(r"^WM_TRANSIENT_FOR: window id # (0x[0-9a-f]+)", facts, re.M)
        self.transient_for = int(owner.group(1), 16) if owner else None
        pid = re.search(r"^_NET_WM_PID = (\d+)", facts, re.M)
        self.pid = int(pid.group(1)) if pid else None
        extents = re.search(r"^_NET_FRAME_EXTENTS = (\d+), (\d+), (\d+), (\d+)", facts, re.M)
        left, right, top, bottom = map(int, extents.groups()) if extents else (0, 0, 0, 0)
        info = run("xwininfo", "-id", hex(wid), env=desktop.env)
        field = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        x, y = field("Absolute upper-left X"), field("Absolute upper-left Y")
        self.client = (x, y, field("Width"), field("Height"))
        self.frame = (x - left, y - top, self.client[2] + left + right, self.client[3] + top + bottom)
        self.title_height = top

    def close_box(self):
        """Where the window manager draws the close box: the right end of the
        title bar."""
        x, y, width, _ = self.frame
        return x + width - 10, y + self.title_height // 2

    def covers(self, other):
        ax, ay, aw, ah = self.frame
        bx, by, bw, bh = other.frame
        return bx <= ax and by <= ay and ax + aw <= bx + bw and ay + ah <= by + bh

    def __eq__(self, other):
        return isinstance(other, XWindow) and other.id == self.id

    def __repr__(self):
        return f"<{self.name!r} {hex(self.id)} {self.frame}>"


class Node:
    """A control or window found over the accessibility bus."""

    def __init__(self, desktop, accessible):
        self.desktop = desktop
        self.accessible = accessible

    role = property(lambda self: self.accessible.getRoleName())
    name = property(lambda self: self.accessible.name)
    description = property(lambda self: self.accessible.description)

    def has(self, state):
        return self.accessible.getState().contains(state)

    showing = property(lambda self: self.has(pyatspi.STATE_SHOWING))
    enabled = property(lambda self: self.has(pyatspi.STATE_ENABLED))
    checked = property(lambda self: self.has(pyatspi.STATE_CHECKED))
    selected = property(lambda self: self.has(pyatspi.STATE_SELECTED))
    active = property(lambda self: self.has(pyatspi.STATE_ACTIVE))

    @property
    def value(self):
        return self.accessible.queryValue().currentValue

    @property
    def extents(self):
        box = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    @property
    def centre(self):
        x, y, width, height = self.extents
        return x + width // 2, y + height // 2

    def children(self):
        return [Node(self.desktop, child) for child in self.accessible if child is not None]

    def descendants(self, role=None, name=None, showing=True):
        """Every descendant with that role and name (None: any), depth first
        in the order the bus lists them."""
        found = []

        def walk(accessible):
            for child in accessible:
                if child is None:
                    continue
                node = Node(self.desktop, child)
                if ((role is None or node.role == role) and (name is None or node.name == name)
                        and (not showing or node.showing)):
                    found.append(node)
                walk(child)

        walk(self.accessible)
        return found

    def find(self, role=None, name=None, timeout=DEFAULT_WAIT):
        """The first showing descendant with that role and name; waits for
        it to appear."""
        return wait_for(lambda: next(iter(self.descendants(role, name)), None),
                        f"{role or 'a control'} {name!r} in {self.name!r}", timeout)

    def button(self, name):
        return self.find("push button", name)

    def press(self, *keys):
        """Presses keys in this window once the window manager has made it
        the active window, as a person waits to see it so."""
        wait_for(lambda: self.active, f"{self.name!r} to be the active window")
        self.desktop.press(*keys)

    def click(self, button=1, count=1, holding=None):
        x, y = self.centre
        self.desktop.click(x, y, button, count, holding)

    def double_click(self):
        self.click(count=2)

    def right_click(self):
        self.click(button=3)

    def click_at(self, fraction_x, fraction_y=0.5, button=1):
        """Clicks at a place inside the control, given as fractions of its
        width and height."""
        x, y, width, height = self.extents
        self.desktop.click(x + int(width * fraction_x), y + int(height * fraction_y), button)

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"
