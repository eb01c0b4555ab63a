// Control: the base of every windowless control of the skin toolkit.
//
// A control has no window. It lives in a HostWindow, owns one 32bpp ARGB
// surface of its own size into which its class paints, and is composed by
// the host onto the window's canvas. Controls form sibling lists (the host
// holds the top-level list, any control may hold a child list); list order
// is paint order. Everything a control receives arrives as an event through
// its class's HandleEvent and then through the application's bindings
// (Dispatch). A control reaches its host only through the private messages
// of Events.h, so its methods may be called from any thread: what they
// trigger runs on the host window's thread.
//
// A control is identified by its handle, the address of the object. Control
// objects are at least pointer-aligned and larger than one byte, so
// handle + 1 (the transition timer) is never another control's handle.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/GdipHandles.h"
#include "toolkit/controls/Events.h"

using ControlHandle = UINT_PTR;
class HostWindow;
struct PaintContext;

// Class codes; the host reports them with every application event.
enum ControlKind : int {
    KindCaptionButton = 1,
    KindTextControl = 2,
    KindLabel = 3,
    KindPicture = 4,
    KindLinkLabel = 5,
    KindProgressBar = 12,
    KindGroupBox = 16,
    KindMenuItem = 20,
    KindNoSurface = 21,  // gets a 1 x 1 surface
    KindButton = 23,
};

// An application callback bound to one event code of a control. parent is
// the control's parent control, 0 for a top-level control.
using EventBinding = void (*)(ControlHandle parent, ControlHandle control, UINT event,
                              WPARAM wParam, LPARAM lParam);

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Everything the control receives goes through here; -1 = not handled.
    virtual int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam);

    // parent: the HWND of a host window (top level) or a created control.
    ControlHandle Create(UINT_PTR parent, const RectF& bounds, int kind,
                         std::optional<int> visible = std::nullopt,
                         std::optional<int> focusable = std::nullopt,
                         std::optional<LPCWSTR> cursorId = std::nullopt,
                         std::optional<int> transitionInterval = std::nullopt,
                         std::optional<int> transitionFrames = std::nullopt,
                         std::optional<int> transitionStyle = std::nullopt);
    ControlHandle GetHandle() const { return handle; }
    HWND GetHostWindow() const { return hostWindow; }
    ControlHandle GetParent() const { return parent; }
    void SetParent(ControlHandle newParent);
    void Destroy();

    RectF Bounds(std::optional<RectF> value = std::nullopt);
    int Visible(std::optional<int> value = std::nullopt);
    int Disabled(std::optional<int> value = std::nullopt);
    int Focusable(std::optional<int> value = std::nullopt);
    bool IsFocused();
    void Redraw();
    void Invalidate();
    void Move(std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt,
              std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt,
              std::optional<int> repaint = std::nullopt);
    std::wstring TipText(std::optional<std::wstring> text = std::nullopt, bool apply = false);
    void ShowTip(const std::wstring& text);
    void BindEvent(UINT event, EventBinding callback);
    ControlHandle Self() const { return reinterpret_cast<ControlHandle>(this); }
    int Alpha(std::optional<int> value = std::nullopt, std::optional<int> repaint = std::nullopt);
    int TransitionFrames(std::optional<int> frames = std::nullopt,
                         std::optional<int> interval = std::nullopt);
    int TransitionInterval(std::optional<int> ms = std::nullopt);
    int TransitionStep() const { return transitionStep; }
    int TransitionStyle(std::optional<int> style = std::nullopt);
    int SendEvent(UINT event, WPARAM wParam, LPARAM lParam);
    void PostEvent(UINT event, WPARAM wParam, LPARAM lParam);
    HCURSOR Cursor(std::optional<UINT_PTR> idOrHandle = std::nullopt, bool isHandle = false);
    std::wstring Tag(std::optional<std::wstring> text = std::nullopt);
    float Left(std::optional<int> value = std::nullopt);
    float Top(std::optional<int> value = std::nullopt);
    float Width(std::optional<int> value = std::nullopt);
    float Height(std::optional<int> value = std::nullopt);
    void ZOrder(std::optional<int> position = std::nullopt, std::optional<int> repaint = std::nullopt);
    void Unlink();
    void SuspendRefresh() { autoRefresh = 0; }
    void ResumeRefresh() { autoRefresh = 1; }
    // Transition timer procedure (identifier handle + 1), in Painting.cpp.
    static void CALLBACK TransitionTick(HWND window, UINT message, UINT_PTR id, DWORD time);
    // Hooks at the end of BeginSurfacePaint and the start of EndSurfacePaint.
    virtual void OnBeginPaint(PaintContext&) {}
    virtual void OnEndPaint(PaintContext&) {}

    // Members, read directly by the host and the composition routines.
    HWND hostWindow = nullptr;
    ControlHandle handle = 0;
    ControlHandle parent = 0;
    int visible = 0;
    int disabled = 0;
    int focusable = 1;
    int autoRefresh = 1;
    HCURSOR cursor = nullptr;
    std::vector<std::pair<UINT, EventBinding>> eventBindings;
    RectF bounds{0, 0, 0, 0};
    std::wstring tipText;
    std::wstring tag;
    int kind = 0;
    ControlHandle firstChild = 0;
    ControlHandle lastChild = 0;
    ControlHandle prevSibling = 0;
    ControlHandle nextSibling = 0;
    int transitionStep = 0;
    OwnedBitmap surface;
    OwnedGraphics surfaceGraphics;
    HostWindow* host = nullptr;
    int alpha = 255;
    OwnedImage transitionSnapshot;
    int transitionInterval = 0;
    RectF previousBounds{0, 0, 0, 0};
    int transitionFrames = 0;
    int transitionStyle = 0;

private:
    void MakeSurface();
    void ResetMembers();
    // The list this control belongs to: the host's when top level.
    ControlHandle* ContainerFirst();
    ControlHandle* ContainerLast();
    bool IsTopLevel() const;
};

// The control behind a handle; 0 gives nullptr.
inline Control* ControlFromHandle(ControlHandle handle) {
    return reinterpret_cast<Control*>(handle);
}

// Delivers an event to a control's class and then to the first matching
// application binding; returns the class's answer (0 for handle 0).
int Dispatch(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam);
