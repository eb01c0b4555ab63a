// Test helpers: real top-level windows with a host attached, message
// pumping, and child processes of the test executable itself.
#pragma once

#include <functional>
#include <string>

#include "toolkit/host/HostWindow.h"

// A toolkit window of the given size with a host attached (attach options
// as given), destroyed at scope end.
class TestWindow {
public:
    explicit TestWindow(int width = 300, int height = 200,
                        DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        const AttachOptions& options = AttachOptions(), bool attach = true);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND window = nullptr;
    HostWindow host;
    UINT_PTR parent() const { return reinterpret_cast<UINT_PTR>(window); }
};

// A pixel of a host's canvas (a 32-bit bottom-up DIB) as 0xAARRGGBB;
// 0xDEADBEEF outside the canvas or without one.
inline DWORD HostCanvasPixel(const HostWindow& host, int x, int y) {
    GdiFlush();
    DIBSECTION section{};
    if (!GetObjectW(host.canvasBitmap, sizeof(section), &section) || !section.dsBm.bmBits)
        return 0xDEADBEEF;
    const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xDEADBEEF;
    return static_cast<const DWORD*>(section.dsBm.bmBits)[(height - 1 - y) * width + x];
}

// Processes every message waiting for this thread.
void PumpMessages();
// Pumps messages for about the given time.
void PumpFor(DWORD milliseconds);

// Child processes: a test may run this executable again with
// "--child NAME"; RunChildModeIfAsked runs the registered routine and
// returns its exit code, or -1 when the process is not a child.
void RegisterChildMode(const std::string& name, int (*routine)());
int RunChildModeIfAsked(int argc, char** argv);
// Starts this executable as a child running NAME; returns its exit code.
DWORD RunChild(const std::string& name, const std::wstring& environment = L"");
