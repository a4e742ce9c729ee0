#!/usr/bin/python3
"""A tour of gwbuilders: a two-layer model of a river valley made from numpy
arrays, its starting heads from a CSV table and its aquifer's base from a GIS
raster, written as FOR001, FOR011 and FOR013; a hundred variants of it
written in a loop; the model read back, changed and checked.

    /usr/bin/python3 examples/python/tour.py [OUTPUT-FOLDER]

The files go into OUTPUT-FOLDER (default: tour-output), made if need be.
Needs gwbuilders, numpy and GDAL's Python bindings (Debian: python3-gdal).
"""

from __future__ import annotations

import sys
import time
from pathlib import Path

import numpy as np
from osgeo import gdal

import gwbuilders

HERE = Path(__file__).resolve().parent
output = Path(sys.argv[1] if len(sys.argv) > 1 else "tour-output")

# The aquifer's base, a raster of the valley's geological survey in an ASCII
# grid (any raster GDAL reads will do: GeoTIFF, netCDF, ...). The raster
# gives the grid: one cell of the model for each of its cells.
gdal.UseExceptions()
raster = gdal.Open(str(HERE / "valley_base.asc"))
band = raster.GetRasterBand(1)
base = band.ReadAsArray().astype(np.float32)          # (rows, columns), north row first
outside = base == band.GetNoDataValue()               # cells beyond the aquifer's edge
_, cell_width, _, _, _, cell_height = raster.GetGeoTransform()
rows, columns = base.shape

# Starting heads of the upper layer, a table of the field campaign.
heads = np.loadtxt(HERE / "valley_heads.csv", delimiter=",", dtype=np.float32)
assert heads.shape == (rows, columns), heads.shape

# The model: an unconfined upper layer (type 1) over a confined one (type 0),
# three stress periods in days, with drains, solved by the strongly implicit
# procedure (whose file the builders do not make).
model = gwbuilders.Model.new(layers=2, rows=rows, columns=columns, periods=3,
                             title_1="Riverside valley aquifer, from the survey raster",
                             title_2="Starting heads of the spring campaign",
                             time_unit="days", layer_types=[1, 0], drains=True,
                             modules=["Strongly Implicit Procedure"])
basic, flow, drains = model.basic, model.flow, model.drains

basic.ibound[:, :, 0] = -1                # the river on the west edge holds the head
basic.ibound[:, outside] = 0              # no aquifer beyond the raster's edge
basic.shead[0] = heads
basic.shead[1] = heads - 0.5              # the lower layer a little below
basic.periods["length"] = [90, 90, 185]
basic.periods["steps"] = [3, 3, 6]

flow.delr[:] = cell_width                 # widths along a row, one per column
flow.delc[:] = -cell_height               # along a column, one per row (north-up rasters count down)
flow.hydcon[0] = 12.5                     # metres a day
flow.bot[0] = np.where(outside, 0.0, base)
flow.vcon[0] = 0.001
flow.tran[1] = 250.0

# A drained meadow along row 11, from column 6 to 25, its drains 1.5 m below
# the starting head; the later periods keep the first one's drains.
meadow = np.arange(5, 25)
drains.max_drains = len(meadow)
drains.periods[0] = np.array([(1, 11, c + 1, heads[10, c] - 1.5, 1000.0) for c in meadow],
                             dtype=gwbuilders.DRAIN_DTYPE)
drains.periods[1] = -1
drains.periods[2] = -1

valley = output / "valley"
valley.mkdir(parents=True, exist_ok=True)
model.write(valley)
print(f"{valley}: {', '.join(sorted(p.name for p in valley.iterdir()))}, "
      f"{rows} rows by {columns} columns of {cell_width:g} m")

# A hundred variants: the conductivity of the upper layer from half to twice
# the survey's, each written into a folder of its own.
started = time.perf_counter()
conductivity = flow.hydcon.copy()
factors = np.linspace(0.5, 2.0, 100, dtype=np.float32)
for i, factor in enumerate(factors):
    flow.hydcon[:] = conductivity * factor
    folder = output / "variants" / f"{i:03d}"
    folder.mkdir(parents=True, exist_ok=True)
    model.write(folder)
print(f"{len(factors)} variants written in {time.perf_counter() - started:.2f} s")

# Read back, changed and checked: one variant, where a gravel pit is dug
# into the upper layer across the meadow (its cells made no-flow cells).
variant = gwbuilders.read_model(output / "variants" / "050")
assert np.isclose(variant.flow.hydcon[0, 0, 1], 12.5 * factors[50], rtol=2e-3)
variant.basic.ibound[0, 9:12, 12:15] = 0
changed = output / "changed"
changed.mkdir(parents=True, exist_ok=True)
variant.write(changed)


def show(findings: gwbuilders.Diagnostics) -> None:
    for finding in findings:
        print(f"  {finding}")
    errors, warnings = findings.errors, findings.warnings
    print(f"  {errors} error{'s' * (errors != 1)}, {warnings} warning{'s' * (warnings != 1)}")


# The check finds the meadow's drains that now lie in the pit; the solver's
# file is one these builders do not make, so its absence is the one error
# a model made here always has until that file is made by other means.
findings = variant.check()
print(f"{changed}, checked:")
show(findings)
in_pit = [f for f in findings if f.file == "FOR013" and "no-flow cell" in f.message]
assert in_pit, "the drains in the pit should be found"

# Mended: the drains in the pit are taken out, and the check is run again.
first = variant.drains.periods[0]
kept = variant.basic.ibound[first["layer"] - 1, first["row"] - 1, first["column"] - 1] != 0
variant.drains.periods[0] = first[kept]
variant.write(changed)
findings = variant.check()
print(f"{changed}, {int((~kept).sum())} drains taken out of the pit and checked again:")
show(findings)
left = [f for f in findings if f.rule != "module-file-missing"]
variant.report(changed / "report.html", length_unit="m")
print(f"{changed / 'report.html'}: the report's page")
sys.exit(0 if findings.completed and not left else 1)
