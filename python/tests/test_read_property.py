"""The property: for generated answers (small grids, one line a row and
rows of several lines, arrays of one value and varied, values at the
fields' limits, drains and reuse codes), read_model gives the values the
answers gave, as the builder writes them: integers as typed, reals rounded
half up to three significant digits (G10.3) and read as 32-bit floats."""

from __future__ import annotations

import tempfile
import warnings
from decimal import ROUND_HALF_UP, Context, Decimal
from pathlib import Path

import numpy as np
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import gwbuilders
from answer_files import BasicAnswers, FlowAnswers, drain_answers, layer_arrays
from conftest import run_builder

G10_3 = Context(prec=3, rounding=ROUND_HALF_UP)


def _typed(parts: tuple[int, int, bool]) -> str:
    digits, exponent, negative = parts
    # No tie at the third significant digit (where half up on the 32-bit
    # value could go either way): 1235 becomes 1236, 12350 becomes 12351.
    if digits >= 1000:
        tail = 10 ** (len(str(digits)) - 3)
        if digits % tail == tail // 2:
            digits += 1
    return ("-" if negative else "") + format(Decimal(digits).scaleb(exponent - 4), "f")


#: A real as a user types it, with up to five significant digits.
typed_reals = st.tuples(st.integers(0, 99999), st.integers(-8, 6), st.booleans()).map(_typed)


def as_written(typed: str) -> np.float32:
    return np.float32(str(G10_3.plus(Decimal(typed))))


# The boundary's I3 field holds -99 to 999.
boundary_values = st.one_of(st.sampled_from([-1, 0, 1]), st.integers(-99, 999))


@st.composite
def models(draw):
    layers = draw(st.integers(1, 3))
    rows = draw(st.integers(1, 4))
    # Up to 22 columns: a row of IBOUND- (20I3) and of SHEAD- (10G10.3) on
    # more than one line.
    columns = draw(st.integers(1, 22))
    ibound = np.empty((layers, rows, columns), np.int64)
    shead_text = []
    for layer in range(layers):
        if draw(st.booleans()):
            ibound[layer] = draw(boundary_values)
        else:
            ibound[layer] = np.array(draw(st.lists(boundary_values, min_size=rows * columns,
                                                   max_size=rows * columns))).reshape(rows, columns)
        if draw(st.booleans()):
            shead_text.append([draw(typed_reals)])
        else:
            # Rows alike now and then: passed as copies when read.
            row = draw(st.lists(typed_reals, min_size=columns, max_size=columns))
            cells = [row[c] if draw(st.booleans()) else draw(typed_reals)
                     for _ in range(rows) for c in range(columns)]
            shead_text.append(cells)
    periods = draw(st.lists(st.tuples(typed_reals, st.integers(1, 999).map(str), typed_reals),
                            min_size=1, max_size=3))
    drain = st.tuples(st.integers(1, layers), st.integers(1, rows), st.integers(1, columns),
                      typed_reals, typed_reals)
    drain_periods = [draw(st.one_of(st.just(-1), st.lists(drain, max_size=4))) for _ in periods]
    title = draw(st.text(st.characters(min_codepoint=0x21, max_codepoint=0x7E), max_size=80))

    def typed_array(count: int) -> list[str]:
        return [draw(typed_reals)] if draw(st.booleans()) else \
            draw(st.lists(typed_reals, min_size=count, max_size=count))

    simulation_type = draw(st.sampled_from([0, 1]))
    type_codes = draw(st.lists(st.integers(0, 4), min_size=layers, max_size=layers))
    flow = FlowAnswers(
        simulation_type, type_codes, [draw(typed_reals) for _ in type_codes],
        typed_array(columns), typed_array(rows), rows, columns,
        {(layer, label): typed_array(rows * columns)
         for layer, code in enumerate(type_codes)
         for label in layer_arrays(code, simulation_type == 0, layer + 1, layers)})
    return BasicAnswers(title, "generated", ibound, shead_text,
                        [tuple(p) for p in periods], modules=(1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0)), \
        drain_periods, flow


@settings(max_examples=40, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(models())
def test_read_model_gives_the_answers_values(generated) -> None:
    answers, drain_periods, flow_answers = generated
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        run_builder("FOR001", answers.text(), folder)
        run_builder("FOR011", flow_answers.text(), folder)
        run_builder("FOR013", drain_answers(50, drain_periods), folder)
        with warnings.catch_warnings():
            warnings.simplefilter("error")  # no asterisks: every value fits its field
            model = gwbuilders.read_model(folder)

    basic = model.basic
    layers, rows, columns = answers.ibound.shape
    assert basic.shape == (layers, rows, columns) and basic.title_1 == answers.title_1
    np.testing.assert_array_equal(basic.ibound, answers.ibound)
    shead = np.empty((layers, rows, columns), np.float32)
    for layer, cells in enumerate(answers.shead_text):
        shead[layer] = np.array([as_written(t) for t in cells], np.float32).reshape(-1, columns) \
            if len(cells) > 1 else as_written(cells[0])
    np.testing.assert_array_equal(basic.shead, shead)
    assert basic.periods.tolist() == [(as_written(a), int(b), as_written(c)) for a, b, c in answers.periods]

    flow = model.flow
    assert flow.shape == (layers, rows, columns) and flow.layer_types.tolist() == flow_answers.type_codes
    assert flow.transient == (flow_answers.simulation_type == 0)
    assert flow.anisotropy.tolist() == [as_written(t) for t in flow_answers.anisotropy]
    for read, typed, count in ((flow.delr, flow_answers.delr, columns), (flow.delc, flow_answers.delc, rows)):
        assert read.tolist() == [as_written(t) for t in typed] * (count if len(typed) == 1 else 1)
    expected = {}
    for (layer, label), cells in flow_answers.arrays.items():
        array = expected.setdefault(label, np.full((layers, rows, columns), np.nan, np.float32))
        array[layer] = np.array([as_written(t) for t in cells], np.float32).reshape(-1, columns) \
            if len(cells) > 1 else as_written(cells[0])
    assert flow.arrays.keys() == expected.keys()
    for label, array in expected.items():
        np.testing.assert_array_equal(flow.arrays[label], array, err_msg=label)

    assert len(model.drains.periods) == len(drain_periods)
    for read, given_period in zip(model.drains.periods, drain_periods):
        if isinstance(given_period, int):
            assert read == given_period
        else:
            assert read.tolist() == [(l, r, c, as_written(e), as_written(k)) for l, r, c, e, k in given_period]
