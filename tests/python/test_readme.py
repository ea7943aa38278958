"""The README's code runs as written, so that it cannot drift from the module.

Each ```python block runs on its own (in a fresh namespace), and each ```pycon block runs as a doctest whose
printed results must match. The test recorder is started first, with gamepad reports recorded too, so nothing
real is injected. A block that needs hardware the recorder cannot stand in for is marked by the line
`<!-- not run: <reason> -->` right above its opening fence; it is skipped with that reason. Use it sparingly: a
skipped block can drift.
"""

import doctest
import importlib.util
import re
from pathlib import Path

import pytest

README = Path(__file__).resolve().parents[2] / "README.md"
BLOCK = re.compile(r"^(?:<!-- not run: (?P<reason>.+?) -->\n)?```(?P<lang>python|pycon)\n(?P<code>.*?)^```$",
                   re.M | re.S)


def readme_blocks(text):
    """(line number, language, code, reason for not running it or None) of each Python block."""
    return [(text.count("\n", 0, match.start("lang")) + 1, match["lang"], match["code"], match["reason"])
            for match in BLOCK.finditer(text)]


def test_blocks_are_found_and_the_not_run_mark_is_read():
    sample = "x\n```python\na = 1\n```\n<!-- not run: needs a uinput gamepad -->\n```pycon\n>>> 1\n1\n```\n"
    assert readme_blocks(sample) == [(2, "python", "a = 1\n", None), (6, "pycon", ">>> 1\n1\n", "needs a uinput gamepad")]


def stubs_installed():
    try:
        return importlib.util.find_spec("ondrel-stubs") is not None
    except ModuleNotFoundError:
        return False


@pytest.mark.parametrize("line, lang, code, reason",
                         [pytest.param(*block, id=f"line {block[0]}") for block in readme_blocks(README.read_text())])
def test_readme_block_runs(recorder, line, lang, code, reason):
    if reason:
        pytest.skip(reason)
    if "ondrel-stubs" in code and not stubs_installed():
        pytest.skip("needs the installed package (its data files)")
    recorder.gamepad(True)
    if lang == "python":
        exec(compile(code, f"README.md, block at line {line}", "exec"), {"__name__": "__readme__"})
        return
    test = doctest.DocTestParser().get_doctest(code, {}, f"README.md:{line}", str(README), line)
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    runner.run(test, out=lambda text: pytest.fail(text, pytrace=False))
    assert runner.failures == 0
