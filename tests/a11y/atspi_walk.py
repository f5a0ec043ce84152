#!/usr/bin/python3
"""Walks the real program's windows through AT-SPI, as a screen reader sees
them, and fails when an interactive control or a list has no name.

    atspi_walk.py BIN_DIR SAMPLECAM_PATTERN

Runs itself again inside a D-Bus session and an Xvfb server of its own, with
the accessibility bus, the simulated instrument and a temporary program
folder, all started and stopped here."""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

INNER = "ZOLT7_ATSPI_INNER"
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
PASSWORD = "7294"  # the settings' default


HANGUL = re.compile("[\uac00-\ud7a3]")

def outer(argv):
    for tool in ("dbus-run-session", "xvfb-run"):
        if not shutil.which(tool):
            sys.exit(f"atspi_walk: {tool} is not installed")
    if not os.access(LAUNCHER, os.X_OK):
        sys.exit(f"atspi_walk: {LAUNCHER} is missing (package at-spi2-core)")
    cmd = ["dbus-run-session", "--", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -nolisten tcp",
           sys.executable, os.path.abspath(__file__)] + argv
    # xvfb-run -a can lose the race for a display number to another run on
    # the machine: a run that never reached the walk is tried again.
    for attempt in range(3):
        runtime = tempfile.mkdtemp(prefix="zolt7-atspi-run-")
        try:
            # The bus launcher keeps its socket in the runtime folder: one per run.
            os.chmod(runtime, 0o700)
            marker = os.path.join(runtime, "started")
            env = dict(os.environ, XDG_RUNTIME_DIR=runtime, **{INNER: marker})
            p = subprocess.Popen(cmd, env=env, start_new_session=True)
            try:
                rc = p.wait(timeout=170)
            except subprocess.TimeoutExpired:
                print("atspi_walk: the run did not end in 170 s", file=sys.stderr)
                os.killpg(p.pid, signal.SIGKILL)  # its own group: the bus, Xvfb, the program
                p.wait()
                return 1
            if os.path.exists(marker) or attempt == 2:
                return rc
            print(f"atspi_walk: D-Bus session or Xvfb did not start (code {rc}), trying again",
                  file=sys.stderr)
        finally:
            shutil.rmtree(runtime, ignore_errors=True)
    return 1


class Failure(Exception):
    pass


def poll(what, fn, timeout=20.0, step=0.1):
    end = time.monotonic() + timeout
    while True:
        try:
            v = fn()
        except Failure:
            raise
        except Exception:  # a window going away mid-look: look again
            v = None
        if v:
            return v
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(step)


class Procs:
    """Every process started here, stopped by its own id."""

    def __init__(self):
        self.procs = []

    def start(self, name, cmd, **kw):
        p = subprocess.Popen(cmd, **kw)
        self.procs.append((name, p))
        return p

    def stop_all(self):
        for name, p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


def start_bus(procs):
    bus = procs.start("at-spi-bus-launcher", [LAUNCHER, "--launch-immediately"],
                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def send(dest, path, method, *args):
        r = subprocess.run(["dbus-send", "--session", "--print-reply", f"--dest={dest}", path, method, *args],
                           capture_output=True, text=True, timeout=5)
        return r.stdout if r.returncode == 0 else ""

    def address():
        if bus.poll() is not None:
            raise Failure("at-spi-bus-launcher ended with code %d: %s"
                          % (bus.returncode, bus.stderr.read().decode(errors="replace").strip()))
        # Asked only once our launcher owns the name: asking earlier would
        # have the session bus start another one, out of our reach.
        owned = send("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                     "string:org.a11y.Bus")
        return "boolean true" in owned and "unix:" in send("org.a11y.Bus", "/org/a11y/bus",
                                                           "org.a11y.Bus.GetAddress")

    try:
        poll("the accessibility bus (org.a11y.Bus.GetAddress)", address, timeout=15, step=0.2)
    except Failure as e:
        raise Failure(f"the accessibility bus could not start: {e}")


CONTROLS = set()
LISTS = set()


def init_roles(pyatspi):
    global CONTROLS, LISTS
    R = pyatspi
    CONTROLS = {R.ROLE_PUSH_BUTTON, R.ROLE_TOGGLE_BUTTON, R.ROLE_CHECK_BOX, R.ROLE_RADIO_BUTTON,
                R.ROLE_COMBO_BOX, R.ROLE_TEXT, R.ROLE_ENTRY, R.ROLE_PASSWORD_TEXT, R.ROLE_SPIN_BUTTON,
                R.ROLE_DATE_EDITOR, R.ROLE_SLIDER}
    LISTS = {R.ROLE_LIST, R.ROLE_LIST_BOX, R.ROLE_TABLE, R.ROLE_TREE, R.ROLE_TREE_TABLE}


class Walker:
    def __init__(self, pyatspi, app_name, process):
        self.at = pyatspi
        self.app_name = app_name
        self.process = process
        self.rows = []  # (window, walked, unnamed paths)
        self.unreached = []

    # --- finding -----------------------------------------------------------
    def app(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended with code {self.process.returncode}")
        desktop = self.at.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == self.app_name:
                return a
        return None

    def showing(self, acc):
        s = acc.getState()
        return s.contains(self.at.STATE_SHOWING) or s.contains(self.at.STATE_VISIBLE)

    def windows(self):
        app = self.app()
        if app is None:
            return []
        ws = (app.getChildAtIndex(i) for i in range(app.childCount))
        return [w for w in ws if w is not None and self.showing(w)]

    def window(self, title, holding=None, timeout=20.0):
        """The showing window named `title`; with `holding`, the one that
        shows a text of that name (for a window that has no name)."""
        def look():
            for w in self.windows():
                if holding is None and w.name == title:
                    return w
                if holding is not None and any(a.name == holding for a in self.descend(w)):
                    return w
            return None
        try:
            return poll(f"the window '{title}'", look, timeout)
        except Failure as e:
            shown = ", ".join(f"'{w.name}'" for w in self.windows()) or "none"
            raise Failure(f"{e} (showing: {shown})")

    def find(self, root, name, roles=None, timeout=10.0):
        def look():
            for acc in self.descend(root):
                if acc.name == name and (roles is None or acc.getRole() in roles) and self.showing(acc):
                    return acc
            return None
        return poll(f"'{name}' in '{root.name}'", look, timeout)

    def descend(self, acc):
        stack = [acc]
        while stack:
            a = stack.pop()
            yield a
            if a.getRole() in LISTS or a.getRole() == self.at.ROLE_COMBO_BOX:
                continue  # cells, headers and popups belong to their list
            for i in reversed(range(a.childCount)):
                c = a.getChildAtIndex(i)
                if c is not None:
                    stack.append(c)

    # --- acting ------------------------------------------------------------
    def press(self, root, name):
        b = self.find(root, name, {self.at.ROLE_PUSH_BUTTON, self.at.ROLE_TOGGLE_BUTTON,
                                   self.at.ROLE_CHECK_BOX, self.at.ROLE_RADIO_BUTTON})
        poll(f"'{name}' enabled", lambda: b.getState().contains(self.at.STATE_ENABLED))
        action = b.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() in ("press", "click", "toggle"):
                action.doAction(i)
                return
        action.doAction(0)

    def type_into(self, root, name, text):
        R = self.at
        e = self.find(root, name, {R.ROLE_ENTRY, R.ROLE_TEXT, R.ROLE_PASSWORD_TEXT})
        try:
            e.queryEditableText().setTextContents(text)
            return
        except NotImplementedError:
            pass  # a password field takes no text over AT-SPI: typed instead
        e.queryComponent().grabFocus()
        poll(f"the focus in '{name}'", lambda: e.getState().contains(R.STATE_FOCUSED))
        R.Registry.generateKeyboardEvent(0, text, R.KEY_STRING)
        # The keys arrive later than this call returns.
        poll(f"the text typed into '{name}'", lambda: e.queryText().characterCount == len(text))

    def page_changed(self, win, before):
        """The index of the one page shown (a child holding others), once it
        is no longer `before`; as a list, so that index 0 counts as found."""
        pages = [i for i in range(win.childCount)
                 if win.getChildAtIndex(i).childCount and self.showing(win.getChildAtIndex(i))]
        return pages if len(pages) == 1 and pages != before else None

    def gone(self, win, timeout=10.0):
        def look():
            return all(w != win for w in self.windows())
        poll(f"the window '{win.name}' to close", look, timeout)

    def double_click(self, acc, window_title):
        # Straight to the X server: a table row has no AT-SPI action that
        # opens it. With no window manager under Xvfb nothing stacks a
        # window shown again above the others, so it is raised first.
        x, y, w, h = acc.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        c, ul, vp = ctypes, ctypes.c_ulong, ctypes.c_void_p
        X, T = c.CDLL("libX11.so.6"), c.CDLL("libXtst.so.6")
        X.XOpenDisplay.restype = vp
        X.XDefaultRootWindow.restype = ul
        X.XDefaultRootWindow.argtypes = X.XFlush.argtypes = X.XCloseDisplay.argtypes = [vp]
        X.XQueryTree.argtypes = [vp, ul, c.POINTER(ul), c.POINTER(ul), c.POINTER(c.POINTER(ul)),
                                 c.POINTER(c.c_uint)]
        X.XFetchName.argtypes = [vp, ul, c.POINTER(c.c_char_p)]
        X.XRaiseWindow.argtypes = [vp, ul]
        X.XFree.argtypes = [vp]
        T.XTestFakeMotionEvent.argtypes = [vp, c.c_int, c.c_int, c.c_int, ul]
        T.XTestFakeButtonEvent.argtypes = [vp, c.c_uint, c.c_int, ul]
        d = X.XOpenDisplay(None)
        if not d:
            raise Failure("the X display could not be opened for a double click")
        try:
            root, parent, kids, n = ul(), ul(), c.POINTER(ul)(), c.c_uint()
            X.XQueryTree(d, X.XDefaultRootWindow(d), c.byref(root), c.byref(parent), c.byref(kids), c.byref(n))
            for i in range(n.value):
                name = c.c_char_p()
                if X.XFetchName(d, kids[i], c.byref(name)) and name.value == window_title.encode():
                    X.XRaiseWindow(d, kids[i])
                if name.value:
                    X.XFree(name)
            if kids:
                X.XFree(kids)
            X.XFlush(d)
            time.sleep(0.2)
            T.XTestFakeMotionEvent(d, -1, x + w // 2, y + h // 2, 0)
            X.XFlush(d)
            time.sleep(0.2)
            for _ in range(2):
                T.XTestFakeButtonEvent(d, 1, True, 0)
                T.XTestFakeButtonEvent(d, 1, False, 0)
                X.XFlush(d)
                time.sleep(0.05)
        finally:
            X.XCloseDisplay(d)

    # --- walking -----------------------------------------------------------
    def choices(self, combo):
        texts = set()
        for i in range(combo.childCount):
            lst = combo.getChildAtIndex(i)
            for j in range(lst.childCount if lst is not None else 0):
                item = lst.getChildAtIndex(j)
                if item is not None and item.name:
                    texts.add(item.name.strip())
        return texts

    def path(self, acc, top):
        parts = []
        a = acc
        while a is not None and a != top:
            parts.append(f"{a.getRoleName()}[{a.getIndexInParent()}]")
            a = a.parent
        return "/".join(reversed(parts))

    def walk(self, label, win):
        walked, unnamed = 0, []
        if not (win.name or "").strip():
            unnamed.append(f"{win.getRoleName()} (the window itself)")
        for acc in self.descend(win):
            role = acc.getRole()
            # The program runs in English: a Korean text is one left untranslated.
            if self.showing(acc) and HANGUL.search((acc.name or "") + (acc.description or "")):
                unnamed.append(f"{acc.getRoleName()} at {self.path(acc, win)}: Korean text '{acc.name}'")
            if (role not in CONTROLS and role not in LISTS) or not self.showing(acc):
                continue
            walked += 1
            name = (acc.name or "").strip()
            if not name:
                unnamed.append(f"{acc.getRoleName()} at {self.path(acc, win)}")
            elif role == self.at.ROLE_COMBO_BOX and name in self.choices(acc):
                # A reader would hear the choice, never what is chosen.
                unnamed.append(f"{acc.getRoleName()} at {self.path(acc, win)} (named by its value '{name}')")
        self.rows.append((label, walked, unnamed))
        return win

    def table(self):
        w = max([len(r[0]) for r in self.rows] + [6])
        lines = [f"{'window':<{w}}  walked  unnamed", "-" * (w + 18)]
        for label, walked, unnamed in self.rows:
            lines.append(f"{label:<{w}}  {walked:>6}  {len(unnamed)}")
            lines += [f"{'':<{w}}            - {u}" for u in unnamed]
        for label, why in self.unreached:
            lines.append(f"{label:<{w}}  not reached: {why}")
        return "\n".join(lines)


SETTINGS_PAGES = ["Registration", "Device", "Camera", "Print Setting", "Program Setting", "Password",
                  "Central records"]


def tour(wk):
    """The windows, in the order an operator reaches them; a step that
    cannot be taken is reported and the next one is tried."""
    main = wk.window("ZOLT7 2.0", timeout=30)
    wk.walk("main window", main)

    def step(label, fn):
        try:
            fn()
        except Failure as e:
            wk.unreached.append((label, str(e)))
        except Exception as e:  # an AT-SPI call that failed: the next step may still work
            wk.unreached.append((label, f"{type(e).__name__}: {e}"))

    def about():
        wk.press(main, "About")
        box = wk.walk("About", wk.window("ZOLT7 Information"))
        wk.press(box, "OK")
        wk.gone(box)

    def settings():
        wk.press(main, "Settings")
        prompt = wk.walk("password prompt", wk.window("Password"))
        wk.type_into(prompt, "Password", PASSWORD)
        wk.press(prompt, "Confirm")
        win = wk.window("Settings")
        shown = None
        for page in SETTINGS_PAGES:
            wk.press(win, page)
            shown = poll(f"the page '{page}' shown", lambda: wk.page_changed(win, shown))
            wk.walk(f"settings: {page}", win)
            if page == "Registration":
                wk.press(win, "Register ID")
                reg = wk.walk("user registration", wk.window("Registration"))
                wk.press(reg, "Close")
                wk.gone(reg)
        wk.press(win, "Close")
        wk.gone(win, timeout=15)  # the camera's preview stops first

    def measure():
        wk.press(main, "Connect")
        wk.press(main, "Measure")  # enabled once the instrument answered
        wk.walk("main window, connected", main)
        ident = wk.walk("identification", wk.window("Identification"))
        wk.type_into(ident, "ID or name", "demo")
        wk.press(ident, "OK")
        cap = wk.walk("test window", wk.window("(no name)", holding="User Information"))
        wk.gone(cap, timeout=30)

    def records():
        wk.press(main, "Records")
        win = wk.walk("record window", wk.window("Records"))
        try:
            # The test just taken opens in the print view.
            grid = wk.find(win, "Test records", LISTS)
            cell = poll("a row in the test records", lambda: grid.queryTable().getAccessibleAt(0, 1))
            wk.double_click(cell, "Records")
            view = wk.walk("print view", wk.window("Print View"))
            wk.press(view, "Close")
            wk.gone(view)
        except Failure as e:
            wk.unreached.append(("print view", str(e)))
        wk.press(win, "Search")
        crit = wk.walk("search criteria", wk.window("Data Search"))
        wk.press(crit, "OK")
        found = wk.walk("search results", wk.window("Searching Data"))
        wk.press(found, "Close")
        wk.gone(found)
        wk.press(win, "Close")
        wk.gone(win)

    step("About", about)
    step("settings", settings)
    step("identification and test window", measure)
    step("records and search", records)


def inner(bin_dir, camera):
    procs = Procs()
    home = tempfile.mkdtemp(prefix="zolt7-atspi-home-")
    try:
        start_bus(procs)
        try:
            import pyatspi  # after the bus is up: it connects on import
        except ImportError as e:
            raise Failure(f"no AT-SPI bindings for {sys.executable} ({e}); install python3-pyatspi")
        init_roles(pyatspi)
        subprocess.run([os.path.join(bin_dir, "zolt7-demo-user"), "--home", home, "demo", "Demo User"],
                       check=True, stdout=subprocess.DEVNULL, timeout=30)
        sim = procs.start("zolt7-sim", [os.path.join(bin_dir, "zolt7-sim"), "--quiet", "--pace", "100",
                                        "--hold", "300"], stdout=subprocess.PIPE, text=True)
        ready, _, _ = select.select([sim.stdout], [], [], 10)
        port = sim.stdout.readline().strip() if ready else ""
        if not port:
            raise Failure("the simulated instrument printed no port in 10 s")
        env = dict(os.environ, ZOLT7_PORTS=port, ZOLT7_CAMERA_SOURCE=camera, LANG="en_US.UTF-8",
                   LANGUAGE="en", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        env.pop("LC_ALL", None)
        app = procs.start("VelmoraView", [os.path.join(bin_dir, "VelmoraView"), "--home", home], env=env)
        wk = Walker(pyatspi, "VelmoraView", app)
        started = time.monotonic()
        try:
            poll("the program on the AT-SPI desktop", wk.app, timeout=30)
            tour(wk)
        finally:
            print(wk.table())
            print(f"walk took {time.monotonic() - started:.1f} s")
        bad = [r for r in wk.rows if r[2]]
        if bad:
            print(f"FAIL: unnamed controls in {len(bad)} window(s)")
        # A window no longer reached would drop out of the walk unseen.
        if wk.unreached:
            print(f"FAIL: {len(wk.unreached)} step(s) not reached")
        return 1 if bad or wk.unreached else 0
    except Failure as e:
        print(f"FAIL: {e}")
        return 1
    finally:
        procs.stop_all()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    if os.environ.get(INNER):
        open(os.environ[INNER], "w").close()  # the session and the display are up
        sys.exit(inner(sys.argv[1], sys.argv[2]))
    sys.exit(outer(sys.argv[1:]))
