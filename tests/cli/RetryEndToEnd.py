"""--retries of norvane-flash flash and station against faulty norvane-devsim devices.

Usage: RetryEndToEnd.py --flasher PATH --devsim PATH
"""
import json
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

# Device faults, and the outcome of each try with one retry allowed. Commands are counted
# over the device's life: a second try's fifth command is its tenth.
CASES = {
    "wrong-reply-once": (["change:5:2:9"], ["failed", "downloaded"]),
    "wrong-reply-twice": (["change:5:2:9", "change:10:2:9"], ["failed", "failed"]),
    "refuses-firmware": (["fail-verify"], ["failed"]),
}


class RetryEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)
        self.image = harness.pattern_image(SMALL)
        self.mot = self.work / "fw.mot"
        harness.write_mot(self.mot, self.image, SMALL)
        self.devices = {name: harness.Device(DEVSIM, self.work, name, faults=faults)
                        for name, (faults, _) in CASES.items()}

    def tearDown(self):
        for device in self.devices.values():
            device.stop()
        self.dir.cleanup()

    def check_tries(self, outcomes_by_name):
        for name, (_, tries) in CASES.items():
            self.assertEqual(outcomes_by_name[name], tries, name)
        device = self.devices["wrong-reply-once"]
        device.stop()
        self.assertEqual(device.flash(), bytes(self.image))

    def test_flash(self):
        ports = [device.path for device in self.devices.values()]
        code, out, err, _ = harness.run_flash(FLASHER, ports, self.mot,
                                              ["--json", "--retries", "1"])
        self.assertEqual(code, 1, err)
        events = harness.json_events(out)
        self.check_tries({name: [e["outcome"] for e in events if e["event"] == "outcome"
                                 and e["port"] == device.path]
                          for name, device in self.devices.items()})

    def test_station(self):
        links = self.work / "by-id"
        links.mkdir()
        record = self.work / "record.sqlite"
        station = harness.Station(FLASHER, self.mot, links,
                                  ["--retries", "1", "--record", str(record)])
        self.addCleanup(lambda: station.proc.poll() is None and station.stop())
        station.wait_for(lambda e: e["text"].startswith("Watching"))
        for name, device in self.devices.items():
            (links / name).symlink_to(device.path)
        for name, (_, tries) in CASES.items():
            for _ in tries:
                station.outcome(str(links / name))
        self.assertEqual(station.stop(), 1)
        self.check_tries({name: station.outcomes_of(str(links / name)) for name in CASES})
        # One row in the record per try, oldest first.
        history = subprocess.run([FLASHER, "history", "--record", str(record), "--json"],
                                 capture_output=True, text=True, timeout=30)
        rows = [json.loads(line) for line in history.stdout.splitlines()][::-1]
        self.check_tries({name: [row["outcome"] for row in rows if row["port"] == str(links / name)]
                          for name in CASES})


if __name__ == "__main__":
    harness.run_tests(globals())
