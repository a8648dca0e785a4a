"""The application as a screen reader meets it: a private X server, the
AT-SPI bus of the D-Bus session this runs in (start it under
dbus-run-session), and the real binary with accessibility on. Objects are
found and driven through AT-SPI alone."""

import aifc
import datetime
import os
import plistlib
import shutil
import signal
import subprocess
import tempfile
import time

import pyatspi

# Long enough for a loaded machine; a wait that runs out fails the test
# with what it waited for, it never hangs.
DEADLINE = 30.0


class Timeout(AssertionError):
    pass


def wait_for(what, condition):
    """Polls the condition until it gives something true; the deadline is
    only an end to a hang, never a pass/fail by speed."""
    ends = time.monotonic() + DEADLINE
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > ends:
            raise Timeout("waited %d s for %s" % (DEADLINE, what))
        time.sleep(0.05)


# An object can go while it is read (a row scrolled away, a screen
# closed): it then has no role, name or states.

def role(obj):
    try:
        return obj.getRoleName()
    except Exception:
        return ""


def name(obj):
    try:
        return obj.name
    except Exception:
        return ""


def states(obj):
    try:
        return {pyatspi.stateToString(s) for s in obj.getState().getStates()}
    except Exception:
        return set()


def children(obj):
    try:
        return [obj.getChildAtIndex(i) for i in range(obj.childCount)]
    except Exception:  # an object gone while it was read
        return []


def walk(obj):
    yield obj
    for child in children(obj):
        if child is not None:
            yield from walk(child)


def is_showing(obj):
    return "showing" in states(obj)


def actions(obj):
    try:
        action = obj.queryAction()
        return [action.getName(i) for i in range(action.nActions)]
    except Exception:  # none, or gone while read
        return []


def do_action(obj, name):
    action = obj.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            if not action.doAction(i):
                raise AssertionError("%s refused %s" % (describe(obj), name))
            return
    raise AssertionError("%s has no action %s, only %s" % (describe(obj), name, actions(obj)))


def describe(obj):
    return "%s %r" % (role(obj), name(obj))


class App:
    """One run of the window in a home of its own."""

    def __init__(self, binary, home=None, audio="virtual"):
        self.binary = binary
        self.home = home or tempfile.mkdtemp(prefix="vn-atspi-")
        self.audio = audio
        self.xvfb = None
        self.process = None
        self.root = None

    def documents(self):
        return os.path.join(self.home, ".local/share/voicenotes/Documents")

    def settings_file(self):
        return os.path.join(self.home, ".config/voicenotes/voicenotes.conf")

    def store(self):
        path = os.path.join(self.documents(), "data.plist")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            return plistlib.load(f)

    def seed_note(self, seconds, rate=8000):
        """A silent note of that length in the store, as a recording leaves
        one, before the application starts."""
        os.makedirs(self.documents(), exist_ok=True)
        path = "/seeded-%d.aif" % seconds
        with aifc.open(self.documents() + path, "wb") as audio:
            audio.setnchannels(1)
            audio.setsampwidth(2)
            audio.setframerate(rate)
            audio.writeframes(bytes(2 * seconds * rate))
        record = {"Title": "Note 1", "Path": path, "Date": datetime.datetime.now(), "Icon": "YellowIcon",
                  "Lengh": [seconds // 60, seconds % 60], "NoteID": 1, "numPackets": seconds * rate,
                  "SampleRate": rate}
        with open(os.path.join(self.documents(), "data.plist"), "wb") as f:
            plistlib.dump([record], f)

    def start(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            display = ":" + f.readline().strip()
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        env.pop("WAYLAND_DISPLAY", None)
        # The registry up before the application asks to be embedded in it.
        wait_for("the AT-SPI registry", lambda: pyatspi.Registry.getDesktop(0) is not None)
        self.process = subprocess.Popen(
            [self.binary, "--home", self.home, "--audio-device", self.audio],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.root = wait_for("the application on the AT-SPI bus", self._find_application)
        # The window's role is checked by the tests, not assumed here.
        self.window = wait_for("its window", lambda: next((c for c in children(self.root) if c is not None), None))
        # The keyboard's focus, which some flows follow, needs the window active.
        wait_for("the window to be active", lambda: "active" in states(self.window))
        return self

    def _find_application(self):
        if self.process.poll() is not None:
            raise AssertionError("the application ended: %s" % self.process.stderr.read().decode())
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            try:
                if app is not None and app.get_process_id() == self.process.pid and app.childCount > 0:
                    return app
            except Exception:
                continue
        return None

    def quit(self):
        """Ends the application as the desktop does, letting it store what
        it keeps for later."""
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=DEADLINE)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def stop(self):
        self.quit()
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    # Finding what a person would reach.

    def showing(self):
        return [o for o in walk(self.window) if o is not None and is_showing(o)]

    def find(self, role_name, wanted=None, showing=True):
        for obj in walk(self.window):
            try:
                if obj is None or role(obj) != role_name:
                    continue
                if wanted is not None and name(obj) != wanted:
                    continue
                if showing and not is_showing(obj):
                    continue
                return obj
            except Exception:  # an object gone while it was read
                continue
        return None

    def wait_find(self, role_name, wanted=None):
        return wait_for("%s %r" % (role_name, wanted), lambda: self.find(role_name, wanted))

    def press(self, wanted, role_name="push button"):
        do_action(self.wait_find(role_name, wanted), "Press")

    def row(self, prefix, within=None):
        """The showing list item whose name starts so."""
        def found():
            for obj in walk(within or self.window):
                if obj is not None and role(obj) == "list item" and name(obj).startswith(prefix) and is_showing(obj):
                    return obj
            return None
        return wait_for("the row %r" % prefix, found)

    def press_row(self, prefix, within=None):
        do_action(self.row(prefix, within), "Press")

    def gone(self, role_name, wanted):
        wait_for("%s %r to go" % (role_name, wanted), lambda: self.find(role_name, wanted) is None)

    def settings(self):
        try:
            with open(self.settings_file(), encoding="utf-8") as f:
                return f.read()
        except FileNotFoundError:
            return ""


# What a person reaches must say what it is.
REACHABLE_ROLES = {"push button", "check box", "toggle button", "list", "list item", "slider", "progress bar",
                   "text", "password text", "spin button", "scroll bar", "frame"}


def problems_in_tree(window):
    """Every showing object a person can act on or move to: its name and
    role; and nothing shows inside what does not."""
    found = []
    for obj in walk(window):
        try:
            found += problems_of(obj, window)
        except Exception as error:  # an object gone while it was read
            if "defunct" not in str(error).lower():
                raise
    return found


def problems_of(obj, window):
    if obj is None or not is_showing(obj):
        return []
    found = []
    parent = obj.parent
    if parent is not None and parent != window.parent and not is_showing(parent):
        found.append("%s shows inside a hidden %s" % (describe(obj), describe(parent)))
    reachable = "focusable" in states(obj) or [a for a in actions(obj) if a != "SetFocus"]
    if not reachable and role(obj) not in ("progress bar", "list"):
        return found
    if not name(obj).strip():
        found.append("%s without a name" % describe(obj))
    if role(obj) not in REACHABLE_ROLES:
        found.append("%s with an unexpected role" % describe(obj))
    return found
