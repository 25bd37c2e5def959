"""Line-art glyphs shared by the buttons, drawn into a mask inside a square box.

Every glyph takes the mask, the box's left, top and side, and a stroke width; strokes are placed
on half pixels where a one-pixel-wide line should stay sharp.
"""

import math


def play(m, x, y, s):
    # An equilateral-looking triangle, optically centred (moved right by a twelfth).
    dx = s / 12
    m.polygon([(x + s * 0.22 + dx, y + s * 0.12), (x + s * 0.22 + dx, y + s * 0.88),
               (x + s * 0.86 + dx, y + s * 0.5)])


def pause(m, x, y, s):
    bar = max(1.0, round(s * 0.26))
    gap = max(1.0, round(s * 0.2))
    left = x + round((s - 2 * bar - gap) / 2)
    m.rect(left, y + round(s * 0.12), left + bar, y + s - round(s * 0.12))
    m.rect(left + bar + gap, y + round(s * 0.12), left + 2 * bar + gap, y + s - round(s * 0.12))


def chevron(m, x, y, s, direction, w):
    """An open arrow head pointing "left", "right", "up" or "down"."""
    a, b = s * 0.3, s * 0.6
    if direction == "down":
        pts = [(x + s * 0.2, y + a + 0.5), (x + s / 2, y + b + 0.5), (x + s * 0.8, y + a + 0.5)]
    elif direction == "up":
        pts = [(x + s * 0.2, y + s - a - 0.5), (x + s / 2, y + s - b - 0.5),
               (x + s * 0.8, y + s - a - 0.5)]
    elif direction == "right":
        pts = [(x + s * 0.38, y + s * 0.18), (x + s * 0.68, y + s / 2), (x + s * 0.38, y + s * 0.82)]
    else:
        pts = [(x + s * 0.62, y + s * 0.18), (x + s * 0.32, y + s / 2), (x + s * 0.62, y + s * 0.82)]
    m.line(pts, w)


def cross(m, x, y, s, w):
    k = s * 0.22
    m.line([(x + k, y + k), (x + s - k, y + s - k)], w)
    m.line([(x + s - k, y + k), (x + k, y + s - k)], w)


def check(m, x, y, s, w):
    m.line([(x + s * 0.2, y + s * 0.52), (x + s * 0.42, y + s * 0.74), (x + s * 0.8, y + s * 0.3)], w)


def download(m, x, y, s, w):
    """Arrow going down into an open tray."""
    cx = x + s / 2
    m.line([(cx, y + s * 0.1), (cx, y + s * 0.62)], w)
    m.line([(cx - s * 0.25, y + s * 0.38), (cx, y + s * 0.63), (cx + s * 0.25, y + s * 0.38)], w)
    m.line([(x + s * 0.1, y + s * 0.66), (x + s * 0.1, y + s * 0.88), (x + s * 0.9, y + s * 0.88),
            (x + s * 0.9, y + s * 0.66)], w)


def archive(m, x, y, s, w):
    """A sheet with a zip running down its middle."""
    m.rrect(x + s * 0.14, y + s * 0.04, x + s * 0.86, y + s * 0.96, s * 0.1)
    m.cut_rrect(x + s * 0.14 + w, y + s * 0.04 + w, x + s * 0.86 - w, y + s * 0.96 - w,
                max(0.5, s * 0.1 - w))
    cx = round(x + s / 2)
    tooth = max(2.0, round(s * 0.1))
    top = y + s * 0.04 + w
    for i in range(4):
        ty = top + i * tooth
        if i % 2 == 0:
            m.rect(cx - tooth, ty, cx, ty + tooth)
        else:
            m.rect(cx, ty, cx + tooth, ty + tooth)
    pull = top + 4 * tooth + 1
    m.rrect(cx - tooth, pull, cx + tooth, pull + tooth * 2.2, tooth * 0.4)
    m.cut_rect(cx - tooth + w * 0.75, pull + tooth * 1.1, cx + tooth - w * 0.75, pull + tooth * 2.2 - w * 0.75)


def printer(m, x, y, s, w):
    # Paper sheet on top, body, output sheet.
    m.rect(x + s * 0.26, y + s * 0.08, x + s * 0.74, y + s * 0.34)
    m.cut_rect(x + s * 0.26 + w, y + s * 0.08 + w, x + s * 0.74 - w, y + s * 0.34 + w)
    m.rrect(x + s * 0.06, y + s * 0.32, x + s * 0.94, y + s * 0.72, s * 0.1)
    m.cut_rect(x + s * 0.24, y + s * 0.58, x + s * 0.76, y + s * 0.74)
    m.rect(x + s * 0.26, y + s * 0.58, x + s * 0.74, y + s * 0.94)
    m.cut_rect(x + s * 0.26 + w, y + s * 0.58 + w, x + s * 0.74 - w, y + s * 0.94 - w)
    m.rect(x + s * 0.26 + w * 2, y + s * 0.72, x + s * 0.74 - w * 2, y + s * 0.72 + w * 0.8)
    m.cut_ellipse(x + s * 0.78, y + s * 0.44, s * 0.045)


def check_box(m, x, y, s, w, checked):
    m.rrect(x + s * 0.1, y + s * 0.1, x + s * 0.9, y + s * 0.9, s * 0.18)
    if checked:
        m.cut_line([(x + s * 0.28, y + s * 0.5), (x + s * 0.44, y + s * 0.66), (x + s * 0.72, y + s * 0.36)],
                   w * 1.1)
    else:
        m.cut_rrect(x + s * 0.1 + w, y + s * 0.1 + w, x + s * 0.9 - w, y + s * 0.9 - w,
                    max(0.5, s * 0.18 - w))


def arc(m, cx, cy, r, start, end, w, steps=24):
    """A circular arc from angle start to end (degrees, clockwise from three o'clock)."""
    pts = []
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    m.line(pts, w)


def full_screen(m, x, y, s, w, h=None):
    """Four corner brackets of a box s wide and h high."""
    h = s if h is None else h
    arm = round(min(s, h) * 0.3)
    for (cx, cy, dx, dy) in ((x, y, 1, 1), (x + s, y, -1, 1), (x, y + h, 1, -1), (x + s, y + h, -1, -1)):
        x0, x1 = sorted((cx, cx + dx * arm))
        y0, y1 = sorted((cy, cy + dy * w))
        m.rect(x0, y0, x1, y1)
        x0, x1 = sorted((cx, cx + dx * w))
        y0, y1 = sorted((cy, cy + dy * arm))
        m.rect(x0, y0, x1, y1)


def expand(m, x, y, s, w):
    """Two arrows pointing out to opposite corners."""
    a, b = s * 0.16, s * 0.84
    head = s * 0.26
    m.line([(x + a, y + a + head), (x + a, y + a), (x + a + head, y + a)], w)
    m.line([(x + a, y + a), (x + s * 0.42, y + s * 0.42)], w)
    m.line([(x + b, y + b - head), (x + b, y + b), (x + b - head, y + b)], w)
    m.line([(x + b, y + b), (x + s * 0.58, y + s * 0.58)], w)


def external(m, x, y, s, w):
    """A box with an arrow leaving through its top-right corner."""
    m.line([(x + s * 0.44, y + s * 0.18), (x + s * 0.16, y + s * 0.18), (x + s * 0.16, y + s * 0.84),
            (x + s * 0.82, y + s * 0.84), (x + s * 0.82, y + s * 0.56)], w)
    m.line([(x + s * 0.44, y + s * 0.56), (x + s * 0.86, y + s * 0.14)], w)
    m.line([(x + s * 0.58, y + s * 0.14), (x + s * 0.86, y + s * 0.14), (x + s * 0.86, y + s * 0.42)], w)


def info(m, x, y, s, w):
    """A lower-case i inside a circle."""
    cx, cy = x + s / 2, y + s / 2
    m.ring(cx, cy, s / 2, w)
    m.ellipse(cx, y + s * 0.3, w * 0.75)
    m.rrect(cx - w * 0.6, y + s * 0.42, cx + w * 0.6, y + s * 0.76, w * 0.3)


def photo(m, x, y, s, w):
    """A framed landscape: the picture part of the logo."""
    m.rrect(x, y, x + s, y + s * 0.8, s * 0.12)
    m.cut_rrect(x + w, y + w, x + s - w, y + s * 0.8 - w, max(0.5, s * 0.12 - w))
    m.polygon([(x + w, y + s * 0.8 - w), (x + s * 0.36, y + s * 0.38), (x + s * 0.6, y + s * 0.62),
               (x + s * 0.72, y + s * 0.5), (x + s - w, y + s * 0.74), (x + s - w, y + s * 0.8 - w)])
    m.ellipse(x + s * 0.72, y + s * 0.26, s * 0.08)
