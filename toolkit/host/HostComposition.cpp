// Composition and presentation: the skin backdrop (colour, image, frame
// lines, drop shadow), the host's side of repainting, and pushing the canvas
// to the screen.
//
// The canvas is one 32-bit premultiplied image of the whole window. The
// skin is drawn into it only on attach, resize and skin changes, and copied
// to the backdrop; every later change of a control rebuilds just its
// rectangle from the backdrop (RepaintArea) through the redraw queue.
#include <dwmapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "toolkit/controls/Images.h"
#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/HostWindow.h"
#include "toolkit/host/Toolkit.h"

namespace {

// The skin area leaves a 5-pixel margin for the drop shadow.
constexpr int ShadowMargin = 5;

// An ARGB of exactly this alpha (ToArgb would turn 255 into 254).
ARGB WithAlpha(COLORREF color, int alpha) {
    return (static_cast<ARGB>(alpha & 0xFF) << 24) | (static_cast<ARGB>(GetRValue(color)) << 16) |
           (static_cast<ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

OwnedRegion RoundRegion(int left, int top, int right, int bottom, int corner) {
    OwnedHRgn gdiRegion(CreateRoundRectRgn(left, top, right, bottom, corner, corner));
    GpRegion* region = nullptr;
    if (gdiRegion) GdipCreateRegionHrgn(gdiRegion.get(), &region);
    return OwnedRegion(region);
}

// Mean red, green and blue over all pixels, transparent ones counting as
// black; 0 when the pixels cannot be read.
COLORREF AverageColor(GpImage* image) {
    if (!image) return 0;
    HBITMAP converted = nullptr;
    if (GdipCreateHBITMAPFromBitmap(static_cast<GpBitmap*>(image), &converted, 0) != Ok ||
        !converted)
        return 0;
    OwnedHBitmap owner(converted);
    BITMAP info{};
    if (!GetObjectW(converted, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return 0;
    const int width = info.bmWidth, height = info.bmHeight;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int lines = GetDIBits(screen, converted, 0, static_cast<UINT>(height), pixels.data(), &request,
                          DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines == 0) return 0;
    uint64_t red = 0, green = 0, blue = 0;
    for (DWORD pixel : pixels) {
        red += (pixel >> 16) & 0xFF;
        green += (pixel >> 8) & 0xFF;
        blue += pixel & 0xFF;
    }
    const uint64_t count = pixels.size();
    return RGB(red / count, green / count, blue / count);
}

// Soft bands of color over the edges of a placed skin image (all four, or
// only the bottom and right ones), opaque at the outside. The bands sit six
// pixels further right and down than the rectangle, as the skin's look has
// always had them.
void FadeEdges(GpGraphics* graphics, const RectF& r, COLORREF color, bool allEdges) {
    const float width = r.Width, height = r.Height;
    const int dx = width - 100 > 1e-7f ? 100 : static_cast<int>(width / 2);
    const int dy = height - 100 > 1e-7f ? 100 : static_cast<int>(height / 2);
    const ARGB solid = WithAlpha(color, 255), clear = WithAlpha(color, 0);
    const float x = r.X + 6, y = r.Y + 6;
    if (allEdges) {
        FillGradient(graphics, RectF(x - 6, y - 6, width, static_cast<float>(dy)), solid, clear,
                     LinearGradientModeVertical);
        FillGradient(graphics, RectF(x - 6, y - 6, static_cast<float>(dx), height), solid, clear,
                     LinearGradientModeHorizontal);
    }
    FillGradient(graphics, RectF(x, y + height - dy, width, static_cast<float>(dy + 1)), clear,
                 solid, LinearGradientModeVertical);
    FillGradient(graphics, RectF(x + width - dx, y, static_cast<float>(dx + 1), height), clear,
                 solid, LinearGradientModeHorizontal);
}

// Scales every pixel of a premultiplied 32-bit DIB by alpha / 255: the
// opaque skin drawn again at the window's opacity. Pixels outside the skin
// are transparent and stay so.
void ScaleOpacity(HBITMAP dib, int alpha) {
    DIBSECTION section{};
    if (!GetObjectW(dib, sizeof(section), &section) || !section.dsBm.bmBits) return;
    GdiFlush();
    auto* bytes = static_cast<BYTE*>(section.dsBm.bmBits);
    const size_t count = static_cast<size_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight;
    BYTE table[256];
    for (int v = 0; v < 256; ++v) table[v] = static_cast<BYTE>((v * alpha + 127) / 255);
    for (size_t i = 0; i < count; ++i) bytes[i] = table[bytes[i]];
}

// Outer dark and inner light line just inside the skin area.
void DrawFrameLines(GpGraphics* graphics, int width, int height, int frameStyle) {
    RectF outer(ShadowMargin + 1.0f, ShadowMargin + 1.0f, width - 2.0f * ShadowMargin - 2,
                height - 2.0f * ShadowMargin - 2);
    RectF inner(outer.X + 1, outer.Y + 1, outer.Width - 2, outer.Height - 2);
    const ARGB dark = ToArgb(0x606060, 204), light = ToArgb(0xFFFFFF, 102);
    if (frameStyle == FrameSquare) {
        DrawBorder(graphics, outer, dark);
        DrawBorder(graphics, inner, light);
    } else {
        DrawRoundRect(graphics, outer, 7, dark);
        DrawRoundRect(graphics, inner, 6, light);
    }
}

// Four rings of fading shadow, from the skin area outward.
void DrawShadow(GpGraphics* graphics, int width, int height, int frameStyle, COLORREF color) {
    static const int alphas[4] = {45, 25, 10, 5};
    static const int squareCorners[4] = {1, 4, 7, 11};
    static const int roundCorners[4] = {10, 12, 15, 18};
    const int* corners = frameStyle == FrameSquare ? squareCorners : roundCorners;
    const COLORREF ring = color == static_cast<COLORREF>(-1) ? 0 : color;
    RectF r(ShadowMargin, ShadowMargin, width - 2.0f * ShadowMargin, height - 2.0f * ShadowMargin);
    for (int i = 0; i < 4; ++i) {
        DrawRoundRect(graphics, r, static_cast<float>(corners[i]), ToArgb(ring, alphas[i], 1));
        r.X -= 1;
        r.Y -= 1;
        r.Width += 2;
        r.Height += 2;
    }
}

// The canvas DIB seen as a premultiplied GDI+ bitmap over its own memory.
// The skin is drawn through it: a bitmap graphics writes alpha exactly as
// UpdateLayeredWindow reads it, and strokes and image copies over the
// whole window go straight into memory instead of through the DC.
class CanvasView {
public:
    explicit CanvasView(HBITMAP dib) {
        DIBSECTION section{};
        if (!GetObjectW(dib, sizeof(section), &section) || !section.dsBm.bmBits ||
            section.dsBm.bmBitsPixel != 32)
            return;
        width_ = section.dsBm.bmWidth;
        height_ = section.dsBm.bmHeight;
        stride_ = section.dsBm.bmWidthBytes;
        bits_ = static_cast<BYTE*>(section.dsBm.bmBits);
        bottomUp_ = section.dsBmih.biHeight > 0;
        GdiFlush();
        BYTE* firstRow = bottomUp_ ? bits_ + static_cast<size_t>(height_ - 1) * stride_ : bits_;
        GpBitmap* bitmap = nullptr;
        if (GdipCreateBitmapFromScan0(width_, height_, bottomUp_ ? -stride_ : stride_,
                                      PixelFormat32bppPARGB, firstRow, &bitmap) != Ok)
            return;
        bitmap_.reset(bitmap);
        GpGraphics* graphics = nullptr;
        if (GdipGetImageGraphicsContext(bitmap, &graphics) != Ok) return;
        graphics_.reset(graphics);
        GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
        GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAliasGridFit);
    }
    CanvasView(const CanvasView&) = delete;
    CanvasView& operator=(const CanvasView&) = delete;

    GpGraphics* graphics() const { return graphics_.get(); }
    // Everything drawn so far is in the DIB, for GDI to read.
    void Flush() {
        if (graphics_) GdipFlush(graphics_.get(), FlushIntentionSync);
    }
    void Clear() {
        Flush();
        if (bits_) std::memset(bits_, 0, static_cast<size_t>(stride_) * height_);
    }
    // Sets every pixel of region (window coordinates) to one premultiplied
    // 0xAARRGGBB value.
    void Fill(HRGN region, DWORD pixel) {
        Flush();
        if (!bits_ || !region) return;
        DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<BYTE> data(size);
        if (!size || !GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()))) return;
        const auto* header = reinterpret_cast<const RGNDATA*>(data.data());
        const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
        for (DWORD i = 0; i < header->rdh.nCount; ++i) {
            const RECT r = rects[i];
            const int left = std::max<int>(0, r.left), right = std::min<int>(width_, r.right);
            for (int y = std::max<int>(0, r.top); y < std::min<int>(height_, r.bottom); ++y) {
                auto* row = reinterpret_cast<DWORD*>(
                    bits_ + static_cast<size_t>(bottomUp_ ? height_ - 1 - y : y) * stride_);
                std::fill(row + left, row + std::max(left, right), pixel);
            }
        }
    }

private:
    OwnedBitmap bitmap_;
    OwnedGraphics graphics_;
    BYTE* bits_ = nullptr;
    int width_ = 0, height_ = 0, stride_ = 0;
    bool bottomUp_ = true;
};

DWORD PremultipliedPixel(COLORREF color, int alpha) {
    auto scale = [alpha](int channel) { return static_cast<DWORD>((channel * alpha + 127) / 255); };
    return static_cast<DWORD>(alpha) << 24 | scale(GetRValue(color)) << 16 |
           scale(GetGValue(color)) << 8 | scale(GetBValue(color));
}

void ReleaseFadeSurface(HostWindow& host) {
    if (host.fadeDC && host.fadeOldBitmap) SelectObject(host.fadeDC, host.fadeOldBitmap);
    if (host.fadeBitmap) DeleteObject(host.fadeBitmap);
    if (host.fadeDC) DeleteDC(host.fadeDC);
    host.fadeDC = nullptr;
    host.fadeBitmap = nullptr;
    host.fadeOldBitmap = nullptr;
}

}  // namespace

// ---- Blur-behind ----------------------------------------------------------------

bool EnableBlurBehind(HWND window, int left, int top, int right, int bottom, int corner,
                      int frameStyle, int alphaMarker) {
    if (osMajorVersion != 6 || frameStyle == FrameImage || alphaMarker == -1) return false;
    // Loaded on demand: Windows before 6 has no dwmapi at all.
    using IsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
    using EnableBlur = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
    static HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    if (!dwm) return false;
    auto isEnabled = reinterpret_cast<IsCompositionEnabled>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    auto enableBlur = reinterpret_cast<EnableBlur>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmEnableBlurBehindWindow")));
    BOOL enabled = FALSE;
    if (!isEnabled || FAILED(isEnabled(&enabled)) || !enabled) return false;
    OwnedHRgn region(CreateRoundRectRgn(left, top, right, bottom, corner, corner));
    DWM_BLURBEHIND blur{};
    blur.dwFlags = DWM_BB_ENABLE | DWM_BB_BLURREGION;
    blur.fEnable = TRUE;
    blur.hRgnBlur = region.get();
    if (enableBlur) enableBlur(window, &blur);
    return true;
}

// ---- The skin -------------------------------------------------------------------

int HostWindow::RedrawSkin(const unsigned char* imageBytes, size_t imageSize,
                           std::optional<COLORREF> color, std::optional<int> presentMode,
                           bool skipBackdropNotice) {
    const int w = size.width, h = size.height;
    const bool layered = windowAlpha != -1;
    const int mode = presentMode.value_or(0);
    busy = 1;

    // The skin: borrowed from another attached window, or our own.
    HostWindow* source = skinSource && IsWindow(skinSource) ? HostFromWindow(skinSource) : nullptr;
    if (source && source != this) {
        skinImage = source->skinImage;
        backColor = source->backColor;
    } else {
        if (skinSource) {
            // The lender is gone: its image went with it, and from now on
            // the image this host holds is its own.
            skinSource = nullptr;
            skinImage = nullptr;
        }
        if (imageBytes && imageSize) {
            if (skinImage) GdipDisposeImage(skinImage);
            ImageBacking unused;  // copy mode keeps nothing behind the image
            skinImage = ImageFromBytes(imageBytes, imageSize, false, unused);
            backColor = AverageColor(skinImage);
        }
        if (color && *color != static_cast<COLORREF>(-1)) backColor = *color;
    }

    if (mode == 1 && layered) {
        // The fade-in starts from what the window shows now.
        KillTimer(window, handle);
        ReleaseFadeSurface(*this);
        fadeDC = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        fadeBitmap = CreateDIBSection(fadeDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (fadeBitmap) fadeOldBitmap = SelectObject(fadeDC, fadeBitmap);
        BitBlt(fadeDC, 0, 0, w, h, canvasDC, 0, 0, SRCCOPY);
    }

    {
        CanvasView view(canvasBitmap);
        GpGraphics* g = view.graphics();
        view.Clear();

        OwnedHRgn skinShape;
        OwnedRegion skinClip;
        if (frameStyle == FrameImage) {
            if (skinImage) {
                if (IsRectEmpty(&sliceRect)) {
                    DrawImageAt(g, skinImage, RectF(0, 0, static_cast<REAL>(w), static_cast<REAL>(h)));
                } else {
                    RectF centre(static_cast<REAL>(sliceRect.left), static_cast<REAL>(sliceRect.top),
                                 static_cast<REAL>(sliceRect.right - sliceRect.left),
                                 static_cast<REAL>(sliceRect.bottom - sliceRect.top));
                    DrawImageNineSlice(g, skinImage,
                                       RectF(0, 0, static_cast<REAL>(w), static_cast<REAL>(h)),
                                       centre);
                }
            }
        } else {
            const int corner = frameStyle == FrameSquare ? 0 : 4;
            skinShape.reset(CreateRoundRectRgn(6, 6, w - 5, h - 5, corner, corner));
            GpRegion* region = nullptr;
            if (skinShape) GdipCreateRegionHrgn(skinShape.get(), &region);
            skinClip.reset(region);
            if (skinClip) GdipSetClipRegion(g, skinClip.get(), CombineModeReplace);
            if (skinImage) {
                view.Fill(skinShape.get(), PremultipliedPixel(backColor, 255));
                const int iw = static_cast<int>(ImageWidth(skinImage));
                const int ih = static_cast<int>(ImageHeight(skinImage));
                if (imageMode == 1) {
                    DrawImageStretched(g, skinImage,
                                       RectF(ShadowMargin, ShadowMargin, w - 2.0f * ShadowMargin,
                                             h - 2.0f * ShadowMargin));
                } else if (imageMode == 2) {
                    const float x = static_cast<float>((w - iw) / 2);
                    const float y = static_cast<float>((h - ih) / 2);
                    DrawImageAt(g, skinImage,
                                RectF(x, y, static_cast<REAL>(iw), static_cast<REAL>(ih)));
                    if (imageEdgeFade)
                        FadeEdges(g, RectF(x - 1, y - 1, iw + 1.0f, ih + 1.0f), backColor, true);
                } else {
                    DrawImageAt(g, skinImage,
                                RectF(ShadowMargin, ShadowMargin, static_cast<REAL>(iw),
                                      static_cast<REAL>(ih)));
                    if (imageEdgeFade)
                        FadeEdges(g, RectF(0, 0, static_cast<REAL>(iw), static_cast<REAL>(ih)),
                                  backColor, false);
                }
                if (layered && windowAlpha != 255) {
                    view.Flush();
                    ScaleOpacity(canvasBitmap, windowAlpha);
                }
            } else {
                view.Fill(skinShape.get(), PremultipliedPixel(backColor, layered ? windowAlpha : 255));
            }
        }

        if (onPaint) onPaint(window, g, w, h);

        if (frameStyle != FrameImage) {
            DrawFrameLines(g, w, h, frameStyle);
            GdipResetClip(g);
            skinClip.reset();
            if (!layered) {
                const int inset = IsZoomed(window) ? 5 : 6;
                const int corner = frameStyle == FrameSquare ? 0 : 5;
                // The system owns the region once it is set.
                SetWindowRgn(window,
                             CreateRoundRectRgn(inset, inset, w - inset + 1, h - inset + 1, corner,
                                                corner),
                             TRUE);
            } else if (captionFlags & CaptionShadow) {
                DrawShadow(g, w, h, frameStyle, shadowColor);
            }
        }

        view.Flush();
        BitBlt(backdropDC, 0, 0, w, h, canvasDC, 0, 0, SRCCOPY);

        if (clipRegion) GdipDeleteRegion(clipRegion);
        clipRegion = nullptr;
        if (frameStyle != FrameImage) {
            clipRegion = RoundRegion(7, 7, w - 6, h - 6, frameStyle == FrameSquare ? 0 : 3).release();
            if (clipRegion) GdipSetClipRegion(g, clipRegion, CombineModeReplace);
        }

        redrawQueue.Init(window, handle, canvasGraphics);
        LayoutCaption();
        ComposeAll(this, firstControl, g, !skipBackdropNotice, canvasBitmap);
        GdipResetClip(g);
        view.Flush();
    }
    busy = 0;

    if (blurBehind && layered) EnableBlurBehind(window, 6, 6, w - 5, h - 5, 6, frameStyle, 0);

    if (mode == 0) {
        Present();
    } else if (mode == 1) {
        busy = 1;
        fadeAlpha = 0;
        SetTimer(window, handle, 50, &HostWindow::FadeInTick);
    }
    return 1;
}

void CALLBACK HostWindow::FadeInTick(HWND window, UINT, UINT_PTR id, DWORD) {
    HostWindow* host = HostFromWindow(window);
    if (!host || host->handle != id) {
        KillTimer(window, id);
        return;
    }
    const bool layered = host->windowAlpha != -1;
    HDC target = layered ? host->fadeDC : host->windowDC;
    // The screen shows the old look with the blends so far.
    if (layered && host->fadeDC) PushLayered(window, host->size, host->fadeDC);
    host->fadeAlpha = std::min(255, host->fadeAlpha + 51);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(host->fadeAlpha), 0};
    if (target)
        GdiAlphaBlend(target, 0, 0, host->size.width, host->size.height, host->canvasDC, 0, 0,
                      host->size.width, host->size.height, blend);
    if (host->fadeAlpha >= 255) {
        KillTimer(window, id);
        ReleaseFadeSurface(*host);
        if (layered) PushCanvas(*host);
        host->busy = 0;
    }
}

// ---- Presentation ------------------------------------------------------------

void HostWindow::Present(std::optional<RectF> rect) {
    PresentArea(window, this,
                rect.value_or(RectF(0, 0, static_cast<REAL>(size.width),
                                    static_cast<REAL>(size.height))));
}

void HostWindow::QueueRepaint(const RectF& rect, int mode) { redrawQueue.Add(rect, mode); }

// ---- Host messages of composition ---------------------------------------------

LRESULT HostWindow::OnInvalidateMessage(WPARAM wParam, LPARAM lParam) {
    auto* rect = reinterpret_cast<RectF*>(lParam);
    const int mode = static_cast<int>(wParam);
    if (mode == RepaintNow) {
        // Invalidate posts a copy of the rectangle, which is the host's to free.
        std::unique_ptr<RectF> copy(rect);
        if (copy) QueueRepaint(*copy, mode);
        return 0;
    }
    // Sent by a control that finished painting: the rectangle is its bounds,
    // which the queue copies. From inside a drain, that drain takes it.
    if (rect) QueueRepaint(*rect, mode);
    return 0;
}

LRESULT HostWindow::OnMovedMessage(WPARAM wParam, LPARAM lParam) {
    const ControlHandle control = wParam;
    if (lParam == 1 && busy && InSendMessage()) {
        // The mover runs on another thread and retries until we are free.
        return 0;
    }
    Dispatch(control, EventMoved, 0, 0);
    // A move sent from this window's own thread while the host is busy
    // (from inside an animation or a skin redraw) is accepted without a
    // repaint: its sender could never see the host become free.
    if (lParam == 1 && !busy && control) {
        Control* moved = ControlFromHandle(control);
        const RectF before = moved->previousBounds, after = moved->bounds;
        // A layered window is pushed whole: once is enough for both.
        RepaintArea(window, before, this, canvasGraphics, windowAlpha == -1);
        RepaintArea(window, after, this, canvasGraphics, true);
    }
    return 1;
}

LRESULT HostWindow::OnPresentMessage(WPARAM wParam, LPARAM) {
    if (wParam == QueuedPresentMarker)
        redrawQueue.OnPresentMessage();  // the queue's own push, owed for a burst
    else
        PushCanvas(*this);  // asked by a control: even while busy
    return 0;
}

void HostWindow::OnPaintMessage() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (dc && canvasDC && r.right > r.left && r.bottom > r.top)
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, canvasDC, r.left, r.top,
               SRCCOPY);
    EndPaint(window, &paint);
}

void HostWindow::OnSize(HWND target, WPARAM wParam, LPARAM) {
    if (wParam == SIZE_MINIMIZED) return;
    RECT rect{};
    GetWindowRect(target, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width == size.width && height == size.height) return;
    size.width = width;
    size.height = height;
    if (onSize) onSize(target, width, height);
    BuildCanvas();
    GrowScratchSurface(width, height);
    RedrawSkin(nullptr, 0, backColor, 0, true);
}
