// The host's window procedure: frame messages answered so that a window
// without a system frame still moves, sizes and activates; mouse and
// keyboard input turned into control events and application callbacks;
// and the private messages controls send to their host.
//
// Input state lives here, per host:
//
//   hover    hoveredControl   changes on a mouse move onto another control
//                             (leave, then enter), on WM_MOUSELEAVE (leave,
//                             hover 0), on entering a sizing zone (leave,
//                             hover 0, no callback) and on deactivation
//   press    captureActive,   starts with a left button-down on a control
//            capturedControl  that answers the press query or is focusable;
//                             every mouse message then goes to it; ends on
//                             the left button-up (activated when released
//                             over it) or when the window is deactivated
//   focus    focusedControl,  moves on a press of a focusable control (with
//            focusCueControl  callbacks), on Tab and on HostSetFocus
//                             (without); the cue is set by keyboard only
#include "toolkit/host/HostWindow.h"

#include <windowsx.h>

#include <algorithm>

namespace {

constexpr float Epsilon = 1e-7f;

// Sizing zones reach this far into the window from its edges.
constexpr int TopZone = 8;
constexpr int LeftZone = 8;
constexpr int CornerZone = 10;
constexpr int FarEdgeZone = 10;

// A double click on the background toggles maximise only this close to
// the top of the window.
constexpr int CaptionDoubleClickHeight = 30;

// A maximised window leaves its shadow and frame margin off the screen.
constexpr int MaximizedMargin = 7;

// The smallest window: the caption buttons (the close button 11 pixels
// wider than the others) and 36 pixels more; 21 x 20 without a caption.
constexpr int MinimumButtonWidth = 28;
constexpr int MinimumCloseExtra = 11;
constexpr int MinimumCaptionRest = 36;
constexpr int MinimumCaptionHeight = 38;
constexpr SIZE MinimumBareSize = {21, 20};

bool InList(ControlHandle first, ControlHandle wanted) {
    for (ControlHandle h = first; h; h = ControlFromHandle(h)->nextSibling) {
        if (h == wanted || InList(ControlFromHandle(h)->firstChild, wanted)) return true;
    }
    return false;
}

bool Contains(const RectF& r, int x, int y) {
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return fx - r.X >= -Epsilon && fy - r.Y >= -Epsilon && fx - (r.X + r.Width) < -Epsilon &&
           fy - (r.Y + r.Height) < -Epsilon;
}

// Walks a list from its last control backwards and descends into the
// first hit: later controls are painted on top and so are hit first.
ControlHandle HitIn(ControlHandle last, int x, int y) {
    for (ControlHandle h = last; h; h = ControlFromHandle(h)->prevSibling) {
        const Control* c = ControlFromHandle(h);
        if (!c->visible || c->disabled || !Contains(c->bounds, x, y)) continue;
        ControlHandle child = HitIn(c->lastChild, x, y);
        return child ? child : h;
    }
    return 0;
}

bool IsTopLevelIn(const Control* c, HWND window) {
    return c->parent == 0 || c->parent == reinterpret_cast<ControlHandle>(window);
}

int KindOf(ControlHandle control) { return control ? ControlFromHandle(control)->kind : 0; }

bool IsVisible(ControlHandle control) { return control && ControlFromHandle(control)->visible; }

bool IsUsable(ControlHandle control) {
    return IsVisible(control) && !ControlFromHandle(control)->disabled;
}

// Caption buttons never take the focus, whatever their focusable flag says.
bool CanTakeFocus(ControlHandle control) {
    const Control* c = ControlFromHandle(control);
    return c->visible && !c->disabled && c->focusable && c->kind != KindCaptionButton;
}

// Alt+T and Alt+t are the same mnemonic.
bool SameLetter(wchar_t a, wchar_t b) {
    return CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(a))) ==
           CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(b)));
}

// The cursor's screen position, for the system move and size loops.
LPARAM CursorPoint() {
    DWORD position = GetMessagePos();
    return MAKELPARAM(GET_X_LPARAM(position), GET_Y_LPARAM(position));
}

}  // namespace

LRESULT CALLBACK HostWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* host = HostFromWindow(window);
    if (!host) return DefWindowProcW(window, message, wParam, lParam);
    return host->WindowProc(message, wParam, lParam);
}

bool HostWindow::OwnsControl(ControlHandle control) const {
    return control && InList(firstControl, control);
}

ControlHandle HostWindow::HitTest(int x, int y) const { return HitIn(lastControl, x, y); }

void HostWindow::Notify(HostControlCallback slot, ControlHandle control, WPARAM wParam,
                        LPARAM lParam) {
    if (slot) slot(window, control, wParam, lParam, KindOf(control));
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The teardown on WM_DESTROY, or a callback that destroys the window,
    // clears the members; the message still goes to where it went before.
    HWND target = window;
    WNDPROC previous = previousWindowProc;

    if (onMessage) {
        LRESULT answer = onMessage(target, message, wParam, lParam);
        if (answer != -1) {
            // An event block belongs to the host even when the event is
            // not delivered.
            if (message == HostDeliverEvent) delete reinterpret_cast<QueuedEvent*>(lParam);
            return answer;
        }
    }

    switch (message) {
    case WM_DESTROY:
        OnDestroy(target);
        break;
    case WM_SIZE:
        OnSize(target, wParam, lParam);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            // The control is told the mouse left; forgetting the hover too
            // makes the pointer's return enter it again.
            ControlHandle hovered = hoveredControl;
            hoveredControl = 0;
            Dispatch(hovered, EventMouseLeft, wParam, lParam);
            if (captureActive) {
                Dispatch(capturedControl, EventFocusLost, wParam, lParam);
                ReleaseCapture();
                captureActive = 0;
            }
        } else if (capturedControl) {
            Dispatch(capturedControl, EventFocusGained, wParam, lParam);
        }
        break;
    case WM_SETTEXT: {
        LRESULT result = CallWindowProcW(previous, target, message, wParam, lParam);
        if ((captionFlags & CaptionTitle) && result == TRUE && titleLabel.GetHandle()) {
            auto text = reinterpret_cast<const wchar_t*>(lParam);
            titleLabel.TextW(std::wstring(text ? text : L""));
        }
        return result;
    }
    case WM_PAINT:
        OnPaintMessage();
        break;
    case WM_CLOSE:
        ShowWindow(target, SW_HIDE);
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != target) break;
        if (hoveredControl && ControlFromHandle(hoveredControl)->cursor)
            SetCursor(ControlFromHandle(hoveredControl)->cursor);
        else
            SetCursor(cursor);
        return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        info->ptMaxSize = {work.right + 2 * MaximizedMargin, work.bottom + 2 * MaximizedMargin};
        info->ptMaxPosition = {work.left - MaximizedMargin, work.top - MaximizedMargin};
        // Bits 512 (shadow) and 1024 (automatic) are no caption elements.
        if (!(captionFlags & ~(CaptionShadow | CaptionAutomatic))) {
            info->ptMinTrackSize = {MinimumBareSize.cx, MinimumBareSize.cy};
        } else {
            int buttons = static_cast<int>(captionButtons.size());
            int closeExtra = (captionFlags & CaptionClose) ? MinimumCloseExtra : 0;
            info->ptMinTrackSize = {MinimumButtonWidth * buttons + closeExtra + MinimumCaptionRest,
                                    MinimumCaptionHeight};
        }
        return 0;
    }
    case WM_STYLECHANGED: {
        // The frame must not come back through a later style change.
        LONG_PTR style = GetWindowLongPtrW(target, GWL_STYLE);
        if (style & WS_DLGFRAME) {
            style &= ~static_cast<LONG_PTR>(WS_DLGFRAME);
            SetWindowLongPtrW(target, GWL_STYLE, style);
        }
        if (style & WS_BORDER) SetWindowLongPtrW(target, GWL_STYLE, style & ~WS_BORDER);
        break;
    }
    case WM_NCCALCSIZE:
        // The client area is the whole window: the proposed rectangle stays.
        if (wParam) return 1;
        break;
    case WM_NCACTIVATE:
        return 1;
    case WM_TIMER:
        // Class timers of controls carry the control's handle; any other
        // identifier belongs to the window's own timers.
        if (OwnsControl(wParam)) Dispatch(wParam, EventTimer, wParam, lParam);
        break;
    case WM_SYSCHAR:
        if (OnSysChar(message, wParam, lParam)) return 0;
        break;
    case WM_KEYDOWN:
        OnKeyDown(message, wParam, lParam);
        break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
    case WM_IME_COMPOSITION:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        Dispatch(focusedControl, message, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        if (!leaveTracking) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, target, 0};
            leaveTracking = TrackMouseEvent(&track) ? 1 : 0;
        }
        OnMouse(message, wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        OnMouse(message, wParam, lParam);
        break;
    case WM_LBUTTONDBLCLK:
        SendMessageW(target, WM_LBUTTONDOWN, DoubleClickMarker, lParam);
        return 0;
    case WM_MOUSELEAVE:
        leaveTracking = 0;
        ReleaseCapture();
        if (hoveredControl) {
            ControlHandle hovered = hoveredControl;
            Dispatch(hovered, EventMouseLeft, wParam, lParam);
            Notify(onMouseLeave, hovered, 0, 0);
            hoveredControl = 0;
        }
        break;
    case HostDeliverEvent: {
        auto* block = reinterpret_cast<QueuedEvent*>(lParam);
        // An event posted to a control that has been destroyed meanwhile
        // is dropped; the block is released either way.
        int result = block && OwnsControl(wParam)
                         ? Dispatch(wParam, block->event, block->wParam, block->lParam)
                         : 0;
        delete block;
        return result;
    }
    case HostRegisterMnemonic:
        SetMnemonic(wParam, static_cast<UINT>(lParam));
        return 1;
    case HostSetFocus:
        if (lParam && OwnsControl(static_cast<ControlHandle>(lParam)))
            SetFocusControl(static_cast<ControlHandle>(lParam), 0);
        break;
    case HostInvalidate:
        OnInvalidateMessage(wParam, lParam);
        if (wParam == 1) return 0;
        break;
    case HostMoved:
        return OnMovedMessage(wParam, lParam);
    case HostPresent:
        OnPresentMessage(wParam, lParam);
        // The redraw queue's own push request ends here.
        if (wParam == QueuedPresentMarker) return 0;
        break;
    default:
        break;
    }
    // Messages go on in order. The redraw queue is only ever busy while
    // this thread is inside its drain, so a message that arrives then is
    // handed on at once: waiting for the drain would never end.
    return CallWindowProcW(previous, target, message, wParam, lParam);
}

void HostWindow::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    if (busy) return;
    if (HandleSizingBorder(message, lParam)) return;
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);

    if (captureActive) {
        ControlHandle captured = capturedControl;
        // The captured control sees every mouse message, with its own
        // handle in the wParam position.
        Dispatch(captured, message, captured, lParam);
        if (message != WM_LBUTTONUP) return;
        if (onMouseUp) onMouseUp(window, 0, wParam, lParam, 0);
        ReleaseCapture();
        ControlHandle r = HitTest(x, y);
        if (r && r == captured) {
            Dispatch(r, EventActivated, captured, lParam);
            Notify(onClick, r, wParam, lParam);
        } else if (OwnsControl(captured) && IsVisible(captured)) {
            Dispatch(captured, EventMouseLeft, wParam, static_cast<LPARAM>(r));
            Notify(onMouseLeave, captured, wParam, lParam);
            if (!OwnsControl(r)) r = 0;
            Dispatch(r, EventMouseEntered, wParam, static_cast<LPARAM>(captured));
            Notify(onMouseEnter, r, wParam, lParam);
            UpdateTooltip(r);
        }
        captureActive = 0;
        capturedControl = 0;
        hoveredControl = OwnsControl(r) ? r : 0;
        return;
    }

    ControlHandle r = HitTest(x, y);
    if (hoveredControl && hoveredControl != r && IsVisible(hoveredControl)) {
        Dispatch(hoveredControl, EventMouseLeft, wParam, static_cast<LPARAM>(r));
        Notify(onMouseLeave, hoveredControl, wParam, lParam);
    }

    if (message == WM_LBUTTONDOWN) {
        bool isDouble = wParam == DoubleClickMarker;
        HWND focused = GetFocus();
        if (focused != window) {
            if (focused) SendMessageW(focused, WM_KILLFOCUS, 0, 0);
            SetFocus(window);
        }
        if (r) {
            Control* c = ControlFromHandle(r);
            if (Dispatch(r, EventPressQuery, 0, 0) != -1 || c->focusable) {
                Notify(onMouseDown, r, wParam, lParam);
                captureActive = 1;
                capturedControl = r;
                if (CanTakeFocus(r) && r != focusedControl) {
                    ControlHandle old = focusedControl;
                    focusedControl = r;
                    focusCueControl = 0;
                    Dispatch(old, EventFocusLost, wParam, static_cast<LPARAM>(r));
                    Notify(onLostFocus, old, wParam, lParam);
                    Dispatch(r, EventFocusGained, wParam, static_cast<LPARAM>(old));
                    Notify(onGotFocus, r, wParam, lParam);
                }
                if (isDouble) Notify(onDoubleClick, r, wParam, lParam);
                SetCapture(window);
            } else if (isDouble && (captionFlags & CaptionTitle) &&
                       (captionFlags & CaptionMaximize) && r == titleLabel.GetHandle()) {
                ToggleMaximize();
            }
            if (!captureActive && draggable == 1)
                SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, CursorPoint());
        } else if (isDouble) {
            if (y < CaptionDoubleClickHeight && (captionFlags & CaptionMaximize)) ToggleMaximize();
        } else if (draggable == 1) {
            // The system moves the window until the button is released.
            SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, CursorPoint());
        }
    }

    // Callbacks and the move loop may have destroyed the control, or the
    // whole window with its host.
    if (!previousWindowProc) return;
    if (!OwnsControl(r)) r = 0;

    if (message == WM_MOUSEMOVE && r != hoveredControl) {
        Dispatch(r, EventMouseEntered, wParam, static_cast<LPARAM>(hoveredControl));
        Notify(onMouseEnter, r, wParam, lParam);
        UpdateTooltip(r);
    } else if (message == WM_RBUTTONDOWN) {
        Notify(onRightDown, r, wParam, lParam);
    } else if (message == WM_RBUTTONUP) {
        Notify(onRightUp, r, wParam, lParam);
    }

    if (!OwnsControl(r)) r = 0;
    Dispatch(r, message, wParam, lParam);
    hoveredControl = r;
}

void HostWindow::ToggleMaximize() {
    PostMessageW(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, CursorPoint());
}

int HostWindow::SizingZone(int x, int y) const {
    int w = size.width, h = size.height;
    bool nearRight = static_cast<float>(w - x) - FarEdgeZone < -Epsilon;
    bool nearBottom = static_cast<float>(h - y) - FarEdgeZone < -Epsilon;
    if (y < TopZone) {
        if (x < CornerZone) return WMSZ_TOPLEFT;
        if (nearRight) return WMSZ_TOPRIGHT;
        return WMSZ_TOP;
    }
    if (nearBottom) {
        if (x < CornerZone) return WMSZ_BOTTOMLEFT;
        if (nearRight) return WMSZ_BOTTOMRIGHT;
        return WMSZ_BOTTOM;
    }
    if (x < LeftZone) return WMSZ_LEFT;
    if (nearRight) return WMSZ_RIGHT;
    return 0;
}

int HostWindow::HandleSizingBorder(UINT message, LPARAM lParam) {
    if (resizable != 1 || captureActive) return 0;
    if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN) return 0;
    if (IsZoomed(window)) return 0;
    int zone = SizingZone(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!zone) return 0;

    LPCWSTR shape = IDC_SIZEWE;
    switch (zone) {
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT:
        shape = IDC_SIZENWSE;
        break;
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMLEFT:
        shape = IDC_SIZENESW;
        break;
    case WMSZ_TOP:
    case WMSZ_BOTTOM:
        shape = IDC_SIZENS;
        break;
    default:
        break;
    }
    SetCursor(LoadCursorW(nullptr, shape));

    if (hoveredControl) {
        Dispatch(hoveredControl, EventMouseLeft, 0, 0);
        hoveredControl = 0;
    }
    if (message == WM_LBUTTONDOWN)
        SendMessageW(window, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(zone), CursorPoint());
    return 1;
}

LRESULT HostWindow::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    if (focusedControl && Dispatch(focusedControl, message, wParam, lParam) != -1) return 0;

    if (wParam == VK_TAB) {
        // Always forward, through the top-level list, wrapping at the end.
        ControlHandle start = focusedControl ? focusedControl : firstControl;
        if (!start) return 0;
        ControlHandle top = start;
        while (!IsTopLevelIn(ControlFromHandle(top), window)) top = ControlFromHandle(top)->parent;
        ControlHandle candidate =
            top == lastControl ? firstControl : ControlFromHandle(top)->nextSibling;
        int count = 0;
        for (ControlHandle h = firstControl; h; h = ControlFromHandle(h)->nextSibling) ++count;
        for (ControlHandle h = candidate; count-- > 0 && h;) {
            if (CanTakeFocus(h)) {
                if (h != focusedControl) SetFocusControl(h, 1);
                break;
            }
            h = ControlFromHandle(h)->nextSibling ? ControlFromHandle(h)->nextSibling : firstControl;
        }
    } else if (wParam == VK_RETURN || wParam == VK_SPACE) {
        ControlHandle focused = focusedControl;
        if (IsUsable(focused)) {
            Dispatch(focused, EventActivated, 0, 0);
            Notify(onClick, focused, 0, 0);
        }
    }
    return 0;
}

int HostWindow::OnSysChar(UINT message, WPARAM wParam, LPARAM lParam) {
    Dispatch(focusedControl, message, wParam, lParam);
    wchar_t typed = static_cast<wchar_t>(wParam);
    // Records are copied: activation may register or drop mnemonics.
    std::vector<MnemonicRecord> records = mnemonics;
    for (const MnemonicRecord& record : records) {
        if (!SameLetter(static_cast<wchar_t>(record.key & 0xFF), typed)) continue;
        if (!OwnsControl(record.control) || !IsUsable(record.control)) continue;
        Dispatch(record.control, EventActivated, 0, 0);
        Notify(onClick, record.control, wParam, lParam);
        return 1;
    }
    return 0;
}

int HostWindow::SetMnemonic(ControlHandle control, UINT key) {
    auto found = std::find_if(mnemonics.begin(), mnemonics.end(),
                              [control](const MnemonicRecord& r) { return r.control == control; });
    if (key) {
        if (found != mnemonics.end()) found->key = key;
        else mnemonics.push_back({control, key});
    } else if (found != mnemonics.end()) {
        mnemonics.erase(found);
    }
    return 1;
}

void HostWindow::SetFocusControl(ControlHandle control, int byKeyboard) {
    if (!control || control == focusedControl || !CanTakeFocus(control)) return;
    ControlHandle old = focusedControl;
    focusedControl = control;
    focusCueControl = 0;
    if (old) ControlFromHandle(old)->SendEvent(EventFocusLost, 0, static_cast<LPARAM>(control));
    if (byKeyboard) focusCueControl = control;
    ControlFromHandle(control)->SendEvent(EventFocusGained, 0, static_cast<LPARAM>(old));
}

void HostWindow::UpdateTooltip(ControlHandle control, std::optional<std::wstring> text) {
    if (!control || !tooltipWindow) return;
    SendMessageW(tooltipWindow, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo));
    const Control* c = ControlFromHandle(control);
    toolText = text ? *text : c->tipText;
    if (toolText.empty()) return;
    int left = static_cast<int>(c->bounds.X);
    int top = static_cast<int>(c->bounds.Y);
    toolInfo.rect = {left, top, left + static_cast<int>(c->bounds.Width),
                     top + static_cast<int>(c->bounds.Height)};
    toolInfo.lpszText = &toolText[0];
    SendMessageW(tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo));
}
