#!/usr/bin/env python3
"""Runs a test program of the HTML renderer against a small HTTP server on 127.0.0.1.

usage: html_fetch_server.py FIXTURE_DIR COMMAND...

Makes the picture fixtures with ImageMagick in FIXTURE_DIR, serves them with pages and redirections on a
free port, runs COMMAND with HTML_TEST_PORT and HTML_TEST_FIXTURES (a Wine drive path) in its
environment, stops the server and returns the command's exit code.
"""
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time
import urllib.parse

PICTURE_KINDS = ["png", "gif", "jpg", "bmp"]
PICTURE_COUNT = 30


def imagemagick():
    for name in ("magick", "convert-im6.q16", "convert-im7.q16"):
        found = shutil.which(name)
        if found:
            return [found] if not found.endswith("magick") else [found, "convert"]
    if os.path.exists("/usr/bin/convert"):
        return ["/usr/bin/convert"]
    sys.exit("html_fetch_server: ImageMagick is missing (tools/setup installs it)")


def make_fixtures(folder):
    os.makedirs(folder, exist_ok=True)
    convert = imagemagick()

    def make(name, *arguments):
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            subprocess.run(convert + list(arguments) + [path], check=True)

    for index in range(PICTURE_COUNT):
        kind = PICTURE_KINDS[index % len(PICTURE_KINDS)]
        make("pic%d.%s" % (index, kind), "-size", "%dx%d" % (20 + index, 10 + index), "xc:#%02x8040" % (index * 8))
    # 200 x 50 red, a 16 x 12 blue GIF without a size on the page, a 4 x 2 tile of green and black halves.
    make("wide.png", "-size", "200x50", "xc:#ff0000")
    make("small.gif", "-size", "16x12", "xc:#0000ff")
    make("tile.png", "-size", "2x2", "xc:#00ff00", "xc:#000000", "+append")
    spaced = os.path.join(folder, "dir with spaces")
    os.makedirs(spaced, exist_ok=True)
    with open(os.path.join(spaced, "page one.html"), "wb") as page:
        page.write(b"<html><body>Spaced <b>fixture</b> page\x00tail</body></html>")


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    fixtures = "."

    def log_message(self, *arguments):
        pass

    def send_page(self, body, content_type="text/html", length=True, pieces=1, pause=0.0):
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        step = max(1, (len(body) + pieces - 1) // pieces)
        for start in range(0, len(body), step):
            self.wfile.write(body[start:start + step])
            self.wfile.flush()
            if pause:
                time.sleep(pause)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        path = url.path
        if path == "/redirect":
            self.redirect("sub/final.html")
        elif path == "/sub/final.html":
            self.send_page(b"<html><body>Final page</body></html>")
        elif path.startswith("/loop/"):
            self.redirect("/loop/%d" % (int(path[6:]) + 1))
        elif path in ("/big", "/big-nolength"):
            body = b"<html><body>" + b"x" * (2500 - 26) + b"</body></html>"
            self.send_page(body, length=path == "/big", pieces=3, pause=0.3)
        elif path == "/echo":
            self.send_page(("<html><body>query:" + url.query + "</body></html>").encode())
        elif path == "/images.html":
            delay = query.get("delay", ["200"])[0]
            pictures = "".join('<img src="pic/%d/pic%d.%s?delay=%s"> ' %
                               (index, index, PICTURE_KINDS[index % 4], delay) for index in range(PICTURE_COUNT))
            self.send_page(("<html><body>Pictures " + pictures + "</body></html>").encode())
        elif path.startswith("/pic/"):
            time.sleep(int(query.get("delay", ["0"])[0]) / 1000.0)
            self.send_file(path.split("/")[-1])
        elif path.startswith("/slow/"):
            time.sleep(0.5)
            self.send_file(path.split("/")[-1])
        elif path.endswith(".html") and os.path.exists(os.path.join(self.fixtures, "pages", path[1:])):
            with open(os.path.join(self.fixtures, "pages", path[1:]), "rb") as page:
                self.send_page(page.read())
        else:
            self.send_file(path[1:])

    def send_file(self, name):
        path = os.path.join(self.fixtures, os.path.basename(name))
        if not name or not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as source:
            self.send_page(source.read(), content_type="application/octet-stream")

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode("latin-1")
        self.send_page(("<html><body>posted:" + body + " to " + self.path + " as " +
                        self.headers.get("Content-Type", "") + "</body></html>").encode())


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    fixtures = sys.argv[1]
    make_fixtures(fixtures)
    pages = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fetch_fixtures")
    if os.path.isdir(pages):
        shutil.copytree(pages, os.path.join(fixtures, "pages"), dirs_exist_ok=True)
    Handler.fixtures = fixtures
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    environment = dict(os.environ)
    for name in list(environment):
        if name.lower().endswith("_proxy"):
            del environment[name]
    environment["HTML_TEST_PORT"] = str(server.server_address[1])
    environment["HTML_TEST_FIXTURES"] = wine_path(fixtures)
    try:
        status = subprocess.call(sys.argv[2:], env=environment)
    finally:
        server.shutdown()
        server.server_close()
    return status


if __name__ == "__main__":
    sys.exit(main())
