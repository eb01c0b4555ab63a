#include "toolkit/controls/Control.h"

#include <cmath>

#include "toolkit/host/HostWindow.h"

namespace {

constexpr float Epsilon = 1e-7f;

bool Differs(float a, float b) { return std::fabs(a - b) > Epsilon; }

// The host a window is attached to, as seen from any thread.
bool HostStillAttached(HWND window, const HostWindow* host) {
    return host && HostFromWindow(window) == host;
}

// Shifts every descendant of a container by whole pixels.
void ShiftDescendants(ControlHandle first, int dx, int dy) {
    for (ControlHandle h = first; h; h = ControlFromHandle(h)->nextSibling) {
        Control* c = ControlFromHandle(h);
        c->bounds.X += static_cast<float>(dx);
        c->bounds.Y += static_cast<float>(dy);
        ShiftDescendants(c->firstChild, dx, dy);
    }
}

}  // namespace

Control::~Control() = default;

int Control::HandleEvent(ControlHandle, UINT, WPARAM, LPARAM) { return -1; }

int Dispatch(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) {
    if (!handle) return 0;
    Control* control = ControlFromHandle(handle);
    int result = control->HandleEvent(handle, event, wParam, lParam);
    for (const auto& [code, callback] : control->eventBindings) {
        // The host turns a double click into a button-down carrying the
        // marker; a binding for the double click fires on exactly that.
        bool matches = code == event ||
                       (code == WM_LBUTTONDBLCLK && event == WM_LBUTTONDOWN &&
                        wParam == DoubleClickMarker);
        if (!matches) continue;
        if (callback) callback(control->parent, handle, event, wParam, lParam);
        break;
    }
    return result;
}

bool Control::IsTopLevel() const {
    return parent == 0 || parent == reinterpret_cast<ControlHandle>(hostWindow);
}

ControlHandle* Control::ContainerFirst() {
    return IsTopLevel() ? &host->firstControl : &ControlFromHandle(parent)->firstChild;
}

ControlHandle* Control::ContainerLast() {
    return IsTopLevel() ? &host->lastControl : &ControlFromHandle(parent)->lastChild;
}

void Control::MakeSurface() {
    int width = kind == KindNoSurface ? 1 : static_cast<int>(bounds.Width);
    int height = kind == KindNoSurface ? 1 : static_cast<int>(bounds.Height);
    surfaceGraphics.reset();
    surface.reset();
    Surface made = ::MakeSurface(width, height);
    surface = std::move(made.bitmap);
    surfaceGraphics = std::move(made.graphics);
}

ControlHandle Control::Create(UINT_PTR parentArg, const RectF& rect, int classKind,
                              std::optional<int> isVisible, std::optional<int> canFocus,
                              std::optional<LPCWSTR> cursorId,
                              std::optional<int> interval, std::optional<int> frames,
                              std::optional<int> style) {
    if (handle == Self()) return handle;
    handle = Self();

    hostWindow = reinterpret_cast<HWND>(parentArg);
    bounds = rect;
    cursor = cursorId ? LoadCursorW(nullptr, *cursorId) : nullptr;
    tipText.clear();
    parent = 0;
    alpha = 255;
    kind = classKind;
    visible = isVisible.value_or(0);
    focusable = canFocus.value_or(1);
    disabled = 0;
    autoRefresh = 1;
    host = HostFromWindow(hostWindow);
    prevSibling = nextSibling = 0;

    if (host) {
        ControlHandle oldLast = host->lastControl;
        if (!host->firstControl) host->firstControl = handle;
        host->lastControl = handle;
        if (oldLast) ControlFromHandle(oldLast)->nextSibling = handle;
        prevSibling = oldLast;
    } else {
        // Not a host window: the argument must be a created control whose
        // host is still the one registered on its window.
        Control* owner = IsWindow(hostWindow) ? nullptr : ControlFromHandle(parentArg);
        if (!owner || !owner->host || owner->host != HostFromWindow(owner->hostWindow)) {
            ResetMembers();
            return 0;
        }
        hostWindow = owner->hostWindow;
        host = owner->host;
        SetParent(parentArg);
    }

    MakeSurface();
    transitionInterval = interval.value_or(0);
    transitionFrames = frames.value_or(0);
    transitionStyle = style.value_or(0);
    transitionStep = 0;

    SendEvent(EventCreated, reinterpret_cast<WPARAM>(surface.get()),
              reinterpret_cast<LPARAM>(surfaceGraphics.get()));
    SendEvent(EventPaint, reinterpret_cast<WPARAM>(surface.get()),
              reinterpret_cast<LPARAM>(surfaceGraphics.get()));
    return handle;
}

void Control::ResetMembers() {
    hostWindow = nullptr;
    handle = 0;
    parent = 0;
    visible = 0;
    disabled = 0;
    focusable = 1;
    autoRefresh = 1;
    cursor = nullptr;
    eventBindings.clear();
    bounds = RectF(0, 0, 0, 0);
    tipText.clear();
    tag.clear();
    kind = 0;
    firstChild = lastChild = prevSibling = nextSibling = 0;
    transitionStep = 0;
    surfaceGraphics.reset();
    surface.reset();
    host = nullptr;
    alpha = 255;
    transitionSnapshot.reset();
    transitionInterval = 0;
    previousBounds = RectF(0, 0, 0, 0);
    transitionFrames = 0;
    transitionStyle = 0;
}

void Control::Destroy() {
    if (!handle || !host) return;
    visible = 0;
    Invalidate();

    for (ControlHandle child = firstChild; child;) {
        ControlHandle next = ControlFromHandle(child)->nextSibling;
        ControlFromHandle(child)->Destroy();
        child = next;
    }

    HandleEvent(handle, EventDestroyed, 0, 0);
    KillTimer(hostWindow, handle + 1);

    if (host->capturedControl == handle) {
        host->capturedControl = 0;
        host->captureActive = 0;
    }
    if (host->focusedControl == handle) host->focusedControl = 0;
    if (host->hoveredControl == handle) host->hoveredControl = 0;
    if (host->focusCueControl == handle) host->focusCueControl = 0;

    Unlink();
    ResetMembers();
}

void Control::SetParent(ControlHandle newParent) {
    if (newParent == parent) return;
    Unlink();
    bool toHost = newParent == 0 || newParent == reinterpret_cast<ControlHandle>(hostWindow);
    ControlHandle* first = toHost ? &host->firstControl : &ControlFromHandle(newParent)->firstChild;
    ControlHandle* last = toHost ? &host->lastControl : &ControlFromHandle(newParent)->lastChild;
    ControlHandle oldLast = *last;
    if (!*first) *first = handle;
    *last = handle;
    if (oldLast) ControlFromHandle(oldLast)->nextSibling = handle;
    prevSibling = oldLast;
    parent = newParent;
    Invalidate();
}

void Control::Unlink() {
    if (!host) {
        prevSibling = nextSibling = 0;
        return;
    }
    if (IsTopLevel()) {
        ControlHandle h = host->firstControl;
        while (h && h != handle) h = ControlFromHandle(h)->nextSibling;
        if (!h) {
            prevSibling = nextSibling = 0;
            return;
        }
    }
    ControlHandle* first = ContainerFirst();
    ControlHandle* last = ContainerLast();
    if (*first == handle) *first = nextSibling;
    if (*last == handle) *last = prevSibling;
    if (prevSibling) ControlFromHandle(prevSibling)->nextSibling = nextSibling;
    if (nextSibling) ControlFromHandle(nextSibling)->prevSibling = prevSibling;
    prevSibling = nextSibling = 0;
}

void Control::ZOrder(std::optional<int> position, std::optional<int> repaint) {
    if (!host) return;
    Unlink();
    ControlHandle* first = ContainerFirst();
    ControlHandle* last = ContainerLast();
    if (position.value_or(1) == 2) {
        ControlHandle oldFirst = *first;
        *first = handle;
        if (oldFirst) ControlFromHandle(oldFirst)->prevSibling = handle;
        else *last = handle;
        nextSibling = oldFirst;
    } else {
        ControlHandle oldLast = *last;
        if (!*first) *first = handle;
        *last = handle;
        if (oldLast) ControlFromHandle(oldLast)->nextSibling = handle;
        prevSibling = oldLast;
    }
    if (repaint.value_or(1)) Invalidate();
}

RectF Control::Bounds(std::optional<RectF> value) {
    if (value) {
        Move(static_cast<int>(value->X), static_cast<int>(value->Y),
             static_cast<int>(value->Width), static_cast<int>(value->Height), 1);
    }
    return bounds;
}

int Control::Visible(std::optional<int> value) {
    if (value && *value != visible) {
        visible = *value;
        SendEvent(visible ? EventShown : EventHidden, 0, 0);
        Invalidate();
    }
    return visible;
}

int Control::Disabled(std::optional<int> value) {
    if (value && *value != disabled) {
        disabled = *value;
        if (host && host->focusedControl == handle) {
            host->focusedControl = 0;
            PostEvent(EventFocusLost, 0, 0);
        }
        PostEvent(EventMouseLeft, 0, 0);
        Invalidate();
    }
    return disabled;
}

int Control::Focusable(std::optional<int> value) {
    if (value) focusable = *value;
    return focusable;
}

bool Control::IsFocused() {
    int answer = SendEvent(EventFocusQuery, 0, 0);
    if (answer != -1) return answer == 1;
    return host && host->focusedControl == handle;
}

void Control::Redraw() { SendEvent(EventPaint, 0, 0); }

void Control::Invalidate() {
    if (!hostWindow) return;
    // The host repaints a copy: the control may move before the message
    // is processed.
    RectF* rect = new RectF(bounds);
    if (!PostMessageW(hostWindow, HostInvalidate, 1, reinterpret_cast<LPARAM>(rect))) delete rect;
}

void Control::Move(std::optional<int> x, std::optional<int> y, std::optional<int> width,
                   std::optional<int> height, std::optional<int> repaint) {
    float nx = static_cast<float>(x.value_or(static_cast<int>(bounds.X)));
    float ny = static_cast<float>(y.value_or(static_cast<int>(bounds.Y)));
    float nw = static_cast<float>(width.value_or(static_cast<int>(bounds.Width)));
    float nh = static_cast<float>(height.value_or(static_cast<int>(bounds.Height)));
    if (!Differs(nx, bounds.X) && !Differs(ny, bounds.Y) && !Differs(nw, bounds.Width) &&
        !Differs(nh, bounds.Height))
        return;

    previousBounds = bounds;
    bounds = RectF(nx, ny, nw, nh);
    ShiftDescendants(firstChild, static_cast<int>(nx - previousBounds.X),
                     static_cast<int>(ny - previousBounds.Y));

    if (Differs(nw, previousBounds.Width) ||
        (Differs(nh, previousBounds.Height) && kind != KindNoSurface)) {
        MakeSurface();
        SendEvent(EventResized, static_cast<WPARAM>(nw), static_cast<LPARAM>(nh));
        SendEvent(EventPaint, static_cast<WPARAM>(nw), static_cast<LPARAM>(nh));
    }

    // The host refuses while it is busy (an animation or a skin redraw);
    // wait for it, but not for a window that has lost its host.
    LPARAM both = repaint.value_or(1) && visible ? 1 : 0;
    while (HostStillAttached(hostWindow, host) &&
           SendMessageW(hostWindow, HostMoved, handle, both) != 1)
        Sleep(1);
}

std::wstring Control::TipText(std::optional<std::wstring> text, bool apply) {
    if (text) {
        tipText = *text;
        if (apply) ShowTip(tipText);
    }
    return tipText;
}

void Control::ShowTip(const std::wstring& text) {
    if (host) host->UpdateTooltip(handle, text);
}

void Control::BindEvent(UINT event, EventBinding callback) {
    for (auto& binding : eventBindings) {
        if (binding.first == event) {
            binding.second = callback;
            return;
        }
    }
    eventBindings.emplace_back(event, callback);
}

int Control::Alpha(std::optional<int> value, std::optional<int> repaint) {
    if (value) {
        alpha = *value;
        SendEvent(EventAlphaChanged, 0, alpha);
        if (repaint.value_or(1)) Invalidate();
    }
    return alpha;
}

int Control::TransitionFrames(std::optional<int> frames, std::optional<int> interval) {
    if (frames) transitionFrames = *frames;
    if (interval) transitionInterval = *interval;
    return transitionFrames;
}

int Control::TransitionInterval(std::optional<int> ms) {
    if (ms) transitionInterval = *ms;
    return transitionInterval;
}

int Control::TransitionStyle(std::optional<int> style) {
    if (style) transitionStyle = *style;
    return transitionStyle;
}

int Control::SendEvent(UINT event, WPARAM wParam, LPARAM lParam) {
    if (!HostStillAttached(hostWindow, host)) return 0;
    auto* block = new QueuedEvent{event, wParam, lParam};
    return static_cast<int>(
        SendMessageW(hostWindow, HostDeliverEvent, handle, reinterpret_cast<LPARAM>(block)));
}

void Control::PostEvent(UINT event, WPARAM wParam, LPARAM lParam) {
    if (!HostStillAttached(hostWindow, host)) return;
    auto* block = new QueuedEvent{event, wParam, lParam};
    if (!PostMessageW(hostWindow, HostDeliverEvent, handle, reinterpret_cast<LPARAM>(block)))
        delete block;
}

HCURSOR Control::Cursor(std::optional<UINT_PTR> idOrHandle, bool isHandle) {
    if (idOrHandle) {
        cursor = isHandle ? reinterpret_cast<HCURSOR>(*idOrHandle)
                          : LoadCursorW(nullptr, MAKEINTRESOURCEW(*idOrHandle));
    }
    return cursor;
}

std::wstring Control::Tag(std::optional<std::wstring> text) {
    if (text) tag = *text;
    return tag;
}

float Control::Left(std::optional<int> value) {
    if (value && Differs(static_cast<float>(*value), bounds.X)) Move(*value);
    return bounds.X;
}

float Control::Top(std::optional<int> value) {
    if (value && Differs(static_cast<float>(*value), bounds.Y)) Move(std::nullopt, *value);
    return bounds.Y;
}

float Control::Width(std::optional<int> value) {
    if (value && Differs(static_cast<float>(*value), bounds.Width))
        Move(std::nullopt, std::nullopt, *value);
    return bounds.Width;
}

float Control::Height(std::optional<int> value) {
    if (value && Differs(static_cast<float>(*value), bounds.Height))
        Move(std::nullopt, std::nullopt, std::nullopt, *value);
    return bounds.Height;
}
