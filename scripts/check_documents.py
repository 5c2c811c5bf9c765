#!/usr/bin/env python3
"""Keeps the documents exact where a machine can tell.

    check_documents.py options --saver DREVANTI --readme README.md --manual drevanti.6
    check_documents.py pages PAGE...

options: the options `drevanti --help` lists, those of the README's option table and those of
drevanti(6)'s OPTIONS section are the same set; each one missing from a document is reported.
pages: each manual page renders with man at 80 columns without a warning and no line wider
than 80. Exits 1, listing every problem."""

import argparse
import os
import re
import subprocess
import sys

# An option as it is spelt on a command line: -h, -root, --on-idle (without its [=VALUE]).
OPTION = re.compile(r"(?<![\w-])--?[a-z][a-z-]*")
WIDTH = 80


def help_options(saver):
    """The options of the left column of `SAVER --help`."""
    text = subprocess.run([saver, "--help"], check=True, capture_output=True, text=True).stdout
    found = set()
    for line in text.splitlines():
        if line.startswith("  -"):
            # The column ends at the first run of two spaces.
            found.update(OPTION.findall(re.split(r"\s{2,}", line.strip())[0]))
    return found


def readme_options(readme):
    """The options of the first cells of the README's table of `drevanti` rows."""
    found = set()
    with open(readme, encoding="utf-8") as text:
        for line in text:
            if line.startswith("| `drevanti"):
                found.update(OPTION.findall(line.split("|")[1]))
    return found


def roff_text(line):
    """A roff line as it reads: font changes and escapes dropped, \\- as a hyphen."""
    line = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", line)
    return line.replace("\\-", "-").replace("\\%", "").replace("\\&", "")


def manual_options(page):
    """The options of the tags (the line after each .TP) of the page's OPTIONS section."""
    found = set()
    section, tag_follows = None, False
    with open(page, encoding="utf-8") as text:
        for line in text:
            if line.startswith(".SH"):
                section = line[3:].strip()
            elif section == "OPTIONS":
                if tag_follows:
                    found.update(OPTION.findall(roff_text(line)))
                tag_follows = line.startswith(".TP")
    return found


def check_options(args):
    documents = {f"{os.path.basename(args.saver)} --help": help_options(args.saver),
                 os.path.basename(args.readme): readme_options(args.readme),
                 os.path.basename(args.manual): manual_options(args.manual)}
    every = set().union(*documents.values())
    problems = [f"{name} lacks {option}" for name, options in documents.items()
                for option in sorted(every - options)]
    problems += [f"{name} lists no option" for name, options in documents.items() if not options]
    if not problems:
        print(f"the same {len(every)} options everywhere: {' '.join(sorted(every))}")
    return problems


def check_pages(args):
    problems = []
    environment = dict(os.environ, MANWIDTH=str(WIDTH), LC_ALL="C.UTF-8")
    for page in args.pages:
        name = os.path.basename(page)
        before = len(problems)
        try:
            result = subprocess.run(["man", "--warnings=w", "-E", "UTF-8", "-l", page],
                                    capture_output=True, text=True, env=environment)
        except FileNotFoundError:
            return [f"man is not installed (Debian: man-db), so {name} cannot be rendered"]
        if result.returncode != 0 or result.stderr.strip():
            problems.append(f"{name}: man says: {result.stderr.strip()} (exit {result.returncode})")
        lines = result.stdout.splitlines()
        if len(lines) < 10:
            problems.append(f"{name}: rendered to {len(lines)} lines")
        for number, line in enumerate(lines, 1):
            if len(line) > WIDTH:
                problems.append(f"{name}:{number}: {len(line)} columns: {line.strip()}")
        if len(problems) == before:
            print(f"{name}: {len(lines)} lines, none wider than {WIDTH} columns, no warning")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    options = commands.add_parser("options")
    options.add_argument("--saver", required=True)
    options.add_argument("--readme", required=True)
    options.add_argument("--manual", required=True)
    options.set_defaults(check=check_options)
    pages = commands.add_parser("pages")
    pages.add_argument("pages", nargs="+")
    pages.set_defaults(check=check_pages)
    args = parser.parse_args()
    problems = args.check(args)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
