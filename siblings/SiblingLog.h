// Trace of the sibling stand-ins.
//
// Fontiva starts Rapid.exe and calls the announcement export of Herald.dll
// once its update check finds the build current. The stand-ins in this folder
// do nothing visible; for tests they append one UTF-8 line to the file named
// by the environment variable FONTIVA_SIBLING_LOG, so a test can see that the
// program reached them. Without the variable they touch nothing.
#pragma once

#include <windows.h>

namespace sibling {

// Appends `line` (UTF-16, without line end) plus "\n" as UTF-8 to the trace
// file, if one is named. Failures are ignored: the stand-ins must never stop
// the program that called them.
inline void AppendTrace(const wchar_t* line)
{
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(L"FONTIVA_SIBLING_LOG", path,
                                           sizeof(path) / sizeof(path[0]));
    if (length == 0 || length >= sizeof(path) / sizeof(path[0]))
        return;

    char text[256];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, text,
                                    sizeof(text) - 1, nullptr, nullptr);
    if (bytes <= 0)
        return;
    // bytes counts the terminating zero; its place takes the line end.
    text[bytes - 1] = '\n';

    // FILE_APPEND_DATA alone makes every write land at the current end of
    // the file, even when several processes append at once.
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(bytes), &written, nullptr);
    CloseHandle(file);
}

}  // namespace sibling
