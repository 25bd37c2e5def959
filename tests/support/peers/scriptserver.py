"""A scripted HTTP server for faults that nginx does not produce, used by peers.py.

Paths (SIZE in bytes, NAME any file name; the body of NAME is random-looking bytes of SIZE, also written
to FOLDER/NAME so that tests can compare):
  /file/SIZE/NAME          byte ranges served (206), HEAD with Content-Length and Last-Modified
  /noranges/SIZE/NAME      every request gets the whole file (200), no Accept-Ranges
  /nolength/SIZE/NAME      no Content-Length: the body ends when the connection closes
  /short/SIZE/NAME         like /noranges/, but every reply sends half the body it announces and closes
  /status/CODE/NAME        answers with status CODE
  /switch/SIZE/NAME        like /file/, sent slowly; ignores ranges while FOLDER/NAME.ignore-ranges exists
  /redirect/N/SIZE/NAME    N absolute redirects (302), then like /file/
  /rel/N/SIZE/NAME         N relative redirects ("../../N-1/SIZE/NAME"), then like /file/
  /tohttps/PATH            a redirect to https://localhost:<nginx https port>/PATH
  /tolocalhost/PATH        a redirect to the same server by another name: http://localhost:<port>/PATH
  /useproxy/PATH           305 Use Proxy, naming this server as the proxy
  /stall/NAME              answers nothing for 30 seconds (or until the server stops)
  /claims/SIZE/NAME        announces SIZE bytes (any size) and byte ranges, sends 1000 zero bytes, closes
Every request is appended to FOLDER/requests.log as "METHOD PATH RANGE", and to
FOLDER/authorization.log as "HOST PATH AUTHORIZATION" ("-" for a header not sent).
"""
import os
import random
import re
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LAST_MODIFIED = "Wed, 21 Oct 2015 07:28:00 GMT"


class ScriptedServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128

    def __init__(self, address, folder, https_port):
        super().__init__(address, Handler)
        self.folder = folder
        self.https_port = https_port
        self.lock = threading.Lock()
        self.bodies = {}
        self.stopping = threading.Event()
        os.makedirs(folder, exist_ok=True)

    def body(self, name, size):
        with self.lock:
            key = (name, size)
            if key not in self.bodies:
                data = random.Random(name).randbytes(size)
                with open(os.path.join(self.folder, name), "wb") as f:
                    f.write(data)
                self.bodies[key] = data
            return self.bodies[key]

    def log_request_line(self, method, path, headers):
        with self.lock:
            with open(os.path.join(self.folder, "requests.log"), "a") as f:
                f.write("%s %s %s\n" % (method, path, headers.get("Range") or "-"))
            with open(os.path.join(self.folder, "authorization.log"), "a") as f:
                f.write("%s %s %s\n" % (headers.get("Host") or "-", path, headers.get("Authorization") or "-"))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.handle_request(head=True)

    def do_GET(self):
        self.handle_request(head=False)

    def send_plain(self, status, headers, body=b"", head=False):
        self.send_response(status)
        for key, value in headers:
            self.send_header(key, value)
        self.send_header("Connection", "close")
        self.end_headers()
        if not head and body:
            self.wfile.write(body)
        self.close_connection = True

    def send_file(self, body, head, ranges=True, slow=False, length=True, cut=False):
        headers = [("Last-Modified", LAST_MODIFIED)]
        if ranges:
            headers.append(("Accept-Ranges", "bytes"))
        start, end, status = 0, len(body) - 1, 200
        match = re.match(r"bytes=(\d+)-(\d*)$", self.headers.get("Range", "") or "")
        if ranges and match and not head:
            start = int(match.group(1))
            end = int(match.group(2)) if match.group(2) else len(body) - 1
            end = min(end, len(body) - 1)
            if start > end:
                self.send_plain(416, [("Content-Range", "bytes */%d" % len(body)), ("Content-Length", "0")])
                return
            status = 206
            headers.append(("Content-Range", "bytes %d-%d/%d" % (start, end, len(body))))
        part = body[start:end + 1]
        if length:
            headers.append(("Content-Length", str(len(part))))
        self.send_response(status)
        for key, value in headers:
            self.send_header(key, value)
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        if head:
            return
        if cut:
            part = part[:len(part) // 2]
        if not slow:
            self.wfile.write(part)
            return
        for offset in range(0, len(part), 8192):
            self.wfile.write(part[offset:offset + 8192])
            self.wfile.flush()
            time.sleep(0.01)

    def handle_request(self, head):
        server = self.server
        path = self.path.split("?")[0]
        server.log_request_line(self.command, path, self.headers)
        parts = path.strip("/").split("/")
        kind = parts[0] if parts else ""
        try:
            if kind in ("file", "noranges", "nolength", "short", "switch") and len(parts) == 3:
                size, name = int(parts[1]), parts[2]
                body = server.body(name, size)
                if kind == "file":
                    self.send_file(body, head)
                elif kind == "noranges":
                    self.send_file(body, head, ranges=False)
                elif kind == "short":
                    self.send_file(body, head, ranges=False, cut=True)
                elif kind == "nolength":
                    self.send_file(body, head, ranges=False, length=False)
                elif kind == "switch":
                    ignore = os.path.exists(os.path.join(server.folder, name + ".ignore-ranges"))
                    self.send_file(body, head, ranges=not ignore, slow=True)
            elif kind == "status" and len(parts) == 3:
                self.send_plain(int(parts[1]), [("Content-Length", "0")], head=head)
            elif kind in ("redirect", "rel") and len(parts) == 4:
                turns, size, name = int(parts[1]), int(parts[2]), parts[3]
                if turns <= 0:
                    self.send_file(server.body(name, size), head)
                elif kind == "redirect":
                    host, port = self.server.server_address[:2]
                    location = "http://%s:%d/redirect/%d/%d/%s" % (host, port, turns - 1, size, name)
                    self.send_plain(302, [("Location", location), ("Content-Length", "0")], head=head)
                else:
                    location = "../../%d/%d/%s" % (turns - 1, size, name)
                    self.send_plain(302, [("Location", location), ("Content-Length", "0")], head=head)
            elif kind == "claims" and len(parts) == 3:
                headers = [("Accept-Ranges", "bytes"), ("Content-Length", parts[1])]
                self.send_plain(200, headers, bytes(1000), head=head)
            elif kind == "stall":
                server.stopping.wait(30)
                self.send_plain(503, [("Content-Length", "0")], head=head)
            elif kind == "tohttps":
                location = "https://localhost:%d/%s" % (server.https_port, "/".join(parts[1:]))
                self.send_plain(302, [("Location", location), ("Content-Length", "0")], head=head)
            elif kind == "tolocalhost":
                location = "http://localhost:%d/%s" % (server.server_address[1], "/".join(parts[1:]))
                self.send_plain(302, [("Location", location), ("Content-Length", "0")], head=head)
            elif kind == "useproxy":
                proxy = "http://%s:%d/" % server.server_address[:2]
                self.send_plain(305, [("Location", proxy), ("Content-Length", "0")], head=head)
            else:
                self.send_plain(404, [("Content-Length", "0")], head=head)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True


    def shutdown(self):
        self.stopping.set()
        super().shutdown()


def start(host, folder, https_port):
    server = ScriptedServer((host, 0), folder, https_port)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
