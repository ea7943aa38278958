"""The module definition (.def) from which dlltool makes the import library of python3XY.dll.

It lists exactly the interpreter's names that the extension's objects import (their `__imp_` references), and
fails if any of them is not exported by CPython's Windows DLL. That export list follows from CPython's own sources:
every PyAPI_FUNC / PyAPI_DATA declaration in Include/ (the DLL exports each of them) and PC/python3dll.c (the stable
ABI). It is written next to the .def, for the tests of the built .pyd. With --stub, it also writes the source of a
stand-in DLL that exports the same names and aborts if any of its functions is called: enough for Windows (Wine)
to load the .pyd where no CPython for Windows is at hand.

usage: python_import_library.py --nm NM --python-source DIR --dll python311.dll --def OUT.def --exports OUT.txt
       [--stub OUT.cpp] OBJECT...
"""

import argparse
import re
import subprocess
import sys
from pathlib import Path

COMMENT = re.compile(r"/\*.*?\*/|//[^\n]*", re.S)
# The declared type may hold one level of parentheses (function pointer types).
DECLARATION = re.compile(r"\bPyAPI_(FUNC|DATA)\((?:[^()]|\([^()]*\))*\)\s*(\w+)")
STABLE_ABI = re.compile(r"^EXPORT_(FUNC|DATA)\((\w+)\)", re.M)


def cpython_exports(source):
    """Every name python3XY.dll exports, as {name: "FUNC" or "DATA"}."""
    exports = {}
    for header in sorted((source / "Include").rglob("*.h")):
        text = COMMENT.sub(" ", header.read_text(encoding="utf-8", errors="replace"))
        for kind, name in DECLARATION.findall(text):
            exports.setdefault(name, kind)
    for kind, name in STABLE_ABI.findall((source / "PC" / "python3dll.c").read_text(encoding="utf-8")):
        exports.setdefault(name, kind)
    return exports


def imported_names(nm, objects):
    """The names the objects reach through an import table (`__imp_NAME` references)."""
    output = subprocess.run([nm, "--undefined-only", "--format=posix", *objects],
                            check=True, capture_output=True, text=True).stdout
    names = set()
    for line in output.splitlines():
        symbol = line.split(" ", 1)[0]
        if symbol.startswith("__imp_"):
            names.add(symbol[len("__imp_"):])
    return names


def looks_like_python(name):
    return name.startswith(("Py", "_Py"))


def stub_source(dll, names):
    lines = [f"// Generated: a stand-in for {dll} that only satisfies the loader.", "#include <cstdlib>",
             'extern "C" {']
    for name, kind in names.items():
        if kind == "DATA":
            lines.append(f"__declspec(dllexport) alignas(16) unsigned char {name}[256];")
        else:
            lines.append(f"__declspec(dllexport) void {name}() {{ std::abort(); }}")
    return "\n".join(lines + ["}", ""])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nm", required=True)
    parser.add_argument("--python-source", required=True, type=Path)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--def", dest="def_file", required=True, type=Path)
    parser.add_argument("--exports", required=True, type=Path)
    parser.add_argument("--stub", type=Path)
    parser.add_argument("objects", nargs="+")
    args = parser.parse_args()

    exports = cpython_exports(args.python_source)
    imported = imported_names(args.nm, args.objects)
    # Other imports (the C runtime's dllimport declarations) are resolved by their own libraries.
    from_python = sorted(name for name in imported if name in exports)
    unknown = sorted(name for name in imported if name not in exports and looks_like_python(name))
    if unknown:
        sys.exit(f"not exported by {args.dll}: {', '.join(unknown)}")

    lines = [f"LIBRARY {args.dll}", "EXPORTS"]
    lines += [f"    {name}{' DATA' if exports[name] == 'DATA' else ''}" for name in from_python]
    args.def_file.write_text("\n".join(lines) + "\n")
    if args.stub:
        args.stub.write_text(stub_source(args.dll, {name: exports[name] for name in from_python}))
    args.exports.write_text("".join(f"{name} {kind}\n" for name, kind in sorted(exports.items())))


if __name__ == "__main__":
    main()
