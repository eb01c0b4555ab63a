#!/usr/bin/env python3
"""Runs the download tests against a local maker server.

The download tests need tools/maker_server.py, a Linux program, which a
Windows program under Wine cannot start itself. CTest therefore runs this
driver instead of the test executable: it starts the server on a free port
of 127.0.0.1 with an empty root folder (the tests serve their own files and
set faults through the server's control endpoints), exports the server's
base address as FONTIVA_TEST_SERVER, runs the test executable through the
given emulator (tools/wine-run) and stops the server. The exit code is the
test executable's.

Usage: run_with_server.py EMULATOR TEST_EXE [test arguments...]
"""

import os
import select
import subprocess
import sys
import tempfile
import urllib.request
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
SERVER = REPO / "tools" / "maker_server.py"
# The server stops by itself should this driver be killed.
SERVER_LIFETIME = 1800


def start_server(root, errors):
    proc = subprocess.Popen(
        [sys.executable, str(SERVER), "--port", "0", "--root", str(root),
         "--lifetime", str(SERVER_LIFETIME)],
        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=errors,
        text=True)
    ready, _, _ = select.select([proc.stdout], [], [], 20)
    base = proc.stdout.readline().strip() if ready else ""
    if not base.startswith("http://127.0.0.1:"):
        proc.kill()
        proc.wait()
        return None, None
    return proc, base


def stop_server(proc, base):
    try:
        request = urllib.request.Request(base + "/_control/shutdown", data=b"{}",
                                         method="POST")
        urllib.request.urlopen(request, timeout=10).read()
    except OSError:
        pass
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    proc.stdout.close()


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    emulator, exe, args = argv[1], argv[2], argv[3:]
    with tempfile.TemporaryDirectory(prefix="fontiva-download-server-") as scratch:
        root = Path(scratch) / "root"
        (root / "LOL" / "Typeface").mkdir(parents=True)
        errors_path = Path(scratch) / "server.stderr"
        with open(errors_path, "w") as errors:
            proc, base = start_server(root, errors)
        if proc is None:
            sys.stderr.write("maker server did not start: %s\n"
                             % errors_path.read_text())
            return 1
        try:
            env = dict(os.environ, FONTIVA_TEST_SERVER=base)
            sys.stdout.flush()
            code = subprocess.call([emulator, exe, *args], env=env,
                                   stdin=subprocess.DEVNULL)
        finally:
            stop_server(proc, base)
        server_errors = errors_path.read_text().strip()
        if code != 0 and server_errors:
            sys.stderr.write("maker server said:\n%s\n" % server_errors)
        return code


if __name__ == "__main__":
    sys.exit(main(sys.argv))
