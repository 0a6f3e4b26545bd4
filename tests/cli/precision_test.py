#!/usr/bin/python3
"""velhorn-cli's numbers against an independent evaluation in 40-digit arithmetic (mpmath), for
air, gamma = 5/3 and gamma = 1.2: the forward quantities of a state, in units in the last place,
and the inverse, as how far nu of the Mach number found stands from its target. A double M can
move nu only in steps (near M = 1 and near nu_max those steps are coarse), so the inverse is
held to a few ulps beyond one such step. Usage: precision_test.py VELHORN_CLI"""

import csv
import io
import math
import subprocess
import sys

from mpmath import mp, mpf, sqrt, atan, asin, pi, findroot

mp.dps = 40
CLI = sys.argv[1]
# The gamma each is given as, and the gamma it stands for: air's constants are those of 7/5
# itself; any other gamma is the double the program reads.
GASES = [("air", 1.4, mpf(7) / 5), ("5/3", 5 / 3, mpf(5 / 3)), ("1.2", 1.2, mpf(1.2))]
MACHS = [1 + 10.0 ** -k for k in range(12, 0, -1)] + [1.5 ** k for k in range(1, 35)]


def batch(header, rows):
    text = header + "\n" + "".join(",".join(repr(v) for v in row) + "\n" for row in rows)
    out = subprocess.run([CLI, "--format", "csv", "batch"], input=text, capture_output=True, text=True, check=True)
    return [{k: float(v) for k, v in r.items()} for r in csv.DictReader(io.StringIO(out.stdout))]


def exact(g):
    lam = sqrt((g + 1) / (g - 1))

    def nu(M):
        s = sqrt((mpf(M) - 1) * (mpf(M) + 1))
        return (lam * atan(s / lam) - atan(s)) * 180 / pi

    def state(M):
        M = mpf(M)
        t = 1 / (1 + (g - 1) / 2 * M * M)
        return {"nu1_deg": nu(M), "mu1_deg": asin(1 / M) * 180 / pi, "T1_T0": t, "p1_p0": t ** (g / (g - 1)),
                "rho1_rho0": t ** (1 / (g - 1))}
    return nu, state, (lam - 1) * 90


def ulps(value, reference):
    reference = mpf(reference)
    if reference == 0:
        return 0.0 if value == 0 else math.inf
    return float(abs(mpf(value) - reference) / (math.ulp(float(reference))))


failures = 0
print(f"{'gas':5} {'quantity':11} {'cases':>5} {'max ulps':>9} {'median':>7}")
for name, gamma, exact_gamma in GASES:
    nu, state, nu_max = exact(exact_gamma)
    forward = batch("M1,M2,gamma", [(M, M, gamma) for M in MACHS])
    for quantity, limit in (("nu1_deg", 2), ("mu1_deg", 2), ("T1_T0", 2), ("p1_p0", 4), ("rho1_rho0", 4)):
        errors = sorted(ulps(r[quantity], state(r["M1"])[quantity]) for r in forward)
        print(f"{name:5} {quantity:11} {len(errors):5} {errors[-1]:9.2f} {errors[len(errors) // 2]:7.2f}")
        failures += errors[-1] > limit

    targets = [float(nu_max) * f for f in (1e-12, 1e-9, 1e-6, 1e-3, 0.01, 0.1, 0.25, 0.5, 0.75, 0.9, 0.99, 0.999, 0.99999)]
    targets += [float(nu(M)) for M in MACHS[12:30]]
    inverse = batch("nu1,M2,gamma", [(t, 2.0, gamma) for t in targets])
    worst_residual, worst_excess, worst_root = 0.0, 0.0, 0.0
    for r, target in zip(inverse, targets):
        M = r["M1"]
        step = abs(nu(math.nextafter(M, math.inf)) - nu(M))  # what one step of M moves nu by
        residual = abs(nu(M) - mpf(target))
        worst_residual = max(worst_residual, float(residual / math.ulp(target)))
        worst_excess = max(worst_excess, float(max(0, residual - step) / math.ulp(target)))
        root = findroot(lambda m: nu(m) - mpf(target), (mpf(M) * (1 - mpf(10) ** -12), mpf(M) * (1 + mpf(10) ** -12)),
                        solver="anderson") if M > 1 else mpf(1)
        worst_root = max(worst_root, ulps(M, root))
    print(f"{name:5} {'nu(M)-target':11} {len(targets):5} {worst_residual:9.2f} beyond one step of M: {worst_excess:.2f}; "
          f"M from the true root: {worst_root:.2f} ulps")
    failures += worst_excess > 4

print(f"{0 if failures else 1} passed, {failures} failed")
sys.exit(1 if failures else 0)
