#!/usr/bin/python3
"""The Python module on 10^6 cases beside NumPy: velhorn.fan(M1=a, theta=b) on every usable core
and on one, the NumPy fan that stops its Newton once converged (numpy_fan_converged.py), the one
with a fixed number of Newton passes (numpy_batch.py), and the inverse alone. Prints one
"name seconds" line each, the best of REPEATS runs.   python_bench.py BUILD_DIR"""

import os
import sys
import time

import numpy as np

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(os.path.abspath(sys.argv[1]), "python"), here]
import numpy_batch  # noqa: E402
import numpy_fan_converged  # noqa: E402
import velhorn  # noqa: E402

N = 10 ** 6
REPEATS = 3
draw = np.random.default_rng(1)
M1, theta = draw.uniform(1, 5, N), draw.uniform(0, 30, N)
nus = draw.uniform(0, 130, N)


def best(run):
    times = []
    for _ in range(REPEATS):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return min(times)


cores = os.sched_getaffinity(0)
figures = {"cores": len(cores)}
figures["velhorn_fan"] = best(lambda: velhorn.fan(M1=M1, theta=theta))
figures["velhorn_mach_from_nu"] = best(lambda: velhorn.mach_from_nu(nus))
figures["velhorn_nu"] = best(lambda: velhorn.nu(M1))  # one state: nu, mu and the ratios
os.sched_setaffinity(0, {min(cores)})
figures["velhorn_fan_one_core"] = best(lambda: velhorn.fan(M1=M1, theta=theta))
figures["velhorn_mach_from_nu_one_core"] = best(lambda: velhorn.mach_from_nu(nus))
figures["velhorn_nu_one_core"] = best(lambda: velhorn.nu(M1))
figures["numpy_fan_converged"] = best(lambda: numpy_fan_converged.fan(M1, theta))
figures["numpy_batch_fan"] = best(lambda: numpy_batch.fan(M1, theta))
figures["numpy_mach_from_nu_converged"] = best(lambda: numpy_fan_converged.mach_from_nu(nus))
os.sched_setaffinity(0, cores)
for name, value in figures.items():
    print(name, value)
