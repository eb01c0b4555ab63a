// Where the program may load libraries from. A portable tool is often run
// from a downloads folder, where anyone can drop a DLL beside it; the
// system libraries that are not "known DLLs" (gdiplus, wininet, dwmapi,
// comctl32) are therefore delay-loaded, and this restricts their search to
// the system folder before the first of them is used.
#pragma once

// Call first thing at start-up, before any delay-loaded function runs.
void RestrictLibrarySearch();
