// Helpers of the painting and composition tests: a control that paints one
// solid colour, pixels read back from a host's canvas DIB, and a counter of
// the pushes that reach UpdateLayeredWindow.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

#include "support/TestWindow.h"
#include "toolkit/controls/Control.h"
#include "toolkit/controls/Painting.h"

// Paints its surface in one ARGB colour on every paint event, between
// BeginSurfacePaint and EndSurfacePaint like every class. It records the
// events its class receives and the thread that painted.
class SolidControl : public Control {
public:
    explicit SolidControl(ARGB color = 0xFFFF0000) : color(color) {}

    int HandleEvent(ControlHandle, UINT event, WPARAM wParam, LPARAM lParam) override {
        events.push_back(event);
        switch (event) {
        case EventPaint:
            Paint();
            return 0;
        case EventDisabledLookQuery:
            ++lookQueries;
            if (onLookQuery) onLookQuery(*this);
            return disabledLookAnswer;
        case EventTransitionFrame: {
            auto* record = reinterpret_cast<TransitionRecord*>(lParam);
            frameSteps.push_back(record->step);
            return frameAnswer;
        }
        case EventTransitionFinished:
            transitionFrames = 0;  // the class disarms, as every class does
            return 0;
        default:
            return -1;
        }
    }

    void Paint(int commit = 1) {
        paintThread = GetCurrentThreadId();
        PaintContext context;
        if (!BeginSurfacePaint(*this, context, std::nullopt, commit)) return;
        GdipGraphicsClear(context.graphics, color);
        EndSurfacePaint(*this, context);
    }

    ControlHandle Make(HWND host, float x, float y, float w, float h, int isVisible = 1) {
        return Create(reinterpret_cast<UINT_PTR>(host), RectF(x, y, w, h), KindLabel, isVisible);
    }

    ARGB color;
    std::vector<UINT> events;
    std::vector<int> frameSteps;
    int lookQueries = 0;
    int disabledLookAnswer = -1;
    int frameAnswer = -1;
    DWORD paintThread = 0;
    void (*onLookQuery)(SolidControl&) = nullptr;
};

// Attach options of a host without caption controls, so that the canvas
// holds only the skin and the test's own controls.
inline AttachOptions PlainOptions(int windowAlpha = -1, int frameStyle = 7,
                                  COLORREF backColor = 0xECECEC) {
    AttachOptions options;
    options.captionFlags = 0;
    options.windowAlpha = windowAlpha;
    options.frameStyle = frameStyle;
    options.backColor = backColor;
    return options;
}

// A pixel of a 32-bit bottom-up DIB as 0xAARRGGBB (premultiplied).
inline DWORD DibPixel(HBITMAP bitmap, int x, int y) {
    GdiFlush();
    DIBSECTION section{};
    if (!GetObjectW(bitmap, sizeof(section), &section) || !section.dsBm.bmBits) return 0xDEADBEEF;
    const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xDEADBEEF;
    return static_cast<const DWORD*>(section.dsBm.bmBits)[(height - 1 - y) * width + x];
}
inline DWORD CanvasPixel(const HostWindow& host, int x, int y) {
    return DibPixel(host.canvasBitmap, x, y);
}

inline int AlphaOf(DWORD pixel) { return static_cast<int>(pixel >> 24); }
inline int RedOf(DWORD pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
inline int GreenOf(DWORD pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }
inline int BlueOf(DWORD pixel) { return static_cast<int>(pixel & 0xFF); }

// Counts the pushes of layered windows while it lives; the pushes still
// reach the real UpdateLayeredWindow.
class LayeredPushCounter {
public:
    LayeredPushCounter() : previous_(layeredWindowUpdate) {
        real_ = previous_;
        count_ = 0;
        layeredWindowUpdate = &Count;
    }
    ~LayeredPushCounter() { layeredWindowUpdate = previous_; }
    LayeredPushCounter(const LayeredPushCounter&) = delete;
    LayeredPushCounter& operator=(const LayeredPushCounter&) = delete;

    int count() const { return count_; }
    void reset() { count_ = 0; }

private:
    static BOOL WINAPI Count(HWND window, HDC target, POINT* position, SIZE* size, HDC source,
                             POINT* origin, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
        ++count_;
        return real_(window, target, position, size, source, origin, key, blend, flags);
    }
    LayeredWindowUpdate previous_;
    static inline LayeredWindowUpdate real_ = nullptr;
    static inline int count_ = 0;
};

// The PNG file of a GDI+ bitmap, encoded by GDI+ itself.
inline std::vector<unsigned char> EncodePng(GpBitmap* bitmap) {
    CLSID png{};
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    IStream* stream = nullptr;
    std::vector<unsigned char> bytes;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return bytes;
    if (GdipSaveImageToStream(bitmap, stream, &png, nullptr) == Ok) {
        HGLOBAL memory = nullptr;
        GetHGlobalFromStream(stream, &memory);
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        const auto* data = static_cast<const unsigned char*>(GlobalLock(memory));
        if (data) bytes.assign(data, data + stat.cbSize.LowPart);
        GlobalUnlock(memory);
    }
    stream->Release();
    return bytes;
}

// A bitmap of one colour, with an optional rectangle in a second colour.
inline Surface SolidBitmap(int width, int height, ARGB color) {
    Surface surface = MakeSurface(width, height);
    GdipGraphicsClear(surface.graphics.get(), color);
    return surface;
}
inline void FillArea(const Surface& surface, const RectF& rect, ARGB color) {
    OwnedBrush brush = MakeSolidBrush(color);
    GpGraphics* graphics = surface.graphics.get();
    GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
    GdipSetSmoothingMode(graphics, SmoothingModeNone);
    GdipFillRectangle(graphics, brush.get(), rect.X, rect.Y, rect.Width, rect.Height);
    GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
    GdipSetCompositingMode(graphics, CompositingModeSourceOver);
}
inline ARGB BitmapPixel(GpBitmap* bitmap, int x, int y) {
    ARGB pixel = 0;
    GdipBitmapGetPixel(bitmap, x, y, &pixel);
    return pixel;
}
