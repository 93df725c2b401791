#!/usr/bin/env python3
"""JSON volume of norvane-flash flash --json against norvane-devsim: prints figures, it is not
a test.

Flashes a sparse image (eight 128-byte steps spread over 1,953 steps of flash) once, and runs
once against a device whose bootloader never starts; prints the lines, bytes, progress events
and empty status events of each, and the bytes 400 sparse downloads would write. With
--baseline, a second flasher (an older build) runs the same and is printed beside it.

  json_volume.py --flasher PATH --devsim PATH [--baseline PATH] [--no-polls]
"""
import argparse
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

SPARSE = [(address, address + 0x7F) for address in
          (0x00000, 0x03000, 0x08000, 0x10000, 0x20000, 0x30000, 0x38000, 0x3D000)]
DOWNLOADS = 400


def figures(flasher, devsim, work, mot, faults):
    """(lines, bytes, progress events, empty status events) of one flash --json run."""
    with harness.Device(devsim, work, "device", faults=faults) as device:
        _, out, err, _ = harness.run_flash(flasher, [device.path], mot, ["--json"])
    events = harness.json_events(out)
    if not events:
        raise RuntimeError(f"{flasher} wrote no events: {err}")
    return (len(out.splitlines()), len(out.encode()),
            sum(1 for e in events if e["event"] == "progress"),
            sum(1 for e in events if e["event"] == "status" and e["text"] == ""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--baseline", help="an older norvane-flash to compare with")
    parser.add_argument("--no-polls", action="store_true",
                        help="also run against a bootloader that never starts (30 s each)")
    args = parser.parse_args()
    flashers = [("this build", args.flasher)]
    if args.baseline:
        flashers.insert(0, ("baseline", args.baseline))

    with tempfile.TemporaryDirectory() as work:
        os.environ["XDG_DATA_HOME"] = work  # the runs are recorded there, not in the user's record
        mot = Path(work) / "sparse.mot"
        harness.write_mot(mot, harness.pattern_image(SPARSE), SPARSE)
        runs = [("sparse image", [])] + ([("no bootloader", ["no-polls"])] if args.no_polls else [])
        print(f"{'run':<15}{'figure':<22}" + "".join(f"{name:>14}" for name, _ in flashers))
        for title, faults in runs:
            measured = [figures(path, args.devsim, work, mot, faults) for _, path in flashers]
            rows = [("lines", 0), ("bytes", 1), ("progress events", 2), ("empty status", 3)]
            for label, index in rows:
                print(f"{title:<15}{label:<22}" + "".join(f"{m[index]:>14,}" for m in measured))
            if not faults:
                print(f"{title:<15}{f'MB for {DOWNLOADS} downloads':<22}" +
                      "".join(f"{m[1] * DOWNLOADS / 1e6:>14.2f}" for m in measured))
    return 0


if __name__ == "__main__":
    sys.exit(main())
