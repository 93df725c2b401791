"""Rows that norvane-flash flash leaves in the record, for downloads that end every way.

Usage: RecordEndToEnd.py --flasher PATH --devsim PATH
"""
import hashlib
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "cli"))
import norvane_harness as harness  # noqa: E402

FLASHER = None
DEVSIM = None

SMALL = [(0x0000, 0x01FF), (0x3000, 0x4FFF)]


class RecordEndToEnd(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = Path(self.dir.name)
        self.mot = self.work / "fw.mot"
        harness.write_mot(self.mot, harness.pattern_image(SMALL), SMALL)
        self.record = self.work / "history.sqlite"
        # The default record of these runs: a folder of the test's own.
        self.env = dict(os.environ, XDG_DATA_HOME=str(self.work / "data"))

    def tearDown(self):
        self.dir.cleanup()

    def flash(self, device, extra=(), stop=None):
        """Runs flash with --json; stop: (step, action) acts on (device, flasher) once
        programming reached that step."""
        args = harness.flash_command(FLASHER, [device.path], self.mot, ["--json", *extra])
        flasher = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   text=True, env=self.env)
        events = []
        for line in flasher.stdout:
            events += harness.json_events(line)
            if stop and events[-1]["event"] == "progress" and events[-1]["value"] == stop[0]:
                stop[1](device, flasher)
        err = flasher.stderr.read()
        code = flasher.wait(timeout=60)
        flasher.stdout.close()
        flasher.stderr.close()
        return code, harness.outcomes(events)[device.path], err

    def rows(self, record=None):
        done = subprocess.run([FLASHER, "history", "--json", "--record", str(record or self.record)],
                              capture_output=True, text=True, env=self.env, check=True)
        return [json.loads(line) for line in done.stdout.splitlines()]

    def test_every_ending_leaves_its_row(self):
        def ctrl_c(_, flasher):
            flasher.send_signal(signal.SIGINT)

        cases = [
            # name, faults, stop at (step, action), exit code, outcome
            ("downloaded", [], None, 0, "downloaded"),
            ("ctrl-c", [], (3, ctrl_c), 2, "cancelled"),
            ("wrong-reply", ["change:5:2:9"], None, 1, "failed"),
        ]
        for name, faults, stop, code, outcome in cases:
            with self.subTest(name), harness.Device(DEVSIM, self.work, name, faults) as device:
                got_code, event, err = self.flash(device, ["--record", str(self.record)], stop)
                self.assertEqual(got_code, code, err)
                row = self.rows()[0]
                self.assertEqual((row["outcome"], row["reason"], row["exit_code"]),
                                 (outcome, event.get("reason", ""), code))
                self.assertEqual(row["port"], device.path)
                self.assertEqual(row["detail"], event["detail"])
                self.assertEqual(row["firmware_sha256"],
                                 hashlib.sha256(self.mot.read_bytes()).hexdigest())
                self.assertEqual(row["program"], "norvane-flash")
                self.assertGreater(row["bytes_sent"], 0)
                if outcome == "downloaded":
                    self.assertEqual(row["steps_done"], row["steps_planned"])
                    self.assertIn(row["firmware_crc"] + "h", event["detail"])
                else:
                    self.assertLess(row["steps_done"], row["steps_planned"])
        self.assertEqual(len(self.rows()), len(cases))

    def test_record_problems_never_fail_a_download(self):
        with socket.socket() as probe:  # a local port nothing listens on
            probe.bind(("127.0.0.1", 0))
            free_port = probe.getsockname()[1]
        server = f"postgresql://line@127.0.0.1:{free_port}/record"
        for record, warning in [("/dev/null/history.sqlite", "not recorded"),
                                (server, "waits in")]:
            with self.subTest(record), harness.Device(DEVSIM, self.work, "device") as device:
                code, event, err = self.flash(device, ["--record", record])
                self.assertEqual((code, event["outcome"]), (0, "downloaded"))
                self.assertIn(warning, err)
                # Why the record cannot be written is said once, not again for the download.
                self.assertLessEqual(err.count("cannot create the folder"), 1, err)
        # The row for the server waits in the default record.
        waiting = self.rows(self.work / "data" / "NorvaneProg" / "history.sqlite")
        self.assertEqual([row["outcome"] for row in waiting], ["downloaded"])


if __name__ == "__main__":
    harness.run_tests(globals())
