"""The skin's pictures: one painter per kind of picture, in the program's colours.

A painter takes the picture's width and height, the state (0 normal, 1 pointer over, 2 pressed;
0 for single pictures) and its own keyword arguments, and returns an RGBA Pillow image.
Buttons that are not transparent carry the colour of the panel they sit on, so they are fully
opaque; transparent ones keep an alpha channel.
"""

import math

from PIL import Image

import glyphs
from draw import Canvas, colorref, mix, text_size

# The program's colours (COLORREF values as the code writes them).
ACCENT = colorref(0xEFAE00)
ACCENT_DARK = colorref(0xDE9E00)
ACCENT_PRESSED = (0, 128, 192)
ACCENT_HOVER = mix(ACCENT, (255, 255, 255), 0.16)
TEXT = colorref(0x303335)
GREY = colorref(0x7C7C82)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
FRAME_GREY = colorref(0x2F3234)
TRACK = colorref(0x3C4041)
THUMB_HOT = colorref(0x727276)
THUMB_PRESSED = colorref(0x5B5B5E)
LIST_THUMB = colorref(0xD4D6D7)
LIST_HOT = colorref(0xB6BBBD)
LIST_PRESSED = colorref(0x979B9D)
SEARCH_PANEL = colorref(0xDEDEE6)
SEEK_REST = colorref(0x45464B)

# The grid's background: a dark grey with a faint diagonal weave.
CONTENT_BASE = (38, 39, 41)
CONTENT_WEAVE = (44, 45, 48)
# Darkest alpha of a tile shadow (under the middle of the photo; about half of it shows at the edges).
SHADOW_PEAK = 200

# Dark panel buttons (toolbar): body colours by state.
DARK_BODY = ((47, 49, 52), (64, 67, 71), ACCENT_PRESSED)
LIGHT_INK = (232, 233, 235)


def _state(values, state):
    return values[min(state, len(values) - 1)]


# ---------------------------------------------------------------- title area (on the accent strip)

def window_button(width, height, state, glyph):
    """Minimize, maximize and close at the top right of the main window."""
    if glyph == "close":
        body = _state((ACCENT, (232, 17, 35), (241, 112, 122)), state)
    else:
        body = _state((ACCENT, ACCENT_HOVER, mix(ACCENT, BLACK, 0.16)), state)
    c = Canvas(width, height, body)
    left = (width - 10) // 2
    top = (height - 10) // 2
    m = c.mask()
    if glyph == "minimize":
        m.rect(left, top + 5, left + 10, top + 6)
    elif glyph == "maximize":
        m.rect(left, top, left + 10, top + 10).cut_rect(left + 1, top + 1, left + 9, top + 9)
    else:
        m.line([(left + 0.5, top + 0.5), (left + 9.5, top + 9.5)], 1.25, caps="butt")
        m.line([(left + 9.5, top + 0.5), (left + 0.5, top + 9.5)], 1.25, caps="butt")
    c.paint(m, WHITE)
    return c.image()


def name_box_button(width, height, state, face):
    """The start/stop button beside the user-name box."""
    c = Canvas(width, height, ACCENT)
    body = _state((WHITE, mix(WHITE, ACCENT, 0.1), mix(WHITE, ACCENT, 0.24)), state)
    c.fill(body, shape=lambda m: m.rrect(0, 0, width, height, 4))
    if face == "start":
        ink = _state((ACCENT, ACCENT_DARK, ACCENT_PRESSED), state)
        label, glyph_color = "Start", ink
    else:
        ink = TEXT
        label, glyph_color = "Stop", (214, 64, 56)
    size = 13
    tw, _ = text_size(label, size)
    g = 10
    left = (width - (g + 7 + tw)) // 2
    cy = height / 2 + (1 if state == 2 else 0)
    m = c.mask()
    if face == "start":
        glyphs.play(m, left - 1, cy - g / 2, g + 1)
    else:
        m.rrect(left + 1, cy - 4, left + 9, cy + 4, 1.5)
    c.paint(m, glyph_color)
    c.text_centered(left + g + 7 + tw / 2, cy, label, size, ink)
    return c.image()


def name_box_arrow(width, height, state):
    """The history arrow inside the white user-name box."""
    c = Canvas(width, height, WHITE)
    if state:
        disc = mix(WHITE, ACCENT, 0.12 if state == 1 else 0.26)
        c.fill(disc, shape=lambda m: m.rrect(2, 2, width - 2, height - 2, 4))
    ink = _state((GREY, ACCENT, ACCENT_PRESSED), state)
    s = 12
    m = c.mask()
    glyphs.chevron(m, (width - s) / 2, (height - s) / 2 + 0.5, s, "down", 1.8)
    c.paint(m, ink)
    return c.image()


def frame_piece(width, height, state, piece, inside, outside, radius):
    """One of the eight pieces of a rounded box frame: corners and edges (edges are uniform)."""
    c = Canvas(width, height, outside)
    w, h = width, height
    # Each corner is the matching quarter of a rounded rectangle twice its size.
    boxes = {
        "leftTop": (0, 0, 2 * w, 2 * h), "rightTop": (-w, 0, w, 2 * h),
        "leftBottom": (0, -h, 2 * w, h), "rightBottom": (-w, -h, w, h),
    }
    if piece in boxes:
        x0, y0, x1, y1 = boxes[piece]
        c.fill(inside, shape=lambda m: m.rrect(x0, y0, x1, y1, radius))
    else:
        c.fill(inside, shape=lambda m: m.rect(0, 0, w, h))
    return c.image()


# ---------------------------------------------------------------- logo and start screen

def mark(c, x, y, s, body, ink):
    """The program's mark: a rounded tile holding a photo and a downward arrow."""
    c.fill(body, shape=lambda m: m.rrect(x, y, x + s, y + s, s * 0.22))
    m = c.mask()
    if s < 30:
        w = max(1.5, s / 9)
        glyphs.download(m, x + s * 0.16, y + s * 0.14, s * 0.68, w)
        c.paint(m, ink)
        return
    w = s * 0.065
    glyphs.photo(m, x + s * 0.16, y + s * 0.2, s * 0.56, w)
    c.paint(m, ink)
    # Badge with the arrow, cut out of the photo with a ring of the tile colour.
    bx, by, br = x + s * 0.7, y + s * 0.7, s * 0.2
    c.fill(body, shape=lambda m: m.ellipse(bx, by, br + s * 0.05))
    c.fill(ink, shape=lambda m: m.ellipse(bx, by, br))
    m = c.mask()
    aw = s * 0.055
    m.line([(bx, by - br * 0.55), (bx, by + br * 0.45)], aw)
    m.line([(bx - br * 0.45, by), (bx, by + br * 0.48), (bx + br * 0.45, by)], aw)
    c.paint(m, body)


def logo(width, height, state, mark_size, name_size, on_accent):
    """The mark followed by the program's name."""
    c = Canvas(width, height)
    top = (height - mark_size) / 2
    # On the accent strip the tile turns white; on the dark start screen it keeps the accent.
    if on_accent:
        mark(c, 0, top, mark_size, WHITE, ACCENT)
    else:
        mark(c, 0, top, mark_size, ACCENT, WHITE)
    ink = WHITE
    gap = round(mark_size * 0.24)
    c.text(mark_size + gap, (height - text_size("Pixhaul", name_size)[1]) / 2 - name_size * 0.02,
           "Pixhaul", name_size, ink)
    return c.image()


def about_logo(width, height, state):
    c = Canvas(width, height)
    mark(c, 0, 0, width, ACCENT, WHITE)
    return c.image()


def start_text(width, height, state):
    """Start screen: an arrow up to the user-name box and the invitation to start."""
    c = Canvas(width, height)
    m = c.mask()
    # A curve from the text's left up to the box, with its head pointing up.
    tip = (30, 3)
    pts = []
    for i in range(21):
        t = i / 20
        # Quadratic curve from (64, 42) through the control point (30, 44) to the tip.
        x = (1 - t) ** 2 * 64 + 2 * (1 - t) * t * 30 + t * t * tip[0]
        y = (1 - t) ** 2 * 42 + 2 * (1 - t) * t * 44 + t * t * (tip[1] + 5)
        pts.append((x, y))
    m.line(pts, 2.2)
    m.line([(tip[0] - 7, tip[1] + 9), (tip[0], tip[1] + 1.5), (tip[0] + 7, tip[1] + 9)], 2.2)
    c.paint(m, ACCENT)
    c.text(76, 31, "Start saving your favorite Instagram photos!", 17, WHITE)
    return c.image()


def recommend_title(width, height, state):
    c = Canvas(width, height)
    c.text_centered(width / 2, height / 2, "Recommended by Pixhaul", 12, WHITE)
    return c.image()


def app_icon_image(size):
    c = Canvas(size, size)
    inset = 0 if size <= 20 else size / 32
    mark(c, inset, inset, size - 2 * inset, ACCENT, WHITE)
    return c.image()


# ---------------------------------------------------------------- toolbar (black)

def toolbar_button(width, height, state, glyph, label, running=False, speed=0):
    """Select all, unselect all and the slideshow faces: dark rounded buttons with an icon."""
    c = Canvas(width, height, BLACK)
    body = _state(DARK_BODY, state)
    if running and state == 0:
        body = mix(DARK_BODY[0], ACCENT, 0.28)
    c.fill(body, shape=lambda m: m.rrect(0, 0, width, height, 5))
    icon_ink = WHITE if state == 2 else ACCENT
    ink = WHITE if state else LIGHT_INK
    size = 13
    tw, th = text_size(label, size)
    g = 16
    extra = 21 if speed else 0
    left = round((width - (g + 8 + tw + extra)) / 2)
    cy = height / 2 + (1 if state == 2 else 0)
    m = c.mask()
    gy = round(cy - g / 2)
    if glyph == "selectAll":
        glyphs.check_box(m, left, gy, g, 1.6, True)
    elif glyph == "unselectAll":
        glyphs.check_box(m, left, gy, g, 1.6, False)
    elif glyph == "pause":
        glyphs.pause(m, left + 1, gy + 1, g - 2)
    else:
        glyphs.play(m, left, gy, g)
    c.paint(m, icon_ink)
    c.text(left + g + 8, round(cy - th / 2), label, size, ink)
    if speed:
        # Three rising bars; as many are lit as the slideshow is fast.
        bx = left + g + 8 + tw + 7
        base = round(cy + 6)
        for i in range(3):
            bh = 5 + 3 * i
            lit = i < speed
            c.fill(icon_ink if lit else mix(body, ink, 0.25),
                   shape=lambda m, i=i, bh=bh: m.rect(bx + i * 5, base - bh, bx + i * 5 + 3, base))
    return c.image()


def slider_track(width, height, state):
    """Thumbnail size slider: a thin line between a small and a large thumbnail sign."""
    c = Canvas(width, height)
    cy = height // 2
    c.fill((86, 88, 92), shape=lambda m: m.rrect(29, cy - 1, width - 29, cy + 1, 1))
    c.fill((150, 152, 156), shape=lambda m: m.rrect(7, cy - 3, 13, cy + 3, 1))
    c.fill((150, 152, 156), shape=lambda m: m.rrect(width - 17, cy - 6, width - 5, cy + 6, 2))
    return c.image()


def slider_knob(width, height, state):
    c = Canvas(width, height)
    cx, cy = width / 2, height / 2
    if state == 1:
        c.fill(ACCENT, alpha=90, shape=lambda m: m.ellipse(cx, cy, width / 2))
    body = _state((WHITE, WHITE, ACCENT), state)
    c.fill(BLACK, alpha=90, shape=lambda m: m.ellipse(cx, cy + 0.5, 7))
    c.fill(body, shape=lambda m: m.ellipse(cx, cy, 6.5))
    if state == 2:
        c.fill(WHITE, shape=lambda m: m.ellipse(cx, cy, 2.5))
    return c.image()


# ---------------------------------------------------------------- bottom panel (black)

def action_button(width, height, state, glyph, label):
    """Download, zip and print: the accent buttons of the bottom panel."""
    c = Canvas(width, height, BLACK)
    body = _state((ACCENT, ACCENT_HOVER, ACCENT_PRESSED), state)
    c.fill(body, shape=lambda m: m.rrect(0, 0, width, height, 6))
    size = 15
    tw, th = text_size(label, size)
    g = 22
    left = round((width - (g + 10 + tw)) / 2)
    cy = height / 2 + (1 if state == 2 else 0)
    m = c.mask()
    gy = round(cy - g / 2)
    {"download": glyphs.download, "zip": glyphs.archive, "print": glyphs.printer}[glyph](m, left, gy, g, 2)
    c.paint(m, WHITE)
    c.text(left + g + 10, round(cy - th / 2), label, size, WHITE)
    return c.image()


def info_button(width, height, state, transparent):
    """Opens the info menu: an "i" in a ring; the big one sits on the start screen's pattern."""
    c = Canvas(width, height, None if transparent else BLACK)
    s = width - (8 if transparent else 6)
    off = (width - s) / 2
    cx, cy = width / 2, height / 2
    if transparent:
        c.fill(BLACK, alpha=110, shape=lambda m: m.ellipse(cx, cy, s / 2))
    if state:
        disc = (40, 42, 45) if state == 1 else (28, 29, 31)
        c.fill(disc, alpha=200 if transparent else 255, shape=lambda m: m.ellipse(cx, cy, s / 2))
    rest = (220, 221, 223) if transparent else (170, 172, 176)
    m = c.mask()
    glyphs.info(m, off, off, s, 2 if s < 30 else 2.6)
    c.paint(m, _state((rest, ACCENT, ACCENT_PRESSED), state))
    return c.image()


def stop_job_button(width, height, state):
    """Stops the running save or print job; sits beside the progress strip."""
    c = Canvas(width, height)
    cx, cy, r = width / 2, height / 2, 15
    if state == 0:
        c.fill((160, 162, 166), shape=lambda m: m.ring(cx, cy, r, 2))
        ink = (160, 162, 166)
    else:
        c.fill((222, 54, 46) if state == 1 else (170, 36, 30), shape=lambda m: m.ellipse(cx, cy, r))
        ink = WHITE
    c.fill(ink, shape=lambda m: m.rrect(cx - 5, cy - 5, cx + 5, cy + 5, 1.5))
    return c.image()


# ---------------------------------------------------------------- full-size view (black)

def round_glyph_button(width, height, state, glyph):
    """Close, previous and next of the full-size view: a glyph that gains a disc on hover."""
    c = Canvas(width, height, BLACK)
    cx, cy = width / 2, height / 2
    if state:
        c.fill((58, 60, 64) if state == 1 else ACCENT_PRESSED, shape=lambda m: m.ellipse(cx, cy, width / 2 - 1))
    ink = (200, 201, 204) if state == 0 else WHITE
    s = round(width * 0.46)
    m = c.mask()
    if glyph == "close":
        glyphs.cross(m, cx - s / 2, cy - s / 2, s, 2.2)
    else:
        glyphs.chevron(m, cx - s / 2, cy - s / 2, s, glyph, 2.6)
    c.paint(m, ink)
    return c.image()


def video_button(width, height, state, glyph):
    """Control bar buttons of a playing video: small glyphs on black."""
    c = Canvas(width, height, BLACK)
    ink = _state(((196, 197, 200), WHITE, ACCENT), state)
    m = c.mask()
    if glyph == "play":
        m.polygon([(4, 2.5), (4, 14.5), (14, 8.5)])
    elif glyph == "pause":
        m.rect(4, 3, 7, 14).rect(10, 3, 13, 14)
    elif glyph in ("soundOn", "muted"):
        m.polygon([(1, 6), (4, 6), (8, 2), (8, 15), (4, 11), (1, 11)])
        if glyph == "soundOn":
            glyphs.arc(m, 7.5, 8.5, 3.6, -50, 50, 1.5, 8)
            glyphs.arc(m, 7.5, 8.5, 7.0, -50, 50, 1.5, 12)
        else:
            m.line([(10.5, 6), (15, 10.5)], 1.5).line([(15, 6), (10.5, 10.5)], 1.5)
    else:
        glyphs.full_screen(m, 1, 2, 14, 2, 13)
    c.paint(m, ink)
    return c.image()


def seek_thumb(width, height, state):
    """Thumb of the seek and volume bars; its disc covers the 13-px gap it leaves in the bar."""
    c = Canvas(width, height)
    cx, cy = width / 2, height / 2
    if state:
        c.fill(ACCENT, alpha=70 if state == 1 else 110, shape=lambda m: m.ellipse(cx, cy, 11))
    c.fill(BLACK, alpha=110, shape=lambda m: m.ellipse(cx, cy + 0.5, 8))
    c.fill(_state((WHITE, WHITE, ACCENT), state), shape=lambda m: m.ellipse(cx, cy, 7.5))
    if state != 2:
        c.fill(ACCENT_DARK, shape=lambda m: m.ellipse(cx, cy, 2.5))
    else:
        c.fill(WHITE, shape=lambda m: m.ellipse(cx, cy, 2.5))
    return c.image()


def play_disc(width, height, state, big):
    """Play sign over a video: the big one is a button, the small one marks video thumbnails."""
    c = Canvas(width, height)
    cx, cy = width / 2, height / 2
    r = width / 2 - width / 36
    ring = width / 24
    disc = _state(((0, 0, 0, 120), ACCENT + (225,), ACCENT_PRESSED + (235,)), state)
    c.fill(disc[:3], alpha=disc[3], shape=lambda m: m.ellipse(cx, cy, r))
    c.fill(WHITE, alpha=235, shape=lambda m: m.ring(cx, cy, r, ring))
    m = c.mask()
    t = r * 0.9
    glyphs.play(m, cx - t / 2, cy - t / 2, t)
    c.paint(m, WHITE)
    return c.image()


def tile_button(width, height, state, glyph):
    """Open-full-size and open-page buttons at the top corners of a hovered thumbnail."""
    c = Canvas(width, height)
    body = _state(((0, 0, 0, 150), ACCENT + (240,), ACCENT_PRESSED + (245,)), state)
    c.fill(body[:3], alpha=body[3], shape=lambda m: m.rrect(5, 5, width - 5, height - 5, 5))
    m = c.mask()
    s = 16
    (glyphs.expand if glyph == "expand" else glyphs.external)(m, (width - s) / 2, (height - s) / 2, s, 2)
    c.paint(m, WHITE)
    return c.image()


def selection_mark(width, height, state, selected):
    c = Canvas(width, height)
    cx, cy, r = width / 2, height / 2, 12
    c.fill(BLACK, alpha=60, shape=lambda m: m.ellipse(cx, cy + 0.5, r + 1.5))
    if selected:
        disc = _state((ACCENT, ACCENT_HOVER, ACCENT_PRESSED), state)
        c.fill(disc, shape=lambda m: m.ellipse(cx, cy, r))
        check_alpha = 255
    else:
        disc = _state(((0, 0, 0, 100), (0, 0, 0, 150), ACCENT_PRESSED + (220,)), state)
        c.fill(disc[:3], alpha=disc[3], shape=lambda m: m.ellipse(cx, cy, r))
        check_alpha = _state((0, 150, 255), state)
    c.fill(WHITE, shape=lambda m: m.ring(cx, cy, r, 2))
    if check_alpha:
        m = c.mask()
        glyphs.check(m, cx - 8, cy - 8, 16, 2.4)
        c.paint(m, WHITE, check_alpha)
    return c.image()


# ---------------------------------------------------------------- grid decoration

def _tile_shadow(photo=64):
    """Shadow of a thumbnail: its photo and border, lifted so the shadow falls 6 px lower.

    Returned on a canvas with the photo at (13, 13). The tiles draw no shadow above the photo's
    border and make the side edges of one uniform piece down to the border's bottom, so the
    shadow must have faded in by 12 px below the border's top and be full at its bottom: an
    offset of 6 px with a blur of 2.2 px meets both within a third of a percent.
    """
    size = photo + 26
    big = 4
    sigma = 2.2 * big
    offset_y = 6 * big
    spread_x = 2  # the shadow reaches 2 px further out on both sides
    x0, x1 = (13 - 1 - spread_x) * big, (13 + photo + 1 + spread_x) * big
    y0, y1 = (13 - 1) * big + offset_y, (13 + photo + 1) * big + offset_y

    def spread(lo, hi, p):
        a = (lo - p) / (sigma * math.sqrt(2))
        b = (hi - p) / (sigma * math.sqrt(2))
        return 0.5 * (math.erf(b) - math.erf(a))

    alpha = Image.new("L", (size, size), 0)
    px = alpha.load()
    for y in range(size):
        fy = sum(spread(y0, y1, (y * big + k + 0.5)) for k in range(big)) / big
        for x in range(size):
            fx = sum(spread(x0, x1, (x * big + k + 0.5)) for k in range(big)) / big
            px[x, y] = int(round(SHADOW_PEAK * fx * fy))
    shadow = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    shadow.putalpha(alpha)
    return shadow


_shadow_cache = []


def shadow_piece(width, height, state, piece):
    """One of the seven shadow pieces; L, T are the photo's left and top on the shadow canvas."""
    if not _shadow_cache:
        _shadow_cache.append(_tile_shadow())
    shadow = _shadow_cache[0]
    photo = shadow.width - 26
    L = T = 13
    W = H = photo
    boxes = {
        "topLeft": (L - 13, T - 1), "left": (L - 13, T + 20), "bottomLeft": (L - 13, T + H + 1),
        "bottom": (L + 20, T + H + 1), "bottomRight": (L + W - 11, T + H + 1),
        "right": (L + W + 1, T + 20), "topRight": (L + W + 1, T - 1),
    }
    x, y = boxes[piece]
    return shadow.crop((x, y, x + width, y + height))


def overlay(width, height, state, alpha):
    return Image.new("RGBA", (width, height), (0, 0, 0, alpha))


def content_pattern(width, height, state, shift):
    """The grid background, moved up by `shift` rows (copy n serves scroll phase n)."""
    image = Image.new("RGBA", (width, height), CONTENT_BASE + (255,))
    for y in range(height):
        for x in range(width):
            if (x + y + shift) % width == 0:
                image.putpixel((x, y), CONTENT_WEAVE + (255,))
    return image


def progress_pattern(width, height, state):
    """Fill of the save/print progress strip: diagonal accent stripes that tile seamlessly."""
    light = mix(ACCENT, WHITE, 0.14)
    image = Image.new("RGBA", (width, height))
    steps = 8
    for y in range(height):
        for x in range(width):
            # Area of the pixel inside the light half of a stripe of period `width`.
            inside = 0
            for sy in range(steps):
                for sx in range(steps):
                    u = (x + (sx + 0.5) / steps + y + (sy + 0.5) / steps) % width
                    inside += u < width / 2
            t = inside / (steps * steps)
            image.putpixel((x, y), mix(ACCENT, light, t) + (255,))
    return image


# ---------------------------------------------------------------- scroll bar arrows (icons)

def _triangle_pixels(size, up):
    """Pixel-exact arrow head centred in a size x size cell."""
    odd = size % 2
    rows = max(3, round(size * 0.26))
    top = (size - rows) // 2 + (0 if up else 1) - (1 if odd and not up else 0)
    centre = size // 2
    points = []
    for r in range(rows):
        half = r if odd else r + 1
        y = top + (r if up else rows - 1 - r)
        left = centre - half if odd else centre - half
        right = centre + half if odd else centre + half - 1
        points += [(x, y) for x in range(left, right + 1)]
    return points


def scroll_arrow_image(size, state, up, dark):
    if dark:
        body = _state((TRACK, mix(TRACK, WHITE, 0.08), THUMB_PRESSED), state)
        ink = _state(((140, 141, 145), (226, 227, 229), WHITE), state)
    else:
        body = _state((WHITE, (243, 244, 245), LIST_THUMB), state)
        ink = _state((LIST_PRESSED, GREY, TEXT), state)
    c = Canvas(size, size, body)
    c.pixels(_triangle_pixels(size, up), ink)
    return c.image()


# ---------------------------------------------------------------- loading animations

def spinner_frames(size, frames, transparent):
    """Frames of a busy ring: a bright arc running clockwise round a faint track.

    Returns (palette, frames of indices, transparent index or None): the palette runs from the
    background to the accent, so each pixel is one blend level.
    """
    levels = 48
    background = (28, 29, 31) if transparent else BLACK
    palette = [mix(background, ACCENT, i / (levels - 1)) for i in range(levels)]
    clear = None
    if transparent:
        palette.append((0, 0, 0))
        clear = len(palette) - 1
        # A dark badge under the ring; outside it the frame is see-through.
        d = Canvas(size, size)
        d.fill(WHITE, shape=lambda m: m.ellipse(size / 2, size / 2, size / 2 - 0.5))
        badge = d.image().getchannel("A").load()
    cx = cy = size / 2
    radius = size * 0.3
    width = size * 0.12
    result = []
    for f in range(frames):
        c = Canvas(size, size)
        c.fill(WHITE, alpha=50, shape=lambda m: m.ring(cx, cy, radius + width / 2, width))
        start = -90 + 360 * f / frames
        m = c.mask()
        glyphs.arc(m, cx, cy, radius, start, start + 110, width, 24)
        c.paint(m, WHITE)
        coverage = c.image().getchannel("A").load()
        indices = []
        for y in range(size):
            for x in range(size):
                if transparent and badge[x, y] < 128:
                    indices.append(clear)
                else:
                    indices.append(round(coverage[x, y] / 255 * (levels - 1)))
        result.append(indices)
    return palette, result, clear
