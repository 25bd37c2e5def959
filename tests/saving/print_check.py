"""Renders a PostScript print job with ghostscript and tells which photo each page shows.

Usage: print_check.py RESULT POSTSCRIPT DPI ARTIFACTS PHOTO...
Waits for the job file to be complete, renders every page at DPI, keeps the pages as
ARTIFACTS-<n>.png (when ARTIFACTS is not empty), and writes to RESULT one entry per page, separated
by ";": the number of the photo the page shows (counted from 0 in the order given; "-" for an
empty page, "?" when it looks like none of them) and the box of its non-white pixels "x0 y0 x1 y1"
(x1, y1 exclusive); or "error: ..." when that fails. A page is matched to the photo whose
downscaled picture differs least from the downscaled printed box.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageStat

SAMPLE = (16, 16)
# Mean difference per channel (0..255) up to which a printed box still shows a photo.
MATCH_LIMIT = 24


def thumbnail(image):
    return image.convert("RGB").resize(SAMPLE, Image.BOX)


def difference(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def describe(page, photos):
    image = Image.open(page).convert("RGB")
    # Non-white: any channel clearly below paper white.
    red, green, blue = image.split()
    darkest = ImageChops.darker(ImageChops.darker(red, green), blue)
    box = darkest.point(lambda v: 255 if v < 240 else 0).getbbox()
    if box is None:
        return "- 0 0 0 0"
    printed = thumbnail(image.crop(box))
    scores = [difference(printed, photo) for photo in photos]
    best = min(range(len(scores)), key=scores.__getitem__) if scores else None
    label = str(best) if best is not None and scores[best] <= MATCH_LIMIT else "?"
    return "%s %d %d %d %d" % ((label,) + box)


def check(postscript, dpi, artifacts, photo_files):
    photos = [thumbnail(Image.open(path)) for path in photo_files]
    deadline = time.time() + 60
    while not (os.path.exists(postscript) and open(postscript, "rb").read().rstrip().endswith(b"%%EOF")):
        if time.time() > deadline:
            return "error: no complete job in %s" % postscript
        time.sleep(0.1)
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r%s" % dpi,
                        "-sOutputFile=%s/page%%03d.png" % folder, postscript], check=True, capture_output=True)
        pages = sorted(glob.glob(folder + "/page*.png"))
        if artifacts:
            os.makedirs(os.path.dirname(artifacts), exist_ok=True)
            for number, page in enumerate(pages, 1):
                shutil.copyfile(page, "%s-%d.png" % (artifacts, number))
        return ";".join(describe(page, photos) for page in pages)


def main():
    result, postscript, dpi, artifacts = sys.argv[1:5]
    try:
        text = check(postscript, dpi, artifacts, sys.argv[5:])
    except Exception as error:
        text = "error: %s: %s" % (type(error).__name__, error)
    with open(result + ".part", "w") as out:
        out.write(text + "\n")
    os.replace(result + ".part", result)


if __name__ == "__main__":
    main()
