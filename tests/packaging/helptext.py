"""What the programs' own --help says: commands, options, exit codes and faults; and the
options each command of norvane-flash declares.

The help, the manual pages and the shell completion are checked against these, so a new
option shows up as a failing test until all of them describe it.
"""
import re
import subprocess
from typing import NamedTuple

# An option as it is written on a command line: --long-name, -x, or "--" standing alone or as
# "[--]" in a usage line (the end of the options); not part of a word ("S-record",
# "/dev/serial/by-id").
OPTION = re.compile(r"(?<![\w-])(--[A-Za-z][\w-]*|-[A-Za-z](?![\w-])|--(?=[\s\]]))")


def run_help(*argv):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        raise SystemExit(f"{' '.join(argv)} exited with {result.returncode}: {result.stderr}")
    return result.stdout


def options_in(text):
    return set(OPTION.findall(text))


def block_after(text, heading):
    """The lines after the line that starts with heading, up to the next empty line."""
    lines = text.splitlines()
    for index, line in enumerate(lines):
        if line.startswith(heading):
            block = []
            for following in lines[index + 1:]:
                if not following.strip():
                    break
                block.append(following)
            return block
    return []


def commands_of(flasher):
    """The commands the top-level help lists under "Commands:"."""
    block = block_after(run_help(flasher, "--help"), "Commands:")
    return [m.group(1) for m in (re.match(r"\s+([a-z][\w-]*)\s{2,}", line) for line in block) if m]


def command_help(flasher, command):
    return run_help(flasher, "help", command)


def exit_codes_in(text):
    """The codes listed one per line after "Exit codes" (which may end a sentence)."""
    after = text.split("Exit codes", 1)[1].split("\n", 1)[-1] if "Exit codes" in text else ""
    lines = after.split("\n\n", 1)[0].splitlines()
    return {int(m.group(1)) for m in (re.match(r"\s*(\d+)\s+\S", line) for line in lines) if m}


def faults_of(devsim):
    """The fault names the virtual device's help lists under "Faults"."""
    block = block_after(run_help(devsim, "--help"), "Faults")
    return {m.group(1) for m in (re.match(r"\s{2}([a-z][\w-]*)", line) for line in block) if m}


class Declared(NamedTuple):
    name: str   # "--port", or "--" for the end of the options
    short: str  # "-p", or ""
    value: str  # the value's name as the help shows it ("PORT"), or "" for no value

    def names(self):
        return {self.name, self.short} - {""}


def declared_options(flasher):
    """Command -> the options its table declares (norvane-flash --option-table)."""
    table = {}
    for line in run_help(flasher, "--option-table").splitlines():
        command, name, short, value = line.split("\t")
        table.setdefault(command, []).append(Declared(name, short, value))
    return table


def names_of(options):
    return set().union(*(option.names() for option in options))


def written_with_value(option, text):
    """Whether text shows the option with its value's name: "--port PORT", "--port=PORT"."""
    names = "|".join(re.escape(name) for name in option.names())
    return re.search(rf"(?<![\w-])(?:{names})(?:=|\s+){re.escape(option.value)}(?!\w)", text)
