import os
import pathlib
import shutil
import subprocess
import sys

import numpy as np
import pytest

SOURCE = pathlib.Path(os.environ.get("MORNAX_SOURCE", pathlib.Path(__file__).parents[2]))
SITE1 = SOURCE / "examples" / "site1"


def f32(value):
    """A document's parameter as the batch tool holds it (single precision)."""
    return float(np.float32(value))


@pytest.fixture
def batch(tmp_path):
    """Runs the batch tool on a copy of the example project; returns its folder."""
    executable = os.environ.get("MORNAX_BATCH") or shutil.which("mornax-batch")
    if not executable:
        pytest.skip("the batch tool is not built (MORNAX_BATCH)")
    for name in ("SITE1.mnx", "SITE1.dfl"):
        shutil.copy(SITE1 / name, tmp_path / name)

    def tool(*arguments):
        subprocess.run([executable, *arguments], cwd=tmp_path, check=False,
                       capture_output=True, text=True)
        return tmp_path

    def run(*arguments):
        return tool("run", "SITE1.mnx", *arguments)

    run.tool = tool  # other commands: set, directions, ...
    return run


@pytest.fixture(scope="session")
def site1():
    import mornax

    points, nodes, node_guess = mornax.read_data_file(SITE1 / "SITE1.dfl", guesses=True)
    return points, nodes, node_guess


def numbers(line):
    return [float(v) for v in line.split()]


def run_script(code, timeout=120):
    """Runs Python code in a fresh interpreter with the package on its path."""
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          timeout=timeout, env=dict(os.environ))
