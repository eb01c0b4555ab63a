"""A system library planted beside Fontiva.exe is never loaded.

Wine is told to prefer native DLLs from the program's folder, as Windows
does for libraries that are not known DLLs; the planted DLLs leave a marker
file when loaded and refuse to load.
"""

from winedrive import BUILD_DIR, WineProgram, find_window, program_folder, probe

import shutil

PLANTED = ("gdiplus", "wininet", "dwmapi", "comctl32")


def test_planted_system_libraries_are_not_loaded(tmp_path):
    folder = program_folder(tmp_path)
    for name in PLANTED:
        shutil.copy(BUILD_DIR / "tests" / "planted" / f"{name}.dll", folder)
    overrides = ",".join(PLANTED) + "=n,b;mscoree,mshtml="
    program = WineProgram(folder / "Fontiva.exe", folder, env={"WINEDLLOVERRIDES": overrides})
    try:
        find_window("Fontiva")
        assert probe("close", "Fontiva")[0] == 0
        assert program.wait(timeout=30) == 0
    finally:
        program.kill()
    loaded = sorted(p.name for p in folder.glob("*.loaded"))
    assert loaded == []
