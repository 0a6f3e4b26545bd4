#!/usr/bin/python3
"""bench/peak_rss reports the peak of the command it starts, not of whatever started it, and
passes the command's exit status on. Usage: peak_rss_test.py PEAK_RSS"""

import subprocess
import sys

peak_rss = sys.argv[1]
MIB = 1024
# This process's own peak, which a child started straight from Python would report as its own.
ballast = bytearray(b"\1") * (256 << 20)

fill_64_mib = "b = bytearray(b'\\1') * (64 << 20)"
cases = [
    # command, exit status, least and most peak in KiB (None: no peak is printed)
    (["true"], 0, 0, 32 * MIB),
    ([sys.executable, "-c", fill_64_mib], 0, 64 * MIB, 192 * MIB),
    (["sh", "-c", "exit 3"], 3, 0, 32 * MIB),
    (["/nonexistent/command"], 2, None, None),
]
failures = []
for argv, status, least, most in cases:
    result = subprocess.run([peak_rss, *argv], capture_output=True, text=True)
    last = result.stderr.split("\n")[-2] if result.stderr.endswith("\n") else ""
    if result.returncode != status:
        failures.append(f"{argv}: status {result.returncode}, expected {status}")
    if least is None:
        if "cannot start" not in result.stderr:
            failures.append(f"{argv}: no 'cannot start' in {result.stderr!r}")
        continue
    name, _, kib = last.partition(" ")
    if name != "peak_rss_kib" or not least <= int(kib) <= most:
        failures.append(f"{argv}: last line {last!r}, expected peak_rss_kib in [{least}, {most}]")
del ballast
print("\n".join(failures) or f"{len(cases)} cases passed")
sys.exit(1 if failures else 0)
