#include "toolkit/controls/RedrawQueue.h"

#include "toolkit/controls/Painting.h"
#include "toolkit/host/HostWindow.h"

void RedrawQueue::Init(HWND hostWindow, UINT_PTR hostHandle, GpGraphics* canvasGraphics) {
    // A new window starts clean: a push posted to the old one died with it.
    if (hostWindow != window) Clear();
    window = hostWindow;
    host = hostHandle;
    graphics = canvasGraphics;
}

void RedrawQueue::Clear() {
    pending.clear();
    flushing = false;
    presentDue = false;
    presentPosted = false;
}

void RedrawQueue::Add(const RectF& rect, int mode) {
    switch (mode) {
    case RepaintQueued:
        pending.push_back(Entry{rect, mode});
        break;
    case RepaintNow:
        if (flushing) {
            // Asked from inside a drain (a class that is being composed):
            // "at once" means next, before everything pending; the rebuild
            // under way is never cut into.
            pending.push_front(Entry{rect, mode});
        } else {
            flushing = true;  // what the rebuild adds waits for the drain below
            Rebuild(rect);
            flushing = false;
        }
        break;
    case RepaintFirst:
        pending.push_front(Entry{rect, mode});
        break;
    default:
        break;
    }
    if (!flushing) Flush();
}

void RedrawQueue::Flush() {
    flushing = true;
    while (!pending.empty()) {
        // Taken off before rebuilding: a RepaintFirst added by code running
        // inside the rebuild goes in front of the rest and is next.
        Entry entry = pending.front();
        pending.pop_front();
        Rebuild(entry.rect);
    }
    if (presentDue) SchedulePresent();
    flushing = false;
}

void RedrawQueue::Rebuild(const RectF& rect) {
    auto* owner = reinterpret_cast<HostWindow*>(host);
    if (!owner) return;
    bool presentEach = owner->windowAlpha == -1;
    RepaintArea(window, rect, owner, graphics, presentEach);
    if (!presentEach && !owner->busy) presentDue = true;
}

void RedrawQueue::SchedulePresent() {
    if (presentPosted) return;
    presentPosted = PostMessageW(window, HostPresent, QueuedPresentMarker, 0) != 0;
    if (presentPosted) return;
    // The window's queue is full or gone: push now rather than never.
    auto* owner = reinterpret_cast<HostWindow*>(host);
    if (owner && !owner->busy) PushCanvas(*owner);
}

void RedrawQueue::OnPresentMessage() {
    presentPosted = false;
    auto* owner = reinterpret_cast<HostWindow*>(host);
    if (presentDue && owner && !owner->busy) PushCanvas(*owner);
}
