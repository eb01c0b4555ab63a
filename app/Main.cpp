// Process entry of Fontiva.exe.
#include <windows.h>

#include "app/Startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunFontiva(); }
