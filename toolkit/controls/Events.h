// The toolkit's event vocabulary and the private window messages between
// controls and hosts. Event codes reuse Windows message numbers where the
// meaning is the same (mouse, keys, WM_COMMAND) and take a private range
// otherwise; both the codes and the wire messages are fixed numbers, because
// controls, hosts and the message box all speak them.
#pragma once

#include <windows.h>

enum ControlEvent : UINT {
    EventCreated = 1,           // wParam surface, lParam surfaceGraphics
    EventDestroyed = 2,         // delivered straight to HandleEvent
    EventPaint = 15,            // the class repaints its surface
    EventTimer = 275,           // class timer: wParam timer id
    EventFocusGained = 0x2800,  // lParam previously focused control
    EventFocusLost = 0x2801,    // lParam newly focused control (0: dropped)
    EventMouseEntered = 0x2802,
    EventMouseLeft = 0x2803,
    EventActivated = 0x2804,    // the click, Enter/Space or mnemonic
    EventResized = 0x2805,      // wParam width, lParam height
    EventHidden = 0x2806,
    EventShown = 0x2807,
    EventTransitionFrame = 0x2808,   // lParam TransitionRecord*; >= 1: drawn
    EventPressQuery = 0x280A,        // != -1 lets a non-focusable control capture
    EventDisabledLookQuery = 0x280E, // -1: compose at half alpha
    EventMoved = 0x2811,
    EventFocusQuery = 0x2814,        // 1 focused, 0 not, -1 ask the host
    EventAlphaChanged = 0x2815,      // lParam new alpha
    EventBackdropChanged = 0x2816,
    EventTransitionStarted = 0x2817,
    EventTransitionFinished = 0x2818,
};

// Messages a control sends or posts to its host window.
enum HostMessage : UINT {
    HostSetFocus = 0x2800,          // lParam control (without callbacks)
    HostRegisterMnemonic = 0x280B,  // wParam control, lParam key
    HostPresent = 0x280D,
    HostInvalidate = 0x2810,        // wParam 1 posted / 0 sent, lParam RectF*
    HostMoved = 0x2811,             // wParam control, lParam 1 = repaint both
    HostDeliverEvent = 0x2812,      // wParam control, lParam QueuedEvent*
};

// A double click reaches controls as a button-down carrying this marker.
constexpr WPARAM DoubleClickMarker = 10086;

// The block behind HostDeliverEvent's lParam: allocated with new by the
// sender, deleted by the host after delivering, whether sent or posted.
struct QueuedEvent {
    UINT event;
    WPARAM wParam;
    LPARAM lParam;
};

// wParam of the HostPresent that a host's redraw queue posts to its own
// window: push the canvas once for a burst of rebuilt rectangles, unless
// the host is busy or the canvas was pushed meanwhile.
constexpr WPARAM QueuedPresentMarker = 0x5150;
