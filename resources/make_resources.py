#!/usr/bin/env python3
"""Generates the pictures and the sound that Velmora loads by name from its resource folder.

    python3 resources/make_resources.py [output folder]   (default: the folder of this script)

Standard library only: PNG through zlib/struct, WAV through wave. The output is
deterministic, so the committed files change only when this script does.
  Moyeu2.png                  the hub picture of the pitch gauge (drawn at 0.51 scale,
                              its top left at (-18, -20), the hub centre lands on (75, 43))
  DariVozirovavavavover.png   the logo of the top row (fitted into 174 x 40)
  alarm_hydro.wav             the input-voltage alarm
"""
import math
import os
import struct
import sys
import wave
import zlib

SUPERSAMPLE = 4  # samples per pixel side for smooth edges


def write_png(path, width, height, pixel_rows):
    """pixel_rows: list of rows, each a list of (r, g, b, a) tuples, 0..255."""
    raw = bytearray()
    for row in pixel_rows:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def render(width, height, layers):
    """layers: list of (coverage(x, y) -> bool, colour(x, y) -> (r, g, b)) painted in order,
    each pixel sampled SUPERSAMPLE x SUPERSAMPLE times; result is premultiplied-free RGBA."""
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied r, g, b, alpha
            for oy in offsets:
                for ox in offsets:
                    x, y = px + ox, py + oy
                    colour = None
                    for covers, paint in layers:
                        if covers(x, y):
                            colour = paint(x, y)
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1.0
            samples = n * n
            alpha = acc[3] / samples
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(alpha * 255)),))
        rows.append(row)
    return rows


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def shade(base, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in base)


# --- Moyeu2: the hub seen from the side, its shaft running to the left ------------------

def make_hub(path):
    width, height = 366, 248
    cx, cy, radius = 183.0, 124.0, 52.0  # hub centre, lands on the gauge's (75, 43)
    steel = (150, 160, 170)

    def shaft(x, y):
        return 0 <= x <= cx and abs(y - cy) <= 17

    def shaft_colour(x, y):
        return shade(steel, 0.75 + 0.35 * math.cos((y - cy) / 17 * 1.4))

    def bearing(x, y):
        return 40 <= x <= 78 and abs(y - cy) <= 34

    def bearing_colour(x, y):
        return shade((110, 120, 130), 0.8 + 0.25 * math.cos((y - cy) / 34 * 1.4))

    def hub(x, y):
        # a rounded nose: a disc merged with a cone pointing right
        if math.hypot(x - cx, y - cy) <= radius:
            return True
        return cx <= x <= cx + 2.1 * radius and abs(y - cy) <= radius * (1 - (x - cx) / (2.1 * radius))

    def hub_colour(x, y):
        light = 0.7 + 0.45 * max(0.0, 1 - math.hypot(x - (cx - 18), y - (cy - 22)) / (2.2 * radius))
        return shade((175, 185, 195), light)

    def rim(x, y):
        return abs(math.hypot(x - cx, y - cy) - radius) <= 1.6 and x <= cx

    rows = render(width, height, [
        (shaft, shaft_colour),
        (bearing, bearing_colour),
        (hub, hub_colour),
        (rim, lambda x, y: (70, 80, 90)),
    ])
    write_png(path, width, height, rows)


# --- The logo: a turbine emblem and the name -------------------------------------------

# Stroke letters in a 0..1 box (x right, y down), as polylines.
LETTERS = {
    "V": [[(0, 0), (0.5, 1), (1, 0)]],
    "E": [[(1, 0), (0, 0), (0, 1), (1, 1)], [(0, 0.5), (0.75, 0.5)]],
    "L": [[(0, 0), (0, 1), (1, 1)]],
    "M": [[(0, 1), (0, 0), (0.5, 0.6), (1, 0), (1, 1)]],
    "O": [[(0.5 + 0.5 * math.cos(a / 24 * 2 * math.pi), 0.5 + 0.5 * math.sin(a / 24 * 2 * math.pi))
           for a in range(25)]],
    "R": [[(0, 1), (0, 0), (0.6, 0)]
          + [(0.6 + 0.27 * math.cos(a), 0.27 + 0.27 * math.sin(a))
             for a in [-math.pi / 2 + i * math.pi / 8 for i in range(9)]]
          + [(0, 0.54)], [(0.45, 0.54), (1, 1)]],
    "A": [[(0, 1), (0.5, 0), (1, 1)], [(0.22, 0.62), (0.78, 0.62)]],
}


def make_logo(path):
    width, height = 696, 160
    blue = (0x5A, 0x91, 0xA8)
    dark = (0x2C, 0x55, 0x6B)
    ecx, ecy, er = 80.0, 80.0, 66.0

    segments = []
    x0, top, size, advance, stroke = 180.0, 38.0, 84.0, 70.0, 7.5
    for i, letter in enumerate("VELMORA"):
        left = x0 + i * advance
        letter_width = size * 0.72
        for line in LETTERS[letter]:
            for (ax, ay), (bx, by) in zip(line, line[1:]):
                segments.append((left + ax * letter_width, top + ay * size,
                                 left + bx * letter_width, top + by * size))

    def text(x, y):
        if not (x0 - stroke <= x <= x0 + 7 * advance and top - stroke <= y <= top + size + stroke):
            return False
        return any(segment_distance(x, y, *s) <= stroke / 2 for s in segments)

    def ring(x, y):
        return abs(math.hypot(x - ecx, y - ecy) - er) <= 5

    def blades(x, y):
        # three curved blades of a turbine runner around a small hub
        r = math.hypot(x - ecx, y - ecy)
        if r > er - 12 or r < 14:
            return r <= 14
        a = math.atan2(y - ecy, x - ecx) - 0.018 * r  # the sweep bends the blades
        phase = (a / (2 * math.pi / 3)) % 1.0
        return phase < 0.16 + 0.0015 * (er - r)

    rows = render(width, height, [
        (ring, lambda x, y: dark),
        (blades, lambda x, y: blue),
        (text, lambda x, y: blue),
    ])
    write_png(path, width, height, rows)


# --- alarm_hydro.wav: a two-tone alarm --------------------------------------------------

def make_alarm(path):
    rate = 22050
    tone = 0.15  # seconds per tone
    frames = bytearray()
    for k in range(6):
        frequency = 880.0 if k % 2 == 0 else 660.0
        count = int(rate * tone)
        for i in range(count):
            t = i / rate
            envelope = min(1.0, i / 220.0, (count - i) / 220.0)  # no clicks at the edges
            value = 0.6 * envelope * math.sin(2 * math.pi * frequency * t)
            frames += struct.pack("<h", int(value * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    make_hub(os.path.join(out, "Moyeu2.png"))
    make_logo(os.path.join(out, "DariVozirovavavavover.png"))
    make_alarm(os.path.join(out, "alarm_hydro.wav"))


if __name__ == "__main__":
    main()
