# The Python package quenbol (python/quenbol/), offline:
#   python3 -m venv --system-site-packages VENV
#   VENV/bin/pip install --no-build-isolation .
# Its compiled part, quenbol._quenbol, is built by CMake from the project's
# own targets (python/CMakeLists.txt), so that the sources and the flags they
# compile with are listed in one place, in a tree of its own under
# build/ (QUENBOL_PYTHON=ON, position-independent code).
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
# The project's version, as CMake and the programs have it.
VERSION = re.search(r"project\(quenbol VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        tree = Path(self.build_temp).resolve() / "cmake"
        tree.mkdir(parents=True, exist_ok=True)
        configure = ["cmake", "-S", str(ROOT), "-B", str(tree), "-DCMAKE_BUILD_TYPE=Release",
                     "-DQUENBOL_PYTHON=ON", f"-DPython_EXECUTABLE={sys.executable}"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
        jobs = os.environ.get("QUENBOL_BUILD_JOBS", "2")
        subprocess.run(["cmake", "--build", str(tree), "--target", "_quenbol", "-j", jobs], check=True)
        built = next((tree / "python").glob("_quenbol*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    name="quenbol",
    version=VERSION,
    description="Counts how often each member of the fictional group Pipora is named in Japanese text",
    package_dir={"": "python"},
    packages=["quenbol"],
    ext_modules=[CMakeExtension("quenbol._quenbol")],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    zip_safe=False,
)
