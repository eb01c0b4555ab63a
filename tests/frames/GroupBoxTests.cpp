// Group boxes on real hosts, read back from their surfaces and the host's
// canvas: the outline and the gap the caption cuts into it for each
// alignment, the frame without a caption, rounded and square corners from
// the host's frame style, the fill, fonts, and which setters repaint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frames/FramesSupport.h"
#include "toolkit/controls/GroupBox.h"
#include "toolkit/controls/ProgressBar.h"
#include "toolkit/host/Toolkit.h"

namespace {

constexpr int BoxWidth = 120;
constexpr int BoxHeight = 60;

const std::string& CaptionText() {
    static const std::string text = WideToAnsi(L"分组框");
    return text;
}

// A square host; the controls come first so that the window, destroyed
// first, destroys them while they still exist.
class GroupBoxTest : public testing::Test {
protected:
    void SetUp() override { PaintCounts().clear(); }

    // A square box with a blue frame and a red caption.
    ControlHandle MakeBox(const std::string& caption, int align = 0, ARGB fill = 0,
                          std::optional<int> rounded = 0) {
        return box.Create(window.parent(), 20, 20, BoxWidth, BoxHeight, caption, Red,
                          std::nullopt, std::nullopt, std::nullopt, 0, 0, align, fill, Blue,
                          rounded);
    }

    GroupBox box;
    TestWindow window{300, 200, WS_POPUP, FrameHostOptions(FrameSquare)};
};

// Where the outline of the top line is interrupted: [start, end).
struct Gap {
    int start = -1;
    int end = -1;
};
Gap FindGap(const Control& control, int row, int width) {
    Gap gap;
    for (int x = 1; x < width - 1; ++x) {
        bool line = SurfacePixel(control, x, row) == Blue;
        if (!line && gap.start < 0) gap.start = x;
        if (line && gap.start >= 0 && gap.end < 0) gap.end = x;
    }
    return gap;
}

TEST_F(GroupBoxTest, WithoutCaptionTheOutlineRunsAllRound) {
    ASSERT_NE(0u, MakeBox(""));
    EXPECT_EQ(KindGroupBox, box.kind);
    EXPECT_EQ(0, box.focusable);
    EXPECT_EQ(0, box.captionWidth);
    EXPECT_EQ(0, box.captionHeight);

    const int right = BoxWidth - 2, bottom = BoxHeight - 2;
    for (int x = 1; x <= right; ++x) {
        ASSERT_EQ(Blue, SurfacePixel(box, x, 1)) << "top, x " << x;
        ASSERT_EQ(Blue, SurfacePixel(box, x, bottom)) << "bottom, x " << x;
    }
    for (int y = 1; y <= bottom; ++y) {
        ASSERT_EQ(Blue, SurfacePixel(box, 1, y)) << "left, y " << y;
        ASSERT_EQ(Blue, SurfacePixel(box, right, y)) << "right, y " << y;
    }
    // The outermost ring of pixels and the inside stay transparent.
    for (auto [x, y] : {std::pair{0, 0}, {BoxWidth - 1, BoxHeight - 1}, {0, 30}, {60, 0},
                        {60, 30}, {2, 2}, {right - 1, bottom - 1}})
        EXPECT_EQ(0u, SurfacePixel(box, x, y)) << x << "," << y;
}

class CaptionGap : public GroupBoxTest, public testing::WithParamInterface<int> {};

TEST_P(CaptionGap, OutlineStopsBehindTheCaption) {
    const int align = GetParam();
    ASSERT_NE(0u, MakeBox(CaptionText(), align));
    const int cw = box.captionWidth, ch = box.captionHeight;
    ASSERT_GT(cw, 10);
    ASSERT_GT(ch, 8);

    const int frameWidth = BoxWidth - 2;
    int expectedStart = 8;  // left
    if (align == 1) expectedStart = (frameWidth - 14 - cw) / 2 + 8;
    if (align != 0 && align != 1) expectedStart = frameWidth - 8 - cw;

    const int top = ch / 2 + 1;  // the top line runs through the caption's middle
    Gap gap = FindGap(box, top, BoxWidth);
    EXPECT_EQ(expectedStart, gap.start);
    EXPECT_EQ(cw - 1, gap.end - gap.start);
    if (align == 1) {
        // Centred: as much line left of the caption as right of it.
        EXPECT_LE(std::abs((gap.start - 1) - (frameWidth - gap.end)), 1);
    } else if (align != 0) {
        EXPECT_EQ(frameWidth - 9, gap.end);  // the line resumes 8 pixels before the corner
    }

    // The sides and the bottom are whole; nothing is drawn above the top
    // line outside the caption.
    for (int y = top; y <= BoxHeight - 2; ++y) {
        ASSERT_EQ(Blue, SurfacePixel(box, 1, y));
        ASSERT_EQ(Blue, SurfacePixel(box, frameWidth, y));
    }
    for (int x = 1; x <= frameWidth; ++x) ASSERT_EQ(Blue, SurfacePixel(box, x, BoxHeight - 2));

    // The caption's ink lies in the gap, from row 2 down.
    int minX = BoxWidth, maxX = -1, minY = BoxHeight, maxY = -1;
    for (int y = 0; y < BoxHeight; ++y) {
        for (int x = 0; x < BoxWidth; ++x) {
            ARGB p = SurfacePixel(box, x, y);
            if (AlphaOf(p) == 0 || BlueOf(p) != 0) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    ASSERT_GE(maxX, 0) << "no caption drawn";
    EXPECT_GE(minX, expectedStart);
    EXPECT_LT(maxX, expectedStart + cw + 4);
    EXPECT_GE(minY, 2);
    EXPECT_LE(maxY, 2 + ch);
}

// Left, centred, right, and any other value right as well.
INSTANTIATE_TEST_SUITE_P(Alignments, CaptionGap, testing::Values(0, 1, 2, 7));

TEST_F(GroupBoxTest, ACaptionTooWideForTheFrameStaysInsideIt) {
    std::string longCaption = WideToAnsi(L"一个远远超过分组框宽度的很长很长的标题文字");
    ASSERT_NE(0u, MakeBox(longCaption));
    EXPECT_LE(box.captionWidth, BoxWidth - 16);
    Gap gap = FindGap(box, box.captionHeight / 2 + 1, BoxWidth);
    EXPECT_EQ(8, gap.start);
    EXPECT_LE(gap.end, BoxWidth - 8);
}

TEST_F(GroupBoxTest, FillCoversTheInsideButNotTheCaptionRows) {
    for (int rounded : {0, 1}) {
        SCOPED_TRACE(rounded ? "rounded" : "square");
        GroupBox filled;
        ASSERT_NE(0u, filled.Create(window.parent(), 20, 100, BoxWidth, BoxHeight, CaptionText(),
                                    Red, std::nullopt, std::nullopt, std::nullopt, 0, 0, 0, Green,
                                    Blue, rounded));
        const int top = filled.captionHeight / 2 + 1;
        EXPECT_EQ(Green, SurfacePixel(filled, BoxWidth / 2, BoxHeight / 2));
        EXPECT_EQ(Green, SurfacePixel(filled, 3, BoxHeight - 4));
        EXPECT_EQ(0u, SurfacePixel(filled, 0, BoxHeight / 2));
        for (int y = 0; y < top; ++y)
            for (int x = 0; x < BoxWidth; ++x)
                ASSERT_EQ(0, GreenOf(SurfacePixel(filled, x, y))) << x << "," << y;
        filled.Destroy();
    }
}

TEST_F(GroupBoxTest, FrameColourZeroDrawsNoOutline) {
    ASSERT_NE(0u, box.Create(window.parent(), 20, 20, BoxWidth, BoxHeight, "", Red, std::nullopt,
                             std::nullopt, std::nullopt, 0, 0, 0, 0, 0, 0));
    for (int y = 0; y < BoxHeight; ++y)
        for (int x = 0; x < BoxWidth; ++x) ASSERT_EQ(0u, SurfacePixel(box, x, y));
}

// ---- Rounded or square -----------------------------------------------------

struct CornerCase {
    const char* name;
    int hostFrameStyle;
    std::optional<int> rounded;
    bool expectRounded;
};

class Corners : public testing::TestWithParam<CornerCase> {};

TEST_P(Corners, FollowTheHostUnlessGiven) {
    const CornerCase& c = GetParam();
    GroupBox frame;
    TestWindow window(300, 200, WS_POPUP, FrameHostOptions(c.hostFrameStyle));
    ASSERT_NE(0u, frame.Create(window.parent(), 10, 10, 100, 50, "", Red, std::nullopt,
                               std::nullopt, std::nullopt, 0, 0, 0, 0, Blue, c.rounded));
    EXPECT_EQ(c.expectRounded ? 1 : 0, frame.rounded);
    // The straight edges are the same either way; the corner pixel is cut
    // away only by the arcs.
    EXPECT_EQ(Blue, SurfacePixel(frame, 50, 1));
    EXPECT_EQ(Blue, SurfacePixel(frame, 1, 25));
    EXPECT_EQ(Blue, SurfacePixel(frame, 98, 25));
    EXPECT_EQ(Blue, SurfacePixel(frame, 50, 48));
    ARGB corner = SurfacePixel(frame, 1, 1);
    if (c.expectRounded)
        EXPECT_EQ(0, AlphaOf(corner));
    else
        EXPECT_EQ(Blue, corner);
}

INSTANTIATE_TEST_SUITE_P(
    GroupBox, Corners,
    testing::Values(CornerCase{"RoundedHost", FrameRounded, std::nullopt, true},
                    CornerCase{"ImageFrameHost", FrameImage, std::nullopt, true},
                    CornerCase{"SquareHost", FrameSquare, std::nullopt, false},
                    CornerCase{"GivenRoundedOnSquareHost", FrameSquare, 1, true},
                    CornerCase{"GivenSquareOnRoundedHost", FrameRounded, 0, false}),
    [](const testing::TestParamInfo<CornerCase>& info) { return std::string(info.param.name); });

TEST(GroupBoxCorners, InsideAnotherControlTheFrameIsSquare) {
    GroupBox outer, inner;
    TestWindow window(300, 200, WS_POPUP, FrameHostOptions(FrameRounded));
    ASSERT_NE(0u, outer.Create(window.parent(), 10, 10, 200, 150, ""));
    EXPECT_EQ(1, outer.rounded);
    ASSERT_NE(0u, inner.Create(outer.handle, 20, 20, 100, 50, "", Red, std::nullopt, std::nullopt,
                               std::nullopt, 0, 0, 0, 0, Blue));
    EXPECT_EQ(outer.handle, inner.parent);
    EXPECT_EQ(0, inner.rounded);
    EXPECT_EQ(Blue, SurfacePixel(inner, 1, 1));
}

// ---- Properties ------------------------------------------------------------

struct SetterCase {
    const char* name;
    void (*sameValue)(GroupBox&);
    void (*newValue)(GroupBox&);
};

class GroupBoxSetters : public GroupBoxTest, public testing::WithParamInterface<SetterCase> {};

TEST_P(GroupBoxSetters, RepaintOnlyOnChange) {
    const SetterCase& c = GetParam();
    ASSERT_NE(0u, MakeBox(CaptionText()));
    StartCountingPaints(box);
    c.sameValue(box);
    EXPECT_EQ(0, PaintsOf(box));
    c.newValue(box);
    EXPECT_EQ(1, PaintsOf(box));
    c.newValue(box);
    EXPECT_EQ(1, PaintsOf(box));
}

INSTANTIATE_TEST_SUITE_P(
    GroupBox, GroupBoxSetters,
    testing::Values(
        SetterCase{"TextColor", [](GroupBox& b) { b.TextColor(Red); },
                   [](GroupBox& b) { b.TextColor(Green); }},
        SetterCase{"FillColor", [](GroupBox& b) { b.FillColor(0); },
                   [](GroupBox& b) { b.FillColor(Green); }},
        SetterCase{"CaptionAlign", [](GroupBox& b) { b.CaptionAlign(0); },
                   [](GroupBox& b) { b.CaptionAlign(2); }},
        SetterCase{"FrameColor", [](GroupBox& b) { b.FrameColor(Blue); },
                   [](GroupBox& b) { b.FrameColor(Green); }},
        SetterCase{"Caption", [](GroupBox& b) { b.Caption(CaptionText()); },
                   [](GroupBox& b) { b.Caption(WideToAnsi(L"新标题")); }},
        SetterCase{"CaptionW", [](GroupBox& b) { b.CaptionW(L"分组框"); },
                   [](GroupBox& b) { b.CaptionW(L"新标题"); }}),
    [](const testing::TestParamInfo<SetterCase>& info) { return std::string(info.param.name); });

TEST_F(GroupBoxTest, GettersReturnTheCurrentValues) {
    ASSERT_NE(0u, MakeBox(CaptionText(), 1, Green));
    EXPECT_EQ(CaptionText(), box.Caption());
    EXPECT_EQ(L"分组框", box.CaptionW());
    EXPECT_EQ(Red, box.TextColor());
    EXPECT_EQ(Green, box.FillColor());
    EXPECT_EQ(1, box.CaptionAlign());
    EXPECT_EQ(Blue, box.FrameColor());
    EXPECT_EQ(WideToAnsi(L"另一个"), box.Caption(WideToAnsi(L"另一个")));
}

TEST_F(GroupBoxTest, NewLookShowsAfterASetter) {
    ASSERT_NE(0u, MakeBox(CaptionText()));
    const int top = box.captionHeight / 2 + 1;
    box.FrameColor(Green);
    EXPECT_EQ(Green, SurfacePixel(box, 1, BoxHeight / 2));
    EXPECT_EQ(Green, SurfacePixel(box, 3, top));

    // Now a right-aligned gap: the line at the left is whole up to x = 40.
    box.FrameColor(Blue);
    box.CaptionAlign(2);
    for (int x = 1; x <= 40; ++x) ASSERT_EQ(Blue, SurfacePixel(box, x, top)) << x;
    Gap gap = FindGap(box, top, BoxWidth);
    EXPECT_EQ(BoxWidth - 2 - 9, gap.end);
}

TEST_F(GroupBoxTest, ANewCaptionIsMeasuredAndCutIntoTheFrame) {
    ASSERT_NE(0u, MakeBox(WideToAnsi(L"短")));
    const int shortWidth = box.captionWidth;
    box.Caption(WideToAnsi(L"长得多的标题"));
    EXPECT_GT(box.captionWidth, shortWidth * 3);
    Gap gap = FindGap(box, box.captionHeight / 2 + 1, BoxWidth);
    EXPECT_EQ(box.captionWidth - 1, gap.end - gap.start);

    // Back to no caption: the top line closes again.
    box.Caption("");
    EXPECT_EQ(0, box.captionHeight);
    for (int x = 1; x <= BoxWidth - 2; ++x) ASSERT_EQ(Blue, SurfacePixel(box, x, 1)) << x;
}

TEST_F(GroupBoxTest, ResizingMeasuresAgainForTheNewWidth) {
    std::string longCaption = WideToAnsi(L"一个相当长的分组框标题文字");
    ASSERT_NE(0u, MakeBox(longCaption));
    const int full = box.captionWidth;
    box.Width(60);
    EXPECT_LE(box.captionWidth, 60 - 16);
    EXPECT_LT(box.captionWidth, full);
    Gap gap = FindGap(box, box.captionHeight / 2 + 1, 60);
    EXPECT_EQ(8, gap.start);
}

// ---- Fonts -----------------------------------------------------------------

TEST_F(GroupBoxTest, TheDefaultFontIsBorrowedAndSurvivesTheBox) {
    ASSERT_NE(0u, MakeBox(CaptionText()));
    EXPECT_EQ(defaultFont, box.font);
    box.Destroy();
    EXPECT_EQ(nullptr, box.font);
    EXPECT_EQ(nullptr, box.stringFormat.get());
    REAL size = 0;
    EXPECT_EQ(Ok, GdipGetFontSize(defaultFont, &size));
    EXPECT_FLOAT_EQ(12.0f, size);
}

TEST_F(GroupBoxTest, AFontOfItsOwnChangesTheCaptionSize) {
    ASSERT_NE(0u, MakeBox(CaptionText()));
    const int defaultHeight = box.captionHeight;
    GroupBox large;
    ASSERT_NE(0u, large.Create(window.parent(), 20, 100, 200, 80, CaptionText(), Red,
                               std::nullopt, 24));
    ASSERT_NE(nullptr, large.font);
    EXPECT_NE(defaultFont, large.font);
    REAL size = 0;
    GdipGetFontSize(large.font, &size);
    EXPECT_FLOAT_EQ(24.0f, size);
    EXPECT_EQ(FontFamilyName(defaultFont), FontFamilyName(large.font));
    EXPECT_GT(large.captionHeight, defaultHeight + 8);
    large.Destroy();
    EXPECT_EQ(nullptr, large.font);
}

TEST_F(GroupBoxTest, AnUnknownFamilyFallsBackToTheDefaultFamily) {
    ASSERT_NE(0u, box.Create(window.parent(), 20, 20, BoxWidth, BoxHeight, CaptionText(), Red,
                             WideToAnsi(L"并不存在的字体"), std::nullopt, 1));
    ASSERT_NE(nullptr, box.font);
    EXPECT_NE(defaultFont, box.font);
    EXPECT_EQ(FontFamilyName(defaultFont), FontFamilyName(box.font));
    INT style = -1;
    GdipGetFontStyle(box.font, &style);
    EXPECT_EQ(FontStyleBold, style);
    EXPECT_GT(box.captionWidth, 0);
}

TEST_F(GroupBoxTest, CreateTwiceThroughTheSameObjectCreatesOnce) {
    ControlHandle first = MakeBox(CaptionText());
    ASSERT_NE(0u, first);
    EXPECT_EQ(first, MakeBox("", 2));
    EXPECT_EQ(L"分组框", box.caption);
    EXPECT_EQ(0, box.captionAlign);
    EXPECT_EQ(defaultFont, box.font);
    EXPECT_NE(nullptr, box.stringFormat.get());
}

// ---- On the host's canvas --------------------------------------------------

bool Near(int a, int b, int tolerance = 3) { return std::abs(a - b) <= tolerance; }

// The main window's three caption-less frames, on a host attached as the
// main window is (rounded frame, automatic caption plus minimise).
TEST(GroupBoxOnHost, TheMainWindowFramesShowOnTheCanvas) {
    struct Frame {
        int x, y, width, height;
    };
    const Frame frames[] = {{16, 381, 115, 80}, {135, 381, 180, 80}, {320, 381, 235, 80}};
    GroupBox boxes[3];
    AttachOptions options;
    options.backColor = 0xECECEC;
    options.captionFlags = CaptionAutomatic | CaptionMinimize;
    TestWindow window(580, 474, WS_POPUP, options);
    for (int i = 0; i < 3; ++i) {
        const Frame& f = frames[i];
        ASSERT_NE(0u, boxes[i].Create(window.parent(), f.x, f.y, f.width, f.height, ""));
        EXPECT_EQ(1, boxes[i].rounded);
    }
    PumpMessages();

    // The frame colour, black at alpha 80, over the grey skin.
    const int line = 0xEC * (255 - 80) / 255;
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.x);
        for (auto [x, y] : {std::pair{f.x + 1, f.y + 40}, {f.x + f.width - 2, f.y + 40},
                            {f.x + f.width / 2, f.y + 1}, {f.x + f.width / 2, f.y + f.height - 2}}) {
            DWORD p = CanvasAt(window.host, x, y);
            EXPECT_TRUE(Near(RedOf(p), line) && Near(GreenOf(p), line) && Near(BlueOf(p), line))
                << std::hex << p << " at " << std::dec << x << "," << y;
        }
        // Inside, outside and in the rounded corner the skin shows.
        for (auto [x, y] : {std::pair{f.x + f.width / 2, f.y + 40}, {f.x, f.y + 40},
                            {f.x + 1, f.y + 1}}) {
            DWORD p = CanvasAt(window.host, x, y);
            EXPECT_EQ(0xEC, RedOf(p)) << std::hex << p << " at " << std::dec << x << "," << y;
        }
    }
}

}  // namespace
