"""The exceptions and warnings of gwbuilders."""

from __future__ import annotations

import os


def printable(text: str | bytes) -> str:
    """Bytes shown as ``gwinspect`` shows them: one line, valid UTF-8 as it is,
    control characters as ``\\n``, ``\\r``, ``\\t`` or ``\\xNN``, and any byte that
    is not part of valid UTF-8 as ``\\xNN``."""
    if isinstance(text, str):
        text = os.fsencode(text)
    decoded = text.decode("utf-8", errors="backslashreplace")
    out = []
    for ch in decoded:
        code = ord(ch)
        if ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif code < 0x20 or code == 0x7F or 0x80 <= code <= 0x9F:
            out.append("".join(f"\\x{b:02x}" for b in ch.encode("utf-8")))
        else:
            out.append(ch)
    return "".join(out)


class ReadError(Exception):
    """A file of the model that cannot be read: where, and what was expected there.

    ``str()`` is the line ``gwinspect`` prints for it:
    ``FILE:LINE:COLUMN: error: MESSAGE``.
    """

    def __init__(self, message: str, file: str, line: int, column: int) -> None:
        self.message = message
        self.file = file
        self.line = line
        self.column = column
        super().__init__(f"{printable(file)}:{line}:{column}: error: {printable(message)}")


def read_error_from_native(message: bytes, file: bytes, line: int, column: int) -> ReadError:
    """The ReadError of the compiled module (its texts are the file's bytes)."""
    return ReadError(message.decode("utf-8", errors="backslashreplace"), os.fsdecode(file), line, column)


class AsteriskWarning(UserWarning):
    """A field of asterisks (a value that was too wide for its columns when it
    was written), read as NaN, or as the lowest 32-bit integer in an integer array."""


class AnswersWarning(UserWarning):
    """A warning of ``gwinspect answers`` about the file whose answers were asked for."""


class ModelError(ValueError):
    """A model that cannot be written as it stands: an array of the wrong
    shape or dtype, a value its file's field cannot hold (with its cell), a
    title longer than its record, counts beyond the builders' limits.
    Raised before anything is written."""


class WriteError(OSError):
    """A file of the model that cannot be written: its place, the lock a
    builder holds on it, the disk. The file is left as it was."""
