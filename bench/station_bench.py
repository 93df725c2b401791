#!/usr/bin/env python3
"""Station benchmark: norvane-flash station with norvane-devsim devices paced at 19200 baud.

Prints, side by side with their goals:
  - 16 devices plugged at random moments: the time from a device's link appearing in the
    watched folder to the station sending its first byte, taken from the device's own frame
    trace, and whether every device verified its new firmware;
  - 16 devices plugged at once against one: the wall time from the links appearing to the
    last outcome;
  - the station's CPU while it watches and nothing happens, as a share of one core.
"""
import argparse
import os
import random
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

DEVICES = 16
BYTE_SECONDS = 10 / 19200


def cpu_seconds(pid):
    """User and system time of a running process, from /proc."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start_devices(options, work, count, tag):
    """count paced devices; each with the monotonic time its clock started (its path line)."""
    devices = []
    for index in range(count):
        device = harness.Device(options.devsim, work, f"{tag}{index:02d}", pace=True)
        device.clock_zero = time.monotonic()  # the path line follows the clock start at once
        devices.append(device)
    return devices


def plug(device, folder):
    link = folder / device.name
    link.symlink_to(device.path)
    device.plugged_at = time.monotonic()
    return str(link)


def first_byte_after_plug(device):
    """Seconds from the link appearing to the station sending the first byte: the device
    records the start string as its last byte arrives, each byte 10 bits at 19200 baud."""
    first = next(frame for frame in device.frames() if frame["dir"] == "in")
    on_the_wire = len(bytes.fromhex(first["hex"])) * BYTE_SECONDS
    return device.clock_zero + first["t_ms"] / 1000 - on_the_wire - device.plugged_at


def run_round(options, work, mot, count, spread_seconds, tag):
    """Plugs count devices over spread_seconds (0: all at once); returns (devices, outcomes,
    wall seconds from the first link to the last outcome)."""
    folder = work / f"{tag}-links"
    folder.mkdir()
    devices = start_devices(options, work, count, tag)
    station = harness.Station(options.flasher, mot, folder, ["--record", str(work / "record.sqlite")])
    try:
        station.wait_for(lambda e: e["text"].startswith("Watching"))
        moments = sorted(random.uniform(0, spread_seconds) for _ in devices)
        start = time.monotonic()
        ports = []
        for device, moment in zip(devices, moments):
            time.sleep(max(0.0, start + moment - time.monotonic()))
            ports.append(plug(device, folder))
        outcomes = [station.outcome(port, timeout=600) for port in ports]
        wall = max(outcome["_at"] for outcome in outcomes) - start
        station.stop()
    finally:
        for device in devices:
            device.stop()
    return devices, outcomes, wall


def idle_cpu(options, work, mot, seconds):
    folder = work / "idle-links"
    folder.mkdir()
    station = harness.Station(options.flasher, mot, folder, ["--record", str(work / "record.sqlite")])
    station.wait_for(lambda e: e["text"].startswith("Watching"))
    before = cpu_seconds(station.proc.pid)
    time.sleep(seconds)
    used = cpu_seconds(station.proc.pid) - before
    station.stop()
    return used / seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--kib", type=int, default=16, help="image size from address 0 (16-256)")
    parser.add_argument("--spread", type=float, default=5.0,
                        help="seconds over which the 16 devices are plugged at random")
    parser.add_argument("--idle", type=float, default=20.0, help="seconds of idle watching")
    parser.add_argument("--seed", type=int, default=20261207)
    options = parser.parse_args()
    random.seed(options.seed)

    ranges = [(0, options.kib * 1024 - 1)]
    with tempfile.TemporaryDirectory(prefix="station-bench-") as name:
        work = Path(name)
        mot = work / "fw.mot"
        harness.write_mot(mot, harness.pattern_image(ranges), ranges)
        spread, spread_outcomes, _ = run_round(options, work, mot, DEVICES, options.spread, "r")
        _, (alone,), wall_one = run_round(options, work, mot, 1, 0, "one")
        _, together, wall_all = run_round(options, work, mot, DEVICES, 0, "all")
        idle = idle_cpu(options, work, mot, options.idle)
        latencies = sorted(first_byte_after_plug(device) * 1000 for device in spread)

    verified = sum(1 for o in spread_outcomes + together if o["outcome"] == "downloaded"
                   and o["verified"])
    print(f"image: {options.kib} KiB from address 0, wire paced at 19200 baud")
    print(f"{DEVICES} devices plugged at random over {options.spread:.0f} s: link to first byte "
          f"sent: median {statistics.median(latencies):.1f} ms, "
          f"max {latencies[-1]:.1f} ms   (goal: median <= 100 ms)")
    print(f"verified: {verified} of {2 * DEVICES}, and the single device: "
          f"{alone['outcome']}, verified {alone['verified']}")
    print(f"{DEVICES} at once: {wall_all:.2f} s   one: {wall_one:.2f} s   "
          f"ratio {wall_all / wall_one:.3f}   (goal: <= 1.05)")
    tick = 1 / os.sysconf("SC_CLK_TCK")
    print(f"station idle, watching: {idle * 100:.3f} % of a core over {options.idle:.0f} s, "
          f"counted in {tick * 1000:.0f} ms ticks   (goal: <= 0.5 %)")


if __name__ == "__main__":
    main()
