#!/usr/bin/env python3
"""Times gwbuilders.read_model against gwinspect check on the same folder.

    read_model_bench.py [--runs N] [--factor F] BUILD FOLDER

P1 is the report benchmark's single layer (bench/one_layer_model.cpp): one
layer of 10^8 cells (10 000 by 10 000; F scales the rows), every array one
value, steady-state conductivity and bottom, 100 000 drains. The builders of
BUILD write it into FOLDER/read-p1 (removed afterwards); the package is the
module of BUILD (BUILDERS_PYTHON) with python/src/gwbuilders beside it.
read_model runs in a child interpreter that reports its own time (the
interpreter's start and numpy's import are not counted); check and read
alternate and the table gives medians. Targets: read_model in at most 1.5
times the check's time; a peak resident memory of the child of at most the
arrays' own bytes plus 64 MiB.

Beside the wall times, each run's processor time (user and system, of all
its threads), and that of a third child that only makes numpy arrays of the
same bytes and fills them with one value: the cost of fresh memory (the
kernel's zeroing of new pages, then the writes), which read_model pays and
the check does not, measured on the machine of the run. read_model is
timed in two states of fresh memory: held by the system (right after a run
that gave it back), which the verdict judges, and taken back by a virtual
machine's host (after a pause), shown beside; the filling meets the second.
"""

from __future__ import annotations

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TIME_TARGET = 1.5
MEMORY_ALLOWANCE_MIB = 64.0
# Longer than the two seconds after which a guest kernel reports freed
# memory to its host (free page reporting).
FRESH_MEMORY_PAUSE = 2.5


def one_layer_answers(rows: int, columns: int, drains: int) -> tuple[str, str, str]:
    basic = ["One layer of many cells", "Benchmark of the check", "1", str(rows), str(columns), "1", "4"]
    basic += [str(a) for a in (1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1)]
    basic += ["0", "1", "999", "0", "100.5", "365", "10", "1.2"]
    flow = ["1", "0", "1", str(rows), str(columns), "1", "1.0"]
    for value in ("250", "250", "12.5", "50.25"):
        flow += ["0", value]
    drain = [str(drains), "0", "1", str(drains)]
    for d in range(drains):
        drain += ["1", str(d % rows + 1), str((d // rows) * 7919 % columns + 1), "75.5", "1.5"]
    return tuple("\n".join(lines) + "\n" for lines in (basic, flow, drain))


def timed(arguments: list[str], cwd: Path, env: dict | None = None) -> tuple[float, float, float, bytes]:
    """(seconds, processor seconds, peak resident MiB, standard output) of
    one child run."""
    start = time.perf_counter()
    child = subprocess.Popen(arguments, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out, err = child.stdout.read(), child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode not in (0, 1):
        sys.exit(f"read_model_bench: {' '.join(arguments)} failed ({child.returncode}): {err.decode()}")
    return seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, out


# Each prints its wall and processor seconds, then the arrays' bytes.
READ = """
import resource, sys, time
import gwbuilders
def cpu():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime
start, start_cpu = time.perf_counter(), cpu()
model = gwbuilders.read_model(sys.argv[1])
seconds, cpu_seconds = time.perf_counter() - start, cpu() - start_cpu
arrays = [model.basic.ibound, model.basic.shead, *model.flow.arrays.values()]
print(seconds, cpu_seconds, sum(a.nbytes for a in arrays))
"""

FILL = """
import resource, sys, time
import numpy
def cpu():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime
count, cells = int(sys.argv[1]), int(sys.argv[2])
start, start_cpu = time.perf_counter(), cpu()
arrays = [numpy.empty(cells, numpy.float32) for _ in range(count)]
for array in arrays:
    array.fill(1.5)
seconds, cpu_seconds = time.perf_counter() - start, cpu() - start_cpu
print(seconds, cpu_seconds, sum(a.nbytes for a in arrays))
"""


def bench_options(program: str) -> argparse.Namespace:
    """The options of a row of the Python package: [--runs N] [--factor F] BUILD FOLDER."""
    parser = argparse.ArgumentParser(prog=program)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--factor", type=float, default=1.0)
    parser.add_argument("build", type=Path)
    parser.add_argument("folder", type=Path)
    options = parser.parse_args()
    options.build = options.build.resolve()
    return options


def package_of(build: Path, program: str, row: str) -> Path | None:
    """A folder holding the package gwbuilders, its sources linked from the
    repository and its module from BUILD (the caller removes it); None, said
    so, when the build has no module."""
    modules = sorted((build / "python").glob("_native*.so"))
    if not modules:
        print(f"{program}: no Python module in the build (BUILDERS_PYTHON is off): {row} not measured")
        return None
    root = Path(__file__).resolve().parent.parent
    package = Path(tempfile.mkdtemp(prefix="gwbuilders-bench-"))
    (package / "gwbuilders").mkdir()
    for source in (root / "python" / "src" / "gwbuilders").iterdir():
        (package / "gwbuilders" / source.name).symlink_to(source)
    (package / "gwbuilders" / modules[0].name).symlink_to(modules[0])
    return package


def print_medians(runs: int, interleaved: str, columns: list[str], row: list[str]) -> None:
    """The table of a row: its workload and what it was made of first, the
    figures right-aligned, the verdict last."""
    print(f"\nMedians of {runs} runs, {interleaved} interleaved.\n")
    print("| " + " | ".join(columns) + " |")
    print("|---|---|" + "---:|" * (len(columns) - 3) + "---|")
    print("| " + " | ".join(row) + " |")


def run_row(program: str, row: str, measure) -> int:
    """Runs `measure(options, package, rows, columns)` for the row of the
    Python package: one layer of `rows` (10 000 scaled by --factor) by 10 000
    cells, the package in a folder of its own (removed afterwards)."""
    options = bench_options(program)
    package = package_of(options.build, program, row)
    if package is None:
        return 0
    try:
        return measure(options, package, max(1, round(10_000 * options.factor)), 10_000)
    finally:
        shutil.rmtree(package, ignore_errors=True)


def measure_read(options: argparse.Namespace, package: Path, rows: int, columns: int) -> int:
    build = options.build
    folder = options.folder.resolve() / "read-p1"
    folder.mkdir(parents=True, exist_ok=True)
    try:
        (folder / "FOR021").write_bytes(b"made by other means\r\n")
        for program, answers in zip(("Morvek", "Cindral", "Quillet"),
                                    one_layer_answers(rows, columns, min(100_000, rows * 10))):
            path = options.folder.resolve() / f"P1-{program}.txt"
            path.write_text(answers)
            with open(path, "rb") as given:
                subprocess.run([str(build / "bin" / program)], stdin=given, cwd=folder, check=True,
                               stdout=subprocess.DEVNULL)
            path.unlink()
        file_bytes = sum((folder / name).stat().st_size for name in ("FOR001", "FOR011", "FOR013"))
        env = dict(os.environ, PYTHONPATH=str(package))
        check = [str(build / "bin" / "gwinspect"), "check"]
        read = [sys.executable, "-c", READ, str(folder)]
        timed(check, folder)
        timed(read, folder, env)  # untimed: warms the caches
        check_times, check_cpu, fill_cpu, peak_mib, array_bytes = [], [], [], 0.0, 0
        # read_model's wall and processor seconds in each state of fresh memory.
        read_times = {"held": [], "taken back": []}
        read_cpu = {"held": [], "taken back": []}

        def run_check() -> None:
            seconds, cpu_seconds, _, _ = timed(check, folder)
            check_times.append(seconds)
            check_cpu.append(cpu_seconds)

        def run_read(state: str) -> None:
            nonlocal peak_mib, array_bytes
            _, _, peak, out = timed(read, folder, env)
            seconds, cpu_seconds, array_bytes = out.split()
            read_times[state].append(float(seconds))
            read_cpu[state].append(float(cpu_seconds))
            peak_mib = max(peak_mib, peak)

        # Fresh memory comes in two states here. "held": the system still
        # holds the memory a run before gave back (read_model starts right
        # after a check that followed a read_model); its pages cost only
        # their clearing, as on a machine whose memory is its own. "taken
        # back": read_model, and the filling, start FRESH_MEMORY_PAUSE after
        # the child before them ended, by when a virtual machine's kernel
        # has handed the freed memory to its host, and each page then costs
        # the host's fault too (see bench/README.md).
        for _ in range(options.runs):
            run_check()
            time.sleep(FRESH_MEMORY_PAUSE)
            run_read("taken back")
            run_check()
            run_read("held")
            run_check()
            time.sleep(FRESH_MEMORY_PAUSE)
            # The same bytes in four arrays of one layer's cells, filled.
            fill = [sys.executable, "-c", FILL, "4", str(int(array_bytes) // 16)]
            fill_cpu.append(float(timed(fill, folder)[3].split()[1]))
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    check_s, check_cpu_s = statistics.median(check_times), statistics.median(check_cpu)
    held_s, back_s = (statistics.median(read_times[state]) for state in ("held", "taken back"))
    held_cpu_s, back_cpu_s = (statistics.median(read_cpu[state]) for state in ("held", "taken back"))
    limit_mib = int(array_bytes) / (1 << 20) + MEMORY_ALLOWANCE_MIB
    # The time target is judged where fresh memory costs what the process
    # asks of it (memory held); the price a host adds is shown beside.
    missed = [what for what, met in (("time", held_s / check_s <= TIME_TARGET), ("memory", peak_mib <= limit_mib))
              if not met]
    verdict = "MISSED: " + ", ".join(missed) if missed else "met"
    print_medians(options.runs, "check, read_model (memory taken back), check, read_model (memory held), check "
                  "and the filling of fresh arrays",
                  ["workload", "folder", "file bytes", "check s", "read_model s", "ratio", "check cpu s",
                   "read_model cpu s", "cpu ratio", "read_model s, memory taken back", "ratio",
                   "cpu s, memory taken back", "fresh arrays cpu s, memory taken back", "array MiB", "peak MiB",
                   "limit MiB", "targets"],
                  ["P1", f"1 layer of {rows * columns} cells", f"{file_bytes}", f"{check_s:.3f}", f"{held_s:.3f}",
                   f"{held_s / check_s:.2f}", f"{check_cpu_s:.3f}", f"{held_cpu_s:.3f}",
                   f"{held_cpu_s / check_cpu_s:.2f}", f"{back_s:.3f}", f"{back_s / check_s:.2f}", f"{back_cpu_s:.3f}",
                   f"{statistics.median(fill_cpu):.3f}", f"{int(array_bytes) / (1 << 20):.1f}", f"{peak_mib:.1f}",
                   f"{limit_mib:.1f}", verdict])
    print(f"\nLoad average at the end: {' '.join(f'{load:.2f}' for load in os.getloadavg())}")
    return 0


if __name__ == "__main__":
    sys.exit(run_row("read_model_bench.py", "P1", measure_read))
