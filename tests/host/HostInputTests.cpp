// Input routing through real window messages: the order in which controls
// and application callbacks hear of clicks, hover, focus and keys; Tab,
// Enter, Space and mnemonics; sizing zones, window moves and double-click
// maximise; tooltips; events sent from other threads; class timers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "HostTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// A window without caption controls: only the test's controls are hit.
AttachOptions Bare(int resizable = 0) {
    AttachOptions options;
    options.captionFlags = 0;
    options.resizable = resizable;
    return options;
}

class InputTest : public testing::Test {
protected:
    explicit InputTest(int resizable = 0)
        : w(300, 200, WS_OVERLAPPED | WS_MAXIMIZEBOX, Bare(resizable)) {}
    void SetUp() override {
        // Synthetic input: the real pointer must not send leave messages.
        w.host.leaveTracking = 1;
        w.host.SetOnMessage(RecordWindowCommands);
        LogAllCallbacks(w.host);
        journal.clear();
        commands.clear();
    }
    ControlHandle Make(LoggingControl& c, const std::string& name, float x, float y,
                       int kind = KindLabel, int focusable = 1) {
        return c.Make(w.window, name, x, y, 40, 30, kind, focusable);
    }
    TestWindow w;
    LoggingControl a, b;
};

TEST_F(InputTest, FocusMovingClickOrder) {
    Make(a, "A", 20, 20);
    Make(b, "B", 100, 20);
    SendMessageW(w.window, HostSetFocus, 0, a.GetHandle());
    Mouse(w.window, WM_MOUSEMOVE, 110, 30);
    journal.clear();

    Mouse(w.window, WM_LBUTTONDOWN, 110, 30, MK_LBUTTON);
    EXPECT_EQ((Lines{"B 0x280A", "onMouseDown B 3", "A 0x2801", "onLostFocus A 3", "B 0x2800",
                     "onGotFocus B 3", "B 0x201"}),
              journal);
    EXPECT_EQ(w.window, GetCapture());
    EXPECT_EQ(b.GetHandle(), w.host.focusedControl);
    EXPECT_EQ(0u, w.host.focusCueControl);  // a click shows no keyboard cue
    EXPECT_TRUE(commands.empty());          // a captured press moves nothing

    journal.clear();
    Mouse(w.window, WM_LBUTTONUP, 112, 31);
    EXPECT_EQ((Lines{"B 0x202", "onMouseUp - 0", "B 0x2804", "onClick B 3"}), journal);
    EXPECT_EQ(0, w.host.captureActive);
    EXPECT_EQ(b.GetHandle(), w.host.hoveredControl);
    // The captured control sees its own handle in the wParam position.
    EXPECT_EQ(b.GetHandle(), b.lastWParam);
}

TEST_F(InputTest, ReleaseOutsideThePressedControl) {
    Make(a, "A", 20, 20);
    Make(b, "B", 100, 20);
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    Mouse(w.window, WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    journal.clear();

    Mouse(w.window, WM_MOUSEMOVE, 110, 30, MK_LBUTTON);  // still A's
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(a.GetHandle(), w.host.hoveredControl);
    Mouse(w.window, WM_LBUTTONUP, 110, 30);
    EXPECT_EQ((Lines{"A 0x202", "onMouseUp - 0", "A 0x2803", "onMouseLeave A 3", "B 0x2802",
                     "onMouseEnter B 3"}),
              journal);
    EXPECT_EQ(a.GetHandle(), static_cast<ControlHandle>(b.lastLParam));
    EXPECT_EQ(b.GetHandle(), w.host.hoveredControl);
}

TEST_F(InputTest, HoverLeaveAndEnterIncludingTheBackground) {
    Make(a, "A", 20, 20);
    Make(b, "B", 100, 20);
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    Mouse(w.window, WM_MOUSEMOVE, 110, 30);
    Mouse(w.window, WM_MOUSEMOVE, 250, 150);
    Mouse(w.window, WM_MOUSEMOVE, 251, 150);
    EXPECT_EQ((Lines{"A 0x2802", "onMouseEnter A 3", "A 0x2803", "onMouseLeave A 3", "B 0x2802",
                     "onMouseEnter B 3", "B 0x2803", "onMouseLeave B 3", "onMouseEnter - 0"}),
              journal);
    EXPECT_EQ(0u, w.host.hoveredControl);
}

TEST_F(InputTest, MouseLeaveAndDeactivation) {
    Make(a, "A", 20, 20);
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    journal.clear();
    SendMessageW(w.window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ((Lines{"A 0x2803", "onMouseLeave A 3"}), journal);
    EXPECT_EQ(0u, w.host.hoveredControl);
    EXPECT_EQ(0, w.host.leaveTracking);
    w.host.leaveTracking = 1;

    // Deactivated during a press: the press ends and the control hears it
    // lost the mouse and the focus; coming back enters it again.
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    Mouse(w.window, WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    journal.clear();
    SendMessageW(w.window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ((Lines{"A 0x2803", "A 0x2801"}), journal);
    EXPECT_EQ(0, w.host.captureActive);
    journal.clear();
    Mouse(w.window, WM_MOUSEMOVE, 31, 30);
    EXPECT_EQ((Lines{"A 0x2802", "onMouseEnter A 3"}), journal);
}

TEST_F(InputTest, DoubleClickOnAFocusableControl) {
    Make(a, "A", 20, 20);
    a.BindEvent(WM_LBUTTONDBLCLK, [](ControlHandle, ControlHandle control, UINT event,
                                     WPARAM wParam, LPARAM) {
        journal.push_back("binding " + NameOf(control) + " " + std::to_string(event) + " " +
                          std::to_string(wParam));
    });
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    Click(w.window, 30, 30);
    journal.clear();
    Mouse(w.window, WM_LBUTTONDBLCLK, 30, 30, MK_LBUTTON);
    EXPECT_EQ((Lines{"A 0x280A", "onMouseDown A 3", "onDoubleClick A 3", "A 0x201",
                     "binding A 513 10086"}),
              journal);
    EXPECT_EQ(DoubleClickMarker, a.lastWParam);
    EXPECT_EQ(1, w.host.captureActive);
}

TEST_F(InputTest, PressesThatMoveTheWindow) {
    Make(a, "Label", 20, 20, KindLabel, 0);  // neither focusable nor pressable
    Make(b, "Pressable", 100, 20, KindLabel, 0);
    b.pressAnswer = 0;

    Mouse(w.window, WM_LBUTTONDOWN, 250, 150, MK_LBUTTON);  // background
    Mouse(w.window, WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);    // label
    ASSERT_EQ(2u, commands.size());
    for (const WindowCommand& command : commands) {
        EXPECT_EQ(static_cast<UINT>(WM_NCLBUTTONDOWN), command.message);
        EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), command.wParam);
    }
    EXPECT_EQ(0, w.host.captureActive);

    commands.clear();
    Mouse(w.window, WM_LBUTTONDOWN, 110, 30, MK_LBUTTON);  // answers the press query
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(1, w.host.captureActive);
    EXPECT_EQ(0u, w.host.focusedControl);  // captured, but not focused
    Mouse(w.window, WM_LBUTTONUP, 110, 30);

    w.host.Draggable(0);
    commands.clear();
    Mouse(w.window, WM_LBUTTONDOWN, 250, 150, MK_LBUTTON);
    EXPECT_TRUE(commands.empty());
}

struct DoubleClickCase {
    const char* name;
    int y;
    bool zoomedBefore;
    std::vector<WPARAM> expected;  // window commands seen, in order
};

class DoubleClickBackground : public InputTest,
                              public testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClickBackground, TogglesMaximiseNearTheTop) {
    const DoubleClickCase& c = GetParam();
    w.host.captionFlags |= CaptionMaximize;
    ShowWindow(w.window, c.zoomedBefore ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
    commands.clear();
    Mouse(w.window, WM_LBUTTONDBLCLK, 150, c.y, MK_LBUTTON);
    PumpMessages();
    std::vector<WPARAM> seen;
    for (const WindowCommand& command : commands)
        seen.push_back(command.message == WM_SYSCOMMAND ? command.wParam & 0xFFF0 : 0);
    EXPECT_EQ(c.expected, seen);
    if (!c.expected.empty()) {
        EXPECT_NE(c.zoomedBefore, IsZoomed(w.window) != FALSE);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DoubleClickBackground,
    testing::Values(
        // A move starts first (sent), then the posted command arrives.
        DoubleClickCase{"Maximise", 29, false, {0, SC_MAXIMIZE}},
        DoubleClickCase{"Restore", 10, true, {0, SC_RESTORE}},
        DoubleClickCase{"TooLow", 30, false, {}}),
    [](const testing::TestParamInfo<DoubleClickCase>& info) { return info.param.name; });

TEST_F(InputTest, DoubleClickWithoutMaximiseButtonDoesNothing) {
    Mouse(w.window, WM_LBUTTONDBLCLK, 150, 10, MK_LBUTTON);
    PumpMessages();
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(IsZoomed(w.window));
}

TEST_F(InputTest, RightButtonsReportTheControlOrNothing) {
    Make(a, "A", 20, 20);
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    journal.clear();
    Mouse(w.window, WM_RBUTTONDOWN, 30, 30, MK_RBUTTON);
    Mouse(w.window, WM_RBUTTONUP, 30, 30);
    Mouse(w.window, WM_RBUTTONUP, 200, 150);
    EXPECT_EQ((Lines{"onRightDown A 3", "A 0x204", "onRightUp A 3", "A 0x205", "A 0x2803",
                     "onMouseLeave A 3", "onRightUp - 0"}),
              journal);
}

TEST_F(InputTest, TabWalksForwardOverEligibleTopLevelControls) {
    LoggingControl caption, hidden, disabled, label, c, child;
    Make(a, "A", 0, 40);
    Make(caption, "Caption", 50, 40, KindCaptionButton);
    Make(hidden, "Hidden", 100, 40);
    hidden.visible = 0;
    Make(disabled, "Disabled", 150, 40);
    disabled.disabled = 1;
    Make(label, "Label", 200, 40, KindLabel, 0);
    Make(c, "C", 250, 40);
    ControlHandle inner = child.Create(c.GetHandle(), RectF(255, 45, 5, 5), KindLabel, 1);
    names[inner] = "Child";

    auto tab = [&] {
        journal.clear();
        SendMessageW(w.window, WM_KEYDOWN, VK_TAB, 0);
        return NameOf(w.host.focusedControl);
    };
    // Without a focus the walk starts after the first control.
    EXPECT_EQ("C", tab());
    EXPECT_EQ((Lines{"C 0x2800"}), journal);  // by message, no callbacks
    EXPECT_EQ(c.GetHandle(), w.host.focusCueControl);
    EXPECT_EQ("A", tab());  // wraps
    EXPECT_EQ((Lines{"C 0x100", "C 0x2801", "A 0x2800"}), journal);
    EXPECT_EQ(c.GetHandle(), static_cast<ControlHandle>(a.lastLParam));  // the old focus
    EXPECT_EQ(a.GetHandle(), w.host.focusCueControl);
    EXPECT_EQ("C", tab());

    // From a focused child the walk continues after its top-level parent.
    w.host.focusedControl = inner;
    EXPECT_EQ("A", tab());

    // A control that consumes the key keeps the focus.
    a.keyAnswer = 1;
    EXPECT_EQ("A", tab());
    EXPECT_EQ((Lines{"A 0x100"}), journal);
}

TEST_F(InputTest, TabWithoutAnyFocusableControlChangesNothing) {
    Make(a, "Label", 0, 40, KindLabel, 0);
    SendMessageW(w.window, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(0u, w.host.focusedControl);
    TestWindow empty(200, 100, WS_OVERLAPPED, Bare());
    SendMessageW(empty.window, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(0u, empty.host.focusedControl);
}

TEST_F(InputTest, EnterAndSpaceActivateAnEnabledFocusedControl) {
    Make(a, "A", 20, 20);
    SendMessageW(w.window, HostSetFocus, 0, a.GetHandle());
    EXPECT_EQ(a.GetHandle(), w.host.focusedControl);
    journal.clear();

    SendMessageW(w.window, WM_KEYDOWN, VK_SPACE, 0x390001);
    EXPECT_EQ((Lines{"A 0x100", "A 0x2804", "onClick A 3"}), journal);
    EXPECT_EQ(0u, a.lastWParam);
    EXPECT_EQ(0, a.lastLParam);

    journal.clear();
    a.disabled = 1;  // as if disabled behind the host's back
    SendMessageW(w.window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ((Lines{"A 0x100"}), journal);

    journal.clear();
    a.disabled = 0;
    SendMessageW(w.window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ((Lines{"A 0x100", "A 0x2804", "onClick A 3"}), journal);
}

TEST_F(InputTest, KeyboardMessagesGoToTheFocusedControl) {
    Make(a, "A", 20, 20);
    SendMessageW(w.window, HostSetFocus, 0, a.GetHandle());
    journal.clear();
    SendMessageW(w.window, WM_CHAR, 'x', 0);
    SendMessageW(w.window, WM_KEYUP, 'X', 0);
    SendMessageW(w.window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ((Lines{"A 0x102", "A 0x101", "A 0x20A"}), journal);
}

TEST_F(InputTest, MnemonicsInBothLetterCases) {
    Make(a, "A", 20, 20);
    Make(b, "B", 100, 20);
    SendMessageW(w.window, HostRegisterMnemonic, a.GetHandle(), 'T');
    EXPECT_EQ(1, SendMessageW(w.window, HostRegisterMnemonic, b.GetHandle(), 'T'));

    for (WPARAM typed : {WPARAM('T'), WPARAM('t')}) {
        journal.clear();
        EXPECT_EQ(0, SendMessageW(w.window, WM_SYSCHAR, typed, 0));
        EXPECT_EQ((Lines{"A 0x2804", "onClick A 3"}), journal);
    }
    // A hidden control is skipped: the next record with the key wins.
    a.visible = 0;
    journal.clear();
    SendMessageW(w.window, WM_SYSCHAR, 't', 0);
    EXPECT_EQ((Lines{"B 0x2804", "onClick B 3"}), journal);

    // Key 0 removes a record; another key replaces it.
    SendMessageW(w.window, HostRegisterMnemonic, b.GetHandle(), 0);
    SendMessageW(w.window, HostRegisterMnemonic, a.GetHandle(), 'Q');
    a.visible = 1;
    ASSERT_EQ(1u, w.host.mnemonics.size());
    journal.clear();
    SendMessageW(w.window, WM_SYSCHAR, 't', 0);
    EXPECT_TRUE(journal.empty());
    SendMessageW(w.window, WM_SYSCHAR, 'q', 0);
    EXPECT_EQ((Lines{"A 0x2804", "onClick A 3"}), journal);

    // A destroyed control's record is skipped safely.
    a.Destroy();
    journal.clear();
    SendMessageW(w.window, WM_SYSCHAR, 'q', 0);
    EXPECT_TRUE(journal.empty());
}

struct ZoneCase {
    const char* name;
    int x, y;
    LPCWSTR shape;  // nullptr: no zone
    int zone;
};

class SizingZones : public InputTest, public testing::WithParamInterface<ZoneCase> {
protected:
    SizingZones() : InputTest(1) {}
};

TEST_P(SizingZones, CursorAndSizeCommand) {
    const ZoneCase& c = GetParam();
    // A control everywhere: a zone takes the pointer away from it.
    LoggingControl all;
    all.Make(w.window, "All", 0, 0, 300, 200);
    Mouse(w.window, WM_MOUSEMOVE, 150, 100);
    journal.clear();

    HCURSOR before = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(before);
    Mouse(w.window, WM_MOUSEMOVE, c.x, c.y);
    Mouse(w.window, WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
    if (!c.shape) {
        EXPECT_EQ(before, GetCursor());
        for (const WindowCommand& command : commands) EXPECT_NE(WM_SYSCOMMAND, command.message);
        return;
    }
    EXPECT_EQ(LoadCursorW(nullptr, c.shape), GetCursor());
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(static_cast<UINT>(WM_SYSCOMMAND), commands[0].message);
    EXPECT_EQ(static_cast<WPARAM>(SC_SIZE | c.zone), commands[0].wParam);
    EXPECT_EQ((Lines{"All 0x2803"}), journal);  // no callback, no press
    EXPECT_EQ(0u, w.host.hoveredControl);
    EXPECT_EQ(0, w.host.captureActive);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SizingZones,
    testing::Values(ZoneCase{"Left7", 7, 20, IDC_SIZEWE, WMSZ_LEFT},
                    ZoneCase{"Left8", 8, 20, nullptr, 0},
                    ZoneCase{"Top7", 50, 7, IDC_SIZENS, WMSZ_TOP},
                    ZoneCase{"Top8", 50, 8, nullptr, 0},
                    ZoneCase{"TopLeft", 9, 3, IDC_SIZENWSE, WMSZ_TOPLEFT},
                    ZoneCase{"TopRight", 291, 3, IDC_SIZENESW, WMSZ_TOPRIGHT},
                    ZoneCase{"Right291", 291, 100, IDC_SIZEWE, WMSZ_RIGHT},
                    ZoneCase{"Right290", 290, 100, nullptr, 0},
                    ZoneCase{"Bottom191", 150, 191, IDC_SIZENS, WMSZ_BOTTOM},
                    ZoneCase{"Bottom190", 150, 190, nullptr, 0},
                    ZoneCase{"BottomLeft", 9, 195, IDC_SIZENESW, WMSZ_BOTTOMLEFT},
                    ZoneCase{"BottomRight", 295, 195, IDC_SIZENWSE, WMSZ_BOTTOMRIGHT}),
    [](const testing::TestParamInfo<ZoneCase>& info) { return info.param.name; });

TEST_F(InputTest, NoSizingZonesWhenNotResizableOrMaximised) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    Mouse(w.window, WM_MOUSEMOVE, 3, 100);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());

    TestWindow sizable(300, 200, WS_OVERLAPPED, Bare(1));
    sizable.host.leaveTracking = 1;
    ShowWindow(sizable.window, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(IsZoomed(sizable.window));
    Mouse(sizable.window, WM_MOUSEMOVE, 3, 100);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
}

TEST_F(InputTest, CursorOverControlsAndBackground) {
    Make(a, "A", 20, 20);
    a.Cursor(reinterpret_cast<UINT_PTR>(IDC_HAND));
    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    EXPECT_EQ(1, SendMessageW(w.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.window),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    Mouse(w.window, WM_MOUSEMOVE, 200, 150);
    SendMessageW(w.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(w.host.cursor, GetCursor());
}

TEST_F(InputTest, HitTestPrefersLaterAndDeeperControls) {
    LoggingControl under, over, child, off;
    under.Make(w.window, "Under", 10, 10, 100, 100);
    over.Make(w.window, "Over", 50, 50, 100, 100);
    ControlHandle inner = child.Create(over.GetHandle(), RectF(60, 60, 10, 10), KindLabel, 1);
    off.Make(w.window, "Off", 0, 0, 300, 200);
    off.disabled = 1;
    EXPECT_EQ(under.GetHandle(), w.host.HitTest(20, 20));
    EXPECT_EQ(over.GetHandle(), w.host.HitTest(50, 50));
    EXPECT_EQ(inner, w.host.HitTest(69, 69));
    EXPECT_EQ(over.GetHandle(), w.host.HitTest(70, 70));  // right edge excluded
    over.visible = 0;
    EXPECT_EQ(under.GetHandle(), w.host.HitTest(60, 60));
    EXPECT_EQ(0u, w.host.HitTest(200, 150));
}

TEST_F(InputTest, TooltipFollowsTheHoveredControl) {
    Make(a, "A", 20, 20);
    Make(b, "B", 100, 20);
    a.TipText(L"第一个提示");
    HWND tip = w.host.tooltipWindow;
    ASSERT_TRUE(IsWindow(tip));

    Mouse(w.window, WM_MOUSEMOVE, 30, 30);
    ASSERT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[80] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = w.window;
    info.uId = 0;
    info.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(std::wstring(L"第一个提示"), text);
    EXPECT_EQ(20, info.rect.left);
    EXPECT_EQ(20, info.rect.top);
    EXPECT_EQ(60, info.rect.right);
    EXPECT_EQ(50, info.rect.bottom);

    Mouse(w.window, WM_MOUSEMOVE, 200, 150);  // the background keeps the tool
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    Mouse(w.window, WM_MOUSEMOVE, 110, 30);  // a control without a tip drops it
    EXPECT_EQ(0, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));

    b.TipText(L"即时", true);  // applied at once
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(InputTest, EventsFromAnotherThreadRunOnTheWindowThread) {
    Make(a, "A", 20, 20);
    DWORD windowThread = GetCurrentThreadId();
    a.pressAnswer = 77;
    int answer = 0;
    std::atomic<bool> done{false};
    journal.clear();
    std::thread worker([&] {
        answer = a.SendEvent(EventPressQuery, 5, 6);
        a.PostEvent(EventActivated, 7, 8);
        done = true;
    });
    while (!done) PumpFor(10);
    worker.join();
    EXPECT_EQ(77, answer);
    EXPECT_EQ(windowThread, a.lastThread);
    PumpMessages();
    EXPECT_EQ((Lines{"A 0x280A", "A 0x2804"}), journal);
    EXPECT_EQ(7u, a.lastWParam);

    // Posted to a control destroyed before delivery: dropped, block freed.
    a.PostEvent(EventActivated, 0, 0);
    a.Destroy();
    journal.clear();
    PumpMessages();
    EXPECT_TRUE(journal.empty());
    // A block for handle 0 answers 0.
    EXPECT_EQ(0, SendMessageW(w.window, HostDeliverEvent, 0,
                              reinterpret_cast<LPARAM>(new QueuedEvent{EventActivated, 0, 0})));
}

TEST_F(InputTest, ClassTimersReachTheirControlOnly) {
    Make(a, "A", 20, 20);
    SetTimer(w.window, a.GetHandle(), 10, nullptr);
    journal.clear();
    PumpFor(100);
    KillTimer(w.window, a.GetHandle());
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ("A 0x113", journal.front());
    // A window timer that is no control's passes by without a delivery.
    journal.clear();
    SendMessageW(w.window, WM_TIMER, 1, 0);
    EXPECT_TRUE(journal.empty());
}

TEST_F(InputTest, SetFocusMessageMovesFocusWithoutCallbacks) {
    Make(a, "A", 20, 20);
    LoggingControl caption;
    Make(caption, "Caption", 100, 20, KindCaptionButton);
    SendMessageW(w.window, HostSetFocus, 0, a.GetHandle());
    EXPECT_EQ((Lines{"A 0x2800"}), journal);
    EXPECT_EQ(0u, w.host.focusCueControl);
    SendMessageW(w.window, HostSetFocus, 0, caption.GetHandle());  // never focusable
    EXPECT_EQ(a.GetHandle(), w.host.focusedControl);
}

}  // namespace
