#!/usr/bin/env python3
"""Generates the program's own pictures and sound into resources/.

Run once by a developer; the outputs are committed. Needs ImageMagick's
`convert` (for JPEG) and `sox` (for the camera sound).
"""
import math
import os
import random
import struct
import subprocess
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


def clamp(v):
    return max(0, min(255, int(v)))


def landscape(w, h, seed):
    """A small photograph-like landscape: sky, sun, hills, a lake."""
    rnd = random.Random(seed)
    px = []
    ridge = [h * 0.55 + 18 * math.sin(x / 37.0) + 9 * math.sin(x / 11.0 + 1) for x in range(w)]
    far = [h * 0.47 + 14 * math.sin(x / 53.0 + 2) for x in range(w)]
    sun = (w * 0.72, h * 0.22, h * 0.09)
    for y in range(h):
        row = []
        for x in range(w):
            t = y / h
            r, g, b = 90 + 110 * t, 150 + 70 * t, 235 - 20 * t
            d = math.hypot(x - sun[0], y - sun[1])
            if d < sun[2]:
                r, g, b = 255, 236, 170
            elif d < sun[2] * 2.5:
                k = 1 - (d - sun[2]) / (sun[2] * 1.5)
                r, g, b = r + 80 * k, g + 50 * k, b - 10 * k
            if y > far[x]:
                r, g, b = 95, 120, 150
            if y > ridge[x]:
                k = (y - ridge[x]) / h
                r, g, b = 50 + 60 * k, 110 - 30 * k, 45
            if y > h * 0.80:
                k = (y - h * 0.80) / (h * 0.2)
                r, g, b = 40 + 30 * k, 90 + 40 * k, 140 + 40 * k
            n = rnd.gauss(0, 6)
            row.append((clamp(r + n), clamp(g + n), clamp(b + n)))
        px.append(row)
    return px


def camera(w, h, seed):
    """A camera on a table, photograph-like."""
    rnd = random.Random(seed)
    px = []
    for y in range(h):
        row = []
        for x in range(w):
            r, g, b = 205 - y * 0.5, 195 - y * 0.5, 180 - y * 0.4
            if y > h * 0.78:
                r, g, b = 140, 100, 70
            body = 10 <= x < w - 10 and h * 0.35 <= y < h * 0.75
            top = w * 0.30 <= x < w * 0.62 and h * 0.25 <= y < h * 0.36
            if body or top:
                r, g, b = 45, 48, 55
                if h * 0.40 <= y < h * 0.44:
                    r, g, b = 150, 150, 155
            d = math.hypot(x - w / 2, y - h * 0.55)
            if d < h * 0.16:
                k = d / (h * 0.16)
                r, g, b = 20 + 60 * k, 30 + 70 * k, 60 + 90 * k
                if d < h * 0.05:
                    r, g, b = 170, 190, 230
            if math.hypot(x - w * 0.8, y - h * 0.42) < 4:
                r, g, b = 240, 60, 40
            n = rnd.gauss(0, 4)
            row.append((clamp(r + n), clamp(g + n), clamp(b + n)))
        px.append(row)
    return px


def write_ppm(path, px):
    h, w = len(px), len(px[0])
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (w, h))
        for row in px:
            f.write(bytes(c for p in row for c in p))


def jpeg(name, px, quality):
    ppm = os.path.join(OUT, name + ".ppm")
    write_ppm(ppm, px)
    subprocess.check_call(["convert", ppm, "-strip", "-quality", str(quality), "-sampling-factor", "2x2",
                           os.path.join(OUT, name + ".jpg")])
    os.remove(ppm)


def icon48():
    """The program's 48 x 48, 24-bit icon: a camera on a blue tile."""
    n = 48
    px = [[(0, 0, 0)] * n for _ in range(n)]
    mask = [[1] * n for _ in range(n)]  # 1 = transparent
    for y in range(n):
        for x in range(n):
            if 2 <= x < 46 and 2 <= y < 46 and not ((x < 6 or x > 41) and (y < 6 or y > 41)):
                mask[y][x] = 0
                px[y][x] = (40, 110 + y, 200)
            body = 8 <= x < 40 and 16 <= y < 38
            top = 17 <= x < 30 and 11 <= y < 17
            if body or top:
                px[y][x] = (235, 238, 242)
            d = math.hypot(x - 24, y - 27)
            if d < 8:
                px[y][x] = (30, 40, 60) if d > 3 else (150, 190, 240)
            if math.hypot(x - 35, y - 20) < 2:
                px[y][x] = (230, 70, 50)
    # BITMAPINFOHEADER with doubled height (XOR + AND), 24 bpp, bottom-up.
    stride = (n * 3 + 3) & ~3
    xor = b""
    for y in reversed(range(n)):
        row = b"".join(bytes((b, g, r)) for (r, g, b) in px[y])
        xor += row + b"\0" * (stride - n * 3)
    mstride = ((n + 31) // 32) * 4
    andm = b""
    for y in reversed(range(n)):
        bits = 0
        row = bytearray(mstride)
        for x in range(n):
            if mask[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        andm += bytes(row)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 24, 0, len(xor) + len(andm), 0, 0, 0, 0)
    image = header + xor + andm
    ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", n, n, 0, 0, 1, 24, len(image), 22) + image
    with open(os.path.join(OUT, "framewick.ico"), "wb") as f:
        f.write(ico)


def sound():
    # A short shutter: a click, a burst of filtered noise, a second click.
    subprocess.check_call(["sox", "-n", "-r", "22050", "-c", "1", "-b", "16", os.path.join(OUT, "camera.wav"),
                           "synth", "0.12", "whitenoise", "band", "3000", "1500", "fade", "0", "0.12", "0.1",
                           "gain", "-6"])


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    jpeg("sample", landscape(350, 290, 7), 85)
    jpeg("camera", camera(97, 107, 3), 88)
    icon48()
    sound()
    print("assets written to", os.path.abspath(OUT))
