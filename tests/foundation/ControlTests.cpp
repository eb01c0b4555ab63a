// The control base on real hosts: creation, event delivery and bindings,
// sibling lists, moving with descendants, and destruction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestWindow.h"
#include "toolkit/controls/Control.h"

namespace {

// A control that records every event its class receives.
// Test controls live on the stack and die before their window: they
// leave the host's lists as they go.
class Recorder : public Control {
public:
    ~Recorder() override { Destroy(); }
    int HandleEvent(ControlHandle, UINT event, WPARAM wParam, LPARAM lParam) override {
        events.push_back(event);
        lastWParam = wParam;
        lastLParam = lParam;
        return answer;
    }
    std::vector<UINT> events;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    int answer = -1;
};

struct BindingCall {
    ControlHandle parent;
    ControlHandle control;
    UINT event;
    WPARAM wParam;
};
std::vector<BindingCall> calls;
void RecordFirst(ControlHandle parent, ControlHandle control, UINT event, WPARAM wParam, LPARAM) {
    calls.push_back({parent, control, event, wParam});
}
void RecordSecond(ControlHandle, ControlHandle, UINT event, WPARAM, LPARAM) {
    calls.push_back({0, 0, event + 100000, 0});
}

RectF Rect(float x, float y, float w, float h) { return RectF(x, y, w, h); }

std::vector<ControlHandle> HostList(const HostWindow& host) {
    std::vector<ControlHandle> list;
    for (ControlHandle h = host.firstControl; h; h = ControlFromHandle(h)->nextSibling)
        list.push_back(h);
    return list;
}

std::vector<ControlHandle> HostListBackwards(const HostWindow& host) {
    std::vector<ControlHandle> list;
    for (ControlHandle h = host.lastControl; h; h = ControlFromHandle(h)->prevSibling)
        list.insert(list.begin(), h);
    return list;
}

// A host without caption controls, so its list holds only a test's own.
AttachOptions NoCaption() {
    AttachOptions options;
    options.captionFlags = 0;
    return options;
}

class ControlTest : public testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    TestWindow window{300, 200, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, NoCaption()};
};

TEST_F(ControlTest, CreateLinksIntoHostAndDeliversCreatedThenPaint) {
    Recorder a, b;
    ControlHandle ha = a.Create(window.parent(), Rect(1, 2, 30, 20), KindLabel, 1);
    ControlHandle hb = b.Create(window.parent(), Rect(5, 6, 7, 8), KindLabel);
    ASSERT_NE(ha, 0u);
    EXPECT_EQ(ha, a.Self());
    EXPECT_EQ((std::vector<UINT>{EventCreated, EventPaint}), a.events);
    EXPECT_EQ(&window.host, a.host);
    EXPECT_EQ(1, a.visible);
    EXPECT_EQ(0, b.visible);  // visible defaults to 0
    EXPECT_EQ(1, b.focusable);
    EXPECT_EQ((std::vector<ControlHandle>{ha, hb}), HostList(window.host));
    EXPECT_EQ(HostList(window.host), HostListBackwards(window.host));

    UINT width = 0, height = 0;
    GdipGetImageWidth(a.surface.get(), &width);
    GdipGetImageHeight(a.surface.get(), &height);
    EXPECT_EQ(30u, width);
    EXPECT_EQ(20u, height);

    // A second Create through the same handle creates nothing new.
    EXPECT_EQ(ha, a.Create(window.parent(), Rect(0, 0, 1, 1), KindLabel));
    EXPECT_EQ(2u, a.events.size());
    EXPECT_EQ(1.0f, a.bounds.X);
}

TEST_F(ControlTest, NoSurfaceKindGetsOnePixelSurface) {
    Recorder a;
    a.Create(window.parent(), Rect(0, 0, 50, 40), KindNoSurface);
    UINT width = 0, height = 0;
    GdipGetImageWidth(a.surface.get(), &width);
    GdipGetImageHeight(a.surface.get(), &height);
    EXPECT_EQ(1u, width);
    EXPECT_EQ(1u, height);
}

TEST_F(ControlTest, CreateUnderUnattachedWindowOrBadParentFails) {
    TestWindow plain(100, 100, WS_OVERLAPPED, AttachOptions(), false);
    Recorder a;
    EXPECT_EQ(0u, a.Create(plain.parent(), Rect(0, 0, 10, 10), KindLabel));
    EXPECT_EQ(0u, a.GetHandle());
    a.Destroy();  // harmless on a control that never came to life
    EXPECT_EQ(0u, plain.host.firstControl);
}

TEST_F(ControlTest, ChildrenLiveInTheirParentsList) {
    Recorder parent, child1, child2;
    ControlHandle hp = parent.Create(window.parent(), Rect(10, 10, 100, 100), KindLabel);
    ControlHandle h1 = child1.Create(hp, Rect(20, 20, 10, 10), KindLabel);
    ControlHandle h2 = child2.Create(hp, Rect(30, 30, 10, 10), KindLabel);
    EXPECT_EQ(hp, child1.GetParent());
    EXPECT_EQ(window.window, child1.GetHostWindow());
    EXPECT_EQ(&window.host, child2.host);
    EXPECT_EQ(h1, parent.firstChild);
    EXPECT_EQ(h2, parent.lastChild);
    EXPECT_EQ((std::vector<ControlHandle>{hp}), HostList(window.host));
}

TEST_F(ControlTest, DispatchCallsClassThenFirstMatchingBindingOnly) {
    Recorder a;
    ControlHandle ha = a.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    a.answer = 7;
    a.BindEvent(EventActivated, RecordFirst);
    a.BindEvent(WM_LBUTTONDBLCLK, RecordFirst);
    a.BindEvent(WM_LBUTTONDOWN, RecordSecond);

    EXPECT_EQ(7, Dispatch(ha, EventActivated, 3, 4));
    EXPECT_EQ(EventActivated, a.events.back());
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(0u, calls[0].parent);
    EXPECT_EQ(ha, calls[0].control);

    // A button-down with the double-click marker matches the double-click
    // binding, which comes first; a plain button-down does not.
    calls.clear();
    Dispatch(ha, WM_LBUTTONDOWN, DoubleClickMarker, 0);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), calls[0].event);
    EXPECT_EQ(DoubleClickMarker, calls[0].wParam);
    calls.clear();
    Dispatch(ha, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(WM_LBUTTONDOWN + 100000u, calls[0].event);

    // Rebinding a code replaces its callback in place.
    calls.clear();
    a.BindEvent(EventActivated, RecordSecond);
    EXPECT_EQ(3u, a.eventBindings.size());
    Dispatch(ha, EventActivated, 0, 0);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(EventActivated + 100000u, calls[0].event);

    EXPECT_EQ(0, Dispatch(0, EventActivated, 0, 0));
}

TEST_F(ControlTest, BindingOfChildReceivesParentHandle) {
    Recorder parent, child;
    ControlHandle hp = parent.Create(window.parent(), Rect(0, 0, 50, 50), KindLabel);
    ControlHandle hc = child.Create(hp, Rect(0, 0, 10, 10), KindLabel);
    child.BindEvent(EventActivated, RecordFirst);
    Dispatch(hc, EventActivated, 0, 0);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(hp, calls[0].parent);
    EXPECT_EQ(hc, calls[0].control);
}

TEST_F(ControlTest, EventsSentThroughTheHostReachTheClass) {
    Recorder a;
    a.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    a.answer = 42;
    EXPECT_EQ(42, a.SendEvent(EventPressQuery, 5, 6));
    EXPECT_EQ(5u, a.lastWParam);
    a.events.clear();
    a.PostEvent(EventMouseLeft, 0, 0);
    EXPECT_TRUE(a.events.empty());  // posted: arrives later
    PumpMessages();
    EXPECT_EQ((std::vector<UINT>{EventMouseLeft}), a.events);
}

struct MoveCase {
    RectF parentStart;
    int x, y;
    float expectedChildX, expectedChildY;
};

class MoveTest : public ControlTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveTest, MovingShiftsAllDescendantsByWholePixels) {
    const MoveCase& c = GetParam();
    Recorder parent, child, grandchild;
    ControlHandle hp = parent.Create(window.parent(), c.parentStart, KindLabel);
    ControlHandle hc = child.Create(hp, Rect(50, 60, 10, 10), KindLabel);
    grandchild.Create(hc, Rect(52, 62, 4, 4), KindLabel);
    parent.Move(c.x, c.y);
    EXPECT_EQ(static_cast<float>(c.x), parent.bounds.X);
    EXPECT_EQ(c.expectedChildX, child.bounds.X);
    EXPECT_EQ(c.expectedChildY, child.bounds.Y);
    EXPECT_EQ(c.expectedChildX + 2, grandchild.bounds.X);
    EXPECT_EQ(c.expectedChildY + 2, grandchild.bounds.Y);
    EXPECT_FLOAT_EQ(c.parentStart.X, parent.previousBounds.X);
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, MoveTest,
    testing::Values(MoveCase{RectF(10, 20, 100, 100), 15, 23, 55, 63},
                    // 11 - 10.4 = 0.6 truncates to no shift in x; y is
                    // taken as the truncated current 20 and does not move.
                    MoveCase{RectF(10.4f, 20, 100, 100), 11, 20, 50, 60},
                    MoveCase{RectF(10, 20, 100, 100), 7, 18, 47, 58}));

TEST_F(ControlTest, ResizeRebuildsSurfaceAndSendsResizedThenPaint) {
    Recorder a;
    a.Create(window.parent(), Rect(0, 0, 40, 20), KindLabel);
    GpBitmap* before = a.surface.get();
    a.events.clear();
    a.Width(40);  // same width: nothing
    EXPECT_TRUE(a.events.empty());
    EXPECT_EQ(before, a.surface.get());

    a.Width(60);
    // The host tells the control it moved once it has taken the move.
    EXPECT_EQ((std::vector<UINT>{EventResized, EventPaint, EventMoved}), a.events);
    UINT width = 0;
    GdipGetImageWidth(a.surface.get(), &width);
    EXPECT_EQ(60u, width);
    EXPECT_EQ(60.0f, a.Width());

    a.events.clear();
    a.Left(5);  // a move without a size change rebuilds nothing
    EXPECT_EQ((std::vector<UINT>{EventMoved}), a.events);
    EXPECT_EQ(5.0f, a.bounds.X);
}

TEST_F(ControlTest, ZOrderAndSetParentKeepListsConsistent) {
    Recorder a, b, c;
    ControlHandle ha = a.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    ControlHandle hb = b.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    ControlHandle hc = c.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);

    c.ZOrder(2);  // to the bottom: painted first
    EXPECT_EQ((std::vector<ControlHandle>{hc, ha, hb}), HostList(window.host));
    EXPECT_EQ(HostList(window.host), HostListBackwards(window.host));
    c.ZOrder();  // to the top
    EXPECT_EQ((std::vector<ControlHandle>{ha, hb, hc}), HostList(window.host));
    EXPECT_EQ(HostList(window.host), HostListBackwards(window.host));

    b.SetParent(ha);
    EXPECT_EQ((std::vector<ControlHandle>{ha, hc}), HostList(window.host));
    EXPECT_EQ(hb, a.firstChild);
    EXPECT_EQ(hb, a.lastChild);
    b.ZOrder(2);  // the only child stays first and last
    EXPECT_EQ(hb, a.firstChild);
    EXPECT_EQ(hb, a.lastChild);
    b.SetParent(0);
    EXPECT_EQ((std::vector<ControlHandle>{ha, hc, hb}), HostList(window.host));
    EXPECT_EQ(0u, a.firstChild);
    EXPECT_EQ(0u, a.lastChild);

    b.Unlink();
    b.Unlink();  // not in the list any more: only its own links are cleared
    EXPECT_EQ((std::vector<ControlHandle>{ha, hc}), HostList(window.host));
    EXPECT_EQ(HostList(window.host), HostListBackwards(window.host));
}

TEST_F(ControlTest, DestroyClearsHostStateAndDestroysChildrenFirst) {
    Recorder parent, child, other;
    ControlHandle hp = parent.Create(window.parent(), Rect(0, 0, 50, 50), KindLabel);
    ControlHandle hc = child.Create(hp, Rect(0, 0, 10, 10), KindLabel);
    ControlHandle ho = other.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    window.host.focusedControl = hp;
    window.host.hoveredControl = hp;
    window.host.capturedControl = hp;
    window.host.captureActive = 1;
    window.host.focusCueControl = hp;
    std::vector<UINT>* childEvents = &child.events;
    child.events.clear();
    parent.events.clear();

    parent.Destroy();
    EXPECT_EQ(EventDestroyed, childEvents->back());
    EXPECT_EQ(EventDestroyed, parent.events.back());
    EXPECT_EQ(0u, parent.GetHandle());
    EXPECT_EQ(0u, child.GetHandle());
    EXPECT_EQ(0u, window.host.focusedControl);
    EXPECT_EQ(0u, window.host.hoveredControl);
    EXPECT_EQ(0u, window.host.capturedControl);
    EXPECT_EQ(0, window.host.captureActive);
    EXPECT_EQ(0u, window.host.focusCueControl);
    EXPECT_EQ((std::vector<ControlHandle>{ho}), HostList(window.host));
    EXPECT_EQ(nullptr, parent.surface.get());
    (void)hc;

    // A destroyed control can be created again.
    EXPECT_EQ(hp, parent.Create(window.parent(), Rect(0, 0, 5, 5), KindLabel));
    EXPECT_EQ((std::vector<ControlHandle>{ho, hp}), HostList(window.host));
}

TEST_F(ControlTest, VisibleAndDisabledActOnlyOnChange) {
    Recorder a;
    ControlHandle ha = a.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel, 1);
    a.events.clear();
    a.Visible(1);
    PumpMessages();
    EXPECT_TRUE(a.events.empty());
    a.Visible(0);
    EXPECT_EQ((std::vector<UINT>{EventHidden}), a.events);

    a.events.clear();
    window.host.focusedControl = ha;
    a.Disabled(1);
    EXPECT_EQ(0u, window.host.focusedControl);
    PumpMessages();
    EXPECT_EQ((std::vector<UINT>{EventFocusLost, EventMouseLeft}), a.events);
    a.events.clear();
    a.Disabled(1);
    PumpMessages();
    EXPECT_TRUE(a.events.empty());
}

TEST_F(ControlTest, IsFocusedAsksTheClassFirst) {
    Recorder a;
    ControlHandle ha = a.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    EXPECT_FALSE(a.IsFocused());
    window.host.focusedControl = ha;
    EXPECT_TRUE(a.IsFocused());
    a.answer = 0;
    EXPECT_FALSE(a.IsFocused());
    window.host.focusedControl = 0;
}

DWORD seenThread = 0;

class ThreadRecorder : public Control {
public:
    ~ThreadRecorder() override { Destroy(); }
    int HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) override {
        if (event == EventPressQuery) seenThread = GetCurrentThreadId();
        return 3;
    }
};

struct ThreadJob {
    ThreadRecorder* control;
    int answer;
};

DWORD WINAPI CallFromWorker(LPVOID parameter) {
    auto* job = static_cast<ThreadJob*>(parameter);
    job->answer = job->control->SendEvent(EventPressQuery, 0, 0);
    job->control->Move(4, 5);
    return 0;
}

TEST_F(ControlTest, ControlMethodsFromAnotherThreadRunOnTheHostThread) {
    DWORD hostThread = GetCurrentThreadId();
    ThreadRecorder b;
    b.Create(window.parent(), Rect(0, 0, 10, 10), KindLabel);
    ThreadJob job{&b, 0};
    HANDLE thread = CreateThread(nullptr, 0, CallFromWorker, &job, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        PumpMessages();
    CloseHandle(thread);
    EXPECT_EQ(3, job.answer);
    EXPECT_EQ(hostThread, seenThread);
    EXPECT_EQ(4.0f, b.bounds.X);
}

TEST_F(ControlTest, TeardownDestroysControlsAndDetaches) {
    Recorder a;
    TestWindow other(120, 80, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, NoCaption());
    WNDPROC before = other.host.previousWindowProc;
    ASSERT_NE(nullptr, before);
    a.Create(other.parent(), Rect(0, 0, 10, 10), KindLabel);
    EXPECT_EQ(0, other.host.Attach(other.window));  // already attached
    DestroyWindow(other.window);
    EXPECT_EQ(nullptr, GetPropW(other.window, HostProperty));
    EXPECT_EQ(0u, other.host.firstControl);
    EXPECT_EQ(0u, other.host.lastControl);
    EXPECT_EQ(0u, a.GetHandle());
    EXPECT_EQ(EventDestroyed, a.events.back());
}

}  // namespace
