"""A small reader of the tables of a 64-bit PE file (a .pyd, a DLL): what it exports and what it imports.

The build reads the exports of python3.dll and python3XY.dll with it (cmake/python_import_library.py), the tests
the .pyd's tables."""

import struct
from dataclasses import dataclass, field
from pathlib import Path

MACHINE_AMD64 = 0x8664
PE32_PLUS = 0x20B
IMAGE_FILE_DLL = 0x2000
EXPORT_TABLE, IMPORT_TABLE, DELAY_IMPORT_TABLE = 0, 1, 13
SECTION_EXECUTABLE = 0x20000000


@dataclass
class PeFile:
    machine: int
    characteristics: int
    exports: list[str]
    # Exported name -> whether it names code (a function) rather than data; forwarded names are left out.
    exported_code: dict[str, bool] = field(default_factory=dict)
    # Exported name -> where the loader takes it from instead ("python311.PyExc_TypeError").
    forwarders: dict[str, str] = field(default_factory=dict)
    # DLL name as written in the file -> names imported from it ("#N" for an import by ordinal).
    imports: dict[str, list[str]] = field(default_factory=dict)
    delay_imports: bool = False

    @property
    def is_dll(self):
        return bool(self.characteristics & IMAGE_FILE_DLL)


class _Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a PE file: no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file: no PE signature")
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != PE32_PLUS:
            raise ValueError("not a 64-bit (PE32+) image")
        directory_count = struct.unpack_from("<I", data, optional + 108)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 112 + 8 * i) for i in range(directory_count)]
        self.sections = []
        for i in range(sections):
            header = optional + optional_size + 40 * i
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, header + 8)
            characteristics = struct.unpack_from("<I", data, header + 36)[0]
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset, characteristics))

    def section(self, rva):
        for section in self.sections:
            if section[0] <= rva < section[0] + section[1]:
                return section
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def offset(self, rva):
        start, _, raw, _ = self.section(rva)
        return raw + rva - start

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def exports(self):
        """{name: whether it lies in executable code, or its forwarder text}, in the table's order."""
        rva, size = self.directory(EXPORT_TABLE)
        if size == 0:
            return {}
        table = self.offset(rva)
        _, _, count, functions, names, ordinals = struct.unpack_from("<6I", self.data, table + 16)
        exports = {}
        for i in range(count):
            name = self.string(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
            index = struct.unpack_from("<H", self.data, self.offset(ordinals) + 2 * i)[0]
            target = struct.unpack_from("<I", self.data, self.offset(functions) + 4 * index)[0]
            # A target inside the export directory is a forwarder's text ("OTHER.Name").
            forwarded = rva <= target < rva + size
            exports[name] = self.string(target) if forwarded else bool(self.section(target)[3] & SECTION_EXECUTABLE)
        return exports

    def imports(self):
        rva, size = self.directory(IMPORT_TABLE)
        imports = {}
        if size == 0:
            return imports
        descriptor = self.offset(rva)
        while True:
            lookup, _, _, name, address = struct.unpack_from("<IIIII", self.data, descriptor)
            if name == 0:
                return imports
            thunk = self.offset(lookup or address)
            names = imports.setdefault(self.string(name), [])
            while entry := struct.unpack_from("<Q", self.data, thunk)[0]:
                names.append(f"#{entry & 0xFFFF}" if entry >> 63 else self.string((entry & 0x7FFFFFFF) + 2))
                thunk += 8
            descriptor += 20


def read_pe(path):
    image = _Image(Path(path).read_bytes())
    exports = image.exports()
    return PeFile(machine=image.machine, characteristics=image.characteristics, exports=list(exports),
                  exported_code={name: kind for name, kind in exports.items() if isinstance(kind, bool)},
                  forwarders={name: kind for name, kind in exports.items() if isinstance(kind, str)},
                  imports=image.imports(), delay_imports=image.directory(DELAY_IMPORT_TABLE)[1] != 0)
