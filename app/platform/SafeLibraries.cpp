#include "app/platform/SafeLibraries.h"

#include <windows.h>

#include <delayimp.h>

#include <string>

namespace {

bool loadByFullPath = false;

// On systems without SetDefaultDllDirectories (Windows 7 before its 2011
// loader update), the delay-load helper is told to load each library by
// its full path in the system folder instead.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (!loadByFullPath || notification != dliNotePreLoadLibrary || !info || !info->szDll)
        return nullptr;
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    for (const char* c = info->szDll; *c; ++c) path += static_cast<wchar_t>(*c);
    return reinterpret_cast<FARPROC>(LoadLibraryW(path.c_str()));
}

}  // namespace

#ifdef _MSC_VER
// MSVC's delay-load helper reads a hook the program defines.
extern "C" const PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
#endif

void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    // The current directory is no place to look for libraries either.
    SetDllDirectoryW(L"");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    loadByFullPath = true;
#ifndef _MSC_VER
    __pfnDliNotifyHook2 = LoadFromSystemFolder;
#endif
}
