#!/usr/bin/env python3
"""Local stand-in of the font maker's download server and web server.

Fontiva talks to two servers of the font maker: the download server, which
holds the update file, the catalogue file and the eight font files under
/LOL/Typeface/, and the web server, whose forum pages the program opens in
the browser. This script plays both on 127.0.0.1 so that the program and its
tests can run without any outside network, and it can be told at run time to
misbehave in the ways a real server and a real network do.

Usage:

    python3 tools/maker_server.py --port 0 --root DIR [--port-file FILE]
                                  [--lifetime SECONDS] [--verbose]

The first line on stdout is the base address, "http://127.0.0.1:PORT"; with
--port-file the same line is written to that file once the server listens.
The server stops on SIGTERM or SIGINT, on POST /_control/shutdown, and after
--lifetime seconds when that is given.

Served paths (GET and HEAD), read from DIR at every request:

    /LOL/Typeface/paizi.txt     update file      text/plain
    /LOL/Typeface/data.txt      catalogue file   text/plain
    /LOL/Typeface/1.TTF..8.TTF  font files       application/octet-stream
    /forum.php?...              a small HTML page standing for the forum

Every file answer carries Content-Length and "Cache-Control: no-cache", and
single byte ranges ("Range: bytes=a-b") are honoured. Any other path is 404.
In the text files the token %SERVER_BASE% is replaced by the server's own
base address when they are served, so a prepared update file can name pages
of a server whose port is only known once it runs.

Control endpoints (JSON in, JSON out; never logged, never faulted):

    POST /_control/fault      {"path": P, "fault": F, "count": N, ...}
    POST /_control/file       {"path": P, "content_b64": B}
                              {"path": P, "content_text": T, "encoding": "gbk"}
                              {"path": P, "remove": true}
    POST /_control/reset      drop every fault, file replacement and log entry
    GET  /_control/log        list of requests received ([?path=P] filters)
    POST /_control/clear-log
    GET  /_control/state      the faults and file replacements in force
    POST /_control/shutdown

A fault applies to one path (the path without its query), or to every
non-control path when its path is "*"; a fault on the exact path wins.
"count" limits it to that many requests, after which the path behaves
normally again; without it the fault stays until changed. Faults:

    none     remove the fault of the path
    404, 500 (any status from 400 to 599) answer that status instead
    reset    read the request, then abort the connection (TCP RST), no answer
    drop     full Content-Length, then only the first half of the body
             ("bytes": how many body bytes to send), then close
    short    Content-Length larger than the body by "extra" bytes (default
             half the body, at least 1), the whole body, then close
    trickle  the whole body in small pieces with pauses: "rate" bytes per
             second (default 16384), or "duration" seconds for the body
    stall    headers and the first half of the body ("bytes"), then nothing;
             the connection is held until the client closes it or "hold"
             seconds pass (default and cap 120)

Status and reset faults apply to GET and HEAD; the body faults apply to GET
only (a HEAD answer has no body), so a HEAD does not use up their count.

A log entry has: seq, time, client, method, target (as sent), path, query,
version, headers (lower-case names: host, user-agent, accept,
accept-encoding, cache-control, pragma, range, if-modified-since,
if-none-match, connection), no_cache (the client asked caches to be
bypassed through Cache-Control or Pragma), fault, status, content_length
(as announced), bytes_sent (body bytes written), complete (the whole
announced body went out), finished (the answer is over) and error.
An entry is logged when the request arrives and updated as the answer goes
out, so a stalled transfer is visible while it stalls.
"""

import argparse
import base64
import html
import json
import os
import select
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

TYPEFACE_DIR = "/LOL/Typeface/"
TEXT_FILES = ("paizi.txt", "data.txt")
FONT_COUNT = 8
SERVED_PATHS = frozenset(
    [TYPEFACE_DIR + name for name in TEXT_FILES]
    + [TYPEFACE_DIR + "%d.TTF" % n for n in range(1, FONT_COUNT + 1)]
)
FORUM_PATH = "/forum.php"
CONTROL_PREFIX = "/_control/"
BASE_TOKEN = b"%SERVER_BASE%"

HEADERS_OF_INTEREST = (
    "host",
    "user-agent",
    "accept",
    "accept-encoding",
    "cache-control",
    "pragma",
    "range",
    "if-modified-since",
    "if-none-match",
    "connection",
)

BODY_FAULTS = ("drop", "short", "trickle", "stall")
DEFAULT_TRICKLE_RATE = 16384
TRICKLE_STEP = 0.1  # seconds between two pieces of a trickled body
STALL_CAP = 120.0
MAX_CONTROL_BODY = 64 * 1024 * 1024
WRITE_CHUNK = 64 * 1024


class ControlError(Exception):
    """A control request that cannot be carried out; answered with 400."""


class Fault:
    def __init__(self, kind, count=None, rate=None, duration=None,
                 body_bytes=None, extra=None, hold=None):
        self.kind = kind
        self.remaining = count
        self.rate = rate
        self.duration = duration
        self.body_bytes = body_bytes
        self.extra = extra
        self.hold = hold

    def status(self):
        return int(self.kind) if self.kind.isdigit() else None

    def applies_to(self, method):
        return method == "GET" or self.kind not in BODY_FAULTS

    def describe(self):
        out = {"fault": self.kind, "count": self.remaining}
        for name in ("rate", "duration", "extra", "hold"):
            value = getattr(self, name)
            if value is not None:
                out[name] = value
        if self.body_bytes is not None:
            out["bytes"] = self.body_bytes
        return out


def _number(order, name, minimum, integer):
    value = order.get(name)
    if value is None:
        return None
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise ControlError("%s must be a number" % name)
    if integer and value != int(value):
        raise ControlError("%s must be a whole number" % name)
    if value < minimum:
        raise ControlError("%s must be at least %s" % (name, minimum))
    return int(value) if integer else float(value)


def parse_fault(order):
    """Builds a Fault from the JSON object of POST /_control/fault."""
    kind = order.get("fault")
    if not isinstance(kind, str):
        raise ControlError("fault must be a text")
    kind = kind.strip().lower()
    known = ("none", "reset") + BODY_FAULTS
    if kind.isdigit():
        if not 400 <= int(kind) <= 599:
            raise ControlError("a status fault must be from 400 to 599")
    elif kind not in known:
        raise ControlError("unknown fault %r" % kind)
    fault = Fault(
        kind,
        count=_number(order, "count", 1, True),
        rate=_number(order, "rate", 1, True),
        duration=_number(order, "duration", 0.1, False),
        body_bytes=_number(order, "bytes", 0, True),
        extra=_number(order, "extra", 1, True),
        hold=_number(order, "hold", 0, False),
    )
    if fault.hold is not None:
        fault.hold = min(fault.hold, STALL_CAP)
    return fault


def parse_range(header, length):
    """Returns (first, last) for a single byte range, None for no usable
    range (the whole file is sent), or "unsatisfiable"."""
    if not header:
        return None
    unit, _, ranges = header.partition("=")
    if unit.strip().lower() != "bytes" or "," in ranges:
        return None
    first_text, dash, last_text = ranges.strip().partition("-")
    if not dash:
        return None
    try:
        if first_text == "":
            suffix = int(last_text)
            if suffix <= 0:
                return "unsatisfiable"
            return (max(0, length - suffix), length - 1)
        first = int(first_text)
        last = int(last_text) if last_text else length - 1
    except ValueError:
        return None
    if first < 0 or (last_text and last < first):
        return None
    if first >= length:
        return "unsatisfiable"
    return (first, min(last, length - 1))


def content_type_for(path):
    if path.lower().endswith(".ttf"):
        return "application/octet-stream"
    if path.lower().endswith(".txt"):
        return "text/plain"
    if path.lower().endswith((".html", ".htm", ".php")):
        return "text/html; charset=utf-8"
    return "application/octet-stream"


def forum_page(query):
    """The stand-in of a forum page: tells which page was asked for."""
    params = urllib.parse.parse_qs(query, keep_blank_values=True)

    def one(name):
        values = params.get(name)
        return values[0] if values else ""

    mod = one("mod")
    if mod == "viewthread":
        heading = "帖子 %s" % one("tid")
    elif mod == "forumdisplay":
        heading = "版块 %s 第 %s 页" % (one("fid"), one("page") or "1")
    else:
        heading = "论坛首页"
    items = "".join(
        "<li>%s = %s</li>" % (html.escape(k), html.escape(v))
        for k, values in sorted(params.items()) for v in values
    )
    page = (
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
        "<title>%s</title></head>\n<body><h1>%s</h1><ul>%s</ul></body></html>\n"
        % (html.escape(heading), html.escape(heading), items)
    )
    return page.encode("utf-8")


class ServerState:
    """Faults, replaced files and the request log, shared by all handler
    threads."""

    def __init__(self, root):
        self.root = os.path.abspath(root)
        self.base = ""
        self.lock = threading.Lock()
        self.faults = {}
        self.files = {}  # path -> bytes, or None for a removed file
        self.log = []
        self.seq = 0
        self.stopping = threading.Event()

    def reset(self):
        with self.lock:
            self.faults.clear()
            self.files.clear()
            self.log.clear()

    def set_fault(self, path, fault):
        with self.lock:
            if fault.kind == "none":
                self.faults.pop(path, None)
            else:
                self.faults[path] = fault

    def take_fault(self, path, method):
        """The fault for this request, counted as used; None when none."""
        with self.lock:
            for key in (path, "*"):
                fault = self.faults.get(key)
                if fault is None or not fault.applies_to(method):
                    continue
                if fault.remaining is not None:
                    fault.remaining -= 1
                    if fault.remaining <= 0:
                        del self.faults[key]
                return fault
        return None

    def set_file(self, path, content):
        with self.lock:
            self.files[path] = content

    def content(self, path):
        """The bytes served for a path, or None when there is no such file."""
        with self.lock:
            if path in self.files:
                data = self.files[path]
                replaced = True
            else:
                replaced = False
        if not replaced:
            if path not in SERVED_PATHS:
                return None
            disk = os.path.join(self.root, *path.strip("/").split("/"))
            try:
                with open(disk, "rb") as f:
                    data = f.read()
            except OSError:
                return None
        if data is not None and path.lower().endswith(".txt"):
            data = data.replace(BASE_TOKEN, self.base.encode("ascii"))
        return data

    def new_entry(self, entry):
        with self.lock:
            self.seq += 1
            entry["seq"] = self.seq
            self.log.append(entry)
        return entry

    def update_entry(self, entry, **changes):
        with self.lock:
            entry.update(changes)

    def log_snapshot(self, path=None):
        with self.lock:
            return [dict(e, headers=dict(e["headers"])) for e in self.log
                    if path is None or e["path"] == path]

    def clear_log(self):
        with self.lock:
            self.log.clear()

    def describe(self):
        with self.lock:
            return {
                "faults": {p: f.describe() for p, f in self.faults.items()},
                "files": {p: (None if d is None else len(d))
                          for p, d in self.files.items()},
            }


class ClientGone(Exception):
    """The client closed the connection while the answer was being sent."""


class MakerHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "MakerStandIn/1.0"

    def version_string(self):
        return self.server_version

    @property
    def state(self):
        return self.server.state

    def log_message(self, format, *args):
        if self.server.verbose:
            sys.stderr.write("%s %s\n" % (self.address_string(),
                                          format % args))

    def finish(self):
        # After a reset fault the socket is already closed.
        try:
            super().finish()
        except OSError:
            pass

    # -- dispatch ---------------------------------------------------------

    def do_GET(self):
        self.dispatch("GET")

    def do_HEAD(self):
        self.dispatch("HEAD")

    def do_POST(self):
        path, _ = self.split_target()
        if path.startswith(CONTROL_PREFIX):
            self.control("POST", path)
        else:
            self.dispatch("POST")

    def split_target(self):
        parts = urllib.parse.urlsplit(self.path)
        return (parts.path or "/"), parts.query

    def dispatch(self, method):
        path, query = self.split_target()
        if path.startswith(CONTROL_PREFIX):
            self.control(method, path, query)
            return
        entry = self.state.new_entry(self.entry_for(method, path, query))
        try:
            self.serve(method, path, query, entry)
        except ClientGone as gone:
            self.close_connection = True
            self.state.update_entry(entry, error=str(gone) or "client gone")
        finally:
            self.state.update_entry(entry, finished=True)

    def entry_for(self, method, path, query):
        headers = {}
        for name in HEADERS_OF_INTEREST:
            value = self.headers.get(name)
            if value is not None:
                headers[name] = value
        directives = (headers.get("cache-control", "") + ","
                      + headers.get("pragma", "")).lower().replace(" ", "")
        no_cache = any(d in ("no-cache", "no-store", "max-age=0")
                       for d in directives.split(","))
        return {
            "time": time.time(),
            "client": "%s:%d" % self.client_address[:2],
            "method": method,
            "target": self.path,
            "path": path,
            "query": query,
            "version": self.request_version,
            "headers": headers,
            "no_cache": no_cache,
            "fault": None,
            "status": None,
            "content_length": None,
            "bytes_sent": 0,
            "complete": False,
            "finished": False,
            "error": None,
        }

    # -- serving ----------------------------------------------------------

    def serve(self, method, path, query, entry):
        fault = self.state.take_fault(path, method)
        if fault is not None:
            self.state.update_entry(entry, fault=fault.kind)
            if fault.kind == "reset":
                self.abort_connection()
                self.state.update_entry(entry, error="reset")
                return
            if fault.status() is not None:
                self.send_simple(method, fault.status(), entry)
                return

        if method not in ("GET", "HEAD"):
            self.send_simple(method, 405, entry, {"Allow": "GET, HEAD"})
            return
        if path == FORUM_PATH:
            body = forum_page(query)
            self.send_body(method, 200, body, "text/html; charset=utf-8",
                           entry, fault)
            return
        data = self.state.content(path)
        if data is None:
            self.send_simple(method, 404, entry)
            return

        wanted = parse_range(self.headers.get("Range"), len(data))
        extra = {"Accept-Ranges": "bytes"}
        status = 200
        if wanted == "unsatisfiable":
            extra["Content-Range"] = "bytes */%d" % len(data)
            self.send_simple(method, 416, entry, extra)
            return
        if wanted is not None:
            first, last = wanted
            extra["Content-Range"] = "bytes %d-%d/%d" % (first, last,
                                                        len(data))
            data = data[first:last + 1]
            status = 206
        self.send_body(method, status, data, content_type_for(path), entry,
                       fault, extra)

    def send_simple(self, method, status, entry, extra=None):
        reason = self.responses.get(status, ("Error",))[0]
        body = ("%d %s\n" % (status, reason)).encode("ascii")
        self.send_body(method, status, body, "text/plain", entry, None, extra)

    def send_body(self, method, status, body, content_type, entry, fault,
                  extra=None):
        kind = fault.kind if fault is not None else None
        announced = len(body)
        if kind == "short":
            announced += fault.extra or max(1, len(body) // 2)
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(announced))
        self.send_header("Cache-Control", "no-cache")
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        try:
            self.end_headers()
        except OSError as error:
            raise ClientGone(str(error))
        self.state.update_entry(entry, status=status,
                                content_length=announced)
        if method == "HEAD":
            self.state.update_entry(entry, complete=True)
            return

        if kind == "drop":
            part = self.part_of(body, fault)
            self.write(body[:part], entry)
            self.close_connection = True
        elif kind == "short":
            self.write(body, entry)
            self.close_connection = True
        elif kind == "trickle":
            self.trickle(body, fault, entry)
        elif kind == "stall":
            self.write(body[:self.part_of(body, fault)], entry)
            self.hold_open(fault)
            self.close_connection = True
        else:
            self.write(body, entry)
        with self.state.lock:
            entry["complete"] = entry["bytes_sent"] == announced

    @staticmethod
    def part_of(body, fault):
        if fault.body_bytes is not None:
            return min(fault.body_bytes, len(body))
        return len(body) // 2

    def write(self, data, entry):
        for start in range(0, len(data), WRITE_CHUNK):
            piece = data[start:start + WRITE_CHUNK]
            try:
                self.wfile.write(piece)
            except OSError as error:
                raise ClientGone(str(error))
            with self.state.lock:
                entry["bytes_sent"] += len(piece)

    def trickle(self, body, fault, entry):
        if fault.rate is not None:
            rate = fault.rate
        elif fault.duration is not None:
            rate = max(1, int(len(body) / fault.duration))
        else:
            rate = DEFAULT_TRICKLE_RATE
        step = max(1, int(rate * TRICKLE_STEP))
        for start in range(0, len(body), step):
            if start and self.state.stopping.wait(TRICKLE_STEP):
                raise ClientGone("server stopping")
            self.write(body[start:start + step], entry)

    def hold_open(self, fault):
        """Sends nothing more until the client closes the connection, the
        hold time ends or the server stops."""
        hold = STALL_CAP if fault.hold is None else fault.hold
        deadline = time.monotonic() + hold
        sock = self.connection
        while not self.state.stopping.is_set():
            left = deadline - time.monotonic()
            if left <= 0:
                return
            try:
                readable, _, _ = select.select([sock], [], [], min(left, 0.5))
                if readable and not sock.recv(4096):
                    return
            except OSError:
                return

    def abort_connection(self):
        # A zero linger time makes the close send RST instead of FIN.
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
            self.connection.close()
        except OSError:
            pass
        self.close_connection = True

    # -- control ----------------------------------------------------------

    def control(self, method, path, query=""):
        name = path[len(CONTROL_PREFIX):]
        try:
            if method == "GET" and name == "log":
                params = urllib.parse.parse_qs(query)
                only = params.get("path", [None])[0]
                self.send_json(200, self.state.log_snapshot(only))
            elif method == "GET" and name == "state":
                self.send_json(200, self.state.describe())
            elif method == "POST" and name in ("fault", "file", "reset",
                                               "clear-log", "shutdown"):
                order = self.read_json()
                self.send_json(200, self.control_post(name, order))
                if name == "shutdown":
                    threading.Thread(target=self.server.stop,
                                     daemon=True).start()
            elif name in ("log", "state", "fault", "file", "reset",
                          "clear-log", "shutdown"):
                self.send_json(405, {"error": "method not allowed"})
            else:
                self.send_json(404, {"error": "no such control endpoint"})
        except ControlError as error:
            self.send_json(400, {"error": str(error)})

    def read_json(self):
        try:
            length = int(self.headers.get("Content-Length") or 0)
        except ValueError:
            raise ControlError("bad Content-Length")
        if length < 0 or length > MAX_CONTROL_BODY:
            raise ControlError("body too large")
        raw = self.rfile.read(length) if length else b""
        if not raw.strip():
            return {}
        try:
            order = json.loads(raw.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            raise ControlError("body is not JSON: %s" % error)
        if not isinstance(order, dict):
            raise ControlError("body must be a JSON object")
        return order

    def control_post(self, name, order):
        if name == "reset":
            self.state.reset()
            return {"ok": True}
        if name == "clear-log":
            self.state.clear_log()
            return {"ok": True}
        if name == "shutdown":
            return {"ok": True}
        path = order.get("path")
        if not isinstance(path, str) or not (path == "*" or
                                             path.startswith("/")):
            raise ControlError("path must be \"*\" or start with \"/\"")
        if path.startswith(CONTROL_PREFIX):
            raise ControlError("control paths cannot be changed")
        if name == "fault":
            fault = parse_fault(order)
            self.state.set_fault(path, fault)
            return dict(fault.describe(), ok=True, path=path)
        # name == "file"
        if path == "*":
            raise ControlError("a file needs a real path")
        if order.get("remove"):
            self.state.set_file(path, None)
            return {"ok": True, "path": path, "length": None}
        if "content_b64" in order:
            try:
                content = base64.b64decode(order["content_b64"],
                                           validate=True)
            except (TypeError, ValueError) as error:
                raise ControlError("content_b64: %s" % error)
        elif "content_text" in order:
            text = order["content_text"]
            encoding = order.get("encoding", "gbk")
            if not isinstance(text, str) or not isinstance(encoding, str):
                raise ControlError("content_text and encoding must be texts")
            try:
                content = text.encode(encoding)
            except LookupError:
                raise ControlError("unknown encoding %r" % encoding)
            except UnicodeEncodeError as error:
                raise ControlError("text cannot be encoded: %s" % error)
        else:
            raise ControlError("give content_b64, content_text or remove")
        self.state.set_file(path, content)
        return {"ok": True, "path": path, "length": len(content)}

    def send_json(self, status, value):
        body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


class MakerServer(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True

    def __init__(self, port, state, verbose=False):
        self.state = state
        self.verbose = verbose
        self._stop_once = threading.Lock()
        super().__init__(("127.0.0.1", port), MakerHandler)
        state.base = "http://127.0.0.1:%d" % self.server_address[1]

    def handle_error(self, request, client_address):
        # A client that vanishes mid-answer is part of the game here; keep
        # stderr to one line per error unless asked for the whole story.
        if self.verbose:
            super().handle_error(request, client_address)
        else:
            error = sys.exc_info()[1]
            sys.stderr.write("maker_server: %s:%d: %s: %s\n" % (
                client_address[0], client_address[1],
                type(error).__name__, error))

    def stop(self):
        """Stops serve_forever; callable from any thread but its own."""
        if self._stop_once.acquire(blocking=False):
            self.state.stopping.set()
            self.shutdown()


def write_port_file(path, base):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii") as f:
        f.write(base + "\n")
    os.replace(temporary, path)


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Local stand-in of the font maker's servers.")
    parser.add_argument("--port", type=int, default=0,
                        help="port on 127.0.0.1 (0: pick a free one)")
    parser.add_argument("--root", required=True,
                        help="folder holding LOL/Typeface/")
    parser.add_argument("--port-file",
                        help="also write the base address to this file")
    parser.add_argument("--lifetime", type=float, default=0,
                        help="stop after this many seconds (0: never)")
    parser.add_argument("--verbose", action="store_true",
                        help="log each request on stderr")
    args = parser.parse_args(argv)

    if not os.path.isdir(args.root):
        parser.error("root folder %s does not exist" % args.root)
    state = ServerState(args.root)
    server = MakerServer(args.port, state, verbose=args.verbose)

    def stop_soon(*_):
        threading.Thread(target=server.stop, daemon=True).start()

    signal.signal(signal.SIGTERM, stop_soon)
    signal.signal(signal.SIGINT, stop_soon)
    if args.lifetime > 0:
        timer = threading.Timer(args.lifetime, server.stop)
        timer.daemon = True
        timer.start()

    if args.port_file:
        write_port_file(args.port_file, state.base)
    sys.stdout.write(state.base + "\n")
    sys.stdout.flush()
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        state.stopping.set()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
