"""The tour of the Python guide (examples/python/tour.py), run as a user runs
it, and what it wrote read back against its sources: the CSV table and the
raster, read here without GDAL."""

from __future__ import annotations

import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import gwbuilders
from conftest import EXAMPLES

pytest.importorskip("osgeo.gdal", reason="the tour reads its raster with GDAL's Python bindings (python3-gdal)")


def test_the_tour_writes_its_sources_into_the_files(tmp_path: Path) -> None:
    tour = EXAMPLES / "python"
    done = subprocess.run([sys.executable, str(tour / "tour.py"), "out"], cwd=tmp_path, capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr

    heads = np.loadtxt(tour / "valley_heads.csv", delimiter=",", dtype=np.float32)
    base = np.loadtxt(tour / "valley_base.asc", skiprows=6, dtype=np.float32)  # an ASCII grid: 6 header lines
    aquifer = base != -9999
    valley = gwbuilders.read_model(tmp_path / "out" / "valley")
    # One decimal of heads between 80 and 100 is three significant digits:
    # the G10.3 fields hold them exactly.
    np.testing.assert_array_equal(valley.basic.shead[0], heads)
    np.testing.assert_array_equal(valley.flow.bot[0][aquifer], base[aquifer])
    assert (valley.basic.ibound[:, ~aquifer] == 0).all() and (valley.basic.ibound[:, aquifer] != 0).all()
    assert valley.flow.delr.tolist() == [100.0] * 30 and valley.flow.delc.tolist() == [100.0] * 20

    # A hundred variants, each the valley with the upper layer's conductivity
    # scaled, and nothing else changed.
    variants = sorted((tmp_path / "out" / "variants").iterdir())
    assert [v.name for v in variants] == [f"{i:03d}" for i in range(100)]
    for factor, folder in zip(np.linspace(0.5, 2.0, 100), variants):
        for same in ("FOR001", "FOR013"):
            assert (folder / same).read_bytes() == (tmp_path / "out" / "valley" / same).read_bytes()
        hydcon = gwbuilders.read_model(folder).flow.hydcon[0]
        np.testing.assert_allclose(hydcon, 12.5 * factor, rtol=5e-3)

    # The changed variant: the pit's drains taken out, nothing left to find
    # but the solver's file, which these builders do not make.
    changed = gwbuilders.read_model(tmp_path / "out" / "changed")
    assert [f.rule for f in changed.check()] == ["module-file-missing"]
    assert len(changed.drains.periods[0]) == 17
    assert (tmp_path / "out" / "changed" / "report.html").stat().st_size > 0
