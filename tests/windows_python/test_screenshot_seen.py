"""ondrel_computer's screenshot() and zoom() in Windows CPython: two topmost windows of known colours, placed in
physical pixels, are read back exactly at their places (corners included) in a PNG whose chunks, CRCs and filters
this test's own reader checks; zoom() gives the region asked, and a region off the screen names itself."""

import ctypes
import ctypes.wintypes as wintypes
import os
import struct
import time
import zlib

import pytest
from ondrel_computer import Computer

if os.name != "nt":
    pytest.skip("reads Windows' desktop", allow_module_level=True)

user32, gdi32, kernel32 = ctypes.windll.user32, ctypes.windll.gdi32, ctypes.windll.kernel32
WS_POPUP, WS_VISIBLE = 0x80000000, 0x10000000
WS_EX_TOPMOST, WS_EX_TOOLWINDOW = 0x00000008, 0x00000080
PER_MONITOR_AWARE = -3  # DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: window places in physical pixels
# (left, top, width, height) from the virtual screen's origin, and (r, g, b).
WINDOWS = [((40, 30, 120, 80), (255, 0, 0)), ((200, 150, 64, 33), (0, 128, 255))]

WNDPROC = ctypes.WINFUNCTYPE(ctypes.c_ssize_t, wintypes.HWND, wintypes.UINT, wintypes.WPARAM, wintypes.LPARAM)


class WNDCLASSW(ctypes.Structure):
    _fields_ = [("style", wintypes.UINT), ("lpfnWndProc", WNDPROC), ("cbClsExtra", ctypes.c_int),
                ("cbWndExtra", ctypes.c_int), ("hInstance", wintypes.HINSTANCE), ("hIcon", wintypes.HICON),
                ("hCursor", wintypes.HANDLE), ("hbrBackground", wintypes.HBRUSH),
                ("lpszMenuName", wintypes.LPCWSTR), ("lpszClassName", wintypes.LPCWSTR)]


def png_pixels(png):
    """Width, height and rows of (r, g, b) of an 8-bit RGB PNG, every chunk's CRC checked and every filter undone."""
    assert png[:8] == b"\x89PNG\r\n\x1a\n"
    at, chunks = 8, []
    while at < len(png):
        length, kind = struct.unpack(">I4s", png[at:at + 8])
        data = png[at + 8:at + 8 + length]
        assert struct.unpack(">I", png[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + data), kind
        chunks.append((kind, data))
        at += 12 + length
    assert [kind for kind, _ in chunks] == [b"IHDR", b"IDAT", b"IEND"]
    width, height, depth, colour, *_ = struct.unpack(">IIBBBBB", chunks[0][1])
    assert (depth, colour) == (8, 2)
    raw, stride, rows, above = zlib.decompress(chunks[1][1]), width * 3, [], bytes(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b, c = line[i - 3] if i >= 3 else 0, above[i], above[i - 3] if i >= 3 else 0
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            line[i] = (line[i] + [0, a, b, (a + b) // 2, paeth][kind]) & 0xFF
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        above = bytes(line)
    return width, height, rows


@pytest.fixture
def coloured_windows():
    set_awareness = user32.SetThreadDpiAwarenessContext
    set_awareness.restype, set_awareness.argtypes = ctypes.c_void_p, [ctypes.c_void_p]
    previous = set_awareness(PER_MONITOR_AWARE)
    user32.DefWindowProcW.restype = ctypes.c_ssize_t
    user32.DefWindowProcW.argtypes = [wintypes.HWND, wintypes.UINT, wintypes.WPARAM, wintypes.LPARAM]
    procedure = WNDPROC(lambda *args: user32.DefWindowProcW(*args))
    user32.CreateWindowExW.restype = wintypes.HWND
    origin = (user32.GetSystemMetrics(76), user32.GetSystemMetrics(77))  # SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN
    instance = kernel32.GetModuleHandleW(None)
    windows = []
    for index, ((left, top, width, height), (r, g, b)) in enumerate(WINDOWS):
        name = f"ondrel_screenshot_{index}"
        gdi32.CreateSolidBrush.restype = wintypes.HBRUSH
        window_class = WNDCLASSW(lpfnWndProc=procedure, hInstance=instance, lpszClassName=name,
                                 hbrBackground=gdi32.CreateSolidBrush(r | g << 8 | b << 16))
        assert user32.RegisterClassW(ctypes.byref(window_class))
        windows.append(user32.CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, name, name, WS_POPUP | WS_VISIBLE,
                                              origin[0] + left, origin[1] + top, width, height, None, None,
                                              instance, None))
        assert windows[-1]
    message = wintypes.MSG()
    deadline = time.monotonic() + 1.0  # let them paint
    while time.monotonic() < deadline:
        while user32.PeekMessageW(ctypes.byref(message), None, 0, 0, 1):  # PM_REMOVE
            user32.TranslateMessage(ctypes.byref(message))
            user32.DispatchMessageW(ctypes.byref(message))
        time.sleep(0.02)
    yield
    for index, window in enumerate(windows):
        user32.DestroyWindow(window)
        user32.UnregisterClassW(f"ondrel_screenshot_{index}", instance)
    set_awareness(previous)


def test_windows_of_known_colours_read_back_at_their_places(coloured_windows):
    computer = Computer()
    width, height, rows = png_pixels(computer.screenshot())
    assert (width, height) == computer.screen_size()
    for (left, top, w, h), colour in WINDOWS:
        wrong = [(x, y, rows[y][x]) for y in range(top, top + h) for x in range(left, left + w) if rows[y][x] != colour]
        assert wrong[:5] == []
        assert rows[top - 1][left - 1] != colour and rows[top + h][left + w] != colour

    (left, top, w, h), colour = WINDOWS[1]
    zoomed = png_pixels(computer.zoom((left - 4, top - 4, left + w + 4, top + h + 4), size=(w + 8, h + 8)))
    assert zoomed[:2] == (w + 8, h + 8)
    assert zoomed[2][4][4] == colour and zoomed[2][h + 3][w + 3] == colour and zoomed[2][3][3] != colour
    with pytest.raises(RuntimeError, match=rf"^region \(0, 0, {width + 1}, 5\) is outside the screen"):
        computer.zoom((0, 0, width + 1, 5))
