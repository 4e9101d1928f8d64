#!/usr/bin/env python3
"""A loopback HTTP(S) server that answers with exactly the bytes a script names
and records every request it receives. See README.md in this folder."""

import argparse
import json
import os
import signal
import socket
import socketserver
import ssl
import sys
import threading
import time

MAX_HEAD = 1024 * 1024


def as_bytes(text):
    """Script strings carry bytes: each character U+0000-U+00FF is one byte."""
    return text.encode("latin-1")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        head, rest = self.read_head(conn)
        if head is None:
            return
        body = self.read_body(conn, head, rest)
        target = head.split(b"\r\n", 1)[0].split(b" ")
        target = target[1].decode("latin-1") if len(target) > 1 else ""
        self.server.record({"head": head.decode("latin-1"), "body": body.decode("latin-1")})
        actions = self.server.actions_for(target)
        try:
            for action in actions:
                if not self.run(conn, action):
                    break
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, OSError):
            pass

    def read_head(self, conn):
        data = b""
        while b"\r\n\r\n" not in data:
            try:
                chunk = conn.recv(65536)
            except (OSError, ssl.SSLError):
                return None, None
            if not chunk or len(data) > MAX_HEAD:
                return None, None
            data += chunk
        end = data.index(b"\r\n\r\n") + 4
        return data[:end], data[end:]

    def read_body(self, conn, head, rest):
        length = 0
        for line in head.split(b"\r\n")[1:]:
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                try:
                    length = int(value.strip())
                except ValueError:
                    length = 0
        body = rest
        while len(body) < length:
            chunk = conn.recv(65536)
            if not chunk:
                break
            body += chunk
        return body[:length]

    def run(self, conn, action):
        if "send" in action:
            conn.sendall(as_bytes(action["send"]))
        elif "repeat" in action:
            piece = as_bytes(action["repeat"])
            count = int(action["count"])
            per_block = max(1, (1 << 20) // max(1, len(piece)))
            block = piece * per_block
            while count >= per_block:
                conn.sendall(block)
                count -= per_block
            if count:
                conn.sendall(piece * count)
        elif "file" in action:
            with open(action["file"], "rb") as f:
                if isinstance(conn, ssl.SSLSocket):
                    while chunk := f.read(1 << 20):
                        conn.sendall(chunk)
                else:
                    conn.sendfile(f)
        elif "sleep" in action:
            time.sleep(float(action["sleep"]))
        elif "stall" in action:
            # Hold the connection, sending nothing, until the client goes away.
            conn.settimeout(None)
            try:
                while conn.recv(65536):
                    pass
            except (OSError, ssl.SSLError):
                pass
            return False
        return True


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, address, script, log, tls):
        self.script_path = script
        self.log_path = log
        self.tls = tls
        self.lock = threading.Lock()
        super().__init__(address, Handler)

    def get_request(self):
        conn, address = super().get_request()
        if self.tls is not None:
            conn.settimeout(10)
            try:
                conn = self.tls.wrap_socket(conn, server_side=True)
            except (ssl.SSLError, OSError):
                conn.close()
                raise OSError("handshake failed")
            conn.settimeout(None)
        return conn, address

    def handle_error(self, request, client_address):
        pass

    def actions_for(self, target):
        with open(self.script_path, "r", encoding="utf-8") as f:
            script = json.load(f)
        routes = script.get("routes", {})
        if target in routes:
            return routes[target]
        if "://" in target:  # absolute form, as a proxy receives it
            path = "/" + target.split("://", 1)[1].partition("/")[2]
            if path in routes:
                return routes[path]
        return script.get("default", [{"send": "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"}])

    def record(self, entry):
        if not self.log_path:
            return
        with self.lock, open(self.log_path, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--script", required=True, help="JSON script, read again for every request")
    parser.add_argument("--log", default="", help="file that receives one JSON line per request")
    parser.add_argument("--port", type=int, default=0, help="0: any free port")
    parser.add_argument("--tls-cert", default="")
    parser.add_argument("--tls-key", default="")
    args = parser.parse_args()

    tls = None
    if args.tls_cert:
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls.load_cert_chain(args.tls_cert, args.tls_key or None)

    server = Server(("127.0.0.1", args.port), args.script, args.log, tls)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    print(f"port {server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
