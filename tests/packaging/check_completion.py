#!/usr/bin/env python3
"""Drives the bash completion from a script for typed command lines, and checks that both
the bash and the zsh completion know every command, option and fault the --help lists. The
options of each norvane-flash command are the ones its option table declares: bash offers
exactly those, and completes no option where a value is due; zsh gives each in the command's
own _arguments list, with a value where it takes one, and ends the options at "--" where the
command does."""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

import helptext

# bash allows compopt only inside a real completion; here it has nothing to change.
DRIVER = r'''
source "$1"
compopt() { :; }
COMP_LINE=$2
COMP_POINT=${#COMP_LINE}
read -ra words <<<"$COMP_LINE"
function=$(complete -p "${words[0]}" | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
"$function" "${words[0]}"
printf '%s\n' "${COMPREPLY[@]}"
'''

COMS = {f"COM{n}" for n in range(1, 13)}
HELP_OPTIONS = {"-h", "--help"}


def complete(script, line, cwd):
    result = subprocess.run(["bash", "--norc", "--noprofile", "-c", DRIVER, "driver", script,
                             line], capture_output=True, text=True, cwd=cwd, timeout=30)
    if result.returncode != 0 or result.stderr:
        return {f"<bash failed: {result.stderr.strip()}>"}
    return {word for word in result.stdout.splitlines() if word}


def bash_cases(flasher, devsim):
    """(typed line, the words bash must offer); a callable checks the offer instead."""
    commands = set(helptext.commands_of(flasher))
    top_help = helptext.run_help(flasher, "--help")
    cases = [
        ("norvane-flash ", commands | ({"help"} if "help COMMAND" in top_help else set())),
        ("norvane-flash help ", commands),
        ("norvane-flash fl", {"flash"}),
        ("norvane-flash --", helptext.options_in(top_help)),
        ("norvane-flash flash --port COM1", {"COM1", "COM10", "COM11", "COM12"}),
        ("norvane-flash flash -p ",
         lambda offer: COMS <= offer and all(w.startswith("/dev/serial/by-id/")
                                             for w in offer - COMS)),
        ("norvane-flash flash --port=COM2", {"COM2"}),
        ("norvane-flash flash --port ./d", {"./dev0"}),
        ("norvane-flash flash --port COM3 ", {"a.mot", "B.MOT", "my fw.mot", "sub"}),
        ("norvane-flash flash -p COM1 my\\ f", {"my fw.mot"}),
        ("norvane-flash info 'my f", {"my fw.mot"}),
        ("norvane-flash info --json s", {"sub"}),
        ("norvane-flash flash -p COM1 -- ", {"a.mot", "B.MOT", "my fw.mot", "sub"}),
        ("norvane-flash flash --trace n", {"notes.txt"}),
        ("norvane-flash station --watch ", {"sub"}),
        ("norvane-devsim -", helptext.options_in(helptext.run_help(devsim, "--help"))),
        ("norvane-devsim --fault no", {"no-polls"}),
        ("norvane-devsim --fault fail-verify,cl", {"fail-verify,close-after:"}),
        # ':' breaks words for bash: only the part after the last one is replaced.
        ("norvane-devsim --fault drop:3:1,fa", {"1,fail-verify"}),
        ("norvane-devsim --fault ",
         lambda offer: {w.rstrip(":") for w in offer} == helptext.faults_of(devsim)),
    ]
    cases.append(("norvane-flash history --outcome ", outcome_words(flasher)))
    for command, options in sorted(helptext.declared_options(flasher).items()):
        # "--" (the end of the options) is typed, not offered.
        cases.append((f"norvane-flash {command} -", helptext.names_of(options) - {"--"}))
        cases += [(f"norvane-flash {command} {option.name} -", set())
                  for option in options if option.value]
    return cases


def words_of_help(flasher, devsim):
    """Every word a completion must know, by the completion file that must know it."""
    flash_words = set(helptext.commands_of(flasher)) | helptext.options_in(
        helptext.run_help(flasher, "--help"))
    for options in helptext.declared_options(flasher).values():
        flash_words |= helptext.names_of(options)
    devsim_words = (helptext.options_in(helptext.run_help(devsim, "--help"))
                    | helptext.faults_of(devsim))
    flash_words.discard("--")
    return {"_norvane-flash": flash_words, "_norvane-devsim": devsim_words}


def outcome_words(flasher):
    """The outcome words of the program's own outcome table."""
    return set(subprocess.run([flasher, "--outcome-words"], capture_output=True, text=True,
                              check=True).stdout.split())


def zsh_argument_problems(flasher, path):
    """The _arguments list of each command in the zsh completion against its option table."""
    text = Path(path).read_text()
    problems = []
    for command, options in sorted(helptext.declared_options(flasher).items()):
        arguments = re.search(rf"^\s+{command}\)\n(.*?)^\s+;;", text, re.M | re.S)
        if not arguments:
            problems.append(f"{path} has no _arguments list for {command}: add a '{command})' case")
            continue
        arguments = arguments.group(1)
        for option in options:
            if option.name == "--":
                if "_arguments -S" not in arguments:
                    problems.append(f"{command} ends its options at --, but its _arguments list in {path} "
                                    f"does not: use _arguments -S")
            elif option.name in HELP_OPTIONS:
                if '"${help[@]}"' not in arguments:
                    problems.append(f"the _arguments list of {command} in {path} lacks \"${{help[@]}}\"")
            elif not re.search(re.escape(option.name) + ("[=+]" if option.value else r"\["), arguments):
                form = f"{option.name}=[...]:{option.value}" if option.value else \
                    f"{option.name}[...]"
                problems.append(f"the _arguments list of {command} in {path} lacks {form}")
    outcomes = re.search(r"--outcome=\[[^]]*\]:outcome:\(([^)]*)\)", text)
    if not outcomes or set(outcomes.group(1).split()) != outcome_words(flasher):
        problems.append(f"the --outcome words in {path} are not {sorted(outcome_words(flasher))}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--completion", required=True, help="the completion/ folder")
    args = parser.parse_args()
    folder = Path(args.completion).resolve()
    script = str(folder / "norvane-flash.bash")
    problems = []

    with tempfile.TemporaryDirectory() as work:
        for name in ("a.mot", "B.MOT", "my fw.mot", "notes.txt"):
            Path(work, name).touch()
        Path(work, "sub").mkdir()
        os.symlink("/dev/null", Path(work, "dev0"))
        for line, expected in bash_cases(args.flasher, args.devsim):
            offer = complete(script, line, work)
            if callable(expected) and not expected(offer) or \
                    not callable(expected) and offer != expected:
                wanted = "" if callable(expected) else f", wanted {sorted(expected)}"
                problems.append(f"bash completion of '{line}' offers {sorted(offer)}{wanted}: "
                                f"update {script}")

    for name, words in words_of_help(args.flasher, args.devsim).items():
        path = folder / name
        text = path.read_text()
        for word in sorted(words):
            if not re.search(rf"(?<![\w-]){re.escape(word)}(?![\w-])", text):
                problems.append(f"{word} is a command or option of the program but not in "
                                f"{path}: add it there")
        check = subprocess.run(["zsh", "-n", str(path)], capture_output=True, text=True)
        if check.returncode != 0:
            problems.append(f"zsh cannot read {path}: {check.stderr.strip()}")

    problems += zsh_argument_problems(args.flasher, folder / "_norvane-flash")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
