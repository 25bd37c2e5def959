"""Presses or lets go a key at the X server, as a keyboard does (the XTest extension).

Usage: xkey.py KEYSYM down|up    (for example Shift_L down)
Wine takes its modifier state from the X server with each pointer event, so a modifier that a
test holds across clicks must be held here rather than sent through Windows.
"""

import ctypes
import sys


def main(argv):
    keysym_name, action = argv[1], argv[2]
    x11 = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XStringToKeysym.restype = ctypes.c_ulong
    display = x11.XOpenDisplay(None)
    if not display:
        return 1
    display = ctypes.c_void_p(display)
    keysym = x11.XStringToKeysym(keysym_name.encode("ascii"))
    keycode = x11.XKeysymToKeycode(display, ctypes.c_ulong(keysym))
    ok = keycode and xtst.XTestFakeKeyEvent(display, keycode, action == "down", 0)
    x11.XFlush(display)
    x11.XCloseDisplay(display)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
