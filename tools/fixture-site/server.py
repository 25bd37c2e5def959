#!/usr/bin/env python3
"""The local fixture site: stands in for the photo service, its image host and the maker's web host.

    server.py [--service-port N] [--image-port N] [--maker-port N] [--delay-ms N] [--verbose]

Port 0 picks a free port. The first line printed names the ports that were bound:
    fixture-site ports: service=18080 images=18081 maker=18082
It listens on 127.0.0.1 only. Every reply carries Connection: close, and Content-Length unless
a mode below leaves it out.

Every host also answers the control requests of tests:
    GET  /__log    the requests served so far, as JSON: each with its start and the end of its
                   reply ("time", "end"; "end" is null while the reply is not sent)
    POST /__reset  forgets the log and the counters of the flaky scenarios, restores the modes
    POST /__mode?version=2.2&delay_ms=500&thumb_delay_ms=300   switches the maker's version file,
                   the slow user's delay and a delay of every thumbnail that varies by item
         /__mode?version_file=huge|html|empty|utf16|missing|text   what the maker's version file
                   is: 8 MiB of text, an HTML page, no bytes, the version text in UTF-16 with a
                   byte-order mark, a 404, or (text, the default) the version text and CRLF
         /__mode?version_delay_ms=3000   holds the version file back that long before answering
         /__mode?hold_full=1&no_length=1   full-size pictures and videos send half their body and
                   hold the rest until POST /__mode?release=1 (or a reset); hold_full=video holds
                   only the videos; no_length leaves their Content-Length out
The user "fullsize" serves its full-size pictures in the ways sitedata names; its "slow" one
holds the second half of its body until POST /__mode?release=1.
"""

import argparse
import functools
import json
import os
import select
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import pictures  # noqa: E402
import sitedata  # noqa: E402

HOST = "127.0.0.1"
DEFAULT_PORTS = {"service": 18080, "images": 18081, "maker": 18082}
CURRENT_VERSION = "2.1"

RECOMMEND_PAGE = (
    '<a id="checkLoadedAds" href="#" onclick="return false">x</a>'
    '<input type="hidden" id="documentWidth" value="600">'
    '<input type="hidden" id="documentHeight" value="400">'
    '<a href="{maker}/" target="_blank">more</a>')

HOME_PAGE = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Pixhaul</title></head>"
             "<body><h1>Pixhaul</h1><p>Save the public photos and videos of a user.</p>"
             "<p><a href=\"/downloads/Pixhaul.exe\">Download</a></p></body></html>\n")

# What /__mode?version_file= can make of the maker's version file.
VERSION_FILE_KINDS = ("text", "huge", "html", "empty", "utf16", "missing")
HUGE_VERSION_FILE_SIZE = 8 * 1024 * 1024

REASONS = {200: "OK", 302: "Found", 400: "Bad Request", 403: "Forbidden", 404: "Not Found", 405: "Method Not Allowed",
           500: "Internal Server Error"}


class SiteState:
    """What the three hosts share: users, request log, scenario counters and modes."""

    def __init__(self, delay_ms):
        self.users = sitedata.make_users()
        self.lock = threading.Lock()
        self.log = []
        self.counters = {}
        self.default_delay_ms = delay_ms
        self.delay_ms = delay_ms
        self.thumb_delay_ms = 0
        self.version = CURRENT_VERSION
        self.version_file = "text"
        self.version_delay_ms = 0
        self.stopping = threading.Event()
        self.hold_full = False
        self.released = threading.Event()
        self.released.set()
        self.slow_released = threading.Event()
        self.no_length = False
        self.service_base = ""
        self.image_base = ""
        self.maker_base = ""

    def record(self, entry):
        with self.lock:
            self.log.append(entry)

    def reset(self):
        with self.lock:
            self.log.clear()
            self.counters.clear()
            self.delay_ms = self.default_delay_ms
            self.thumb_delay_ms = 0
            self.version = CURRENT_VERSION
            self.version_file = "text"
            self.version_delay_ms = 0
            self.hold_full = False
            self.no_length = False
        self.released.set()
        self.slow_released.clear()

    def count(self, key):
        """How many times key was counted before this call."""
        with self.lock:
            seen = self.counters.get(key, 0)
            self.counters[key] = seen + 1
            return seen


def thumb_delay_seconds(delay_ms, number):
    """The thumbnail delay of an item: a third to five thirds of delay_ms, varying from item to
    item, so that the replies of one batch overlap and end at different moments."""
    return delay_ms * ((number * 7) % 5 + 1) / 3 / 1000.0


# Large enough to keep every picture of the 1,000-item user, thumbnails and full size.
@functools.lru_cache(maxsize=4096)
def _picture(seed, number, size, height=None):
    return pictures.item_picture(seed, number, size, height)


class Reply:
    def __init__(self, status, body=b"", content_type="text/html; charset=utf-8", headers=()):
        self.status = status
        self.body = body
        self.content_type = content_type
        self.headers = headers
        self.held_until = None  # an event: half the body is sent, the rest once it is set
        self.no_length = False


def not_found():
    return Reply(404, b"<html><body><h1>404 Not Found</h1></body></html>\n")


class FixtureHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "FixtureSite/1.0"
    role = ""

    @property
    def state(self):
        return self.server.state

    def log_message(self, format, *args):
        if self.server.verbose:
            sys.stderr.write("%s %s\n" % (self.role, format % args))

    def do_GET(self):
        self._handle(send_body=True)

    def do_HEAD(self):
        self._handle(send_body=False)

    def do_POST(self):
        self._handle(send_body=True)

    def _handle(self, send_body):
        url = urllib.parse.urlsplit(self.path)
        path = url.path
        query = urllib.parse.parse_qs(url.query)
        if path.startswith("/__"):
            self._send(self._control(path, query), send_body)
            return
        entry = {"time": time.time(), "port": self.server.server_address[1], "host": self.role,
                 "method": self.command, "path": self.path, "status": 0, "end": None}
        self.state.record(entry)
        if self.command == "POST":
            reply = Reply(405, b"method not allowed\n", "text/plain")
        else:
            reply = self.route(path, query)
        if reply is None:  # a stalled reply: hold the connection, answer nothing
            self._hold()
            return
        entry["status"] = reply.status
        self._send(reply, send_body, entry)

    def _control(self, path, query):
        if path == "/__log" and self.command == "GET":
            with self.state.lock:
                body = json.dumps(self.state.log)
            return Reply(200, body.encode("utf-8"), "application/json")
        if path == "/__reset" and self.command == "POST":
            self.state.reset()
            return Reply(200, b"ok\n", "text/plain")
        if path == "/__mode" and self.command == "POST":
            if "version" in query:
                self.state.version = query["version"][0]
            if "delay_ms" in query:
                self.state.delay_ms = int(query["delay_ms"][0])
            if "thumb_delay_ms" in query:
                self.state.thumb_delay_ms = int(query["thumb_delay_ms"][0])
            if "hold_full" in query:
                hold = query["hold_full"][0]
                self.state.hold_full = hold if hold in ("1", "video") else False
                if self.state.hold_full:
                    self.state.released.clear()
            if "release" in query:
                self.state.hold_full = False
                self.state.released.set()
                self.state.slow_released.set()
            if "no_length" in query:
                self.state.no_length = query["no_length"][0] == "1"
            if "version_file" in query:
                kind = query["version_file"][0]
                if kind not in VERSION_FILE_KINDS:
                    return Reply(400, b"unknown version_file\n", "text/plain")
                self.state.version_file = kind
            if "version_delay_ms" in query:
                self.state.version_delay_ms = int(query["version_delay_ms"][0])
            return Reply(200, b"ok\n", "text/plain")
        return not_found()

    def _send(self, reply, send_body, entry=None):
        def last_write(data):
            # The end is logged before the last bytes leave: a client that has the whole reply and
            # asks for the log at once finds it.
            if entry is not None:
                entry["end"] = time.time()
            if data:
                self.wfile.write(data)

        self.send_response(reply.status, REASONS.get(reply.status))
        self.send_header("Content-Type", reply.content_type)
        if not reply.no_length:
            self.send_header("Content-Length", str(len(reply.body)))
        for name, value in reply.headers:
            self.send_header(name, value)
        self.send_header("Connection", "close")
        if not (send_body and reply.body):
            last_write(b"")
            self.end_headers()
        elif reply.held_until is not None:
            self.end_headers()
            half = len(reply.body) // 2
            try:
                self.wfile.write(reply.body[:half])
                self.wfile.flush()
                while not reply.held_until.wait(0.2):
                    if self.state.stopping.is_set():
                        return
                last_write(reply.body[half:])
            except OSError:
                pass  # the client gave up: a stopped download
        else:
            self.end_headers()
            last_write(reply.body)
        self.close_connection = True

    def _hold(self):
        # Keep the connection open until the client gives up or the site stops.
        self.close_connection = True
        while not self.state.stopping.is_set():
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if readable:
                try:
                    if not self.connection.recv(4096):
                        return
                except OSError:
                    return

    def _pause(self, user):
        if user is not None and user.delay and self.state.delay_ms > 0:
            self.state.stopping.wait(self.state.delay_ms / 1000.0)

    def route(self, path, query):
        return not_found()


class ServiceHandler(FixtureHandler):
    role = "service"

    def route(self, path, query):
        state = self.state
        parts = [part for part in path.split("/") if part]
        if not parts:
            names = "".join('<li><a href="/%s">%s</a></li>' % (name, name) for name in state.users)
            return Reply(200, ("<!DOCTYPE html><html><body><ul>%s</ul></body></html>\n" % names)
                         .encode("utf-8"))
        if parts[0] == "p" and len(parts) == 2:
            for user in state.users.values():
                for item in user.items:
                    if item.code == parts[1]:
                        return Reply(200, sitedata.item_page(item))
            return not_found()
        user = state.users.get(parts[0])
        if user is not None and user.redirect_to:
            location = state.service_base + self.path.replace("/" + user.name, "/" + user.redirect_to, 1)
            return Reply(302, b"<html><body>moved</body></html>\n", headers=[("Location", location)])
        if user is None or len(parts) > 2 or (len(parts) == 2 and parts[1] != "media"):
            return not_found()
        self._pause(user)
        if len(parts) == 1:
            if user.stall:
                return None
            failures = user.flaky.get("profile", 0)
            if failures and state.count((user.name, "profile")) < failures:
                return Reply(500, b"<html><body>server error</body></html>\n")
            return Reply(200, user.profile_page(state))
        max_id = query.get("max_id", [None])[0]
        failures = user.flaky.get("page2", 0)
        if max_id is not None and failures and state.count((user.name, "page2")) < failures:
            return Reply(500, b"<html><body>server error</body></html>\n")
        return Reply(200, user.feed_page(state, max_id), "application/json; charset=utf-8")


class ImageHandler(FixtureHandler):
    role = "images"

    def route(self, path, query):
        parts = [part for part in path.split("/") if part]
        # /cdn/<user>/<size>/[<more folders>/]<file>
        if len(parts) < 4 or parts[0] != "cdn":
            return not_found()
        _, name, size = parts[:3]
        file_name = parts[-1]
        user = self.state.users.get(name)
        if user is None:
            return not_found()
        stem, dot, extension = file_name.rpartition(".")
        if not dot:
            stem, extension = file_name, ""
        item = user.item_at(urllib.parse.unquote(path), urllib.parse.unquote(stem))
        if item is None:
            return not_found()
        self._pause(user)
        seed = "%s/%s" % (user.name, item.id)
        if size == "s" and item.number in user.full:
            return self._scenario_full(user, item, seed)
        if size == "l" and extension == "jpg":
            if self.state.thumb_delay_ms > 0:
                self.state.stopping.wait(thumb_delay_seconds(self.state.thumb_delay_ms, item.number))
            status = item.user.thumb_status.get(item.number)
            if status:
                return Reply(status, b"<html><body>refused</body></html>\n")
            if item.number in user.empty_thumbs:
                return Reply(200, b"", "image/jpeg")
            return Reply(200, _picture(seed, item.number, 320), "image/jpeg")
        if size == "t" and extension == "jpg":
            return Reply(200, _picture(seed, item.number, 152), "image/jpeg")
        if size == "s" and extension == "jpg":
            width, height = item.full_size
            return self._full(Reply(200, _picture(seed, item.number, width, height), "image/jpeg"))
        if size == "v" and extension == "mp4" and item.kind == "video":
            return self._full(Reply(200, pictures.video_bytes(seed, item.number), "video/mp4"))
        return not_found()

    def _full(self, reply):
        hold = self.state.hold_full
        held = hold == "1" or (hold == "video" and reply.content_type == "video/mp4")
        reply.held_until = self.state.released if held else None
        reply.no_length = self.state.no_length
        return reply

    def _scenario_full(self, user, item, seed):
        kind = user.full[item.number]
        failing = Reply(500, b"<html><body>server error</body></html>\n")
        if kind == "broken" or (kind == "flaky" and self.state.count((user.name, item.id, "full")) < 2):
            return failing
        if kind == "notpicture":
            return Reply(200, b"this is not a picture\n" * 40, "image/jpeg")
        reply = Reply(200, _picture(seed, item.number, 64 if kind == "small" else 640), "image/jpeg")
        if kind == "slow":
            reply.held_until = self.state.slow_released
        return reply


class MakerHandler(FixtureHandler):
    role = "maker"

    def route(self, path, query):
        state = self.state
        if path == "/CurrentVersion.txt":
            if state.version_delay_ms > 0:
                state.stopping.wait(state.version_delay_ms / 1000.0)
            return version_file_reply(state.version_file, state.version)
        if path == "/Recommend.html":
            return Reply(200, RECOMMEND_PAGE.format(maker=state.maker_base).encode("utf-8"))
        if path == "/downloads/Pixhaul.exe":
            body = b"MZ" + b"fixture installer stand-in\r\n" * 256
            return Reply(200, body, "application/octet-stream")
        if path in ("/", "/index.html"):
            return Reply(200, HOME_PAGE.encode("utf-8"))
        return not_found()


def version_file_reply(kind, version):
    """The maker's version file in one of the shapes of VERSION_FILE_KINDS."""
    if kind == "missing":
        return not_found()
    if kind == "huge":
        line = (version + "\r\n").encode("ascii")
        return Reply(200, line + b"x" * (HUGE_VERSION_FILE_SIZE - len(line)), "text/plain")
    if kind == "html":
        return Reply(200, HOME_PAGE.encode("utf-8"))
    if kind == "empty":
        return Reply(200, b"", "text/plain")
    if kind == "utf16":
        return Reply(200, b"\xff\xfe" + (version + "\r\n").encode("utf-16-le"), "text/plain")
    return Reply(200, (version + "\r\n").encode("ascii"), "text/plain")


class _Server(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True


class FixtureSite:
    """The three hosts, each served on its own thread."""

    def __init__(self, service_port=0, image_port=0, maker_port=0, delay_ms=1500, verbose=False):
        self.state = SiteState(delay_ms)
        self.servers = {}
        self.threads = []
        for role, port, handler in (("service", service_port, ServiceHandler),
                                    ("images", image_port, ImageHandler),
                                    ("maker", maker_port, MakerHandler)):
            server = _Server((HOST, port), handler)
            server.state = self.state
            server.verbose = verbose
            self.servers[role] = server
        self.state.service_base = "http://%s:%d" % (HOST, self.port("service"))
        self.state.image_base = "http://%s:%d" % (HOST, self.port("images"))
        self.state.maker_base = "http://%s:%d" % (HOST, self.port("maker"))

    def port(self, role):
        return self.servers[role].server_address[1]

    def base(self, role):
        return "http://%s:%d" % (HOST, self.port(role))

    def start(self):
        for server in self.servers.values():
            thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1},
                                      daemon=True)
            thread.start()
            self.threads.append(thread)
        return self

    def stop(self):
        self.state.stopping.set()
        for server in self.servers.values():
            server.shutdown()
            server.server_close()
        for thread in self.threads:
            thread.join()


def main(argv=None):
    parser = argparse.ArgumentParser(description="Local fixture site for Pixhaul's tests and demo.")
    parser.add_argument("--service-port", type=int, default=DEFAULT_PORTS["service"])
    parser.add_argument("--image-port", type=int, default=DEFAULT_PORTS["images"])
    parser.add_argument("--maker-port", type=int, default=DEFAULT_PORTS["maker"])
    parser.add_argument("--delay-ms", type=int, default=1500,
                        help="how long the slow user's replies wait")
    parser.add_argument("--verbose", action="store_true", help="log every request to stderr")
    args = parser.parse_args(argv)

    site = FixtureSite(args.service_port, args.image_port, args.maker_port, args.delay_ms,
                       args.verbose).start()
    print("fixture-site ports: service=%d images=%d maker=%d" % (
        site.port("service"), site.port("images"), site.port("maker")))
    print("fixture-site: service %s/  images %s/  maker %s/  (Ctrl+C stops)" % (
        site.base("service"), site.base("images"), site.base("maker")))
    print("fixture-site users: %s" % " ".join(site.state.users))
    sys.stdout.flush()
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        pass
    finally:
        site.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
