#!/usr/bin/python3
"""The fan as a NumPy user would compute it well, for air: closed-form nu, a vectorised Newton for
M2 from Hall's start that stops once every case has converged, and every quantity velhorn.fan
returns, all in double precision (within a few ulps, not correctly rounded).
numpy_fan_converged.py [CASES]  prints the seconds for that many fans."""

import sys
import time

import numpy as np

from numpy_batch import GAMMA, K, LAMBDA, NU_MAX  # noqa: F401 (the same gas)

L2 = LAMBDA * LAMBDA
NU_MAX_RAD = np.radians(NU_MAX)


def nu_radians(s):
    return LAMBDA * np.arctan(s / LAMBDA) - np.arctan(s)


def state(M):
    """nu and mu in degrees, p/p0, T/T0 and rho/rho0: air's powers 3.5 and 2.5 of T/T0."""
    s = np.sqrt((M - 1) * (M + 1))
    T = 1 / (1 + K * M * M)
    rho = T * T * np.sqrt(T)
    return np.degrees(nu_radians(s)), np.degrees(np.arctan2(1, s)), rho * T, T, rho


def mach_from_nu(target):
    """Newton on s = sqrt(M^2 - 1) from Hall's rational start (I. M. Hall, Aeronautical Journal 79,
    1975), on the whole array while most cases move, then on those still moving, until none moves
    by more than 1e-13 of itself: the closed form's own rounding, magnified by the slope near M = 1,
    keeps a few cases moving by about 1e-14 however long it runs."""
    t = np.radians(target)
    y = np.cbrt((t / NU_MAX_RAD) ** 2)
    M = (1 + y * (1.3604 + y * (0.0962 - 0.5127 * y))) / (1 - y * (0.6722 + 0.3278 * y))
    s = np.sqrt(np.maximum((M - 1) * (M + 1), 1e-300))
    active = None  # every case, until few are left moving
    for _ in range(60):
        x, goal = (s, t) if active is None else (s[active], t[active])
        x2 = x * x
        step = (nu_radians(x) - goal) * ((L2 + x2) * (1 + x2)) / ((L2 - 1) * x2)
        x = np.maximum(x - step, 0.5 * x)
        moving = np.abs(step) > 1e-13 * x
        if active is None:
            s = x
            if np.count_nonzero(moving) < moving.size // 10:
                active = np.flatnonzero(moving)
        else:
            s[active] = x
            active = active[moving]
        if not moving.any():
            break
    return np.sqrt(1 + s * s)


def fan(M1, theta):
    nu1, mu1, p1, T1, r1 = state(M1)
    M2 = mach_from_nu(nu1 + theta)
    nu2, mu2, p2, T2, r2 = state(M2)
    return {"gamma": np.full_like(M1, GAMMA), "M1": M1, "nu1_deg": nu1, "mu1_deg": mu1, "p1_p0": p1, "T1_T0": T1,
            "rho1_rho0": r1, "M2": M2, "nu2_deg": nu2, "mu2_deg": mu2, "p2_p0": p2, "T2_T0": T2, "rho2_rho0": r2,
            "theta_deg": theta, "p2_p1": p2 / p1, "T2_T1": T2 / T1, "rho2_rho1": r2 / r1,
            "forward_mach_line_deg": mu1, "rearward_mach_line_deg": mu2 - theta, "max_turn_deg": NU_MAX - nu1,
            "nu_max_deg": np.full_like(M1, NU_MAX)}


if __name__ == "__main__":
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 10 ** 6
    draw = np.random.default_rng(1)
    M1, theta = draw.uniform(1, 5, n), draw.uniform(0, 30, n)
    start = time.perf_counter()
    fan(M1, theta)
    print(f"{time.perf_counter() - start:.3f}")
