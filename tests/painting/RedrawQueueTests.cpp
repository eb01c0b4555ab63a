// The host's redraw queue on real windows: bursts of invalidations and
// pushes to the layered window, the order of rebuilds inside a drain,
// re-entrant messages, busy hosts, and control methods called from another
// thread.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "painting/PaintingSupport.h"

namespace {

constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Blue = 0xFF0000FF;

// A layered host laid out with a row of ten controls.
class QueueTest : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 10; ++i) {
            controls.push_back(std::make_unique<SolidControl>(Red));
            controls.back()->Make(window.window, 10.0f + 28 * i, 40, 25, 20);
        }
        PumpMessages();
    }
    TestWindow window{320, 200, WS_POPUP, PlainOptions(255, 7, 0xFFFFFF)};
    HostWindow& host = window.host;
    std::vector<std::unique_ptr<SolidControl>> controls;
};

TEST_F(QueueTest, BurstOfPostedInvalidationsCostsOnePush) {
    LayeredPushCounter pushes;
    for (auto& control : controls) {
        control->color = Blue;
        control->Paint(0);  // new look on the surface only
        control->Invalidate();
    }
    EXPECT_EQ(0, pushes.count());
    PumpMessages();
    EXPECT_EQ(1, pushes.count());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 20 + 28 * i, 50));
    PumpMessages();
    EXPECT_EQ(1, pushes.count());  // nothing owed any more
}

TEST_F(QueueTest, PaintsOfOneHandlerCostOnePush) {
    LayeredPushCounter pushes;
    for (auto& control : controls) {
        control->color = Blue;
        control->Redraw();
    }
    // The canvas is up to date at once; the window gets it in one piece.
    for (int i = 0; i < 10; ++i) EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 20 + 28 * i, 50));
    EXPECT_EQ(0, pushes.count());
    PumpMessages();
    EXPECT_EQ(1, pushes.count());
}

TEST_F(QueueTest, ImmediateModeRepaintsAtOnce) {
    LayeredPushCounter pushes;
    SolidControl& first = *controls[0];
    first.color = Blue;
    first.Paint(0);
    host.QueueRepaint(first.bounds, RepaintNow);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 20, 50));
    PumpMessages();
    EXPECT_EQ(1, pushes.count());
}

TEST(QueuePlainWindow, EachRectangleGoesToTheWindowAndNothingIsPushed) {
    TestWindow window(320, 200, WS_POPUP, PlainOptions(-1));
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    LayeredPushCounter pushes;
    control.color = Blue;
    control.Redraw();
    control.Invalidate();
    PumpMessages();
    EXPECT_EQ(0, pushes.count());
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 70, 55));
    EXPECT_FALSE(window.host.redrawQueue.presentPosted);
}

// Order of rebuilds inside one drain: every control is disabled, so it is
// asked for its disabled look exactly when a rebuild composes it.
std::vector<char> rebuilt;
SolidControl* queueTargets[4];
HostWindow* queueHost;

void RecordA(SolidControl&) { rebuilt.push_back('A'); }
void RecordB(SolidControl&) { rebuilt.push_back('B'); }
void RecordC(SolidControl&) { rebuilt.push_back('C'); }
void RecordD(SolidControl&) { rebuilt.push_back('D'); }

// While the trigger is composed, it adds B and C at the end, D in front
// and A for at once; an unknown mode adds nothing.
void TriggerAdds(SolidControl& trigger) {
    rebuilt.push_back('T');
    if (trigger.lookQueries > 1) return;
    queueHost->QueueRepaint(queueTargets[1]->bounds, RepaintQueued);
    queueHost->QueueRepaint(queueTargets[2]->bounds, RepaintQueued);
    queueHost->QueueRepaint(queueTargets[3]->bounds, RepaintFirst);
    queueHost->QueueRepaint(queueTargets[0]->bounds, RepaintNow);
    queueHost->QueueRepaint(queueTargets[0]->bounds, 7);
    EXPECT_FALSE(queueHost->redrawQueue.IsIdle());
}

TEST_F(QueueTest, AddsDuringADrainAreTakenByItInOrder) {
    void (*recorders[4])(SolidControl&) = {RecordA, RecordB, RecordC, RecordD};
    for (int i = 0; i < 4; ++i) {
        queueTargets[i] = controls[i + 1].get();
        queueTargets[i]->onLookQuery = recorders[i];
    }
    controls[0]->onLookQuery = TriggerAdds;
    queueHost = &host;
    for (auto& control : controls) control->Disabled(1);
    PumpMessages();
    rebuilt.clear();
    for (auto& control : controls) control->lookQueries = 0;

    LayeredPushCounter pushes;
    host.QueueRepaint(controls[0]->bounds, RepaintQueued);
    // The immediate one goes next, the one put first before the appended
    // ones, and the appended ones in the order they came.
    EXPECT_EQ((std::vector<char>{'T', 'A', 'D', 'B', 'C'}), rebuilt);
    EXPECT_TRUE(host.redrawQueue.IsIdle());
    EXPECT_TRUE(host.redrawQueue.pending.empty());
    PumpMessages();
    EXPECT_EQ(1, pushes.count());
}

TEST_F(QueueTest, UnknownModeQueuesNothingButDrains) {
    SolidControl& first = *controls[0];
    first.color = Blue;
    first.Paint(0);
    host.redrawQueue.pending.push_back({first.bounds, RepaintQueued});
    host.QueueRepaint(controls[5]->bounds, 9);
    EXPECT_TRUE(host.redrawQueue.pending.empty());
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 20, 50));
}

TEST_F(QueueTest, BusyHostEmptiesTheQueueWithoutDrawingOrPushing) {
    LayeredPushCounter pushes;
    SolidControl& first = *controls[0];
    first.color = Blue;
    first.Paint(0);
    host.busy = 1;
    host.QueueRepaint(first.bounds, RepaintQueued);
    host.QueueRepaint(first.bounds, RepaintNow);
    EXPECT_TRUE(host.redrawQueue.pending.empty());
    PumpMessages();
    host.busy = 0;
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 20, 50));
    EXPECT_EQ(0, pushes.count());
}

TEST_F(QueueTest, ClearDropsPendingRectanglesAndTheOwedPush) {
    LayeredPushCounter pushes;
    SolidControl& first = *controls[0];
    first.color = Blue;
    first.Paint(0);
    host.redrawQueue.pending.push_back({first.bounds, RepaintQueued});
    host.redrawQueue.Clear();
    EXPECT_TRUE(host.redrawQueue.pending.empty());
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 20, 50));

    first.Invalidate();
    PumpMessages();  // rebuilds; its push is posted and pushed
    EXPECT_EQ(1, pushes.count());
}

// ---- Messages handed on to the previous window procedure ------------------------

struct HandedOn {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<HandedOn> handedOn;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HostInvalidate || message == HostPresent)
        handedOn.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

SolidControl* nestedSender;
// While composed, a class finishes a paint of another control: an
// invalidation sent to the window from inside a drain.
void SendFromInsideTheDrain(SolidControl& control) {
    if (control.lookQueries > 1) return;
    SendMessageW(control.hostWindow, HostInvalidate, RepaintQueued,
                 reinterpret_cast<LPARAM>(&nestedSender->bounds));
}

TEST(QueueHandOn, InvalidationFromInsideADrainIsHandedOnWithoutWaiting) {
    TestWindow window(320, 200, WS_POPUP, AttachOptions(), false);
    SetWindowLongPtrW(window.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
    ASSERT_EQ(1, window.host.Attach(window.window, PlainOptions(255)));
    SolidControl outer(Red), inner(Blue);
    outer.Make(window.window, 20, 20, 30, 30);
    inner.Make(window.window, 100, 20, 30, 30);
    outer.Disabled(1);
    inner.Disabled(1);
    PumpMessages();
    outer.lookQueries = inner.lookQueries = 0;
    nestedSender = &inner;
    outer.onLookQuery = SendFromInsideTheDrain;
    handedOn.clear();

    SendMessageW(window.window, HostInvalidate, RepaintQueued,
                 reinterpret_cast<LPARAM>(&outer.bounds));
    // The nested invalidation went on at once, inside the outer one; the
    // same drain rebuilt its rectangle.
    ASSERT_EQ(2u, handedOn.size());
    EXPECT_EQ(reinterpret_cast<LPARAM>(&inner.bounds), handedOn[0].lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&outer.bounds), handedOn[1].lParam);
    EXPECT_EQ(1, inner.lookQueries);
    EXPECT_TRUE(window.host.redrawQueue.IsIdle());

    // An immediate invalidation carries the host's own copy and stops at
    // the host.
    handedOn.clear();
    outer.Invalidate();
    PumpMessages();
    for (const HandedOn& message : handedOn) EXPECT_NE(static_cast<UINT>(HostInvalidate), message.message);
}

// ---- Other threads and busy hosts ------------------------------------------------

TEST_F(QueueTest, ControlMethodsFromAnotherThreadRepaintOnTheHostThread) {
    SolidControl& control = *controls[0];
    const DWORD hostThread = GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        control.color = Blue;
        control.Redraw();                  // sent: paints on the host thread
        control.Move(10, 100);             // sent: both rectangles repainted
        controls[1]->Visible(0);           // sent event, posted invalidation
        controls[2]->Invalidate();         // posted
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages();
    }
    worker.join();
    PumpMessages();
    EXPECT_EQ(hostThread, control.paintThread);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 20, 110));  // at its new place
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 20, 50));   // its old place is bare skin
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 50, 50));   // the hidden one is gone
}

TEST_F(QueueTest, MoveFromTheHostThreadWhileBusyDoesNotHang) {
    SolidControl& control = *controls[0];
    host.busy = 1;
    control.Move(10, 100);  // the refusal would be retried forever
    host.busy = 0;
    EXPECT_EQ(100.0f, control.bounds.Y);
    EXPECT_EQ(EventMoved, control.events.back());
}

TEST_F(QueueTest, MoveRepaintsBothRectanglesWithOnePush) {
    LayeredPushCounter pushes;
    SolidControl& control = *controls[0];
    control.Move(10, 100);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 20, 110));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 20, 50));
    EXPECT_EQ(1, pushes.count());
}

}  // namespace
