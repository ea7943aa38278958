"""The module definition (.def) from which dlltool makes the import library of python3.dll.

It lists exactly the interpreter's names that the extension's objects import (their `__imp_` references), and
fails if any of them is not exported by the real python3.dll (the Stable ABI), whose export table it reads (a name
in code is a function, any other is data). That export list is also written out, for the tests of the built .pyd.
With --stub, it also writes the source of a stand-in DLL that exports the imported names and aborts if any of its
functions is called: enough for Windows (Wine) to load the .pyd without starting an interpreter.

usage: python_import_library.py --nm NM --dll PATH/python3.dll --def OUT.def --exports OUT.txt
       [--stub OUT.cpp] OBJECT...
"""

import argparse
import subprocess
import sys
from pathlib import Path

from pe_file import read_pe


def dll_exports(dll):
    """Every name the DLL exports, as {name: "FUNC" or "DATA"}. A forwarded name (python3.dll forwards each of its
    names to python3XY.dll) is of the kind it has in the DLL beside this one that it is forwarded to, and left out
    where that DLL lacks it (python3.dll of 3.11 forwards PyOS_CheckStack, which python311.dll does not export)."""
    pe = read_pe(dll)
    exports = {name: "FUNC" if code else "DATA" for name, code in pe.exported_code.items()}
    targets = {}
    for name, forwarder in pe.forwarders.items():
        target_dll, _, target_name = forwarder.partition(".")
        if target_dll not in targets:
            targets[target_dll] = dll_exports(dll.with_name(f"{target_dll}.dll"))
        if target_name in targets[target_dll]:
            exports[name] = targets[target_dll][target_name]
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
    parser.add_argument("--dll", required=True, type=Path)
    parser.add_argument("--def", dest="def_file", required=True, type=Path)
    parser.add_argument("--exports", required=True, type=Path)
    parser.add_argument("--stub", type=Path)
    parser.add_argument("objects", nargs="+")
    args = parser.parse_args()

    dll = args.dll.name
    exports = dll_exports(args.dll)
    imported = imported_names(args.nm, args.objects)
    # Other imports (the C runtime's dllimport declarations) are resolved by their own libraries.
    from_python = sorted(name for name in imported if name in exports)
    unknown = sorted(name for name in imported if name not in exports and looks_like_python(name))
    if unknown:
        sys.exit(f"not exported by {dll}: {', '.join(unknown)}")

    lines = [f"LIBRARY {dll}", "EXPORTS"]
    lines += [f"    {name}{' DATA' if exports[name] == 'DATA' else ''}" for name in from_python]
    args.def_file.write_text("\n".join(lines) + "\n")
    if args.stub:
        args.stub.write_text(stub_source(dll, {name: exports[name] for name in from_python}))
    args.exports.write_text("".join(f"{name} {kind}\n" for name, kind in sorted(exports.items())))


if __name__ == "__main__":
    main()
