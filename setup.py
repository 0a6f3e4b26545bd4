"""The velhorn Python package, its module built by this project's own CMake for the python3 that
runs the build (see pyproject.toml)."""

import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "CMakeLists.txt")) as f:
    version = re.search(r"project\(Velhorn VERSION ([0-9.]+)", f.read()).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.run(["cmake", "-S", here, "-B", build, *generator, "-DCMAKE_BUILD_TYPE=Release",
                        "-DVELHORN_BUILD_WINDOW=OFF", "-DVELHORN_BUILD_TESTS=OFF", "-DVELHORN_BUILD_BENCHMARKS=OFF",
                        f"-DPYTHON_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", build, "--target", "velhorn_python", "--parallel", "2"], check=True)
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(build, "python", "velhorn", os.path.basename(target)), target)


setup(
    name="velhorn",
    version=version,
    description="Prandtl-Meyer expansion fans in Python with NumPy, on Velhorn's correctly rounded core",
    license="MIT",
    python_requires=">=3.9",
    install_requires=["numpy"],
    packages=["velhorn"],
    package_dir={"velhorn": "python/velhorn"},
    package_data={"velhorn": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("velhorn._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    zip_safe=False,
)
