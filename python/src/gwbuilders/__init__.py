"""gwbuilders: the groundwater model input files FOR001, FOR011 and FOR013
read as numpy arrays, checked and reported on, as ``gwinspect`` does, and
made from numpy arrays, written byte for byte as the builders write them.

>>> model = gwbuilders.read_model("demo")
>>> model.basic.ibound.shape
(2, 6, 7)
"""

from ._errors import AnswersWarning, AsteriskWarning, ModelError, ReadError, WriteError
from ._model import (DRAIN_DTYPE, FLOW_ARRAYS, MODULES, PERIOD_DTYPE, Basic, Diagnostic, Diagnostics, Drains,
                     Flow, Model, read_model)

__all__ = ["AnswersWarning", "AsteriskWarning", "Basic", "DRAIN_DTYPE", "Diagnostic", "Diagnostics", "Drains",
           "FLOW_ARRAYS", "Flow", "MODULES", "Model", "ModelError", "PERIOD_DTYPE", "ReadError", "WriteError",
           "read_model"]
__version__ = "1.0.0"
