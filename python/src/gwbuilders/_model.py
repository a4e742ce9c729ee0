"""A model folder read back: its files as plain attributes and numpy arrays."""

from __future__ import annotations

import html
import os
import re
import tempfile
import warnings
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional, Sequence, Union

import numpy as np

from . import _native
from ._errors import AnswersWarning, AsteriskWarning, ModelError, ReadError, printable
from ._writing import FILES, part_answers, want_integer, write_model

PathLike = Union[str, "os.PathLike[str]"]

#: The module table of FOR001: slot (from 1) and name of every module a builder asks about.
MODULES: dict[int, str] = {
    1: "Block Centered Flow",
    2: "Wells",
    3: "Drains",
    4: "Rivers",
    5: "Evapo-Transpiration",
    7: "General Head Boundary",
    8: "Recharge",
    9: "Strongly Implicit Procedure",
    11: "Slice Successive Over Relaxation",
    12: "Output Control",
    19: "Interbed Storage",
}

TIME_UNITS = ("undefined", "seconds", "minutes", "hours", "days", "years")

#: The layer arrays of FOR011, by label, with the attribute of Flow that gives each.
FLOW_ARRAYS: dict[str, str] = {
    "SF1-": "sf1",
    "TRAN-": "tran",
    "HYDCON-": "hydcon",
    "BOT-": "bot",
    "VCON-": "vcon",
    "SF2-": "sf2",
    "TOP-": "top",
}

#: One stress period of FOR001.
PERIOD_DTYPE = np.dtype([("length", np.float32), ("steps", np.int32), ("multiplier", np.float32)])
#: One drain of FOR013.
DRAIN_DTYPE = np.dtype([("layer", np.int32), ("row", np.int32), ("column", np.int32),
                        ("elevation", np.float32), ("conductance", np.float32)])

_FILES = {"FOR001": 0, "FOR011": 1, "FOR013": 2}


def _shape_text(array: Optional[np.ndarray]) -> str:
    return "None" if array is None else f"<{array.dtype} {array.shape}>"


def _warn_asterisks(path: str, contents: dict) -> None:
    # Each place kept (the first few), then how many more there were.
    for line, column, what in contents["asterisks"]:
        warnings.warn(AsteriskWarning(
            f"{printable(path)}:{line}:{column}: asterisks (a value too wide for its field) read as NaN: {what}"),
            stacklevel=4)
    more = contents["asterisk_count"] - len(contents["asterisks"])
    if more > 0:
        warnings.warn(AsteriskWarning(f"{printable(path)}: {more} more fields of asterisks read as NaN"),
                      stacklevel=4)


def _grid_of(path: str, contents: dict) -> tuple[int, int, int]:
    # A file read with arrays: its asterisks told, then its grid.
    _warn_asterisks(path, contents)
    return tuple(contents["grid"])


def _text(raw: bytes) -> str:
    return raw.decode("utf-8", errors="surrogateescape")


@dataclass(repr=False)
class Basic:
    """FOR001, the basic file: the run header, the boundary and starting-head
    arrays, the head at no-flow cells and the stress periods.

    ``ibound`` is int32 and ``shead`` float32, both (layers, rows, columns).
    ``periods`` is a structured array of (length, steps, multiplier), one
    row per stress period. A field of asterisks reads as NaN (in ``ibound``,
    as the lowest int32), with an AsteriskWarning naming its place.
    """

    title_1: str
    title_2: str
    layers: int
    rows: int
    columns: int
    period_count: int
    time_unit: int
    module_units: tuple[int, ...]
    memory_sharing: int
    save_heads: int
    no_flow_head: float
    periods: np.ndarray
    ibound: np.ndarray
    shead: np.ndarray

    @property
    def time_unit_name(self) -> str:
        """"days" for 4; "undefined" for 0 or a code out of the table."""
        return TIME_UNITS[self.time_unit] if 0 <= self.time_unit < len(TIME_UNITS) else "undefined"

    @property
    def modules(self) -> tuple[str, ...]:
        """The names of the modules the run uses (a unit number above 0 in their slot)."""
        return tuple(name for slot, name in MODULES.items() if self.module_units[slot - 1] > 0)

    @property
    def shape(self) -> tuple[int, int, int]:
        return (self.layers, self.rows, self.columns)

    def __repr__(self) -> str:
        return (f"Basic(title_1={self.title_1!r}, title_2={self.title_2!r}, shape={self.shape}, "
                f"periods={self.period_count}, time_unit={self.time_unit_name!r}, modules={list(self.modules)}, "
                f"ibound={_shape_text(self.ibound)}, shead={_shape_text(self.shead)})")

    @classmethod
    def _from_native(cls, path: str, c: dict) -> "Basic":
        layers, rows, columns = _grid_of(path, c)
        return cls(
            title_1=_text(c["title_1"]), title_2=_text(c["title_2"]),
            layers=layers, rows=rows, columns=columns, period_count=c["period_count"],
            time_unit=c["time_unit"], module_units=tuple(c["module_units"]),
            memory_sharing=c["memory_sharing"], save_heads=c["save_heads"],
            no_flow_head=float(c["no_flow_head"]),
            periods=np.array(c["periods"], dtype=PERIOD_DTYPE),
            ibound=c["arrays"]["IBOUND-"], shead=c["arrays"]["SHEAD-"])


@dataclass(repr=False)
class Flow:
    """FOR011, the block-centred flow file.

    ``delr`` (columns,) and ``delc`` (rows,) are the cell widths,
    ``anisotropy`` and ``layer_types`` one per layer. ``arrays`` maps each
    layer array's label ("SF1-", "TRAN-", "HYDCON-", "BOT-", "VCON-", "SF2-",
    "TOP-") that the file holds to a float32 array (layers, rows, columns):
    NaN in every cell of a layer that has no such array (the layer's type
    and the simulation type decide which it has). The attributes ``sf1``,
    ``tran``, ``hydcon``, ``bot``, ``vcon``, ``sf2``, ``top`` give the same
    arrays, or None where no layer has one.
    """

    simulation_type: int
    cell_by_cell_code: int
    layers: int
    rows: int
    columns: int
    layer_types: np.ndarray
    anisotropy: np.ndarray
    delr: np.ndarray
    delc: np.ndarray
    arrays: dict[str, np.ndarray] = field(default_factory=dict)

    @property
    def transient(self) -> bool:
        """A simulation type of 0; any other is steady state."""
        return self.simulation_type == 0

    @property
    def shape(self) -> tuple[int, int, int]:
        return (self.layers, self.rows, self.columns)

    def __getattr__(self, name: str) -> Optional[np.ndarray]:
        for label, attribute in FLOW_ARRAYS.items():
            if attribute == name:
                return self.__dict__.get("arrays", {}).get(label)
        raise AttributeError(f"{type(self).__name__!r} object has no attribute {name!r}")

    def __setattr__(self, name: str, value: object) -> None:
        # flow.hydcon = array is flow.arrays["HYDCON-"] = array (None removes it).
        for label, attribute in FLOW_ARRAYS.items():
            if attribute == name:
                if value is None:
                    self.arrays.pop(label, None)
                else:
                    self.arrays[label] = value  # type: ignore[assignment]
                return
        super().__setattr__(name, value)

    def __dir__(self) -> list[str]:
        return sorted(set(super().__dir__()) | set(FLOW_ARRAYS.values()))

    def __repr__(self) -> str:
        arrays = ", ".join(f"{label!r}: {_shape_text(a)}" for label, a in self.arrays.items())
        return (f"Flow({'transient' if self.transient else 'steady state'}, shape={self.shape}, "
                f"layer_types={self.layer_types.tolist()}, arrays={{{arrays}}})")

    @classmethod
    def _from_native(cls, path: str, c: dict) -> "Flow":
        layers, rows, columns = _grid_of(path, c)
        return cls(
            simulation_type=c["simulation_type"], cell_by_cell_code=c["cell_by_cell_code"],
            layers=max(layers, 0), rows=max(rows, 0), columns=max(columns, 0),
            layer_types=np.array(c["layer_types"], dtype=np.int32),
            anisotropy=c["anisotropy"], delr=c["delr"], delc=c["delc"], arrays=dict(c["arrays"]))


@dataclass(repr=False)
class Drains:
    """FOR013, the drain file.

    ``periods`` holds one item per stress period the file holds: a structured
    array of DRAIN_DTYPE (layer, row, column, elevation, conductance), its
    drains (empty for a use code of 0), or, for a negative use code, that
    code as an int (the previous period's drains again).
    """

    max_drains: int
    flow_code: int
    periods: list[Union[np.ndarray, int]]

    def __repr__(self) -> str:
        shown = [p if isinstance(p, int) else f"<{len(p)} drains>" for p in self.periods[:6]]
        more = ", ..." if len(self.periods) > 6 else ""
        return (f"Drains(max_drains={self.max_drains}, flow_code={self.flow_code}, "
                f"periods=[{', '.join(map(str, shown))}{more}])")

    @classmethod
    def _from_native(cls, path: str, c: dict) -> "Drains":
        _warn_asterisks(path, c)
        drains = c["drains"].view(DRAIN_DTYPE) if len(c["drains"]) else np.empty(0, DRAIN_DTYPE)
        periods: list[Union[np.ndarray, int]] = []
        for use_code, first in c["periods"]:
            periods.append(use_code if use_code < 0 else drains[first:first + use_code])
        return cls(max_drains=c["max_drains"], flow_code=c["flow_code"], periods=periods)


@dataclass(frozen=True)
class Diagnostic:
    """One finding of ``gwinspect check``: the place (line and column 0 for
    the file as a whole), "error", "warning" or "note", the rule's name and
    its message. ``cell`` is the (layer, row, column) it is about, or None;
    ``count`` how many cells, drains or records it stands for."""

    file: str
    line: int
    column: int
    severity: str
    rule: str
    message: str
    cell: Optional[tuple[int, int, int]] = None
    count: int = 1

    def __str__(self) -> str:
        place = self.file
        if self.line > 0:
            place += f":{self.line}"
            if self.column > 0:
                place += f":{self.column}"
        return f"{printable(place)}: {self.severity}: {printable(self.message)}"


class Diagnostics(list):
    """The findings of a check, in file and line order. ``completed`` is False
    when the check could not be made (no FOR001, a file that cannot be read)."""

    completed: bool = True

    @property
    def errors(self) -> int:
        return sum(1 for d in self if d.severity == "error")

    @property
    def warnings(self) -> int:
        return sum(1 for d in self if d.severity == "warning")


def _folder_problem(folder: str) -> Optional[Exception]:
    # As gwinspect says it of a folder it is given.
    try:
        is_folder = os.path.isdir(folder)
        os.stat(folder)
    except OSError as e:
        problem = type(e)(f"{printable(folder)}: {os.strerror(e.errno)}" if e.errno else str(e))
        problem.errno = e.errno
        return problem
    if is_folder:
        return None
    head, _ = os.path.split(folder)
    return NotADirectoryError(
        f"{printable(folder)} is not a folder: name the folder of the model, such as {printable(head) if head else '.'}")


class Model:
    """A model: its basic file, and the flow and drain files where there are.

    ``basic``, ``flow`` and ``drains`` are None for a file that is absent.
    A model read from a folder (or written to one) answers, checks and
    reports on that folder's files as ``gwinspect`` does. ``Model.new``
    makes one from scratch; ``write`` writes its files as the builders do.
    """

    def __init__(self, basic: Optional[Basic] = None, flow: Optional[Flow] = None,
                 drains: Optional[Drains] = None, folder: Optional[PathLike] = None) -> None:
        self.basic = basic
        self.flow = flow
        self.drains = drains
        self.folder = None if folder is None else os.fspath(folder)

    @classmethod
    def new(cls, layers: int, rows: int, columns: int, periods: int = 1, *, title_1: str = "",
            title_2: str = "", time_unit: Union[int, str] = "days", flow: bool = False,
            layer_types: Optional[Sequence[int]] = None, transient: bool = False,
            drains: bool = False, modules: Sequence[str] = ()) -> "Model":
        """A model of ``layers`` x ``rows`` x ``columns`` cells and ``periods``
        stress periods: every cell active (``ibound`` 1), starting heads 0,
        no-flow head 999, each period of length 1 with one time step and
        multiplier 1, time unit days (a code 0 to 5 or its name). ``flow=True``
        or ``layer_types`` adds the flow part (``add_flow``), ``drains=True``
        the drain part (``add_drains``); ``modules`` names further modules
        of the module table (MODULES), such as "Strongly Implicit Procedure".
        Fill the arrays by assignment or slicing, then ``write``."""
        counts = [want_integer(name, value, least=0) for name, value in
                  (("layers", layers), ("rows", rows), ("columns", columns), ("periods", periods))]
        layers, rows, columns, periods = counts
        if isinstance(time_unit, str):
            if time_unit not in TIME_UNITS:
                raise ModelError(f"time_unit {time_unit!r} is none of {', '.join(TIME_UNITS)}")
            time_unit = TIME_UNITS.index(time_unit)
        shape = (layers, rows, columns)
        periods_array = np.zeros(periods, dtype=PERIOD_DTYPE)
        periods_array["length"], periods_array["steps"], periods_array["multiplier"] = 1.0, 1, 1.0
        basic = Basic(title_1=title_1, title_2=title_2, layers=layers, rows=rows, columns=columns,
                      period_count=periods, time_unit=time_unit, module_units=(0,) * 24, memory_sharing=1,
                      save_heads=0, no_flow_head=999.0, periods=periods_array,
                      ibound=np.ones(shape, dtype=np.int32), shead=np.zeros(shape, dtype=np.float32))
        model = cls(basic=basic)
        slots = {name: slot for slot, name in MODULES.items()}
        for name in modules:
            if name not in slots:
                raise ModelError(f"module {name!r} is none of {', '.join(slots)}")
            model._use_module(slots[name])
        if flow or layer_types is not None:
            model.add_flow(layer_types, transient=transient)
        if drains:
            model.add_drains()
        return model

    def _use_module(self, slot: int) -> None:
        # The module table of FOR001 names the file of each module used.
        if self.basic is not None:
            units = list(self.basic.module_units)
            units[slot - 1] = _native.MODULE_UNITS[slot]
            self.basic.module_units = tuple(units)

    def add_flow(self, layer_types: Optional[Sequence[int]] = None, *, transient: bool = False,
                 cell_by_cell_code: int = 0) -> Flow:
        """Adds FOR011 on the grid of ``basic`` (and its module in the module
        table): every layer of ``layer_types`` (default 0, confined), each
        anisotropy factor and cell width 1, and each property array that a
        layer of these types holds, 0 in those layers and NaN in the others.
        Returns ``flow``."""
        if self.basic is None:
            raise ModelError("add_flow: the model has no basic part to take the grid from")
        layers, rows, columns = self.basic.shape
        types = np.zeros(layers, dtype=np.int32) if layer_types is None else np.array(layer_types, dtype=np.int32)
        if types.shape != (layers,):
            raise ModelError(f"layer_types has shape {types.shape}: wanted one type code per layer, ({layers},)")
        simulation_type = 0 if transient else 1
        arrays = {}
        for label, held in _native.flow_arrays_held(simulation_type, types.tolist()):
            if any(held):
                array = np.full((layers, rows, columns), np.nan, dtype=np.float32)
                array[np.array(held, dtype=bool)] = 0.0
                arrays[label] = array
        self.flow = Flow(simulation_type=simulation_type, cell_by_cell_code=cell_by_cell_code, layers=layers,
                         rows=rows, columns=columns, layer_types=types,
                         anisotropy=np.ones(layers, dtype=np.float32), delr=np.ones(columns, dtype=np.float32),
                         delc=np.ones(rows, dtype=np.float32), arrays=arrays)
        self._use_module(_native.FLOW_SLOT)
        return self.flow

    def add_drains(self, *, max_drains: int = 0, flow_code: int = 0) -> Drains:
        """Adds FOR013 (and its module in the module table): one period of no
        drains for each stress period of ``basic``. Returns ``drains``."""
        count = 0 if self.basic is None else self.basic.period_count
        self.drains = Drains(max_drains=max_drains, flow_code=flow_code,
                             periods=[np.empty(0, dtype=DRAIN_DTYPE) for _ in range(count)])
        self._use_module(_native.DRAIN_SLOT)
        return self.drains

    def answers_for_write(self, file: str) -> str:
        """The answers that make the builder of ``file`` ("FOR001", "FOR011"
        or "FOR013") write it as ``write`` does: what to give the builder,
        one answer a line. Raises ModelError as ``write`` does."""
        if file not in FILES:
            raise ValueError(f"answers_for_write: {file!r} is none of {', '.join(FILES)}")
        part = dict(zip(FILES, (self.basic, self.flow, self.drains)))[file]
        if part is None:
            raise ValueError(f"answers_for_write: the model holds no {file}")
        return part_answers(file, part).text().decode("utf-8", errors="surrogateescape")

    def write(self, folder: PathLike) -> list[Path]:
        """Writes the files the model holds into ``folder`` (which must
        exist), byte for byte as each builder writes its file given the
        answers that describe the model (``answers_for_write``): an array
        of one value as the builder's constant, any other cell by cell.

        Every value is held to its field first: a wrong shape or dtype, a
        value the field cannot hold, a title longer than its record raise
        ModelError and nothing is written. Each file is written beside its
        place and renamed there, holding the lock a builder holds, so it is
        whole or as it was; one that cannot be written raises WriteError.
        The model's folder is then ``folder``. Returns the files' paths."""
        folder = os.fspath(folder)
        written = write_model(self, folder)
        self.folder = folder
        return written

    def __repr__(self) -> str:
        return (f"Model(folder={self.folder!r},\n  basic={self.basic!r},\n  flow={self.flow!r},\n"
                f"  drains={self.drains!r})")

    def _folder(self) -> str:
        if self.folder is None:
            raise ValueError("this model was not read from a folder")
        return self.folder

    def answers(self, file: str) -> str:
        """The answers that make the builder of ``file`` ("FOR001", "FOR011" or
        "FOR013") of the model's folder write it again byte for byte: the text
        ``gwinspect answers`` prints. Its warnings come as AnswersWarning; a
        file that cannot be answered raises ReadError."""
        if file not in _FILES:
            raise ValueError(f"answers: {file!r} is none of FOR001, FOR011, FOR013")
        path = os.path.join(self._folder(), file)
        status, text, messages = _native.answers(_FILES[file], os.fsencode(path))
        lines = messages.decode("utf-8", errors="backslashreplace").splitlines()
        if status != 0:
            for line in lines:
                found = re.match(r"^.*:(\d+):(\d+): error: (.*)$", line)
                if found:
                    error = ReadError(found.group(3), path, int(found.group(1)), int(found.group(2)))
                    error.args = (line,)
                    raise error
            raise OSError("; ".join(lines) or "the answers cannot be written")
        for line in lines:
            if ": warning: " in line:
                warnings.warn(AnswersWarning(line), stacklevel=2)
        return text.decode("utf-8", errors="surrogateescape")

    def check(self) -> Diagnostics:
        """The findings of ``gwinspect check`` on the model's folder."""
        folder = self._folder()
        problem = _folder_problem(folder)
        if problem is not None:
            raise problem
        completed, found = _native.check(os.fsencode(folder))
        out = Diagnostics(
            Diagnostic(file=os.fsdecode(file), line=line, column=column, severity=severity, rule=rule,
                       message=message.decode("utf-8", errors="backslashreplace"),
                       cell=None if cell == (0, 0, 0) else tuple(cell), count=count)
            for file, line, column, severity, rule, message, cell, count in found)
        out.completed = completed
        return out

    def report_page(self, length_unit: Optional[str] = None) -> str:
        """The page of ``gwinspect report`` on the model's folder, as text."""
        folder = self._folder()
        problem = _folder_problem(folder)
        if problem is not None:
            raise problem
        if length_unit is not None and (not length_unit or len(length_unit.encode()) > 16
                                        or any(c <= " " or c == "\x7f" for c in length_unit)):
            raise ValueError("length_unit needs a short name without spaces, such as m or ft")
        page = _native.report(os.fsencode(folder), length_unit or "")
        return page.decode("utf-8", errors="surrogateescape")

    def report(self, path: PathLike, length_unit: Optional[str] = None) -> Path:
        """Writes the page of ``gwinspect report`` (one self-contained HTML
        file) to ``path``, never over a file of the model, and never half:
        beside it first, then renamed. Returns the path."""
        page = self.report_page(length_unit)
        target = Path(path)
        folder = Path(self._folder())
        names = ["FOR001"] + [f"FOR0{n}" for n in range(11, 35)]
        for name in names:
            model_file = folder / name
            if target.exists() and model_file.exists() and os.path.samefile(target, model_file):
                raise ValueError(f"{printable(str(target))} is {printable(str(model_file))}, a file of the model; "
                                 "the page is not written over it")
        handle, temporary = tempfile.mkstemp(prefix=f".{target.name}.", dir=target.parent or ".")
        try:
            with os.fdopen(handle, "wb") as out:
                out.write(page.encode("utf-8", errors="surrogateescape"))
            os.chmod(temporary, 0o644)
            os.replace(temporary, target)
        except BaseException:
            os.unlink(temporary)
            raise
        return target

    def _repr_html_(self) -> str:
        # The report's page in a frame of its own: its summary, findings and maps.
        if self.folder is None:
            return f"<pre>{html.escape(repr(self))}</pre>"
        page = self.report_page()
        return (f'<iframe title="{html.escape(self.folder)}" style="width:100%;height:640px;border:0" '
                f'srcdoc="{html.escape(page, quote=True)}"></iframe>')


def read_model(folder: PathLike) -> Model:
    """Reads the model in ``folder``: whichever of FOR001, FOR011 and FOR013
    are there (an absent file gives None). A file that cannot be read raises
    ReadError with its place, as ``gwinspect`` says it; a field of
    asterisks reads as NaN with an AsteriskWarning naming its place."""
    folder = os.fspath(folder)
    problem = _folder_problem(folder)
    if problem is not None:
        raise problem
    readers = {"FOR001": (_native.read_basic, Basic), "FOR011": (_native.read_flow, Flow),
               "FOR013": (_native.read_drains, Drains)}
    paths = {name: os.path.join(folder, name) for name in readers}
    present = [name for name in readers if os.path.lexists(paths[name])]
    # The files are read side by side (the reading lets go of the
    # interpreter); their warnings and errors are told in file order.
    with ThreadPoolExecutor(max_workers=max(1, len(present))) as pool:
        running = {name: pool.submit(readers[name][0], os.fsencode(paths[name])) for name in present}
        read = {}
        for name in present:  # (a loop, so that a warning names the caller of read_model)
            read[name] = readers[name][1]._from_native(paths[name], running[name].result())
    return Model(basic=read.get("FOR001"), flow=read.get("FOR011"), drains=read.get("FOR013"), folder=folder)
