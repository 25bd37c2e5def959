"""Scripted FTP servers and FTP proxies for faults that real servers do not produce.

Each mode listens on a port of its own:
  normal         a plain server; the user name picks a misbehaviour (below)
  cut_banner     a multi-line greeting cut off by a close
  endless_banner a multi-line greeting that never ends
  long_lines     every reply line is 300 bytes long or more, one in each transfer 5000 bytes
  proxy0..proxy7 an FTP proxy of log-on method N: it answers 331 to each log-on command until it
                 has the method's count, then 230, and serves files like the normal server after
                 that; a command holding "refuse" is refused with 530, one holding "welcome" is
                 answered with 230 at once

Files: "pattern-N" holds pattern(0, N) of faultserver; "log" holds the commands received on this
connection so far, one per line (CR LF), up to the RETR that fetches it. SIZE and MDTM answer for
both; other names give 550.

User names of the normal server:
  norest          REST is refused with 502
  late            the end-of-transfer reply comes 300 ms after the data connection closed
  cut             the data connection closes after half the file, and the transfer ends with 426
  pasv-five, pasv-big, pasv-host, pasv-zero, pasv-letters, pasv-none
                  PASV replies with five numbers, a port number above 255, a host number above
                  255, port 0, letters, or no numbers at all
  pasv-bare       PASV reply without parentheses (valid)
  pasv-foreign    PASV reply naming 10.1.2.3 with the right port (the client must use 127.0.0.1)
Every password is accepted but "wrong".
"""
import socket
import socketserver
import threading
import time

from faultserver import pattern

MODES = ("normal", "cut_banner", "endless_banner", "long_lines") + tuple("proxy%d" % m for m in range(8))

# How many log-on commands each proxy method sends.
PROXY_COMMANDS = {0: 5, 1: 2, 2: 4, 3: 3, 4: 5, 5: 3, 6: 5, 7: 2}

MODIFIED = "20240102030405"


class Handler(socketserver.StreamRequestHandler):
    def setup(self):
        super().setup()
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.request.settimeout(60)
        self.mode = self.server.mode
        self.log = []
        self.user = ""
        self.logged_on = False
        self.listener = None
        self.rest = 0
        self.proxy_steps = 0

    def reply(self, line, long_size=300):
        text = line
        if self.mode == "long_lines" and not line.startswith("213"):
            text = line + " " + "#" * max(0, long_size - len(line) - 1)
        self.wfile.write(text.encode("latin-1") + b"\r\n")
        self.wfile.flush()

    def handle(self):
        try:
            self.serve()
        except OSError:
            pass
        finally:
            if self.listener:
                self.listener.close()

    def serve(self):
        if self.mode == "cut_banner":
            self.wfile.write(b"220-Welcome\r\n220-the rest of this greeting never comes\r\n")
            self.wfile.flush()
            return
        if self.mode == "endless_banner":
            number = 0
            while True:
                self.wfile.write(b"220-greeting line %d\r\n" % number)
                number += 1
        if self.mode.startswith("proxy"):
            self.reply("220 Scripted FTP proxy ready")
        else:
            self.reply("220-Scripted FTP server\r\n220 ready")
        while True:
            raw = self.rfile.readline(4096)
            if not raw:
                return
            line = raw.decode("latin-1").rstrip("\r\n")
            self.log.append(line)
            verb, _, argument = line.partition(" ")
            verb = verb.upper()
            if not self.logged_on and self.mode.startswith("proxy") and verb not in ("QUIT",):
                self.proxy_logon(line)
                continue
            handler = getattr(self, "ftp_" + verb, None)
            if handler is None:
                self.reply("502 Command not implemented")
            elif handler(argument) == "quit":
                return

    def proxy_logon(self, line):
        method = int(self.mode[5:])
        self.proxy_steps += 1
        if "refuse" in line:
            self.reply("530 Refused")
        elif "welcome" in line or self.proxy_steps >= PROXY_COMMANDS[method]:
            self.logged_on = True
            self.reply("230 Logged on through the proxy")
        else:
            self.reply("331 Go on")

    # Log-on and settings.

    def ftp_USER(self, argument):
        self.user = argument
        self.reply("331 Password required for %s" % argument)

    def ftp_PASS(self, argument):
        if argument == "wrong":
            self.reply("530 Login incorrect")
        else:
            self.logged_on = True
            self.reply("230 Logged on")

    def ftp_TYPE(self, argument):
        self.reply("200 Type set to %s" % argument)

    def ftp_MODE(self, argument):
        self.reply("200 Mode set to %s" % argument)

    def ftp_STRU(self, argument):
        self.reply("200 Structure set to %s" % argument)

    def ftp_NOOP(self, argument):
        self.reply("200 NOOP ok")

    def ftp_QUIT(self, argument):
        self.reply("221 Goodbye")
        return "quit"

    # Files.

    def content(self, name):
        if name == "log":
            return "".join(entry + "\r\n" for entry in self.log).encode("latin-1")
        if name.startswith("pattern-"):
            try:
                return pattern(0, int(name[8:]))
            except ValueError:
                return None
        return None

    def ftp_SIZE(self, argument):
        data = self.content(argument)
        if data is None:
            self.reply("550 No such file")
        else:
            self.reply("213 %d" % len(data))

    def ftp_MDTM(self, argument):
        if self.content(argument) is None:
            self.reply("550 No such file")
        else:
            self.reply("213 " + MODIFIED)

    def ftp_PASV(self, argument):
        if self.listener:
            self.listener.close()
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.listener.settimeout(30)
        port = self.listener.getsockname()[1]
        p1, p2 = port // 256, port % 256
        replies = {
            "pasv-five": "227 Entering Passive Mode (127,0,0,1,%d)." % p1,
            "pasv-big": "227 Entering Passive Mode (127,0,0,1,%d,%d)." % (p1 + 256, p2),
            "pasv-host": "227 Entering Passive Mode (127,0,0,256,%d,%d)." % (p1, p2),
            "pasv-zero": "227 Entering Passive Mode (127,0,0,1,0,0).",
            "pasv-letters": "227 Entering Passive Mode (127,0,0,1,a,b).",
            "pasv-none": "227 Entering Passive Mode.",
            "pasv-bare": "227 Entering Passive Mode 127,0,0,1,%d,%d" % (p1, p2),
            "pasv-foreign": "227 Entering Passive Mode (10,1,2,3,%d,%d)." % (p1, p2),
        }
        self.reply(replies.get(self.user, "227 Entering Passive Mode (127,0,0,1,%d,%d)." % (p1, p2)))

    def ftp_REST(self, argument):
        if self.user == "norest":
            self.reply("502 REST not implemented")
            return
        self.rest = int(argument)
        self.reply("350 Restarting at %d" % self.rest)

    def ftp_RETR(self, argument):
        data = self.content(argument)
        start, self.rest = self.rest, 0
        if data is None or not self.listener:
            self.reply("550 No such file")
            return
        try:
            connection, _ = self.listener.accept()
        except OSError:
            self.reply("425 No data connection")
            return
        finally:
            self.listener.close()
            self.listener = None
        self.reply("150 Opening data connection for %s" % argument, 5000)
        data = data[start:]
        try:
            if self.user == "cut":
                connection.sendall(data[:len(data) // 2])
                connection.close()
                self.reply("426 Connection closed; transfer aborted")
                return
            connection.sendall(data)
            connection.shutdown(socket.SHUT_WR)
            # Wait for the client to close its side, so that a client that stops early is noticed.
            connection.settimeout(30)
            while connection.recv(65536):
                pass
            finished = True
        except OSError:
            finished = False
        finally:
            connection.close()
        if self.user == "late":
            time.sleep(0.3)
        if finished:
            self.reply("226 Transfer complete")
        else:
            self.reply("426 Connection closed; transfer aborted")

    def ftp_ABOR(self, argument):
        # The transfer ended before the server read this: it has answered for it already.
        self.reply("225 No transfer to abort")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 32

    def __init__(self, address, mode):
        self.mode = mode
        super().__init__(address, Handler)


def start(host, mode):
    server = Server((host, 0), mode)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
