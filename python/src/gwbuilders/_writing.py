"""A model's files written by the builders' own dialogues: each part's values
checked for shape and dtype here, then handed to the compiled module, which
makes the answers from the arrays where they lie and runs the dialogue."""

from __future__ import annotations

import contextlib
import math
import os
import threading
from pathlib import Path
from typing import TYPE_CHECKING, Any, Union

import numpy as np

from . import _native
from ._errors import ModelError, printable

if TYPE_CHECKING:
    from ._model import Basic, Drains, Flow, Model

FILES = ("FOR001", "FOR011", "FOR013")


def want_array(name: str, value: Any, dtype: Union[np.dtype, type], shape: tuple[int, ...]) -> np.ndarray:
    """`value` itself when it is an array of `dtype` and `shape`; a ModelError
    naming the attribute, what it is and what is wanted otherwise."""
    wanted = f"{np.dtype(dtype)} of shape {shape}"
    if not isinstance(value, np.ndarray):
        raise ModelError(f"{name} is {type(value).__name__}, not a numpy array: wanted {wanted}")
    if value.dtype != np.dtype(dtype) or value.shape != shape:
        raise ModelError(f"{name} is {value.dtype} of shape {value.shape}: wanted {wanted}")
    return value


def want_integer(name: str, value: Any, least: int = -(2**31)) -> int:
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, (int, np.integer)):
        raise ModelError(f"{name} is {value!r}: wanted an integer")
    if not least <= int(value) < 2**31:
        raise ModelError(f"{name} is {value}: wanted {'a count, ' if least == 0 else ''}"
                         f"an integer from {least} to {2**31 - 1}")
    return int(value)


def want_real(name: str, value: Any) -> float:
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, (int, float, np.integer, np.floating)):
        raise ModelError(f"{name} is {value!r}: wanted a real number")
    with np.errstate(over="ignore"):
        single = np.float32(value)
    if not math.isfinite(single):
        raise ModelError(f"{name} is {value}: the files hold finite 32-bit reals only")
    return float(single)


def want_title(name: str, value: Any) -> bytes:
    if not isinstance(value, str):
        raise ModelError(f"{name} is {value!r}: wanted a str")
    text = value.encode("utf-8", errors="surrogateescape")
    if len(text) > _native.TITLE_LENGTH:
        raise ModelError(f"{name} is {len(text)} bytes long: its record holds {_native.TITLE_LENGTH}")
    return text


def basic_values(basic: "Basic") -> dict:
    layers, rows, columns = (want_integer(f"basic.{n}", getattr(basic, n), least=0)
                             for n in ("layers", "rows", "columns"))
    period_count = want_integer("basic.period_count", basic.period_count, least=0)
    shape = (layers, rows, columns)
    from ._model import PERIOD_DTYPE
    units = tuple(basic.module_units)
    if len(units) != 24:
        raise ModelError(f"basic.module_units holds {len(units)} unit numbers: wanted 24, one per slot")
    return {
        "title_1": want_title("basic.title_1", basic.title_1),
        "title_2": want_title("basic.title_2", basic.title_2),
        "layers": layers, "rows": rows, "columns": columns, "period_count": period_count,
        "time_unit": want_integer("basic.time_unit", basic.time_unit),
        "module_units": [want_integer(f"basic.module_units[{i}]", u) for i, u in enumerate(units)],
        "memory_sharing": want_integer("basic.memory_sharing", basic.memory_sharing),
        "save_heads": want_integer("basic.save_heads", basic.save_heads),
        "no_flow_head": want_real("basic.no_flow_head", basic.no_flow_head),
        "periods": want_array("basic.periods", basic.periods, PERIOD_DTYPE, (period_count,)),
        "ibound": want_array("basic.ibound", basic.ibound, np.int32, shape),
        "shead": want_array("basic.shead", basic.shead, np.float32, shape),
    }


def flow_values(flow: "Flow") -> dict:
    from ._model import FLOW_ARRAYS
    layers, rows, columns = (want_integer(f"flow.{n}", getattr(flow, n), least=0)
                             for n in ("layers", "rows", "columns"))
    arrays = {}
    for label, array in flow.arrays.items():
        if label not in FLOW_ARRAYS:
            raise ModelError(f"flow.arrays[{label!r}] is no array of FOR011: its labels are {', '.join(FLOW_ARRAYS)}")
        if array is not None:
            arrays[label] = want_array(f"flow.{FLOW_ARRAYS[label]}", array, np.float32, (layers, rows, columns))
    return {
        "simulation_type": want_integer("flow.simulation_type", flow.simulation_type),
        "cell_by_cell_code": want_integer("flow.cell_by_cell_code", flow.cell_by_cell_code),
        "layers": layers, "rows": rows, "columns": columns,
        "layer_types": want_array("flow.layer_types", flow.layer_types, np.int32, (layers,)),
        "anisotropy": want_array("flow.anisotropy", flow.anisotropy, np.float32, (layers,)),
        "delr": want_array("flow.delr", flow.delr, np.float32, (columns,)),
        "delc": want_array("flow.delc", flow.delc, np.float32, (rows,)),
        "arrays": arrays,
    }


def drain_values(drains: "Drains") -> dict:
    from ._model import DRAIN_DTYPE
    periods: list = []
    for p, period in enumerate(drains.periods):
        name = f"drains.periods[{p}]"
        if isinstance(period, (int, np.integer)) and not isinstance(period, (bool, np.bool_)):
            if period >= 0:
                raise ModelError(f"{name} is {period}: a period is its drains (an array of DRAIN_DTYPE, "
                                 f"empty for none) or a negative code that reuses the previous period's")
            periods.append(want_integer(name, period))
        else:
            length = len(period) if isinstance(period, np.ndarray) and period.ndim == 1 else 0
            periods.append(want_array(name, period, DRAIN_DTYPE, (length,)))
    return {"max_drains": want_integer("drains.max_drains", drains.max_drains),
            "flow_code": want_integer("drains.flow_code", drains.flow_code), "periods": periods}


def part_answers(file: str, part: Union["Basic", "Flow", "Drains"]) -> Any:
    """The answers (held by the compiled module) of one part of a model."""
    values, make = {"FOR001": (basic_values, _native.basic_answers), "FOR011": (flow_values, _native.flow_answers),
                    "FOR013": (drain_values, _native.drain_answers)}[file]
    return make(values(part))


def answers_of(model: "Model") -> list[tuple[str, Any]]:
    """The answers of every file the model holds, in file order; every value
    is held to its field here, before anything is written."""
    parts = zip(FILES, (model.basic, model.flow, model.drains))
    return [(file, part_answers(file, part)) for file, part in parts if part is not None]


# The writes of each folder now under way in this process, with how many
# threads use or wait for its lock.
_folders_guard = threading.Lock()
_folder_writes: dict[Any, list[Any]] = {}


@contextlib.contextmanager
def one_write_at_a_time(folder: str):
    """Holds the folder against the other threads of this process that write
    it, so that its files are all of one model when they are done (a thread
    that met another's file lock would fail as if another run held it)."""
    key = os.path.realpath(folder)
    with _folders_guard:
        entry = _folder_writes.setdefault(key, [threading.Lock(), 0])
        entry[1] += 1
    try:
        with entry[0]:
            yield
    finally:
        with _folders_guard:
            entry[1] -= 1
            if entry[1] == 0:
                del _folder_writes[key]


def write_model(model: "Model", folder: str) -> list[Path]:
    if not os.path.isdir(folder):
        raise (FileNotFoundError if not os.path.lexists(folder) else NotADirectoryError)(
            f"{printable(folder)} is not a folder: the files are written into an existing folder")
    prepared = answers_of(model)
    with one_write_at_a_time(folder):
        for _, answers in prepared:
            _native.write(os.fsencode(folder), answers)
    return [Path(folder) / file for file, _ in prepared]
