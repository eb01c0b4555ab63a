// Presentation of the canvas: pushes of layered windows per present mode,
// busy hosts, the present message, the fade-in, resizing, and the copy of
// a plain window's canvas on WM_PAINT.
#include <gtest/gtest.h>

#include "painting/PaintingSupport.h"

namespace {

constexpr ARGB Red = 0xFFFF0000;

TEST(Present, AttachPresentsALayeredWindowOnce) {
    LayeredPushCounter pushes;
    TestWindow layered(300, 200, WS_POPUP, PlainOptions(255));
    EXPECT_EQ(1, pushes.count());
    pushes.reset();
    TestWindow plain(300, 200, WS_POPUP, PlainOptions(-1));
    EXPECT_EQ(0, pushes.count());
}

TEST(Present, PresentModesOfASkinRedraw) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255));
    LayeredPushCounter pushes;
    window.host.RedrawSkin(nullptr, 0, std::nullopt, 0);
    EXPECT_EQ(1, pushes.count());
    window.host.RedrawSkin(nullptr, 0, std::nullopt, -1);
    window.host.RedrawSkin(nullptr, 0, std::nullopt, 5);
    EXPECT_EQ(1, pushes.count());
    window.host.RedrawSkin();  // present now when not told otherwise
    EXPECT_EQ(2, pushes.count());
}

TEST(Present, NothingWhileBusyExceptThePresentMessage) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255));
    LayeredPushCounter pushes;
    window.host.busy = 1;
    window.host.Present();
    PresentArea(window.window, &window.host, RectF(0, 0, 10, 10));
    EXPECT_EQ(0, pushes.count());
    SendMessageW(window.window, HostPresent, 0, 0);
    EXPECT_EQ(1, pushes.count());
    window.host.busy = 0;
}

TEST(Present, FadeInBlendsFromTheOldLookInFiveTicks) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255, 7, 0x000000));
    LayeredPushCounter pushes;
    window.host.RedrawSkin(nullptr, 0, 0xFFFFFF, 1);
    EXPECT_EQ(1, window.host.busy);
    ASSERT_NE(nullptr, window.host.fadeDC);
    // The fade surface holds the old, black look.
    EXPECT_EQ(0xFF000000u, DibPixel(window.host.fadeBitmap, 150, 100));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(window.host, 150, 100));
    for (int i = 0; i < 300 && window.host.busy; ++i) PumpFor(10);
    EXPECT_EQ(0, window.host.busy);
    EXPECT_EQ(nullptr, window.host.fadeDC);
    EXPECT_EQ(255, window.host.fadeAlpha);
    EXPECT_EQ(6, pushes.count());  // five blended frames, then the canvas itself
}

// ---- Resizing -----------------------------------------------------------------

int skinRedraws;
int sizeCalls;
void CountSkinRedraw(HWND, GpGraphics*, int, int) { ++skinRedraws; }
void CountSize(HWND, int, int) { ++sizeCalls; }

TEST(Resize, NewSizeRebuildsTheCanvasAndRedrawsTheSkin) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255, 7, 0x336699));
    HostWindow& host = window.host;
    host.SetOnPaint(CountSkinRedraw);
    host.SetOnSize(CountSize);
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 30, 30);
    skinRedraws = sizeCalls = 0;
    LayeredPushCounter pushes;

    SetWindowPos(window.window, nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.OnSize(window.window, SIZE_RESTORED, 0);  // the window procedure may have done it already
    EXPECT_EQ(400, host.size.width);
    EXPECT_EQ(260, host.size.height);
    BITMAP canvas{};
    GetObjectW(host.canvasBitmap, sizeof(canvas), &canvas);
    EXPECT_EQ(400, canvas.bmWidth);
    EXPECT_EQ(260, canvas.bmHeight);
    EXPECT_EQ(1, skinRedraws);
    EXPECT_EQ(1, sizeCalls);
    EXPECT_GE(pushes.count(), 1);
    EXPECT_EQ(0xFF996633u, CanvasPixel(host, 350, 230));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 50, 50));
    SIZE scratch = ScratchSize();
    EXPECT_GE(scratch.cx, 400);
    EXPECT_GE(scratch.cy, 260);

    // The same size again (as after restoring from minimised) and a
    // minimise change nothing.
    host.OnSize(window.window, SIZE_RESTORED, 0);
    host.OnSize(window.window, SIZE_MINIMIZED, 0);
    EXPECT_EQ(1, skinRedraws);
    EXPECT_EQ(1, sizeCalls);

    // Repaints after the resize go to the new canvas.
    control.Move(300, 200);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 310, 210));
    EXPECT_EQ(0xFF996633u, CanvasPixel(host, 50, 50));
}

// ---- A plain window ----------------------------------------------------------

TEST(PlainWindow, PaintCopiesTheCanvasToTheWindow) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(-1, 7, 0x336699));
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    ShowWindow(window.window, SW_SHOWNOACTIVATE);
    InvalidateRect(window.window, nullptr, FALSE);
    UpdateWindow(window.window);
    PumpFor(50);
    HDC screen = GetDC(window.window);
    EXPECT_EQ(RGB(0x99, 0x66, 0x33) & 0xF0F0F0, GetPixel(screen, 150, 150) & 0xF0F0F0);
    EXPECT_EQ(RGB(255, 0, 0) & 0xF0F0F0, GetPixel(screen, 50, 50) & 0xF0F0F0);
    ReleaseDC(window.window, screen);
}

}  // namespace
