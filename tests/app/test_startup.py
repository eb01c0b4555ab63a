"""The real Fontiva.exe starts, shows its main window and ends cleanly."""

import subprocess

from winedrive import BUILD_DIR, WineProgram, find_window, probe, program_folder, windows_rect


def test_imports_only_windows_system_libraries():
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(BUILD_DIR / "Fontiva.exe")],
                         capture_output=True, text=True, check=True).stdout
    imported = {line.split("DLL Name:")[1].strip().lower()
                for line in out.splitlines() if "DLL Name:" in line}
    assert imported, "no import table read"
    runtime = {name for name in imported if name.startswith(("libstdc++", "libgcc", "libwinpthread"))}
    assert not runtime, f"MinGW run-time DLLs imported: {runtime}"
    allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "gdiplus.dll", "comctl32.dll",
               "comdlg32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll", "dwmapi.dll",
               "wininet.dll", "advapi32.dll", "msimg32.dll", "msvcrt.dll", "shlwapi.dll"}
    assert imported <= allowed | {n for n in imported if n.startswith("api-ms-win-")}


def test_main_window_opens_and_closing_it_ends_with_code_zero(tmp_path):
    folder = program_folder(tmp_path)
    program = WineProgram(folder / "Fontiva.exe", folder)
    try:
        find_window("Fontiva")
        assert windows_rect("Fontiva") == (50, 50, 580, 474)
        assert probe("close", "Fontiva")[0] == 0
        assert program.wait(timeout=30) == 0
    finally:
        program.kill()
