"""The pointer at a point, text in any language, and the computer-use actions of model APIs."""

from ondrel_computer._failure import ActionFailed as ActionFailed
from ondrel_computer._native import Computer as Computer

__all__ = ["ActionFailed", "Computer"]
