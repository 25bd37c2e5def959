#!/usr/bin/env python3
"""FTP servers on 127.0.0.1 built on pyftpdlib, each a real server with one scripted misbehaviour.

    ftpservers.py --root DIR --port MODE=PORT [--port MODE=PORT ...]

Every server serves DIR read-only to the user "user" (password "secret") and to anonymous guests.
Modes:
  plain      a multi-line greeting, otherwise as pyftpdlib comes
  norest     REST is refused with 502
  longreply  every reply line but SIZE's and MDTM's is padded past 300 bytes, the greeting too
  badpasv    PASV answers with five numbers instead of six
Runs until it is terminated.
"""
import argparse
import logging

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

HOST = "127.0.0.1"


class Plain(FTPHandler):
    # Longer than 75 characters, so pyftpdlib sends it as a multi-line reply.
    banner = ("Pixhaul test server\r\nplain FTP on the loopback address\r\n"
              "files are read-only here")
    timeout = 120
    auth_failed_timeout = 0


class NoRest(Plain):
    def ftp_REST(self, line):
        self.respond("502 Restarting a transfer is not supported here.")


class LongReply(Plain):
    banner = "Pixhaul test server with long reply lines " + "=" * 300

    def respond(self, resp, logfun=logging.debug):
        # SIZE and MDTM carry a value that padding would spoil.
        if "\r\n" not in resp and not resp.startswith("213"):
            resp = resp + " " + "~" * 300
        super().respond(resp, logfun)


class BadPasv(Plain):
    def ftp_PASV(self, line):
        self.respond("227 Entering Passive Mode (127,0,0,1,7).")


HANDLERS = {"plain": Plain, "norest": NoRest, "longreply": LongReply, "badpasv": BadPasv}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", action="append", default=[])
    args = parser.parse_args()
    logging.basicConfig(level=logging.WARNING)

    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "secret", args.root, perm="elr")
    authorizer.add_anonymous(args.root)

    ioloop = IOLoop()
    servers = []
    for item in args.port:
        mode, _, port = item.partition("=")
        handler = type(mode, (HANDLERS[mode],), {"authorizer": authorizer})
        servers.append(FTPServer((HOST, int(port)), handler, ioloop=ioloop))
    try:
        ioloop.loop()
    except KeyboardInterrupt:
        pass
    finally:
        for server in servers:
            server.close_all()


if __name__ == "__main__":
    main()
