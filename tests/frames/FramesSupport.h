// Helpers of the group-box and progress-bar tests: hosts of a chosen frame
// style, pixels of a control's surface and of a host's canvas, and a count
// of the paints that reach a control.
#pragma once

#include <windows.h>

#include <map>

#include "support/TestWindow.h"
#include "toolkit/controls/Control.h"

// Colours with full alpha: GDI+ stores them exactly, so pixels compare as is.
constexpr ARGB Blue = 0xFF0000FF;
constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Green = 0xFF00FF00;

inline int AlphaOf(ARGB c) { return static_cast<int>(c >> 24); }
inline int RedOf(ARGB c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int GreenOf(ARGB c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(ARGB c) { return static_cast<int>(c & 0xFF); }

// A host without caption controls, not layered, on a light grey skin.
inline AttachOptions FrameHostOptions(int frameStyle, COLORREF backColor = 0xECECEC) {
    AttachOptions options;
    options.captionFlags = 0;
    options.frameStyle = frameStyle;
    options.backColor = backColor;
    return options;
}

inline ARGB SurfacePixel(const Control& control, int x, int y) {
    ARGB pixel = 0;
    GdipBitmapGetPixel(control.surface.get(), x, y, &pixel);
    return pixel;
}

// A pixel of the host's canvas (a 32-bit bottom-up DIB) as 0xAARRGGBB.
inline DWORD CanvasAt(const HostWindow& host, int x, int y) {
    return HostCanvasPixel(host, x, y);
}

// Counts the paint events each control receives through Dispatch, which
// is where every Redraw ends.
inline std::map<ControlHandle, int>& PaintCounts() {
    static std::map<ControlHandle, int> counts;
    return counts;
}
inline void CountPaint(ControlHandle, ControlHandle control, UINT, WPARAM, LPARAM) {
    ++PaintCounts()[control];
}
inline void StartCountingPaints(Control& control) {
    PaintCounts()[control.handle] = 0;
    control.BindEvent(EventPaint, &CountPaint);
}
inline int PaintsOf(const Control& control) { return PaintCounts()[control.handle]; }
