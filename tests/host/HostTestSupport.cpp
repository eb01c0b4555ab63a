#include "HostTestSupport.h"

#include <cstdio>

std::vector<std::string> journal;
std::map<ControlHandle, std::string> names;

std::string NameOf(ControlHandle control) {
    if (!control) return "-";
    auto found = names.find(control);
    return found == names.end() ? "?" : found->second;
}

namespace {

std::string Hex(UINT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

bool Logged(UINT event) {
    switch (event) {
    case EventCreated:
    case EventPaint:
    case EventDestroyed:
    case EventResized:
    case EventMoved:
    case EventBackdropChanged:
    case EventTransitionFrame:
    case EventTransitionStarted:
    case EventTransitionFinished:
    case EventDisabledLookQuery:
    case EventFocusQuery:
    case WM_MOUSEMOVE:
        return false;
    default:
        return true;
    }
}

void LogCallback(const char* slot, ControlHandle control, int kind) {
    journal.push_back(std::string(slot) + " " + NameOf(control) + " " + std::to_string(kind));
}

#define LOGGER(slot)                                                             \
    void slot##Logger(HWND, ControlHandle control, WPARAM, LPARAM, int kind) {  \
        LogCallback(#slot, control, kind);                                       \
    }
LOGGER(onMouseDown)
LOGGER(onMouseUp)
LOGGER(onClick)
LOGGER(onDoubleClick)
LOGGER(onRightDown)
LOGGER(onRightUp)
LOGGER(onMouseEnter)
LOGGER(onMouseLeave)
LOGGER(onGotFocus)
LOGGER(onLostFocus)
#undef LOGGER

}  // namespace

int LoggingControl::HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) {
    if (Logged(event)) journal.push_back(NameOf(handle) + " " + Hex(event));
    lastWParam = wParam;
    lastLParam = lParam;
    lastThread = GetCurrentThreadId();
    if (event == EventPressQuery) return pressAnswer;
    if (event == WM_KEYDOWN) return keyAnswer;
    return -1;
}

ControlHandle LoggingControl::Make(HWND window, const std::string& name, float x, float y,
                                   float w, float h, int kind, int canFocus) {
    ControlHandle made = Create(reinterpret_cast<UINT_PTR>(window), RectF(x, y, w, h), kind, 1,
                                canFocus);
    names[made] = name;
    return made;
}

void LogAllCallbacks(HostWindow& host) {
    host.SetOnMouseDown(onMouseDownLogger);
    host.SetOnMouseUp(onMouseUpLogger);
    host.SetOnClick(onClickLogger);
    host.SetOnDoubleClick(onDoubleClickLogger);
    host.SetOnRightDown(onRightDownLogger);
    host.SetOnRightUp(onRightUpLogger);
    host.SetOnMouseEnter(onMouseEnterLogger);
    host.SetOnMouseLeave(onMouseLeaveLogger);
    host.SetOnGotFocus(onGotFocusLogger);
    host.SetOnLostFocus(onLostFocusLogger);
}

void Mouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    SendMessageW(window, message, keys, MAKELPARAM(x, y));
}

void Click(HWND window, int x, int y) {
    Mouse(window, WM_MOUSEMOVE, x, y);
    Mouse(window, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(window, WM_LBUTTONUP, x, y);
}

std::vector<WindowCommand> commands;

LRESULT RecordWindowCommands(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_NCLBUTTONDOWN) {
        commands.push_back({message, wParam});
        return 0;
    }
    if (message == WM_SYSCOMMAND) {
        commands.push_back({message, wParam});
        WPARAM command = wParam & 0xFFF0;
        if (command == SC_SIZE || command == SC_MOVE) return 0;
    }
    return -1;
}
