#!/usr/bin/python3
"""velhorn-cli's oblique shocks against an independent 40-digit evaluation (mpmath) of the
theta-beta-M relation, the jumps across the shock and the limits at M1, for air (7/5),
gamma = 5/3 and 1.2, on the weak and the strong branch (air's weak shocks as a batch solves
many at once). Each value is held to 2 ulps plus its condition bound: how far the exact value
moves when theta moves by 2^-62 of itself, which near theta_max (where the two branches meet) is
what no evaluation in long double can beat. Usage: shock_precision_test.py VELHORN_CLI"""

import csv
import io
import math
import random
import subprocess
import sys

from mpmath import mp, mpf, tan, atan, sin, sqrt, pi, findroot

mp.dps = 40
CLI = sys.argv[1]
GASES = [("air", 1.4, mpf(7) / 5), ("5/3", 5 / 3, mpf(5 / 3)), ("1.2", 1.2, mpf(1.2))]
QUANTITIES = ["beta_deg", "M2", "Mn1", "Mn2", "p2_p1", "rho2_rho1", "T2_T1", "p02_p01", "theta_max_deg",
              "beta_max_deg", "theta_sonic_deg"]


def relation(g, M):
    m, A, B = M * M - 1, (g + 1) * M * M + 2, (g - 1) * M * M + 2
    b = m * A + 3 * B
    w_max = sqrt(2 * m * B / (b + sqrt(b * b + 4 * m * A * B)))
    return m, A, B, w_max


def theta_max(g, M):
    m, A, B, w = relation(g, mpf(M))
    return atan(2 * w * (m - w * w) / (B + A * w * w)) * 180 / pi


def exact(g, M, theta, strong):
    M, th = mpf(M), mpf(theta) * pi / 180
    m, A, B, w_max = relation(g, M)
    T = tan(th)
    H = lambda w: 2 * w * (m - w * w) - T * (B + A * w * w)
    w = findroot(H, (mpf(0), w_max) if strong else (w_max, sqrt(m)), solver="anderson")
    beta = atan(1 / w)
    n1 = M * M * sin(beta) ** 2
    p = 1 + 2 * g / (g + 1) * (n1 - 1)
    rho = (g + 1) * n1 / ((g - 1) * n1 + 2)
    n2 = (1 + (g - 1) / 2 * n1) / (g * n1 - (g - 1) / 2)
    # The limits depend on M alone; M2 = 1 behind the weak shock at theta_sonic.
    G = lambda w: atan(2 * w * (m - w * w) / (B + A * w * w)) * 180 / pi
    w_sonic = findroot(lambda w: sqrt((1 + (g - 1) / 2 * M * M / (1 + w * w)) / (g * M * M / (1 + w * w) - (g - 1) / 2))
                       / sin(atan(1 / w) - atan(2 * w * (m - w * w) / (B + A * w * w))) - 1, (w_max, sqrt(m)),
                       solver="anderson")
    return {"beta_deg": beta * 180 / pi, "M2": sqrt(n2) / sin(beta - th), "Mn1": sqrt(n1), "Mn2": sqrt(n2),
            "p2_p1": p, "rho2_rho1": rho, "T2_T1": p / rho, "p02_p01": rho ** (g / (g - 1)) * p ** (-1 / (g - 1)),
            "theta_max_deg": G(w_max), "beta_max_deg": atan(1 / w_max) * 180 / pi, "theta_sonic_deg": G(w_sonic)}


def ulps(value, reference):
    return float(abs(mpf(value) - reference) / math.ulp(float(reference)))


draw = random.Random(7)
failures = 0
print(f"{'gas':5} {'branch':6} {'quantity':10} {'cases':>5} {'max ulps':>9} {'beyond bound':>12}")
for name, gamma, g in GASES:
    cases = []
    for _ in range(60):
        M = draw.choice([draw.uniform(1.02, 1.5), draw.uniform(1.5, 6), 10 ** draw.uniform(0.8, 2)])
        top = float(theta_max(g, M))
        for fraction in (draw.uniform(0, 0.9), draw.uniform(0.9, 0.999)):
            cases.append((M, fraction * top))
    for strong in (False, True):
        # Air's lines name no gas, as most batches, so its weak shocks are solved many at once.
        if gamma == 1.4:
            text = "M1,theta\n" + "".join(f"{M!r},{t!r}\n" for M, t in cases)
        else:
            text = "M1,theta,gamma\n" + "".join(f"{M!r},{t!r},{gamma!r}\n" for M, t in cases)
        args = [CLI, "--format", "csv", "shock", "--batch", "-"] + (["--strong"] if strong else [])
        out = subprocess.run(args, input=text, capture_output=True, text=True, check=True).stdout
        rows = list(csv.DictReader(io.StringIO(out)))
        assert len(rows) == len(cases), (len(rows), len(cases))
        worst = {q: (0.0, 0.0) for q in QUANTITIES}
        for (M, t), row in zip(cases, rows):
            reference = exact(g, M, t, strong)
            moved = exact(g, M, mpf(t) * (1 + mpf(2) ** -62), strong)
            for q in QUANTITIES:
                error = ulps(float(row[q]), reference[q])
                bound = 2 + ulps(float(reference[q]), moved[q]) + ulps(float(reference[q]), reference[q])
                worst[q] = (max(worst[q][0], error), max(worst[q][1], error - bound))
        for q in QUANTITIES:
            print(f"{name:5} {'strong' if strong else 'weak':6} {q:10} {len(cases):5} {worst[q][0]:9.2f} {max(worst[q][1], 0):12.2f}")
            failures += worst[q][1] > 0

print(f"{0 if failures else 1} passed, {failures} failed")
sys.exit(1 if failures else 0)
