#include "toolkit/controls/Painting.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/host/HostWindow.h"

LayeredWindowUpdate layeredWindowUpdate = &UpdateLayeredWindow;

namespace {

constexpr float Epsilon = 1e-7f;

// The scratch surface lives until the process ends, like the toolkit's
// other shared resources; it is never destroyed at exit, when GDI+ may
// already be gone.
DibSurface& Scratch() {
    static DibSurface* scratch = new DibSurface();
    return *scratch;
}

// Strict overlap: a control only touching rect along an edge is outside.
bool Intersects(const RectF& r, const RectF& b) {
    return r.X < b.X + b.Width - Epsilon && r.X + r.Width > b.X + Epsilon &&
           r.Y + r.Height > b.Y + Epsilon && r.Y < b.Y + b.Height - Epsilon;
}

bool TransitionRunning(const Control& control) {
    return control.transitionInterval != 0 && control.transitionFrames != 0 &&
           control.transitionStep != control.transitionFrames;
}

// The whole pixels a rectangle touches.
RECT PixelCover(const RectF& r) {
    return RECT{static_cast<LONG>(std::floor(r.X)), static_cast<LONG>(std::floor(r.Y)),
                static_cast<LONG>(std::ceil(r.X + r.Width)),
                static_cast<LONG>(std::ceil(r.Y + r.Height))};
}

void CopyPixels(HDC target, HDC source, const RECT& r) {
    if (r.right > r.left && r.bottom > r.top)
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, source, r.left, r.top,
               SRCCOPY);
}

// Keeps the clip of a graphics and puts it back exactly at scope end (a
// rounded clip stays rounded for the controls composed afterwards).
class ClipKeeper {
public:
    explicit ClipKeeper(GpGraphics* graphics) : graphics_(graphics) {
        if (graphics_ && GdipCreateRegion(&region_) == Ok) GdipGetClip(graphics_, region_);
    }
    ~ClipKeeper() {
        if (region_) {
            GdipSetClipRegion(graphics_, region_, CombineModeReplace);
            GdipDeleteRegion(region_);
        }
    }
    ClipKeeper(const ClipKeeper&) = delete;
    ClipKeeper& operator=(const ClipKeeper&) = delete;
    GpRegion* region() const { return region_; }

private:
    GpGraphics* graphics_;
    GpRegion* region_ = nullptr;
};

void ClipTo(GpGraphics* graphics, const RectF& r) {
    GdipSetClipRect(graphics, r.X, r.Y, r.Width, r.Height, CombineModeIntersect);
}

// A control surface composed straight into the canvas DIB: premultiplied
// source-over at a constant opacity, inside the clip of graphics. This is
// what GDI+ would do for a surface drawn 1:1 at whole-pixel bounds, without
// its per-call resampling set-up. False when that does not apply (the
// caller then draws through GDI+).
bool BlendSurface(HBITMAP dib, GpGraphics* graphics, GpBitmap* surface, const RectF& bounds,
                  int alpha) {
    if (!dib || !graphics || !surface || alpha <= 0) return dib != nullptr && alpha <= 0;
    const int left = static_cast<int>(bounds.X), top = static_cast<int>(bounds.Y);
    const int width = static_cast<int>(bounds.Width), height = static_cast<int>(bounds.Height);
    if (left != bounds.X || top != bounds.Y || width != bounds.Width || height != bounds.Height)
        return false;
    UINT surfaceWidth = 0, surfaceHeight = 0;
    GdipGetImageWidth(surface, &surfaceWidth);
    GdipGetImageHeight(surface, &surfaceHeight);
    if (static_cast<int>(surfaceWidth) != width || static_cast<int>(surfaceHeight) != height)
        return false;
    DIBSECTION section{};
    if (!GetObjectW(dib, sizeof(section), &section) || !section.dsBm.bmBits ||
        section.dsBm.bmBitsPixel != 32)
        return false;
    const int dibWidth = section.dsBm.bmWidth, dibHeight = section.dsBm.bmHeight;
    const bool bottomUp = section.dsBmih.biHeight > 0;

    // The pixels to touch: the clip of graphics within the bounds.
    OwnedHRgn area(CreateRectRgn(std::max(left, 0), std::max(top, 0),
                                 std::min(left + width, dibWidth),
                                 std::min(top + height, dibHeight)));
    GpRegion* clip = nullptr;
    if (GdipCreateRegion(&clip) != Ok) return false;
    OwnedRegion clipOwner(clip);
    GdipGetClip(graphics, clip);
    BOOL infinite = FALSE;
    GdipIsInfiniteRegion(clip, graphics, &infinite);
    if (!infinite) {
        HRGN clipRegion = nullptr;
        if (GdipGetRegionHRgn(clip, graphics, &clipRegion) != Ok || !clipRegion) return false;
        OwnedHRgn clipGdi(clipRegion);
        CombineRgn(area.get(), area.get(), clipGdi.get(), RGN_AND);
    }
    DWORD size = GetRegionData(area.get(), 0, nullptr);
    if (!size) return false;
    std::vector<BYTE> data(size);
    if (!GetRegionData(area.get(), size, reinterpret_cast<RGNDATA*>(data.data()))) return false;
    const auto* header = reinterpret_cast<const RGNDATA*>(data.data());
    if (header->rdh.nCount == 0) return true;  // nothing of it is visible

    GpRect whole(0, 0, width, height);
    BitmapData pixels{};
    if (GdipBitmapLockBits(surface, &whole, ImageLockModeRead, PixelFormat32bppPARGB, &pixels) != Ok)
        return false;
    GdipFlush(graphics, FlushIntentionSync);
    GdiFlush();
    auto* dibBits = static_cast<BYTE*>(section.dsBm.bmBits);
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    const int scale = alpha >= 255 ? 256 : alpha + (alpha >> 7);  // alpha / 255 in 1/256ths
    for (DWORD i = 0; i < header->rdh.nCount; ++i) {
        const RECT& r = rects[i];
        for (int y = r.top; y < r.bottom; ++y) {
            auto* target = reinterpret_cast<DWORD*>(
                dibBits + static_cast<size_t>(bottomUp ? dibHeight - 1 - y : y) *
                              section.dsBm.bmWidthBytes);
            const auto* source = reinterpret_cast<const DWORD*>(
                static_cast<const BYTE*>(pixels.Scan0) + static_cast<size_t>(y - top) * pixels.Stride);
            for (int x = r.left; x < r.right; ++x) {
                DWORD c = source[x - left];
                if (scale != 256) {
                    c = ((((c & 0x00FF00FF) * scale) >> 8) & 0x00FF00FF) |
                        ((((c >> 8) & 0x00FF00FF) * scale) & 0xFF00FF00);
                }
                const DWORD a = c >> 24;
                if (a == 0) continue;
                if (a == 255) {
                    target[x] = c;
                    continue;
                }
                // dst * (255 - a) / 255, two channels at a time, rounded.
                const DWORD d = target[x], keep = 255 - a;
                DWORD rb = (d & 0x00FF00FF) * keep + 0x00800080;
                rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
                DWORD ag = ((d >> 8) & 0x00FF00FF) * keep + 0x00800080;
                ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
                target[x] = c + (rb | ag);
            }
        }
    }
    GdipBitmapUnlockBits(surface, &pixels);
    return true;
}

// Draws a control's surface at an opacity: straight into the canvas when
// the graphics draws on it, else through GDI+.
void DrawSurface(HBITMAP canvasDib, GpGraphics* graphics, Control& control, int alpha) {
    if (!BlendSurface(canvasDib, graphics, control.surface.get(), control.bounds, alpha))
        DrawImageAlpha(graphics, control.surface.get(), control.bounds, alpha);
}

}  // namespace

// ---- Scratch surface --------------------------------------------------------

void GrowScratchSurface(int width, int height) {
    DibSurface& scratch = Scratch();
    if (scratch.dc() && scratch.width() >= width && scratch.height() >= height) return;
    int grownWidth = std::max(scratch.width(), width);
    int grownHeight = std::max(scratch.height(), height);
    scratch = DibSurface(grownWidth, grownHeight, true);
}

HDC ScratchDC() { return Scratch().dc(); }
GpGraphics* ScratchGraphics() { return Scratch().graphics(); }
SIZE ScratchSize() { return SIZE{Scratch().width(), Scratch().height()}; }

// ---- Painting a control's surface -------------------------------------------

bool BeginSurfacePaint(Control& control, PaintContext& context, std::optional<RectF> rect,
                       int commit) {
    RectF area = rect.value_or(RectF(0, 0, control.bounds.Width, control.bounds.Height));
    HostWindow* host = control.host;
    context.hostWindow = control.hostWindow;
    context.graphics = control.surfaceGraphics.get();
    context.rect = area;
    context.refs.host = host;
    context.refs.windowDC = host ? host->windowDC : nullptr;
    context.refs.canvasDC = host ? host->canvasDC : nullptr;
    context.refs.canvasGraphics = host ? host->canvasGraphics : nullptr;
    context.refs.surface = control.surface.get();
    if (!control.hostWindow || !host) return false;

    context.commit = commit;
    if (commit) {
        control.transitionSnapshot.reset();
        if (!host->busy && control.transitionFrames && control.transitionInterval) {
            // Finish a transition still running, so the snapshot is taken
            // of what the screen really shows.
            KillTimer(control.hostWindow, control.handle + 1);
            control.transitionStep = control.transitionFrames;
            RepaintArea(control.hostWindow, control.bounds, host, host->canvasGraphics, true);
            GpBitmap* snapshot = nullptr;
            if (control.surface &&
                GdipCloneBitmapArea(area.X, area.Y, area.Width, area.Height,
                                    PixelFormat32bppARGB, control.surface.get(), &snapshot) == Ok)
                control.transitionSnapshot.reset(snapshot);
        }
        if (GpGraphics* graphics = control.surfaceGraphics.get()) {
            GdipSetClipRect(graphics, area.X, area.Y, area.Width, area.Height, CombineModeReplace);
            GdipGraphicsClear(graphics, 0);
            GdipResetClip(graphics);
        }
    }
    control.OnBeginPaint(context);
    return true;
}

void EndSurfacePaint(Control& control, PaintContext& context) {
    control.OnEndPaint(context);
    if (!context.commit || control.autoRefresh != 1 || control.visible != 1) return;
    if (!control.transitionInterval || !control.transitionFrames) {
        SendMessageW(control.hostWindow, HostInvalidate, RepaintQueued,
                     reinterpret_cast<LPARAM>(&control.bounds));
        return;
    }
    control.transitionStep = 0;
    Dispatch(control.handle, EventTransitionStarted, 0, 0);
    SetTimer(control.hostWindow, control.handle + 1, static_cast<UINT>(control.transitionInterval),
             &Control::TransitionTick);
}

void CALLBACK Control::TransitionTick(HWND window, UINT, UINT_PTR id, DWORD) {
    Control* control = ControlFromHandle(id - 1);
    if (!control->handle || !control->host) {
        KillTimer(window, id);
        return;
    }
    control->transitionStep += 1;
    RepaintArea(control->hostWindow, control->bounds, control->host,
                control->host->canvasGraphics, true);
    if (control->transitionStep >= control->transitionFrames) {
        KillTimer(window, id);
        control->transitionSnapshot.reset();
        control->transitionStep = 0;
        Dispatch(control->handle, EventTransitionFinished, 0, 0);
    }
}

// ---- Composition ------------------------------------------------------------

void RepaintArea(HWND hostWindow, const RectF& rect, HostWindow* host, GpGraphics* graphics,
                 bool present) {
    if (!host || host->busy) return;
    {
        // The clip in force comes back afterwards: a class may repaint
        // from inside the composition of another rectangle.
        ClipKeeper keep(graphics);
        if (host->clipRegion) GdipSetClipRegion(graphics, host->clipRegion, CombineModeReplace);
        ClipTo(graphics, rect);
        CopyPixels(host->canvasDC, host->backdropDC, PixelCover(rect));
        ComposeList(host, host->firstControl, rect, graphics);
    }
    if (present) PresentArea(hostWindow, host, rect);
}

int ComposeAlpha(Control& control) {
    int alpha = control.alpha;
    if (control.disabled &&
        control.HandleEvent(control.handle, EventDisabledLookQuery, 0, 1) == -1)
        alpha /= 2;
    return alpha;
}

void ComposeList(HostWindow* host, ControlHandle first, const RectF& rect, GpGraphics* graphics) {
    // Surfaces go straight into the canvas when graphics is the canvas's.
    HBITMAP dib = graphics == host->canvasGraphics ? host->canvasBitmap : nullptr;
    for (ControlHandle h = first; h; h = ControlFromHandle(h)->nextSibling) {
        Control& control = *ControlFromHandle(h);
        if (control.visible != 1 || !Intersects(rect, control.bounds)) continue;

        if (control.disabled) {
            DrawSurface(dib, graphics, control, ComposeAlpha(control));
        } else if (TransitionRunning(control)) {
            TransitionRecord record{host->canvasDC,
                                    graphics,
                                    ScratchDC(),
                                    ScratchGraphics(),
                                    control.surface.get(),
                                    control.transitionSnapshot.get(),
                                    control.bounds,
                                    RectF(0, 0, 0, 0),
                                    control.transitionStep,
                                    control.transitionFrames};
            GdipGetVisibleClipBounds(graphics, &record.clip);
            if (Dispatch(h, EventTransitionFrame, 0, reinterpret_cast<LPARAM>(&record)) < 1)
                DrawTransition(control, record);
        } else {
            DrawSurface(dib, graphics, control, control.alpha);
        }

        if (control.firstChild) {
            ClipKeeper keep(graphics);
            ClipTo(graphics, control.bounds);
            ComposeList(host, control.firstChild, rect, graphics);
        }
    }
}

void ComposeAll(HostWindow* host, ControlHandle first, GpGraphics* graphics, bool notifyBackdrop,
                HBITMAP canvasDib) {
    for (ControlHandle h = first; h; h = ControlFromHandle(h)->nextSibling) {
        Control& control = *ControlFromHandle(h);
        if (control.visible != 1) continue;
        // A class with automatic contrast repaints its surface here, before
        // it is drawn.
        if (notifyBackdrop) Dispatch(h, EventBackdropChanged, 0, 0);
        DrawSurface(canvasDib, graphics, control, ComposeAlpha(control));
        if (control.firstChild) {
            ClipKeeper keep(graphics);
            ClipTo(graphics, control.bounds);
            ComposeAll(host, control.firstChild, graphics, notifyBackdrop, canvasDib);
        }
    }
}

void DrawTransition(Control& control, const TransitionRecord& record) {
    const RectF& b = record.bounds;
    int step = record.step;
    int frames = record.frames;
    if (frames <= 0) return;
    RectF r = b;
    switch (control.transitionStyle) {
    case 0: {
        // Old look on the canvas, new look over a copy of the same canvas
        // on the scratch surface, then the copy blended over the canvas at
        // the step's opacity.
        RECT clip = PixelCover(record.clip);
        CopyPixels(record.scratchDC, record.canvasDC, clip);
        DrawImageAlpha(record.canvasGraphics, record.snapshot, b, control.alpha);
        {
            ClipKeeper canvasClip(record.canvasGraphics);
            if (canvasClip.region())
                GdipSetClipRegion(record.scratchGraphics, canvasClip.region(), CombineModeReplace);
            DrawImageAlpha(record.scratchGraphics, record.surface, b, control.alpha);
            GdipResetClip(record.scratchGraphics);
        }
        int opacity = std::clamp(control.alpha * step / frames, 0, 255);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0};
        if (clip.right > clip.left && clip.bottom > clip.top)
            GdiAlphaBlend(record.canvasDC, clip.left, clip.top, clip.right - clip.left,
                          clip.bottom - clip.top, record.scratchDC, clip.left, clip.top,
                          clip.right - clip.left, clip.bottom - clip.top, blend);
        break;
    }
    case 1:  // slide down: the new look enters from above
        r.Y += static_cast<float>(step * static_cast<int>(b.Height / frames));
        DrawImageAt(record.canvasGraphics, record.snapshot, r);
        r.Y -= b.Height;
        DrawImageAt(record.canvasGraphics, record.surface, r);
        break;
    case 2:  // slide up
        r.Y -= static_cast<float>(step * static_cast<int>(b.Height / frames));
        DrawImageAt(record.canvasGraphics, record.snapshot, r);
        r.Y += b.Height;
        DrawImageAt(record.canvasGraphics, record.surface, r);
        break;
    case 3:  // slide right: the new look enters from the left
        r.X += static_cast<float>(static_cast<int>(b.Width / frames) * step);
        DrawImageAt(record.canvasGraphics, record.snapshot, r);
        r.X -= b.Width;
        DrawImageAt(record.canvasGraphics, record.surface, r);
        break;
    case 4:  // slide left
        r.X -= static_cast<float>(static_cast<int>(b.Width / frames) * step);
        DrawImageAt(record.canvasGraphics, record.snapshot, r);
        r.X += b.Width;
        DrawImageAt(record.canvasGraphics, record.surface, r);
        break;
    default:  // unknown styles show nothing while the transition runs
        break;
    }
}

// ---- Images at an opacity or natural size -------------------------------------

void DrawImageAlpha(GpGraphics* graphics, GpImage* image, const RectF& rect, int alpha) {
    if (!graphics || !image || alpha <= 0) return;
    if (alpha >= 255) {
        GdipDrawImageRect(graphics, image, rect.X, rect.Y, rect.Width, rect.Height);
        return;
    }
    GpImageAttributes* attributes = nullptr;
    if (GdipCreateImageAttributes(&attributes) != Ok) return;
    OwnedImageAttributes owner(attributes);
    ColorMatrix matrix{};
    for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
    matrix.m[3][3] = static_cast<float>(alpha) / 255.0f;
    GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                      ColorMatrixFlagsDefault);
    GdipDrawImageRectRect(graphics, image, rect.X, rect.Y, rect.Width, rect.Height, 0, 0,
                          rect.Width, rect.Height, UnitPixel, attributes, nullptr, nullptr);
}

void DrawImageAt(GpGraphics* graphics, GpImage* image, const RectF& rect, bool centre) {
    if (!graphics || !image) return;
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    float x = rect.X, y = rect.Y;
    if (centre) {
        x = std::round(rect.X - (static_cast<float>(width) - rect.Width) / 2);
        y = std::round(rect.Y - (static_cast<float>(height) - rect.Height) / 2);
    }
    GdipDrawImageRect(graphics, image, x, y, static_cast<float>(width), static_cast<float>(height));
}

// ---- Presentation -----------------------------------------------------------

void PushLayered(HWND window, const SizeRecord& size, HDC source) {
    SIZE extent{size.width, size.height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    layeredWindowUpdate(window, nullptr, nullptr, &extent, source, &origin, 0, &blend, ULW_ALPHA);
}

void PushCanvas(HostWindow& host) {
    host.redrawQueue.CanvasPushed();
    PushLayered(host.window, host.size, host.canvasDC);
}

void PresentArea(HWND hostWindow, HostWindow* host, const RectF& rect) {
    if (!host || host->busy) return;
    if (host->windowAlpha == -1)
        CopyPixels(host->windowDC, host->canvasDC, PixelCover(rect));
    else
        PushCanvas(*host);
}
