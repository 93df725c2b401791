#!/usr/bin/env python3
"""Fault soak: norvane-flash against a misbehaving norvane-devsim, many runs.

Every run draws one fault at random, flashes a small image over a pseudo-terminal and checks
the outcome against what that fault must give: the exit code and the message, no command
sent after a failure (from the device's own trace), and never exit 0 unless the device
verified the image or no header was due (then its flash must hold the image).

  fault-soak.py --flasher PATH --devsim PATH [--runs N] [--seed S] [--jobs J]

Prints runs, faults by kind, outcomes correct and wrong; exits 1 when any outcome is wrong.
"""
import argparse
import collections
import random
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import norvane_harness as harness  # noqa: E402

# Two images: one that erases block 1 (a header and a verify report are due) and one that
# does not. Their packet commands, in order, with the reply codes each awaits.
WITH_HEADER = {
    "ranges": [(0x0000, 0x00FF), (0x3000, 0x30FF)],
    "replies": [[1, 2, 3, 4], [3, 4], [1, 2], [3, 4], [3, 4], [3, 4, 6]],
}
WITHOUT_HEADER = {
    "ranges": [(0x3000, 0x30FF)],
    "replies": [[1, 2], [3, 4], [3, 4]],
}

DOWNLOAD_ERROR = "Error occured while downloading firmware."
BOOTLOADER_ERROR = "Could not start the Bootloader!"
POLL_LIMIT = 200

# Fault kinds and how often each is drawn. The poll faults cost 30 s each (every poll of the
# limit times out), so they are drawn less often.
KINDS = {
    "none": 4, "drop": 6, "change": 6, "one-byte": 6, "late": 5, "late-in-time": 4,
    "garbage": 6, "fail-verify": 3, "close": 6, "no-polls": 1, "garbage-polls": 1,
}


def draw_fault(rng):
    """Returns (kind, image, fault spec or None, failing command or None, expected exit)."""
    kind = rng.choices(list(KINDS), weights=list(KINDS.values()))[0]
    image = WITHOUT_HEADER if kind != "fail-verify" and rng.random() < 0.2 else WITH_HEADER
    replies = image["replies"]
    command = rng.randrange(1, len(replies) + 1)
    reply = rng.randrange(1, len(replies[command - 1]) + 1)
    if kind == "none":
        return kind, image, None, None, 0
    if kind == "drop":
        return kind, image, f"drop:{command}:{reply}", command, 1
    if kind == "change":
        expected = replies[command - 1][reply - 1]
        code = rng.choice([c for c in range(0, 9) if c != expected])
        return kind, image, f"change:{command}:{reply}:{code}", command, 1
    if kind == "one-byte":
        return kind, image, f"one-byte:{command}:{reply}", command, 1
    if kind == "late":
        # Later than the host waits: 7.5 s per reply byte, 10 s for the verify report.
        return kind, image, f"late:{command}:{reply}:{rng.randrange(12000, 14000)}", command, 1
    if kind == "late-in-time":
        return kind, image, f"late:{command}:{reply}:{rng.randrange(500, 5000)}", None, 0
    if kind == "garbage":
        return kind, image, f"garbage:{command}:{reply}", command, 1
    if kind == "fail-verify":
        return kind, image, "fail-verify", len(replies), 1
    if kind == "close":
        after = rng.randrange(0, len(replies))
        return kind, image, f"close-after:{after}", after + 1, 1
    return kind, image, kind, 0, 5  # no-polls, garbage-polls


def check(kind, image, failing, expected_exit, code, events, frames, flash, mot_image):
    """The reasons the run's outcome is wrong; empty when it is right."""
    wrong = []
    if code != expected_exit:
        wrong.append(f"exit {code}, expected {expected_exit}")
    messages = [e["text"] for e in events if e["event"] == "message"]
    statuses = [e["text"] for e in events if e["event"] == "status" and e["text"]]
    packets = harness.packets_in(frames)
    verified = any(f["dir"] == "out" and f["hex"].endswith("06") and f.get("command") == 4
                   for f in frames)
    if code == 0:
        if not statuses or not statuses[-1].startswith("Firmware downloaded OK!"):
            wrong.append(f"exit 0 but last status {statuses[-1:]}")
        header_sent = any(command == 4 for command, _ in packets)
        if image is WITH_HEADER and not verified:
            wrong.append("exit 0 without the device's verify report")
        if image is WITHOUT_HEADER and header_sent:
            wrong.append("a header was sent for an image without block 1")
        for first, last in image["ranges"]:
            if flash[first:last + 1] != mot_image[first:last + 1]:
                wrong.append(f"exit 0 but flash differs in {first:#x}..{last:#x}")
    elif expected_exit == 1:
        if DOWNLOAD_ERROR not in messages:
            wrong.append(f"messages {messages}, expected the download-error box")
        if statuses[-1:] != ["Firmware download error!"]:
            wrong.append(f"last status {statuses[-1:]}")
    elif expected_exit == 5:
        if BOOTLOADER_ERROR not in messages:
            wrong.append(f"messages {messages}, expected the bootloader box")
        polls = sum(1 for f in frames if f["dir"] == "in" and f["kind"] == "poll")
        if polls > POLL_LIMIT:
            wrong.append(f"{polls} polls, more than the limit")
    if failing is not None and code != 0:
        # Nothing may follow the failing command: no packet, no poll, no string.
        if len(packets) > failing:
            wrong.append(f"{len(packets)} packets received, the run failed at command {failing}")
        seen = 0
        for frame in frames:
            if frame["dir"] == "in":
                if seen >= failing and failing > 0:
                    wrong.append(f"{frame['kind']} sent after the failing command")
                    break
                seen += frame["kind"] == "packet"
    return wrong


def one_run(devsim, flasher, number, seed, workroot):
    rng = random.Random(seed * 100003 + number)
    kind, image, fault, failing, expected_exit = draw_fault(rng)
    work = Path(tempfile.mkdtemp(prefix=f"run{number}-", dir=workroot))
    mot_image = harness.pattern_image(image["ranges"], seed=number)
    mot = work / "fw.mot"
    harness.write_mot(mot, mot_image, image["ranges"])
    device = harness.Device(devsim, work, "dev", faults=[fault] if fault else [])
    try:
        code, out, _, seconds = harness.run_flash(flasher, [device.path], mot, ["--json"],
                                                  timeout=120)
    finally:
        device.stop()
    events = harness.json_events(out)
    wrong = check(kind, image, failing, expected_exit, code, events, device.frames(),
                  device.flash() if device.flash_out.exists() else b"", mot_image)
    return number, kind, fault, code, seconds, wrong


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--runs", type=int, default=300)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--jobs", type=int, default=8, help="runs at once (they mostly wait)")
    options = parser.parse_args()

    started = time.monotonic()
    by_kind = collections.Counter()
    correct = 0
    failures = []
    with tempfile.TemporaryDirectory(prefix="fault-soak-") as workroot, \
            ThreadPoolExecutor(max_workers=options.jobs) as pool:
        runs = [pool.submit(one_run, options.devsim, options.flasher, n, options.seed, workroot)
                for n in range(options.runs)]
        for run in runs:
            number, kind, fault, code, seconds, wrong = run.result()
            by_kind[kind] += 1
            if wrong:
                failures.append((number, fault, code, wrong))
            else:
                correct += 1

    print(f"runs: {options.runs} (seed {options.seed}, {time.monotonic() - started:.0f} s)")
    print("faults by kind: " + ", ".join(f"{k} {by_kind[k]}" for k in KINDS if by_kind[k]))
    print(f"outcomes correct: {correct}")
    print(f"outcomes wrong: {len(failures)}")
    for number, fault, code, wrong in failures:
        print(f"  run {number} fault {fault}: exit {code}: " + "; ".join(wrong))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
