"""The import of a vendor's SDK that a driver needs, failing with what to install."""

import importlib
from types import ModuleType


def require_sdk(module: str, extra: str) -> ModuleType:
    """The SDK's module `module`; without it, an ImportError that names the extra which installs it."""
    try:
        return importlib.import_module(module)
    except ModuleNotFoundError as missing:
        if missing.name is None or not module.startswith(missing.name):
            raise
        raise ImportError(f"ondrel_computer.{extra} needs {module}, the vendor's SDK: pip install 'ondrel[{extra}]'",
                          name=missing.name) from missing
