#!/usr/bin/python3
"""Draws the toolbar and menu icons that the viewer ships for desktops without an icon theme.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_icons.py [OUTDIR]
Writes OUTDIR/<size>/<name>.png (OUTDIR defaults to resources/icons) for every freedesktop icon
name that the action table in src/app/MainActions.cpp uses, at 16, 24 and 32 pixels. Each icon is
drawn at four times its size on a 24-unit grid and box-filtered down, which antialiases the edges.
The output is deterministic, so the committed files can be checked against it; the build itself
only compiles the PNGs into the program and never needs Pillow.
"""
import math
import os
import re
import sys

from PIL import Image, ImageDraw

SIZES = (16, 24, 32)
OVERSAMPLE = 4
GRID = 24.0

# A small flat palette that reads on light and dark toolbars alike.
INK = (52, 60, 70, 255)
PAPER = (250, 250, 247, 255)
LINE = (150, 158, 166, 255)
BLUE = (45, 118, 214, 255)
BLUE_DARK = (30, 86, 166, 255)
SKY = (120, 180, 235, 255)
GREEN = (58, 160, 80, 255)
GREEN_DARK = (40, 120, 58, 255)
RED = (214, 64, 56, 255)
YELLOW = (240, 190, 60, 255)
YELLOW_DARK = (205, 150, 35, 255)
GREY = (120, 128, 138, 255)
GREY_LIGHT = (200, 205, 210, 255)
SUN = (252, 210, 80, 255)


class Pen:
    """Draws in grid units on an oversampled canvas."""

    def __init__(self, size):
        self.px = size * OVERSAMPLE
        self.image = Image.new("RGBA", (self.px, self.px), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)
        self.unit = self.px / GRID
        # Strokes keep a whole number of output pixels, so thin lines stay sharp when small.
        self.pixel = size / GRID

    def p(self, x, y):
        return (x * self.unit, y * self.unit)

    def box(self, x0, y0, x1, y1):
        return [x0 * self.unit, y0 * self.unit, x1 * self.unit, y1 * self.unit]

    def width(self, w):
        return max(1, round(w * self.pixel)) * OVERSAMPLE

    def polygon(self, points, fill):
        self.draw.polygon([self.p(x, y) for x, y in points], fill=fill)

    def rect(self, x0, y0, x1, y1, fill, radius=0.0):
        if radius > 0:
            self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * self.unit, fill=fill)
        else:
            self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill)

    def frame(self, x0, y0, x1, y1, colour, w, fill=None, radius=0.0):
        """A rectangle outlined inside its box."""
        if radius > 0:
            self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * self.unit, fill=fill,
                                        outline=colour, width=self.width(w))
        else:
            self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill, outline=colour, width=self.width(w))

    def disc(self, cx, cy, r, fill):
        self.draw.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill)

    def ring(self, cx, cy, r, colour, w, fill=None):
        self.draw.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill, outline=colour,
                          width=self.width(w))

    def line(self, points, colour, w):
        """A polyline with round caps and joins."""
        width = self.width(w)
        pts = [self.p(x, y) for x, y in points]
        self.draw.line(pts, fill=colour, width=width, joint="curve")
        r = width / 2
        for x, y in pts:
            self.draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)

    def arc(self, cx, cy, r, start, end, colour, w):
        """An arc of the circle through the middle of the stroke; angles in degrees, clockwise from 3 o'clock."""
        width = self.width(w)
        half = width / 2 / self.unit
        self.draw.arc(self.box(cx - r - half, cy - r - half, cx + r + half, cy + r + half), start, end,
                      fill=colour, width=width)
        for a in (start, end):
            t = math.radians(a)
            self.disc(cx + r * math.cos(t), cy + r * math.sin(t), half, colour)

    def result(self, size):
        return self.image.resize((size, size), Image.Resampling.BOX)


def arc_arrow(pen, cx, cy, r, start, end, colour, w, length, spread):
    """A clockwise arc from `start` to `end` (degrees) whose head sits on the end, along the tangent."""
    pen.arc(cx, cy, r, start, end - 5, colour, w)
    e = math.radians(end)
    bx, by = cx + r * math.cos(e), cy + r * math.sin(e)
    tx, ty = -math.sin(e), math.cos(e)  # clockwise tangent on a y-down canvas
    pen.polygon([(bx + tx * length, by + ty * length), (bx - ty * spread, by + tx * spread),
                 (bx + ty * spread, by - tx * spread)], colour)


# Shapes shared by several icons.

def page(pen, x0, y0, x1, y1, fold=4.0):
    pen.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], INK)
    d = 1.3
    pen.polygon([(x0 + d, y0 + d), (x1 - fold - d * 0.4, y0 + d), (x1 - d, y0 + fold + d * 0.4),
                 (x1 - d, y1 - d), (x0 + d, y1 - d)], PAPER)
    pen.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], INK)


def folder_back(pen):
    pen.polygon([(2, 5), (9, 5), (11, 7), (20, 7), (20, 19), (2, 19)], YELLOW_DARK)


def folder_flap(pen):
    pen.polygon([(5.5, 10), (23, 10), (19.5, 19.5), (1.5, 19.5)], YELLOW)


def lens(pen, cx=10, cy=10, r=6.2):
    """A magnifier: the glass, its rim and the handle toward the bottom right."""
    pen.line([(cx + r * 0.75, cy + r * 0.75), (21, 21)], GREY, 3.2)
    pen.ring(cx, cy, r, INK, 2.0, fill=PAPER)


def gear(pen, cx, cy, outer, inner, hole, teeth, colour):
    points = []
    for i in range(teeth * 4):
        a = math.radians(i * 360.0 / (teeth * 4) - 90 + 360.0 / (teeth * 8))
        r = outer if (i % 4) in (1, 2) else inner
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    pen.polygon(points, colour)
    pen.disc(cx, cy, inner * 0.72, colour)
    pen.disc(cx, cy, hole, (0, 0, 0, 0))


def curved_arrow(pen):
    """A clockwise arrow over the top of a picture; mirrored for the left turn."""
    pen.frame(2.5, 11, 16, 21.5, INK, 1.4, fill=SKY, radius=0.8)
    pen.polygon([(3.7, 20.3), (8, 15), (11, 18), (12.8, 16.2), (14.8, 20.3)], GREEN)
    arc_arrow(pen, 12, 11, 7.5, 195, 350, BLUE, 2.2, 4.5, 3.3)


# One drawing per icon name, on the 24-unit grid.

def document_open(pen):
    folder_back(pen)
    page(pen, 7, 2.5, 17, 14, fold=3)
    folder_flap(pen)


def folder_open(pen):
    folder_back(pen)
    pen.rect(4, 8.5, 18.5, 11, PAPER)
    folder_flap(pen)


def document_properties(pen):
    page(pen, 4, 2, 20, 22)
    for y in (8, 12.5, 17):
        pen.disc(8, y, 1.3, BLUE)
        pen.line([(11, y), (16.5, y)], LINE, 1.6)


def application_exit(pen):
    pen.arc(12, 13, 7.5, -50, 230, RED, 2.6)
    pen.line([(12, 3), (12, 12)], RED, 2.6)


def preferences_system(pen):
    gear(pen, 12, 12, 10.5, 7.8, 3.4, 8, GREY)


def help_about(pen):
    pen.disc(12, 12, 10, BLUE)
    pen.disc(12, 7, 1.7, PAPER)
    pen.rect(10.5, 10, 13.5, 18.5, PAPER, radius=0.6)


def go_top(pen):
    pen.rect(4, 3, 20, 5.6, INK, radius=0.8)
    pen.polygon([(12, 7), (20.5, 15.5), (15, 15.5), (15, 21.5), (9, 21.5), (9, 15.5), (3.5, 15.5)], BLUE)


def go_next(pen):
    pen.polygon([(21.5, 12), (12.5, 3), (12.5, 8.5), (3, 8.5), (3, 15.5), (12.5, 15.5), (12.5, 21)], BLUE)


def go_previous(pen):
    pen.polygon([(2.5, 12), (11.5, 3), (11.5, 8.5), (21, 8.5), (21, 15.5), (11.5, 15.5), (11.5, 21)], BLUE)


def zoom_in(pen):
    lens(pen)
    pen.line([(7.2, 10), (12.8, 10)], BLUE, 2.0)
    pen.line([(10, 7.2), (10, 12.8)], BLUE, 2.0)


def zoom_out(pen):
    lens(pen)
    pen.line([(7.2, 10), (12.8, 10)], BLUE, 2.0)


def zoom_fit_best(pen):
    pen.frame(6, 7, 18, 17, INK, 1.2, fill=SKY)
    pen.polygon([(7, 16), (11, 11.5), (13.5, 14), (15, 12.5), (17, 16)], GREEN)
    for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
        cx, cy = 12 + sx * 9.5, 12 + sy * 8.5
        pen.line([(cx - sx * 4, cy), (cx, cy), (cx, cy - sy * 3.5)], GREY, 1.8)


def zoom_original(pen):
    lens(pen)
    # A "1": the picture at one to one.
    pen.line([(8.3, 8.4), (10.3, 7), (10.3, 13.2)], BLUE, 2.0)


def view_fullscreen(pen):
    pen.frame(7, 7, 17, 17, GREY_LIGHT, 1.0)
    for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
        cx, cy = 12 + sx * 9, 12 + sy * 9
        pen.line([(cx - sx * 6, cy), (cx, cy), (cx, cy - sy * 6)], BLUE, 2.2)
        pen.line([(cx, cy), (cx - sx * 4.5, cy - sy * 4.5)], BLUE, 2.2)


def view_refresh(pen):
    arc_arrow(pen, 12, 12.5, 7.5, -50, 245, GREEN, 2.6, 4.5, 3.8)


def preferences_desktop_wallpaper(pen):
    pen.rect(9, 18, 15, 21, INK)
    pen.rect(6, 20.5, 18, 22, INK, radius=0.6)
    pen.frame(2, 3, 22, 18.5, INK, 1.6, fill=SKY, radius=1.0)
    pen.disc(16.5, 8, 2.0, SUN)
    pen.polygon([(3.4, 17.2), (9, 10), (12.5, 14), (15, 11.5), (20.6, 17.2)], GREEN)


def edit_delete(pen):
    pen.rect(9.5, 2.5, 14.5, 5.5, INK, radius=0.8)
    pen.rect(3.5, 4.5, 20.5, 7, INK, radius=0.8)
    pen.polygon([(5, 8), (19, 8), (17.8, 22), (6.2, 22)], GREY)
    for x in (9, 12, 15):
        pen.line([(x, 10.5), (x, 19.5)], GREY_LIGHT, 1.4)


def edit_copy(pen):
    page(pen, 3, 2, 14, 16, fold=3)
    page(pen, 10, 8, 21, 22, fold=3)
    for y in (13, 16, 19):
        pen.line([(12.5, y), (18, y)], LINE, 1.2)


def object_rotate_right(pen):
    curved_arrow(pen)


def object_rotate_left(pen):
    # Drawn as the right turn and mirrored below.
    curved_arrow(pen)


def system_run(pen):
    pen.frame(2, 3, 22, 21, INK, 1.4, fill=PAPER, radius=1.2)
    pen.rect(2, 3, 22, 7, INK, radius=1.2)
    pen.rect(2, 5, 22, 7, INK)
    pen.polygon([(9, 9.5), (17, 14), (9, 18.5)], GREEN)


DRAWINGS = {
    "document-open": document_open,
    "folder-open": folder_open,
    "document-properties": document_properties,
    "application-exit": application_exit,
    "preferences-system": preferences_system,
    "help-about": help_about,
    "go-top": go_top,
    "go-next": go_next,
    "go-previous": go_previous,
    "zoom-in": zoom_in,
    "zoom-out": zoom_out,
    "zoom-fit-best": zoom_fit_best,
    "zoom-original": zoom_original,
    "view-fullscreen": view_fullscreen,
    "view-refresh": view_refresh,
    "preferences-desktop-wallpaper": preferences_desktop_wallpaper,
    "edit-delete": edit_delete,
    "edit-copy": edit_copy,
    "object-rotate-right": object_rotate_right,
    "object-rotate-left": object_rotate_left,
    "system-run": system_run,
}
MIRRORED = {"object-rotate-left"}


def table_names(source):
    """The icon names of the action table: the quoted lower-case hyphenated words of its rows."""
    with open(source, encoding="utf-8") as f:
        text = f.read()
    names = set()
    for row in re.findall(r'^\s*\{"act\w*".*$', text, re.MULTILINE | re.IGNORECASE):
        names.update(re.findall(r'"([a-z]+(?:-[a-z]+)+)"', row))
    return names


def render(name, size):
    pen = Pen(size)
    DRAWINGS[name](pen)
    image = pen.result(size)
    if name in MIRRORED:
        image = image.transpose(Image.Transpose.FLIP_LEFT_RIGHT)
    return image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "icons")
    missing = table_names(os.path.join(root, "src", "app", "MainActions.cpp")) - DRAWINGS.keys()
    if missing:
        sys.exit("no drawing for: " + ", ".join(sorted(missing)))
    for size in SIZES:
        os.makedirs(os.path.join(out, str(size)), exist_ok=True)
        for name in sorted(DRAWINGS):
            render(name, size).save(os.path.join(out, str(size), name + ".png"), optimize=True)


if __name__ == "__main__":
    main()
