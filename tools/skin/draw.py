"""A small drawing kit for the skin: shapes drawn oversampled and reduced, text drawn hinted.

Coordinates are in the picture's own pixels (floats allowed); x1/y1 of a rectangle are exclusive,
so rect(0, 0, w, h) covers the whole picture. Shapes are drawn SS times larger into coverage masks
and composited "over" the picture; reducing by area averaging gives exact anti-aliasing, and a
shape whose edges lie on whole pixels stays perfectly sharp. Text is drawn at the final size with
FreeType's hinting, which keeps small labels crisp.
"""

import os

from PIL import Image, ImageDraw, ImageFont

SS = 8  # oversampling factor of shapes

FONT_FOLDER = "/usr/share/fonts/truetype/dejavu"
_fonts = {}


def colorref(value):
    """RGB tuple of a Windows COLORREF (0x00BBGGRR)."""
    return (value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def rgba(color, alpha=255):
    return (color[0], color[1], color[2], int(round(alpha)))


def font(size, bold=True):
    key = (size, bold)
    if key not in _fonts:
        name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
        _fonts[key] = ImageFont.truetype(os.path.join(FONT_FOLDER, name), size)
    return _fonts[key]


def text_size(text, size, bold=True):
    left, top, right, bottom = font(size, bold).getbbox(text)
    return right - left, bottom - top


class Mask:
    """Coverage of one or more shapes; `cut_*` operations remove coverage."""

    def __init__(self, width, height):
        self.image = Image.new("L", (width * SS, height * SS), 0)
        self._draw = ImageDraw.Draw(self.image)

    @staticmethod
    def _box(x0, y0, x1, y1):
        return [round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1]

    @staticmethod
    def _points(points):
        return [(x * SS, y * SS) for x, y in points]

    def rect(self, x0, y0, x1, y1, value=255):
        if x1 > x0 and y1 > y0:
            self._draw.rectangle(self._box(x0, y0, x1, y1), fill=value)
        return self

    def rrect(self, x0, y0, x1, y1, radius, value=255):
        radius = min(radius, (x1 - x0) / 2, (y1 - y0) / 2)
        if radius <= 0:
            return self.rect(x0, y0, x1, y1, value)
        self._draw.rounded_rectangle(self._box(x0, y0, x1, y1), radius=round(radius * SS), fill=value)
        return self

    def ellipse(self, cx, cy, rx, ry=None, value=255):
        ry = rx if ry is None else ry
        self._draw.ellipse(self._box(cx - rx, cy - ry, cx + rx, cy + ry), fill=value)
        return self

    def ring(self, cx, cy, radius, width, value=255):
        """A circle outline whose outer edge has the given radius."""
        self.ellipse(cx, cy, radius, value=value)
        return self.ellipse(cx, cy, radius - width, value=0 if value else 255)

    def polygon(self, points, value=255):
        self._draw.polygon(self._points(points), fill=value)
        return self

    def line(self, points, width, value=255, caps="round"):
        """A polyline of the given width; round caps and joins unless caps is "butt"."""
        pts = self._points(points)
        self._draw.line(pts, fill=value, width=max(1, round(width * SS)), joint="curve")
        if caps == "round":
            r = width * SS / 2
            for x, y in (pts[0], pts[-1]):
                self._draw.ellipse([x - r, y - r, x + r - 1, y + r - 1], fill=value)
        return self

    def cut_rect(self, *args):
        return self.rect(*args, value=0)

    def cut_rrect(self, *args):
        return self.rrect(*args, value=0)

    def cut_ellipse(self, cx, cy, rx, ry=None):
        return self.ellipse(cx, cy, rx, ry, value=0)

    def cut_polygon(self, points):
        return self.polygon(points, value=0)

    def cut_line(self, points, width, caps="round"):
        return self.line(points, width, value=0, caps=caps)


class Canvas:
    """One picture being drawn. Shapes go to the oversampled layer, text and pixels to the final one."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        fill = rgba(background) if background is not None else (0, 0, 0, 0)
        self._big = Image.new("RGBA", (width * SS, height * SS), fill)
        self._late = []  # drawing done after the reduction: (kind, arguments)

    def mask(self):
        return Mask(self.width, self.height)

    def paint(self, mask, color, alpha=255):
        """Composite a colour through a coverage mask."""
        coverage = mask.image
        if alpha != 255:
            coverage = coverage.point(lambda v: v * alpha // 255)
        layer = Image.new("RGBA", self._big.size, rgba(color, 0))
        layer.putalpha(coverage)
        self._big = Image.alpha_composite(self._big, layer)

    def fill(self, color, alpha=255, shape=None):
        """Shortcut: paint one shape given as a function of a fresh mask."""
        m = self.mask()
        shape(m)
        self.paint(m, color, alpha)

    def text(self, x, y, text, size, color, bold=True, alpha=255):
        """Text whose ink box starts at (x, y), rounded to whole pixels."""
        self._late.append(("text", (int(round(x)), int(round(y)), text, size, color, bold, alpha)))

    def text_centered(self, cx, cy, text, size, color, bold=True, alpha=255):
        w, h = text_size(text, size, bold)
        self.text(cx - w / 2, cy - h / 2, text, size, color, bold, alpha)

    def pixels(self, points, color, alpha=255):
        """Single pixels set after the reduction, for pixel-exact details."""
        self._late.append(("pixels", (points, color, alpha)))

    def image(self):
        result = self._big.reduce(SS)
        for kind, args in self._late:
            layer = Image.new("RGBA", result.size, (0, 0, 0, 0))
            if kind == "text":
                x, y, text, size, color, bold, alpha = args
                f = font(size, bold)
                left, top, _, _ = f.getbbox(text)
                coverage = Image.new("L", result.size, 0)
                ImageDraw.Draw(coverage).text((x - left, y - top), text, font=f, fill=255)
                layer = Image.new("RGBA", result.size, rgba(color, 0))
                if alpha != 255:
                    coverage = coverage.point(lambda v: v * alpha // 255)
                layer.putalpha(coverage)
            else:
                points, color, alpha = args
                for px, py in points:
                    layer.putpixel((px, py), rgba(color, alpha))
            result = Image.alpha_composite(result, layer)
        return result
