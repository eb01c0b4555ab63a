// Real X input: xdotool moves the pointer and clicks on a shown host
// window, and the host turns what the X server delivered into control
// events and callbacks, or into a system window move.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "HostTestSupport.h"

namespace {

// Runs /usr/bin/xdotool with the arguments while this thread keeps
// processing its messages, so that the X events reach the window as they
// arrive; the exit code, or -1. Wine starts Unix programs directly but
// gives no handle to wait on, so a shell leaves the exit code in a file
// under /tmp (drive Z: is the Unix root).
int RunXdotool(const std::wstring& arguments) {
    static int runs = 0;
    std::wstring name = L"/tmp/fontiva-xdotool-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++runs) + L".status";
    std::wstring command = L"/bin/sh -c \"/usr/bin/xdotool " + arguments + L"; echo $? > " + name +
                           L".part && mv " + name + L".part " + name + L"\"";
    std::wstring windowsName = L"Z:" + name;
    for (wchar_t& c : windowsName) c = c == L'/' ? L'\\' : c;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);

    int code = -1;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        if (FILE* file = _wfopen(windowsName.c_str(), L"r")) {
            if (fscanf(file, "%d", &code) != 1) code = -1;
            fclose(file);
            DeleteFileW(windowsName.c_str());
            break;
        }
        PumpFor(10);
    }
    // Input the X server sent just before xdotool ended.
    PumpFor(300);
    return code;
}

std::wstring Point(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }

class RealInput : public testing::Test {
protected:
    void SetUp() override {
        ShowWindow(w.window, SW_SHOWNORMAL);
        SetForegroundWindow(w.window);
        UpdateWindow(w.window);
        PumpFor(300);
        LogAllCallbacks(w.host);
        journal.clear();
    }
    POINT ScreenPoint(int x, int y) {
        POINT p{x, y};
        ClientToScreen(w.window, &p);
        return p;
    }
    TestWindow w{300, 200, WS_OVERLAPPED};
};

TEST_F(RealInput, ClickOnAControlFiresOnClick) {
    LoggingControl button;
    button.Make(w.window, "Button", 100, 80, 60, 40);
    ASSERT_EQ(0, RunXdotool(L"mousemove --sync " + Point(ScreenPoint(130, 100)) + L" click 1"));
    bool clicked = false;
    for (const std::string& line : journal) clicked = clicked || line == "onClick Button 3";
    EXPECT_TRUE(clicked);
    EXPECT_EQ(button.GetHandle(), w.host.focusedControl);
    // The press came first and the activation after the release.
    auto at = [&](const std::string& line) {
        return std::find(journal.begin(), journal.end(), line) - journal.begin();
    };
    EXPECT_LT(at("onMouseDown Button 3"), at("onMouseUp - 0"));
    EXPECT_LT(at("onMouseUp - 0"), at("Button 0x2804"));
}

TEST_F(RealInput, DraggingTheBackgroundMovesTheWindow) {
    RECT before{};
    GetWindowRect(w.window, &before);
    POINT start = ScreenPoint(200, 150);
    POINT end{start.x + 60, start.y + 40};
    ASSERT_EQ(0, RunXdotool(L"mousemove --sync " + Point(start) +
                            L" mousedown 1 sleep 0.2 mousemove --sync " +
                            Point({start.x + 30, start.y + 20}) + L" sleep 0.2 mousemove --sync " +
                            Point(end) + L" sleep 0.2 mouseup 1"));
    RECT after{};
    GetWindowRect(w.window, &after);
    EXPECT_EQ(before.left + 60, after.left);
    EXPECT_EQ(before.top + 40, after.top);
    EXPECT_TRUE(journal.empty() || journal.back().rfind("onMouseEnter", 0) == 0);
}

}  // namespace
