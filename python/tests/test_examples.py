"""The example model of examples/ read back: every value below comes from
the answer files (morvek.txt, cindral.txt, quillet.txt) as the builders
write it, G10.3 fields rounded to three significant digits."""

from __future__ import annotations

import sys
import warnings
from pathlib import Path

import numpy as np
import pytest

import gwbuilders
from conftest import gwinspect, run_builder

f32 = np.float32
NAN = np.nan


def test_the_package_is_the_installed_one() -> None:
    # Run against the virtual environment's copy, so a file the package
    # leaves out fails here.
    where = Path(gwbuilders.__file__).resolve()
    assert Path(sys.prefix).resolve() in where.parents
    assert (where.parent / "py.typed").is_file()


def test_basic_file(example_folder: Path) -> None:
    basic = gwbuilders.read_model(example_folder).basic
    assert basic.title_1 == "Riverside valley aquifer, two-layer model"
    assert basic.title_2 == "Drained meadow, trial 1"
    assert basic.shape == (2, 6, 7)
    assert (basic.period_count, basic.time_unit, basic.time_unit_name) == (3, 4, "days")
    assert basic.modules == ("Block Centered Flow", "Drains")
    assert (basic.memory_sharing, basic.save_heads) == (1, 1)
    assert basic.no_flow_head == 999.0

    ibound = np.ones((2, 6, 7), np.int32)
    ibound[0, :, 0] = -1
    ibound[0, 4, 6] = ibound[0, 5, 5] = ibound[0, 5, 6] = 0
    assert basic.ibound.dtype == np.int32
    np.testing.assert_array_equal(basic.ibound, ibound)

    assert basic.shead.dtype == np.float32 and basic.shead.shape == (2, 6, 7)
    assert (basic.shead[0] == f32(100)).all() and (basic.shead[1] == f32(98.5)).all()

    assert basic.periods.dtype.names == ("length", "steps", "multiplier")
    assert basic.periods.tolist() == [(365.0, 10, f32(1.2)), (180.0, 6, 1.5), (30.0, 5, 1.0)]


def test_flow_file(example_folder: Path) -> None:
    flow = gwbuilders.read_model(example_folder).flow
    assert flow.transient and flow.cell_by_cell_code == 0
    assert flow.shape == (2, 6, 7)
    assert flow.layer_types.tolist() == [1, 0]
    assert flow.anisotropy.tolist() == [1.0, 1.0]
    assert flow.delr.tolist() == [200, 150, 100, 100, 100, 150, 200]
    assert flow.delc.tolist() == [100] * 6
    # Layer 1 unconfined (type 1): SF1, HYDCON, BOT, VCON; layer 2 confined
    # and the bottom one (type 0): SF1, TRAN, no VCON.
    expected = {
        "SF1-": (0.15, 0.0001),
        "HYDCON-": (12.5, NAN),
        "BOT-": (85.0, NAN),
        "VCON-": (0.002, NAN),
        "TRAN-": (NAN, 1500.0),
    }
    assert sorted(flow.arrays) == sorted(expected)
    for label, per_layer in expected.items():
        array = flow.arrays[label]
        assert array.dtype == np.float32 and array.shape == (2, 6, 7)
        for layer, value in enumerate(per_layer):
            np.testing.assert_array_equal(array[layer], np.full((6, 7), value, np.float32), err_msg=label)
    assert flow.tran is flow.arrays["TRAN-"] and flow.sf2 is None and flow.top is None


def test_drain_file(example_folder: Path) -> None:
    drains = gwbuilders.read_model(example_folder).drains
    assert (drains.max_drains, drains.flow_code) == (20, 0)
    first, second, third = drains.periods
    assert first.dtype == gwbuilders.DRAIN_DTYPE
    # 94.25 in G10.3 is rounded half up to 94.3.
    assert first.tolist() == [(1, 5, 6, 95.5, 1000.0), (1, 4, 7, f32(94.3), f32(0.05))]
    assert second == -1
    assert third.tolist() == [(2, 3, 4, 88.0, 12.5)]


@pytest.mark.parametrize("file", ["FOR001", "FOR011", "FOR013"])
def test_answers_write_the_file_again(example_folder: Path, tmp_path: Path, file: str) -> None:
    answers = gwbuilders.read_model(example_folder).answers(file)
    assert answers == gwinspect("answers", str(example_folder / file)).stdout.decode()
    assert run_builder(file, answers, tmp_path) == (example_folder / file).read_bytes()


def test_check(example_folder: Path) -> None:
    found = gwbuilders.read_model(example_folder).check()
    assert found.completed and (found.errors, found.warnings) == (1, 0)
    (only,) = found
    assert (only.file, only.line, only.column, only.severity) == ("FOR001", 4, 25, "error")
    assert only.message.startswith("no solver is selected")
    # As gwinspect check prints it, run in the folder.
    assert str(only) == gwinspect("check", cwd=example_folder).stdout.decode().splitlines()[0]


def test_faulty_example_checks_as_gwinspect(tmp_path: Path) -> None:
    from conftest import EXAMPLES
    for file, answers in (("FOR001", "morvek.txt"), ("FOR011", "cindral.txt"), ("FOR013", "quillet.txt")):
        run_builder(file, (EXAMPLES / "faulty" / answers).read_bytes(), tmp_path)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", gwbuilders.AsteriskWarning)
        found = gwbuilders.read_model(tmp_path).check()
    printed = gwinspect("check", cwd=tmp_path).stdout.decode().splitlines()
    assert [str(d) for d in found] == printed[:-1]
    assert len(found) > 1


def test_report(example_folder: Path, tmp_path: Path) -> None:
    model = gwbuilders.read_model(example_folder)
    written = model.report(tmp_path / "page.html", length_unit="m")
    page = written.read_bytes()
    assert page == gwinspect("report", str(example_folder), "-o", "-", "--length-unit", "m").stdout
    assert page.startswith(b"<!DOCTYPE html>")
    assert list(tmp_path.iterdir()) == [written]  # nothing left beside it
    shown = model._repr_html_()
    assert shown.startswith("<iframe") and "srcdoc=" in shown and "<svg" not in shown[:200]
    with pytest.raises(ValueError, match="a file of the model"):
        model.report(example_folder / "FOR001")


def test_reprs_say_what_there_is(example_folder: Path) -> None:
    shown = repr(gwbuilders.read_model(example_folder))
    for part in ("(2, 6, 7)", "Riverside valley aquifer", "'TRAN-'", "<2 drains>", "-1"):
        assert part in shown
