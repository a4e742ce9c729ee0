"""Model.new and model.write. The property: for generated models, write
gives exactly the bytes the built builders write when given the model's
answers (made here from the arrays, one answer a line, as a user would
type them: answer_files.py), and read_model of what was written gives the
model back to the precision of the fields (three significant digits)."""

from __future__ import annotations

import os
import resource
import subprocess
import sys
import tempfile
import threading
from pathlib import Path

import numpy as np
import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import gwbuilders
from answer_files import MODULE_QUESTIONS, BasicAnswers, FlowAnswers, drain_answers, layer_arrays
from conftest import BIN, run_builder

I10 = st.integers(-999_999_999, 2**31 - 1)  # what an I10 field holds (and a 32-bit integer)
# Reals at the fields' limits: the largest and the smallest, negative zero,
# values that G10.3 rounds up to the next power of ten, and any other.
REALS = st.one_of(
    st.sampled_from([0.0, -0.0, 0.09995, 0.0999, 999.5, 9995.0, 3.4028235e38, -3.4028235e38, 1e-45, -1e-37, 1e10]),
    st.floats(width=32, allow_nan=False, allow_infinity=False))


def typed(value) -> str:
    """A 32-bit real as a user types it: the double of the same value."""
    return repr(float(np.float32(value)))


@st.composite
def arrays(draw, shape, dtype, values):
    """One value (now and then) or values cell by cell."""
    if draw(st.booleans()):
        return np.full(shape, draw(values), dtype=dtype)
    return np.array(draw(st.lists(values, min_size=int(np.prod(shape)), max_size=int(np.prod(shape)))),
                    dtype=dtype).reshape(shape)


@st.composite
def models(draw):
    layers, rows, periods = draw(st.integers(0, 3)), draw(st.integers(1, 3)), draw(st.integers(0, 3))
    columns = draw(st.sampled_from([1, 2, 10, 11, 20, 21, 25]))  # rows of one line and of more
    title = draw(st.text(st.characters(min_codepoint=0x20, max_codepoint=0x7E), max_size=80))
    model = gwbuilders.Model.new(layers, rows, columns, periods, title_1=title, title_2="generated",
                                 time_unit=draw(st.integers(0, 5)))
    basic = model.basic
    for layer in range(layers):
        basic.ibound[layer] = draw(arrays((rows, columns), np.int32, st.integers(-99, 999)))
        basic.shead[layer] = draw(arrays((rows, columns), np.float32, REALS))
    basic.no_flow_head = float(np.float32(draw(REALS)))
    for period in basic.periods:
        period["length"], period["steps"], period["multiplier"] = draw(REALS), draw(I10), draw(REALS)
    flow = model.add_flow(draw(st.lists(st.one_of(st.integers(0, 3), st.integers(-9, 99)),
                                        min_size=layers, max_size=layers)),
                          transient=draw(st.booleans()))
    flow.simulation_type = draw(st.sampled_from([flow.simulation_type, 7]))
    flow.anisotropy[:] = draw(arrays((layers,), np.float32, REALS))
    flow.delr[:] = draw(arrays((columns,), np.float32, REALS))
    flow.delc[:] = draw(arrays((rows,), np.float32, REALS))
    for label, array in flow.arrays.items():
        for layer in range(layers):
            if not np.isnan(array[layer]).all():
                array[layer] = draw(arrays((rows, columns), np.float32, REALS))
    drains = model.add_drains(max_drains=draw(I10))
    drain = st.tuples(I10, I10, I10, REALS, REALS)
    drains.periods = [draw(st.one_of(st.integers(-999_999_999, -1),
                                     st.lists(drain, max_size=3).map(lambda d: np.array(d, gwbuilders.DRAIN_DTYPE))))
                      for _ in range(periods)]
    return model


def cells_typed(layer: np.ndarray) -> list[str]:
    # One item for an array of one value (the same bits: -0.0 is not 0.0).
    bits = layer.view(np.int32)
    return [typed(layer.flat[0])] if (bits == bits.flat[0]).all() else [typed(v) for v in layer.flat]


def answers_of(model: gwbuilders.Model) -> dict[str, str]:
    basic, flow, drains = model.basic, model.flow, model.drains
    slots = sorted(gwbuilders.MODULES)
    assert len(slots) == MODULE_QUESTIONS
    basic_text = BasicAnswers(
        basic.title_1, basic.title_2, basic.ibound, [cells_typed(layer) for layer in basic.shead],
        [(typed(p["length"]), str(p["steps"]), typed(p["multiplier"])) for p in basic.periods],
        time_unit=basic.time_unit, modules=tuple(int(basic.module_units[s - 1] > 0) for s in slots),
        no_flow_head=typed(basic.no_flow_head)).text()
    layers = flow.layers
    flow_answers = FlowAnswers(
        flow.simulation_type, flow.layer_types.tolist(), [typed(v) for v in flow.anisotropy],
        cells_typed(flow.delr), cells_typed(flow.delc), flow.rows, flow.columns,
        {(layer, label): cells_typed(flow.arrays[label][layer])
         for layer, code in enumerate(flow.layer_types.tolist())
         for label in layer_arrays(code, flow.simulation_type == 0, layer + 1, layers)})
    periods = [p if isinstance(p, int) else [(d["layer"], d["row"], d["column"], typed(d["elevation"]),
                                              typed(d["conductance"])) for d in p] for p in drains.periods]
    return {"FOR001": basic_text, "FOR011": flow_answers.text(), "FOR013": drain_answers(drains.max_drains, periods)}


def assert_close(read: np.ndarray, given: np.ndarray, what: str) -> None:
    # G10.3 keeps three significant digits; the smallest reals, fewer bits.
    np.testing.assert_allclose(read, given, rtol=5e-3, atol=3e-45, err_msg=what)


@settings(max_examples=40, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(models())
def test_write_is_what_the_builders_write_and_reads_back(model: gwbuilders.Model) -> None:
    with tempfile.TemporaryDirectory() as scratch:
        written, by_builders = Path(scratch) / "written", Path(scratch) / "builders"
        written.mkdir()
        by_builders.mkdir()
        model.write(written)
        for file, answers in answers_of(model).items():
            assert (written / file).read_bytes() == run_builder(file, answers, by_builders), file
        assert sorted(os.listdir(written)) == ["FOR001", "FOR011", "FOR013"]  # nothing left beside them
        back = gwbuilders.read_model(written)

    basic, read = model.basic, back.basic
    assert read.title_1 == basic.title_1.rstrip(" ") and read.shape == basic.shape
    assert read.module_units == basic.module_units and read.time_unit == basic.time_unit
    np.testing.assert_array_equal(read.ibound, basic.ibound)
    assert_close(read.shead, basic.shead, "shead")
    assert_close(read.periods["length"], basic.periods["length"], "periods")
    np.testing.assert_array_equal(read.periods["steps"], basic.periods["steps"])
    flow, read_flow = model.flow, back.flow
    assert read_flow.simulation_type == flow.simulation_type
    np.testing.assert_array_equal(read_flow.layer_types, flow.layer_types)
    for name in ("anisotropy", "delr", "delc"):
        assert_close(getattr(read_flow, name), getattr(flow, name), name)
    for label, array in read_flow.arrays.items():
        held = ~np.isnan(array)
        assert_close(array[held], flow.arrays[label][held], label)
    for read_period, period in zip(back.drains.periods, model.drains.periods, strict=True):
        if isinstance(period, int):
            assert read_period == period
        else:
            assert read_period[["layer", "row", "column"]].tolist() == period[["layer", "row", "column"]].tolist()
            assert_close(read_period["elevation"], period["elevation"], "elevation")


def test_a_model_read_is_written_as_it_was(example_folder: Path, tmp_path: Path) -> None:
    # The example's files, read and written again: the same bytes.
    gwbuilders.read_model(example_folder).write(tmp_path)
    for file in ("FOR001", "FOR011", "FOR013"):
        assert (tmp_path / file).read_bytes() == (example_folder / file).read_bytes(), file


def test_arrays_in_any_order_of_memory_write_the_same(tmp_path: Path) -> None:
    # A view with strides and a Fortran-ordered array are their cells all the same.
    model = gwbuilders.Model.new(2, 3, 4, flow=True)
    model.basic.shead[:] = np.arange(24, dtype=np.float32).reshape(2, 3, 4)
    model.flow.tran[:] = model.basic.shead * np.float32(0.5)
    (tmp_path / "contiguous").mkdir()
    model.write(tmp_path / "contiguous")
    model.basic.shead = np.asfortranarray(model.basic.shead)
    every_other_row = np.zeros((2, 6, 4), np.float32)
    every_other_row[:, ::2] = model.flow.tran
    model.flow.tran = every_other_row[:, ::2]
    (tmp_path / "strided").mkdir()
    model.write(tmp_path / "strided")
    for file in ("FOR001", "FOR011"):
        assert (tmp_path / "strided" / file).read_bytes() == (tmp_path / "contiguous" / file).read_bytes()


def test_the_whole_run_of_the_basic_file(tmp_path: Path) -> None:
    # A whole run, record by record as the basic file's layout gives it.
    model = gwbuilders.Model.new(1, 2, 3, 2, title_1="Test", time_unit="days",
                                 modules=["Block Centered Flow", "Output Control"])
    model.basic.memory_sharing, model.basic.save_heads = 0, 1
    model.basic.ibound[0, 1, 0] = -1
    model.basic.shead[:] = 10
    model.basic.periods[0] = (365, 10, 1.2)
    model.basic.periods[1] = (100, 5, 1)
    model.write(tmp_path)
    one = "  1.00    "  # G10.3: two blanks, the digits, four blanks
    expected = ["Test".ljust(80), " " * 80, "".join(f"{n:10d}" for n in (1, 2, 3, 2, 4)),
                "".join(f"{n:3d}" for n in [11] + [0] * 10 + [22] + [0] * 12), f"{0:10d}{1:10d}",
                f"{1:10d}{1:10d}(20I3){' ' * 14}{3:10d}   IBOUND-  1", "  1  1  1", " -1  1  1", "  999.    ",
                f"{1:10d}{one}(10G10.3){' ' * 11}{0:10d}    SHEAD-  1", "  10.0    " * 3, "  10.0    " * 3,
                f"  365.    {10:10d}  1.20    ", f"  100.    {5:10d}{one}"]
    assert (tmp_path / "FOR001").read_bytes() == "".join(line + "\r\n" for line in expected).encode()
    assert model.folder == os.fspath(tmp_path)


def _set(path: str, value) -> object:
    def change(model: gwbuilders.Model) -> None:
        *parents, last = path.split(".")
        target = model
        for name in parents:
            target = getattr(target, name)
        setattr(target, last, value)
    return change


def _cell(path: str, index, value) -> object:
    def change(model: gwbuilders.Model) -> None:
        part, name = path.split(".")
        getattr(getattr(model, part), name)[index] = value
    return change


@pytest.mark.parametrize("change, message", [
    (_set("basic.shead", np.zeros((2, 3, 4), np.float64)),
     "basic.shead is float64 of shape (2, 3, 4): wanted float32 of shape (2, 3, 4)"),
    (_set("basic.ibound", np.ones((2, 4, 3), np.int32)),
     "basic.ibound is int32 of shape (2, 4, 3): wanted int32 of shape (2, 3, 4)"),
    (_set("flow.delr", [1.0] * 4), "flow.delr is list, not a numpy array: wanted float32 of shape (4,)"),
    (_cell("basic.ibound", (1, 2, 3), 1000),
     "FOR001: basic.ibound[1, 2, 3] (layer 2, row 3, column 4) is 1000, too wide for its I3 field (-99 to 999)"),
    (_cell("basic.ibound", (0, 0, 0), -100), "(layer 1, row 1, column 1) is -100, too wide for its I3 field"),
    (_cell("basic.shead", (0, 1, 2), np.inf), "basic.shead[0, 1, 2] (layer 1, row 2, column 3) is inf"),
    (_cell("flow.hydcon", (1, 0, 3), np.nan), "FOR011: flow.hydcon[1, 0, 3] (layer 2, row 1, column 4) is nan"),
    (_cell("flow.layer_types", 0, 100), "flow.layer_types[0] (layer 1) is 100, too wide for its I2 field (-9 to 99)"),
    (_set("flow.bot", None), "layer 1 (type code 1, steady state) holds BOT-, but flow.bot is None"),
    (_set("basic.title_1", "x" * 81), "basic.title_1 is 81 bytes long: its record holds 80"),
    (_set("basic.title_2", "two\nlines"), "basic.title_2 holds a line end"),
    (_set("basic.no_flow_head", 1e39), "basic.no_flow_head is 1e+39: the files hold finite 32-bit reals only"),
    (_set("basic.module_units", (0, 13) + (0,) * 22), "basic.module_units[1] is 13: slot 2 holds 0 or 12 (Wells"),
    (_set("basic.module_units", (0,) * 5 + (16,) + (0,) * 18), "slot 6 holds 0 (no module is asked for there)"),
    (_set("basic.time_unit", -10**9), "basic.time_unit is -1000000000, too wide for its I10 field (-999999999 to"),
    (_set("basic.layers", -1), "basic.layers is -1: wanted a count"),
    (lambda m: m.drains.periods.__setitem__(0, 2), "drains.periods[0] is 2: a period is its drains"),
    (_set("drains.max_drains", 2**31), "drains.max_drains is 2147483648: wanted an integer"),
    (lambda m: setattr(m, "flow", gwbuilders.Model.new(0, 5001, 20_000).add_flow()),
     "FOR011: a grid of 5001 rows by 20000 columns has 100020000 cells; the builders take at most"),
])
def test_bad_input_raises_before_anything_is_written(tmp_path: Path, change, message: str) -> None:
    model = gwbuilders.Model.new(2, 3, 4, 1, flow=True, layer_types=[1, 3], drains=True)
    model.write(tmp_path)
    before = {name: (tmp_path / name).read_bytes() for name in os.listdir(tmp_path)}
    model.basic.shead[:] = 5.0  # a change that would show, were anything written
    change(model)
    with pytest.raises(gwbuilders.ModelError) as raised:
        model.write(tmp_path)
    assert isinstance(raised.value, ValueError) and message in str(raised.value)
    assert {name: (tmp_path / name).read_bytes() for name in os.listdir(tmp_path)} == before


def test_a_failed_write_leaves_the_file_as_it_was(tmp_path: Path) -> None:
    (tmp_path / "FOR013").write_bytes(b"the old drains\r\n")
    model = gwbuilders.Model(drains=gwbuilders.Drains(max_drains=0, flow_code=0, periods=[]))
    # Quillet holds its lock on FOR013 from its start, and waits for answers.
    waiting = subprocess.Popen([str(BIN / "Quillet")], cwd=tmp_path, stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        waiting.stdout.read(10)  # its first question: the file is open
        with pytest.raises(gwbuilders.WriteError, match=f"another run is writing this file \\(process {waiting.pid}\\)"):
            model.write(tmp_path)
    finally:
        waiting.kill()
        waiting.wait()
    assert (tmp_path / "FOR013").read_bytes() == b"the old drains\r\n"
    assert os.listdir(tmp_path) == ["FOR013"]
    model.write(tmp_path)  # once the builder is gone
    assert (tmp_path / "FOR013").read_bytes() == f"{0:10d}{0:10d}\r\n".encode()


def test_a_write_that_fails_midway_leaves_the_file_as_it_was(tmp_path: Path) -> None:
    # Files of at most 4 KiB: the dialogue's writing fails inside the boundary arrays.
    (tmp_path / "FOR001").write_bytes(b"the old basic file\r\n")
    script = ("import sys, gwbuilders\n"
              "try:\n    gwbuilders.Model.new(1, 100, 100).write(sys.argv[1])\n"
              "except gwbuilders.WriteError as e:\n    print(e)\n")
    done = subprocess.run([sys.executable, "-c", script, str(tmp_path)], capture_output=True, text=True,
                          preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096)))
    assert "did not reach its stop: run-time error" in done.stdout, done.stdout + done.stderr
    assert "File too large" in done.stdout
    assert (tmp_path / "FOR001").read_bytes() == b"the old basic file\r\n"
    assert os.listdir(tmp_path) == ["FOR001"]



def test_threads_writing_one_folder_take_turns(tmp_path: Path) -> None:
    # Each thread writes a model of its own, told by its title, its layer's
    # anisotropy and its drains, several times over; every write must land,
    # and the folder must end up holding one model's three files.
    def model_of(n: int) -> gwbuilders.Model:
        model = gwbuilders.Model.new(1, 120, 150, title_1=f"model {n}", layer_types=[0], drains=True)
        model.basic.shead[:] = np.arange(120 * 150, dtype=np.float32).reshape(1, 120, 150) / (n + 1)
        model.flow.anisotropy[:] = n + 1
        model.drains.max_drains = n
        return model

    barrier = threading.Barrier(6)
    failures: list[BaseException] = []

    def write_often(n: int) -> None:
        model = model_of(n)
        barrier.wait()
        try:
            for _ in range(4):
                model.write(tmp_path)
        except BaseException as e:  # noqa: BLE001 - told by the assertion below
            failures.append(e)

    threads = [threading.Thread(target=write_often, args=(n,)) for n in range(6)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
    assert sorted(os.listdir(tmp_path)) == ["FOR001", "FOR011", "FOR013"]
    back = gwbuilders.read_model(tmp_path)
    n = back.drains.max_drains
    assert back.basic.title_1 == f"model {n}" and back.flow.anisotropy.tolist() == [n + 1]
