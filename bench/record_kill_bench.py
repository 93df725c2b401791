#!/usr/bin/env python3
"""Record kill benchmark: is every download shown as downloaded also in the record?

Runs norvane-flash station --json over DEVICES virtual devices (plugged before it starts),
kills it with SIGKILL at a random moment of the run, RUNS times, and counts the devices it
showed as downloaded (an outcome "downloaded", or the status "Firmware downloaded OK!")
against the rows the record kept (norvane-flash history --json). Prints the figures; a
device shown downloaded without its row is a fault.
"""
import argparse
import json
import random
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

RANGES = [(0x0000, 0x01FF), (0x3000, 0x7FFF)]
DOWNLOADED_STATUS = "Firmware downloaded OK!"


def run_station(options, work, mot, kill_after):
    """One station run over fresh devices, killed kill_after seconds in (None: stopped with
    Ctrl-C once every device has its outcome). Returns (ports shown downloaded by outcome,
    ports shown downloaded by status, the record file, seconds to the last outcome or the
    kill)."""
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
        # Read as it comes, so that a full pipe never holds the station's output back.
        events = []
        reader = threading.Thread(
            target=lambda: events.extend(json.loads(line) for line in station.stdout))
        reader.start()
        if kill_after is None:
            while sum(e["event"] == "outcome" for e in events) < len(devices):
                time.sleep(0.01)
            station.send_signal(signal.SIGINT)
        else:
            time.sleep(kill_after)
            station.send_signal(signal.SIGKILL)
        seconds = time.monotonic() - start
        reader.join()
        shown = {e["port"] for e in events
                 if e["event"] == "outcome" and e["outcome"] == "downloaded"}
        status_shown = {e["port"] for e in events
                        if e["event"] == "status" and e["text"].startswith(DOWNLOADED_STATUS)}
        station.wait()
        station.stdout.close()
        return shown, status_shown, record, seconds
    finally:
        for device in devices:
            device.stop()


def rows_kept(flasher, record):
    """The ports with a "downloaded" row in the record."""
    if not record.exists():
        return set()
    listing = subprocess.run([flasher, "history", "--record", str(record), "--json"],
                             capture_output=True, text=True)
    if listing.returncode != 0:
        print(f"history of {record}: {listing.stderr.strip()}", file=sys.stderr)
        return set()
    rows = [json.loads(line) for line in listing.stdout.splitlines() if line.strip()]
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
        _, _, _, whole_run = run_station(options, calibration, mot, None)
        # The devices end together near the end of a run, where a row and its outcome part.
        earliest = whole_run * 0.7
        shown_total = status_total = kept_total = missing_total = status_missing_total = 0
        for run in range(options.runs):
            work = top / f"run{run:02d}"
            work.mkdir()
            shown, status_shown, record, _ = run_station(
                options, work, mot, chance.uniform(earliest, whole_run))
            kept = rows_kept(options.flasher, record)
            shown_total += len(shown)
            status_total += len(status_shown)
            kept_total += len(kept)
            missing_total += len(shown - kept)
            status_missing_total += len(status_shown - kept)
    print(f"{options.devices} devices, the last outcome {whole_run:.2f} s into a run; "
          f"killed at random from {earliest:.2f} s to {whole_run:.2f} s")
    print(f"runs {options.runs}, shown downloaded {shown_total}, rows kept {kept_total}, "
          f"shown without row {missing_total}")
    print(f"status \"{DOWNLOADED_STATUS}\" shown {status_total}, "
          f"shown without row {status_missing_total}")
    return 1 if missing_total or status_missing_total else 0


if __name__ == "__main__":
    sys.exit(main())
