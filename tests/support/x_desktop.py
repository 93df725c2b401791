"""An X desktop for tests of real windows: Xvfb on a free display with openbox managing it.

Run as a program, it starts the desktop, runs the command after "--" on it and returns the
command's exit status:  x_desktop.py [--screen 1920x1080] COMMAND ARG...
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

WAIT_SECONDS = 15
POLL_SECONDS = 0.05


def wait_until(condition, what):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(POLL_SECONDS)
    raise AssertionError(f"timed out waiting for {what}")


class Desktop:
    """Xvfb on a free display with openbox managing it."""

    def __init__(self, home, screen="1024x768"):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{screen}x24", "-nolisten",
             "tcp"], pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            self.xvfb.kill()
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=f":{number}", HOME=str(home),
                        XDG_CONFIG_HOME=str(home / "config"), XDG_CACHE_HOME=str(home / "cache"))
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: "window id" in self.root("_NET_SUPPORTING_WM_CHECK"), "openbox")
        except AssertionError:
            self.stop()
            raise

    def stop(self):
        for process in (self.wm, self.xvfb):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def x(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True).stdout

    def root(self, name):
        return self.x("xprop", "-root", name)

    def clients(self):
        return set(re.findall(r"0x[0-9a-f]+", self.root("_NET_CLIENT_LIST").split("#")[-1]))

    def active(self):
        found = re.findall(r"0x[0-9a-f]+", self.root("_NET_ACTIVE_WINDOW"))
        return found[0] if found else None

    def properties(self, window):
        """Title as _NET_WM_NAME and WM_NAME, the actions allowed, and the MWM functions asked."""
        text = self.x("xprop", "-id", window, "_NET_WM_NAME", "WM_NAME", "_NET_WM_ALLOWED_ACTIONS",
                      "_MOTIF_WM_HINTS")
        found = {}
        for line in text.splitlines():
            name, _, value = line.partition(" = ")
            found[name.split("(")[0]] = value.strip()
        return found

    def key(self, *keys):
        self.x("xdotool", "key", "--clearmodifiers", *keys)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--screen", default="1024x768")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as home:
        desktop = Desktop(Path(home), args.screen)
        try:
            env = dict(desktop.env, QT_QPA_PLATFORM="xcb")
            return subprocess.run(args.command, env=env).returncode
        finally:
            desktop.stop()


if __name__ == "__main__":
    sys.exit(main())
