"""The typing stubs: they carry the module's own docstrings, and mypy --strict accepts and refuses what the binding
accepts and refuses (tests/python/typed_snippets). Names, parameter kinds and defaults are compared with the
module itself by mypy's stubtest, which scripts/test runs against the installed package."""

import ast
import re
from pathlib import Path

import ondrel
import pytest

ROOT = Path(__file__).resolve().parents[2]
STUB = ROOT / "ondrel-stubs" / "__init__.pyi"
SNIPPETS = Path(__file__).resolve().parent / "typed_snippets"


def stub_docstrings():
    tree = ast.parse(STUB.read_text(encoding="utf-8"))
    yield "", ast.get_docstring(tree)
    for node in tree.body:
        if isinstance(node, ast.ClassDef) and not node.name.startswith("_"):
            yield node.name, ast.get_docstring(node)
            for item in node.body:
                if isinstance(item, ast.FunctionDef) and not item.name.startswith("__"):
                    yield f"{node.name}.{item.name}", ast.get_docstring(item)


def test_the_stubs_carry_the_modules_docstrings():
    documented = dict(stub_docstrings())
    runtime = {"": ondrel.__doc__}
    for name in ondrel.__all__:
        cls = getattr(ondrel, name)
        runtime[name] = cls.__doc__
        runtime.update({f"{name}.{attr}": getattr(cls, attr).__doc__ for attr in vars(cls) if not attr.startswith("__")})
    assert documented == runtime


@pytest.fixture(scope="module")
def mypy_errors(tmp_path_factory):
    """mypy --strict over both snippet files against the stub of this tree: {(file, line): error code}."""
    api = pytest.importorskip("mypy.api")
    stub_dir = tmp_path_factory.mktemp("stubs")
    (stub_dir / "ondrel.pyi").write_text(STUB.read_text(encoding="utf-8"), encoding="utf-8")
    # A config file of our own: the stub of this tree comes first, and no project configuration applies.
    config = stub_dir / "mypy.ini"
    # mypy_path is split on ":" (and ","), which a Windows path holds: it is named relative to the config file.
    config.write_text("[mypy]\nmypy_path = $MYPY_CONFIG_FILE_DIR\ncache_dir = $MYPY_CONFIG_FILE_DIR/cache\n",
                      encoding="utf-8")
    stdout, stderr, status = api.run(["--strict", "--no-error-summary", "--show-error-codes", "--config-file",
                                      str(config), str(SNIPPETS / "accepted.py"), str(SNIPPETS / "refused.py")])
    assert status in (0, 1), stderr
    errors = {}
    for line in stdout.splitlines():
        match = re.match(r"(.+?):(\d+): error: .*\[([a-z-]+)\]$", line)
        if match:
            errors[(Path(match[1]).name, int(match[2]))] = match[3]
    return errors, stdout


def test_mypy_accepts_what_the_binding_accepts(mypy_errors):
    errors, output = mypy_errors
    assert not [key for key in errors if key[0] == "accepted.py"], output


def test_mypy_refuses_what_the_binding_refuses(mypy_errors):
    errors, output = mypy_errors
    lines = (SNIPPETS / "refused.py").read_text(encoding="utf-8").splitlines()
    expected = {("refused.py", number): match[1]
                for number, line in enumerate(lines, 1) if (match := re.search(r"# refused: ([a-z-]+)$", line))}
    assert {key: code for key, code in errors.items() if key[0] == "refused.py"} == expected, output
