"""Tests of the fixture site: paging chains, scenario status codes, pictures and the control requests.

Run: python3 -m unittest discover -s tools/fixture-site -p "test_*.py"
The picture test needs Pillow (Debian's python3-pil); it is skipped without it unless
PIXHAUL_REQUIRE_PIL is set, as the test run sets it.
"""

import hashlib
import http.client
import io
import json
import os
import re
import socket
import subprocess
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import make_golden  # noqa: E402
import server  # noqa: E402
import sitedata  # noqa: E402

try:
    from PIL import Image
except ImportError:  # pragma: no cover - depends on the machine
    Image = None


class SiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = server.FixtureSite(delay_ms=50).start()

    @classmethod
    def tearDownClass(cls):
        cls.site.stop()

    def setUp(self):
        self.request("service", "POST", "/__reset")

    def request(self, host, method, path, timeout=10):
        connection = http.client.HTTPConnection("127.0.0.1", self.site.port(host), timeout=timeout)
        try:
            connection.request(method, path)
            response = connection.getresponse()
            body = response.read()
            return response.status, dict(response.getheaders()), body
        finally:
            connection.close()

    def get(self, host, path):
        return self.request(host, "GET", path)

    def sent_log(self, host):
        """The request log once every reply in it has been sent: a client can read a whole reply
        a moment before the server notes its end."""
        deadline = time.monotonic() + 5
        while True:
            log = json.loads(self.get(host, "/__log")[2])
            if all(entry["end"] is not None for entry in log) or time.monotonic() > deadline:
                return log
            time.sleep(0.01)

    def feed_chain(self, user):
        """Follows a user's feed the way the worker does; returns the pages' item lists."""
        status, _, profile = self.get("service", "/" + user)
        self.assertEqual(status, 200)
        self.assertIn(b'"can_delete_comments":', profile)
        pages = []
        suffix = "/media"
        while suffix:
            status, _, body = self.get("service", "/" + user + suffix)
            self.assertEqual(status, 200)
            text = body.decode("utf-8")
            # The worker searches for these exact markers: the JSON must be compact.
            self.assertRegex(text, r'"more_available":(true|false)\}$')
            document = json.loads(text)
            pages.append(document["items"])
            suffix = ""
            if document["more_available"]:
                suffix = "/media?max_id=" + document["items"][-1]["id"]
            self.assertLess(len(pages), 100, "paging does not end")
        return pages

    def test_paging_chain_of_the_main_user(self):
        pages = self.feed_chain("alice")
        self.assertEqual([len(page) for page in pages], [20, 20, 5])
        ids = [item["id"] for page in pages for item in page]
        self.assertEqual(ids, ["1001_%d" % n for n in range(45, 0, -1)])
        log = json.loads(self.get("service", "/__log")[2])
        self.assertEqual([entry["path"] for entry in log],
                         ["/alice", "/alice/media", "/alice/media?max_id=1001_26",
                          "/alice/media?max_id=1001_6"])
        self.assertTrue(all(entry["status"] == 200 for entry in log))

    def test_big_user_has_a_thousand_items_in_fifty_pages(self):
        pages = self.feed_chain("big")
        self.assertEqual(len(pages), 50)
        self.assertEqual(len({item["id"] for page in pages for item in page}), 1000)

    def test_profile_counts_and_escaped_captions(self):
        _, _, profile = self.get("service", "/alice")
        text = profile.decode("utf-8")
        self.assertEqual(text.count('"counts":{'), 2)  # the viewer's, then the user's
        self.assertIn('"counts":{"media":45,', text[text.rfind('"counts":{'):])
        _, _, first = self.get("service", "/alice/media")
        self.assertIn(b"\\ud83c\\udf05", first)  # an emoji as a surrogate pair escape
        self.assertIn(b"http:\\/\\/", first)
        captions = [item["caption"]["text"] for item in json.loads(first)["items"]
                    if item.get("caption")]
        self.assertTrue(any("\n" in c for c in captions))
        self.assertTrue(any('"' in c for c in captions))
        self.assertTrue(any("\\" in c for c in captions))
        _, _, second = self.get("service", "/alice/media?max_id=1001_26")
        self.assertIn("Привет".encode("utf-8"), second)  # this page carries UTF-8 as it is

    def test_scenario_status_codes(self):
        self.assertEqual(self.get("service", "/nosuchuser")[0], 404)
        self.assertEqual([self.get("service", "/flaky")[0] for _ in range(3)], [500, 500, 200])
        self.assertEqual(self.get("service", "/flaky/media")[0], 200)
        self.assertEqual([self.get("service", "/flaky/media?max_id=7007_6")[0] for _ in range(4)],
                         [500, 500, 500, 200])
        _, _, bad = self.get("service", "/badfeed/media")
        self.assertNotIn(b'"more_available":', bad)
        self.assertNotIn(b'"can_delete_comments":', self.get("service", "/private")[2])
        self.assertIn(b'"media":abc,', self.get("service", "/nocount")[2])
        _, _, zero = self.get("service", "/zero/media")
        self.assertEqual(json.loads(zero), {"status": "ok", "items": [], "more_available": False})
        self.assertEqual(self.get("service", "/slow")[0], 200)

    def test_moved_user_is_redirected_and_replies_log_their_end(self):
        status, headers, _ = self.get("service", "/moved")
        self.assertEqual((status, headers["Location"]), (302, self.site.base("service") + "/alice"))
        self.request("images", "POST", "/__mode?thumb_delay_ms=60")
        self.get("images", "/cdn/alice/l/1001_2.jpg")
        log = self.sent_log("service")
        self.assertEqual([entry["path"] for entry in log], ["/moved", "/cdn/alice/l/1001_2.jpg"])
        self.assertGreaterEqual(log[0]["end"], log[0]["time"])
        self.assertGreaterEqual(log[1]["end"] - log[1]["time"], server.thumb_delay_seconds(60, 2))
        delays = {server.thumb_delay_seconds(300, n) for n in range(1, 6)}
        self.assertEqual((len(delays), min(delays), max(delays)), (5, 0.1, 0.5))

    def test_loop_user_ignores_max_id(self):
        first = self.get("service", "/loop/media")[2]
        last_id = json.loads(first)["items"][-1]["id"]
        again = self.get("service", "/loop/media?max_id=" + last_id)[2]
        self.assertEqual(first, again)

    def test_refused_failing_and_empty_thumbnails(self):
        statuses = {n: self.get("images", "/cdn/refused/l/1101_%d.jpg" % n)[0] for n in range(1, 7)}
        self.assertEqual(statuses, {1: 200, 2: 500, 3: 403, 4: 200, 5: 403, 6: 200})
        self.assertEqual(self.get("images", "/cdn/refused/s/1101_5.jpg")[0], 200)
        status, headers, body = self.get("images", "/cdn/zerobyte/l/1606_2.jpg")
        self.assertEqual((status, headers["Content-Length"], body), (200, "0", b""))
        self.assertEqual(self.get("images", "/cdn/alice/l/1001_99.jpg")[0], 404)

    def test_full_size_scenarios(self):
        def full(n, suffix=".jpg"):
            return self.get("images", "/cdn/fullsize/s/1808_%d%s" % (n, suffix))
        self.assertEqual([full(5)[0] for _ in range(3)], [500, 500, 200])
        self.assertEqual({full(1)[0] for _ in range(8)}, {500})
        status, _, body = full(4, "?size=640")
        self.assertEqual((status, body[:2]), (200, b"\xff\xd8"))
        self.assertNotEqual(full(3)[2][:2], b"\xff\xd8")
        if Image is not None:
            self.assertEqual(Image.open(io.BytesIO(full(6)[2])).size, (64, 64))
        # The slow one sends half and waits for the release.
        result = {}
        waiting = threading.Thread(target=lambda: result.setdefault("reply", full(2)))
        waiting.start()
        log = lambda: [e for e in json.loads(self.get("images", "/__log")[2]) if e["path"].endswith("_2.jpg")]
        for _ in range(200):
            if log():
                break
            waiting.join(0.05)
        self.assertTrue(waiting.is_alive())
        self.assertIsNone(log()[0]["end"])
        self.request("images", "POST", "/__mode?release=1")
        waiting.join(10)
        self.assertEqual((result["reply"][0], result["reply"][2][:2]), (200, b"\xff\xd8"))

    def test_stalled_reply_sends_nothing(self):
        with socket.create_connection(("127.0.0.1", self.site.port("service")), timeout=5) as s:
            s.sendall(b"GET /stall HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")
            s.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                s.recv(1)

    def test_every_reply_has_length_and_closes(self):
        for host, path in (("service", "/alice"), ("service", "/nosuchuser"),
                           ("service", "/p/A45/"), ("images", "/cdn/alice/s/1001_45.jpg"),
                           ("images", "/cdn/alice/v/1001_44.mp4"), ("maker", "/"),
                           ("maker", "/downloads/Pixhaul.exe"), ("maker", "/Recommend.html")):
            status, headers, body = self.get(host, path)
            self.assertEqual(headers["Connection"], "close", path)
            self.assertEqual(int(headers["Content-Length"]), len(body), path)
            if status == 200:
                self.assertGreater(len(body), 0, path)

    def test_held_replies_and_replies_without_length(self):
        path = "/cdn/alice/s/1001_45.jpg"
        whole = self.get("images", path)[2]
        self.request("images", "POST", "/__mode?hold_full=1&no_length=1")
        with socket.create_connection(("127.0.0.1", self.site.port("images")), timeout=5) as s:
            s.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" % path).encode("ascii"))
            received = b""
            while len(received.partition(b"\r\n\r\n")[2]) < len(whole) // 2:
                received += s.recv(65536)
            head, _, body = received.partition(b"\r\n\r\n")
            self.assertNotIn(b"Content-Length", head)
            s.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                s.recv(1)  # the second half waits for the release
            self.request("images", "POST", "/__mode?release=1")
            s.settimeout(5)
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                body += chunk
        self.assertEqual(body, whole)
        # Thumbnails are never held; hold_full=video holds only the videos.
        self.request("images", "POST", "/__mode?hold_full=1")
        self.assertEqual(self.get("images", "/cdn/alice/l/1001_45.jpg")[0], 200)
        self.request("images", "POST", "/__mode?hold_full=video")
        self.assertEqual(self.get("images", path)[2], whole)

    def test_odd_names_user(self):
        items = self.feed_chain("oddnames")[0]
        urls = [item.get("alt_media_url") or item["images"]["standard_resolution"]["url"]
                for item in items]
        names = [url.rpartition("/")[2] for url in urls]
        self.assertEqual(names[0], "1909_5.jpg?sig=5&size=s")
        self.assertEqual(names[1], "1909_4:wide*.jpg")
        self.assertEqual((len(names[2]), names[2][-4:]), (sitedata.LONG_NAME_LENGTH, ".jpg"))
        self.assertEqual(names[3], "1909_2.mp4?dl=1")
        sizes = {}
        for url in urls:
            status, _, body = self.get("images", url[url.index("/cdn/"):])
            self.assertEqual(status, 200, url)
            if Image is not None and "/v/" not in url:
                sizes[url] = Image.open(io.BytesIO(body)).size
        if Image is not None:
            self.assertEqual(sorted(sizes.values()), [(640, 640), (640, 640), (1000, 3000),
                                                      (3000, 2000)])

    def test_maker_version_file_switches(self):
        self.assertEqual(self.get("maker", "/CurrentVersion.txt")[2], b"2.1\r\n")
        self.request("maker", "POST", "/__mode?version=2.2")
        self.assertEqual(self.get("maker", "/CurrentVersion.txt")[2], b"2.2\r\n")
        self.request("maker", "POST", "/__reset")
        self.assertEqual(self.get("maker", "/CurrentVersion.txt")[2], b"2.1\r\n")

    def test_maker_version_file_shapes(self):
        shapes = (("huge", 200), ("html", 200), ("empty", 200), ("utf16", 200), ("missing", 404))
        for kind, status in shapes:
            self.assertEqual(self.request("maker", "POST", "/__mode?version_file=" + kind)[0], 200)
            got = self.get("maker", "/CurrentVersion.txt")
            self.assertEqual(got[0], status, kind)
            body = got[2]
            if kind == "huge":
                self.assertEqual(len(body), 8 * 1024 * 1024)
                self.assertTrue(body.startswith(b"2.1\r\n"))
            elif kind == "html":
                self.assertTrue(body.startswith(b"<!DOCTYPE html>"))
            elif kind == "empty":
                self.assertEqual(body, b"")
            elif kind == "utf16":
                self.assertEqual(body, b"\xff\xfe2\x00.\x001\x00\r\x00\n\x00")
        self.assertEqual(self.request("maker", "POST", "/__mode?version_file=nonsense")[0], 400)
        self.request("maker", "POST", "/__mode?version_delay_ms=600")
        self.assertEqual(self.get("maker", "/CurrentVersion.txt")[0], 404)
        held = self.sent_log("maker")[-1]
        self.assertGreaterEqual(held["end"] - held["time"], 0.6)
        self.request("maker", "POST", "/__reset")
        self.assertEqual((self.site.state.version_file, self.site.state.version_delay_ms), ("text", 0))
        self.assertEqual(self.get("maker", "/CurrentVersion.txt")[2], b"2.1\r\n")

    def test_log_resets(self):
        self.get("service", "/bob")
        self.get("images", "/cdn/bob/l/2002_1.jpg")
        log = json.loads(self.get("service", "/__log")[2])
        self.assertEqual([(e["host"], e["path"], e["status"]) for e in log],
                         [("service", "/bob", 200), ("images", "/cdn/bob/l/2002_1.jpg", 200)])
        self.request("images", "POST", "/__reset")
        self.assertEqual(json.loads(self.get("service", "/__log")[2]), [])

    @unittest.skipIf(Image is None and not os.environ.get("PIXHAUL_REQUIRE_PIL"),
                     "Pillow is not installed")
    def test_every_picture_decodes_and_differs(self):
        self.assertIsNotNone(Image, "python3-pil is needed to check the pictures")
        seen = set()
        for user, prefix, count in (("alice", "1001", 45), ("refused", "1101", 6)):
            for n in range(1, count + 1):
                for size, pixels in (("l", 320), ("s", 640)):
                    status, headers, body = self.get("images", "/cdn/%s/%s/%s_%d.jpg" % (
                        user, size, prefix, n))
                    if status != 200:
                        continue
                    self.assertEqual(headers["Content-Type"], "image/jpeg")
                    picture = Image.open(io.BytesIO(body))
                    picture.load()
                    self.assertEqual((picture.format, picture.size), ("JPEG", (pixels, pixels)))
                    digest = hashlib.sha1(body).hexdigest()
                    self.assertNotIn(digest, seen)
                    seen.add(digest)
        self.assertEqual(len(seen), 2 * 45 + 2 * 6 - 3)


class GoldenDataTest(unittest.TestCase):
    def test_sample_pages_in_the_tests_are_current(self):
        for name, data in make_golden.sample_files().items():
            path = os.path.join(make_golden.DEFAULT_OUT, name)
            with open(path, "rb") as stream:
                self.assertEqual(stream.read(), data,
                                 "%s is stale: run tools/fixture-site/make_golden.py" % name)

    def test_pages_are_deterministic(self):
        self.assertEqual(make_golden.sample_files(), make_golden.sample_files())


class CommandLineTest(unittest.TestCase):
    def test_prints_the_bound_ports_and_serves_on_loopback(self):
        process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "server.py"), "--service-port", "0",
             "--image-port", "0", "--maker-port", "0"],
            stdout=subprocess.PIPE, text=True)
        try:
            line = process.stdout.readline()
            match = re.match(r"fixture-site ports: service=(\d+) images=(\d+) maker=(\d+)$",
                             line.strip())
            self.assertIsNotNone(match, line)
            connection = http.client.HTTPConnection("127.0.0.1", int(match.group(1)), timeout=10)
            connection.request("GET", "/bob")
            self.assertEqual(connection.getresponse().status, 200)
            connection.close()
        finally:
            process.terminate()
            process.wait(10)
            process.stdout.close()


if __name__ == "__main__":
    unittest.main()
