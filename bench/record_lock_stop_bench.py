#!/usr/bin/env python3
"""Record lock benchmark: how long Ctrl-C takes to end a station whose record server table is
locked by another session (as VACUUM FULL, an index build or an idle transaction would).

Makes a PostgreSQL server in a temporary folder (run as root, it runs as the user nobody),
lets a station write one row, then holds LOCK TABLE downloads IN SHARE MODE from psql, plugs
a second device, waits for its download (or the time one takes), sends SIGINT and times the
end. The lock is let go after --give-up seconds, so a station that waits for it still ends.
"""
import argparse
import glob
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "cli"))
import norvane_harness as harness  # noqa: E402

RANGES = [(0x0000, 0x01FF)]


def as_server_user(args):
    if os.geteuid() != 0:
        return args
    return ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"] + args


def start_server(work):
    """A fresh server with user "line" and database "record"; returns (url, data folder)."""
    binaries = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
    if not binaries:
        sys.exit("record-lock-stop-bench: PostgreSQL is not installed")
    bin_dir = Path(binaries[-1]).parent
    data = work / "pg"
    data.mkdir()
    if os.geteuid() == 0:
        shutil.chown(data, "nobody", "nogroup")
        os.chmod(work, 0o755)
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    quiet = {"stdout": subprocess.DEVNULL, "check": True}
    subprocess.run(as_server_user([str(bin_dir / "initdb"), "-D", str(data), "-U", "line",
                                   "-A", "trust", "--locale=C", "-N"]), **quiet)
    subprocess.run(as_server_user([str(bin_dir / "pg_ctl"), "-D", str(data), "-l",
                                   str(data / "log"), "-w", "-o",
                                   f"-p {port} -c listen_addresses=127.0.0.1 "
                                   f"-c unix_socket_directories={data} -c fsync=off",
                                   "start"]), **quiet)
    subprocess.run([str(bin_dir / "createdb"), "-h", "127.0.0.1", "-p", str(port), "-U",
                    "line", "record"], **quiet)
    return f"postgresql://line@127.0.0.1:{port}/record", data, bin_dir


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--give-up", type=float, default=30.0)
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as top:
        work = Path(top)
        url, data, bin_dir = start_server(work)
        try:
            mot = work / "fw.mot"
            harness.write_mot(mot, harness.pattern_image(RANGES), RANGES)
            links = work / "by-id"
            links.mkdir()
            env = dict(os.environ, XDG_DATA_HOME=str(work / "home"))
            os.environ.update(env)
            station = harness.Station(options.flasher, mot, links, ["--record", url])
            first = harness.Device(options.devsim, work, "first")
            second = harness.Device(options.devsim, work, "second")
            try:
                station.wait_for(lambda e: e.get("text", "").startswith("Watching"))
                (links / "first").symlink_to(first.path)
                station.outcome(str(links / "first"))
                time.sleep(1)  # the row reaches the server and the table is there
                locker = subprocess.Popen(
                    ["psql", "-q", "-h", "127.0.0.1", "-p", url.rsplit(":", 1)[1].split("/")[0],
                     "-U", "line", "record"],
                    stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
                locker.stdin.write("BEGIN;\nLOCK TABLE downloads IN SHARE MODE;\n")
                locker.stdin.flush()
                time.sleep(1)
                (links / "second").symlink_to(second.path)
                try:
                    shown = station.outcome(str(links / "second"), timeout=10)["outcome"]
                except TimeoutError:
                    shown = "none within 10 s"
                start = time.monotonic()
                station.proc.send_signal(signal.SIGINT)
                try:
                    station.proc.wait(timeout=options.give_up)
                    stop = f"{time.monotonic() - start:.2f} s"
                except subprocess.TimeoutExpired:
                    locker.stdin.write("ROLLBACK;\n")
                    locker.stdin.flush()
                    station.proc.wait()
                    stop = (f"more than {options.give_up:.0f} s: it ended "
                            f"{time.monotonic() - start:.2f} s after, once the lock went")
                locker.stdin.close()
                locker.wait()
                print(f"second device's outcome with the table locked: {shown}")
                print(f"Ctrl-C to the end of the station with the table locked: {stop}")
                print("station's standard error:")
                sys.stdout.write(station.proc.stderr.read())
            finally:
                first.stop()
                second.stop()
        finally:
            subprocess.run(as_server_user([str(bin_dir / "pg_ctl"), "-D", str(data), "-m",
                                           "immediate", "-w", "stop"]),
                           stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
