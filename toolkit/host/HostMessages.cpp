// The host's window procedure: the private messages from controls, class
// timers of controls, and the teardown.
#include "toolkit/host/HostWindow.h"

namespace {

// Whether a timer identifier is the handle of a control in a list.
bool IsControlIn(ControlHandle first, UINT_PTR id) {
    for (ControlHandle h = first; h; h = ControlFromHandle(h)->nextSibling) {
        if (h == id || IsControlIn(ControlFromHandle(h)->firstChild, id)) return true;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK HostWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* host = HostFromWindow(window);
    if (!host) return DefWindowProcW(window, message, wParam, lParam);
    return host->WindowProc(message, wParam, lParam);
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case HostDeliverEvent: {
        auto* block = reinterpret_cast<QueuedEvent*>(lParam);
        int result = Dispatch(wParam, block->event, block->wParam, block->lParam);
        delete block;
        return result;
    }
    case HostInvalidate:
        return OnInvalidateMessage(wParam, lParam);
    case HostMoved:
        return OnMovedMessage(wParam, lParam);
    case HostPresent:
        return OnPresentMessage(wParam, lParam);
    case WM_TIMER:
        if (IsControlIn(firstControl, wParam)) {
            Dispatch(wParam, EventTimer, wParam, lParam);
            return 0;
        }
        break;
    case WM_DESTROY: {
        WNDPROC previous = previousWindowProc;
        HWND attached = window;
        OnDestroy(attached);
        return CallWindowProcW(previous, attached, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcW(previousWindowProc, window, message, wParam, lParam);
}

void HostWindow::UpdateTooltip(ControlHandle, std::optional<std::wstring>) {}
