#!/usr/bin/python3
"""Makes the small sample images in samples/: one or more of each built-in format.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_samples.py [OUTDIR]
The output is deterministic, so the committed files can be checked against it.
"""
import math
import os
import sys

from PIL import Image, ImageDraw


def landscape(w, h):
    """A sky-to-ground gradient with a sun and hills: smooth areas and edges."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            px[x, y] = (int(40 + 120 * t), int(90 + 100 * t), int(200 - 120 * t))
    d = ImageDraw.Draw(img)
    d.ellipse((w * 0.65, h * 0.12, w * 0.82, h * 0.12 + w * 0.17), fill=(250, 210, 80))
    hills = [(0, h)] + [(x, h * 0.62 + h * 0.08 * math.sin(x / w * 9)) for x in range(0, w + 1, 8)] + [(w, h)]
    d.polygon(hills, fill=(50, 120, 60))
    return img


def checker(w, h, cell):
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    colours = [(220, 60, 60), (60, 160, 220), (240, 240, 240), (30, 30, 30)]
    for y in range(0, h, cell):
        for x in range(0, w, cell):
            d.rectangle((x, y, x + cell - 1, y + cell - 1), fill=colours[(x // cell + 2 * (y // cell)) % 4])
    return img


def spinner_frames(size, count):
    frames = []
    for i in range(count):
        img = Image.new("P", (size, size), 0)
        img.putpalette([0, 0, 0, 255, 255, 255, 255, 80, 0, 0, 160, 255] + [0] * 744)
        d = ImageDraw.Draw(img)
        d.ellipse((8, 8, size - 8, size - 8), outline=1, width=4)
        a = 2 * math.pi * i / count
        cx, cy, r = size / 2, size / 2, size / 2 - 16
        d.ellipse((cx + r * math.cos(a) - 10, cy + r * math.sin(a) - 10,
                   cx + r * math.cos(a) + 10, cy + r * math.sin(a) + 10), fill=2 + i % 2)
        frames.append(img)
    return frames


def drop_jfif(path):
    """Cameras put the EXIF segment right after the start marker; Pillow writes
    a JFIF segment first. Drop it so the sample reads like a camera file."""
    data = open(path, "rb").read()
    if data[2:4] == b"\xff\xe0":
        length = int.from_bytes(data[4:6], "big")
        data = data[:2] + data[4 + length:]
    open(path, "wb").write(data)


def icon(size):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse((1, 1, size - 2, size - 2), fill=(255, 190, 30, 255), outline=(120, 60, 0, 255))
    d.rectangle((size * 0.3, size * 0.3, size * 0.7, size * 0.7), fill=(30, 90, 200, 255))
    return img


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "samples")
    os.makedirs(out, exist_ok=True)
    landscape(960, 640).save(os.path.join(out, "01-landscape.jpg"), quality=88)
    portrait = landscape(480, 360)
    exif = Image.Exif()
    exif[0x0112] = 6  # stored sideways: turn right to show upright
    portrait.save(os.path.join(out, "02-sideways.jpg"), quality=88, exif=exif.tobytes())
    drop_jfif(os.path.join(out, "02-sideways.jpg"))
    checker(320, 240, 20).save(os.path.join(out, "03-checker.bmp"))
    frames = spinner_frames(160, 8)
    frames[0].save(os.path.join(out, "04-spinner.gif"), save_all=True, append_images=frames[1:],
                   duration=100, loop=0)
    icon(48).save(os.path.join(out, "05-badge.ico"), sizes=[(16, 16), (32, 32), (48, 48)])


if __name__ == "__main__":
    main()
