// Shared pieces of the host tests: a control that logs what its class
// receives, callbacks that log into the same journal, so that a test can
// read the order in which controls and the application heard of an input,
// and real input messages sent to a window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/TestWindow.h"

// One line per event or callback, in order: "A 0x2804", "onClick A 23".
extern std::vector<std::string> journal;
// Names under which controls appear in the journal ("-" for 0).
extern std::map<ControlHandle, std::string> names;

std::string NameOf(ControlHandle control);

// Logs every event of interest its class receives (not paint, created,
// timers of transitions); answers pressAnswer to the press query.
class LoggingControl : public Control {
public:
    // A control that goes out of scope before its window leaves its host's
    // lists, so the window's teardown never reaches a dead object.
    ~LoggingControl() override { Destroy(); }
    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;
    ControlHandle Make(HWND window, const std::string& name, float x, float y, float w, float h,
                       int kind = KindLabel, int focusable = 1);

    int pressAnswer = -1;
    int keyAnswer = -1;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    DWORD lastThread = 0;
};

// Installs journal-writing callbacks into every control slot of a host.
void LogAllCallbacks(HostWindow& host);

// Real window messages, as the system would deliver them.
void Mouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
void Click(HWND window, int x, int y);

// Window commands the host sent or posted to itself, as (message, wParam).
// The system's move and size loops wait for a real button release, so
// WM_NCLBUTTONDOWN and SC_MOVE/SC_SIZE are recorded and swallowed; other
// commands (maximise, restore, close) go on to the window.
struct WindowCommand {
    UINT message;
    WPARAM wParam;
};
extern std::vector<WindowCommand> commands;
LRESULT RecordWindowCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
