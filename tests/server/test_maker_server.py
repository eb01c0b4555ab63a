"""The local maker server, seen by real HTTP clients over loopback.

One server process runs for the whole module on a folder filled here with
known files; every test starts from a reset server. The faults are checked
the way a downloader meets them: with http.client and with raw sockets.
"""

import base64
import http.client
import json
import os
import random
import select
import socket
import subprocess
import sys
import time
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]
SERVER = REPO / "tools" / "maker_server.py"
PREPARE = REPO / "tools" / "prepare_server_root.sh"
TYPEFACE = "/LOL/Typeface/"
# The server must also run on older interpreters than the one running pytest.
SERVER_PYTHON = os.environ.get("MAKER_SERVER_PYTHON", sys.executable)

FONTS = {
    n: b"\x00\x01\x00\x00" + random.Random(n).randbytes(3000 * n)
    for n in range(1, 9)
}
CATALOGUE = "3.85 M[0.72 M[0.36 M[0.33 M[0.13 M[0.15 M[0.10 M[0.10 M".encode("gbk")
UPDATE = (b"v1.0[%SERVER_BASE%/forum.php?mod=viewthread&tid=126"
          b"[%SERVER_BASE%/forum.php?mod=viewthread&tid=129")


def font_path(n):
    return "%s%d.TTF" % (TYPEFACE, n)


def start_server(root, *extra):
    """Starts the server on a free port; returns (process, base address).
    Its stderr goes to a file beside the root, read when start-up fails."""
    errors = Path(str(root) + ".stderr")
    with open(errors, "w") as stderr:
        proc = subprocess.Popen(
            [SERVER_PYTHON, str(SERVER), "--port", "0", "--root", str(root),
             *extra],
            stdout=subprocess.PIPE, stderr=stderr, text=True)
    ready, _, _ = select.select([proc.stdout], [], [], 15)
    base = proc.stdout.readline().strip() if ready else ""
    if not base.startswith("http://127.0.0.1:"):
        proc.kill()
        proc.wait()
        pytest.fail("server did not start (first line %r); stderr: %s"
                    % (base, errors.read_text()))
    return proc, base


def stop_server(proc, base):
    try:
        control(base, "shutdown")
    except OSError:
        pass
    try:
        return proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        raise
    finally:
        proc.stdout.close()


def port_of(base):
    return int(base.rsplit(":", 1)[1])


def fetch(base, path, method="GET", headers=None, body=None):
    """One request on a fresh connection: (status, headers, body)."""
    conn = http.client.HTTPConnection("127.0.0.1", port_of(base), timeout=10)
    try:
        conn.request(method, path, body=body, headers=headers or {})
        resp = conn.getresponse()
        data = resp.read()
        return resp.status, {k.lower(): v for k, v in resp.getheaders()}, data
    finally:
        conn.close()


def control(base, name, payload=None, method="POST"):
    body = None if payload is None else json.dumps(payload).encode("utf-8")
    status, _, data = fetch(base, "/_control/" + name, method=method,
                            body=body)
    return status, json.loads(data.decode("utf-8"))


def set_fault(base, path, fault, **options):
    status, answer = control(base, "fault",
                             dict(options, path=path, fault=fault))
    assert status == 200, answer


def raw_exchange(base, path, timeout=10.0):
    """Sends a keep-alive GET and reads until the server closes the
    connection: (status line, headers, body bytes received)."""
    with socket.create_connection(("127.0.0.1", port_of(base)),
                                  timeout=timeout) as sock:
        sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                      % path).encode("ascii"))
        data = b""
        while True:
            piece = sock.recv(65536)
            if not piece:
                break
            data += piece
    return split_answer(data)


def split_answer(data):
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return lines[0], headers, body


def read_headers(sock):
    data = b""
    while b"\r\n\r\n" not in data:
        piece = sock.recv(65536)
        assert piece, "connection closed before the headers ended"
        data += piece
    return split_answer(data)


def log(base, path=None):
    name = "log" if path is None else "log?path=" + path
    status, entries = control(base, name, method="GET")
    assert status == 200
    return entries


def wait_for_log(base, path, condition, limit=10.0):
    deadline = time.monotonic() + limit
    while True:
        entries = log(base, path)
        if entries and condition(entries[-1]):
            return entries[-1]
        if time.monotonic() > deadline:
            pytest.fail("log never reached the expected state: %r" % entries)
        time.sleep(0.05)


@pytest.fixture(scope="module")
def server_root(tmp_path_factory):
    root = tmp_path_factory.mktemp("maker")
    typeface = root / "LOL" / "Typeface"
    typeface.mkdir(parents=True)
    for n, content in FONTS.items():
        (typeface / ("%d.TTF" % n)).write_bytes(content)
    (typeface / "data.txt").write_bytes(CATALOGUE)
    (typeface / "paizi.txt").write_bytes(UPDATE)
    # A file in the folder that is not one of the served names.
    (typeface / "9.TTF").write_bytes(b"not served")
    return root


@pytest.fixture(scope="module")
def running(server_root):
    proc, base = start_server(server_root, "--lifetime", "300")
    yield base
    assert stop_server(proc, base) == 0


@pytest.fixture
def base(running):
    status, _ = control(running, "reset")
    assert status == 200
    return running


# -- normal answers ---------------------------------------------------------

@pytest.mark.parametrize("path, expected, content_type", [
    (font_path(n), FONTS[n], "application/octet-stream") for n in range(1, 9)
] + [
    (TYPEFACE + "data.txt", CATALOGUE, "text/plain"),
])
def test_serves_files(base, path, expected, content_type):
    status, headers, body = fetch(base, path)
    assert status == 200
    assert body == expected
    assert headers["content-length"] == str(len(expected))
    assert headers["content-type"] == content_type
    assert headers["cache-control"] == "no-cache"


def test_update_file_names_the_servers_own_base(base):
    status, headers, body = fetch(base, TYPEFACE + "paizi.txt")
    assert status == 200
    assert headers["content-type"] == "text/plain"
    assert headers["content-length"] == str(len(body))
    fields = body.decode("gbk").split("[")
    assert fields == ["v1.0",
                      base + "/forum.php?mod=viewthread&tid=126",
                      base + "/forum.php?mod=viewthread&tid=129"]


def test_head_announces_without_body(base):
    status, headers, body = fetch(base, font_path(6), method="HEAD")
    assert (status, body) == (200, b"")
    assert headers["content-length"] == str(len(FONTS[6]))
    assert headers["content-type"] == "application/octet-stream"


def test_keeps_connection_alive(base):
    conn = http.client.HTTPConnection("127.0.0.1", port_of(base), timeout=10)
    try:
        for n in (1, 2):
            conn.request("GET", font_path(n))
            resp = conn.getresponse()
            assert resp.status == 200 and resp.read() == FONTS[n]
    finally:
        conn.close()
    clients = {e["client"] for e in log(base)}
    assert len(clients) == 1


@pytest.mark.parametrize("method, path, status", [
    ("GET", TYPEFACE + "9.TTF", 404),
    ("GET", TYPEFACE + "0.TTF", 404),
    ("GET", TYPEFACE + "3.ttf", 404),
    ("GET", TYPEFACE + "../Typeface/1.TTF", 404),
    ("GET", TYPEFACE, 404),
    ("GET", "/", 404),
    ("GET", "/LOL/typeface/data.txt", 404),
    ("HEAD", TYPEFACE + "missing.txt", 404),
    ("GET", "/_control/nothing", 404),
    ("POST", font_path(1), 405),
    ("GET", "/_control/fault", 405),
])
def test_refuses_other_requests(base, method, path, status):
    assert fetch(base, path, method=method)[0] == status


@pytest.mark.parametrize("target, heading", [
    ("/forum.php?mod=viewthread&tid=127&extra=page%3D1", "帖子 127"),
    ("/forum.php?mod=forumdisplay&fid=52&page=1", "版块 52 第 1 页"),
    ("/forum.php", "论坛首页"),
])
def test_serves_forum_pages(base, target, heading):
    status, headers, body = fetch(base, target)
    assert status == 200
    assert headers["content-type"] == "text/html; charset=utf-8"
    assert ("<h1>%s</h1>" % heading) in body.decode("utf-8")


@pytest.mark.parametrize("header, status, part", [
    ("bytes=0-99", 206, slice(0, 100)),
    ("bytes=100-", 206, slice(100, None)),
    ("bytes=-10", 206, slice(-10, None)),
    ("bytes=5-1", 200, slice(None)),
    ("items=0-1", 200, slice(None)),
    ("bytes=999999-", 416, None),
])
def test_byte_ranges(base, header, status, part):
    got, headers, body = fetch(base, font_path(2), headers={"Range": header})
    assert got == status
    size = len(FONTS[2])
    if part is None:
        assert headers["content-range"] == "bytes */%d" % size
    else:
        assert body == FONTS[2][part]
        assert headers["content-length"] == str(len(body))
    if status == 206:
        first = part.indices(size)[0]
        assert headers["content-range"] == "bytes %d-%d/%d" % (
            first, first + len(body) - 1, size)


# -- faults -----------------------------------------------------------------

@pytest.mark.parametrize("fault", ["404", "500", "503"])
def test_status_faults(base, fault):
    path = font_path(3)
    set_fault(base, path, fault)
    for method in ("GET", "HEAD"):
        status, _, body = fetch(base, path, method=method)
        assert status == int(fault)
        assert FONTS[3] not in body
    assert fetch(base, font_path(4))[0] == 200


@pytest.mark.parametrize("options, sent", [
    ({}, len(FONTS[5]) // 2),
    ({"bytes": 100}, 100),
    ({"bytes": 0}, 0),
])
def test_drop_sends_part_of_the_body_then_closes(base, options, sent):
    path = font_path(5)
    set_fault(base, path, "drop", **options)
    status, headers, body = raw_exchange(base, path)
    assert status == "HTTP/1.1 200 OK"
    assert headers["content-length"] == str(len(FONTS[5]))
    assert body == FONTS[5][:sent]
    entry = wait_for_log(base, path, lambda e: e["finished"])
    assert (entry["fault"], entry["bytes_sent"], entry["complete"]) == (
        "drop", sent, False)


@pytest.mark.parametrize("options, extra", [
    ({}, len(FONTS[5]) // 2),
    ({"extra": 10}, 10),
])
def test_short_announces_more_than_it_sends(base, options, extra):
    path = font_path(5)
    set_fault(base, path, "short", **options)
    status, headers, body = raw_exchange(base, path)
    assert status == "HTTP/1.1 200 OK"
    assert headers["content-length"] == str(len(FONTS[5]) + extra)
    assert body == FONTS[5]


@pytest.mark.parametrize("fault", ["drop", "short"])
def test_truncation_is_an_error_for_http_client(base, fault):
    set_fault(base, font_path(7), fault)
    with pytest.raises(http.client.IncompleteRead):
        fetch(base, font_path(7))


def test_reset_gives_no_answer(base):
    path = TYPEFACE + "paizi.txt"
    set_fault(base, path, "reset")
    with socket.create_connection(("127.0.0.1", port_of(base)),
                                  timeout=10) as sock:
        sock.sendall(b"GET /LOL/Typeface/paizi.txt HTTP/1.1\r\n"
                     b"Host: 127.0.0.1\r\n\r\n")
        try:
            received = sock.recv(65536)
        except ConnectionResetError:
            received = b""
    assert received == b""
    with pytest.raises(ConnectionError):
        fetch(base, path)
    entry = wait_for_log(base, path, lambda e: e["finished"])
    assert (entry["fault"], entry["status"]) == ("reset", None)


@pytest.mark.parametrize("options", [{}, {"rate": 20000}, {"duration": 0.5}])
def test_trickle_sends_whole_body_in_pieces(base, options):
    path = font_path(4)
    set_fault(base, path, "trickle", **options)
    pieces = []
    with socket.create_connection(("127.0.0.1", port_of(base)),
                                  timeout=10) as sock:
        sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                      % path).encode("ascii"))
        _, headers, body = read_headers(sock)
        length = int(headers["content-length"])
        if body:
            pieces.append(body)
        while sum(map(len, pieces)) < length:
            piece = sock.recv(65536)
            assert piece, "connection closed during the trickle"
            pieces.append(piece)
    assert length == len(FONTS[4])
    assert b"".join(pieces) == FONTS[4]
    assert len(pieces) >= 3
    entry = wait_for_log(base, path, lambda e: e["finished"])
    assert entry["complete"] and entry["fault"] == "trickle"


def test_stall_holds_until_the_client_gives_up(base):
    path = font_path(6)
    part = len(FONTS[6]) // 2
    set_fault(base, path, "stall")
    with socket.create_connection(("127.0.0.1", port_of(base)),
                                  timeout=10) as sock:
        sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                      % path).encode("ascii"))
        _, headers, body = read_headers(sock)
        assert headers["content-length"] == str(len(FONTS[6]))
        while len(body) < part:
            piece = sock.recv(65536)
            assert piece, "connection closed during the stall"
            body += piece
        assert body == FONTS[6][:part]
        sock.settimeout(1.0)
        with pytest.raises(socket.timeout):
            sock.recv(65536)
        stalled = log(base, path)[-1]
        assert (stalled["bytes_sent"], stalled["finished"]) == (part, False)
    entry = wait_for_log(base, path, lambda e: e["finished"])
    assert (entry["bytes_sent"], entry["complete"]) == (part, False)


def test_stall_ends_after_its_hold_time(base):
    path = font_path(6)
    set_fault(base, path, "stall", hold=0.5, bytes=10)
    status, headers, body = raw_exchange(base, path)
    assert status == "HTTP/1.1 200 OK"
    assert headers["content-length"] == str(len(FONTS[6]))
    assert body == FONTS[6][:10]


def outcome(base, path):
    """What a downloader makes of one request: "reset", "truncated" or the
    status of a complete answer."""
    try:
        return fetch(base, path)[0]
    except http.client.IncompleteRead:
        return "truncated"
    except ConnectionError:
        return "reset"


@pytest.mark.parametrize("fault, count, seen", [
    ("500", 2, 500),
    ("404", 1, 404),
    ("reset", 2, "reset"),
    ("drop", 1, "truncated"),
    ("short", 3, "truncated"),
])
def test_count_limits_a_fault(base, fault, count, seen):
    path = font_path(8)
    set_fault(base, path, fault, count=count)
    results = [outcome(base, path) for _ in range(count + 2)]
    assert results == [seen] * count + [200, 200]
    assert control(base, "state", method="GET")[1]["faults"] == {}


def test_head_leaves_body_fault_count_alone(base):
    path = font_path(2)
    set_fault(base, path, "drop", count=1)
    status, headers, _ = fetch(base, path, method="HEAD")
    assert (status, headers["content-length"]) == (200, str(len(FONTS[2])))
    assert [outcome(base, path) for _ in range(2)] == ["truncated", 200]


def test_fault_for_every_path_and_exact_path_wins(base):
    set_fault(base, "*", "503")
    set_fault(base, TYPEFACE + "data.txt", "404")
    assert outcome(base, font_path(1)) == 503
    assert outcome(base, "/forum.php?mod=forumdisplay&fid=52&page=1") == 503
    assert outcome(base, TYPEFACE + "data.txt") == 404
    set_fault(base, "*", "none")
    assert outcome(base, font_path(1)) == 200
    assert outcome(base, TYPEFACE + "data.txt") == 404


# -- replaced files, log, reset ---------------------------------------------

@pytest.mark.parametrize("payload, expected", [
    ({"content_text": "3.85 M[测试 字体[0.36 M"}, "3.85 M[测试 字体[0.36 M".encode("gbk")),
    ({"content_text": "版本", "encoding": "utf-8"}, "版本".encode("utf-8")),
    ({"content_b64": base64.b64encode(b"\x00\x01\x00\x00ab").decode()},
     b"\x00\x01\x00\x00ab"),
])
def test_replaced_file_is_served(base, payload, expected):
    path = TYPEFACE + "data.txt"
    status, answer = control(base, "file", dict(payload, path=path))
    assert (status, answer["length"]) == (200, len(expected))
    status, headers, body = fetch(base, path)
    assert (status, body) == (200, expected)
    assert headers["content-length"] == str(len(expected))


def test_replaced_update_file_gets_the_base_filled_in(base):
    path = TYPEFACE + "paizi.txt"
    text = "v1.1[%SERVER_BASE%/forum.php?mod=viewthread&tid=1[反馈"
    control(base, "file", {"path": path, "content_text": text})
    body = fetch(base, path)[2]
    assert body.decode("gbk") == text.replace("%SERVER_BASE%", base)


def test_files_can_be_added_and_removed(base):
    extra_font = TYPEFACE + "9.TTF"
    control(base, "file", {"path": extra_font, "content_b64": "AAEAAA=="})
    control(base, "file", {"path": font_path(1), "remove": True})
    assert fetch(base, extra_font)[:3:2] == (200, b"\x00\x01\x00\x00")
    assert fetch(base, font_path(1))[0] == 404


def test_log_records_requests(base):
    control(base, "clear-log")
    fetch(base, font_path(3) + "?t=1",
          headers={"Cache-Control": "no-cache", "Pragma": "no-cache",
                   "User-Agent": "FontivaTest", "X-Other": "left out"})
    fetch(base, TYPEFACE + "data.txt", method="HEAD")
    fetch(base, TYPEFACE + "nothing.txt")
    entries = log(base)
    assert [(e["method"], e["path"], e["status"]) for e in entries] == [
        ("GET", font_path(3), 200),
        ("HEAD", TYPEFACE + "data.txt", 200),
        ("GET", TYPEFACE + "nothing.txt", 404),
    ]
    first = entries[0]
    assert first["target"] == font_path(3) + "?t=1"
    assert first["query"] == "t=1"
    assert first["headers"]["cache-control"] == "no-cache"
    assert first["headers"]["pragma"] == "no-cache"
    assert first["headers"]["user-agent"] == "FontivaTest"
    assert "x-other" not in first["headers"]
    assert first["no_cache"] is True
    assert first["bytes_sent"] == first["content_length"] == len(FONTS[3])
    assert first["complete"] and first["finished"]
    assert entries[1]["no_cache"] is False and entries[1]["bytes_sent"] == 0
    assert [e["seq"] for e in entries] == sorted(e["seq"] for e in entries)
    assert [e["path"] for e in log(base, TYPEFACE + "data.txt")] == [
        TYPEFACE + "data.txt"]
    control(base, "clear-log")
    assert log(base) == []


def test_reset_restores_everything(base):
    set_fault(base, font_path(1), "500")
    set_fault(base, "*", "reset", count=5)
    control(base, "file", {"path": TYPEFACE + "data.txt",
                           "content_text": "x"})
    status, state = control(base, "state", method="GET")
    assert set(state["faults"]) == {font_path(1), "*"}
    assert state["files"] == {TYPEFACE + "data.txt": 1}
    assert control(base, "reset") == (200, {"ok": True})
    assert log(base) == []
    assert control(base, "state", method="GET")[1] == {"faults": {},
                                                       "files": {}}
    assert fetch(base, font_path(1))[2] == FONTS[1]
    assert fetch(base, TYPEFACE + "data.txt")[2] == CATALOGUE


@pytest.mark.parametrize("name, payload", [
    ("fault", {"fault": "500"}),
    ("fault", {"path": "LOL/Typeface/1.TTF", "fault": "500"}),
    ("fault", {"path": font_path(1), "fault": "explode"}),
    ("fault", {"path": font_path(1), "fault": "200"}),
    ("fault", {"path": font_path(1), "fault": "500", "count": 0}),
    ("fault", {"path": font_path(1), "fault": "trickle", "rate": "fast"}),
    ("fault", {"path": "/_control/log", "fault": "500"}),
    ("file", {"path": font_path(1)}),
    ("file", {"path": font_path(1), "content_b64": "not base64!"}),
    ("file", {"path": font_path(1), "content_text": "x", "encoding": "nope"}),
    ("file", {"path": font_path(1), "content_text": "\U0001F600"}),
    ("fault", "not an object"),
])
def test_control_rejects_bad_requests(base, name, payload):
    status, answer = control(base, name, payload)
    assert status == 400 and answer["error"]
    assert control(base, "state", method="GET")[1] == {"faults": {},
                                                       "files": {}}


def test_control_rejects_body_that_is_not_json(base):
    status, _, body = fetch(base, "/_control/fault", method="POST",
                            body=b"{path")
    assert status == 400 and b"not JSON" in body


# -- the process ------------------------------------------------------------

def test_port_file_and_lifetime(tmp_path, server_root):
    port_file = tmp_path / "base.txt"
    proc, base = start_server(server_root, "--port-file", str(port_file),
                              "--lifetime", "1")
    try:
        assert port_file.read_text().strip() == base
        assert fetch(base, TYPEFACE + "data.txt")[2] == CATALOGUE
        assert proc.wait(timeout=15) == 0
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        proc.stdout.close()


def test_prepared_root_is_served(tmp_path):
    root = tmp_path / "root"
    for _ in range(2):
        done = subprocess.run(["bash", str(PREPARE), str(root)],
                              capture_output=True, text=True, timeout=900)
        assert done.returncode == 0, done.stderr
    typeface = root / "LOL" / "Typeface"
    fonts = [(typeface / ("%d.TTF" % n)).read_bytes() for n in range(1, 9)]
    assert all(f[:4] in (b"\x00\x01\x00\x00", b"true") for f in fonts)
    assert len(set(fonts)) == 8

    sizes = (typeface / "data.txt").read_bytes().decode("gbk").split("[")
    assert sizes == ["%.2f M" % (len(f) / 1048576) for f in fonts]

    proc, base = start_server(root)
    try:
        fields = fetch(base, TYPEFACE + "paizi.txt")[2].decode("gbk").split("[")
        assert fields[0] == "v1.0" and len(fields) == 3
        for address in fields[1:]:
            assert address.startswith(base + "/forum.php?mod=viewthread&")
            assert fetch(base, address[len(base):])[0] == 200
        assert fetch(base, font_path(1))[2] == fonts[0]
    finally:
        stop_server(proc, base)

    done = subprocess.run(["bash", str(PREPARE), str(root),
                           "http://127.0.0.1:8080"],
                          capture_output=True, text=True, timeout=900)
    assert done.returncode == 0, done.stderr
    fields = (typeface / "paizi.txt").read_bytes().decode("gbk").split("[")
    assert fields[1].startswith("http://127.0.0.1:8080/forum.php?")
    assert fields[2].startswith("http://127.0.0.1:8080/forum.php?")
