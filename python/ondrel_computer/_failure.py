"""What a driver raises when an action of a model's batch fails."""

from typing import Any


class ActionFailed(RuntimeError):
    """Action `index` (from 0) of a model's call failed with `error`: the actions before it ran, the later ones did
    not. `output` is the answer to hand the model anyway (with the screenshot taken after the failure), beside the
    error text, since the answer itself has no field for an error."""

    def __init__(self, index: int, error: str, output: dict[str, Any]) -> None:
        super().__init__(f"action {index} failed: {error}")
        self.index = index
        self.error = error
        self.output = output
