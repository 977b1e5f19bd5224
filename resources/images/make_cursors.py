#!/usr/bin/env python3
"""Draws the program's two pointer pictures and writes them as Windows cursor files.

hand.cur   - the pointer over clickable controls (a pointing hand)
attack.cur - the arrow

Each file holds a 32 x 32 and a 64 x 64 picture (100 % and 200 % scaling), 32-bit with alpha.
The shapes are signed distance functions, so both sizes come from one description.
Run it from any folder; it writes beside itself.
"""
import math
import os
import struct

SUPER = 4  # samples per pixel edge


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def polygon(points):
    def sdf(x, y):
        d = min(seg_dist(x, y, *points[i], *points[(i + 1) % len(points)]) for i in range(len(points)))
        inside = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return -d if inside else d
    return sdf


def capsule(ax, ay, bx, by, r):
    return lambda x, y: seg_dist(x, y, ax, ay, bx, by) - r


def rounded_box(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def render(size, shape, fill, outline, edge, accent=None):
    """shape works in 32-unit space. Returns rows of (r, g, b, a), top row first."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = (px + (sx + 0.5) / SUPER) * scale
                    y = (py + (sy + 0.5) / SUPER) * scale
                    d = shape(x, y)
                    colour = None
                    if d <= 0:
                        colour = fill
                        if accent and accent[0](x, y) <= 0:
                            colour = accent[1]
                        if d > -edge:
                            colour = outline
                    elif d <= 1.0:
                        colour = (0, 0, 0, 255)  # dark rim so the pointer shows on light ground too
                    if colour:
                        a = colour[3] / 255.0
                        acc[0] += colour[0] * a
                        acc[1] += colour[1] * a
                        acc[2] += colour[2] * a
                        acc[3] += a
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(alpha * 255)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides; the AND mask stays clear
    return header + pixels + mask


def write_cur(path, pictures, hotspot):
    count = len(pictures)
    offset = 6 + 16 * count
    directory = struct.pack('<HHH', 0, 2, count)
    blobs = b''
    for rows in pictures:
        size = len(rows)
        data = bmp_entry(rows)
        hx, hy = (int(round(hotspot[0] * size / 32.0)), int(round(hotspot[1] * size / 32.0)))
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, hx, hy, len(data), offset)
        offset += len(data)
        blobs += data
    with open(path, 'wb') as f:
        f.write(directory + blobs)


RED = (0xE0, 0x20, 0x2A, 255)
WHITE = (0xF4, 0xF5, 0xF7, 255)
DARK = (0x15, 0x18, 0x1D, 255)

# The arrow: its tip is the hot spot.
arrow = polygon([(2, 2), (2, 24), (7.5, 19), (11.5, 28), (15, 26.5), (11, 17.8), (18.5, 17.8)])
arrow_stripe = polygon([(4.2, 6.5), (4.2, 18.5), (13.5, 15.8)])

# The hand: the index finger points up; its tip is the hot spot.
hand = union(
    capsule(12, 4.5, 12, 16, 2.6),            # index finger
    capsule(15.6, 13, 15.6, 18, 2.4),             # folded fingers
    capsule(19.5, 14, 19.5, 19, 2.4),
    capsule(23.2, 15.5, 23.2, 20, 2.3),
    capsule(5.5, 17.5, 9.2, 22.5, 2.3),           # thumb
    rounded_box(8.8, 15.5, 25.5, 28.5, 4.5),      # palm
)
hand_cuff = rounded_box(8.8, 25.0, 25.5, 28.5, 2.0)

here = os.path.dirname(os.path.abspath(__file__))
write_cur(os.path.join(here, 'attack.cur'),
          [render(s, arrow, WHITE, DARK, 1.1, (arrow_stripe, RED)) for s in (32, 64)], (2, 2))
write_cur(os.path.join(here, 'hand.cur'),
          [render(s, hand, WHITE, DARK, 1.1, (hand_cuff, RED)) for s in (32, 64)], (12, 2))
