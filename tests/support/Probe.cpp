// probe.exe: answers questions about the windows of another program from
// the Windows side, for the Python tests.
//   probe rect TITLE     prints "x y width height" of the top-level window
//   probe close TITLE    posts WM_CLOSE to it
// Exit code 2 when no such window exists.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    std::wstring command = argv[1];
    HWND window = FindWindowW(nullptr, argv[2]);
    if (!window) return 2;
    if (command == L"rect") {
        RECT rect{};
        GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top);
        return 0;
    }
    if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 3;
    return 1;
}
