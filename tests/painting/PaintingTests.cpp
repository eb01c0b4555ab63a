// Control painting and composition on real hosts: what a paint leaves on
// the host's canvas, disabled controls, the dirty rectangle, and the
// cross-fade and slide transitions frame by frame.
#include <gtest/gtest.h>

#include <cstdlib>

#include "painting/PaintingSupport.h"

namespace {

constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Blue = 0xFF0000FF;
constexpr ARGB Green = 0xFF00FF00;

bool Near(int a, int b, int tolerance = 2) { return std::abs(a - b) <= tolerance; }

// A layered host with a white opaque skin: composed colours land as they are.
class PaintingTest : public testing::Test {
protected:
    TestWindow window{300, 200, WS_POPUP, PlainOptions(255, 7, 0xFFFFFF)};
    HostWindow& host = window.host;
};

// A host whose canvas stays transparent under the controls (image frame
// without an image, hence no clip either): a control's opacity is the
// alpha read back.
class TransparentHostTest : public testing::Test {
protected:
    TestWindow window{300, 200, WS_POPUP, PlainOptions(255, 1)};
    HostWindow& host = window.host;
};

TEST_F(PaintingTest, PaintOfAVisibleControlLandsOnTheCanvas) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 41, 41));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 99, 69));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 100, 69));  // the skin next to it
    EXPECT_EQ(GetCurrentThreadId(), control.paintThread);

    control.color = Blue;
    control.Redraw();
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 70, 55));
}

TEST_F(PaintingTest, HiddenControlIsNotComposed) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30, 0);
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 55));
    control.Visible(1);
    PumpMessages();
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 70, 55));
    control.Visible(0);
    PumpMessages();
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 55));
}

TEST_F(PaintingTest, PaintWithoutCommitOnlyRedrawsTheSurface) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    control.color = Blue;
    control.Paint(0);
    ARGB surfacePixel = 0;
    GdipBitmapGetPixel(control.surface.get(), 5, 5, &surfacePixel);
    EXPECT_EQ(Blue, surfacePixel);
    PumpMessages();
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 70, 55));  // the screen keeps the old look
}

TEST_F(PaintingTest, CommittedPaintClearsOnlyItsRectangle) {
    // A committed paint of part of the surface clears that part first and
    // leaves the rest as it was.
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    PaintContext context;
    ASSERT_TRUE(BeginSurfacePaint(control, context, RectF(0, 0, 30, 30), 1));
    EndSurfacePaint(control, context);
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 45, 55));  // cleared: the skin shows
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 85, 55));
}

TEST_F(PaintingTest, SuspendedRefreshKeepsTheOldLookUntilRepainted) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    control.SuspendRefresh();
    control.color = Blue;
    control.Redraw();
    PumpMessages();
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 70, 55));
    RepaintArea(window.window, control.bounds, &host, host.canvasGraphics, false);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 70, 55));
}

TEST(PaintingWithoutHost, BeginFailsForAControlThatWasNeverCreated) {
    SolidControl control;
    PaintContext context;
    EXPECT_FALSE(BeginSurfacePaint(control, context));
}

struct BlendCase {
    const char* name;
    RectF bounds;
    ARGB color;
    DWORD expected;  // at (50, 50), over the white skin
};

class BlendTest : public PaintingTest, public testing::WithParamInterface<BlendCase> {};

// Surfaces at whole-pixel bounds are blended straight into the canvas,
// others through GDI+; both give the same source-over result.
TEST_P(BlendTest, SurfaceIsBlendedOverTheSkin) {
    const BlendCase& c = GetParam();
    SolidControl control(c.color);
    control.Create(window.parent(), c.bounds, KindLabel, 1);
    DWORD pixel = CanvasPixel(host, 50, 50);
    EXPECT_TRUE(Near(AlphaOf(c.expected), AlphaOf(pixel), 1) && Near(RedOf(c.expected), RedOf(pixel), 1) &&
                Near(GreenOf(c.expected), GreenOf(pixel), 1) && Near(BlueOf(c.expected), BlueOf(pixel), 1))
        << c.name << ": " << std::hex << pixel;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlendTest,
    testing::Values(BlendCase{"opaque", RectF(40, 40, 20, 20), 0xFFFF0000, 0xFFFF0000},
                    BlendCase{"half transparent", RectF(40, 40, 20, 20), 0x80FF0000, 0xFFFF7F7F},
                    BlendCase{"fully transparent", RectF(40, 40, 20, 20), 0x00FF0000, 0xFFFFFFFF},
                    BlendCase{"fractional bounds", RectF(40.5f, 40, 20, 20), 0xFF0000FF, 0xFF0000FF},
                    BlendCase{"half transparent, fractional", RectF(40.5f, 40, 20, 20), 0x80FF0000,
                              0xFFFF7F7F}));

TEST_F(PaintingTest, ListOrderIsPaintOrder) {
    SolidControl below(Red), above(Blue);
    below.Make(window.window, 40, 40, 60, 30);
    above.Make(window.window, 70, 50, 60, 30);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 80, 60));  // overlap: the later one
    below.ZOrder();  // to the top
    PumpMessages();
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 80, 60));
}

// ---- Opacity and the disabled look ----------------------------------------------

struct AlphaCase {
    int disabled;
    int lookAnswer;  // the class's answer to the disabled-look query
    int alpha;
    int expected;
};

class ComposedAlphaTest : public TransparentHostTest,
                          public testing::WithParamInterface<AlphaCase> {};

TEST_P(ComposedAlphaTest, ControlIsComposedAtItsOpacity) {
    const AlphaCase& c = GetParam();
    SolidControl control(Red);
    control.disabledLookAnswer = c.lookAnswer;
    control.Make(window.window, 40, 40, 60, 30);
    control.Alpha(c.alpha);
    control.Disabled(c.disabled);
    PumpMessages();
    DWORD pixel = CanvasPixel(host, 70, 55);
    EXPECT_TRUE(Near(c.expected, AlphaOf(pixel), 1)) << std::hex << pixel;
    EXPECT_TRUE(Near(c.expected, RedOf(pixel), 1)) << std::hex << pixel;  // premultiplied
    EXPECT_EQ(0, BlueOf(pixel));

    // The whole-window composition of a skin redraw agrees.
    host.RedrawSkin(nullptr, 0, std::nullopt, -1, false);
    pixel = CanvasPixel(host, 70, 55);
    EXPECT_TRUE(Near(c.expected, AlphaOf(pixel), 1)) << std::hex << pixel;
}

INSTANTIATE_TEST_SUITE_P(Cases, ComposedAlphaTest,
                         testing::Values(AlphaCase{0, -1, 255, 255},   // plain
                                         AlphaCase{1, -1, 255, 127},   // disabled: half
                                         AlphaCase{1, 0, 255, 255},    // own disabled look
                                         AlphaCase{1, -1, 200, 100},   // half of its alpha
                                         AlphaCase{0, -1, 100, 100},   // alpha alone
                                         AlphaCase{0, -1, 0, 0}));     // fully transparent

// ---- The dirty rectangle --------------------------------------------------------

struct DirtyCase {
    const char* name;
    RectF rect;
    int parentDrawn;
    int childDrawn;
};

class DirtyRectTest : public PaintingTest, public testing::WithParamInterface<DirtyCase> {};

// Disabled controls are asked for their disabled look exactly when they are
// composed, which shows which ones a repaint draws.
TEST_P(DirtyRectTest, OnlyControlsOverlappingTheRectangleAreDrawn) {
    const DirtyCase& c = GetParam();
    SolidControl parent(Red), child(Blue);
    ControlHandle hp = parent.Make(window.window, 50, 50, 40, 40);
    child.Create(hp, RectF(60, 60, 10, 10), KindLabel, 1);
    parent.Disabled(1);
    child.Disabled(1);
    PumpMessages();
    parent.lookQueries = child.lookQueries = 0;

    RepaintArea(window.window, c.rect, &host, host.canvasGraphics, false);
    EXPECT_EQ(c.parentDrawn, parent.lookQueries) << c.name;
    EXPECT_EQ(c.childDrawn, child.lookQueries) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirtyRectTest,
    testing::Values(DirtyCase{"far away", RectF(150, 150, 10, 10), 0, 0},
                    DirtyCase{"touching the right edge", RectF(90, 50, 10, 40), 0, 0},
                    DirtyCase{"touching the left edge", RectF(40, 50, 10, 40), 0, 0},
                    DirtyCase{"touching the bottom edge", RectF(50, 90, 40, 5), 0, 0},
                    DirtyCase{"touching the top edge", RectF(50, 45, 40, 5), 0, 0},
                    DirtyCase{"over the parent only", RectF(50, 50, 5, 5), 1, 0},
                    DirtyCase{"over the child", RectF(62, 62, 2, 2), 1, 1},
                    DirtyCase{"half a pixel over the parent", RectF(89.5f, 50, 10, 10), 1, 0}));

TEST_F(PaintingTest, RepaintIsClippedToTheRectangle) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    control.color = Blue;
    control.Paint(0);  // new look on the surface only
    RepaintArea(window.window, RectF(40, 40, 20, 30), &host, host.canvasGraphics, false);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 59, 55));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(host, 60, 55));
}

TEST_F(PaintingTest, ChildIsClippedToItsParent) {
    SolidControl parent(Red), child(Blue);
    ControlHandle hp = parent.Make(window.window, 50, 50, 40, 40);
    child.Create(hp, RectF(80, 60, 30, 10), KindLabel, 1);
    PumpMessages();
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 85, 65));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 95, 65));  // outside the parent
}

TEST_F(PaintingTest, RoundedClipHoldsForControlsAfterOneWithChildren) {
    // The window's corner stays clear of a control composed after a parent
    // with children.
    SolidControl parent(Red), child(Blue), corner(Green);
    ControlHandle hp = parent.Make(window.window, 50, 50, 40, 40);
    child.Create(hp, RectF(60, 60, 10, 10), KindLabel, 1);
    corner.Make(window.window, 0, 0, 100, 100);
    RepaintArea(window.window, RectF(0, 0, 100, 100), &host, host.canvasGraphics, false);
    EXPECT_EQ(0xFF00FF00u, CanvasPixel(host, 20, 20));
    // The corner pixel inside the clip's bounding box but outside its
    // rounding, and the shadow margin, show no green.
    OwnedHRgn clip(CreateRoundRectRgn(7, 7, 300 - 6, 200 - 6, 3, 3));
    ASSERT_FALSE(PtInRegion(clip.get(), 7, 7));
    ASSERT_TRUE(PtInRegion(clip.get(), 8, 7));
    EXPECT_EQ(255, RedOf(CanvasPixel(host, 7, 7)));  // the white skin, not green
    EXPECT_EQ(0xFF00FF00u, CanvasPixel(host, 8, 7));
    EXPECT_EQ(0, GreenOf(CanvasPixel(host, 2, 2)));
}

// ---- Transitions ---------------------------------------------------------------

// A control with an armed transition whose timer is driven by hand: the
// interval is far beyond any test, each Tick() is one timer tick.
class TransitionTest : public PaintingTest {
protected:
    void Arm(SolidControl& control, int style, int frames = 4) {
        control.transitionInterval = 600000;
        control.transitionFrames = frames;
        control.transitionStyle = style;
    }
    void Tick(SolidControl& control) {
        Control::TransitionTick(window.window, WM_TIMER, control.handle + 1, 0);
    }
};

TEST_F(TransitionTest, CrossFadeBlendsTheNewLookInStepByStep) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, 0);
    control.color = Blue;
    control.Redraw();
    ASSERT_TRUE(control.transitionSnapshot);
    EXPECT_EQ(0, control.transitionStep);

    const int expectedOpacity[] = {63, 127, 191};
    for (int step = 1; step <= 3; ++step) {
        Tick(control);
        EXPECT_EQ(step, control.transitionStep);
        DWORD pixel = CanvasPixel(host, 70, 55);
        int opacity = expectedOpacity[step - 1];
        EXPECT_EQ(255, AlphaOf(pixel));
        EXPECT_TRUE(Near(opacity, BlueOf(pixel))) << step << " " << std::hex << pixel;
        EXPECT_TRUE(Near(255 - opacity, RedOf(pixel))) << step << " " << std::hex << pixel;
    }
    Tick(control);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 70, 55));  // the plain new surface
    EXPECT_EQ(0, control.transitionStep);
    EXPECT_FALSE(control.transitionSnapshot);
    EXPECT_EQ(0, control.transitionFrames);  // disarmed on transition finished
    EXPECT_EQ(EventTransitionFinished, control.events.back());
}

TEST_F(TransitionTest, CrossFadeStaysInsideTheControl) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, 0);
    control.color = Blue;
    control.Redraw();
    Tick(control);
    Tick(control);
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 39, 55));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 100, 55));
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 70));
}

TEST_F(TransitionTest, ClassMayDrawTheFrameItself) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, 0);
    control.frameAnswer = 1;  // drawn by the class: nothing of the default
    control.color = Blue;
    control.Redraw();
    Tick(control);
    EXPECT_EQ(std::vector<int>{1}, control.frameSteps);
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 55));
}

TEST_F(TransitionTest, NewPaintFinishesTheRunningTransitionFirst) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, 0);
    control.color = Blue;
    control.Redraw();
    Tick(control);
    // The next look starts from the finished one (blue), not from red.
    control.color = Green;
    control.Redraw();
    EXPECT_EQ(0, control.transitionStep);
    Tick(control);
    DWORD pixel = CanvasPixel(host, 70, 55);
    EXPECT_TRUE(Near(0, RedOf(pixel))) << std::hex << pixel;
    EXPECT_TRUE(Near(63, GreenOf(pixel))) << std::hex << pixel;
    EXPECT_TRUE(Near(192, BlueOf(pixel))) << std::hex << pixel;
}

TEST_F(TransitionTest, TimerTicksShowStepsOneToThreeThenTheNewSurface) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    control.transitionInterval = 60;
    control.transitionFrames = 4;
    control.color = Blue;
    control.Redraw();
    EXPECT_EQ(EventTransitionStarted, control.events.back());
    for (int i = 0; i < 500 && control.transitionFrames != 0; ++i) PumpFor(10);
    EXPECT_EQ(0, control.transitionFrames);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), control.frameSteps);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 70, 55));
}

struct SlideCase {
    int style;
    bool vertical;
    bool newFromStart;  // the new look enters from the top or the left
};

class SlideTest : public TransitionTest, public testing::WithParamInterface<SlideCase> {};

// A 60 x 30 control in 4 frames moves by trunc(30 / 4) = 7 rows or
// trunc(60 / 4) = 15 columns per step.
TEST_P(SlideTest, SlideMovesByWholeStepsOfTheControlSize) {
    const SlideCase& c = GetParam();
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, c.style);
    control.color = Blue;
    control.Redraw();
    for (int step = 1; step <= 3; ++step) {
        Tick(control);
        const int offset = step * (c.vertical ? 7 : 15);
        const int start = c.vertical ? 40 : 40, end = c.vertical ? 70 : 100;
        // The boundary between the two looks along the sliding direction.
        const int boundary = c.newFromStart ? start + offset : end - offset;
        auto at = [&](int along) {
            return c.vertical ? CanvasPixel(host, 70, along) : CanvasPixel(host, along, 55);
        };
        const DWORD before = at(boundary - 1), after = at(boundary);
        EXPECT_EQ(c.newFromStart ? 0xFF0000FFu : 0xFFFF0000u, before) << "step " << step;
        EXPECT_EQ(c.newFromStart ? 0xFFFF0000u : 0xFF0000FFu, after) << "step " << step;
        EXPECT_EQ(0xFFFFFFFFu, at(start - 1)) << "step " << step;  // nothing beyond the control
        EXPECT_EQ(0xFFFFFFFFu, at(end)) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, SlideTest,
                         testing::Values(SlideCase{1, true, true},     // down: new from above
                                         SlideCase{2, true, false},    // up
                                         SlideCase{3, false, true},    // right: new from the left
                                         SlideCase{4, false, false}));  // left

TEST_F(TransitionTest, UnknownStyleDrawsNothingWhileRunning) {
    SolidControl control(Red);
    control.Make(window.window, 40, 40, 60, 30);
    Arm(control, 9);
    control.color = Blue;
    control.Redraw();
    Tick(control);
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 55));
    for (int i = 0; i < 3; ++i) Tick(control);
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(host, 70, 55));
}

TEST_F(TransitionTest, DestroyStopsTheTransitionTimer) {
    auto control = std::make_unique<SolidControl>(Red);
    control->Make(window.window, 40, 40, 60, 30);
    control->transitionInterval = 20;
    control->transitionFrames = 4;
    control->color = Blue;
    control->Redraw();
    control->Destroy();
    control.reset();
    PumpFor(150);  // a tick of a freed control would crash here
    EXPECT_EQ(0xFFFFFFFFu, CanvasPixel(host, 70, 55));
}

// ---- Images at an opacity or natural size -------------------------------------

TEST(DrawImage, AtNaturalSizeOrCentred) {
    Surface target = MakeSurface(40, 40);
    Surface image = MakeSurface(10, 10);
    GdipGraphicsClear(image.graphics.get(), Red);
    DrawImageAt(target.graphics.get(), image.bitmap.get(), RectF(5, 6, 30, 30));
    ARGB pixel = 0;
    GdipBitmapGetPixel(target.bitmap.get(), 5, 6, &pixel);
    EXPECT_EQ(Red, pixel);
    GdipBitmapGetPixel(target.bitmap.get(), 15, 6, &pixel);
    EXPECT_EQ(0u, pixel);  // natural size, not stretched

    GdipGraphicsClear(target.graphics.get(), 0);
    DrawImageAt(target.graphics.get(), image.bitmap.get(), RectF(0, 0, 16, 24), true);
    GdipBitmapGetPixel(target.bitmap.get(), 3, 7, &pixel);
    EXPECT_EQ(Red, pixel);
    GdipBitmapGetPixel(target.bitmap.get(), 2, 7, &pixel);
    EXPECT_EQ(0u, pixel);
    GdipBitmapGetPixel(target.bitmap.get(), 12, 16, &pixel);
    EXPECT_EQ(Red, pixel);
    GdipBitmapGetPixel(target.bitmap.get(), 13, 17, &pixel);
    EXPECT_EQ(0u, pixel);
}

TEST(DrawImage, AlphaScalesOpacity) {
    Surface image = MakeSurface(10, 10);
    GdipGraphicsClear(image.graphics.get(), Red);
    const int alphas[] = {255, 127, 64, 0};
    for (int alpha : alphas) {
        Surface target = MakeSurface(20, 20);
        DrawImageAlpha(target.graphics.get(), image.bitmap.get(), RectF(0, 0, 10, 10), alpha);
        ARGB pixel = 0;
        GdipBitmapGetPixel(target.bitmap.get(), 5, 5, &pixel);
        EXPECT_TRUE(Near(alpha, static_cast<int>(pixel >> 24), 1)) << alpha << " " << std::hex << pixel;
    }
}

}  // namespace
