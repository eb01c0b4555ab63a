// Herald.dll: stand-in of the announcement library. Fontiva loads it after a
// successful update check and calls its export "公告" without arguments with
// the standard calling convention. Herald.def gives the export its name in
// the system code page (GBK), because the program looks it up by an ANSI
// name; here the routine has an ASCII name. It shows nothing; under test it
// leaves the line "公告 called" in the sibling trace.
#include <windows.h>

#include "SiblingLog.h"

extern "C" void __stdcall HeraldAnnounce()
{
    // "公告 called", spelled with escapes so that the text does not depend on
    // how a compiler reads the source file.
    sibling::AppendTrace(L"\u516C\u544A called");
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
