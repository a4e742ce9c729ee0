"""The build of gwbuilders' compiled module: CMake on the repository root.

The module links the reading side's C++ libraries, so it is built by the
project's own CMake (target gwbuilders_native) and copied into the package.
GWBUILDERS_CMAKE_BUILD names a build folder configured with
-DBUILDERS_PYTHON=ON to build in (the tests use the project's build);
without it a build folder of its own is configured under setuptools' temp.
"""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent.parent


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        given = os.environ.get("GWBUILDERS_CMAKE_BUILD")
        build_dir = Path(given) if given else Path(self.build_temp).resolve() / "cmake"
        if not given:
            subprocess.run(
                ["cmake", "-S", str(ROOT), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
                 "-DBUILDERS_PYTHON=ON", "-DBUILDERS_TESTS=OFF",
                 f"-DPython3_EXECUTABLE={sys.executable}"],
                check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "gwbuilders_native", "-j", jobs],
                       check=True)
        built = sorted((build_dir / "python").glob("_native*.so"))
        if not built:
            raise RuntimeError(f"no _native module in {build_dir / 'python'}")
        destination = Path(self.get_ext_fullpath(ext.name))
        destination.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], destination)


setup(ext_modules=[Extension("gwbuilders._native", sources=[])], cmdclass={"build_ext": CMakeBuild})
