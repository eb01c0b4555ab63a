// Progress bars on real hosts, read back from their surfaces and the
// host's canvas: the bar's length for positions inside and outside the
// range, horizontal and vertical, the colours, track and outline, rounded
// corners, the hooks, and which setters repaint.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "frames/FramesSupport.h"
#include "toolkit/controls/Label.h"
#include "toolkit/controls/Painting.h"
#include "toolkit/controls/ProgressBar.h"
#include "toolkit/controls/Primitives.h"

namespace {

// A bar 104 pixels long has a track of exactly 100.
constexpr int LongSide = 104;
constexpr int ShortSide = 20;

// A bar pixel: red and nearly opaque (the bar is drawn in red only, the
// track left unfilled, the outline blue).
bool IsBar(ARGB p) { return AlphaOf(p) > 200 && RedOf(p) > 150 && BlueOf(p) < 60; }

class ProgressBarTest : public testing::Test {
protected:
    void SetUp() override { PaintCounts().clear(); }

    ControlHandle MakeBar(int position, int minimum, int maximum, bool vertical, int rounded) {
        int width = vertical ? ShortSide : LongSide, height = vertical ? LongSide : ShortSide;
        return bar.Create(window.parent(), 10, 10, width, height, position, minimum, maximum,
                          vertical, Red, Red, Blue, 0, rounded);
    }

    ProgressBar bar;
    TestWindow window{300, 200, WS_POPUP, FrameHostOptions(FrameSquare)};
};

// The bar's extent along a line through the middle of the track: first
// bar pixel and the number of bar pixels.
struct BarRun {
    int first = -1;
    int count = 0;
};
BarRun HorizontalRun(const Control& c) {
    BarRun run;
    for (int x = 0; x < LongSide; ++x) {
        if (!IsBar(SurfacePixel(c, x, ShortSide / 2))) continue;
        if (run.first < 0) run.first = x;
        ++run.count;
    }
    return run;
}
BarRun VerticalRun(const Control& c) {
    BarRun run;
    for (int y = 0; y < LongSide; ++y) {
        if (!IsBar(SurfacePixel(c, ShortSide / 2, y))) continue;
        if (run.first < 0) run.first = y;
        ++run.count;
    }
    return run;
}

struct LengthCase {
    int position, minimum, maximum;
    int rounded;
    int expectedLength;
    int expectedPixels;  // bar pixels on the middle line
};

class BarLength : public ProgressBarTest, public testing::WithParamInterface<LengthCase> {};

TEST_P(BarLength, HorizontalBarGrowsFromTheLeftOfTheTrack) {
    const LengthCase& c = GetParam();
    ASSERT_NE(0u, MakeBar(c.position, c.minimum, c.maximum, false, c.rounded));
    EXPECT_EQ(c.expectedLength, bar.barLength);
    BarRun run = HorizontalRun(bar);
    EXPECT_EQ(c.expectedPixels, run.count);
    if (c.expectedPixels > 0) {
        EXPECT_EQ(2, run.first);
    }
}

TEST_P(BarLength, VerticalBarGrowsFromTheBottomOfTheTrack) {
    const LengthCase& c = GetParam();
    ASSERT_NE(0u, MakeBar(c.position, c.minimum, c.maximum, true, c.rounded));
    EXPECT_EQ(c.expectedLength, bar.barLength);
    BarRun run = VerticalRun(bar);
    EXPECT_EQ(c.expectedPixels, run.count);
    // Always ending 2 pixels above the bottom edge (row 103).
    if (c.expectedPixels > 0) {
        EXPECT_EQ(101, run.first + run.count - 1);
    }
}

// A track of 100 pixels; above the maximum the bar runs on to the outline
// (101 pixels: 2..102); below the minimum nothing shows.
INSTANTIATE_TEST_SUITE_P(
    Positions, BarLength,
    testing::Values(LengthCase{0, 0, 100, 0, 0, 0},         // minimum: empty
                    LengthCase{100, 0, 100, 0, 100, 100},   // maximum: the whole track
                    LengthCase{50, 0, 100, 0, 50, 50},
                    LengthCase{1, 0, 3, 0, 33, 33},          // 33.3 rounds down
                    LengthCase{2, 0, 3, 0, 67, 67},          // 66.7 rounds up
                    LengthCase{15, 10, 20, 0, 50, 50},       // a range not from 0
                    LengthCase{-5, -10, 0, 0, 50, 50},
                    LengthCase{-20, 0, 100, 0, -20, 0},      // below the minimum
                    LengthCase{150, 0, 100, 0, 150, 101},    // above the maximum
                    LengthCase{50, 0, 100, 1, 50, 50},       // rounded
                    LengthCase{100, 0, 100, 1, 100, 100},
                    LengthCase{-20, 0, 100, 1, -20, 0},
                    LengthCase{150, 0, 100, 1, 150, 101},
                    LengthCase{7, 7, 7, 0, 0, 0}));          // no range: empty

TEST_F(ProgressBarTest, VerticalHalfBarSitsOnTheBottomOfTheTrack) {
    ASSERT_NE(0u, MakeBar(50, 0, 100, true, 0));
    for (int x = 2; x < ShortSide - 2; ++x) {
        EXPECT_FALSE(IsBar(SurfacePixel(bar, x, 51))) << x;
        EXPECT_TRUE(IsBar(SurfacePixel(bar, x, 52))) << x;
        EXPECT_TRUE(IsBar(SurfacePixel(bar, x, 101))) << x;
        EXPECT_FALSE(IsBar(SurfacePixel(bar, x, 102))) << x;
    }
}

TEST_F(ProgressBarTest, ExtremePositionsNeitherWrapNorCrash) {
    ASSERT_NE(0u, MakeBar(INT_MAX, 0, 1, false, 0));
    EXPECT_GT(bar.barLength, 100);
    EXPECT_EQ(101, HorizontalRun(bar).count);
    bar.Position(INT_MIN);
    EXPECT_LT(bar.barLength, 0);
    EXPECT_EQ(0, HorizontalRun(bar).count);
    bar.Destroy();

    // The whole int range: the middle is half, with no overflow on the way.
    ASSERT_NE(0u, MakeBar(0, INT_MIN, INT_MAX, false, 1));
    EXPECT_EQ(50, bar.barLength);
    EXPECT_EQ(50, HorizontalRun(bar).count);
}

// ---- Colours, track and outline --------------------------------------------

int Brightness(ARGB p) { return RedOf(p) + GreenOf(p) + BlueOf(p); }

TEST_F(ProgressBarTest, DefaultsRunFromBlueToGreenOverAWhiteTrack) {
    ASSERT_NE(0u, bar.Create(window.parent(), 10, 10, LongSide, ShortSide, 100, 0, 100, false,
                             std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0));
    EXPECT_EQ(ProgressDefaultStartColor, bar.startColor);
    EXPECT_EQ(ProgressDefaultEndColor, bar.endColor);
    ARGB left = SurfacePixel(bar, 3, 4), right = SurfacePixel(bar, 100, 4);
    EXPECT_GT(BlueOf(left), GreenOf(left) + 80) << std::hex << left;
    EXPECT_GT(GreenOf(right), BlueOf(right) + 50) << std::hex << right;
    EXPECT_LT(RedOf(left), 30);
    EXPECT_LT(RedOf(right), 30);
    // The gloss darkens the bar towards its far side (the bottom here).
    EXPECT_GT(Brightness(SurfacePixel(bar, 50, 2)), Brightness(SurfacePixel(bar, 50, 17)) + 40);

    // The outline, black at alpha 80, one pixel at the very edge: alone on
    // the right and bottom, over the white fill (which stops one pixel
    // short of those) on the left and top.
    EXPECT_EQ(ProgressDefaultBorderColor, SurfacePixel(bar, LongSide - 1, 10));
    EXPECT_EQ(ProgressDefaultBorderColor, SurfacePixel(bar, 50, ShortSide - 1));
    // Black at 80 over white at 210, in a surface that keeps straight alpha.
    const double under = 210.0 * (255 - 80) / 255, alphaOut = 80 + under;
    for (ARGB edge : {SurfacePixel(bar, 0, 10), SurfacePixel(bar, 50, 0)}) {
        EXPECT_NEAR(alphaOut, AlphaOf(edge), 2) << std::hex << edge;
        EXPECT_NEAR(255 * under / alphaOut, RedOf(edge), 2) << std::hex << edge;
        EXPECT_EQ(RedOf(edge), BlueOf(edge));
    }
    // Between outline and track only the white fill of the track.
    EXPECT_EQ(ProgressDefaultBackColor, SurfacePixel(bar, 1, 10));

    bar.Position(0);
    ARGB track = SurfacePixel(bar, 50, 10);
    EXPECT_GE(AlphaOf(track), 210);
    EXPECT_GT(RedOf(track), 200);
    EXPECT_EQ(RedOf(track), GreenOf(track));
    EXPECT_EQ(RedOf(track), BlueOf(track));
    // The track is shaded darker towards the bottom.
    EXPECT_GT(RedOf(SurfacePixel(bar, 50, 2)), RedOf(SurfacePixel(bar, 50, 17)));
}

TEST_F(ProgressBarTest, VerticalColoursRunFromTheBottomUp) {
    ASSERT_NE(0u, bar.Create(window.parent(), 10, 10, ShortSide, LongSide, 100, 0, 100, true,
                             std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0));
    ARGB bottom = SurfacePixel(bar, 4, 100), top = SurfacePixel(bar, 4, 3);
    EXPECT_GT(BlueOf(bottom), GreenOf(bottom) + 80) << std::hex << bottom;
    EXPECT_GT(GreenOf(top), BlueOf(top) + 50) << std::hex << top;
    // Gloss and track shading run across: darker to the right.
    EXPECT_GT(Brightness(SurfacePixel(bar, 2, 50)), Brightness(SurfacePixel(bar, 17, 50)) + 40);
    bar.Position(0);
    EXPECT_GT(RedOf(SurfacePixel(bar, 2, 50)), RedOf(SurfacePixel(bar, 17, 50)));
}

TEST_F(ProgressBarTest, WithoutBackColourTheTrackIsOnlyShaded) {
    ASSERT_NE(0u, MakeBar(0, 0, 100, false, 0));
    EXPECT_EQ(0u, SurfacePixel(bar, 1, 10));  // outside the track: nothing
    ARGB track = SurfacePixel(bar, 50, 10);
    EXPECT_GT(AlphaOf(track), 0);
    EXPECT_LE(AlphaOf(track), 51);
    EXPECT_EQ(0, RedOf(track) + GreenOf(track) + BlueOf(track));
    EXPECT_EQ(Blue, SurfacePixel(bar, 0, 10));
}

struct BarCornerCase {
    const char* name;
    int hostFrameStyle;
    std::optional<int> rounded;
    bool expectRounded;
};

class BarCorners : public testing::TestWithParam<BarCornerCase> {};

TEST_P(BarCorners, FollowTheHostUnlessGiven) {
    const BarCornerCase& c = GetParam();
    ProgressBar bar;
    TestWindow window(300, 200, WS_POPUP, FrameHostOptions(c.hostFrameStyle));
    ASSERT_NE(0u, bar.Create(window.parent(), 10, 10, LongSide, ShortSide, 100, 0, 100, false, Red,
                             Red, Blue, Green, c.rounded));
    EXPECT_EQ(c.expectRounded ? 1 : 0, bar.rounded);
    EXPECT_EQ(Blue, SurfacePixel(bar, 50, 0));
    EXPECT_EQ(Blue, SurfacePixel(bar, 0, 10));
    if (c.expectRounded) {
        EXPECT_EQ(0, AlphaOf(SurfacePixel(bar, 0, 0)));
        // The bar's own corners are rounded too: the track shows there.
        EXPECT_FALSE(IsBar(SurfacePixel(bar, 2, 2)));
        EXPECT_TRUE(IsBar(SurfacePixel(bar, 3, 2)));
    } else {
        EXPECT_EQ(Blue, SurfacePixel(bar, 0, 0));
        EXPECT_TRUE(IsBar(SurfacePixel(bar, 2, 2)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProgressBar, BarCorners,
    testing::Values(BarCornerCase{"RoundedHost", FrameRounded, std::nullopt, true},
                    BarCornerCase{"SquareHost", FrameSquare, std::nullopt, false},
                    BarCornerCase{"GivenRounded", FrameSquare, 1, true},
                    BarCornerCase{"GivenSquare", FrameRounded, 0, false}),
    [](const testing::TestParamInfo<BarCornerCase>& info) {
        return std::string(info.param.name);
    });

// ---- Properties ------------------------------------------------------------

TEST_F(ProgressBarTest, PositionRepaintsOnlyOnChange) {
    ASSERT_NE(0u, MakeBar(10, 0, 100, false, 0));
    StartCountingPaints(bar);
    EXPECT_EQ(10, bar.Position(10));
    EXPECT_EQ(0, PaintsOf(bar));
    EXPECT_EQ(75, bar.Position(75));
    EXPECT_EQ(1, PaintsOf(bar));
    EXPECT_EQ(75, bar.barLength);
    EXPECT_EQ(75, HorizontalRun(bar).count);
    EXPECT_EQ(75, bar.Position());
    EXPECT_EQ(1, PaintsOf(bar));
}

TEST_F(ProgressBarTest, BackColourRepaintsOnlyOnChange) {
    ASSERT_NE(0u, MakeBar(10, 0, 100, false, 0));
    StartCountingPaints(bar);
    EXPECT_EQ(0u, bar.BackColor(0));
    EXPECT_EQ(0, PaintsOf(bar));
    EXPECT_EQ(Green, bar.BackColor(Green));
    EXPECT_EQ(1, PaintsOf(bar));
    EXPECT_EQ(Green, SurfacePixel(bar, 1, 10));
}

TEST_F(ProgressBarTest, BarColoursRepaintOnChangeOrWhenAskedWithout) {
    ASSERT_NE(0u, MakeBar(50, 0, 100, false, 0));
    StartCountingPaints(bar);
    bar.SetBarColors(Red, Red);
    bar.SetBarColors(Red);
    bar.SetBarColors(std::nullopt, Red);
    EXPECT_EQ(0, PaintsOf(bar));
    bar.SetBarColors(Green);
    EXPECT_EQ(1, PaintsOf(bar));
    EXPECT_EQ(Green, bar.startColor);
    EXPECT_EQ(Red, bar.endColor);
    bar.SetBarColors(std::nullopt, Green);
    EXPECT_EQ(2, PaintsOf(bar));
    ARGB p = SurfacePixel(bar, 20, 4);
    EXPECT_GT(GreenOf(p), 150);
    EXPECT_EQ(0, RedOf(p));
    bar.SetBarColors();  // nothing given: a plain repaint
    EXPECT_EQ(3, PaintsOf(bar));
}

// ---- Hooks -----------------------------------------------------------------

class HookedBar : public ProgressBar {
public:
    int PreviewEvent(ControlHandle, UINT event, WPARAM, LPARAM) override {
        return event == EventPaint ? paintAnswer : -1;
    }
    bool OnDrawTrack(PaintContext&) override { return ownTrack; }
    bool OnDrawBar(PaintContext&, const RectF& b) override {
        seenBar = b;
        return ownBar;
    }
    void OnBeforePaint(PaintContext&, RectF& paintRect, int) override {
        paintRect.Width -= narrowBy;
    }
    int paintAnswer = -1;
    bool ownTrack = false;
    bool ownBar = false;
    float narrowBy = 0;
    RectF seenBar{0, 0, 0, 0};
};

class ProgressBarHooks : public testing::Test {
protected:
    ControlHandle Make(int position) {
        return bar.Create(window.parent(), 10, 10, LongSide, ShortSide, position, 0, 100, false,
                          Red, Red, Blue, Green, 0);
    }
    HookedBar bar;
    TestWindow window{300, 200, WS_POPUP, FrameHostOptions(FrameSquare)};
};

TEST_F(ProgressBarHooks, DefaultHooksChangeNothing) {
    ASSERT_NE(0u, Make(50));
    EXPECT_EQ(2.0f, bar.seenBar.X);
    EXPECT_EQ(2.0f, bar.seenBar.Y);
    EXPECT_EQ(50.0f, bar.seenBar.Width);
    EXPECT_EQ(16.0f, bar.seenBar.Height);
    EXPECT_EQ(50, HorizontalRun(bar).count);
    EXPECT_EQ(Blue, SurfacePixel(bar, 0, 10));
}

TEST_F(ProgressBarHooks, AClassDrawingTheTrackItselfSkipsTrackAndOutline) {
    bar.ownTrack = true;
    ASSERT_NE(0u, Make(50));
    EXPECT_EQ(0u, SurfacePixel(bar, 0, 10));
    EXPECT_EQ(0u, SurfacePixel(bar, 1, 10));
    EXPECT_EQ(0u, SurfacePixel(bar, 80, 10));
    EXPECT_EQ(50, HorizontalRun(bar).count);
}

TEST_F(ProgressBarHooks, AClassDrawingTheBarItselfSkipsTheBar) {
    bar.ownBar = true;
    ASSERT_NE(0u, Make(50));
    EXPECT_EQ(0, HorizontalRun(bar).count);
    EXPECT_EQ(50, bar.barLength);
    EXPECT_EQ(Blue, SurfacePixel(bar, 0, 10));
}

TEST_F(ProgressBarHooks, PreviewAnswerTakesThePaintAway) {
    ASSERT_NE(0u, Make(50));
    bar.paintAnswer = 0;
    bar.Position(90);
    EXPECT_EQ(50, bar.barLength);
    EXPECT_EQ(50, HorizontalRun(bar).count);
}

TEST_F(ProgressBarHooks, ThePaintRectangleMayBeChangedBeforePainting) {
    bar.narrowBy = 20;
    ASSERT_NE(0u, Make(100));
    EXPECT_EQ(Blue, SurfacePixel(bar, LongSide - 21, 10));
    EXPECT_EQ(80, HorizontalRun(bar).count);  // the track of 104 - 20 - 4 pixels
    EXPECT_EQ(0u, SurfacePixel(bar, LongSide - 10, 10));
}

// ---- On the host's canvas --------------------------------------------------

// The download window's bar and the percentage label laid over it, on a
// host attached as the download window is (square frame, layered).
TEST(ProgressBarOnHost, TheDownloadBarShowsUnderItsLabel) {
    ProgressBar progress;
    Label text;
    AttachOptions options;
    options.backColor = 0xECECEC;
    options.captionFlags = CaptionIcon | CaptionTitle;
    options.windowAlpha = 255;
    options.frameStyle = FrameSquare;
    options.imageEdgeFade = 1;
    options.blurBehind = 1;
    TestWindow window(380, 202, WS_POPUP, options);
    ASSERT_NE(0u, progress.Create(window.parent(), 15, 45, 348, 25, 0, 0, 100, false,
                                  ToArgb(57472), ToArgb(0x00FF00), std::nullopt,
                                  ToArgb(0xFFFFFF, 200), 0));
    EXPECT_EQ(0xFE80E000u, progress.startColor);
    ASSERT_NE(0u, text.Create(window.parent(), static_cast<int>(progress.Left()),
                              static_cast<int>(progress.Top()),
                              static_cast<int>(progress.Width()),
                              static_cast<int>(progress.Height()), ""));
    PumpMessages();
    auto greenish = [](DWORD p) { return GreenOf(p) > 180 && RedOf(p) < 160 && BlueOf(p) < 60; };

    EXPECT_FALSE(greenish(CanvasAt(window.host, 20, 57)));
    progress.Position(25);  // 86 of the track's 344 pixels: x 17 to 102
    PumpMessages();
    EXPECT_EQ(86, progress.barLength);
    EXPECT_TRUE(greenish(CanvasAt(window.host, 20, 57))) << std::hex << CanvasAt(window.host, 20, 57);
    EXPECT_TRUE(greenish(CanvasAt(window.host, 102, 57)));
    EXPECT_FALSE(greenish(CanvasAt(window.host, 104, 57)));
    EXPECT_FALSE(greenish(CanvasAt(window.host, 200, 57)));

    progress.Position(50);
    PumpMessages();
    EXPECT_TRUE(greenish(CanvasAt(window.host, 180, 57)));
    EXPECT_FALSE(greenish(CanvasAt(window.host, 200, 57)));
}

}  // namespace
