"""What the command line's tests share: the program under test (the first argument), a check
that prints its verdict, a run of the program, and the closing tally."""

import subprocess
import sys

CLI = sys.argv[1]
results = []


def check(condition, what):
    results.append(bool(condition))
    print(("ok    " if condition else "FAIL  ") + what)


def run(*args, stdin=None):
    return subprocess.run([CLI, *args], input=stdin, capture_output=True, text=True, timeout=60)


def finish():
    print(f"{sum(results)} passed, {len(results) - sum(results)} failed")
    sys.exit(0 if all(results) else 1)
