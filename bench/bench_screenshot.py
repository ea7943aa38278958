"""Computer.screenshot() next to mss + Pillow, alternating in one run, medians of each: the full 1920x1080 screen
against mss's grab saved by Pillow as PNG, and a 1280x720 scale_from screenshot against mss's grab resized by
Pillow (BOX, area averaging as ours) and saved. Also the PNGs' sizes. The screen is first covered with a desktop of
the bench's own (windows of text in the server's core font, gradients, flat areas), so that the PNGs have something
to compress.

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . mss pillow python-xlib && DISPLAY=:99 python bench/bench_screenshot.py [rounds]
"""

import io
import statistics
import sys
import time

import mss
from ondrel_computer import Computer
from PIL import Image
from Xlib import X, display

SHOT = (1280, 720)


def paint_desktop():
    """Windows of text over a gradient, as the bench's stand-in for a desktop; the connection stays open so that
    they stay."""
    client = display.Display()
    screen = client.screen()
    root = screen.root
    width, height = screen.width_in_pixels, screen.height_in_pixels
    backdrop = root.create_window(0, 0, width, height, 0, screen.root_depth, override_redirect=True,
                                  background_pixel=0x2d5f8a)
    backdrop.map()
    font = client.open_font("fixed")
    for band in range(0, height, 4):  # a vertical gradient on the desktop
        gc = backdrop.create_gc(foreground=(band * 255 // height) << 8 | 0x40)
        backdrop.fill_rectangle(gc, 0, band, width, 4)
    words = "the quick brown fox jumps over the lazy dog 0123456789 SELECT * FROM screen; def f(x): return x"
    for index, (x, y, w, h, colour) in enumerate([(60, 40, 900, 620, 0xffffff), (1000, 80, 860, 500, 0x1e1e1e),
                                                  (300, 700, 1200, 340, 0xf3f3f3)]):
        window = backdrop.create_window(x, y, w, h, 1, screen.root_depth, background_pixel=colour)
        window.map()
        client.sync()
        text = window.create_gc(foreground=0x000000 if colour > 0x808080 else 0xd4d4d4, background=colour,
                                font=font)
        bar = window.create_gc(foreground=0x3c78d8)
        window.fill_rectangle(bar, 0, 0, w, 28)
        for line, top in enumerate(range(44, h - 10, 15)):
            shift = (line * 7 + index * 13) % len(words)
            window.image_text(text, 8 + (line % 5) * 12, top, (words[shift:] + words[:shift])[: (w - 60) // 6])
    client.sync()
    return client


def pillow_png(image):
    out = io.BytesIO()
    image.save(out, format="PNG")
    return out.getvalue()


def mss_full(grabber):
    shot = grabber.grab(grabber.monitors[1])
    return pillow_png(Image.frombytes("RGB", shot.size, shot.bgra, "raw", "BGRX"))


def mss_scaled(grabber):
    shot = grabber.grab(grabber.monitors[1])
    image = Image.frombytes("RGB", shot.size, shot.bgra, "raw", "BGRX")
    return pillow_png(image.resize(SHOT, Image.Resampling.BOX))


def timed(operation):
    start = time.perf_counter()
    result = operation()
    return (time.perf_counter() - start) * 1e3, len(result)


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 21
    client = paint_desktop()
    full, scaled = Computer(), Computer(scale_from=SHOT)
    pairs = {
        f"full {full.screen_size()[0]}x{full.screen_size()[1]}": (full.screenshot, None),
        f"scale_from {SHOT[0]}x{SHOT[1]}": (scaled.screenshot, None),
    }
    with getattr(mss, "MSS", mss.mss)() as grabber:  # mss 10 renamed the class
        pairs = {label: (ours, theirs) for (label, (ours, _)), theirs in
                 zip(pairs.items(), [lambda: mss_full(grabber), lambda: mss_scaled(grabber)])}
        for label, (ours, theirs) in pairs.items():
            ours(), theirs()  # warm up: first imports and connections
            times = {"ondrel": [], "mss+Pillow": []}
            sizes = {}
            for _ in range(rounds):  # alternating, so that both see the same machine
                for name, operation in [("ondrel", ours), ("mss+Pillow", theirs)]:
                    ms, size = timed(operation)
                    times[name].append(ms)
                    sizes[name] = size
            ours_ms, theirs_ms = statistics.median(times["ondrel"]), statistics.median(times["mss+Pillow"])
            print(f"{label}: ondrel {ours_ms:7.2f} ms {sizes['ondrel']:>8} B | mss+Pillow {theirs_ms:7.2f} ms "
                  f"{sizes['mss+Pillow']:>8} B | time {ours_ms / theirs_ms:.2f}x, size "
                  f"{sizes['ondrel'] / sizes['mss+Pillow']:.2f}x ({rounds} rounds each, medians)")
    client.close()


if __name__ == "__main__":
    main()
