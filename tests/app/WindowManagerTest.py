"""The real window (xcb) under an X server and a window manager (Xvfb and openbox): the title
the window manager receives for the main window, the port dialog and each message box, and
the frame actions it offers them. Driven from the keyboard, as a person would.

Usage: WindowManagerTest.py --upgrader PATH --devsim PATH
"""
import argparse
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "cli"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
import norvane_harness as harness  # noqa: E402
from x_desktop import WAIT_SECONDS, Desktop, wait_until  # noqa: E402

UPGRADER = None
DEVSIM = None

TITLE = "Tessary Norvane Upgrader"


class WindowManagerTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)
        self.desktop = Desktop(self.work)
        self.addCleanup(self.dir.cleanup)
        self.addCleanup(self.desktop.stop)
        self.known = set()

    def next_window(self, title):
        """Waits for a new window with the focus, checks its title both ways, returns it."""
        def arrived():
            new = self.desktop.clients() - self.known
            active = self.desktop.active()
            if active in new and self.desktop.properties(active).get("_NET_WM_NAME"):
                return active
            return None
        window = wait_until(arrived, f"a window titled {title!r}")
        self.known.add(window)
        props = self.desktop.properties(window)
        self.assertEqual(props["_NET_WM_NAME"], f'"{title}"')
        self.assertEqual(props["WM_NAME"], f'"{title}"')
        return window, props

    def answer(self, window, *keys):
        self.desktop.key(*keys)
        wait_until(lambda: window not in self.desktop.clients(), "the window to close")
        self.known.discard(window)

    def box(self, title):
        window, _ = self.next_window(title)
        self.answer(window, "Return")

    def assert_frame(self, props):
        actions = props["_NET_WM_ALLOWED_ACTIONS"]
        for refused in ("MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE"):
            self.assertNotIn(f"_NET_WM_ACTION_{refused}", actions)
        self.assertIn("_NET_WM_ACTION_CLOSE", actions)
        # Neither minimise nor maximise is asked for, in functions or in decorations; openbox
        # keeps its own minimise action on every window regardless.
        _, functions, decorations = (int(f, 16) for f in props["_MOTIF_WM_HINTS"].split(",")[:3])
        self.assertFalse(functions & (0x08 | 0x10))
        self.assertFalse(decorations & (0x20 | 0x40))

    def test_titles_and_frames_as_the_window_manager_sees_them(self):
        mot = self.work / "app.mot"
        bin_dir = self.work / "bin"
        bin_dir.mkdir()
        # A copy without its Help folder, so that F1 reports the missing document.
        upgrader = bin_dir / "norvane-upgrader"
        shutil.copy(UPGRADER, upgrader)
        no_browser = self.work / "empty"
        no_browser.mkdir()
        with harness.Device(DEVSIM, self.work, "dev", faults=["change:1:1:9"]) as device:
            config = self.work / "config"
            config.mkdir(exist_ok=True)
            (config / "NorvaneProg.conf").write_text(
                f'[Settings]\nComPort=2\nLastFile="{mot}"\n\n'
                f'[Ports]\nCOM1="{device.path}"\nCOM2="{self.work / "absent"}"\n')
            # No web browser to be found: the website item reports its failure.
            env = dict(self.desktop.env, PATH=str(no_browser))
            env.pop("BROWSER", None)
            program = subprocess.Popen([str(upgrader)], env=env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            self.addCleanup(lambda: program.poll() is None and program.kill())

            self.box(TITLE)  # "Could not open COM 2" at start-up
            dialog, props = self.next_window("Select Serial Port")
            self.assert_frame(props)
            self.desktop.key("Return")  # OK has the focus: COM2 fails again
            window, _ = self.next_window(TITLE)
            self.answer(window, "Escape")
            wait_until(lambda: self.desktop.active() == dialog, "the dialog to have the focus")
            self.answer(dialog, "Tab", "Up", "shift+Tab", "Return")  # COM1, then OK

            main, props = self.next_window(TITLE)
            self.assert_frame(props)
            self.desktop.key("Return")  # Download has the focus; the file is not there yet
            self.box("File Not Found")
            mot.write_text("not an S-record file\n")
            self.desktop.key("alt+d")
            self.box("S-Record Error")
            ranges = [(0x3000, 0x30FF)]
            harness.write_mot(mot, harness.pattern_image(ranges), ranges)
            self.desktop.key("alt+d")  # the device refuses the first erase
            self.box("Firmware Download Error")
            self.desktop.key("F1")
            self.box(f"{TITLE} Help")
            self.desktop.key("alt+h", "h")
            self.box("Halvorn Website")
            self.desktop.key("alt+h", "a")
            self.box(f"About {TITLE}")

            self.desktop.x("wmctrl", "-i", "-c", main)
            self.assertEqual(program.wait(timeout=WAIT_SECONDS), 0)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--upgrader", required=True)
    parser.add_argument("--devsim", required=True)
    args, rest = parser.parse_known_args()
    UPGRADER, DEVSIM = args.upgrader, args.devsim
    unittest.main(argv=[sys.argv[0]] + rest)
