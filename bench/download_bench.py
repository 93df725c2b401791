#!/usr/bin/env python3
"""Download benchmark: norvane-flash against norvane-devsim with the wire paced at 19200 baud.

Prints, side by side with their goals:
  - the programming time of one image against the wire limit (every byte of the packets and
    replies at 10 bits / 19200 baud, plus the device's modelled busy time), as a ratio;
  - the flasher's CPU seconds over the run divided by its wall time;
  - four devices at once against one.
The programming time runs from the first packet sent to the verify report received, both
taken from the flasher's own frame trace.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

BYTE_SECONDS = 10 / 19200
# The device's modelled busy time (norvane-devsim defaults), in seconds.
REPLY_LATENCY = 0.0005
PROGRAM_128 = 0.0015
VERIFY = 0.020
ERASE_BASE = 0.010
ERASE_PER_KIB = 0.0015
BLOCK_SIZES = [4096] * 8 + [32768, 65536, 65536, 65536]


def erase_seconds(block_index):
    return ERASE_BASE + ERASE_PER_KIB * BLOCK_SIZES[block_index] // 1024


def busy_seconds(packet):
    command = packet[2]
    if command == 0x01:
        return REPLY_LATENCY + PROGRAM_128
    if command == 0x02:
        return REPLY_LATENCY + erase_seconds(packet[3])
    if command == 0x03:
        return 2 * REPLY_LATENCY + erase_seconds(packet[8]) + PROGRAM_128
    return REPLY_LATENCY + PROGRAM_128 + VERIFY


def programming_figures(trace_lines):
    """(measured seconds, limit seconds, mean reaction ms) of one port's trace lines
    ('MS ms PORT DIR HEX...'). The reaction is the flasher's own time from reading the last
    reply of a command to writing the next packet."""
    first_packet = None
    last_reply = None
    wire_bytes = 0
    busy = 0.0
    reactions = []
    for line in trace_lines:
        fields = line.split()
        at_ms, direction, data = int(fields[0]), fields[3], bytes.fromhex("".join(fields[4:]))
        is_packet = direction == "TX" and len(data) >= 6 and data[0] == 0x7E and data[1] != 0x23
        if first_packet is None and not is_packet:
            continue
        if first_packet is None:
            first_packet = at_ms
        elif is_packet:
            reactions.append(at_ms - last_reply)
        if direction in ("TX", "RX"):
            wire_bytes += len(data)
        if is_packet:
            busy += busy_seconds(data)
        if direction == "RX":
            last_reply = at_ms
    measured = (last_reply - first_packet) / 1000
    return measured, wire_bytes * BYTE_SECONDS + busy, sum(reactions) / len(reactions)


def device_excess_ms(frames):
    """From the device's trace (replies stamped as they are queued, packets once fully
    received): the mean time the simulated device took beyond its model from a program
    packet to its last reply, in ms."""
    excess = []
    last_packet = None
    for frame in frames:
        if frame["dir"] == "in" and frame["kind"] == "packet":
            last_packet = (bytes.fromhex(frame["hex"])[2], frame["t_ms"])
        elif frame["dir"] == "out" and frame["hex"] == "7E 04" and last_packet and last_packet[0] == 0x01:
            excess.append(frame["t_ms"] - last_packet[1] - (REPLY_LATENCY + PROGRAM_128) * 1000)
    return sum(excess) / len(excess)


def run(flasher, devsim, ports_wanted, mot, work):
    devices = [harness.Device(devsim, work, f"dev{i}", pace=True) for i in range(ports_wanted)]
    trace = work / f"host-{ports_wanted}.trace"
    try:
        start = time.monotonic()
        process = subprocess.Popen(
            harness.flash_command(flasher, [d.path for d in devices], mot,
                                  ["--trace", str(trace)]),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.monotonic() - start
        process.returncode = os.waitstatus_to_exitcode(status)
    finally:
        for device in devices:
            device.stop()
    if process.returncode != 0:
        raise RuntimeError(f"norvane-flash ended with {process.returncode}")
    lines = trace.read_text().splitlines()
    per_port = [programming_figures([l for l in lines if l.split()[2] == d.path]) for d in devices]
    return per_port, (usage.ru_utime + usage.ru_stime) / wall, wall, devices[0].frames()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--kib", type=int, default=64, help="image size from address 0 (16-256)")
    options = parser.parse_args()
    if not 16 <= options.kib <= 256:
        parser.error("--kib must be 16 to 256: the image must reach the application area")

    ranges = [(0, options.kib * 1024 - 1)]
    with tempfile.TemporaryDirectory(prefix="download-bench-") as name:
        work = Path(name)
        mot = work / "fw.mot"
        harness.write_mot(mot, harness.pattern_image(ranges), ranges)
        (one,), cpu_one, wall_one, frames = run(options.flasher, options.devsim, 1, mot, work)
        four, cpu_four, wall_four, _ = run(options.flasher, options.devsim, 4, mot, work)
    device_excess = device_excess_ms(frames)

    measured, limit, reaction = one
    slowest_of_four = max(m for m, _, _ in four)
    print(f"image: {options.kib} KiB from address 0, wire paced at 19200 baud")
    print(f"programming time, one device: {measured:8.2f} s   wire limit {limit:8.2f} s   "
          f"ratio {measured / limit:.3f}   (goal: within 2 %)")
    print(f"  per command: the flasher reacts to a reply in {reaction:.2f} ms; the simulated "
          f"device answers {device_excess:.2f} ms later than its model")
    print(f"flasher CPU / wall, one device: {cpu_one * 100:5.2f} %   "
          f"({wall_one:.1f} s wall)   (goal: under 2 %)")
    print(f"flasher CPU / wall, four devices: {cpu_four * 100:5.2f} %   ({wall_four:.1f} s wall)")
    print(f"four at once, slowest: {slowest_of_four:8.2f} s   against one {measured:8.2f} s   "
          f"ratio {slowest_of_four / measured:.3f}   (goal: within 5 %)")


if __name__ == "__main__":
    main()
