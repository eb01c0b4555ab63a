// Shared pieces of the text-control and button tests: hosts without
// caption controls, pixels read back from a control's surface and from the
// host's canvas, the ink of a surface, and input delivered to the host
// window as real messages.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TestWindow.h"
#include "toolkit/controls/Button.h"
#include "toolkit/controls/Painting.h"

// A host of only the test's controls: no caption, layered, the given
// frame style and background colour.
inline AttachOptions BareHost(COLORREF backColor = 0xFFFFFF, int frameStyle = 7) {
    AttachOptions options;
    options.captionFlags = 0;
    options.windowAlpha = 255;
    options.frameStyle = frameStyle;
    options.backColor = backColor;
    return options;
}

inline ARGB SurfacePixel(const Control& control, int x, int y) {
    ARGB pixel = 0;
    GdipBitmapGetPixel(control.surface.get(), x, y, &pixel);
    return pixel;
}

inline std::vector<ARGB> SurfacePixels(const Control& control) {
    std::vector<ARGB> pixels;
    const int width = static_cast<int>(control.bounds.Width);
    const int height = static_cast<int>(control.bounds.Height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(SurfacePixel(control, x, y));
    return pixels;
}

// A pixel of the host's canvas (a 32-bit bottom-up DIB) as 0xAARRGGBB.
inline DWORD CanvasPixel(const HostWindow& host, int x, int y) {
    return HostCanvasPixel(host, x, y);
}

inline int Alpha(ARGB c) { return static_cast<int>(c >> 24); }
inline int Red(ARGB c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Green(ARGB c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(ARGB c) { return static_cast<int>(c & 0xFF); }

// The bounding box of the pixels of a surface whose alpha exceeds a
// threshold; empty (width 0) when there are none.
struct InkBox {
    int left = 0, top = 0, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};
inline InkBox InkOf(const Control& control, int threshold = 40) {
    InkBox box{1 << 20, 1 << 20, -1, -1};
    const int width = static_cast<int>(control.bounds.Width);
    const int height = static_cast<int>(control.bounds.Height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (Alpha(SurfacePixel(control, x, y)) <= threshold) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    if (box.right < 0) return InkBox{};
    return box;
}

// Real input as the system delivers it to the window.
inline void MouseMessage(HWND window, UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageW(window, message, keys, MAKELPARAM(x, y));
}

// Pumps until a condition holds or about three seconds have passed.
template <class Condition>
bool PumpUntil(Condition condition, DWORD limit = 3000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limit) return false;
        PumpFor(10);
    }
    return true;
}

inline UINT MnemonicOf(const HostWindow& host, ControlHandle control) {
    for (const MnemonicRecord& record : host.mnemonics)
        if (record.control == control) return record.key;
    return 0;
}
