#!/usr/bin/env python3
"""Record kill benchmark: is every download shown as downloaded also in the record?

Runs norvane-flash station --json over DEVICES virtual devices (plugged before it starts),
kills it with SIGKILL at a random moment of the run, RUNS times, and counts the "downloaded"
outcomes it showed against the rows the record kept (norvane-flash history --json). Prints
the figures; a device shown downloaded without its row is a fault.
"""
import argparse
import json
import random
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

RANGES = [(0x0000, 0x01FF), (0x3000, 0x7FFF)]


def run_station(options, work, mot, kill_after):
    """One station run over fresh devices, killed kill_after seconds in (None: stopped with
    Ctrl-C once every device has its outcome). Returns (ports shown downloaded, the record
    file, seconds the run took)."""
    links = work / "by-id"
    links.mkdir()
    record = work / "history.sqlite"
    devices = [harness.Device(options.devsim, work, f"d{index:02d}")
               for index in range(options.devices)]
    try:
        for device in devices:
            (links / device.name).symlink_to(device.path)
        start = time.monotonic()
        station = subprocess.Popen(
            [options.flasher, "station", "--watch", str(links), "--include-present", "--json",
             "--record", str(record), str(mot)],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        shown = set()
        if kill_after is None:
            for line in station.stdout:
                event = json.loads(line)
                if event["event"] == "outcome":
                    shown.add(event["port"])
                    if len(shown) == len(devices):
                        station.send_signal(signal.SIGINT)
        else:
            time.sleep(kill_after)
            station.send_signal(signal.SIGKILL)
        seconds = time.monotonic() - start
        # Whatever it wrote before the kill is still in the pipe.
        for line in station.stdout:
            event = json.loads(line)
            if event["event"] == "outcome" and event["outcome"] == "downloaded":
                shown.add(event["port"])
        station.wait()
        station.stdout.close()
        return shown, record, seconds
    finally:
        for device in devices:
            device.stop()


def rows_kept(flasher, record):
    """The ports with a "downloaded" row in the record."""
    if not record.exists():
        return set()
    listing = subprocess.run([flasher, "history", "--record", str(record), "--json"],
                             capture_output=True, text=True, check=True).stdout
    rows = [json.loads(line) for line in listing.splitlines() if line.strip()]
    return {row["port"] for row in rows if row["outcome"] == "downloaded"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--devices", type=int, default=16)
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--seed", type=int, default=1)
    options = parser.parse_args()
    chance = random.Random(options.seed)
    with tempfile.TemporaryDirectory() as top:
        top = Path(top)
        mot = top / "fw.mot"
        harness.write_mot(mot, harness.pattern_image(RANGES), RANGES)
        calibration = top / "calibration"
        calibration.mkdir()
        _, _, whole_run = run_station(options, calibration, mot, None)
        shown_total = kept_total = missing_total = 0
        for run in range(options.runs):
            work = top / f"run{run:02d}"
            work.mkdir()
            shown, record, _ = run_station(options, work, mot, chance.uniform(0, whole_run))
            kept = rows_kept(options.flasher, record)
            shown_total += len(shown)
            kept_total += len(kept)
            missing_total += len(shown - kept)
    print(f"{options.devices} devices, a whole run {whole_run:.2f} s, killed at random "
          f"moments of it")
    print(f"runs {options.runs}, shown downloaded {shown_total}, rows kept {kept_total}, "
          f"shown without row {missing_total}")
    return 1 if missing_total else 0


if __name__ == "__main__":
    sys.exit(main())
