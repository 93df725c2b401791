"""norvane-flash and norvane-devsim as a careless or hostile user runs them: outputs that go
away or fill up, signals from terminals and supervisors, trace paths that would destroy the
firmware, a link path that holds a file.

Usage: FlashHostileEndToEnd.py --flasher PATH --devsim PATH
"""
import json
import os
import pty
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import norvane_harness as harness  # noqa: E402

FLASHER = None
DEVSIM = None

SMALL = [(0x0000, 0x01FF), (0x3000, 0x4FFF)]
EVENTS = {"status", "file", "progress", "message", "outcome"}


class FlashHostileEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)
        self.image = harness.pattern_image(SMALL)
        self.mot = self.work / "fw.mot"
        harness.write_mot(self.mot, self.image, SMALL)

    def tearDown(self):
        self.dir.cleanup()

    def test_outputs_that_fail_never_break_a_download_and_show_in_the_exit_code(self):
        # More JSON than a pipe holds (about 115 KiB), for the reader that stops reading.
        large = [(0, 0x17FFF)]
        large_image = harness.pattern_image(large)
        large_mot = self.work / "large.mot"
        harness.write_mot(large_mot, large_image, large)
        for name in ("reader gone", "disk full", "reader stalls"):
            image, mot = (large_image, large_mot) if name == "reader stalls" else (self.image,
                                                                                   self.mot)
            with self.subTest(name), harness.Device(DEVSIM, self.work, "dev") as device:
                command = harness.flash_command(FLASHER, [device.path], mot, ["--json"])
                if name == "disk full":
                    with open("/dev/full", "w") as full:
                        flasher = subprocess.Popen(command, stdout=full)
                else:
                    flasher = subprocess.Popen(command, stdout=subprocess.PIPE)
                if name == "reader gone":  # as | head -1
                    flasher.stdout.readline()
                    flasher.stdout.close()
                if name == "reader stalls":
                    # The download ends although nothing is read; a stop then ends the wait
                    # for the reader.
                    wait_until(lambda: verified(device.frames()))
                    flasher.send_signal(signal.SIGTERM)
                code = flasher.wait(timeout=60)
                device.stop()
                self.assertEqual(code, 74)
                self.assertEqual(device.flash(), bytes(image))
        with open("/dev/full", "w") as full:
            info = subprocess.run([FLASHER, "info", str(self.mot)], stdout=full, timeout=30)
        self.assertEqual(info.returncode, 74)

    def test_stop_signals_end_at_a_step_boundary_and_a_second_one_at_once(self):
        big = [(0, 0x7FFF)]
        harness.write_mot(self.mot, harness.pattern_image(big), big)
        missing = str(self.work / "no-such-tty")
        # Signals sent together, and the exit codes they may give. Two different signals that
        # are pending together may reach the program in either order, so the second one, the
        # one that ends it at once, may be either.
        rows = [
            ([signal.SIGTERM], {2}),
            ([signal.SIGHUP], {2}),
            ([signal.SIGHUP, signal.SIGHUP], {2}),  # a closed terminal may hang up twice
            ([signal.SIGTERM, signal.SIGINT], {128 + signal.SIGINT, 128 + signal.SIGTERM}),
        ]
        for signals, expected in rows:
            with self.subTest(signals=signals), \
                    harness.Device(DEVSIM, self.work, "dev", pace=True) as device:
                # A port that cannot be opened ranks below a cancelled device.
                flasher = subprocess.Popen(
                    harness.flash_command(FLASHER, [device.path, missing], self.mot, ["--json"]),
                    stdout=subprocess.PIPE, text=True)
                events = []
                for line in flasher.stdout:
                    events += harness.json_events(line)
                    if events[-1]["event"] == "progress" and events[-1]["value"] == 3:
                        for number in signals:
                            flasher.send_signal(number)
                code = flasher.wait(timeout=30)
                flasher.stdout.close()
                frames = device.frames()
            self.assertIn(code, expected)
            self.assertNotIn(0x04, [command for command, _ in harness.packets_in(frames)])
            if expected == {2}:
                statuses = [e["text"] for e in events if e["event"] == "status"]
                self.assertEqual(statuses[-1], "Firmware download canceled!")
                self.assertEqual(harness.outcomes(events)[device.path]["outcome"], "cancelled")

    def test_a_trace_never_replaces_the_firmware_or_a_port(self):
        original = self.mot.read_bytes()
        (self.work / "hard.mot").hardlink_to(self.mot)
        (self.work / "soft.mot").symlink_to(self.mot)
        with harness.Device(DEVSIM, self.work, "dev") as device:
            (self.work / "port-link").symlink_to(device.path)
            for trace in (self.mot, self.work / "hard.mot", self.work / "soft.mot",
                          device.path, self.work / "port-link"):
                with self.subTest(trace=str(trace)):
                    code, out, err, _ = harness.run_flash(
                        FLASHER, [device.path], self.mot, ["--trace", str(trace)], timeout=30)
                    self.assertEqual(code, 64, out + err)
                    self.assertEqual(len(err.splitlines()), 2, err)
            self.assertEqual(device.frames(), [])
        self.assertEqual(self.mot.read_bytes(), original)
        fifo = self.work / "trace.fifo"
        os.mkfifo(fifo)
        code, _, err, _ = harness.run_flash(FLASHER, [str(self.work / "no-tty")], self.mot,
                                            ["--trace", str(fifo)], timeout=30)
        self.assertEqual(code, 64)
        self.assertIn("no program reads that FIFO", err)

    def test_failures_carry_their_reason_in_json_and_text(self):
        rows = [  # fault, what the outcome says about it
            ("fail-verify", {"reason": "verify-refused", "command": "header",
                             "expected_code": 6, "received_code": 7}),
            # The fifth command erases block 4; its second reply carries 9.
            ("change:5:2:9", {"reason": "wrong-reply", "command": "erase", "block": 4,
                              "reply": 2, "expected_code": 2, "received_code": 9}),
        ]
        for fault, expected in rows:
            with self.subTest(fault), \
                    harness.Device(DEVSIM, self.work, "dev", faults=[fault]) as device:
                code, out, _, _ = harness.run_flash(FLASHER, [device.path], self.mot, ["--json"])
            self.assertEqual(code, 1)
            outcome = harness.outcomes(harness.json_events(out))[device.path]
            self.assertEqual({key: outcome.get(key) for key in expected}, expected)
        with harness.Device(DEVSIM, self.work, "dev", faults=["change:5:2:9"]) as device:
            code, out, err, _ = harness.run_flash(FLASHER, [device.path], self.mot)
        reason = "replied with code 9 to the erase command (block 4) where code 2 was due"
        self.assertIn(reason, out.splitlines()[-1])  # the summary line
        self.assertIn(reason, err)  # the message line

    def test_json_events_are_documented_kinds_without_box_styles(self):
        with harness.Device(DEVSIM, self.work, "dev", faults=["fail-verify"]) as device:
            code, out, _, _ = harness.run_flash(FLASHER, [device.path], self.mot, ["--json"])
        events = harness.json_events(out)
        self.assertEqual(code, 1)
        self.assertLessEqual({e["event"] for e in events}, EVENTS)
        self.assertTrue(all("style" not in e for e in events))
        self.assertIn("message", {e["event"] for e in events})
        # The first progress event already estimates the time left: the line's time for
        # every byte still to go both ways.
        first = next(e for e in events if e["event"] == "progress")
        info = json.loads(subprocess.run([FLASHER, "info", "--json", str(self.mot)],
                                         capture_output=True, text=True).stdout)
        start_and_poll = (6 + 9) / 1920
        self.assertAlmostEqual(first["remaining_ms"] / 1000, info["wireSeconds"] - start_and_poll,
                               delta=0.002)

    def test_plain_terminals_get_lines_without_cursor_movement(self):
        for term, live in (("xterm", True), ("dumb", False), (None, False)):
            with self.subTest(term=term):
                env = {k: v for k, v in os.environ.items() if k not in ("TERM", "NO_COLOR")}
                if term:
                    env["TERM"] = term
                controller, terminal = pty.openpty()
                flasher = subprocess.Popen(
                    harness.flash_command(FLASHER, [str(self.work / "no-tty")], self.mot),
                    stdout=terminal, env=env)
                os.close(terminal)
                shown = b""
                while chunk := read_or_none(controller):
                    shown += chunk
                os.close(controller)
                self.assertEqual(flasher.wait(timeout=30), 4)
                self.assertEqual(b"\x1b[" in shown, live, shown)
                self.assertIn(b"port cannot be opened", shown)

    def test_devsim_link_replaces_only_a_link(self):
        keep = self.work / "keep"
        keep.write_text("precious")
        refused = subprocess.run([DEVSIM, "--link", str(keep)], capture_output=True, timeout=10)
        self.assertNotEqual(refused.returncode, 0)
        self.assertEqual(keep.read_text(), "precious")
        stale = self.work / "stale"
        stale.symlink_to(self.work / "gone")
        with harness.Device(DEVSIM, self.work, "dev", extra=["--link", str(stale)]) as device:
            self.assertEqual(os.readlink(stale), device.path)
        self.assertFalse(os.path.lexists(stale))


def verified(frames):
    return any(f["dir"] == "out" and f["hex"].endswith("06") and f.get("command") == 4
               for f in frames)


def wait_until(condition, timeout=60):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise TimeoutError("the condition did not come true")
        time.sleep(0.1)


def read_or_none(fd):
    try:
        return os.read(fd, 4096)
    except OSError:  # EIO: the other side of the terminal has closed
        return None


if __name__ == "__main__":
    harness.run_tests(globals())
