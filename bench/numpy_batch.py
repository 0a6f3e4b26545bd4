#!/usr/bin/python3
"""The batch as a user would otherwise write it: numpy, vectorised, for air. Reads M1,theta cases
from a CSV file, finds M2 by Newton's method on whole arrays, and writes the same quantities
velhorn-cli writes, at full precision, to a CSV file.   numpy_batch.py IN OUT"""

import sys
import time

import numpy as np

GAMMA = 1.4
K = (GAMMA - 1) / 2
LAMBDA = np.sqrt((GAMMA + 1) / (GAMMA - 1))
NU_MAX = (LAMBDA - 1) * 90


def nu(M):
    s = np.sqrt((M - 1) * (M + 1))
    return np.degrees(LAMBDA * np.arctan(s / LAMBDA) - np.arctan(s))


def mach_from_nu(target):
    M = np.full_like(target, 2.0)
    t = np.radians(target)
    for _ in range(60):
        s = np.sqrt((M - 1) * (M + 1))
        f = LAMBDA * np.arctan(s / LAMBDA) - np.arctan(s) - t
        step = f / ((s / M) / (1 + K * M * M))
        M = np.maximum(M - step, 1 + 1e-12)
        if np.all(np.abs(step) <= 1e-15 * M):
            break
    return M


def state(M):
    stagnation = 1 + K * M * M
    p = stagnation ** (-GAMMA / (GAMMA - 1))
    return nu(M), np.degrees(np.arcsin(1 / M)), p, 1 / stagnation, p * stagnation


def fan(M1, theta):
    nu1, mu1, p1, T1, r1 = state(M1)
    M2 = mach_from_nu(nu1 + theta)
    nu2, mu2, p2, T2, r2 = state(M2)
    return [np.full_like(M1, GAMMA), M1, nu1, mu1, p1, T1, r1, M2, nu2, mu2, p2, T2, r2, theta, p2 / p1, T2 / T1, r2 / r1,
            mu1, mu2 - theta, NU_MAX - nu1, np.full_like(M1, NU_MAX)]


def main():
    start = time.perf_counter()
    cases = np.loadtxt(sys.argv[1], delimiter=",", skiprows=1)
    M1, theta = cases[:, 0], cases[:, 1]
    loaded = time.perf_counter()
    columns = fan(M1, theta)
    computed = time.perf_counter()
    header = ("gamma,M1,nu1_deg,mu1_deg,p1_p0,T1_T0,rho1_rho0,M2,nu2_deg,mu2_deg,p2_p0,T2_T0,rho2_rho0,theta_deg,p2_p1,"
              "T2_T1,rho2_rho1,forward_mach_line_deg,rearward_mach_line_deg,max_turn_deg,nu_max_deg")
    np.savetxt(sys.argv[2], np.column_stack(columns), delimiter=",", fmt="%.17g", header=header, comments="")
    print(f"read {loaded - start:.3f} s, computed {computed - loaded:.3f} s, wrote {time.perf_counter() - computed:.3f} s",
          file=sys.stderr)


if __name__ == "__main__":
    main()
