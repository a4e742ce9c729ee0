#!/usr/bin/env python3
"""Times gwbuilders' model.write against the builders given the same model's
answers from a file.

    write_model_bench.py [--runs N] [--factor F] BUILD FOLDER

W1 is the model of row P1 (read_model_bench.py): one layer of 10^8 cells
(10 000 by 10 000; F scales the rows), every array one value, steady-state
conductivity and bottom, 100 000 drains, made with Model.new and filled by
assignment. model.write writes its three files into FOLDER/write-w1; Morvek,
Cindral and Quillet, each with P1's answers redirected from a file, write
theirs into FOLDER/write-builders (both removed afterwards). The files are
compared byte for byte once. write runs in a child interpreter that makes
the model and then reports the time of write alone; write and the three
builders alternate and the table gives medians, the builders' time being
the sum of the three. Target: write in at most 1.2 times the builders' time.
"""

from __future__ import annotations

import argparse
import filecmp
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

from read_model_bench import one_layer_answers, print_medians, run_row

TIME_TARGET = 1.2
FILES = ("FOR001", "FOR011", "FOR013")

WRITE = """
import sys, time
import numpy as np
import gwbuilders
rows, columns, drains, folder = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
model = gwbuilders.Model.new(1, rows, columns, 1, title_1="One layer of many cells",
                             title_2="Benchmark of the check", time_unit="days",
                             modules=["Slice Successive Over Relaxation"], layer_types=[1], drains=True)
basic, flow = model.basic, model.flow
basic.memory_sharing, basic.save_heads = 0, 1
basic.shead[:] = 100.5
basic.periods[0] = (365, 10, 1.2)
flow.delr[:], flow.delc[:], flow.hydcon[:], flow.bot[:] = 250, 250, 12.5, 50.25
d = np.arange(drains)
period = np.zeros(drains, gwbuilders.DRAIN_DTYPE)
period["layer"], period["row"], period["column"] = 1, d % rows + 1, (d // rows) * 7919 % columns + 1
period["elevation"], period["conductance"] = 75.5, 1.5
model.drains.max_drains, model.drains.periods[0] = drains, period
start = time.perf_counter()
model.write(folder)
print(time.perf_counter() - start)
"""


def run(arguments: list[str], cwd: Path, stdin=None, env: dict | None = None) -> tuple[float, bytes]:
    """(seconds, standard output) of one child run, which must succeed. A
    builder's standard output (its echo of every row) goes to /dev/null,
    as in the builders' own benchmark."""
    start = time.perf_counter()
    done = subprocess.run(arguments, cwd=cwd, stdin=stdin, env=env, stderr=subprocess.PIPE,
                          stdout=subprocess.DEVNULL if stdin is not None else subprocess.PIPE)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"write_model_bench: {' '.join(arguments)} failed ({done.returncode}): {done.stderr.decode()}")
    return seconds, done.stdout


def measure_write(options: argparse.Namespace, package: Path, rows: int, columns: int) -> int:
    build = options.build
    drains = min(100_000, rows * 10)
    scratch = options.folder.resolve()
    written, by_builders = scratch / "write-w1", scratch / "write-builders"
    written.mkdir(parents=True, exist_ok=True)
    by_builders.mkdir(parents=True, exist_ok=True)
    answer_files = []
    try:
        env = {"PYTHONPATH": str(package), "PATH": "/usr/bin:/bin"}
        for program, answers in zip(("Morvek", "Cindral", "Quillet"), one_layer_answers(rows, columns, drains)):
            path = scratch / f"W1-{program}.txt"
            path.write_text(answers)
            answer_files.append((build / "bin" / program, path))
        write = [sys.executable, "-c", WRITE, str(rows), str(columns), str(drains), str(written)]

        def builders() -> float:
            total = 0.0
            for program, answers in answer_files:
                with open(answers, "rb") as given:
                    total += run([str(program)], by_builders, stdin=given)[0]
            return total

        builders()
        run(write, scratch, env=env)  # untimed: warms the caches, and the files are compared
        different = [name for name in FILES if not filecmp.cmp(written / name, by_builders / name, shallow=False)]
        if different:
            sys.exit(f"write_model_bench: write and the builders differ in {', '.join(different)}")
        file_bytes = sum((written / name).stat().st_size for name in FILES)
        builder_times, write_times = [], []
        for _ in range(options.runs):
            builder_times.append(builders())
            write_times.append(float(run(write, scratch, env=env)[1]))
    finally:
        shutil.rmtree(written, ignore_errors=True)
        shutil.rmtree(by_builders, ignore_errors=True)
        for _, answers in answer_files:
            answers.unlink(missing_ok=True)

    builders_s, write_s = statistics.median(builder_times), statistics.median(write_times)
    ratio = write_s / builders_s
    verdict = "met" if ratio <= TIME_TARGET else "MISSED: time"
    print_medians(options.runs, "the builders and write",
                  ["workload", "model", "file bytes", "builders s", "write s", "ratio", "targets"],
                  ["W1", f"1 layer of {rows * columns} cells", f"{file_bytes}", f"{builders_s:.3f}", f"{write_s:.3f}",
                   f"{ratio:.2f}", verdict])
    return 0


if __name__ == "__main__":
    sys.exit(run_row("write_model_bench.py", "W1", measure_write))
