"""How read_model walks an array's rows: a row whose bytes repeat the row
before is passed by comparing them (its values copied, not read again),
and an integer array is read exactly whatever its fields' width."""

from __future__ import annotations

from pathlib import Path

import numpy as np

import gwbuilders
from gwbuilders import _native
from test_bad_input import lines_of, write_lines


def test_rows_that_repeat_the_row_before_are_passed_by_their_bytes(example_copy: Path) -> None:
    (example_copy / "FOR011").unlink()
    (example_copy / "FOR013").unlink()
    before = _native.passed_row_counts()
    basic = gwbuilders.read_model(example_copy).basic
    passed = _native.passed_row_counts()[0] - before[0]
    # The example's FOR001, a row of each array per line: IBOUND- of layer
    # 1 has rows 2 to 4 as row 1, and rows 5 and 6 each differ from the row
    # before; IBOUND- of layer 2 and both SHEAD- arrays have rows 2 to 6 as
    # row 1. 3 + 5 + 5 + 5 rows passed.
    assert passed == 18
    assert basic.ibound[0, :, 0].tolist() == [-1] * 6 and basic.ibound[0, 5].tolist() == [-1, 1, 1, 1, 1, 0, 0]
    assert (basic.ibound[1] == 1).all() and (basic.shead[1] == np.float32(98.5)).all()


def test_wide_integer_fields_read_exactly(example_copy: Path) -> None:
    # IBOUND- of layer 1 given as (10I10): values a float32 cannot hold
    # (2^24 + 1, the largest int32, nine and eight digits), rows 1 to 4 alike, so
    # rows 2 to 4 are passed as copies of row 1.
    path = example_copy / "FOR001"
    lines = lines_of(path)
    assert lines[5].startswith(b"         1         1(20I3) ")
    lines[5] = lines[5].replace(b"(20I3) ", b"(10I10)", 1)
    wide = [16777217, -16777217, 2147483647, -999999999, 99999999, 1, -1]
    row = b"".join(b"%10d" % value for value in wide)
    lines[6:12] = [row] * 4 + [b"%10d" % 1 * 7, b"%10d" % 0 * 7]
    write_lines(path, lines)
    ibound = gwbuilders.read_model(example_copy).basic.ibound
    assert ibound.dtype == np.int32
    assert ibound[0].tolist() == [wide] * 4 + [[1] * 7, [0] * 7]
