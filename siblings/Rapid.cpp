// Rapid.exe: stand-in of the sibling program that Fontiva starts with the
// shell after a successful update check. It opens no window and exits at
// once; under test it leaves the line "Rapid started" in the sibling trace.
#include <windows.h>

#include "SiblingLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    sibling::AppendTrace(L"Rapid started");
    return 0;
}
