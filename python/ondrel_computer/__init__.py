"""The pointer at a point, text in any language, and the computer-use actions of model APIs.

The extension `ondrel_computer._native` holds the class Computer; the modules `anthropic`, `openai` and `gemini`
drive it with each vendor's SDK, and import only where that SDK is installed (the extras `ondrel[anthropic]`,
`ondrel[openai]`, `ondrel[gemini]`).
"""

from ondrel_computer._failure import ActionFailed
from ondrel_computer._native import Computer

__all__ = ["ActionFailed", "Computer"]
