"""Runs norvane-flash against norvane-devsim over pseudo-terminals.

Shared by the end-to-end test, the benchmark and the fault soak: virtual devices started and
stopped, firmware images written as S-record files, the flasher run and its JSON events read.
"""
import argparse
import json
import os
import random
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

IMAGE_SIZE = 0x40000


class Device:
    """One norvane-devsim process; its first output line is the device path to open."""

    def __init__(self, devsim, workdir, name, faults=(), pace=False, extra=()):
        self.name = name
        self.flash_out = Path(workdir) / f"{name}.flash"
        self.trace = Path(workdir) / f"{name}.trace.jsonl"
        args = [str(devsim), "--flash-out", str(self.flash_out), "--trace", str(self.trace)]
        for fault in faults:
            args += ["--fault", fault]
        if pace:
            args.append("--pace")
        args += list(extra)
        self.errors = Path(workdir) / f"{name}.stderr"
        with self.errors.open("w") as errors:
            self.proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=errors, text=True)
        self.path = self.proc.stdout.readline().strip()
        if not self.path:
            self.stop()
            raise RuntimeError(f"norvane-devsim did not start: {self.errors.read_text()}")

    def stop(self):
        """Ends the device; its flash is written out as it exits."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.proc.stdout.close()

    def flash(self):
        return self.flash_out.read_bytes()

    def frames(self):
        """The device's trace: one dict per frame in and out."""
        if not self.trace.exists():
            return []
        with self.trace.open() as lines:
            return [json.loads(line) for line in lines if line.strip()]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def pattern_image(ranges, seed=1):
    """A 256 KiB image, 0xFF outside ranges [(first, last)], random non-0xFF bytes inside."""
    rng = random.Random(seed)
    image = bytearray(b"\xff" * IMAGE_SIZE)
    for first, last in ranges:
        image[first:last + 1] = bytes(rng.randrange(0, 255) for _ in range(last - first + 1))
    return image


def write_mot(path, image, ranges):
    """Writes the ranges of image as S2 records of 32 bytes and an S9 record."""
    lines = []
    for first, last in ranges:
        for address in range(first, last + 1, 32):
            chunk = bytes(image[address:min(address + 32, last + 1)])
            record = bytes([len(chunk) + 4, address >> 16 & 0xFF, address >> 8 & 0xFF,
                            address & 0xFF]) + chunk
            lines.append("S2" + record.hex().upper() + "%02X" % (0xFF - sum(record) % 256))
    lines.append("S9030000FC")
    Path(path).write_text("\r\n".join(lines) + "\r\n")


def flash_command(flasher, ports, mot, extra=()):
    args = [str(flasher), "flash"]
    for port in ports:
        args += ["--port", port]
    return args + list(extra) + [str(mot)]


def run_flash(flasher, ports, mot, extra=(), timeout=300):
    """Runs norvane-flash flash to its end; returns (exit code, stdout, stderr, seconds)."""
    start = time.monotonic()
    done = subprocess.run(flash_command(flasher, ports, mot, extra), capture_output=True,
                          text=True, timeout=timeout)
    return done.returncode, done.stdout, done.stderr, time.monotonic() - start


def json_events(stdout):
    return [json.loads(line) for line in stdout.splitlines() if line.startswith("{")]


def outcomes(events):
    """The outcome event of each port, by port."""
    return {event["port"]: event for event in events if event["event"] == "outcome"}


def packets_in(frames):
    """The packet commands the device received, as (command code, frame bytes)."""
    result = []
    for frame in frames:
        if frame["dir"] == "in" and frame["kind"] == "packet":
            data = bytes.fromhex(frame["hex"])
            result.append((data[2], data))
    return result


def cpu_seconds_of_children():
    usage = os.times()
    return usage.children_user + usage.children_system


class Station:
    """norvane-flash station --json in the background; its events read as they arrive, each
    with the monotonic time it arrived at in "_at"."""

    def __init__(self, flasher, mot, watch, extra=()):
        import queue
        import threading
        self.events = []
        self._outcomes_taken = {}
        self._queue = queue.Queue()
        self.proc = subprocess.Popen(
            [str(flasher), "station", "--watch", str(watch), "--json", *extra, str(mot)],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for line in self.proc.stdout:
            if line.startswith("{"):
                event = json.loads(line)
                event["_at"] = time.monotonic()
                self._queue.put(event)
        self._queue.put(None)

    def wait_for(self, wanted, timeout=30):
        """Reads events until wanted(event) holds and returns that event."""
        import queue
        deadline = time.monotonic() + timeout
        while True:
            try:
                event = self._queue.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise TimeoutError(f"no such event within {timeout} s") from None
            if event is None:
                raise EOFError("the station ended: " + self.proc.stderr.read())
            self.events.append(event)
            if wanted(event):
                return event

    def outcome(self, port, timeout=30):
        """The port's next outcome not asked for yet, among the events read so far or to come."""
        taken = self._outcomes_taken.get(port, 0)
        seen = [e for e in self.events if e["event"] == "outcome" and e["port"] == port]
        if len(seen) <= taken:
            seen.append(self.wait_for(lambda e: e["event"] == "outcome" and e["port"] == port,
                                      timeout))
        self._outcomes_taken[port] = taken + 1
        return seen[taken]

    def stop(self, sig=signal.SIGINT, timeout=30):
        """Stops the station as Ctrl-C does; returns its exit code once every event is read."""
        self.proc.send_signal(sig)
        code = self.proc.wait(timeout=timeout)
        self._reader.join(timeout=timeout)
        while not self._queue.empty():
            event = self._queue.get()
            if event is not None:
                self.events.append(event)
        self.proc.stdout.close()
        self.proc.stderr.close()
        return code

    def outcomes_of(self, port):
        return [e["outcome"] for e in self.events if e["event"] == "outcome" and e["port"] == port]


def run_tests(module_globals):
    """Runs a test file's unittest cases with the programs named on the command line
    (--flasher, --devsim) set as its FLASHER and DEVSIM."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    options, rest = parser.parse_known_args()
    module_globals["FLASHER"], module_globals["DEVSIM"] = options.flasher, options.devsim
    unittest.main(module=module_globals["__name__"], argv=[sys.argv[0]] + rest, verbosity=2)
