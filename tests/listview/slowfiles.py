#!/usr/bin/env python3
"""Files served slowly on 127.0.0.1, each held part-way until the test lets them finish.

  GET /file/SIZE/HOLD/NAME     SIZE bytes with a Content-Length; after HOLD bytes the reply waits
  GET /unsized/SIZE/HOLD/NAME  the same without a Content-Length (the body ends when the server closes)

The body of NAME is the bytes of NAME repeated. Writes "port=P" and "control=C" to DIR/ports.txt once it
listens. A byte on the control connection lets every held reply go on; closing it stops the server.
"""
import argparse
import os
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 8192
PAUSE = 0.004  # seconds between chunks, so that progress can be watched
released = threading.Event()


def body(name, size):
    pattern = (name.encode() or b"x") * (CHUNK // max(len(name), 1) + 1)
    data = bytearray()
    while len(data) < size:
        data += pattern
    return bytes(data[:size])


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = self.path.split("/")
        if len(parts) != 5 or parts[1] not in ("file", "unsized"):
            self.send_error(404)
            return
        try:
            size, hold = int(parts[2]), int(parts[3])
        except ValueError:
            self.send_error(404)
            return
        data = body(parts[4], size)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if parts[1] == "file":
            self.send_header("Content-Length", str(size))
        self.send_header("Connection", "close")
        self.end_headers()
        sent = 0
        try:
            while sent < size:
                if sent >= hold and not released.is_set():
                    self.wfile.flush()
                    released.wait(120)
                end = min(size, sent + CHUNK, hold if sent < hold else size)
                self.wfile.write(data[sent:end])
                sent = end
                time.sleep(PAUSE)
            self.wfile.flush()
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    folder = parser.parse_args().dir
    os.makedirs(folder, exist_ok=True)

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    control = socket.socket()
    control.bind(("127.0.0.1", 0))
    control.listen(1)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(os.path.join(folder, "ports.tmp"), "w") as ports:
        ports.write("port=%d\ncontrol=%d\n" % (server.server_address[1], control.getsockname()[1]))
    os.replace(os.path.join(folder, "ports.tmp"), os.path.join(folder, "ports.txt"))

    control.settimeout(300)
    try:
        connection, _ = control.accept()
    except OSError:
        return
    while True:
        try:
            data = connection.recv(16)
        except OSError:
            data = b""
        if not data:
            break
        released.set()
    released.set()
    server.shutdown()


if __name__ == "__main__":
    main()
