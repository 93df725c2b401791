#!/usr/bin/env python3
"""The manual pages say what the programs' --help says: the same commands, options, exit
codes and faults, in both directions. The options of each norvane-flash command, in its help
and on the page, are the ones its option table declares, each shown with its value's name. A
failure names the page or help and the section to update."""
import argparse
import re
import sys
from pathlib import Path

import helptext


def page_text(path):
    """Section name -> plain text of a man(7) page source. Subsections of COMMANDS are
    keyed "COMMANDS/name"."""
    sections = {}
    current = None
    chapter = None
    for line in Path(path).read_text().splitlines():
        heading = re.match(r'\.(SH|SS)\s+"?([^"]*)"?', line)
        if heading:
            if heading.group(1) == "SH":
                chapter = current = heading.group(2)
            else:
                current = f"{chapter}/{heading.group(2)}"
            sections.setdefault(current, "")
            continue
        if current is None or line.startswith('.\\"'):
            continue
        text = re.sub(r"^\.[A-Z]{1,2}\b", "", line)
        text = re.sub(r"\\f[BIRP]", "", text).replace("\\-", "-").replace("\\e", "\\")
        sections[current] += text.replace('"', " ") + "\n"
    return sections


def tp_terms(section_source):
    """The line after each .TP: the term the item describes."""
    lines = section_source.splitlines()
    return [lines[i + 1] for i, line in enumerate(lines[:-1]) if line.startswith(".TP")]


class Checker:
    def __init__(self):
        self.problems = []

    def same(self, what, in_help, in_page, help_name, page_where,
             fix="remove it from the page, or add it to the help"):
        for item in sorted(in_help - in_page, key=str):
            self.problems.append(f"{help_name} lists {item}, but {page_where} does not: "
                                 f"describe it there.")
        for item in sorted(in_page - in_help, key=str):
            self.problems.append(f"{page_where} describes {what} {item}, which {help_name} "
                                 f"does not list: {fix}.")

    def with_values(self, options, text, where):
        for option in options:
            if option.value and not helptext.written_with_value(option, text):
                self.problems.append(f"{where} does not show {option.name} with its value "
                                     f"{option.value}: write \"{option.name} {option.value}\".")


# Every command takes --help/-h (the top-level help says so); its own help need not list it.
HELP_OPTIONS = {"-h", "--help"}


def check_flasher(check, flasher, page):
    sections = page_text(page)
    top = helptext.run_help(flasher, "--help")
    check.same("the option", helptext.options_in(top), helptext.options_in(sections["OPTIONS"]),
               "norvane-flash --help", f"{page} (section OPTIONS)")
    commands = helptext.commands_of(flasher)
    page_commands = {key.split("/", 1)[1] for key in sections if key.startswith("COMMANDS/")}
    check.same("the command", set(commands), page_commands, "norvane-flash --help",
               f"{page} (a .SS subsection of COMMANDS)")
    declared = helptext.declared_options(flasher)
    codes = set()
    for command in commands:
        text = helptext.command_help(flasher, command)
        codes |= helptext.exit_codes_in(text)
        options = declared.get(command, [])
        table = f"the option table of norvane-flash {command}"
        help_name = f"norvane-flash help {command}"
        undeclared = "remove it there, or declare it in the command's option table (cli/)"
        check.same("the option", helptext.names_of(options), helptext.options_in(text), table,
                   help_name, undeclared)
        check.with_values(options, text, help_name)
        page_where = f"{page} (COMMANDS, .SS {command})"
        in_page = sections.get(f"COMMANDS/{command}", "")
        check.same("the option", helptext.names_of(options) - HELP_OPTIONS,
                   helptext.options_in(in_page) - HELP_OPTIONS, table, page_where, undeclared)
        check.with_values(options, in_page, page_where)
    source = Path(page).read_text()
    exit_section = source.split(".SH EXIT STATUS", 1)[-1].split("\n.SH", 1)[0]
    page_codes = {int(w.split()[-1]) for w in tp_terms(exit_section)}
    check.same("the exit code", codes, page_codes, "the Exit codes of norvane-flash's help",
               f"{page} (section EXIT STATUS)")


def check_devsim(check, devsim, page):
    sections = page_text(page)
    text = helptext.run_help(devsim, "--help")
    check.same("the option", helptext.options_in(text), helptext.options_in(sections["OPTIONS"]),
               "norvane-devsim --help", f"{page} (section OPTIONS)")
    source = Path(page).read_text()
    faults_source = source.split(".SH FAULTS", 1)[-1].split("\n.SH", 1)[0]
    page_faults = set()
    for line in tp_terms(faults_source):
        term = re.sub(r"^\.[A-Z]{1,2}\s+", "", line).replace("\\-", "-")
        page_faults.add(re.match(r"[a-z][\w-]*", term).group(0))
    check.same("the fault", helptext.faults_of(devsim), page_faults,
               "norvane-devsim --help (Faults)", f"{page} (section FAULTS)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flasher", required=True)
    parser.add_argument("--devsim", required=True)
    parser.add_argument("--pages", required=True, help="folder of the *.1.in page sources")
    args = parser.parse_args()
    check = Checker()
    check_flasher(check, args.flasher, f"{args.pages}/norvane-flash.1.in")
    check_devsim(check, args.devsim, f"{args.pages}/norvane-devsim.1.in")
    for problem in check.problems:
        print(problem)
    if check.problems:
        print("The pages are man(7) source: an option is a .TP item in its section, a command a "
              ".SS under COMMANDS. The shell completion in completion/ lists the same words.")
    return 1 if check.problems else 0


if __name__ == "__main__":
    sys.exit(main())
