#!/usr/bin/env python3
"""Network peers for the download control's tests, all on 127.0.0.1 with free ports.

Started by the test program (or a benchmark script) as
    peers.py --dir FOLDER [--large-mb N] [--many N]
it creates FOLDER, starts nginx (plain and TLS 1.2 with a certificate of the run's test authority, and
two TLS listeners to be refused: a self-signed certificate and one for another host name), the scripted
HTTP server of scriptserver.py, two tinyproxy
instances (open and with basic authentication), an openssl s_server that speaks only TLS 1.3, the
scripted HTTP and TLS fault servers, vsftpd (FTP over TLS, negotiated and implicit), the pyftpdlib
servers of ftpservers.py, the scripted FTP servers and proxies of ftpfaultserver.py and a black-hole
listener, then writes FOLDER/peers.txt
(key=value lines) and waits. It stops everything and removes FOLDER when the connection to its
control port closes, or when nobody connects to that port within 60 seconds.

nginx serves FOLDER/www: files/ at full speed (with huge.bin of N MB and many/m0.bin .. of 50 KB each when
asked), slow/ at 256 KB/s per connection, forbidden/ with 403, auth/ behind basic authentication. Its
access log (FOLDER/access.log) has one line per request:
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
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import certificates  # noqa: E402
import faultserver  # noqa: E402
import ftpfaultserver  # noqa: E402
import scriptserver  # noqa: E402
import tlsfaultserver  # noqa: E402

HOST = "127.0.0.1"


# Sockets that hold the ports handed out for the other programs. A port picked and released at once
# could be picked by a concurrent test run's servers before our program binds it (the program would
# then fail, some seconds after its other ports seemed to answer). The holding socket is bound with
# SO_REUSEADDR and never listens, so the program, which binds with SO_REUSEADDR too, can take the port,
# while nobody else's port choice or outgoing connection can.
_holders = []


def free_port():
    holder = socket.socket()
    holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    holder.bind((HOST, 0))
    _holders.append(holder)
    return holder.getsockname()[1]


def release_ports():
    for holder in _holders:
        holder.close()
    _holders.clear()


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
    os.makedirs(files)
    sizes = {"empty.bin": 0, "one.bin": 1, "small.bin": 300000, "medium.bin": 1000000,
             "large.bin": 3 * 1024 * 1024, "huge.bin": large_mb * 1024 * 1024}
    for index in range(6):
        sizes["file%d.bin" % index] = 150000 + 70001 * index
    for seed, (name, size) in enumerate(sorted(sizes.items())):
        write_file(os.path.join(files, name), size, seed)
    for folder, prefix, count, size, seed in (("slow", "slow", 8, 768 * 1024, 100),
                                              ("many", "m", many, 50 * 1024, 2000)):
        os.makedirs(os.path.join(www, folder))
        for index in range(count):
            write_file(os.path.join(www, folder, "%s%d.bin" % (prefix, index)), size, seed + index)
    for folder, name, text in (("auth", "secret.txt", b"only for those who know the password\n"),
                               ("forbidden", "index.html", b"hidden\n"),
                               ("forbidden", "secret.bin", b"hidden\n")):
        os.makedirs(os.path.join(www, folder), exist_ok=True)
        with open(os.path.join(www, folder, name), "wb") as f:
            f.write(text)


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
        location /auth/ {{
            auth_basic "Test area";
            auth_basic_user_file {dir}/htpasswd;
        }}
        location /slow/ {{ limit_rate 256k; }}
        location /forbidden/ {{ deny all; }}
        location = /r301 {{ return 301 /files/small.bin; }}
        location = /r302 {{ return 302 /files/small.bin; }}
        location = /r307 {{ return 307 /files/small.bin; }}
    }}
    server {{
        listen {host}:{selfsigned_port} ssl;
        ssl_certificate {selfsigned_crt};
        ssl_certificate_key {selfsigned_key};
        ssl_protocols TLSv1.2;
        root {www};
    }}
    server {{
        listen {host}:{wrongname_port} ssl;
        ssl_certificate {wrongname_crt};
        ssl_certificate_key {wrongname_key};
        ssl_protocols TLSv1.2;
        root {www};
    }}
}}
"""

TINYPROXY_CONF = """
Port {port}
Listen {host}
Timeout 60
MaxClients 50
Allow 127.0.0.1
LogLevel Critical
DisableViaHeader Yes
ConnectPort {connect_port}
{extra}
"""

# Anonymous and read-only. vsftpd runs as the user who starts it (no privileges needed, none dropped).
# Only TLS 1.2 cipher suites are offered: the client must negotiate TLS 1.2, not 1.0. The data
# connection's TLS session need not resume the control connection's (the system's TLS provider under
# Wine keeps no session cache).
VSFTPD_CONF = """
listen=YES
listen_address={host}
listen_port={port}
background=NO
run_as_launching_user=YES
seccomp_sandbox=NO
anonymous_enable=YES
no_anon_password=YES
local_enable=NO
write_enable=NO
anon_root={root}
pasv_enable=YES
xferlog_enable=NO
syslog_enable=NO
ssl_enable=YES
implicit_ssl={implicit}
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=NO
ssl_request_cert=NO
ssl_tlsv1=YES
ssl_sslv2=NO
ssl_sslv3=NO
ssl_ciphers=ECDHE-RSA-AES128-GCM-SHA256:ECDHE-RSA-AES256-GCM-SHA384
rsa_cert_file={crt}
rsa_private_key_file={key}
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
        made = certificates.make_all(self.folder)
        crt, key = made["server"]
        www = os.path.join(self.folder, "www")
        write_files(www, self.large_mb, self.many)
        self.info["www"] = www
        self.info["access_log"] = os.path.join(self.folder, "access.log")
        self.info["certificate"] = crt
        self.info["authority"] = made["authority"][0]

        # The servers of this process first: they hold their ports from now on, so that none of the
        # free ports picked below for other programs is taken before that program binds it.
        fault = faultserver.start(HOST)
        self.servers.append(fault)
        self.info["fault_http"] = fault.server_address[1]

        for mode in tlsfaultserver.MODES:
            server = tlsfaultserver.start(HOST, mode, crt, key)
            self.servers.append(server)
            self.info["tls_" + mode] = server.server_address[1]

        for mode in ftpfaultserver.MODES:
            server = ftpfaultserver.start(HOST, mode)
            self.servers.append(server)
            self.info["ftpfault_" + mode] = server.server_address[1]

        # Listens but never accepts; the backlog is filled so that further connects hang.
        hole = socket.socket()
        hole.bind((HOST, 0))
        hole.listen(0)
        self.held_sockets = [hole]
        for _ in range(3):
            filler = socket.socket()
            filler.setblocking(False)
            try:
                filler.connect(hole.getsockname())
            except BlockingIOError:
                pass
            self.held_sockets.append(filler)
        self.info["black_hole"] = hole.getsockname()[1]

        with open(os.path.join(self.folder, "htpasswd"), "w") as f:
            f.write("user:{PLAIN}secret\n")
        for sub in ("body", "proxy", "fastcgi", "uwsgi", "scgi"):
            os.makedirs(os.path.join(self.folder, "nginx-tmp", sub))
        http_port, https_port = free_port(), free_port()
        selfsigned_port, wrongname_port = free_port(), free_port()
        conf = os.path.join(self.folder, "nginx.conf")
        with open(conf, "w") as f:
            f.write(NGINX_CONF.format(dir=self.folder, host=HOST, http_port=http_port,
                                      https_port=https_port, crt=crt, key=key, www=www,
                                      selfsigned_port=selfsigned_port,
                                      selfsigned_crt=made["selfsigned"][0],
                                      selfsigned_key=made["selfsigned"][1],
                                      wrongname_port=wrongname_port,
                                      wrongname_crt=made["wrongname"][0],
                                      wrongname_key=made["wrongname"][1]))
        self.spawn(["nginx", "-p", self.folder, "-c", conf, "-e",
                    os.path.join(self.folder, "nginx-error.log")])
        self.info["nginx_http"] = http_port
        self.info["nginx_https"] = https_port
        self.info["nginx_selfsigned"] = selfsigned_port
        self.info["nginx_wrongname"] = wrongname_port

        script_folder = os.path.join(self.folder, "scripted")
        scripted = scriptserver.start(HOST, script_folder, https_port)
        self.servers.append(scripted)
        self.info["scripted"] = scripted.server_address[1]
        self.info["scripted_folder"] = script_folder

        proxy_port, auth_proxy_port = free_port(), free_port()
        for name, port, extra in (("proxy", proxy_port, ""),
                                  ("authproxy", auth_proxy_port, "BasicAuth proxyuser proxysecret")):
            path = os.path.join(self.folder, name + ".conf")
            with open(path, "w") as f:
                f.write(TINYPROXY_CONF.format(port=port, host=HOST, connect_port=https_port,
                                              extra=extra))
            self.spawn(["tinyproxy", "-d", "-c", path])
        self.info["proxy"] = proxy_port
        self.info["auth_proxy"] = auth_proxy_port

        tls13_port = free_port()
        self.spawn(["openssl", "s_server", "-quiet", "-accept", "%s:%d" % (HOST, tls13_port),
                    "-cert", crt, "-key", key, "-tls1_3", "-www"], stdin=subprocess.PIPE)
        self.info["tls13_only"] = tls13_port

        for name, implicit, (certificate, private) in (
                ("ftps_explicit", "NO", made["server"]), ("ftps_implicit", "YES", made["server"]),
                ("ftps_selfsigned", "NO", made["selfsigned"])):
            port = free_port()
            path = os.path.join(self.folder, name + ".conf")
            with open(path, "w") as f:
                f.write(VSFTPD_CONF.format(host=HOST, port=port, root=www, implicit=implicit,
                                           crt=certificate, key=private))
            self.spawn(["vsftpd", path])
            self.info[name] = port

        ftp_ports = {mode: free_port() for mode in ("plain", "norest", "longreply", "badpasv")}
        here = os.path.dirname(os.path.abspath(__file__))
        self.spawn([sys.executable, os.path.join(here, "ftpservers.py"), "--root", www] +
                   ["--port=%s=%d" % item for item in ftp_ports.items()])
        for mode, port in ftp_ports.items():
            self.info["ftp_" + mode] = port

        for key_name in ("nginx_http", "nginx_https", "nginx_selfsigned", "nginx_wrongname", "proxy", "auth_proxy", "tls13_only", "ftps_explicit",
                         "ftps_implicit", "ftps_selfsigned") + tuple("ftp_" + mode for mode in ftp_ports):
            if not wait_listening(self.info[key_name]):
                raise RuntimeError("peer %s did not start" % key_name)
        release_ports()

        # A port nobody listens on, held for the run so that nobody else can listen there either.
        closed = socket.socket()
        closed.bind((HOST, 0))
        self.held_sockets.append(closed)
        self.info["closed"] = closed.getsockname()[1]

    def spawn(self, args, stdin=subprocess.DEVNULL):
        log = open(os.path.join(self.folder, os.path.basename(args[0]) + ".log"), "ab")
        process = subprocess.Popen(args, stdin=stdin, stdout=log, stderr=log, cwd=self.folder,
                                   start_new_session=True)
        self.processes.append(process)
        return process

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
        for s in getattr(self, "held_sockets", []):
            s.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def write_info(self, control_port):
        self.info["control"] = control_port
        self.info["pid"] = os.getpid()
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
        # The owner keeps this connection open for as long as it needs the peers.
        while connection.recv(1024):
            pass
    except (KeyboardInterrupt, socket.timeout):
        pass
    finally:
        peers.stop()


if __name__ == "__main__":
    main()
