#!/usr/bin/env python3
"""Draws the program's skin and writes the resource script and the id header for it.

SKIN below is the one list of every picture the program loads by numeric id: its name in the
code, its ids (three for a button: normal, pointer over, pressed), its type, its size, and how it
is drawn. Everything else (pictures, skin.rc, SkinIds.h, the contact sheet) is made from it.

    generate.py OUTPUT_FOLDER            draw everything into OUTPUT_FOLDER
    generate.py --list OUTPUT_FOLDER     print the files a run writes, one per line (for the build)

Output is deterministic: the same sources and packages give the same bytes.
"""

import argparse
import functools
import io
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))


import encoders  # noqa: E402
import pictures as p  # noqa: E402


class Picture:
    """One row of the table: a single picture, a three-state set, an animation or an icon."""

    def __init__(self, name, ids, kind, size, role, paint, backdrop="black", opaque=False, **args):
        self.name = name
        self.ids = tuple(ids) if isinstance(ids, (tuple, list)) else (ids,)
        self.kind = kind              # "PNG", "GIF" or "ICON"
        self.size = size              # (width, height); for icons the size a default load gives
        self.role = role
        self.paint = paint
        self.backdrop = backdrop      # what it is shown on in the contact sheet
        self.opaque = opaque          # carries the colour of the panel under it
        self.args = args

    @property
    def three_state(self):
        return len(self.ids) == 3

    def constants(self):
        """(C++ name, id) of each id: name, nameOver, namePressed for a button."""
        if not self.three_state:
            return [(self.name, self.ids[0])]
        return list(zip((self.name, self.name + "Over", self.name + "Pressed"), self.ids))

    def file_name(self, index):
        extension = {"PNG": "png", "GIF": "gif", "ICON": "ico"}[self.kind]
        return "%d-%s.%s" % (self.ids[index], self.constants()[index][0], extension)


def three(first):
    return (first, first + 1, first + 2)


_btn = dict(opaque=True)

# Scroll-bar arrows are icons drawn by the bar into its arrow cell (the system's scroll-bar
# width square, 17 px on Windows); the first image is the one a default-size load takes.
ARROW_ICON_SIZES = (17, 16, 18, 20, 24, 32)
APP_ICON_SIZES = (256, 64, 48, 40, 32, 24, 20, 16)
# Busy animations: a turn in 12 steps of 70 ms.
GIF_FRAMES = 12
GIF_DELAY = 7  # hundredths of a second

SKIN = [
    Picture("appIcon", 1, "ICON", (256, 256), "the program's icon (window, taskbar, file)",
            p.app_icon_image, backdrop="white"),

    # Custom scroll bars.
    Picture("contentBarUp", three(15001), "ICON", (17, 17), "content bar: up arrow",
            functools.partial(p.scroll_arrow_image, up=True, dark=True), backdrop="track"),
    Picture("contentBarDown", three(15004), "ICON", (17, 17), "content bar: down arrow",
            functools.partial(p.scroll_arrow_image, up=False, dark=True), backdrop="track"),
    Picture("historyBarUp", three(15011), "ICON", (17, 17), "user-name history bar: up arrow",
            functools.partial(p.scroll_arrow_image, up=True, dark=False), backdrop="white"),
    Picture("historyBarDown", three(15014), "ICON", (17, 17), "user-name history bar: down arrow",
            functools.partial(p.scroll_arrow_image, up=False, dark=False), backdrop="white"),

    # Thumbnail tiles.
    Picture("videoMark", 15023, "PNG", (72, 72), "video mark centred on a video thumbnail (306-px tile)",
            p.play_disc, backdrop="photo", big=False),
    Picture("shadowTopLeft", 15024, "PNG", (12, 12), "tile shadow: top-left corner",
            p.shadow_piece, backdrop="pattern", piece="topLeft"),
    Picture("shadowLeft", 15025, "PNG", (12, 12), "tile shadow: left edge (stretched down)",
            p.shadow_piece, backdrop="pattern", piece="left"),
    Picture("shadowBottomLeft", 15026, "PNG", (24, 12), "tile shadow: bottom-left corner",
            p.shadow_piece, backdrop="pattern", piece="bottomLeft"),
    Picture("shadowBottom", 15027, "PNG", (12, 12), "tile shadow: bottom edge (stretched across)",
            p.shadow_piece, backdrop="pattern", piece="bottom"),
    Picture("shadowBottomRight", 15028, "PNG", (24, 12), "tile shadow: bottom-right corner",
            p.shadow_piece, backdrop="pattern", piece="bottomRight"),
    Picture("shadowRight", 15029, "PNG", (12, 12), "tile shadow: right edge (stretched down)",
            p.shadow_piece, backdrop="pattern", piece="right"),
    Picture("shadowTopRight", 15030, "PNG", (12, 12), "tile shadow: top-right corner",
            p.shadow_piece, backdrop="pattern", piece="topRight"),
    Picture("openFullSize", three(15098), "PNG", (36, 36), "tile: open full size (top-left corner)",
            p.tile_button, backdrop="photo", glyph="expand"),
    Picture("openPage", three(15145), "PNG", (36, 36), "tile: open the item's page (top-right corner)",
            p.tile_button, backdrop="photo", glyph="external"),
    Picture("markSelected", (15101, 15148, 15149), "PNG", (36, 36),
            "selection mark of a selected item (tile and full-size view)",
            p.selection_mark, backdrop="photo", selected=True),
    Picture("markUnselected", (15102, 15150, 15151), "PNG", (36, 36),
            "selection mark of an item not selected", p.selection_mark, backdrop="photo", selected=False),

    # Title area (on the accent strip).
    Picture("minimizeButton", three(15034), "PNG", (23, 22), "title area: minimize",
            p.window_button, backdrop="accent", glyph="minimize", **_btn),
    Picture("maximizeButton", three(15037), "PNG", (23, 22), "title area: maximize",
            p.window_button, backdrop="accent", glyph="maximize", **_btn),
    Picture("closeButton", three(15040), "PNG", (23, 22), "title area: close",
            p.window_button, backdrop="accent", glyph="close", **_btn),
    Picture("historyArrow", three(15043), "PNG", (24, 21), "user-name box: opens the history",
            p.name_box_arrow, backdrop="white", **_btn),
    Picture("startButton", three(15046), "PNG", (88, 27), "start loading the typed user",
            p.name_box_button, backdrop="accent", face="start", **_btn),
    Picture("stopButton", three(15049), "PNG", (88, 27), "stop loading (same button, other face)",
            p.name_box_button, backdrop="accent", face="stop", **_btn),
    Picture("logoSmall", 15094, "PNG", (170, 43), "logo in the title area at (49, 21)",
            p.logo, backdrop="accent", mark_size=38, name_size=27, on_accent=True),

    # Toolbar (black, 60 px high; buttons 12 px from the top).
    Picture("selectAllButton", three(15052), "PNG", (126, 36), "toolbar: select all",
            p.toolbar_button, glyph="selectAll", label="Select All", **_btn),
    Picture("unselectAllButton", three(15055), "PNG", (126, 36), "toolbar: unselect all",
            p.toolbar_button, glyph="unselectAll", label="Unselect All", **_btn),
    Picture("slideshowButton", three(15058), "PNG", (150, 36), "toolbar: slideshow, not running",
            p.toolbar_button, glyph="play", label="Slideshow", **_btn),
    Picture("slideshowFastButton", three(15135), "PNG", (150, 36), "toolbar: slideshow running fast",
            p.toolbar_button, glyph="pause", label="Slideshow", running=True, speed=3, **_btn),
    Picture("slideshowModerateButton", three(15138), "PNG", (150, 36),
            "toolbar: slideshow running at moderate speed",
            p.toolbar_button, glyph="pause", label="Slideshow", running=True, speed=2, **_btn),
    Picture("slideshowSlowButton", three(15141), "PNG", (150, 36), "toolbar: slideshow running slowly",
            p.toolbar_button, glyph="pause", label="Slideshow", running=True, speed=1, **_btn),
    Picture("sizeSliderKnob", three(15061), "PNG", (18, 18), "thumbnail size slider: knob",
            p.slider_knob),
    Picture("sizeSliderTrack", 15097, "PNG", (200, 20),
            "thumbnail size slider: track (the knob moves 20 px inside each end)", p.slider_track),

    # Bottom panel (black, 86 px high).
    Picture("downloadButton", three(15064), "PNG", (176, 50), "bottom: save the selected items to a folder",
            p.action_button, glyph="download", label="Download", **_btn),
    Picture("downloadZipButton", three(15067), "PNG", (176, 50), "bottom: save the selected items into a zip",
            p.action_button, glyph="zip", label="Download ZIP", **_btn),
    Picture("printButton", three(15070), "PNG", (176, 50), "bottom: print the selected items",
            p.action_button, glyph="print", label="Print", **_btn),
    Picture("infoButton", three(15073), "PNG", (30, 30), "bottom right: opens the info menu",
            p.info_button, transparent=False, **_btn),
    Picture("infoBigButton", three(15076), "PNG", (42, 42), "start screen: opens the info menu",
            p.info_button, backdrop="pattern", transparent=True),
    Picture("stopJobButton", three(15079), "PNG", (50, 50), "stops the running save or print job",
            p.stop_job_button),
    Picture("progressPattern", 15204, "PNG", (16, 16), "fill of the save/print progress strip",
            p.progress_pattern, opaque=True),

    # Full-size view and slideshow (black side panels).
    Picture("closeViewButton", three(15082), "PNG", (40, 40), "full-size view: close",
            p.round_glyph_button, glyph="close", **_btn),
    Picture("previousButton", three(15085), "PNG", (44, 44), "full-size view: previous item",
            p.round_glyph_button, glyph="left", **_btn),
    Picture("nextButton", three(15088), "PNG", (44, 44), "full-size view: next item",
            p.round_glyph_button, glyph="right", **_btn),
    Picture("bigPlay", three(15031), "PNG", (144, 144), "play sign over a video cover (612-px view)",
            p.play_disc, backdrop="photo", big=True),
    Picture("loadingBig", 15103, "GIF", (32, 32), "busy animation in the middle of the full-size view",
            None, opaque=True, transparent=False),
    Picture("loadingSmall", 15104, "GIF", (32, 32), "busy animation over a video cover while it opens",
            None, backdrop="photo", transparent=True),
    Picture("videoPlayButton", three(15105), "PNG", (17, 17), "video bar: play",
            p.video_button, glyph="play", **_btn),
    Picture("videoPauseButton", three(15108), "PNG", (17, 17), "video bar: pause",
            p.video_button, glyph="pause", **_btn),
    Picture("seekThumb", three(15111), "PNG", (23, 23), "video bar: seek and volume thumb",
            p.seek_thumb),
    Picture("soundOnButton", three(15114), "PNG", (17, 17), "video bar: sound on (click mutes)",
            p.video_button, glyph="soundOn", **_btn),
    Picture("soundMutedButton", three(15117), "PNG", (17, 17), "video bar: muted",
            p.video_button, glyph="muted", **_btn),
    Picture("fullScreenButton", three(15120), "PNG", (16, 17), "video bar: full screen",
            p.video_button, glyph="fullScreen", **_btn),
] + [
    Picture("overlay%d" % level, 15123 + level, "PNG", (4, 4),
            "slideshow overlay level %d: black at alpha %d" % (level, alpha),
            p.overlay, backdrop="photo", alpha=alpha)
    for level, alpha in enumerate((0, 128, 140, 153, 166, 179, 191, 204, 217, 230, 242, 255))
] + [
    # Start screen and the small windows.
    Picture("logoBig", 15095, "PNG", (400, 104), "big logo in the middle of the start screen",
            p.logo, backdrop="pattern", mark_size=96, name_size=64, on_accent=False),
    Picture("startSavingText", 15096, "PNG", (520, 54),
            "start screen: invitation under the user-name box, at (219, 10)",
            p.start_text, backdrop="pattern"),
    Picture("aboutLogo", 15144, "PNG", (48, 48), "About window logo", p.about_logo, backdrop="face"),
    Picture("recommendTitle", 15152, "PNG", (180, 18), "title of the recommendation window",
            p.recommend_title, backdrop="accent"),
] + [
    # Form pictures that carry no id in the layout: numbered here.
    Picture("contentPattern%d" % shift, 15200 + shift, "PNG", (4, 4),
            "grid background pattern moved up by %d rows (scroll phase %d); also the start screen's "
            "bottom area" % (shift, shift), p.content_pattern, opaque=True, shift=shift)
    for shift in range(4)
] + [
    Picture("nameFrame" + piece[0].upper() + piece[1:], 15210 + i, "PNG", (4, 4),
            "user-name box frame: %s" % piece, p.frame_piece, backdrop="accent", opaque=True,
            piece=piece, inside=p.WHITE, outside=p.ACCENT, radius=4)
    for i, piece in enumerate(("leftTop", "rightTop", "leftBottom", "rightBottom", "top", "bottom", "left", "right"))
] + [
    Picture("searchFrame" + piece[0].upper() + piece[1:], 15220 + i, "PNG", (4, 4),
            "search box frame: %s" % piece, p.frame_piece, opaque=True,
            piece=piece, inside=p.SEARCH_PANEL, outside=p.BLACK, radius=4)
    for i, piece in enumerate(("leftTop", "rightTop", "leftBottom", "rightBottom", "top", "bottom", "left", "right"))
]


# ---------------------------------------------------------------- drawing

def render(picture, index):
    """File bytes of one id of a picture."""
    width, height = picture.size
    state = index if picture.three_state else 0
    if picture.kind == "GIF":
        palette, frames, clear = p.spinner_frames(width, GIF_FRAMES, picture.args["transparent"])
        return encoders.gif_bytes(width, height, palette, frames, [GIF_DELAY] * len(frames), clear)
    if picture.kind == "ICON":
        sizes = APP_ICON_SIZES if picture.name == "appIcon" else ARROW_ICON_SIZES
        if picture.name == "appIcon":
            images = [picture.paint(s) for s in sizes]
        else:
            images = [picture.paint(s, state) for s in sizes]
        return encoders.ico_bytes(images)
    image = picture.paint(width, height, state, **picture.args)
    if image.size != (width, height):
        raise ValueError("%s drew %s instead of %s" % (picture.name, image.size, picture.size))
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=True)
    return buffer.getvalue()


def rc_text():
    lines = ["// Generated by tools/skin/generate.py from its SKIN table: do not edit.", ""]
    for picture in SKIN:
        for index, (_, number) in enumerate(picture.constants()):
            lines.append('%d %s "pictures/%s"' % (number, picture.kind, picture.file_name(index)))
    return "\n".join(lines) + "\n"


def header_text():
    lines = [
        "// Generated by tools/skin/generate.py from its SKIN table: do not edit.",
        "// Resource ids of the skin: \"PNG\" and \"GIF\" resources and icons of the program module.",
        "// A button's pictures are id, id + 1 and id + 2 (normal, pointer over, pressed) except where",
        "// the names say otherwise.",
        "#pragma once",
        "",
        "namespace skin {",
        "",
    ]
    for picture in SKIN:
        width, height = picture.size
        lines.append("// %s; %s %d x %d" % (picture.role, picture.kind, width, height))
        for name, number in picture.constants():
            lines.append("constexpr int %s = %d;" % (name, number))
    lines += ["", "}  // namespace skin", ""]
    return "\n".join(lines)


def manifest_text():
    """id, type, width, height, frames (1 for still pictures) and opacity of every resource."""
    lines = []
    for picture in SKIN:
        for number in picture.ids:
            frames = GIF_FRAMES if picture.kind == "GIF" else 1
            lines.append("%d %s %d %d %d %s" % (number, picture.kind, picture.size[0], picture.size[1],
                                                frames, "opaque" if picture.opaque else "alpha"))
    return "\n".join(lines) + "\n"


def outputs(folder):
    files = [os.path.join(folder, "pictures", picture.file_name(i))
             for picture in SKIN for i in range(len(picture.ids))]
    files += [os.path.join(folder, name) for name in
              ("skin.rc", "SkinIds.h", "skin-manifest.txt", "skin-contact-sheet.png")]
    return files


def write(path, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, **({} if mode == "wb" else {"newline": "\n", "encoding": "utf-8"})) as f:
        f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", action="store_true", help="print the output files and stop")
    parser.add_argument("folder")
    args = parser.parse_args()
    folder = os.path.abspath(args.folder)
    if args.list:
        print(";".join(outputs(folder)))
        return 0

    import contactsheet
    os.makedirs(os.path.join(folder, "pictures"), exist_ok=True)
    rendered = {}
    for picture in SKIN:
        for index in range(len(picture.ids)):
            data = render(picture, index)
            rendered[picture.ids[index]] = data
            write(os.path.join(folder, "pictures", picture.file_name(index)), data)
    write(os.path.join(folder, "skin.rc"), rc_text())
    write(os.path.join(folder, "SkinIds.h"), header_text())
    write(os.path.join(folder, "skin-manifest.txt"), manifest_text())
    contactsheet.draw(SKIN, rendered).save(os.path.join(folder, "skin-contact-sheet.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
