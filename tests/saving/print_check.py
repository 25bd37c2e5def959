"""Renders a PostScript print job with ghostscript and describes each page's picture.

Usage: print_check.py RESULT POSTSCRIPT DPI
Waits for the job file to be complete, renders every page at DPI, and writes to RESULT one entry per
page, separated by ";": the picture's main colour (R, G, B, or ? for an empty page) and the box of
its non-white pixels "x0 y0 x1 y1" (x1, y1 exclusive), or "error: ..." when that fails.
"""
import glob
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image


def describe(page):
    image = Image.open(page).convert("RGB")
    mask = image.convert("L").point(lambda v: 255 if v < 200 else 0)
    box = mask.getbbox()
    if box is None:
        return "? 0 0 0 0"
    red, green, blue = image.getpixel(((box[0] + box[2]) // 2, (box[1] + box[3]) // 2))
    colour = "R" if red > 128 and green < 128 else "G" if green > 128 and red < 128 else "B" if blue > 128 else "?"
    return "%s %d %d %d %d" % ((colour,) + box)


def check(postscript, dpi):
    deadline = time.time() + 60
    while not (os.path.exists(postscript) and open(postscript, "rb").read().rstrip().endswith(b"%%EOF")):
        if time.time() > deadline:
            return "error: no complete job in %s" % postscript
        time.sleep(0.1)
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r%s" % dpi,
                        "-sOutputFile=%s/page%%03d.png" % folder, postscript], check=True, capture_output=True)
        return ";".join(describe(page) for page in sorted(glob.glob(folder + "/page*.png")))


def main():
    result, postscript, dpi = sys.argv[1:4]
    try:
        text = check(postscript, dpi)
    except Exception as error:
        text = "error: %s: %s" % (type(error).__name__, error)
    with open(result + ".part", "w") as out:
        out.write(text + "\n")
    os.replace(result + ".part", result)


if __name__ == "__main__":
    main()
