// Control painting and composition.
//
// A control never draws on the screen. Its class paints into the control's
// own surface between BeginSurfacePaint and EndSurfacePaint, always through
// the PaintContext it is handed; the host keeps one canvas for the whole
// window, and RepaintArea rebuilds any rectangle of it from the backdrop
// (the skin without controls) and the cached surfaces of the controls over
// it, in list order. The canvas reaches the screen through PresentArea:
// UpdateLayeredWindow of the whole canvas for a layered host, BitBlt of the
// rectangle for a plain one.
//
// Transitions run on the same machinery: a paint of a control with an armed
// transition keeps the old look as a snapshot, and for transitionFrames
// ticks of the transition timer (identifier handle + 1) the composition
// shows a cross-fade or a slide from the snapshot to the new surface.
//
// Everything here runs on the host window's thread: classes paint in
// HandleEvent, which the host runs for calls from any thread.
#pragma once

#include <optional>

#include "toolkit/Gdip.h"
#include "toolkit/controls/Control.h"

class HostWindow;
struct SizeRecord;

// What a paint of one control may touch. graphics is the control's
// surfaceGraphics: all class drawing goes there.
struct PaintContext {
    HWND hostWindow = nullptr;
    GpGraphics* graphics = nullptr;
    RectF rect{0, 0, 0, 0};  // in the control's own coordinates
    int commit = 0;          // 0: redraw the surface only (no clear, snapshot or screen update)
    struct {
        HostWindow* host = nullptr;
        HDC windowDC = nullptr;
        HDC canvasDC = nullptr;
        GpGraphics* canvasGraphics = nullptr;
        GpBitmap* surface = nullptr;
    } refs;
};

// One control's state while the composition draws a transition frame. The
// transition-frame event (EventTransitionFrame) carries a pointer to it; a
// class that answers 1 or more has drawn the frame itself.
struct TransitionRecord {
    HDC canvasDC;
    GpGraphics* canvasGraphics;
    HDC scratchDC;
    GpGraphics* scratchGraphics;
    GpBitmap* surface;
    GpImage* snapshot;
    RectF bounds;
    RectF clip;  // visible clip bounds of the canvas when the control is drawn
    int step;
    int frames;
};

// Starts painting a control's surface. rect defaults to the whole surface.
// With commit set, the rectangle is cleared to transparent first and, when
// a transition is armed, the old look is kept as the snapshot (finishing a
// transition still running). False when the control has no host: draw
// nothing and skip EndSurfacePaint.
bool BeginSurfacePaint(Control& control, PaintContext& context,
                       std::optional<RectF> rect = std::nullopt, int commit = 1);
// Finishes a paint: repaints the control's rectangle on screen, or starts
// the armed transition. Nothing reaches the screen for a paint without
// commit, with autoRefresh 0, or of a hidden control.
void EndSurfacePaint(Control& control, PaintContext& context);

// Rebuilds rect of the host's canvas: backdrop, then every visible control
// over it, clipped to rect and the host's rounded clip. Does nothing while
// the host is busy.
void RepaintArea(HWND hostWindow, const RectF& rect, HostWindow* host, GpGraphics* graphics,
                 bool present);
// Draws the visible controls of a list (and their descendants) that
// intersect rect; a control only touching rect along an edge is skipped.
void ComposeList(HostWindow* host, ControlHandle first, const RectF& rect, GpGraphics* graphics);
// Draws every visible control of a list at its opacity (the full-window
// composition after a skin redraw), telling each of the new backdrop first
// when notifyBackdrop is set. canvasDib: the DIB graphics draws on, if any,
// which surfaces are then blended into directly.
void ComposeAll(HostWindow* host, ControlHandle first, GpGraphics* graphics, bool notifyBackdrop,
                HBITMAP canvasDib = nullptr);
// The opacity a control is composed at: alpha, halved when it is disabled
// and its class keeps the default disabled look.
int ComposeAlpha(Control& control);

// The default transition painter: cross-fade (style 0) or slide (1 down,
// 2 up, 3 right, 4 left) from the snapshot to the surface.
void DrawTransition(Control& control, const TransitionRecord& record);

// Draws image stretched into rect at a constant opacity (0..255).
void DrawImageAlpha(GpGraphics* graphics, GpImage* image, const RectF& rect, int alpha);
// Draws image at its natural size at rect's top-left corner, or centred on
// rect (rounded to whole pixels).
void DrawImageAt(GpGraphics* graphics, GpImage* image, const RectF& rect, bool centre = false);

// Pushes the canvas to the screen: BitBlt of rect for a plain host, the
// whole canvas with UpdateLayeredWindow for a layered one. Nothing while
// the host is busy.
void PresentArea(HWND hostWindow, HostWindow* host, const RectF& rect);
// Pushes a whole 32-bit premultiplied surface to a layered window, keeping
// its position.
void PushLayered(HWND window, const SizeRecord& size, HDC source);
// Pushes the host's canvas to its layered window (even while busy).
void PushCanvas(HostWindow& host);

// Every push of a layered window goes through this pointer; it is
// UpdateLayeredWindow itself unless a test or benchmark counts the calls.
using LayeredWindowUpdate = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                          BLENDFUNCTION*, DWORD);
extern LayeredWindowUpdate layeredWindowUpdate;

// The toolkit's scratch surface of the cross-fade: at least as large as
// every host window, grown by the hosts and never shrunk.
void GrowScratchSurface(int width, int height);
HDC ScratchDC();
GpGraphics* ScratchGraphics();
SIZE ScratchSize();
