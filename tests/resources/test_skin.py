"""Checks of the generated skin: the table against the ids the windows load, and the files the
build drew from it (sizes, states, animation, opacity, seamless pieces, script and header).

Run by CTest with PIXHAUL_SOURCE_DIR and PIXHAUL_SKIN_DIR (the build's resources folder).
"""

import io
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("PIXHAUL_SOURCE_DIR",
                        os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
SKIN_DIR = os.environ.get("PIXHAUL_SKIN_DIR", "")
GENERATOR = os.path.join(SOURCE, "tools", "skin", "generate.py")
sys.path.insert(0, os.path.dirname(GENERATOR))

from PIL import Image  # noqa: E402

import generate  # noqa: E402

# Every id the program's windows load (scroll bars, tiles, title area, toolbar, bottom panel,
# full-size view, overlay, start screen, About and recommendation windows), with its type.
REQUIRED = {}
REQUIRED.update({i: "ICON" for i in list(range(15001, 15007)) + list(range(15011, 15017))})
REQUIRED.update({i: "PNG" for i in list(range(15023, 15091)) + list(range(15094, 15103))
                 + list(range(15105, 15153))})
REQUIRED.update({15103: "GIF", 15104: "GIF", 1: "ICON"})
# Sizes the layout fixes: tiles, video bar, overlay, shadows, About logo.
REQUIRED_SIZES = {15023: (72, 72), 15103: (32, 32), 15104: (32, 32), 15144: (48, 48),
                  15024: (12, 12), 15026: (24, 12), 15028: (24, 12), 15030: (12, 12)}
REQUIRED_SIZES.update({i: (17, 17) for i in (15105, 15108, 15114, 15117)})
REQUIRED_SIZES.update({i: (23, 23) for i in (15111, 15112, 15113)})
REQUIRED_SIZES.update({i: (16, 17) for i in (15120, 15121, 15122)})
REQUIRED_SIZES.update({i: (4, 4) for i in range(15123, 15135)})
OVERLAY_ALPHAS = (0, 128, 140, 153, 166, 179, 191, 204, 217, 230, 242, 255)
# Buttons whose three faces are not id, id + 1, id + 2.
SCATTERED_SETS = {(15101, 15148, 15149), (15102, 15150, 15151)}


def _by_id():
    result = {}
    for picture in generate.SKIN:
        for index, number in enumerate(picture.ids):
            result[number] = (picture, index)
    return result


class SkinTable(unittest.TestCase):
    def test_every_loaded_id_is_drawn_with_its_type(self):
        by_id = _by_id()
        missing = sorted(set(REQUIRED) - set(by_id))
        self.assertEqual(missing, [], "ids the windows load but the skin lacks")
        for number, kind in REQUIRED.items():
            self.assertEqual(by_id[number][0].kind, kind, "type of %d" % number)

    def test_ids_and_names_are_unique_identifiers(self):
        numbers = [n for picture in generate.SKIN for n in picture.ids]
        self.assertEqual(len(numbers), len(set(numbers)))
        names = [name for picture in generate.SKIN for name, _ in picture.constants()]
        self.assertEqual(len(names), len(set(names)))
        for name in names:
            self.assertRegex(name, r"^[a-z][A-Za-z0-9]*$")

    def test_three_state_sets_follow_the_id_rule(self):
        for picture in generate.SKIN:
            if picture.three_state and picture.ids not in SCATTERED_SETS:
                first = picture.ids[0]
                self.assertEqual(picture.ids, (first, first + 1, first + 2), picture.name)

    def test_faces_of_one_button_share_its_size(self):
        sizes = {p.name: p.size for p in generate.SKIN}
        for group in (("startButton", "stopButton"),
                      ("slideshowButton", "slideshowFastButton", "slideshowModerateButton",
                       "slideshowSlowButton"),
                      ("videoPlayButton", "videoPauseButton"), ("soundOnButton", "soundMutedButton"),
                      ("markSelected", "markUnselected")):
            self.assertEqual(len({sizes[name] for name in group}), 1, group)

    def test_fixed_sizes(self):
        by_id = _by_id()
        for number, size in REQUIRED_SIZES.items():
            self.assertEqual(by_id[number][0].size, size, "size of %d" % number)


@unittest.skipUnless(SKIN_DIR, "PIXHAUL_SKIN_DIR names the drawn skin")
class DrawnSkin(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.images = {}
        cls.data = {}
        for picture in generate.SKIN:
            for index, number in enumerate(picture.ids):
                path = os.path.join(SKIN_DIR, "pictures", picture.file_name(index))
                with open(path, "rb") as f:
                    cls.data[number] = f.read()

    def image(self, number):
        return Image.open(io.BytesIO(self.data[number]))

    def rgba(self, number):
        return self.image(number).convert("RGBA")

    def test_every_file_has_its_type_and_size(self):
        formats = {"PNG": "PNG", "GIF": "GIF", "ICON": "ICO"}
        for picture in generate.SKIN:
            for number in picture.ids:
                image = self.image(number)
                self.assertEqual(image.format, formats[picture.kind], number)
                if picture.kind == "ICON":
                    self.assertEqual(self._first_icon_size(self.data[number]), picture.size, number)
                else:
                    self.assertEqual(image.size, picture.size, number)

    @staticmethod
    def _icon_sizes(data):
        count = struct.unpack_from("<H", data, 4)[0]
        return [((data[6 + 16 * i] or 256), (data[7 + 16 * i] or 256)) for i in range(count)]

    def _first_icon_size(self, data):
        return self._icon_sizes(data)[0]

    def test_icons_hold_the_sizes_windows_ask_for(self):
        for picture in generate.SKIN:
            if picture.kind != "ICON":
                continue
            for number in picture.ids:
                sizes = set(self._icon_sizes(self.data[number]))
                wanted = {(16, 16), (32, 32), (48, 48), (256, 256)} if number == 1 else {(16, 16), (17, 17)}
                self.assertTrue(wanted <= sizes, "%d has %s" % (number, sorted(sizes)))
                icon = self.image(number)
                for size in sorted(sizes):
                    icon.size = size
                    self.assertEqual(icon.convert("RGBA").size, size)

    def test_three_faces_are_visibly_different(self):
        for picture in generate.SKIN:
            if not picture.three_state:
                continue
            faces = []
            for number in picture.ids:
                if picture.kind == "ICON":
                    icon = self.image(number)
                    icon.size = picture.size
                    faces.append(icon.convert("RGBA").tobytes())
                else:
                    faces.append(self.rgba(number).tobytes())
            self.assertEqual(len(set(faces)), 3, "%s: each state needs its own face" % picture.name)

    def test_buttons_on_panels_are_opaque_and_overlays_keep_their_alpha(self):
        for picture in generate.SKIN:
            if picture.kind != "PNG":
                continue
            for number in picture.ids:
                low, high = self.rgba(number).getchannel("A").getextrema()
                if picture.opaque:
                    self.assertEqual(low, 255, "%d shows what lies under an opaque control" % number)
                elif not picture.name.startswith("overlay"):
                    self.assertLess(low, 255, "%d should let its background through" % number)
        for level, alpha in enumerate(OVERLAY_ALPHAS):
            pixels = set(self.rgba(15123 + level).getdata())
            self.assertEqual(pixels, {(0, 0, 0, alpha)}, "overlay level %d" % level)

    def test_busy_animations_play(self):
        for number in (15103, 15104):
            gif = self.image(number)
            self.assertEqual(gif.n_frames, generate.GIF_FRAMES)
            self.assertGreater(gif.n_frames, 1)
            frames = []
            for index in range(gif.n_frames):
                gif.seek(index)
                # A delay of 0 would make the player rest on the frame for ever.
                self.assertGreaterEqual(gif.info.get("duration", 0), 10)
                frames.append(gif.convert("RGBA").tobytes())
            self.assertEqual(len(set(frames)), len(frames), "every frame moves")
        # The big one sits on the black view, opaque; the small one is see-through round its badge.
        big = self.image(15103)
        self.assertNotIn("transparency", big.info)
        small = self.rgba(15104)
        self.assertEqual(small.getpixel((0, 0))[3], 0)
        self.assertEqual(small.getpixel((16, 16))[3], 255)

    def test_grid_pattern_copies_follow_the_scroll_phase(self):
        base = self.rgba(15200)
        height = base.height
        self.assertLessEqual(height, 4, "the scroll box keeps four phases only")
        for shift in range(4):
            copy = self.rgba(15200 + shift)
            for y in range(height):
                for x in range(base.width):
                    self.assertEqual(copy.getpixel((x, y)), base.getpixel((x, (y + shift) % height)))

    def test_progress_fill_tiles_without_seams(self):
        fill = self.rgba(15204)
        w, h = fill.size

        def step(a, b):
            return max(abs(a[i] - b[i]) for i in range(3))

        inner = max(step(fill.getpixel((x, y)), fill.getpixel((x + 1, y))) for y in range(h) for x in range(w - 1))
        across = max(step(fill.getpixel((w - 1, y)), fill.getpixel((0, y))) for y in range(h))
        down = max(step(fill.getpixel((x, h - 1)), fill.getpixel((x, 0))) for x in range(w))
        self.assertLessEqual(across, inner + 1)
        self.assertLessEqual(down, inner + 1)

    def test_shadow_pieces_join_without_seams(self):
        # Compose the shadow of a 150-px photo as the tiles place the pieces, then look for jumps.
        L = T = 13
        W = H = 150
        canvas = Image.new("RGBA", (W + 26, H + 26), (0, 0, 0, 0))
        places = ((15024, L - 13, T - 1, 12, 12), (15025, L - 13, T + 11, 12, H - 10),
                  (15026, L - 13, T + H + 1, 24, 12), (15027, L + 11, T + H + 1, W - 22, 12),
                  (15028, L + W - 11, T + H + 1, 24, 12), (15029, L + W + 1, T + 11, 12, H - 10),
                  (15030, L + W + 1, T - 1, 12, 12))
        for number, x, y, w, h in places:
            piece = self.rgba(number)
            if piece.size != (w, h):
                # The edges are uniform along their length, so stretching and tiling agree.
                piece = piece.resize((w, h), Image.NEAREST)
            canvas.alpha_composite(piece, (x, y))
        # The pieces together must match the shadow that a tile of this size casts.
        import pictures
        ideal = pictures._tile_shadow(W).getchannel("A")
        alpha = canvas.getchannel("A")
        worst = 0
        for y in range(canvas.height):
            for x in range(canvas.width):
                if L - 1 <= x < L + W + 1 and T - 1 <= y < T + H + 1:
                    continue  # under the photo and its border
                worst = max(worst, abs(alpha.getpixel((x, y)) - ideal.getpixel((x, y))))
        self.assertLessEqual(worst, 2, "the pieces leave a seam or a step")
        self.assertGreater(alpha.getpixel((L + W // 2, T + H + 3)), 40, "the shadow shows under the tile")

    def test_resource_script_embeds_every_id_once(self):
        with open(os.path.join(SKIN_DIR, "skin.rc"), encoding="utf-8") as f:
            script = f.read()
        lines = re.findall(r'^(\d+) (PNG|GIF|ICON) "pictures/([^"]+)"$', script, re.M)
        numbers = [int(n) for n, _, _ in lines]
        self.assertEqual(len(numbers), len(set(numbers)))
        by_id = _by_id()
        self.assertEqual(set(numbers), set(by_id))
        for number, kind, name in lines:
            picture, index = by_id[int(number)]
            self.assertEqual(kind, picture.kind)
            self.assertTrue(os.path.isfile(os.path.join(SKIN_DIR, "pictures", name)), name)

    def test_header_names_every_id(self):
        with open(os.path.join(SKIN_DIR, "SkinIds.h"), encoding="utf-8") as f:
            header = f.read()
        constants = dict((name, int(n)) for name, n in re.findall(r"constexpr int (\w+) = (\d+);", header))
        expected = dict(c for picture in generate.SKIN for c in picture.constants())
        self.assertEqual(constants, expected)
        self.assertEqual(constants["startButtonPressed"], 15048)
        self.assertEqual(constants["markSelectedOver"], 15148)

    def test_drawing_again_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.executable, GENERATOR, folder], check=True)
            for name in ("skin.rc", "SkinIds.h"):
                with open(os.path.join(folder, name), "rb") as a, open(os.path.join(SKIN_DIR, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), name)
            for picture in generate.SKIN:
                for index, number in enumerate(picture.ids):
                    with open(os.path.join(folder, "pictures", picture.file_name(index)), "rb") as f:
                        self.assertEqual(f.read(), self.data[number], picture.file_name(index))


if __name__ == "__main__":
    unittest.main()
