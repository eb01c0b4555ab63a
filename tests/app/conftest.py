import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "pylib"))

import os

import pytest


@pytest.fixture(autouse=True)
def _needs_display():
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        pytest.fail("run through tools/test.sh: DISPLAY and WINEPREFIX must be set")
