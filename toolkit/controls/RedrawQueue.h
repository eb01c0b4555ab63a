// RedrawQueue: batches the screen updates of one host window.
//
// When a control's surface changes, the rectangle it covers on the host's
// canvas is rebuilt from the backdrop and the control surfaces over it
// (RepaintArea). The queue collects such rectangles and rebuilds them in
// order; rectangles added while a drain runs are taken by the same drain.
//
// A plain window gets each rectangle copied to the screen right after it is
// rebuilt. A layered window is always updated whole, so the queue pushes
// its canvas once for a whole burst of rebuilds: a drain that rebuilt
// something posts one HostPresent (wParam QueuedPresentMarker) to the
// window, unless one is already on its way, and the host pushes the canvas
// when that message arrives. Invalidations posted together, and the paints
// of one handler, therefore cost a single UpdateLayeredWindow, and the
// canvas itself is always up to date at once.
//
// Each HostWindow owns one queue (redrawQueue); every call comes from the
// host window's thread. flushing is a re-entrancy guard, not a lock: code
// that runs inside a rebuild and adds rectangles does not start a second
// drain. A drain runs to its end inside the call that started it, so the
// queue can only be busy while that thread is inside it; the window
// procedure therefore never waits for IsIdle before handing a message on
// (it would wait forever). A message that arrives from inside a drain -- a
// class sending to its window while it is composed -- is handed on at
// once, nested in the message that started the drain, as any message a
// window procedure sends to its own window; nothing is held back, so no
// message can overtake one still waiting, and the previous procedure sees
// every message in the order the host handles them.
#pragma once

#include <deque>

#include "toolkit/Gdip.h"

// How an invalidation is queued (the wParam of HostInvalidate).
enum RepaintMode : int {
    RepaintQueued = 0,  // append: a control that finished painting
    RepaintNow = 1,     // rebuild at once: an explicit Invalidate
    RepaintFirst = 2,   // put before everything pending
};

class RedrawQueue {
public:
    struct Entry {
        RectF rect;
        int mode;
    };

    void Init(HWND window, UINT_PTR host, GpGraphics* graphics);
    // Drops everything pending (and a push still to come).
    void Clear();
    // Queues rect by mode, then drains unless a drain is running already.
    // Other modes queue nothing but still drain.
    void Add(const RectF& rect, int mode);
    bool IsIdle() const { return !flushing; }
    void Flush();

    // The host received the queue's own HostPresent.
    void OnPresentMessage();
    // The canvas reached the screen: no push is owed any more.
    void CanvasPushed() { presentDue = false; }

    HWND window = nullptr;
    UINT_PTR host = 0;
    GpGraphics* graphics = nullptr;
    std::deque<Entry> pending;
    bool flushing = false;
    bool presentDue = false;     // rebuilt on the canvas, not yet pushed
    bool presentPosted = false;  // our HostPresent is waiting in the window's queue

private:
    void Rebuild(const RectF& rect);
    void SchedulePresent();
};
