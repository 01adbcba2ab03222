#!/usr/bin/env python3
"""Black-box tests of the picture's shape on screens of other shapes than the game's: the
planet stays round, the rest of the screen is black, the mouse still finds the pause menu's
entries, and those entries can be read.

    picture_test.py --game BUILD/skywaltz --content BUILD/content CASE

Exit status 0 passes, 1 fails, 77 skips (ctest's SKIP_RETURN_CODE).
"""

import os
import sys
import time
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import blackbox_test as bb  # noqa: E402
import harness as h  # noqa: E402

# A view tall enough to hold the whole first planet and the player standing on it.
WHOLE_PLANET = "resolution: 1200 800\n"
WHOLE_PLANET_VIEW = (1200, 800)
ROUND_WITHIN = 0.02  # the planet's width over its height may be this far from 1
# WCAG's contrast for normal text; black labels on the sky measure about 1.2.
READABLE_CONTRAST = 4.5


def picture_area(screen, view):
    """Where the game shows its picture on the screen: as large as fits at its own shape,
    centred (x, y, width, height), rounded as the game rounds it."""
    (sw, sh), (vw, vh) = screen, view
    if sw * vh > sh * vw:
        width = (sh * vw * 2 + vh) // (vh * 2)
        return (sw - width) // 2, 0, width, sh
    if sh * vw > sw * vh:
        height = (sw * vh * 2 + vw) // (vw * 2)
        return 0, (sh - height) // 2, sw, height
    return 0, 0, sw, sh


def picture_of(run, area):
    return run.screenshot().crop(*area)


def wait_for_picture(run, area, view):
    last = {}

    def drawn():
        run.require_running()
        last["image"] = picture_of(run, area)
        last["problem"] = bb.world_problem(last["image"], view)
        return last["problem"] is None

    try:
        h.wait_for("the world to be drawn", drawn, interval=0.2)
    except h.Failure as failure:
        bb.keep_evidence(run, last.get("image"), "picture")
        raise h.Failure(f"{failure}: {last.get('problem')}") from None
    return last["image"]


def solve(matrix, vector):
    """Gaussian elimination with partial pivoting, for the small normal equations below."""
    n = len(vector)
    rows = [list(matrix[i]) + [vector[i]] for i in range(n)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(rows[r][col]))
        rows[col], rows[pivot] = rows[pivot], rows[col]
        for r in range(n):
            if r != col:
                factor = rows[r][col] / rows[col][col]
                rows[r] = [a - factor * b for a, b in zip(rows[r], rows[col])]
    return [rows[i][n] / rows[i][i] for i in range(n)]


def planet_aspect(image):
    """Width over height of the planet's disc: an axis-aligned ellipse fitted to the edge
    where planet meets sky, so the props and the player standing on the rim do not count."""
    found = bb.planet_of(image)
    h.check(found is not None, "no planet on screen")
    planet, sky = found[0], bb.background_of(image)
    w, rgb = image.width, image.rgb

    def colour(x, y):
        i = (y * w + x) * 3
        return rgb[i], rgb[i + 1], rgb[i + 2]

    edge = []
    for y in range(2, image.height - 2, 2):
        for x in range(2, w - 2, 2):
            if not bb.near(colour(x, y), planet):
                continue
            for dx, dy in ((2, 0), (-2, 0), (0, 2), (0, -2)):
                if bb.near(colour(x + dx, y + dy), sky):
                    edge.append((x, y))
                    break
    h.check(len(edge) > 100, f"only {len(edge)} points of the planet's edge against the sky")
    # x^2 + A y^2 + C x + D y + E = 0 in the least squares: A is (width / height)^2.
    sums = [[0.0] * 4 for _ in range(4)]
    rhs = [0.0] * 4
    for x, y in edge:
        terms = (y * y, x, y, 1.0)
        for i in range(4):
            rhs[i] -= terms[i] * x * x
            for j in range(4):
                sums[i][j] += terms[i] * terms[j]
    a = solve(sums, rhs)[0]
    h.check(a > 0, f"the planet's edge is no ellipse ({len(edge)} points)")
    return a ** 0.5


def bars_black(run, screen, area):
    """Every sampled pixel outside the picture is black."""
    image = run.xserver.screenshot()
    x0, y0, w, hgt = area
    for x, y, r, g, b in image.pixels(7):
        inside = x0 <= x < x0 + w and y0 <= y < y0 + hgt
        if not inside and max(r, g, b) > 0:
            return False
    return True


def expect_round_planet(game, content, screen):
    area = picture_area(screen, WHOLE_PLANET_VIEW)
    h.check(area[2:] != screen, "the screen has the picture's own shape: nothing to show")
    with h.session(game, screen) as run:
        bb.start(run, content, config=WHOLE_PLANET, size=screen)
        image = wait_for_picture(run, area, WHOLE_PLANET_VIEW)
        aspect = planet_aspect(image)
        print(f"{screen[0]}x{screen[1]}: the picture at {area}, the planet {aspect:.3f} : 1")
        if abs(aspect - 1) > ROUND_WITHIN:
            bb.keep_evidence(run, image, "planet")
            raise h.Failure(f"the planet measures {aspect:.3f} : 1 on {screen}")
        h.check(bars_black(run, screen, area), "the screen outside the picture is not black")
        bb.close_normally(run)


def case_round_wide(game, content):
    """1920 x 1080, wider than the picture: bars left and right, the planet round."""
    expect_round_planet(game, content, (1920, 1080))


def case_round_16_10(game, content):
    """1280 x 800."""
    expect_round_planet(game, content, (1280, 800))


def case_round_portrait(game, content):
    """A portrait 1080 x 1920 screen: bars above and below."""
    expect_round_planet(game, content, (1080, 1920))


def luminance(colour):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4

    r, g, b = (channel(c) for c in colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def label_contrast(image, view, row):
    """The contrast of a menu row's label against the sky behind it: the sky is the band's
    most common colour, the label the mean of the few percent of pixels farthest from it."""
    sx, sy = image.width / view[0], image.height / view[1]
    band = image.crop(0, int((bb.MENU_TOP + bb.MENU_ROW * row) * sy), int(120 * sx),
                      int(bb.MENU_ROW * sy))
    pixels = [(r, g, b) for _, _, r, g, b in band.pixels(1)]
    sky = Counter(pixels).most_common(1)[0][0]
    far = sorted(pixels, key=lambda p: -sum(abs(p[i] - sky[i]) for i in range(3)))
    far = far[:max(len(far) // 30, 1)]
    label = tuple(sum(p[i] for p in far) / len(far) for i in range(3))
    return contrast(label, sky), label, sky


def case_menu_portrait(game, content):
    """The first start's fullscreen on a portrait screen: the pause menu's unselected entries
    stand out from the sky, and a click on Quit game, where the letterboxed picture shows it,
    ends the game."""
    screen, view = (1080, 1920), bb.DEFAULT_VIEW
    area = picture_area(screen, view)
    with h.session(game, screen) as run:
        bb.start(run, content, config=None, size=screen)
        wait_for_picture(run, area, view)
        run.xserver.key_down("Escape")
        last = {}

        def menu_at_rest():
            # The entries slide in; paused, nothing else moves, so a picture like the last
            # one shows them where they stay.
            run.require_running()
            before, last["image"] = last.get("image"), picture_of(run, area)
            return (bb.menu_shown(bb.menu_rows(last["image"], view), 0) and before is not None
                    and h.difference(before, last["image"], step=1) == 0)

        try:
            h.wait_for("the pause menu to come to rest", menu_at_rest, interval=0.1)
        finally:
            run.xserver.key_up("Escape")
        for row in range(1, bb.MENU_ENTRIES):
            ratio, label, sky = label_contrast(last["image"], view, row)
            print(f"row {row}: label {tuple(round(c) for c in label)} on sky {sky}: "
                  f"contrast {ratio:.1f}")
            if ratio < READABLE_CONTRAST:
                bb.keep_evidence(run, last["image"], "menu")
                raise h.Failure(f"row {row} is hard to read: contrast {ratio:.1f}")

        scale = area[2] / view[0]
        quit_row = bb.MENU_ENTRIES - 1
        x = area[0] + int((10 + 30) * scale)
        y = area[1] + int((bb.MENU_TOP + bb.MENU_ROW * quit_row + bb.MENU_ROW / 2) * scale)
        run.xserver.mouse_to(x, y)
        h.wait_for("the pointer to select Quit game", lambda: run.require_running() or bb.menu_shown(
            bb.menu_rows(picture_of(run, area), view), quit_row), interval=0.1)
        run.xserver.xdotool("mousedown", "1")
        time.sleep(0.12)
        run.xserver.xdotool("mouseup", "1", check_status=False)
        status = run.wait_exit()
        h.check(status == 0, f"Quit game by a click ended with status {status}:\n{run.stderr()}")
        run.check_clean_stderr()
        print(f"a click at ({x}, {y}) on Quit game ended the game")


if __name__ == "__main__":
    sys.exit(h.run_cases(__doc__, globals()))
