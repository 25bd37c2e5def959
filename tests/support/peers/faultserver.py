"""Scripted HTTP server for faults that real servers do not produce.

The path of each request picks the behaviour; query parameters tune it. Bodies are made of
pattern(i) = (i * 7 + 3) & 0xFF for byte offset i, so a client can check any range it receives.
"""
import socket
import socketserver
import time
import urllib.parse


def pattern(start, count):
    return bytes(((i * 7 + 3) & 0xFF) for i in range(start, start + count))


def chunked_body(size):
    """The chunked framing of pattern(0, size) with uneven chunks, an extension, upper-case and
    zero-padded sizes and a trailer."""
    data = pattern(0, size)
    pieces = []
    offset = 0
    sizes = [1, 16, 255, 7, 100]
    index = 0
    while offset < len(data):
        n = min(sizes[index % len(sizes)], len(data) - offset)
        chunk = data[offset:offset + n]
        if index % 3 == 0:
            line = b"%x;name=value" % n
        elif index % 3 == 1:
            line = b"%X" % n
        else:
            line = b"00%x" % n
        pieces.append(line + b"\r\n" + chunk + b"\r\n")
        offset += n
        index += 1
    pieces.append(b"0\r\nX-Trailer: done\r\n\r\n")
    return b"".join(pieces)


def parse_range(value, size):
    if not value.startswith("bytes="):
        return None
    first, _, last = value[6:].partition("-")
    first = int(first)
    last = int(last) if last else size - 1
    return first, min(last, size - 1)


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.request.settimeout(120)

    def read_head(self):
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 65536:
            piece = self.request.recv(4096)
            if not piece:
                break
            data += piece
        return data

    def send_parts(self, reply, split=None, gap=0.0, bytewise=False):
        if bytewise:
            for i in range(len(reply)):
                self.request.sendall(reply[i:i + 1])
                time.sleep(gap)
        elif split is not None:
            self.request.sendall(reply[:split])
            time.sleep(gap)
            self.request.sendall(reply[split:])
        else:
            self.request.sendall(reply)

    def wait_for_close(self):
        try:
            while self.request.recv(4096):
                pass
        except OSError:
            pass

    def handle(self):
        try:
            self.serve()
        except OSError:
            pass

    def serve(self):
        head = self.read_head()
        if not head:
            return
        lines = head.split(b"\r\n")
        parts = lines[0].decode("latin-1").split(" ")
        target = parts[1] if len(parts) > 1 else "/"
        url = urllib.parse.urlsplit(target)
        path = url.path
        query = dict(urllib.parse.parse_qsl(url.query))
        headers = {}
        for line in lines[1:]:
            name, sep, value = line.decode("latin-1").partition(":")
            if sep:
                headers[name.strip().lower()] = value.strip()
        size = int(query.get("size", "1000"))
        gap = float(query.get("gap", "0")) / 1000.0
        split = int(query["split"]) if "split" in query else None
        bytewise = query.get("bytewise") == "1"
        send = self.request.sendall

        if parts[0] == "CONNECT":
            # A tunnel that echoes: the request that comes through it is answered with both heads.
            send(b"HTTP/1.1 200 Connection established\r\n\r\n")
            inner = self.read_head()
            both = head + inner
            send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(both) + both)
        elif path == "/echo":
            send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(head) + head)
        elif path == "/chunked":
            reply = (b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunked_body(size))
            self.send_parts(reply, split, gap, bytewise)
            self.wait_for_close()
        elif path == "/continue":
            body = pattern(0, size)
            first = b"HTTP/1.1 100 Continue\r\n\r\n"
            second = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + body
            self.send_parts(first + second, len(first) if gap else None, gap)
        elif path == "/close-delimited":
            version = query.get("version", "1.0").encode()
            send(b"HTTP/" + version + b" 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n")
            send(pattern(0, size))
        elif path == "/truncated-chunked":
            body = chunked_body(size)
            at = int(query.get("at", str(len(body) // 2)))
            send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + body[:at])
        elif path == "/truncated-length":
            send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + pattern(0, size // 2))
        elif path == "/big-header":
            send(b"HTTP/1.1 200 OK\r\n")
            line = b"X-Filler: " + b"a" * 1000 + b"\r\n"
            for _ in range(int(query.get("mb", "32")) * 1024):
                send(line)
        elif path == "/long-line":
            send(b"HTTP/1.1 200 OK\r\nX-Long: ")
            block = b"a" * 65536
            for _ in range(int(query.get("mb", "32")) * 16):
                send(block)
        elif path == "/close-early":
            send(b"HTTP/1.1 200 OK\r\nContent-Le")
        elif path == "/silent-close":
            pass
        elif path == "/ignore-range":
            send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + pattern(0, size))
        elif path == "/range":
            wanted = parse_range(headers.get("range", ""), size)
            if wanted is None:
                send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + pattern(0, size))
                return
            first, last = wanted
            shown = first + int(query.get("shift", "0"))
            count = last - first + 1
            send(b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes %d-%d/%d\r\n"
                 b"Content-Length: %d\r\nAccept-Ranges: bytes\r\n\r\n"
                 % (shown, shown + count - 1, size, count) + pattern(first, count))
        elif path == "/stall":
            after = query.get("after", "headers")
            if after in ("headers", "body"):
                send(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size)
            if after == "body":
                send(pattern(0, size // 2))
            self.wait_for_close()
        elif path == "/bad-chunk":
            kind = query.get("kind", "hex")
            line = {"hex": b"zz", "long": b"1" * 40, "overflow": b"FFFFFFFFFFFFFFFF",
                    "empty": b"", "extension": b"5;" + b"e" * 100000}[kind]
            send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + line + b"\r\nhello\r\n")
            self.wait_for_close()
        elif path == "/status":
            code = int(query.get("code", "500"))
            extra = b""
            if "location" in query:
                extra = b"Location: " + query["location"].encode() + b"\r\n"
            send(b"HTTP/1.1 %d Status\r\n" % code + extra + b"Content-Length: 0\r\n\r\n")
        else:
            send(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def start(host):
    import threading
    server = Server((host, 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
