#!/usr/bin/env python3
"""The fixture site for a test program that runs under Wine.

    fixturesite.py --ports-file FILE [--delay-ms N]

Starts the three hosts of tools/fixture-site/server.py on free ports of 127.0.0.1, listens on a
control port of its own, and writes FILE (written whole, then renamed into place):
    service=<port> images=<port> maker=<port> control=<port>
The test program connects to the control port; the site stops when that connection closes (the
test program ended it or died), or when nobody connects within 60 seconds.
"""

import argparse
import os
import signal
import socket
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "fixture-site"))

import server  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ports-file", required=True)
    parser.add_argument("--delay-ms", type=int, default=1500)
    args = parser.parse_args()

    control = socket.socket()
    control.bind((server.HOST, 0))
    control.listen(1)
    control.settimeout(60)

    site = server.FixtureSite(0, 0, 0, args.delay_ms).start()
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    try:
        text = "service=%d images=%d maker=%d control=%d\n" % (
            site.port("service"), site.port("images"), site.port("maker"), control.getsockname()[1])
        temporary = args.ports_file + ".tmp"
        with open(temporary, "w") as f:
            f.write(text)
        os.replace(temporary, args.ports_file)
        connection, _ = control.accept()
        connection.settimeout(None)
        while connection.recv(1024):
            pass
    except (KeyboardInterrupt, socket.timeout, OSError):
        pass
    finally:
        site.stop()
        try:
            os.remove(args.ports_file)
        except OSError:
            pass


if __name__ == "__main__":
    main()
