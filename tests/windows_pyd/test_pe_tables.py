"""What the cross-built .pyd exports and imports, read from its PE tables: the interpreter's entry point (plus the
test recorder), and only python3.dll (the Stable ABI), system DLLs and one C runtime, each name one that the DLL
really has."""

import re
import shutil
import subprocess

import pytest
from pe_file import MACHINE_AMD64

RECORDER_FUNCTIONS = {"ondrel_recorder_start", "ondrel_recorder_stop", "ondrel_recorder_fail_call",
                      "ondrel_recorder_events", "ondrel_recorder_gamepad"}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll"}
# MinGW-w64's msvcrt.dll, or the Universal CRT that CPython itself and MSVC builds use. Never both in one file.
MSVCRT = {"msvcrt.dll"}
UCRT = re.compile(r"api-ms-win-crt-[a-z]+-l1-1-0\.dll|vcruntime140(_1)?\.dll")


def crt_family(dll):
    return "msvcrt" if dll in MSVCRT else "ucrt" if UCRT.fullmatch(dll) else None


def test_is_a_64bit_windows_dll(pyd):
    assert pyd.machine == MACHINE_AMD64
    assert pyd.is_dll
    assert not pyd.delay_imports


def test_exports_the_module_init_and_the_recorder(pyd, pyd_path):
    init = "PyInit_ondrel" if pyd_path.name == "ondrel.pyd" else "PyInit__native"  # ondrel_computer._native
    assert sorted(pyd.exports) == sorted({init} | RECORDER_FUNCTIONS)


def test_imports_only_python_system_dlls_and_one_c_runtime(pyd, cpython_exports):
    python_dll, _ = cpython_exports
    dlls = {dll.lower() for dll in pyd.imports}
    assert python_dll in dlls
    unexpected = sorted(dll for dll in dlls if dll not in SYSTEM_DLLS | {python_dll} and crt_family(dll) is None)
    assert unexpected == [], "imports from DLLs that neither Windows nor CPython provide"
    assert len({crt_family(dll) for dll in dlls} - {None}) == 1, f"not exactly one C runtime: {sorted(dlls)}"


def test_imports_by_name_only(pyd):
    by_ordinal = {dll: [name for name in names if name.startswith("#")] for dll, names in pyd.imports.items()}
    assert {dll: names for dll, names in by_ordinal.items() if names} == {}


def test_every_python_import_is_exported_by_cpython(pyd, cpython_exports):
    python_dll, exports = cpython_exports
    [names] = [names for dll, names in pyd.imports.items() if dll.lower() == python_dll]
    assert "PyModule_Create2" in names
    assert sorted(set(names) - exports.keys()) == []


@pytest.mark.parametrize("family_dll", ["kernel32.dll", "user32.dll", "winmm.dll", "msvcrt.dll", "ucrtbase.dll",
                                        "vcruntime140.dll"])
def test_every_system_import_exists_in_wine(pyd, wine_exports, family_dll):
    """Each name imported from a system DLL is one that Wine's version of that DLL exports (the UCRT's
    api-ms-win-crt-* sets are views of ucrtbase.dll)."""
    def implemented_by(dll):
        return "ucrtbase.dll" if dll.startswith("api-ms-win-crt-") else dll
    imported = {name for dll, names in pyd.imports.items() if implemented_by(dll.lower()) == family_dll
                for name in names}
    if not imported:
        pytest.skip(f"nothing imported from {family_dll}")
    assert sorted(imported - wine_exports(family_dll)) == []


@pytest.mark.skipif(shutil.which("x86_64-w64-mingw32-objdump") is None, reason="no MinGW-w64 objdump")
def test_reader_agrees_with_objdump(pyd_path, pyd):
    """The PE reader above is ours; binutils reads the same tables."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", pyd_path], check=True, capture_output=True,
                          text=True).stdout
    imports, dll = {}, None
    for line in dump.splitlines():
        if match := re.match(r"\tDLL Name: (\S+)", line):
            dll = match[1]
            imports[dll] = []
        elif dll and (match := re.match(r"\t[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            imports[dll].append(match[1])
        elif not line.strip():
            dll = None
    exports = re.findall(r"^\t\[\s*\d+\] (\S+)$", dump.split("[Ordinal/Name Pointer] Table", 1)[-1], re.M)
    assert imports == pyd.imports
    assert sorted(exports) == sorted(pyd.exports)
