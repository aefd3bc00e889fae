#!/usr/bin/env python3
"""The local feed server of every test, script and benchmark: serves the
test fixtures and the sample feeds, and misbehaves on request.

    feed_server.py [--port-file PATH]            serve until terminated
    feed_server.py -- COMMAND [ARG...]           run COMMAND with the server up

Listens on 127.0.0.1 on a free port. Served alone, it prints "PORT <n>" on a
line of its own (and writes the number to PATH when given). Running a
command, it sets QUORVANE_FEED_SERVER to its base URL for it, stops when the
command ends and exits with the command's status. Python programs use
`serving()`. Routes:

    /feeds/NAME?ctype=T          tests/feeds/fixtures/NAME ("{{BASE}}" becomes
                                 the server's URL), served as T (default application/xml)
    /samples/NAME?ctype=T        samples/NAME as it is
    /changing                    a feed whose headlines change with every request
                                 (each edition marked as fresh for an hour)
    /silent?s=N                  accepts the request and sends nothing for N seconds, then closes
    /stall-after-headers?s=N     headers, then nothing for N seconds, then close;
                &unsized=1       without Content-Length (WinInet then cannot
                                 keep the connection, so closing the request ends it)
    /stall-mid-body?s=N          headers and part of a feed, N seconds of silence, close
    /reset-mid-body              headers and part of a feed, then a connection reset
    /trickle?ms=N                feeds/rss2.xml, 64 bytes every N milliseconds
    /large?mb=N&small=1          N megabytes of a valid feed (Content-Length given),
                                 in items of about 1 KB, or of about 40 bytes
    /endless                     a body that never ends
    /missing                     404 with an HTML body (also any unknown path)
    /redirect                    302 to /feeds/rss2.xml
    /redirect-loop?n=N           302 to /redirect-loop?n=N+1, for ever
    /drip?s=N                    headers, then one byte every N seconds, never ending
    /status?code=N               status N with a short HTML body
             &retry-after=V      and a Retry-After header of V
    /validated/NAME?etag=0&lm=0  feeds/NAME with an ETag and a Last-Modified (either
                                 turned off by 0), answering 304 only to an exact match;
                                 gzip or deflate when asked for (deflate first with
                                 prefer=deflate, raw deflate with prefer=raw-deflate)
                &plain=1         the same bytes whatever the request asks for
                &kb=N            a plain feed of about N KB instead of feeds/NAME
    /gzip-bomb?mb=N              a feed of N MB (default 64) of spaces, sent gzipped
    /moved?code=N&to=P           status N (301, 308, ...) to path P (default /feeds/rss2.xml)
    /cookie                      feeds/rss2.xml with a Set-Cookie
    /echo/ANYTHING               a feed whose one description is the request's path
    /comment-bomb?n=N            a feed with N unterminated "<!--" in it
    /shape?name=S&kb=N           a feed of about N KB in one of the shapes that cost an
                                 XML parser time out of proportion (SHAPES below)
    /long-title?kb=N&items=M     a channel title of N KB over M tiny items
    /redirect-raw                302 whose Location holds raw UTF-8 bytes (/echo/redir-\u00fc\u20ac)
    /redirect-ftp                302 to an ftp:// address
    /page-ftp-link               an HTML page whose feed link is an ftp:// address
    /hits?path=P                 "P COUNT": how many requests asked for path P so far
    /hits                        one "PATH COUNT" line for every path asked for
    /requests?path=P             one JSON line per request for path P (all paths without P):
                                 path, query, headers, the status and the bytes sent
"""
import argparse
import contextlib
import functools
import gzip
import json
import zlib
import http.server
import os
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
FOLDERS = {"/feeds/": os.path.join(HERE, "..", "feeds", "fixtures"),
           "/samples/": os.path.join(HERE, "..", "..", "samples")}
stopping = threading.Event()
hits = {}
hits_lock = threading.Lock()
editions = [0]
requests = []
VALIDATOR_DATE = "Tue, 03 Nov 2026 08:49:37 GMT"


def served_file(route, name, base):
    with open(os.path.join(FOLDERS[route], os.path.basename(name)), "rb") as f:
        return f.read().replace(b"{{BASE}}", base.encode())


def changing_feed():
    with hits_lock:
        editions[0] += 1
        n = editions[0]
    items = "".join(
        "<item><title>Tide table %d.%d</title><link>http://tides.example/%d/%d</link>"
        "<description>High water at %02d:%02d, low water at %02d:%02d &amp; a light breeze.</description></item>"
        % (n, i, n, i, (n + i) % 24, (7 * i) % 60, (n + i + 6) % 24, (11 * i) % 60)
        for i in range(3))
    return ("<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel>"
            "<title>Lindmere tides, edition %d</title>%s</channel></rss>" % (n, items)).encode()


FEED_START = b'<?xml version="1.0"?><rss version="2.0"><channel><title>Shape</title>'
FEED_END = b"</channel></rss>"


def repeated(start, piece, end, size):
    """`piece` repeated between `start` and `end` to about `size` bytes."""
    return start + piece * max(1, (size - len(start) - len(end)) // len(piece)) + end


def item(description):
    return b"<item><title>Shape</title><description>" + description + b"</description></item>"


# Each shape as (start, repeated piece, end); the piece repeats to the size asked for.
SHAPES = {
    "comment-run": (FEED_START, b"<!--", b"-->" + FEED_END),
    "attributes": (FEED_START + b"<item", b' a%d=""', b"><description>x</description></item>" + FEED_END),
    "namespaces": (b'<?xml version="1.0"?><rss version="2.0"', b' xmlns:n%d="urn:n"',
                   b"><channel><title>Shape</title>" + item(b"x") + FEED_END),
    "inline-markup": (FEED_START + b"<item><title>Shape</title><description>", b"<b>x</b>",
                      b"</description></item>" + FEED_END),
    "cdata-run": (FEED_START + b"<item><title>Shape</title><description>", b"<![CDATA[x]]>",
                  b"</description></item>" + FEED_END),
    "entity-run": (FEED_START + b"<item><title>Shape</title><description>", b"&amp;",
                   b"</description></item>" + FEED_END),
    "deep": (FEED_START + b"<item><title>Shape</title><description>", b"<b>", b"</description></item>" + FEED_END),
    "tiny-items": (FEED_START, b"<item><description>x</description></item>\n", FEED_END),
    "wide-items": (FEED_START, b"<item" + b"".join(b' a%d=""' % i for i in range(250)) + b"><description>x</description></item>",
                   FEED_END),
}


def shape_feed(name, size):
    """A feed of about `size` bytes in the shape `name`."""
    start, piece, end = SHAPES[name]
    if b"%d" not in piece:
        return repeated(start, piece, end, size)
    pieces, length, i = [], len(start) + len(end), 0
    while length + len(piece % i) <= size or not pieces:
        pieces.append(piece % i)
        length += len(pieces[-1])
        i += 1
    return start + b"".join(pieces) + end


def long_title_feed(kilobytes, items):
    return (b'<?xml version="1.0"?><rss version="2.0"><channel><title>' + b"T" * (kilobytes * 1024) + b"</title>"
            + b"".join(b"<item><description>%d</description></item>" % i for i in range(items)) + FEED_END)


def request_lines(path):
    with hits_lock:
        return "".join(json.dumps(r) + "\n" for r in requests if path is None or r["path"] == path)


class CountingWriter:
    """Counts the bytes of a response, headers included."""

    def __init__(self, stream):
        self.stream, self.sent = stream, 0

    def write(self, data):
        self.sent += len(data)
        return self.stream.write(data)

    def __getattr__(self, name):
        return getattr(self.stream, name)


@functools.lru_cache(maxsize=4)
def gzip_bomb(megabytes):
    inner = (b'<?xml version="1.0"?><rss version="2.0"><channel><title>Bomb</title><item><description>'
             + b" " * int(megabytes * 1024 * 1024) + b"</description></item></channel></rss>")
    return gzip.compress(inner, 9)


def sized_feed(kilobytes):
    """A plain feed of about `kilobytes` KB in items of about 1 KB of prose."""
    story = ("The harbour board met again on Tuesday to weigh the dredging plan, and the ferry "
             "timetable stays as it is until the spring tides have passed. ") * 6
    items = "".join("<item><title>Harbour notes %d</title><link>http://harbour.example/%d</link>"
                    "<description>%s</description></item>\n" % (i, i, story) for i in range(max(1, kilobytes)))
    return ('<?xml version="1.0" encoding="utf-8"?><rss version="2.0"><channel><title>Harbour notes</title>\n%s'
            "</channel></rss>\n" % items).encode()


def hit_lines(path):
    with hits_lock:
        if path is not None:
            return "%s %d\n" % (path, hits.get(path, 0))
        return "".join("%s %d\n" % item for item in sorted(hits.items()))


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

    def body(self, data, status=200, ctype="application/xml"):
        self.head(status, len(data), ctype)
        self.wfile.write(data)

    def pause(self, seconds):
        stopping.wait(seconds)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        record = {"path": url.path, "query": url.query, "headers": dict(self.headers.items()), "status": 0, "sent": 0}
        with hits_lock:
            hits[url.path] = hits.get(url.path, 0) + 1
            if url.path not in ("/hits", "/requests"):
                requests.append(record)
        self.close_connection = True
        self.wfile = CountingWriter(self.wfile)
        try:
            self.route(url.path, query)
        except (BrokenPipeError, ConnectionResetError):
            pass
        with hits_lock:
            record["sent"] = self.wfile.sent
            record["status"] = getattr(self, "status_sent", 0)

    def send_response(self, code, message=None):
        self.status_sent = code
        super().send_response(code, message)

    def route(self, path, query):
        folder = next((route for route in FOLDERS if path.startswith(route)), None)
        if folder:
            try:
                data = served_file(folder, path[len(folder):], self.base())
            except OSError:
                return self.route("/missing", query)
            return self.body(data, 200, query.get("ctype", "application/xml"))
        if path.startswith("/echo/"):
            return self.echo()
        if path.startswith("/validated/"):
            return self.validated(path[len("/validated/"):], query)
        handler = ROUTES.get(path, Handler.missing)
        handler(self, query)

    def feed(self):
        return served_file("/feeds/", "rss2.xml", self.base())

    def missing(self, query):
        self.body(served_file("/feeds/", "not-feed.html", self.base()), 404, "text/html")

    def changing(self, query):
        # Marked as good for an hour: a client that used a shared cache would
        # miss the next edition.
        data = changing_feed()
        self.head(200, len(data), extra=[("Cache-Control", "public, max-age=3600"),
                                          ("ETag", '"e-%08x"' % zlib.crc32(data)), ("Last-Modified", VALIDATOR_DATE)])
        self.wfile.write(data)

    def silent(self, query):
        self.pause(float(query.get("s", 30)))

    def stall_after_headers(self, query):
        self.head(200, None if query.get("unsized") == "1" else len(self.feed()))
        self.pause(float(query.get("s", 30)))

    def stall_mid_body(self, query):
        feed = self.feed()
        self.head(200, len(feed))
        self.wfile.write(feed[:300])
        self.wfile.flush()
        self.pause(float(query.get("s", 30)))

    def reset_mid_body(self, query):
        feed = self.feed()
        self.head(200, len(feed) + 100000)
        self.wfile.write(feed[:300] * 20)
        self.wfile.flush()
        time.sleep(0.2)
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()

    def trickle(self, query):
        feed = self.feed()
        self.head(200, len(feed))
        for at in range(0, len(feed), 64):
            self.wfile.write(feed[at:at + 64])
            self.wfile.flush()
            self.pause(float(query.get("ms", 20)) / 1000)

    def large(self, query):
        megabytes = float(query.get("mb", 12))
        start = b'<?xml version="1.0"?>\n<rss version="2.0"><channel><title>Large</title>\n'
        end = b"</channel></rss>\n"
        if query.get("small") == "1":
            item = b"<item><description>x</description></item>\n"
        else:
            item = b"<item><title>Big</title><description>" + b"x" * 900 + b"</description></item>\n"
        count = int(megabytes * 1024 * 1024 - len(start) - len(end)) // len(item) + 1
        self.head(200, len(start) + count * len(item) + len(end))
        self.wfile.write(start)
        for _ in range(count):
            self.wfile.write(item)
        self.wfile.write(end)

    def endless(self, query):
        self.head(200)
        filler = b"<item><title>x</title><description>more</description></item>\n" * 64
        while not stopping.is_set():
            self.wfile.write(filler)

    def redirect(self, query):
        self.head(302, 0, extra=[("Location", self.base() + "/feeds/rss2.xml")])

    def redirect_loop(self, query):
        n = int(query.get("n", 0)) + 1
        self.head(302, 0, extra=[("Location", "/redirect-loop?n=%d" % n)])

    def drip(self, query):
        self.head(200, len(self.feed()) * 1000)
        while not stopping.is_set():
            self.wfile.write(b" ")
            self.wfile.flush()
            self.pause(float(query.get("s", 5)))

    def status(self, query):
        data = b"<html><body>status</body></html>"
        extra = [("Retry-After", query["retry-after"])] if "retry-after" in query else []
        self.head(int(query.get("code", 500)), len(data), "text/html", extra)
        self.wfile.write(data)

    def validated(self, name, query):
        data = sized_feed(int(query["kb"])) if "kb" in query else served_file("/feeds/", name, self.base())
        extra = []
        etag = '"v-%08x"' % zlib.crc32(data)
        if query.get("etag") != "0":
            extra.append(("ETag", etag))
        if query.get("lm") != "0":
            extra.append(("Last-Modified", VALIDATOR_DATE))
        if query.get("plain") != "1":
            if (query.get("etag") != "0" and self.headers.get("If-None-Match") == etag) or \
                    (query.get("lm") != "0" and self.headers.get("If-Modified-Since") == VALIDATOR_DATE):
                return self.head(304, None, extra=extra)
            asked = [e.strip() for e in self.headers.get("Accept-Encoding", "").split(",")]
            if query.get("prefer") in ("deflate", "raw-deflate") and "deflate" in asked:
                # HTTP's deflate is the zlib format; some servers send the raw one.
                data = zlib.compress(data) if query["prefer"] == "deflate" else zlib.compress(data)[2:-4]
                extra.append(("Content-Encoding", "deflate"))
            elif "gzip" in asked:
                data = gzip.compress(data)
                extra.append(("Content-Encoding", "gzip"))
        self.head(200, len(data), extra=extra)
        self.wfile.write(data)

    def gzip_bomb(self, query):
        data = gzip_bomb(float(query.get("mb", 64)))
        self.head(200, len(data), extra=[("Content-Encoding", "gzip")])
        self.wfile.write(data)

    def moved(self, query):
        self.head(int(query.get("code", 301)), 0, extra=[("Location", self.base() + query.get("to", "/feeds/rss2.xml"))])

    def cookie(self, query):
        data = self.feed()
        self.head(200, len(data), extra=[("Set-Cookie", "visitor=quorvane-test; Path=/; Max-Age=86400")])
        self.wfile.write(data)

    def requests(self, query):
        self.body(request_lines(query.get("path")).encode(), 200, "text/plain")

    def echo(self):
        raw = self.path.replace("&", "&amp;").replace("<", "&lt;").encode()
        self.body(b'<?xml version="1.0"?><rss version="2.0"><channel><title>Echo</title>'
                  b"<item><title>Echo</title><description>" + raw + b"</description></item></channel></rss>")

    def comment_bomb(self, query):
        self.body(b'<?xml version="1.0"?><rss version="2.0"><channel><title>Bomb</title>'
                  + b"<!--" * int(query.get("n", 160000)) + b"</channel></rss>")

    def shape(self, query):
        self.body(shape_feed(query.get("name", "comment-run"), int(float(query.get("kb", 1024)) * 1024)))

    def long_title(self, query):
        self.body(long_title_feed(int(query.get("kb", 256)), int(query.get("items", 2000))))

    def redirect_raw(self, query):
        raw = "/echo/redir-\u00fc\u20ac".encode("utf-8").decode("latin-1")  # sent as the UTF-8 bytes
        self.head(302, 0, extra=[("Location", raw)])

    def redirect_ftp(self, query):
        self.head(302, 0, extra=[("Location", "ftp://127.0.0.1:%d/feeds/rss2.xml" % self.server.server_address[1])])

    def page_ftp_link(self, query):
        self.body(b'<!DOCTYPE html><html><head><link rel="alternate" type="application/rss+xml" '
                  b'href="ftp://127.0.0.1:%d/feeds/rss2.xml"></head></html>' % self.server.server_address[1],
                  200, "text/html")

    def hits(self, query):
        self.body(hit_lines(query.get("path")).encode(), 200, "text/plain")


ROUTES = {
    "/missing": Handler.missing, "/changing": Handler.changing,
    "/silent": Handler.silent, "/stall-after-headers": Handler.stall_after_headers, "/stall-mid-body": Handler.stall_mid_body,
    "/reset-mid-body": Handler.reset_mid_body, "/trickle": Handler.trickle, "/large": Handler.large,
    "/endless": Handler.endless, "/redirect": Handler.redirect, "/redirect-loop": Handler.redirect_loop,
    "/drip": Handler.drip, "/status": Handler.status, "/comment-bomb": Handler.comment_bomb,
    "/hits": Handler.hits, "/shape": Handler.shape, "/long-title": Handler.long_title,
    "/redirect-raw": Handler.redirect_raw, "/redirect-ftp": Handler.redirect_ftp, "/page-ftp-link": Handler.page_ftp_link,
    "/gzip-bomb": Handler.gzip_bomb, "/moved": Handler.moved, "/cookie": Handler.cookie, "/requests": Handler.requests,
}


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


@contextlib.contextmanager
def serving():
    """Runs the server on a thread of this process; yields its base URL."""
    stopping.clear()
    with hits_lock:
        hits.clear()
        del requests[:]
    server = Server(("127.0.0.1", 0), Handler)
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d" % server.server_address[1]
    finally:
        stopping.set()
        server.shutdown()
        server.server_close()


def run_command(command):
    with serving() as base:
        return subprocess.call(command, env=dict(os.environ, QUORVANE_FEED_SERVER=base))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if command:
        sys.exit(run_command(command))
    server = Server(("127.0.0.1", 0), Handler)
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(str(port))
        os.replace(args.port_file + ".tmp", args.port_file)
    print("PORT %d" % port, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: (stopping.set(), threading.Thread(target=server.shutdown).start()))
    try:
        server.serve_forever(poll_interval=0.1)
    finally:
        stopping.set()
        server.server_close()


if __name__ == "__main__":
    main()
