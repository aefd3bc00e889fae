#!/usr/bin/env python3
"""Local feed server for the sidebar's tests and soak run.

    sidebar_server.py [--port-file PATH]

Listens on 127.0.0.1 on a free port (written to PATH when given) and serves
until terminated:

    /samples/NAME      samples/NAME as it is
    /changing          a feed whose headlines change with every request
    /fail              500 with an HTML body
    /missing           404
    /stall?s=N         headers, then N seconds of silence, then close
    /half?s=N          headers and half of a feed, N seconds of silence, close
    /hits              request counts by path, one "path count" line each
"""
import argparse
import http.server
import os
import socketserver
import threading
import time
import urllib.parse

SAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "samples")
hits = {}
hits_lock = threading.Lock()
counter = [0]


def changing_feed():
    with hits_lock:
        counter[0] += 1
        n = counter[0]
    items = "".join(
        "<item><title>Tide table %d.%d</title><link>http://tides.example/%d/%d</link>"
        "<description>High water at %02d:%02d, low water at %02d:%02d &amp; a light breeze.</description></item>"
        % (n, i, n, i, (n + i) % 24, (7 * i) % 60, (n + i + 6) % 24, (11 * i) % 60)
        for i in range(3))
    return ("<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel>"
            "<title>Lindmere tides, edition %d</title>%s</channel></rss>" % (n, items)).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def head(self, status, length=None, ctype="application/rss+xml"):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.flush()

    def body(self, status, data, ctype="application/rss+xml"):
        self.head(status, len(data), ctype)
        self.wfile.write(data)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        with hits_lock:
            hits[url.path] = hits.get(url.path, 0) + 1
        self.close_connection = True
        try:
            self.route(url.path, query)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self, path, query):
        if path.startswith("/samples/"):
            name = os.path.basename(path)
            try:
                with open(os.path.join(SAMPLES, name), "rb") as f:
                    self.body(200, f.read())
            except OSError:
                self.body(404, b"<html>no such sample</html>", "text/html")
        elif path == "/changing":
            self.body(200, changing_feed())
        elif path == "/fail":
            self.body(500, b"<html><body>Internal error</body></html>", "text/html")
        elif path == "/stall":
            self.head(200)
            time.sleep(float(query.get("s", "30")))
        elif path == "/half":
            feed = changing_feed()
            self.head(200, len(feed))
            self.wfile.write(feed[: len(feed) // 2])
            self.wfile.flush()
            time.sleep(float(query.get("s", "30")))
        elif path == "/hits":
            with hits_lock:
                text = "".join("%s %d\n" % item for item in sorted(hits.items()))
            self.body(200, text.encode(), "text/plain")
        else:
            self.body(404, b"<html>not found</html>", "text/html")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
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
    server.serve_forever()


if __name__ == "__main__":
    main()
