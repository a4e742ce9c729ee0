"""What the tests of the installed gwbuilders share: the built programs
(GWBUILDERS_BIN), the example answers (GWBUILDERS_EXAMPLES), and a way to
run a builder on answers in a folder."""

from __future__ import annotations

import os
import shutil
import subprocess
from pathlib import Path

import pytest

BIN = Path(os.environ.get("GWBUILDERS_BIN", "build/bin"))
EXAMPLES = Path(os.environ.get("GWBUILDERS_EXAMPLES", "examples"))
BUILDERS = {"FOR001": "Morvek", "FOR011": "Cindral", "FOR013": "Quillet"}


def run_builder(file: str, answers: str | bytes, folder: Path) -> bytes:
    """Runs the builder of `file` on `answers` (from a file, as a user
    redirects them) in `folder`; returns the bytes it wrote."""
    data = answers.encode() if isinstance(answers, str) else answers
    answers_path = folder / f".answers-{file}"
    answers_path.write_bytes(data)
    with open(answers_path, "rb") as given:
        done = subprocess.run([str(BIN / BUILDERS[file])], stdin=given, cwd=folder,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    answers_path.unlink()
    assert done.returncode == 0, done.stderr.decode(errors="replace")
    return (folder / file).read_bytes()


def gwinspect(*arguments: str, cwd: Path | None = None) -> subprocess.CompletedProcess:
    return subprocess.run([str(BIN / "gwinspect"), *arguments], cwd=cwd, capture_output=True)


@pytest.fixture(scope="session")
def example_folder(tmp_path_factory: pytest.TempPathFactory) -> Path:
    """The example model of examples/, built by the three builders."""
    folder = tmp_path_factory.mktemp("example")
    for file, answers in (("FOR001", "morvek.txt"), ("FOR011", "cindral.txt"), ("FOR013", "quillet.txt")):
        run_builder(file, (EXAMPLES / answers).read_bytes(), folder)
    return folder


@pytest.fixture
def example_copy(example_folder: Path, tmp_path: Path) -> Path:
    """A copy of the example model to damage."""
    folder = tmp_path / "model"
    shutil.copytree(example_folder, folder)
    return folder
