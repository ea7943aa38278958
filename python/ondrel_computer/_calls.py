"""A model's call as a plain dict, whether the caller has the SDK's object or its wire form."""

from collections.abc import Mapping
from typing import Any


def plain(call: Any) -> dict[str, Any]:
    """The dict of `call`: a pydantic model's model_dump() in its JSON form without unset fields, or a mapping."""
    if hasattr(call, "model_dump"):
        dumped: dict[str, Any] = call.model_dump(mode="json", exclude_none=True)
        return dumped
    if isinstance(call, Mapping):
        return dict(call)
    raise TypeError(f"a call is an SDK object or a dict, not {type(call).__name__}")
