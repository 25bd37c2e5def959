#!/usr/bin/env python3
"""Peers for the download engine's tests, all on 127.0.0.1 with free ports.

Started by the test program (or the benchmark script) as
    enginepeers.py --dir FOLDER [--large-mb N] [--many N]
it creates FOLDER, starts nginx (plain and TLS 1.2, with an access log and a throttled location) and the
scripted server of scriptserver.py, writes FOLDER/peers.txt (key=value lines) and waits. Everything stops
and FOLDER is removed when the connection to the control port closes, or when nobody connects to it
within 60 seconds.

nginx serves FOLDER/www: files/ at full speed, slow/ at 256 KB/s per connection, forbidden/ with 403.
Its access log (FOLDER/access.log) has one line per request:
    <end time> <duration> <method> <uri> <status> <bytes sent> "<Range header>"
"""
import argparse
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "net"))
import certificates  # noqa: E402
import scriptserver  # noqa: E402

HOST = "127.0.0.1"


def free_port():
    with socket.socket() as s:
        s.bind((HOST, 0))
        return s.getsockname()[1]


def wait_listening(port, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            with socket.create_connection((HOST, port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def write_file(path, size, seed):
    # Random-looking, reproducible bytes: a block written at the wrong offset never compares equal.
    rnd = random.Random(seed)
    with open(path, "wb") as f:
        left = size
        while left > 0:
            n = min(left, 1 << 20)
            f.write(rnd.randbytes(n))
            left -= n


def write_files(www, large_mb, many):
    files = os.path.join(www, "files")
    slow = os.path.join(www, "slow")
    os.makedirs(files)
    os.makedirs(slow)
    sizes = {"empty.bin": 0, "one.bin": 1, "small.bin": 300000, "medium.bin": 1000000,
             "large.bin": 3 * 1024 * 1024}
    for index in range(6):
        sizes["file%d.bin" % index] = 150000 + 70001 * index
    for seed, (name, size) in enumerate(sorted(sizes.items())):
        write_file(os.path.join(files, name), size, seed)
    for index in range(8):
        write_file(os.path.join(slow, "slow%d.bin" % index), 768 * 1024, 100 + index)
    if large_mb:
        write_file(os.path.join(files, "huge.bin"), large_mb * 1024 * 1024, 999)
    if many:
        folder = os.path.join(www, "many")
        os.makedirs(folder)
        for index in range(many):
            write_file(os.path.join(folder, "m%d.bin" % index), 50 * 1024, 2000 + index)
    os.makedirs(os.path.join(www, "forbidden"))
    with open(os.path.join(www, "forbidden", "secret.bin"), "wb") as f:
        f.write(b"hidden\n")


NGINX_CONF = """
daemon off;
master_process off;
worker_processes 1;
pid {dir}/nginx.pid;
error_log {dir}/nginx-error.log warn;
events {{ worker_connections 1024; }}
http {{
    log_format timing '$msec $request_time $request_method $uri $status $bytes_sent "$http_range"';
    access_log {dir}/access.log timing;
    client_body_temp_path {dir}/nginx-tmp/body;
    proxy_temp_path {dir}/nginx-tmp/proxy;
    fastcgi_temp_path {dir}/nginx-tmp/fastcgi;
    uwsgi_temp_path {dir}/nginx-tmp/uwsgi;
    scgi_temp_path {dir}/nginx-tmp/scgi;
    default_type application/octet-stream;
    keepalive_timeout 65;
    sendfile on;
    server {{
        listen {host}:{http_port};
        listen {host}:{https_port} ssl;
        server_name localhost;
        ssl_certificate {crt};
        ssl_certificate_key {key};
        ssl_protocols TLSv1.2;
        root {www};
        location /slow/ {{ limit_rate 256k; }}
        location /forbidden/ {{ deny all; }}
    }}
}}
"""


class Peers:
    def __init__(self, folder, large_mb, many):
        self.folder = os.path.abspath(folder)
        self.large_mb = large_mb
        self.many = many
        self.processes = []
        self.servers = []
        self.info = {}

    def start(self):
        if os.path.exists(self.folder):
            shutil.rmtree(self.folder)
        os.makedirs(self.folder)
        # Signed by a test authority that the test program trusts while it runs.
        authority = certificates.make_authority(self.folder)
        crt, key = certificates.make_server_certificate(self.folder, "server", authority,
                                                        ["DNS:localhost", "IP:127.0.0.1"])
        self.info["authority"] = authority[0]
        www = os.path.join(self.folder, "www")
        write_files(www, self.large_mb, self.many)
        self.info["www"] = www
        self.info["access_log"] = os.path.join(self.folder, "access.log")

        for sub in ("body", "proxy", "fastcgi", "uwsgi", "scgi"):
            os.makedirs(os.path.join(self.folder, "nginx-tmp", sub))
        http_port, https_port = free_port(), free_port()
        conf = os.path.join(self.folder, "nginx.conf")
        with open(conf, "w") as f:
            f.write(NGINX_CONF.format(dir=self.folder, host=HOST, http_port=http_port,
                                      https_port=https_port, crt=crt, key=key, www=www))
        self.spawn(["nginx", "-p", self.folder, "-c", conf, "-e",
                    os.path.join(self.folder, "nginx-error.log")])
        self.info["nginx_http"] = http_port
        self.info["nginx_https"] = https_port

        script_folder = os.path.join(self.folder, "scripted")
        server = scriptserver.start(HOST, script_folder, https_port)
        self.servers.append(server)
        self.info["scripted"] = server.server_address[1]
        self.info["scripted_folder"] = script_folder
        self.info["closed"] = free_port()

        for name in ("nginx_http", "nginx_https"):
            if not wait_listening(self.info[name]):
                raise RuntimeError("peer %s did not start" % name)

    def spawn(self, args):
        log = open(os.path.join(self.folder, os.path.basename(args[0]) + ".log"), "ab")
        process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log, cwd=self.folder,
                                   start_new_session=True)
        self.processes.append(process)

    def stop(self):
        for server in self.servers:
            server.shutdown()
            server.server_close()
        for process in self.processes:
            if process.poll() is None:
                process.terminate()
        for process in self.processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def write_info(self, control_port):
        self.info["control"] = control_port
        text = "".join("%s=%s\n" % item for item in self.info.items())
        temporary = os.path.join(self.folder, "peers.tmp")
        with open(temporary, "w") as f:
            f.write(text)
        os.rename(temporary, os.path.join(self.folder, "peers.txt"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--large-mb", type=int, default=0)
    parser.add_argument("--many", type=int, default=0)
    args = parser.parse_args()

    control = socket.socket()
    control.bind((HOST, 0))
    control.listen(1)
    control.settimeout(60)

    peers = Peers(args.dir, args.large_mb, args.many)
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    try:
        peers.start()
        peers.write_info(control.getsockname()[1])
        connection, _ = control.accept()
        while connection.recv(1024):
            pass
    except (KeyboardInterrupt, socket.timeout):
        pass
    finally:
        peers.stop()


if __name__ == "__main__":
    main()
