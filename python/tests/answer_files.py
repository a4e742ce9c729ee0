"""Answer files for the builders, written the way a user types them: one
answer a line, in the order the builder asks (docs/file-formats.md)."""

from __future__ import annotations

from dataclasses import dataclass

import numpy as np

MODULE_QUESTIONS = 11


def _array_answers(layer: np.ndarray, text) -> list[str]:
    # "Are all values the same?" 0 and one value, or 1 and every cell.
    if (layer == layer.flat[0]).all():
        return ["0", text(layer.flat[0])]
    return ["1"] + [text(v) for v in layer.flat]


@dataclass
class BasicAnswers:
    title_1: str
    title_2: str
    ibound: np.ndarray        # (layers, rows, columns) of int
    shead_text: list[list[str]]  # per layer, every cell's typed value (one item: all the same)
    periods: list[tuple[str, str, str]]
    time_unit: int = 4
    modules: tuple[int, ...] = (1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0)
    no_flow_head: str = "999"

    def text(self) -> str:
        layers, rows, columns = self.ibound.shape
        lines = [self.title_1, self.title_2, str(layers), str(rows), str(columns), str(len(self.periods)),
                 str(self.time_unit)]
        lines += [str(m) for m in self.modules]
        lines += ["1", "0"]
        for layer in self.ibound:
            lines += _array_answers(layer, str)
        lines.append(self.no_flow_head)
        for cells in self.shead_text:
            lines += ["0", cells[0]] if len(cells) == 1 else ["1"] + cells
        for period in self.periods:
            lines += list(period)
        return "\n".join(lines) + "\n"


def drain_answers(max_drains: int, periods: list[object]) -> str:
    """Quillet's answers: each period a list of (layer, row, column,
    elevation text, conductance text), or a negative reuse code."""
    lines = [str(max_drains), "0", str(len(periods))]
    for period in periods:
        if isinstance(period, int):
            lines.append(str(period))
            continue
        lines.append(str(len(period)))
        for drain in period:
            lines += [str(v) for v in drain]
    return "\n".join(lines) + "\n"


# The arrays of a layer of FOR011 by its type code, in the order Cindral
# asks for them (docs/file-formats.md); SF1- and SF2- only in a transient
# run, VCON- never in the bottom layer.
LAYER_ARRAYS = {
    0: ["SF1-", "TRAN-", "VCON-"],
    1: ["SF1-", "HYDCON-", "BOT-", "VCON-"],
    2: ["SF1-", "TRAN-", "VCON-", "SF2-", "TOP-"],
    3: ["SF1-", "HYDCON-", "BOT-", "VCON-", "SF2-", "TOP-"],
}


def layer_arrays(type_code: int, transient: bool, layer: int, layers: int) -> list[str]:
    labels = LAYER_ARRAYS.get(type_code, ["SF1-", "VCON-"])
    return [label for label in labels
            if (transient or label not in ("SF1-", "SF2-")) and (label != "VCON-" or layer < layers)]


@dataclass
class FlowAnswers:
    simulation_type: int
    type_codes: list[int]
    anisotropy: list[str]
    delr: list[str]   # one item: all the same
    delc: list[str]
    rows: int
    columns: int
    # (layer index, label) -> every cell's typed value, or one item
    arrays: dict

    def text(self) -> str:
        lines = [str(self.simulation_type), "0", str(len(self.type_codes)), str(self.rows), str(self.columns)]
        for code, factor in zip(self.type_codes, self.anisotropy):
            lines += [str(code), factor]
        for values in (self.delr, self.delc):
            lines += ["0", values[0]] if len(values) == 1 else ["1"] + values
        for layer, code in enumerate(self.type_codes):
            for label in layer_arrays(code, self.simulation_type == 0, layer + 1, len(self.type_codes)):
                cells = self.arrays[(layer, label)]
                lines += ["0", cells[0]] if len(cells) == 1 else ["1"] + cells
        return "\n".join(lines) + "\n"
