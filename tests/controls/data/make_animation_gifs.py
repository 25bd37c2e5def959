"""Writes the small GIFs of the animated picture's tests into this folder.

Each frame fills the whole 8 x 8 picture with one colour, so a test can tell the frame shown
from one pixel. Run it again only when the set changes; its output is kept beside it.
"""

import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "..", "tools", "skin"))
import encoders  # noqa: E402  (the skin's LZW writer)

SIZE = 8
PALETTE = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]  # red, green, blue, yellow


def gif(frames, delays=None, transparent=None):
    """frames: palette index lists; delays: hundredths per frame, or None for no control blocks."""
    out = bytearray(b"GIF89a")
    # GDI+ clears to the background colour on disposal: it must be the see-through one.
    background = transparent if transparent is not None else 0
    out += struct.pack("<HHBBB", SIZE, SIZE, 0x80 | (1 << 4) | 1, background, 0)
    for colour in PALETTE:
        out += bytes(colour)
    if len(frames) > 1:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for index, pixels in enumerate(frames):
        if delays is not None:
            flags = (2 << 2) | (1 if transparent is not None else 0)
            out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delays[index],
                               transparent if transparent is not None else 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, SIZE, SIZE, 0)
        out.append(2)
        out += encoders._sub_blocks(encoders._lzw_bytes(pixels, 2))
    out.append(0x3B)
    return bytes(out)


def filled(index):
    return [index] * (SIZE * SIZE)


def left_half_clear(index, clear):
    return [clear if x < SIZE // 2 else index for _ in range(SIZE) for x in range(SIZE)]


FILES = {
    "three-frames.gif": gif([filled(0), filled(1), filled(2)], [10, 20, 30]),
    "five-frames.gif": gif([filled(0), filled(1), filled(2), filled(3), filled(0)], [5] * 5),
    "still.gif": gif([filled(3)]),
    "zero-delay.gif": gif([filled(0), filled(1), filled(2)], [10, 0, 10]),
    "half-clear.gif": gif([left_half_clear(0, 3), left_half_clear(1, 3)], [10, 10], transparent=3),
}

for name, data in FILES.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
