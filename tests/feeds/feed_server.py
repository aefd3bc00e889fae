#!/usr/bin/env python3
"""A local feed server for the feed tests: serves the fixture feeds and
misbehaves on request.

    feed_server.py [--port-file PATH]

Listens on 127.0.0.1 on a free port, prints "PORT <n>" on a line of its own
(and writes the number to PATH when given), and serves until it is
terminated. Routes:

    /feeds/NAME?ctype=T          fixtures/NAME ("{{BASE}}" becomes the server's URL),
                                 served as T (default application/xml)
    /stall-after-headers?s=N     headers, then nothing for N seconds, then close
    /stall-mid-body?s=N          headers and part of a feed, N seconds of silence, close
    /reset-mid-body              headers and part of a feed, then a connection reset
    /trickle?ms=N                feeds/rss2.xml, 64 bytes every N milliseconds
    /large?mb=N&small=1          N megabytes of a valid feed (Content-Length given),
                                 in items of about 1 KB, or of about 40 bytes
    /endless                     a body that never ends
    /missing                     404 with an HTML body
    /redirect                    302 to /feeds/rss2.xml
    /redirect-loop?n=N           302 to /redirect-loop?n=N+1, for ever
    /drip?s=N                    headers, then one byte every N seconds, never ending
    /status?code=N               status N with a short HTML body
    /echo/ANYTHING               a feed whose one description is the request's path
    /comment-bomb?n=N            a feed with N unterminated "<!--" in it
    /hits?path=P                 how many requests asked for P so far
"""
import argparse
import http.server
import os
import socket
import struct
import sys
import threading
import time
import urllib.parse

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
stopping = threading.Event()
hits = {}
hits_lock = threading.Lock()


def fixture(name, base):
    with open(os.path.join(FIXTURES, os.path.basename(name)), "rb") as f:
        return f.read().replace(b"{{BASE}}", base.encode())


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def base(self):
        return "http://127.0.0.1:%d" % self.server.server_address[1]

    def head(self, status=200, length=None, ctype="application/xml", extra=()):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        if length is not None:
            self.send_header("Content-Length", str(length))
        for key, value in extra:
            self.send_header(key, value)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.flush()

    def pause(self, seconds):
        stopping.wait(seconds)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        with hits_lock:
            hits[url.path] = hits.get(url.path, 0) + 1
        if url.path.startswith("/echo/"):
            url = url._replace(path="/echo/")
        self.close_connection = True
        try:
            self.route(url.path, query)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self, path, query):
        feed = fixture("rss2.xml", self.base())
        if path.startswith("/feeds/"):
            try:
                body = fixture(path[len("/feeds/"):], self.base())
            except OSError:
                return self.route("/missing", query)
            self.head(200, len(body), query.get("ctype", "application/xml"))
            self.wfile.write(body)
        elif path == "/stall-after-headers":
            self.head(200, len(feed))
            self.pause(float(query.get("s", 30)))
        elif path == "/stall-mid-body":
            self.head(200, len(feed))
            self.wfile.write(feed[:300])
            self.wfile.flush()
            self.pause(float(query.get("s", 30)))
        elif path == "/reset-mid-body":
            self.head(200, len(feed) + 100000)
            self.wfile.write(feed[:300] * 20)
            self.wfile.flush()
            time.sleep(0.2)
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
        elif path == "/trickle":
            self.head(200, len(feed))
            for at in range(0, len(feed), 64):
                self.wfile.write(feed[at:at + 64])
                self.wfile.flush()
                self.pause(float(query.get("ms", 20)) / 1000)
        elif path == "/large":
            self.large(float(query.get("mb", 12)), query.get("small") == "1")
        elif path == "/endless":
            self.head(200)
            filler = b"<item><title>x</title><description>more</description></item>\n" * 64
            while not stopping.is_set():
                self.wfile.write(filler)
        elif path == "/missing":
            body = fixture("not-feed.html", self.base())
            self.head(404, len(body), "text/html")
            self.wfile.write(body)
        elif path == "/redirect":
            self.head(302, 0, extra=[("Location", self.base() + "/feeds/rss2.xml")])
        elif path == "/redirect-loop":
            n = int(query.get("n", 0)) + 1
            self.head(302, 0, extra=[("Location", "/redirect-loop?n=%d" % n)])
        elif path == "/drip":
            self.head(200, len(feed) * 1000)
            while not stopping.is_set():
                self.wfile.write(b" ")
                self.wfile.flush()
                self.pause(float(query.get("s", 5)))
        elif path == "/status":
            body = b"<html><body>status</body></html>"
            self.head(int(query.get("code", 500)), len(body), "text/html")
            self.wfile.write(body)
        elif path.startswith("/echo/"):
            raw = self.path.replace("&", "&amp;").replace("<", "&lt;").encode()
            body = (b'<?xml version="1.0"?><rss version="2.0"><channel><title>Echo</title>'
                    b"<item><title>Echo</title><description>" + raw + b"</description></item></channel></rss>")
            self.head(200, len(body))
            self.wfile.write(body)
        elif path == "/comment-bomb":
            body = (b'<?xml version="1.0"?><rss version="2.0"><channel><title>Bomb</title>'
                    + b"<!--" * int(query.get("n", 160000)) + b"</channel></rss>")
            self.head(200, len(body))
            self.wfile.write(body)
        elif path == "/hits":
            with hits_lock:
                body = str(hits.get(query.get("path", ""), 0)).encode()
            self.head(200, len(body), "text/plain")
            self.wfile.write(body)
        else:
            self.route("/missing", query)

    def large(self, megabytes, small):
        start = b'<?xml version="1.0"?>\n<rss version="2.0"><channel><title>Large</title>\n'
        end = b"</channel></rss>\n"
        if small:
            item = b"<item><description>x</description></item>\n"
        else:
            item = b"<item><title>Big</title><description>" + b"x" * 900 + b"</description></item>\n"
        count = int(megabytes * 1024 * 1024 - len(start) - len(end)) // len(item) + 1
        self.head(200, len(start) + count * len(item) + len(end))
        self.wfile.write(start)
        for _ in range(count):
            self.wfile.write(item)
        self.wfile.write(end)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file")
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(str(port))
        os.replace(args.port_file + ".tmp", args.port_file)
    print("PORT %d" % port, flush=True)
    import signal
    signal.signal(signal.SIGTERM, lambda *_: (stopping.set(), threading.Thread(target=server.shutdown).start()))
    try:
        server.serve_forever(poll_interval=0.1)
    finally:
        stopping.set()
        server.server_close()


if __name__ == "__main__":
    main()
