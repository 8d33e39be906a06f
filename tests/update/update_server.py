#!/usr/bin/env python3
"""A loopback stand-in for the update server, for the version check's tests.

Every case of reply listens on a port of its own on 127.0.0.1 (the request
path is fixed, so the port is what tells the cases apart). On start the
server prints one line, "case=port case=port ...", and serves until its
standard input ends (the test that started it has gone).

With "--run COMMAND...", it instead runs COMMAND with the same list in the
environment variable TESSELLA_TEST_UPDATE_SERVERS ("case=port,case=port")
and exits with COMMAND's status: that is how the Windows tests, which run
under Wine and cannot start it themselves, get their servers.
"""
import os
import socket
import subprocess
import sys
import threading
import time

RELEASE = b"RelDate=2024-05-01\r\nVmajor=5\r\nVminor=4\r\nVbuild=1111\r\n"


def reply(status, body, headers=(("Content-Type", "text/plain"),)):
    head = "HTTP/1.1 %s\r\n" % status
    head += "".join("%s: %s\r\n" % h for h in headers)
    return head.encode() + b"\r\n" + body


def read_request(conn, until_end=False):
    """The request's bytes: up to the blank line, or up to the client's
    half-close when `until_end`."""
    conn.settimeout(10)
    data = b""
    try:
        while until_end or b"\r\n\r\n" not in data:
            piece = conn.recv(4096)
            if not piece:
                break
            data += piece
    except OSError:
        pass
    return data


def send_chunks(conn, chunks, header):
    conn.sendall(reply("200 OK", b"", (header,)))
    for chunk in chunks:
        time.sleep(0.02)  # each chunk arrives on its own
        conn.sendall(b"%x\r\n%s\r\n" % (len(chunk), chunk))
    time.sleep(0.02)
    conn.sendall(b"0\r\n\r\n")


CHUNKS = [b"RelDate=2024-05-01\r\nVma", b"jor=5\r\nVminor=4\r\nVbu", b"ild=1111\r\n"]


def hold(conn):
    """Keeps the connection open for two minutes, saying nothing. (The
    client's half-close ends our reading at once, so reading cannot tell
    when it has gone.)"""
    time.sleep(120)


def trickle(conn):
    """A status line, then a header a byte at a time that never ends."""
    try:
        conn.sendall(b"HTTP/1.1 200 OK\r\nX-Pad: ")
        for _ in range(2400):
            time.sleep(0.05)
            conn.sendall(b"x")
    except OSError:
        pass


CASES = {
    "current": lambda c: c.sendall(reply("200 OK", RELEASE.replace(b"1111", b"1110"))),
    "older": lambda c: c.sendall(reply("200 OK", b"RelDate=2023-11-02\r\nVmajor=5\r\nVminor=4\r\nVbuild=1109\r\n")),
    "spaced": lambda c: c.sendall(reply("200 OK", b"RelDate =2024-05-01\r\nVmajor =5\r\nVminor=4\r\nVbuild=1111\r\n")),
    "missing": lambda c: c.sendall(reply("200 OK", b"RelDate=2024-05-01\r\nVmajor=5\r\nVminor=4\r\n")),
    "chunked": lambda c: send_chunks(c, CHUNKS, ("Transfer-Encoding", "chunked")),
    "chunked_lower": lambda c: send_chunks(c, CHUNKS, ("transfer-encoding", "Chunked")),
    "big": lambda c: c.sendall(reply("200 OK", RELEASE + b"x" * 1100)),
    "notfound": lambda c: c.sendall(reply("404 Not Found", b"<html>Not Found</html>")),
    "cut": lambda c: c.sendall(b"HTTP/1.1 200 OK\r\nContent-Ty"),
    "silent": hold,
    "trickle": trickle,
}


def serve_connection(name, conn):
    with conn:
        if name == "echo":
            request = read_request(conn, until_end=True)
            conn.sendall(reply("200 OK", request))
            return
        read_request(conn)
        CASES[name](conn)


def listen(name):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(16)

    def accept_loop():
        while True:
            conn, _ = server.accept()
            threading.Thread(target=serve_connection, args=(name, conn), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()
    return server.getsockname()[1]


def refused_port():
    """A port that was just free: nothing listens there."""
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    ports = {name: listen(name) for name in list(CASES) + ["echo"]}
    ports["refused"] = refused_port()
    if len(sys.argv) > 2 and sys.argv[1] == "--run":
        env = dict(os.environ)
        env["TESSELLA_TEST_UPDATE_SERVERS"] = ",".join("%s=%d" % p for p in ports.items())
        sys.exit(subprocess.call(sys.argv[2:], env=env))
    print(" ".join("%s=%d" % p for p in ports.items()), flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
