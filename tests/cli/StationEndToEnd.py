"""norvane-flash station against norvane-devsim devices plugged into a watched folder of links.

Usage: StationEndToEnd.py --flasher PATH --devsim PATH
"""
import fcntl
import os
import pty
import re
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import norvane_harness as harness  # noqa: E402

FLASHER = None
DEVSIM = None

SMALL = [(0x0000, 0x01FF), (0x3000, 0x4FFF)]


def start_strings(device):
    """How many times the device was told to start its bootloader: one per download."""
    return sum(1 for frame in device.frames() if frame["kind"] == "string")


class StationEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)
        self.links = self.work / "by-id"
        self.links.mkdir()
        self.image = harness.pattern_image(SMALL)
        self.mot = self.work / "fw.mot"
        harness.write_mot(self.mot, self.image, SMALL)
        self.devices = []

    def tearDown(self):
        for device in self.devices:
            device.stop()
        self.dir.cleanup()

    def device(self, name, faults=()):
        device = harness.Device(DEVSIM, self.work, name, faults=faults)
        self.devices.append(device)
        return device

    def plug(self, device, name):
        link = self.links / name
        link.symlink_to(device.path)
        return str(link)

    def test_devices_plugged_one_after_another(self):
        present = self.plug(self.device("present"), "present")
        station = harness.Station(FLASHER, self.mot, self.links)
        self.addCleanup(lambda: station.proc.poll() is None and station.stop())
        station.wait_for(lambda e: e["text"].startswith("Watching"))

        good = self.device("good")
        self.assertEqual(station.outcome(self.plug(good, "good"))["outcome"], "downloaded")

        # Refuses the new firmware: failed, and it stays failed while it stays plugged in.
        refusing = self.device("refusing", faults=["fail-verify"])
        refusing_port = self.plug(refusing, "refusing")
        self.assertEqual(station.outcome(refusing_port)["outcome"], "failed")

        # Unplugged while it waits for a (late) reply: the download ends as failed.
        first = self.device("pulled", faults=["late:3:1:20000"])
        port = self.plug(first, "pulled")
        station.wait_for(lambda e: e["port"] == port and e["event"] == "progress"
                         and e["value"] == 2)
        first.stop()
        os.unlink(port)
        self.assertEqual(station.outcome(port)["outcome"], "failed")

        # The next device plugged into the same port is flashed in its turn.
        second = self.device("replugged")
        self.plug(second, "pulled")
        self.assertEqual(station.outcome(port)["outcome"], "downloaded")

        self.assertEqual(station.stop(), 1)
        self.assertEqual(station.outcomes_of(str(self.links / "good")), ["downloaded"])
        self.assertEqual(station.outcomes_of(refusing_port), ["failed"])
        self.assertEqual(station.outcomes_of(port), ["failed", "downloaded"])
        self.assertEqual(station.outcomes_of(present), [])
        for device, downloads in ((good, 1), (refusing, 1), (first, 1), (second, 1)):
            self.assertEqual(start_strings(device), downloads, device.name)
        for device in (good, second):
            device.stop()
            self.assertEqual(device.flash(), bytes(self.image), device.name)
        self.assertEqual(self.devices[0].frames(), [], "a port there at start was written to")

    def test_present_ports_included_and_links_before_their_device(self):
        # The watched folder is not there yet, as /dev/serial/by-id before the first adapter.
        self.links.rmdir()
        nested = self.links / "by-id"
        nested.mkdir(parents=True)
        present = self.plug(self.device("present"), "by-id/present")
        station = harness.Station(FLASHER, self.mot, nested, ["--include-present"])
        self.addCleanup(lambda: station.proc.poll() is None and station.stop())
        self.assertEqual(station.outcome(present)["outcome"], "downloaded")

        # A link made before the device it leads to can be opened.
        target = self.work / "not-yet"
        late = nested / "late"
        late.symlink_to(target)
        target.symlink_to(self.device("late").path)
        self.assertEqual(station.outcome(str(late))["outcome"], "downloaded")
        self.assertEqual(station.stop(), 0)

    def test_one_job_at_a_time_and_ctrl_c_stops_the_running_one(self):
        # Its late reply holds the download long enough to plug the second and press Ctrl-C.
        slow = self.device("slow", faults=["late:3:1:1000"])
        waiting = self.device("waiting")
        station = harness.Station(FLASHER, self.mot, self.links, ["--jobs", "1"])
        self.addCleanup(lambda: station.proc.poll() is None and station.stop())
        station.wait_for(lambda e: e["text"].startswith("Watching"))
        slow_port = self.plug(slow, "a-slow")
        station.wait_for(lambda e: e["port"] == slow_port and e["event"] == "progress"
                         and e["value"] == 2)
        waiting_port = self.plug(waiting, "b-waiting")
        station.wait_for(lambda e: e["port"] == waiting_port and e["text"] == "plugged in")
        self.assertEqual(station.stop(), 1)
        self.assertEqual(station.outcomes_of(slow_port), ["cancelled"])
        self.assertEqual(waiting.frames(), [], "a second download ran beside the first")
        self.assertIn({"event": "status", "port": waiting_port,
                       "text": "not flashed: the station stopped first"},
                      [{k: v for k, v in e.items() if k != "_at"} for e in station.events])

    def test_live_table_on_a_terminal(self):
        for name in ("dev1", "dev2", "dev3"):
            self.plug(self.device(name), name)
        leader, follower = pty.openpty()
        # Five lines: room for two rows between the header and the footer.
        fcntl.ioctl(follower, termios.TIOCSWINSZ, struct.pack("HHHH", 5, 120, 0, 0))
        station = subprocess.Popen(
            [FLASHER, "station", "--watch", str(self.links), "--include-present", str(self.mot)],
            stdout=follower, stderr=follower)
        os.close(follower)
        screen = b""
        # The footer's counts: a row is redrawn many times, so its own text counts nothing.
        while b"3 done, 0 failed" not in screen:
            screen += os.read(leader, 4096)
        station.send_signal(signal.SIGINT)
        self.assertEqual(station.wait(timeout=30), 0)
        while True:
            try:
                chunk = os.read(leader, 4096)
            except OSError:
                break
            if not chunk:
                break
            screen += chunk
        os.close(leader)
        final_table = screen.decode().rsplit("\x1b[J", 1)[-1]
        rows = re.findall(r"dev\d +done +\[#{20}\] 100 % +00:0\d +downloaded", final_table)
        self.assertEqual(len(rows), 2, final_table)
        self.assertIn("1 more not shown", final_table)
        self.assertIn("Station stopped: 3 done, 0 failed", final_table)

    def test_unusable_file_or_command_line(self):
        bad = self.work / "bad.mot"
        bad.write_text("S1 not a record\n")
        for args, code in ((["--watch", str(self.links), str(bad)], 3),
                           (["--watch", str(self.links), str(self.work / "none.mot")], 3),
                           (["--jobs", "0", str(self.mot)], 64),
                           (["--watch", str(self.mot), str(self.mot)], 64),
                           ([], 64)):
            with self.subTest(args=args):
                done = subprocess.run([FLASHER, "station", *args], capture_output=True,
                                      text=True, timeout=30)
                self.assertEqual(done.returncode, code, done.stdout + done.stderr)


if __name__ == "__main__":
    harness.run_tests(globals())
