#include "support/TestWindow.h"

#include <map>

#include "toolkit/host/Toolkit.h"

TestWindow::TestWindow(int width, int height, DWORD style, const AttachOptions& options,
                       bool attach) {
    window = CreateWindowExW(0, ToolkitWindowClass, L"测试窗口", style, 40, 40, width, height,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (attach) host.Attach(window, options);
}

TestWindow::~TestWindow() {
    if (IsWindow(window)) DestroyWindow(window);
    PumpMessages();
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
    PumpMessages();
}

namespace {

std::map<std::string, int (*)()>& ChildModes() {
    static std::map<std::string, int (*)()> modes;
    return modes;
}

}  // namespace

void RegisterChildMode(const std::string& name, int (*routine)()) { ChildModes()[name] = routine; }

int RunChildModeIfAsked(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--child") continue;
        auto found = ChildModes().find(argv[i + 1]);
        return found == ChildModes().end() ? 125 : found->second();
    }
    return -1;
}

DWORD RunChild(const std::string& name, const std::wstring& environment) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --child " + AnsiToWide(name);
    for (size_t start = 0; start < environment.size();) {
        size_t end = environment.find(L';', start);
        if (end == std::wstring::npos) end = environment.size();
        std::wstring pair = environment.substr(start, end - start);
        size_t equals = pair.find(L'=');
        if (equals != std::wstring::npos)
            SetEnvironmentVariableW(pair.substr(0, equals).c_str(), pair.substr(equals + 1).c_str());
        start = end + 1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}
