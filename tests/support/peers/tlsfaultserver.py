"""Scripted TLS 1.2 servers that control every byte they put on the wire.

The TLS session runs over memory buffers, so each server decides how its records reach the socket:
  split        handshake flights and records go out in pieces of 1 to 7 bytes, then larger pieces
  greeting     an HTTP reply is sent in the same write as the server's last handshake message,
               before the client has asked for anything
  closenotify  a reply without a length, then a TLS close-notify, then the TCP close
  reset        a reply without a length, then a TCP reset (no close-notify)
Replies carry pattern(0, size) from faultserver, size from the request's "size" query (default 20000).
"""
import random
import socket
import socketserver
import ssl
import struct
import threading
import time
import urllib.parse

from faultserver import pattern

MODES = ("split", "greeting", "closenotify", "reset")


class Session:
    def __init__(self, sock, context, mode):
        self.sock = sock
        self.mode = mode
        self.incoming = ssl.MemoryBIO()
        self.outgoing = ssl.MemoryBIO()
        self.tls = context.wrap_bio(self.incoming, self.outgoing, server_side=True)
        self.random = random.Random(7)
        self.sent = 0

    def flush(self):
        data = self.outgoing.read()
        if not data:
            return
        if self.mode != "split":
            self.sock.sendall(data)
            return
        offset = 0
        while offset < len(data):
            small = self.sent + offset < 6000
            n = self.random.randint(1, 7) if small else self.random.randint(1, 4000)
            self.sock.sendall(data[offset:offset + n])
            offset += n
            time.sleep(0.0005 if small else 0.001)
        self.sent += len(data)

    def fill(self):
        data = self.sock.recv(65536)
        if not data:
            raise ConnectionError("peer closed")
        self.incoming.write(data)

    def handshake(self, keep_output=False):
        while True:
            try:
                self.tls.do_handshake()
                break
            except ssl.SSLWantReadError:
                self.flush()
                self.fill()
        if not keep_output:
            self.flush()

    def read_request(self):
        data = b""
        while b"\r\n\r\n" not in data:
            try:
                data += self.tls.read(65536)
            except ssl.SSLWantReadError:
                self.flush()
                self.fill()
        return data

    def write(self, data):
        self.tls.write(data)
        self.flush()

    def close_notify(self):
        try:
            self.tls.unwrap()
        except ssl.SSLError:
            pass
        self.flush()


def requested_size(request, default=20000):
    line = request.split(b"\r\n", 1)[0].decode("latin-1").split(" ")
    if len(line) < 2:
        return default
    query = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(line[1]).query))
    return int(query.get("size", default))


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        sock.settimeout(60)
        session = Session(sock, self.server.context, self.server.mode)
        try:
            self.serve(session)
        except (OSError, ssl.SSLError, ConnectionError):
            pass

    def serve(self, session):
        mode = self.server.mode
        if mode == "greeting":
            session.handshake(keep_output=True)
            body = pattern(0, 20000)
            session.write(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
            session.read_request()
            session.close_notify()
            return
        session.handshake()
        request = session.read_request()
        size = requested_size(request)
        if mode == "split":
            session.write(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + pattern(0, size))
            session.close_notify()
        elif mode == "closenotify":
            session.write(b"HTTP/1.1 200 OK\r\n\r\n" + pattern(0, size))
            session.close_notify()
            session.sock.shutdown(socket.SHUT_WR)
            time.sleep(0.2)
        elif mode == "reset":
            session.write(b"HTTP/1.1 200 OK\r\n\r\n" + pattern(0, size // 2))
            time.sleep(0.2)
            session.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            session.sock.close()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def start(host, mode, certificate, key):
    server = Server((host, 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    context.maximum_version = ssl.TLSVersion.TLSv1_2
    server.context = context
    server.mode = mode
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
