"""Item pictures: a colour band background with the item's number written large on it.

Each item gets its own hue and number, so a viewer can tell the pictures apart at a glance;
the thumbnail and the full-size picture of one item look alike at different sizes.
"""

import colorsys
import hashlib

import blockjpeg

# 3x5 digit glyphs, one string per row.
_GLYPHS = {
    "0": ("###", "#.#", "#.#", "#.#", "###"),
    "1": (".#.", "##.", ".#.", ".#.", "###"),
    "2": ("###", "..#", "###", "#..", "###"),
    "3": ("###", "..#", ".##", "..#", "###"),
    "4": ("#.#", "#.#", "###", "..#", "..#"),
    "5": ("###", "#..", "###", "..#", "###"),
    "6": ("###", "#..", "###", "#.#", "###"),
    "7": ("###", "..#", ".#.", ".#.", ".#."),
    "8": ("###", "#.#", "###", "#.#", "###"),
    "9": ("###", "#.#", "###", "..#", "###"),
}


def _hue(seed):
    return int(hashlib.sha1(seed.encode("utf-8")).hexdigest()[:8], 16) / 0xFFFFFFFF


def _rgb(h, s, v):
    return tuple(int(round(c * 255)) for c in colorsys.hsv_to_rgb(h % 1.0, s, v))


def item_picture(seed, number, size, height=None):
    """JPEG bytes of a size x size picture, or size x height (multiples of 8), for one item."""
    cells = size // 8
    rows = (height or size) // 8
    hue = _hue(seed)
    blocks = []
    for y in range(rows):
        # Bands of slowly changing brightness give the picture some texture.
        shade = 0.55 + 0.35 * ((y * 4 // rows) % 2)
        row = [_rgb(hue + 0.04 * ((x * 6) // cells), 0.65, shade) for x in range(cells)]
        blocks.append(row)

    text = str(number)
    scale = max(1, min(cells, rows) // 20)  # blocks per glyph pixel
    text_width = (len(text) * 4 - 1) * scale
    left = max(0, (cells - text_width) // 2)
    top = max(0, (rows - 5 * scale) // 2)
    ink = _rgb(hue + 0.5, 0.2, 1.0)
    for i, digit in enumerate(text):
        for gy, line in enumerate(_GLYPHS[digit]):
            for gx, mark in enumerate(line):
                if mark != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (i * 4 + gx) * scale + dx
                        y = top + gy * scale + dy
                        if x < cells and y < rows:
                            blocks[y][x] = ink
    return blockjpeg.encode(blocks)


def video_bytes(seed, number):
    """Bytes that stand in for an item's video: a file-type box and deterministic filler."""
    body = ("fixture video %s #%d\n" % (seed, number)).encode("utf-8") * 64
    head = b"\x00\x00\x00\x18ftypmp42\x00\x00\x00\x00mp42isom"
    return head + body
