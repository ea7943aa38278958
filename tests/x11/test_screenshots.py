"""Computer.screenshot() and zoom() on Xvfb screens of depth 16, 24 and 30 (masks of 5/6, 8 and 10 bits), read
back pixel for pixel against a scene of X windows: coloured rectangles in the corners and inside, one single pixel,
and a one-pixel checkerboard. At scale_from the screenshot is the area average of the full one (Pillow's reduce at
2) and a click on a point read off it lands on its rectangle; zoom tells the checkerboard's cells apart where the scaled screenshot
shows grey; a change on the screen shows in the next screenshot; bad regions name themselves; a stopped server fails
the call within the 2 s deadline; every PNG passes pngcheck."""

import io
import shutil
import subprocess
import threading
import time

import pytest
from x_server import XServer

pytest.importorskip("Xlib", reason="the X tests need python-xlib (requirements.txt)")
Image = pytest.importorskip("PIL.Image", reason="the screenshot tests read PNG with Pillow (requirements.txt)")
from ondrel_computer import Computer  # noqa: E402
from Xlib import X  # noqa: E402
from Xlib import display as xdisplay  # noqa: E402

WIDTH, HEIGHT = 600, 400
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
# (x0, y0, x1, y1), colour: the four corners, one inside, a single pixel. Only 0 and 255 per channel, which every
# depth shows exactly.
RECTANGLES = [
    ((0, 0, 50, 40), (255, 0, 0)),
    ((550, 360, 600, 400), (0, 255, 0)),
    ((590, 0, 600, 10), (255, 255, 0)),
    ((0, 390, 10, 400), (255, 0, 255)),
    ((200, 100, 320, 180), (0, 0, 255)),
    ((333, 251, 334, 252), (0, 255, 255)),
]
CHECKER = (400, 40, 464, 104)  # cells of one pixel, white where x + y is even
BACKDROP = (0, 0, 0)


def checker_colour(x, y):
    return WHITE if (x + y) % 2 == 0 else BLACK


def expected_pixel(x, y):
    for (x0, y0, x1, y1), colour in RECTANGLES:
        if x0 <= x < x1 and y0 <= y < y1:
            return colour
    if CHECKER[0] <= x < CHECKER[2] and CHECKER[1] <= y < CHECKER[3]:
        return checker_colour(x, y)
    return BACKDROP


def decoded(png):
    """The PNG's pixels, after pngcheck (where installed) found nothing wrong in it."""
    if shutil.which("pngcheck"):
        check = subprocess.run(["pngcheck", "-q", "/dev/stdin"], input=png, capture_output=True)
        assert check.returncode == 0, check.stdout + check.stderr
    image = Image.open(io.BytesIO(png))
    assert image.mode == "RGB" and image.info.get("transparency") is None
    return image


class Scene:
    """Windows of the tests' own over the whole screen: a backdrop, a window per rectangle (each selecting its
    button presses) and the checkerboard as a tiled background. Pixels are made from the visual's masks."""

    def __init__(self, display_name):
        self.display = xdisplay.Display(display_name)
        screen = self.display.screen()
        visual = next(v for d in screen.allowed_depths for v in d.visuals if v.visual_id == screen.root_visual)
        self.masks = (visual.red_mask, visual.green_mask, visual.blue_mask)
        root = screen.root
        self.backdrop = root.create_window(0, 0, WIDTH, HEIGHT, 0, screen.root_depth, override_redirect=True,
                                           background_pixel=self.pixel(BACKDROP))
        self.windows = []
        for (x0, y0, x1, y1), colour in RECTANGLES:
            self.windows.append(self.backdrop.create_window(
                x0, y0, x1 - x0, y1 - y0, 0, screen.root_depth, background_pixel=self.pixel(colour),
                event_mask=X.ButtonPressMask))
        tile = root.create_pixmap(2, 2, screen.root_depth)
        for colour, cells in [(WHITE, [(0, 0), (1, 1)]), (BLACK, [(1, 0), (0, 1)])]:
            gc = tile.create_gc(foreground=self.pixel(colour))
            tile.poly_fill_rectangle(gc, [(x, y, 1, 1) for x, y in cells])
        # A tile starts at its window's origin, which is even: white where x + y is even.
        self.checker = self.backdrop.create_window(CHECKER[0], CHECKER[1], CHECKER[2] - CHECKER[0],
                                                   CHECKER[3] - CHECKER[1], 0, screen.root_depth,
                                                   background_pixmap=tile)
        self.backdrop.map_sub_windows()
        self.backdrop.map()
        self.display.sync()

    def pixel(self, colour):
        return sum(mask for mask, value in zip(self.masks, colour) if value == 255)

    def recolour(self, index, colour):
        self.windows[index].change_attributes(background_pixel=self.pixel(colour))
        self.windows[index].clear_area()
        self.display.sync()

    def pressed_windows(self):
        self.display.sync()
        presses = []
        while self.display.pending_events():
            event = self.display.next_event()
            if event.type == X.ButtonPress:
                presses.append(self.windows.index(next(w for w in self.windows if w.id == event.window.id)))
        return presses

    def close(self):
        self.display.close()


@pytest.fixture(scope="module", params=[24, 30, 16])
def screen(request):
    server = XServer("-screen", "0", f"{WIDTH}x{HEIGHT}x{request.param}").start()
    scene = Scene(server.display)
    yield server, scene
    scene.close()
    server.stop()


@pytest.fixture
def on_screen(screen, monkeypatch):
    server, scene = screen
    monkeypatch.setenv("DISPLAY", server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.setenv("ONDREL_INPUT", "x11")
    scene.pressed_windows()  # what earlier tests left
    return scene


def test_the_full_screenshot_is_the_scene_pixel_for_pixel_and_clicks_land_on_what_it_shows(on_screen):
    computer = Computer()
    image = decoded(computer.screenshot())
    assert image.size == (WIDTH, HEIGHT)
    pixels = image.load()
    wrong = [(x, y, pixels[x, y]) for y in range(HEIGHT) for x in range(WIDTH) if pixels[x, y] != expected_pixel(x, y)]
    assert wrong[:5] == []
    for index, ((x0, y0, x1, y1), colour) in enumerate(RECTANGLES):
        computer.click(x1 - 1, y1 - 1)  # the last pixel of each: corners included
        assert on_screen.pressed_windows() == [index]


@pytest.mark.parametrize("scale_from", [(400, 300), (300, 200), (1200, 800)])
def test_a_scaled_screenshot_averages_areas_and_its_points_click_their_rectangles(on_screen, scale_from):
    full = decoded(Computer().screenshot())
    computer = Computer(scale_from=scale_from)
    image = decoded(computer.screenshot())
    assert image.size == scale_from
    if scale_from == (300, 200):
        assert image.tobytes() == full.reduce(2).tobytes()
    # Area averaging keeps the screen's mean colour (to rounding), at any scale.
    for channel in range(3):
        mean = sum(full.tobytes()[channel::3]) / (WIDTH * HEIGHT)
        assert abs(sum(image.tobytes()[channel::3]) / (scale_from[0] * scale_from[1]) - mean) < 0.5
    pixels = image.load()
    if scale_from == (400, 300):
        # Screenshot pixel 33 averages screen pixels 49.5 to 51: half of the red one, a whole black one.
        assert pixels[33, 0] == (85, 0, 0) and pixels[32, 0] == (255, 0, 0)
    for index, ((x0, y0, x1, y1), colour) in enumerate(RECTANGLES[:5]):
        # The screenshot pixel at the rectangle's middle shows it, and a click there lands on it, through an
        # action as through the Computer's own methods.
        x = (x0 + x1) * scale_from[0] // (2 * WIDTH)
        y = (y0 + y1) * scale_from[1] // (2 * HEIGHT)
        assert pixels[x, y] == colour
        if index % 2:
            computer.click(x, y)
        else:
            assert computer.execute({"action": "left_click", "coordinate": [x, y]}) == {"success": True}
        assert on_screen.pressed_windows() == [index]
        if scale_from[0] <= WIDTH:  # several screenshot pixels share a screen pixel when scaled up
            assert computer.execute({"action": "cursor_position"}) == {"success": True, "x": x, "y": y}
            assert computer.position() == (x, y)
    with pytest.raises(RuntimeError, match=r"point \(\d+, 0\) is outside the screenshot"):
        computer.move_to(scale_from[0], 0)


def test_zoom_tells_apart_the_cells_that_the_scaled_screenshot_averages(on_screen):
    computer = Computer(scale_from=(300, 200))  # half size: each screenshot pixel averages 2x2 cells
    shot = decoded(computer.screenshot()).load()
    assert shot[CHECKER[0] // 2 + 3, CHECKER[1] // 2 + 3] == (128, 128, 128)
    # 16x16 screenshot pixels are 32x32 cells on the screen; at 64x64, each cell is 2x2 pixels.
    region = (CHECKER[0] // 2, CHECKER[1] // 2, CHECKER[0] // 2 + 16, CHECKER[1] // 2 + 16)
    zoomed = decoded(computer.zoom(region, size=(64, 64)))
    assert zoomed.size == (64, 64)
    pixels = zoomed.load()
    assert all(pixels[x, y] == checker_colour(CHECKER[0] + x // 2, CHECKER[1] + y // 2)
               for y in range(64) for x in range(64))
    # By default to the screenshot's size, aspect kept: 32x32 cells fit 200x200.
    assert decoded(computer.zoom(list(region))).size == (200, 200)
    # A wide region at the screen's own scale.
    assert decoded(Computer().zoom((0, 0, 60, 20), size=(90, 90))).size == (90, 30)


def test_a_change_on_the_screen_shows_in_the_next_screenshot_and_threads_each_get_the_whole_image(on_screen):
    computer = Computer()
    inside = (250, 140)
    assert decoded(computer.screenshot()).getpixel(inside) == (0, 0, 255)
    on_screen.recolour(4, (255, 255, 255))
    try:
        assert decoded(computer.screenshot()).getpixel(inside) == (255, 255, 255)
        shots = []
        threads = [threading.Thread(target=lambda: shots.append(computer.screenshot())) for _ in range(4)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        assert len(shots) == 4 and len(set(shots)) == 1
    finally:
        on_screen.recolour(4, (0, 0, 255))


@pytest.mark.parametrize("scale_from, region, size, error, message", [
    (None, (5, 5, 5, 10), None, RuntimeError, r"^region \(5, 5, 5, 10\) is empty: x1 and y1 must exceed x0 and y0$"),
    (None, (9, 5, 3, 10), None, RuntimeError, r"^region \(9, 5, 3, 10\) is empty"),
    (None, (0, 0, 601, 10), None, RuntimeError, r"^region \(0, 0, 601, 10\) is outside the screen \(600x400\)$"),
    ((300, 200), (-1, 0, 10, 10), None, RuntimeError,
     r"^region \(-1, 0, 10, 10\) is outside the screenshot \(300x200\)$"),
    ((300, 200), (0, 0, 300, 201), None, RuntimeError, r"is outside the screenshot \(300x200\)$"),
    (None, (0, 0, 10, 10), (0, 5), ValueError, r"^Computer.zoom\(\) argument 'size' must be positive, not \(0, 5\)$"),
    (None, (0, 0, 10, 10), (5, -1), ValueError, r"must be positive, not \(5, -1\)$"),
    (None, (0, 0, 10), None, ValueError, r"^Computer.zoom\(\) argument 'region' must be a tuple \(x0, y0, x1, y1\) "
                                         r"of int, not 3 values$"),
    (None, "0,0,1,1", None, TypeError, r"argument 'region' must be a tuple \(x0, y0, x1, y1\) of int, not str$"),
])
def test_bad_regions_and_sizes_name_themselves(on_screen, scale_from, region, size, error, message):
    computer = Computer(scale_from=scale_from)
    with pytest.raises(error, match=message):
        computer.zoom(region, size=size)


def test_a_stopped_server_fails_the_screenshot_in_time_and_a_restarted_one_is_reached_again(own_server, monkeypatch):
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.setenv("ONDREL_INPUT", "x11")
    computer = Computer(scale_from=(300, 200))
    assert decoded(computer.screenshot()).size == (300, 200)
    own_server.pause()
    start = time.monotonic()
    try:
        with pytest.raises(RuntimeError, match="^the X server did not answer within 2 s"):
            computer.screenshot()
        assert 2 <= time.monotonic() - start < 3
    finally:
        own_server.resume()
    own_server.restart()
    assert decoded(computer.zoom((0, 0, 30, 20))).size == (300, 200)
