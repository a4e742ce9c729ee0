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
