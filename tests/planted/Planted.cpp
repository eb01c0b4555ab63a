// A DLL planted beside Fontiva.exe under the name of a system library. When
// it is ever loaded it leaves a marker file and refuses to load, so the
// program would fail where it should have loaded the real library.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length && length + 8 < MAX_PATH) {
        lstrcatW(path, L".loaded");
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return FALSE;
}
