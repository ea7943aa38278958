"""The Windows .pyd under test, from the MinGW-w64 cross build: ONDREL_PYD names it (scripts/test sets it). The
export list that the build read from the real python3.dll lies next to it."""

import os
import sys
from pathlib import Path

import pytest

# The build's own PE reader.
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "cmake"))
from pe_file import read_pe  # noqa: E402

WINE_DLLS = Path(os.environ.get("ONDREL_WINE_DLLS", "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"))


def build_folder():
    path = os.environ.get("ONDREL_PYD")
    if not path:
        pytest.skip("ONDREL_PYD does not name a Windows build of the extension")
    return Path(path).parent


# Both extensions: ondrel.pyd, which ONDREL_PYD names, and ondrel_computer's, inside its package beside it.
@pytest.fixture(scope="session", params=["ondrel.pyd", "ondrel_computer/_native.pyd"])
def pyd_path(request):
    return build_folder() / request.param


@pytest.fixture(scope="session")
def pyd(pyd_path):
    return read_pe(pyd_path)


@pytest.fixture(scope="session")
def cpython_exports():
    """{name: "FUNC" or "DATA"} for every name python3.dll exports, and the DLL's name."""
    [listing] = build_folder().glob("python3*-exports.txt")
    exports = dict(line.split() for line in listing.read_text().splitlines())
    return listing.name.removesuffix("-exports.txt") + ".dll", exports


@pytest.fixture(scope="session")
def wine_exports():
    """The names that Wine's implementation of a system DLL exports: a stand-in for Windows' own."""
    if not WINE_DLLS.is_dir():
        pytest.skip(f"no Wine DLLs in {WINE_DLLS}")
    cache = {}

    def exports(dll):
        if dll not in cache:
            cache[dll] = set(read_pe(WINE_DLLS / dll).exports)
        return cache[dll]
    return exports
