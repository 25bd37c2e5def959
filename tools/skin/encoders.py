"""File writers whose every byte the skin controls: animated GIF and Windows icon.

The GIF writer stores every frame whole, with one global palette and the same disposal for all
frames, so each decoder (GDI+ on Windows and Wine, browsers, Pillow) shows the same pictures.
The icon writer stores 32-bit images with their AND mask, which every Windows version reads,
and large images as PNG, as Windows does since Vista.
"""

import io
import struct


def _lzw_codes(indices, min_code_size):
    """Variable-width LZW codes of a GIF image, as (code, width) pairs."""
    clear = 1 << min_code_size
    end = clear + 1
    width = min_code_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    yield clear, width
    current = ()
    for value in indices:
        candidate = current + (value,)
        if candidate in table:
            current = candidate
            continue
        yield table[current], width
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder widens its codes one code later than the encoder adds the entry.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            yield clear, width
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        current = (value,)
    if current:
        yield table[current], width
    yield end, width


def _lzw_bytes(indices, min_code_size):
    out = bytearray()
    bits = 0
    count = 0
    for code, width in _lzw_codes(indices, min_code_size):
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def _sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif_bytes(width, height, palette, frames, delays, transparent=None):
    """An endlessly looping animated GIF.

    palette: list of RGB tuples (at most 256); frames: list of sequences of palette indices, row by
    row; delays: one per frame, in hundredths of a second (each at least 1, so that no player
    rests on a frame); transparent: index shown as transparent, or None.
    """
    if not 1 <= len(palette) <= 256:
        raise ValueError("a GIF palette holds 1 to 256 colours")
    if len(frames) != len(delays) or any(d < 1 for d in delays):
        raise ValueError("every frame needs a delay of at least one hundredth")
    bits = max(1, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))

    out = bytearray(b"GIF89a")
    # The background colour is the see-through one, so a decoder that clears to the background
    # (GDI+ does, before the first frame and on disposal) clears to transparent.
    background = transparent if transparent is not None else 0
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), background, 0)
    for r, g, b in table:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    min_code_size = max(2, bits)
    for pixels, delay in zip(frames, delays):
        if len(pixels) != width * height:
            raise ValueError("a frame must cover the whole picture")
        # Disposal 2 (restore to background): frames never build on each other.
        flags = (2 << 2) | (1 if transparent is not None else 0)
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delay,
                           transparent if transparent is not None else 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        out.append(min_code_size)
        out += _sub_blocks(_lzw_bytes(pixels, min_code_size))
    out.append(0x3B)
    return bytes(out)


def _icon_dib(image):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and AND mask of one RGBA image."""
    width, height = image.size
    pixels = image.load()
    xor = bytearray()
    mask_row = ((width + 31) // 32) * 4
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        row_mask = bytearray(mask_row)
        for x in range(width):
            r, g, b, a = pixels[x, y]
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def _png(image):
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def ico_bytes(images):
    """A .ico file of RGBA images in the given order (the first is what a default-size load takes)."""
    entries = []
    for image in images:
        width, height = image.size
        data = _png(image) if max(width, height) >= 256 else _icon_dib(image)
        entries.append((width, height, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for width, height, data in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    return bytes(out)
