// Toolkit start-up and the process-wide resources every host and control
// reads: GDI+, the Windows version, the default font, the arrow cursor, the
// caption-button sprite, the "Zq_DirectUI" window class and the shared
// editing menu. StartToolkit runs once, on the main thread, before any host
// attaches; what it creates lives until the process ends.
#pragma once

#include <string>

#include "toolkit/Gdip.h"

class PopupMenu;

extern ULONG_PTR gdiplusToken;
extern int osMajorVersion;
extern GpFont* defaultFont;  // shared: never deleted by a control
extern HCURSOR arrowCursor;
extern HICON classIcon;
extern GpImage* captionSprite;
extern PopupMenu editMenu;

constexpr const wchar_t* ToolkitWindowClass = L"Zq_DirectUI";

// Which system font SystemFontFace reads.
enum SystemFontKind : int { MenuFont = 1, CaptionFont = 2, MessageFont = 3 };

void StartToolkit();

// Face name (ANSI) of a system font; "宋体" stands in for Tahoma and for a
// face no font can be made of.
std::string SystemFontFace(int which = CaptionFont);

// A pixel-sized GDI+ font of a family, falling back to the default font's
// family when the name is unknown; 0 only when that fails too.
GpFont* CreateFontByName(const std::string& familyName, float emSize, int style);

// Family name (ANSI) of a GDI+ font; empty for 0.
std::string FontFamilyName(GpFont* font);

std::string WideToAnsi(const std::wstring& text, UINT codePage = CP_ACP);
std::wstring AnsiToWide(const std::string& text, UINT codePage = CP_ACP);
