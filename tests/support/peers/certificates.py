"""Certificates for the TLS peers of the tests, made fresh with openssl for every run.

The clients check a server's chain and name, so the peers present certificates signed by a test
authority of this run, which the test program adds to the root store of its Wine prefix (and removes
again). A self-signed certificate and one made for another host name are there to be refused.
"""
import os
import subprocess


def _openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_authority(folder):
    """A certificate authority: returns (certificate file, key file)."""
    crt = os.path.join(folder, "authority.crt")
    key = os.path.join(folder, "authority.key")
    _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
             "-subj", "/CN=Pixhaul Test Authority %d" % os.getpid(),
             "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign",
             "-keyout", key, "-out", crt)
    return crt, key


def make_server_certificate(folder, name, authority, alt_names):
    """A server certificate signed by `authority` for the given subjectAltName entries
    ("DNS:localhost", "IP:127.0.0.1"): returns (certificate file, key file)."""
    crt = os.path.join(folder, name + ".crt")
    key = os.path.join(folder, name + ".key")
    request = os.path.join(folder, name + ".csr")
    extensions = os.path.join(folder, name + ".ext")
    common_name = alt_names[0].split(":", 1)[1]
    with open(extensions, "w") as f:
        f.write("basicConstraints=CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\n"
                "subjectAltName=%s\n" % ",".join(alt_names))
    _openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + common_name,
             "-keyout", key, "-out", request)
    _openssl("x509", "-req", "-in", request, "-CA", authority[0], "-CAkey", authority[1],
             "-CAcreateserial", "-days", "30", "-sha256", "-extfile", extensions, "-out", crt)
    return crt, key


def make_self_signed(folder):
    """A certificate for localhost that nobody vouches for: returns (certificate file, key file)."""
    crt = os.path.join(folder, "selfsigned.crt")
    key = os.path.join(folder, "selfsigned.key")
    _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
             "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
             "-keyout", key, "-out", crt)
    return crt, key


def make_all(folder):
    """The authority, the server certificate for localhost and 127.0.0.1, one for another host
    name and a self-signed one, as a dict of (certificate, key) pairs."""
    authority = make_authority(folder)
    return {
        "authority": authority,
        "server": make_server_certificate(folder, "server", authority,
                                          ["DNS:localhost", "IP:127.0.0.1"]),
        "wrongname": make_server_certificate(folder, "wrongname", authority,
                                             ["DNS:elsewhere.invalid"]),
        "selfsigned": make_self_signed(folder),
    }
