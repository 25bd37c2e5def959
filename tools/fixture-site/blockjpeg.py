"""A tiny baseline JPEG writer for pictures made of flat 8x8 blocks.

The fixture site needs real, decodable pictures that differ per item, and must not depend on
anything beyond the standard library. A picture whose every 8x8 block has one colour needs no
DCT: each block is its DC coefficient alone, so the encoder is exact and fast.
"""

import struct

# Standard DC luminance code lengths (counts per length 1..16) and symbols.
_DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
_DC_SYMBOLS = list(range(12))
# Only end-of-block is ever written; a second symbol keeps the table an ordinary one.
_AC_BITS = [1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
_AC_SYMBOLS = [0x00, 0xF0]
# With every quantiser 8, a flat block of value v has the quantised DC v - 128 exactly.
_QUANT = 8


def _huffman_codes(bits, symbols):
    codes = {}
    code = 0
    k = 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


_DC_CODES = _huffman_codes(_DC_BITS, _DC_SYMBOLS)
_EOB = _huffman_codes(_AC_BITS, _AC_SYMBOLS)[0x00]


class _BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def write(self, value, length):
        self.acc = (self.acc << length) | (value & ((1 << length) - 1))
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0x00)  # byte stuffing
        self.acc &= (1 << self.count) - 1

    def flush(self):
        if self.count:
            self.write((1 << (8 - self.count)) - 1, 8 - self.count)  # pad with one bits
        return bytes(self.out)


def _ycbcr(rgb):
    r, g, b = rgb
    y = 0.299 * r + 0.587 * g + 0.114 * b
    cb = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b
    cr = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b
    return tuple(min(255, max(0, int(round(c)))) for c in (y, cb, cr))


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def encode(blocks):
    """Encodes a picture given as rows of (r, g, b) colours, one per 8x8 block."""
    rows = len(blocks)
    cols = len(blocks[0])
    height, width = rows * 8, cols * 8

    header = bytearray(b"\xFF\xD8")
    header += _segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    header += _segment(0xDB, bytes([0x00]) + bytes([_QUANT] * 64))
    header += _segment(0xC0, struct.pack(">BHHB", 8, height, width, 3)
                       + bytes([1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0]))
    header += _segment(0xC4, bytes([0x00]) + bytes(_DC_BITS) + bytes(_DC_SYMBOLS))
    header += _segment(0xC4, bytes([0x10]) + bytes(_AC_BITS) + bytes(_AC_SYMBOLS))
    header += _segment(0xDA, bytes([3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0]))

    bits = _BitWriter()
    previous = [0, 0, 0]
    cache = {}
    for row in blocks:
        for rgb in row:
            ycc = cache.get(rgb)
            if ycc is None:
                ycc = cache[rgb] = _ycbcr(rgb)
            for component in range(3):
                dc = ycc[component] - 128
                diff = dc - previous[component]
                previous[component] = dc
                size = abs(diff).bit_length()
                code, length = _DC_CODES[size]
                bits.write(code, length)
                if size:
                    bits.write(diff if diff > 0 else diff + (1 << size) - 1, size)
                bits.write(*_EOB)
    return bytes(header) + bits.flush() + b"\xFF\xD9"
