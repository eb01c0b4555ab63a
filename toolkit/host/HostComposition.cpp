// Composition and presentation: the skin backdrop, recomposing rectangles
// of the canvas, and pushing the canvas to the screen.
#include "toolkit/host/HostWindow.h"

int HostWindow::RedrawSkin(const unsigned char*, size_t, std::optional<COLORREF>,
                           std::optional<int>, bool) {
    return 1;
}

void HostWindow::Present(std::optional<RectF>) {}

void HostWindow::QueueRepaint(const RectF&, int) {}

void HostWindow::OnSize(HWND, WPARAM, LPARAM) {}

LRESULT HostWindow::OnInvalidateMessage(WPARAM wParam, LPARAM lParam) {
    // A posted invalidation carries a copy of the rectangle for the host.
    if (wParam == 1) delete reinterpret_cast<RectF*>(lParam);
    return 0;
}

LRESULT HostWindow::OnMovedMessage(WPARAM, LPARAM) { return busy ? 0 : 1; }

LRESULT HostWindow::OnPresentMessage(WPARAM, LPARAM) { return 0; }

void HostWindow::OnPaintMessage() {}
