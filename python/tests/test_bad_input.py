"""Each kind of bad input: a folder that is not there, a file cut short, a
field that is no number, asterisks, a header that claims more than its
file holds. Places are counted by hand in the example's FOR001: line 3 the
grid counts, 6 the IBOUND- record of layer 1 and 7-12 its rows (20I3), 21
the SHEAD- record of layer 1 and 22-27 its rows (10G10.3)."""

from __future__ import annotations

import warnings
from pathlib import Path

import numpy as np
import pytest

import gwbuilders
from conftest import gwinspect


def lines_of(path: Path) -> list[bytes]:
    return path.read_bytes().split(b"\r\n")


def write_lines(path: Path, lines: list[bytes]) -> None:
    path.write_bytes(b"\r\n".join(lines))


def test_a_missing_folder(tmp_path: Path) -> None:
    missing = tmp_path / "nowhere"
    with pytest.raises(FileNotFoundError) as raised:
        gwbuilders.read_model(missing)
    assert str(raised.value) == f"{missing}: No such file or directory"


def test_a_file_for_a_folder(example_folder: Path) -> None:
    with pytest.raises(NotADirectoryError, match="is not a folder: name the folder of the model"):
        gwbuilders.read_model(example_folder / "FOR001")


def test_absent_files_read_as_none(example_copy: Path) -> None:
    (example_copy / "FOR011").unlink()
    (example_copy / "FOR013").unlink()
    model = gwbuilders.read_model(example_copy)
    assert model.basic is not None and model.flow is None and model.drains is None


@pytest.mark.parametrize("file, keep, line, expected", [
    ("FOR001", 9, 10, "row 4 of IBOUND- of layer 1"),
    ("FOR001", 2, 3, "the dimension record"),
    ("FOR011", 12, 13, "SF1- of layer 1"),
    ("FOR013", 3, 4, "the record of drain 2 of stress period 1"),
])
def test_a_cut_file(example_copy: Path, file: str, keep: int, line: int, expected: str) -> None:
    path = example_copy / file
    write_lines(path, lines_of(path)[:keep] + [b""])
    with pytest.raises(gwbuilders.ReadError) as raised:
        gwbuilders.read_model(example_copy)
    error = raised.value
    assert (error.file, error.line, error.column) == (str(path), line, 1)
    assert error.message.startswith("the file ends early: expected ")
    assert expected in error.message
    assert str(error) == f"{path}:{line}:1: error: {error.message}"
    # gwinspect check finds the same end at the same place.
    ends = [d for d in gwbuilders.Model(folder=example_copy).check() if d.rule == "file-ends-early"]
    assert [(d.file, d.line, d.message) for d in ends] == [(file, line, error.message)]


def test_a_field_that_is_no_number(example_copy: Path) -> None:
    path = example_copy / "FOR001"
    lines = lines_of(path)
    lines[7] = b" -1  x  1  1  1  1  1"  # row 2 of IBOUND- of layer 1, its column 2 in columns 4-6
    write_lines(path, lines)
    with pytest.raises(gwbuilders.ReadError) as raised:
        gwbuilders.read_model(example_copy)
    assert (raised.value.line, raised.value.column) == (8, 4)
    assert "IBOUND- of layer 1, row 2, column 2" in raised.value.message


def test_a_file_that_cannot_be_opened(example_copy: Path) -> None:
    path = example_copy / "FOR013"
    path.unlink()
    path.mkdir()
    with pytest.raises(gwbuilders.ReadError) as raised:
        gwbuilders.read_model(example_copy)
    assert (raised.value.line, raised.value.column) == (1, 1)
    # The line gwinspect answers prints for it.
    assert str(raised.value) == gwinspect("answers", str(path)).stderr.decode().rstrip("\n")


def test_counts_beyond_the_file_are_refused_before_allocating(example_copy: Path) -> None:
    path = example_copy / "FOR001"
    lines = lines_of(path)
    lines[2] = b"    100000    100000    100000         3         4"
    write_lines(path, lines)
    with pytest.raises(gwbuilders.ReadError, match="more cells than the file's") as raised:
        gwbuilders.read_model(example_copy)
    assert (raised.value.line, raised.value.column) == (3, 1)


def test_asterisks_read_as_nan_with_a_warning(example_copy: Path) -> None:
    path = example_copy / "FOR001"
    lines = lines_of(path)
    # SHEAD- of layer 1, rows 1 and 2 alike, column 3 (columns 21-30) of
    # each; IBOUND- of layer 2, row 1, column 7 (columns 19-21).
    for index in (21, 22):
        lines[index] = lines[index][:20] + b"**********" + lines[index][30:]
    lines[13] = lines[13][:18] + b"***"
    write_lines(path, lines)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        basic = gwbuilders.read_model(example_copy).basic
    shead = np.full((2, 6, 7), 100, np.float32)
    shead[1] = 98.5
    shead[0, 0:2, 2] = np.nan
    np.testing.assert_array_equal(basic.shead, shead)
    assert basic.ibound[1, 0, 6] == np.iinfo(np.int32).min
    told = [str(w.message) for w in caught if issubclass(w.category, gwbuilders.AsteriskWarning)]
    # Each place the first time; the second row, passed as a copy of the
    # first, only counted.
    assert told[0] == f"{path}:14:19: asterisks (a value too wide for its field) read as NaN: " \
                      "IBOUND- of layer 2, row 1, column 7"
    assert told[1].startswith(f"{path}:22:21: ") and told[1].endswith("SHEAD- of layer 1, row 1, column 3")
    assert told[2] == f"{path}: 1 more fields of asterisks read as NaN"
    assert len(told) == 3


def test_answers_of_a_damaged_file_raise(example_copy: Path) -> None:
    path = example_copy / "FOR001"
    lines = lines_of(path)
    lines[2] = b"  two"
    write_lines(path, lines)
    with pytest.raises(gwbuilders.ReadError) as raised:
        gwbuilders.Model(folder=example_copy).answers("FOR001")
    assert str(raised.value) == gwinspect("answers", str(path)).stderr.decode().splitlines()[0]
    assert raised.value.line == 3
    with pytest.raises(ValueError):
        gwbuilders.Model(folder=example_copy).answers("FOR012")
