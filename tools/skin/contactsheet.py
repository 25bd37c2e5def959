"""A contact sheet of the whole skin: every picture on the panel it sits on, small ones enlarged."""

import io

from PIL import Image, ImageDraw

import pictures as p
from draw import font

SHEET_WIDTH = 1500
PAD = 10


def _backdrop(kind, width, height):
    if kind == "pattern":
        tile = p.content_pattern(4, 4, 0, 0)
        image = Image.new("RGBA", (width, height))
        for y in range(0, height, 4):
            for x in range(0, width, 4):
                image.paste(tile, (x, y))
        return image
    if kind == "photo":
        # A made-up sky-and-field gradient, to see pictures that sit over photos.
        image = Image.new("RGBA", (width, height))
        px = image.load()
        for y in range(height):
            for x in range(width):
                t = y / max(1, height - 1)
                if t < 0.55:
                    px[x, y] = (int(120 + 80 * t), int(170 + 40 * t), 225, 255)
                else:
                    px[x, y] = (int(90 + 60 * (x / width)), int(140 - 30 * t), 70, 255)
        return image
    colors = {"black": p.BLACK, "accent": p.ACCENT, "white": p.WHITE, "track": p.TRACK,
              "face": (240, 240, 240)}
    return Image.new("RGBA", (width, height), colors[kind] + (255,))


def _frames(picture, data):
    image = Image.open(io.BytesIO(data))
    if picture.kind == "ICON":
        image.size = picture.size  # the first, default-size image
        return [image.convert("RGBA")]
    result = []
    for index in range(getattr(image, "n_frames", 1)):
        image.seek(index)
        result.append(image.convert("RGBA"))
    return result


def _cell(picture, rendered):
    """One group of the sheet: its pictures side by side on their backdrop, with a caption."""
    width, height = picture.size
    largest = max(width, height)
    scale = 4 if largest <= 24 else 2 if largest <= 60 else 1
    shots = []
    for number in picture.ids:
        shots += _frames(picture, rendered[number])
    gap = 6
    inner_w = len(shots) * width * scale + (len(shots) - 1) * gap
    inner_h = height * scale
    box = _backdrop(picture.backdrop, inner_w + 2 * PAD, inner_h + 2 * PAD)
    x = PAD
    for shot in shots:
        big = shot.resize((width * scale, height * scale), Image.NEAREST)
        box.alpha_composite(big, (x, PAD))
        x += width * scale + gap
    ids = ", ".join(str(n) for n in picture.ids)
    caption = "%s  %s  %dx%d%s" % (ids, picture.name, width, height, "  x%d" % scale if scale > 1 else "")
    f = font(11, bold=False)
    cap_w = int(f.getlength(caption)) + 4
    cell = Image.new("RGBA", (max(box.width, cap_w), box.height + 18), (250, 250, 250, 255))
    cell.paste(box, (0, 0))
    ImageDraw.Draw(cell).text((2, box.height + 3), caption, font=f, fill=(40, 40, 40, 255))
    return cell


class _Pictures:
    def __init__(self, skin, rendered):
        self._by_name = {picture.name: picture for picture in skin}
        self._rendered = rendered

    def __call__(self, name, state=0):
        picture = self._by_name[name]
        return _frames(picture, self._rendered[picture.ids[state]])[0]


def _stretch(piece, width, height):
    return piece.resize((max(1, width), max(1, height)), Image.NEAREST)


def _frame_box(sheet, pic, prefix, x, y, width, height, inside):
    """Compose a rounded box from its eight frame pieces, as the layout code does."""
    lt = pic(prefix + "LeftTop")
    cw, ch = lt.size
    sheet.alpha_composite(lt, (x, y))
    sheet.alpha_composite(pic(prefix + "RightTop"), (x + width - cw, y))
    sheet.alpha_composite(pic(prefix + "LeftBottom"), (x, y + height - ch))
    sheet.alpha_composite(pic(prefix + "RightBottom"), (x + width - cw, y + height - ch))
    sheet.alpha_composite(_stretch(pic(prefix + "Top"), width - 2 * cw, ch), (x + cw, y))
    sheet.alpha_composite(_stretch(pic(prefix + "Bottom"), width - 2 * cw, ch), (x + cw, y + height - ch))
    sheet.alpha_composite(_stretch(pic(prefix + "Left"), cw, height - 2 * ch), (x, y + ch))
    sheet.alpha_composite(_stretch(pic(prefix + "Right"), cw, height - 2 * ch), (x + width - cw, y + ch))
    ImageDraw.Draw(sheet).rectangle([x + cw, y + ch, x + width - cw - 1, y + height - ch - 1], fill=inside)
    return cw, ch


def _title_area(pic, width):
    area = Image.new("RGBA", (width, 85), p.ACCENT + (255,))
    area.alpha_composite(pic("logoSmall"), (49, 21))
    box_w = width - 246 - 257
    cw, ch = _frame_box(area, pic, "nameFrame", 246, 28, box_w, 29, p.WHITE)
    arrow = pic("historyArrow")
    area.alpha_composite(arrow, (246 + box_w - cw - arrow.width, 28 + (29 - arrow.height) // 2))
    ImageDraw.Draw(area).text((246 + cw + 4, 28 + 8), "Enter Instagram username or link",
                              font=font(12), fill=p.GREY)
    area.alpha_composite(pic("startButton"), (246 + box_w + 6, 29))
    for i, name in enumerate(("minimizeButton", "maximizeButton", "closeButton")):
        area.alpha_composite(pic(name, 1 if name == "closeButton" else 0), (width - 69 + 23 * i, 0))
    return area


def _toolbar(pic, width):
    bar = Image.new("RGBA", (width, 60), (0, 0, 0, 255))
    select = pic("selectAllButton")
    bar.alpha_composite(select, (50, 12))
    unselect = pic("unselectAllButton", 1)
    bar.alpha_composite(unselect, (50 + select.width + 15, 12))
    track = pic("sizeSliderTrack")
    track_x = width - track.width - 50
    bar.alpha_composite(track, (track_x, (60 - track.height) // 2))
    knob = pic("sizeSliderKnob")
    bar.alpha_composite(knob, (track_x + 70, (60 - knob.height) // 2))
    search_x = track_x - 180 - 40
    _frame_box(bar, pic, "searchFrame", search_x, 16, 180, 28, p.SEARCH_PANEL)
    ImageDraw.Draw(bar).text((search_x + 8, 23), "Search...", font=font(12), fill=p.GREY)
    show = pic("slideshowModerateButton")
    left = 50 + select.width + 15 + unselect.width
    bar.alpha_composite(show, (left + (search_x - left - show.width) // 2, 12))
    return bar


def _tiles(pic, width):
    """Three thumbnails on the grid background: plain, hovered, and selected with a video mark."""
    area = _backdrop("pattern", width, 250)
    photo = _backdrop("photo", 150, 150)
    draw = ImageDraw.Draw(area)
    for i, (hovered, selected) in enumerate(((False, False), (True, False), (False, True))):
        L, T, W, H = 41 + i * (150 + 42), 41, 150, 150
        b = 3 if hovered or selected else 1
        shadows = (("shadowTopLeft", L - 13, T - 1, 12, 12), ("shadowLeft", L - 13, T + 11, 12, H - 10),
                   ("shadowBottomLeft", L - 13, T + H + 1, 24, 12), ("shadowBottom", L + 11, T + H + 1, W - 22, 12),
                   ("shadowBottomRight", L + W - 11, T + H + 1, 24, 12), ("shadowRight", L + W + 1, T + 11, 12, H - 10),
                   ("shadowTopRight", L + W + 1, T - 1, 12, 12))
        for name, x, y, w, h in shadows:
            area.alpha_composite(_stretch(pic(name), w, h), (x, y))
        color = (0xFF, 0xF3, 0x4D, 255) if b == 3 else (0x87, 0x81, 0x81, 255)
        draw.rectangle([L - b, T - b, L + W + b - 1, T + H + b - 1], fill=color)
        area.paste(photo, (L, T))
        if selected:
            mark = pic("videoMark").resize((35, 35), Image.BILINEAR)
            area.alpha_composite(mark, (L + 57, T + 57))
        if hovered:
            area.alpha_composite(pic("openFullSize"), (L - b, T - b))
            page = pic("openPage", 1)
            area.alpha_composite(page, (L + W + b - page.width, T - b))
        if hovered or selected:
            mark = pic("markSelected" if selected else "markUnselected")
            area.alpha_composite(mark, (L + W - mark.width, T + H - mark.height))
    logo = pic("logoBig")
    area.alpha_composite(logo, (41 + 3 * 192 + 20, 30))
    info = pic("infoBigButton")
    area.alpha_composite(info, (41 + 3 * 192 + 20 + (logo.width - info.width) // 2, 160))
    return area


def _bottom(pic, width):
    bar = Image.new("RGBA", (width, 86), (0, 0, 0, 255))
    zip_button = pic("downloadZipButton")
    x = (width - zip_button.width) // 2
    bar.alpha_composite(zip_button, (x, 18))
    download = pic("downloadButton", 1)
    bar.alpha_composite(download, (x - 25 - download.width, 18))
    bar.alpha_composite(pic("printButton"), (x + zip_button.width + 25, 18))
    info = pic("infoButton")
    bar.alpha_composite(info, (width - info.width - 34, 28))
    return bar


def _mockups(skin, rendered):
    pic = _Pictures(skin, rendered)
    width = 1137
    parts = [_title_area(pic, width), _toolbar(pic, width), _tiles(pic, width), _bottom(pic, width)]
    sheet = Image.new("RGBA", (width + 6, sum(part.height for part in parts) + 6), p.FRAME_GREY + (255,))
    y = 3
    for part in parts:
        sheet.paste(part, (3, y))
        y += part.height
    return sheet


def _icon_sizes_cell(picture, data):
    """Every image of a multi-size icon, at its own size and enlarged twice, on white and on grey."""
    icon = Image.open(io.BytesIO(data))
    images = []
    for size in sorted(icon.info["sizes"]):
        icon.size = size
        images.append(icon.convert("RGBA"))
    small = [im for im in images if im.width <= 64]
    width = sum(im.width * 2 + PAD for im in small) + 256 + 3 * PAD
    cell = Image.new("RGBA", (width, 256 + 2 * PAD + 18), (250, 250, 250, 255))
    x = PAD
    for im in small:
        y = PAD
        for backdrop in ((255, 255, 255, 255), (60, 62, 66, 255)):
            plate = Image.new("RGBA", im.size, backdrop)
            plate.alpha_composite(im)
            cell.paste(plate, (x, y))
            y += im.height + 4
        plate = Image.new("RGBA", im.size, (255, 255, 255, 255))
        plate.alpha_composite(im)
        cell.paste(plate.resize((im.width * 2, im.height * 2), Image.NEAREST), (x, y))
        x += im.width * 2 + PAD
    cell.alpha_composite(images[-1], (x + PAD, PAD))
    ImageDraw.Draw(cell).text((2, 256 + PAD + 3), "%d  %s  %s" % (picture.ids[0], picture.name,
                              " ".join("%d" % im.width for im in images)), font=font(11, bold=False),
                              fill=(40, 40, 40, 255))
    return cell


def draw(skin, rendered):
    cells = [_mockups(skin, rendered)]
    for picture in skin:
        if picture.name == "appIcon":
            cells.append(_icon_sizes_cell(picture, rendered[picture.ids[0]]))
        else:
            cells.append(_cell(picture, rendered))
    rows, row, row_w = [], [], 0
    for cell in cells:
        if row and row_w + cell.width + PAD > SHEET_WIDTH - PAD:
            rows.append(row)
            row, row_w = [], 0
        row.append(cell)
        row_w += cell.width + PAD
    if row:
        rows.append(row)
    height = PAD + sum(max(c.height for c in r) + PAD for r in rows)
    sheet = Image.new("RGBA", (SHEET_WIDTH, height), (250, 250, 250, 255))
    y = PAD
    for r in rows:
        x = PAD
        for cell in r:
            sheet.paste(cell, (x, y))
            x += cell.width + PAD
        y += max(c.height for c in r) + PAD
    return sheet.convert("RGB")
