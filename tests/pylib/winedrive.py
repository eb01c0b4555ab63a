"""Driving the real Fontiva.exe under Wine and Xvfb from Python tests.

The test command exports WINEPREFIX, DISPLAY and the Chinese locale; these
helpers start Windows programs with their output in files (Wine's services
inherit pipes), find their X windows with xdotool, and send real mouse
clicks and keys through X.
"""

import os
import shutil
import subprocess
import time
from pathlib import Path

BUILD_DIR = Path(os.environ.get("FONTIVA_BUILD_DIR", Path(__file__).resolve().parents[2] / "build"))


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=30)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
    return result.stdout.strip()


class WineProgram:
    """A Windows program started under Wine, its output kept in a file."""

    def __init__(self, exe, cwd, env=None, args=()):
        self.log_path = Path(cwd) / (Path(exe).stem + ".wine.log")
        self.log = open(self.log_path, "wb")
        full_env = dict(os.environ)
        full_env.update(env or {})
        self.process = subprocess.Popen(["wine", str(exe), *args], cwd=cwd, env=full_env,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)

    def wait(self, timeout=30):
        try:
            return self.process.wait(timeout=timeout)
        finally:
            self.log.close()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        self.log.close()


def find_window(name, timeout=30):
    """The X window id of the first visible window whose title is exactly name."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        out = xdotool("search", "--onlyvisible", "--name", f"^{name}$", check=False)
        if out:
            return out.splitlines()[0]
        time.sleep(0.2)
    raise TimeoutError(f"no window named {name!r} appeared")


def window_geometry(window):
    """(x, y, width, height) of an X window."""
    out = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(path):
    subprocess.run(["import", "-window", "root", str(path)], check=True, timeout=30)


def program_folder(tmp_path):
    """A fresh program folder holding Fontiva.exe and its siblings."""
    folder = Path(tmp_path) / "Fontiva"
    folder.mkdir()
    shutil.copy(BUILD_DIR / "Fontiva.exe", folder)
    for sibling in ("Rapid.exe", "Herald.dll"):
        built = BUILD_DIR / "siblings" / sibling
        if built.exists():
            shutil.copy(built, folder)
    return folder


def probe(*args):
    """Runs probe.exe (tests/support/Probe.cpp) and returns (exit code, output)."""
    out_path = BUILD_DIR / "tests" / f"probe-{os.getpid()}.out"
    with open(out_path, "wb") as out:
        code = subprocess.run(["wine", str(BUILD_DIR / "tests" / "probe.exe"), *map(str, args)],
                              stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                              timeout=60).returncode
    text = out_path.read_text(errors="replace").strip()
    out_path.unlink()
    return code, text


def windows_rect(title):
    """(x, y, width, height) of a top-level window as Windows sees it."""
    code, text = probe("rect", title)
    if code != 0:
        raise LookupError(f"no window titled {title!r} (probe exit {code})")
    return tuple(int(v) for v in text.split())
