#!/usr/bin/python3
"""The fan as a NumPy user would compute it well, for air: closed-form nu, a vectorised Newton for
M2 that stops each case once it has converged, and every quantity velhorn.fan returns, all in
double precision.   numpy_fan_converged.py [CASES]  prints the seconds for that many fans."""

import sys
import time

import numpy as np

from numpy_batch import GAMMA, K, LAMBDA, NU_MAX, nu, state  # noqa: F401 (the same gas, nu and state)


def mach_from_nu(target):
    """Newton on s = sqrt(M^2 - 1) from the larger of two lower bounds of s (nu < (1 - 1/L^2) s^3 / 3
    for small s, nu < nu_max - (L^2 - 1) / s for large s); each case leaves the working set once
    its step is below an ulp or two."""
    goal = np.radians(target)
    l2 = LAMBDA * LAMBDA
    with np.errstate(divide="ignore"):
        s = np.maximum(np.cbrt(3 * goal / (1 - 1 / l2)), (l2 - 1) / (np.radians(NU_MAX) - goal))
    active = np.arange(s.size)
    for _ in range(60):
        x, t = s[active], goal[active]
        x2 = x * x
        f = LAMBDA * np.arctan(x / LAMBDA) - np.arctan(x) - t
        step = f * ((l2 + x2) * (1 + x2)) / ((l2 - 1) * x2)
        x = np.maximum(x - step, 0.5 * x)
        s[active] = x
        moving = np.abs(step) > 4e-16 * x
        if not moving.any():
            break
        active = active[moving]
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
