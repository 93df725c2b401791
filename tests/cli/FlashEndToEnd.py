"""norvane-flash flash against norvane-devsim over pseudo-terminals, end to end.

Usage: FlashEndToEnd.py --flasher PATH --devsim PATH
"""
import signal
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import norvane_harness as harness  # noqa: E402

FLASHER = None
DEVSIM = None

SMALL = [(0x0000, 0x01FF), (0x3000, 0x4FFF)]


class FlashEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)

    def tearDown(self):
        self.dir.cleanup()

    def image_file(self, ranges, name="fw.mot"):
        image = harness.pattern_image(ranges)
        path = self.work / name
        harness.write_mot(path, image, ranges)
        return image, path

    def test_full_image_is_verified_and_lands_in_flash(self):
        image, mot = self.image_file([(0, harness.IMAGE_SIZE - 1)])
        with harness.Device(DEVSIM, self.work, "dev") as device:
            code, out, err, _ = harness.run_flash(FLASHER, [device.path], mot, ["--json"])
        self.assertEqual(code, 0, err)
        outcome = harness.outcomes(harness.json_events(out))[device.path]
        self.assertEqual(outcome["outcome"], "downloaded")
        self.assertTrue(outcome["verified"])
        self.assertEqual(device.flash(), bytes(image))

    def test_two_ports_at_once(self):
        image, mot = self.image_file(SMALL)
        with harness.Device(DEVSIM, self.work, "a") as a, harness.Device(DEVSIM, self.work, "b") as b:
            trace = self.work / "frames.trace"
            code, out, err, _ = harness.run_flash(FLASHER, [a.path, b.path], mot,
                                                  ["--trace", str(trace)])
        self.assertEqual(code, 0, out + err)
        frames = [line.split(maxsplit=3) for line in trace.read_text().splitlines()]
        for device in (a, b):
            self.assertIn(f"{device.path}: downloaded - verified by the device", out)
            self.assertIn(f"{device.path}: Firmware downloaded OK!", out)
            self.assertEqual(device.flash(), bytes(image))
            # Each port's frames in its own lines: the start string first, the report last.
            own = [frame[3] for frame in frames if frame[2] == device.path]
            self.assertEqual(own[0], "TX 23 20 30 31 37 62")
            self.assertEqual(own[-1], "RX 7E 06")

    def test_failing_device_stops_and_the_worst_exit_code_wins(self):
        image, mot = self.image_file(SMALL)
        # Commands: erase-program 0, program 0x80..0x180, erase 4 (fifth), ...
        with harness.Device(DEVSIM, self.work, "good") as good, \
                harness.Device(DEVSIM, self.work, "bad", faults=["change:5:2:9"]) as bad:
            code, out, err, _ = harness.run_flash(FLASHER, [good.path, bad.path], mot, ["--json"])
        self.assertEqual(code, 1)
        results = harness.outcomes(harness.json_events(out))
        self.assertEqual(results[good.path]["exit_code"], 0)
        self.assertEqual(results[bad.path]["outcome"], "failed")
        self.assertEqual(len(harness.packets_in(bad.frames())), 5)
        self.assertEqual(good.flash(), bytes(image))

    def test_missing_port_says_so(self):
        _, mot = self.image_file(SMALL)
        code, out, err, _ = harness.run_flash(FLASHER, [str(self.work / "no-such-tty")], mot)
        self.assertEqual(code, 4)
        self.assertIn("no such device", out)

    def test_ctrl_c_stops_at_the_next_step_without_a_header(self):
        _, mot = self.image_file([(0, 0x7FFF)])
        with harness.Device(DEVSIM, self.work, "dev", pace=True) as device:
            flasher = subprocess.Popen(harness.flash_command(FLASHER, [device.path], mot, ["--json"]),
                                       stdout=subprocess.PIPE, text=True)
            events = []
            for line in flasher.stdout:
                events += harness.json_events(line)
                if events[-1]["event"] == "progress" and events[-1]["value"] == 3:
                    flasher.send_signal(signal.SIGINT)
            code = flasher.wait(timeout=30)
            flasher.stdout.close()
            frames = device.frames()
        self.assertEqual(code, 2)
        statuses = [e["text"] for e in events if e["event"] == "status"]
        self.assertEqual(statuses[-1], "Firmware download canceled!")
        self.assertNotIn(0x04, [command for command, _ in harness.packets_in(frames)])


if __name__ == "__main__":
    harness.run_tests(globals())
