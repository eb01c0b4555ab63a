// Drawing primitives and colour helpers, read back from real GDI+ bitmaps:
// colour conversion and darkness, the one-pixel geometry of paths, fills
// and borders, text measuring, the glow and outline effects, and the
// backdrop test against a real host window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/TestWindow.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/Toolkit.h"

namespace {

ARGB PixelAt(GpBitmap* bitmap, int x, int y) {
    ARGB color = 0;
    GdipBitmapGetPixel(bitmap, x, y, &color);
    return color;
}

ARGB PixelAt(const Surface& surface, int x, int y) { return PixelAt(surface.bitmap.get(), x, y); }

int AlphaOf(ARGB color) { return static_cast<int>(color >> 24); }

std::vector<ARGB> AllPixels(const Surface& surface, int width, int height) {
    std::vector<ARGB> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(PixelAt(surface, x, y));
    return pixels;
}

OwnedBitmap MakeBitmap(int width, int height) {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    return OwnedBitmap(bitmap);
}

OwnedStringFormat MakeFormat() {
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    return OwnedStringFormat(format);
}

// ---- Colour ---------------------------------------------------------------

struct ToArgbCase {
    COLORREF rgb;
    std::optional<int> alpha;
    std::optional<int> useAlpha;
    ARGB expected;
};

class ToArgbTable : public testing::TestWithParam<ToArgbCase> {};

TEST_P(ToArgbTable, SwapsRedAndBlueAndPlacesTheAlpha) {
    const ToArgbCase& c = GetParam();
    EXPECT_EQ(c.expected, ToArgb(c.rgb, c.alpha, c.useAlpha));
}

INSTANTIATE_TEST_SUITE_P(
    Colour, ToArgbTable,
    testing::Values(ToArgbCase{0x000000FF, 255, 1, 0xFEFF0000},  // 255 is written as 254
                    ToArgbCase{0x00000000, 210, 1, 0xD2000000},
                    ToArgbCase{0x00FFFFFF, 0, 1, 0x00FFFFFF},
                    ToArgbCase{0x00123456, std::nullopt, std::nullopt, 0xFE563412},
                    ToArgbCase{0x00123456, 100, std::nullopt, 0x64563412},
                    ToArgbCase{0x00123456, 100, 0, 0xFE563412},  // alpha not used
                    ToArgbCase{0x00123456, -1, 1, 0xFF563412},   // low byte 0xFF
                    ToArgbCase{0x00123456, 0x1FF, 1, 0xFF563412},
                    ToArgbCase{0x00123456, 0x180, 1, 0x80563412},
                    ToArgbCase{0xAA00FF00, 16, 1, 0x1000FF00}));  // top byte ignored

TEST(Colour, SplitArgbGivesTheFourBytes) {
    ArgbParts parts = SplitArgb(0x80402010);
    EXPECT_EQ(0x80, parts.alpha);
    EXPECT_EQ(0x40, parts.red);
    EXPECT_EQ(0x20, parts.green);
    EXPECT_EQ(0x10, parts.blue);
    ArgbParts white = SplitArgb(0xFFFFFFFF);
    EXPECT_EQ(255, white.alpha);
    EXPECT_EQ(255, white.red);
    EXPECT_EQ(255, white.green);
    EXPECT_EQ(255, white.blue);
}

struct DarkCase {
    ARGB color;
    bool dark;
};

class IsDarkColorTable : public testing::TestWithParam<DarkCase> {};

TEST_P(IsDarkColorTable, ComparesLuminanceWith192) {
    EXPECT_EQ(GetParam().dark, IsDarkColor(GetParam().color));
}

INSTANTIATE_TEST_SUITE_P(
    Colour, IsDarkColorTable,
    testing::Values(DarkCase{0xFEFF0000, true},   // pure red: 76.2
                    DarkCase{0x00C0C0C0, false},  // exactly 192
                    DarkCase{0xFEC0C0C0, false},
                    DarkCase{0xFEBFBFBF, true},   // 191
                    DarkCase{0xFE00FF00, true},   // green: 149.7
                    DarkCase{0xFEFFFF00, false},  // yellow: 225.9
                    DarkCase{0x00000000, true},
                    DarkCase{0xFEFFFFFF, false},
                    DarkCase{0x00FFFFFF, false}));  // alpha plays no part

TEST(Geometry, OffsetRectAddsOnlyTheGivenDeltas) {
    RectF rect(10, 20, 30, 40);
    OffsetRect(1.5f, std::nullopt, -4, std::nullopt, rect);
    EXPECT_FLOAT_EQ(11.5f, rect.X);
    EXPECT_FLOAT_EQ(20.0f, rect.Y);
    EXPECT_FLOAT_EQ(26.0f, rect.Width);
    EXPECT_FLOAT_EQ(40.0f, rect.Height);
    OffsetRect(std::nullopt, 2, std::nullopt, 3, rect);
    EXPECT_FLOAT_EQ(11.5f, rect.X);
    EXPECT_FLOAT_EQ(22.0f, rect.Y);
    EXPECT_FLOAT_EQ(26.0f, rect.Width);
    EXPECT_FLOAT_EQ(43.0f, rect.Height);
}

// ---- RoundRectPath --------------------------------------------------------

struct PathCase {
    RectF rect;
    float diameter;
    int fillMode;
    float right;   // x of the two right arc boxes
    float bottom;  // y of the two bottom arc boxes
};

class RoundRectPathTable : public testing::TestWithParam<PathCase> {};

TEST_P(RoundRectPathTable, FourArcsWithTheRightAndBottomEdgesOnePixelInside) {
    const PathCase& c = GetParam();
    OwnedPath path = RoundRectPath(c.rect, c.diameter, c.fillMode);
    ASSERT_TRUE(path);

    GpFillMode mode = FillModeAlternate;
    GdipGetPathFillMode(path.get(), &mode);
    EXPECT_EQ(c.fillMode, static_cast<int>(mode));

    RectF bounds;
    GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr);
    EXPECT_NEAR(c.rect.X, bounds.X, 1e-3);
    EXPECT_NEAR(c.rect.Y, bounds.Y, 1e-3);
    EXPECT_NEAR(c.rect.Width - 1, bounds.Width, 1e-3);
    EXPECT_NEAR(c.rect.Height - 1, bounds.Height, 1e-3);

    // Each 90-degree arc is one Bezier: a start point and three more. The
    // start and end points sit on the midpoints of the arc boxes' sides.
    INT count = 0;
    GdipGetPointCount(path.get(), &count);
    ASSERT_EQ(16, count);
    std::vector<PointF> points(count);
    std::vector<BYTE> types(count);
    GdipGetPathPoints(path.get(), points.data(), count);
    GdipGetPathTypes(path.get(), types.data(), count);
    const float x = c.rect.X, y = c.rect.Y, d = c.diameter, r = d / 2;
    const PointF expected[8] = {
        {x, y + r},           {x + r, y},                  // top-left, from 180 degrees
        {c.right + r, y},     {c.right + d, y + r},        // top-right, from 270
        {c.right + d, c.bottom + r}, {c.right + r, c.bottom + d},  // bottom-right, from 0
        {x + r, c.bottom + d}, {x, c.bottom + r},          // bottom-left, from 90
    };
    for (int arc = 0; arc < 4; ++arc) {
        SCOPED_TRACE(arc);
        EXPECT_NEAR(expected[2 * arc].X, points[4 * arc].X, 1e-3);
        EXPECT_NEAR(expected[2 * arc].Y, points[4 * arc].Y, 1e-3);
        EXPECT_NEAR(expected[2 * arc + 1].X, points[4 * arc + 3].X, 1e-3);
        EXPECT_NEAR(expected[2 * arc + 1].Y, points[4 * arc + 3].Y, 1e-3);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(PathPointTypeBezier, types[4 * arc + k] & PathPointTypePathTypeMask);
    }
    EXPECT_EQ(PathPointTypeStart, types[0] & PathPointTypePathTypeMask);
    EXPECT_TRUE(types[count - 1] & PathPointTypeCloseSubpath);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, RoundRectPathTable,
    testing::Values(PathCase{RectF(0, 0, 100, 30), 4, 0, 95, 25},
                    PathCase{RectF(10, 5, 50, 40), 10, 1, 49, 34},
                    PathCase{RectF(2.5f, 3.5f, 20, 12), 6, 0, 15.5f, 8.5f}));

// ---- Fills ----------------------------------------------------------------

TEST(Fills, FillRoundRectLeavesTheCornersClearAndTheLastColumnAndRowEmpty) {
    const ARGB red = ToArgb(0x0000FF);
    Surface surface = MakeSurface(42, 22);
    FillRoundRect(surface.graphics.get(), RectF(0, 0, 40, 20), 10, red);
    EXPECT_EQ(red, PixelAt(surface, 20, 10));
    EXPECT_EQ(red, PixelAt(surface, 0, 10));
    EXPECT_EQ(red, PixelAt(surface, 38, 10));
    EXPECT_EQ(red, PixelAt(surface, 20, 0));
    for (auto [x, y] : {std::pair{0, 0}, {38, 0}, {0, 18}, {38, 18}})
        EXPECT_EQ(0u, PixelAt(surface, x, y)) << x << "," << y;
    for (int y = 0; y < 22; ++y) EXPECT_EQ(0u, PixelAt(surface, 39, y)) << y;
    for (int x = 0; x < 42; ++x) EXPECT_EQ(0u, PixelAt(surface, x, 19)) << x;
}

TEST(Fills, FillRoundRectTruncatesTheDiameter) {
    const RectF rect(0, 0, 60, 40);
    Surface whole = MakeSurface(62, 42);
    Surface fraction = MakeSurface(62, 42);
    Surface untruncated = MakeSurface(62, 42);
    FillRoundRect(whole.graphics.get(), rect, 15, 0xFE00FF00);
    FillRoundRect(fraction.graphics.get(), rect, 15.9f, 0xFE00FF00);
    OwnedPath path = RoundRectPath(rect, 15.9f, 0);
    OwnedBrush brush = MakeSolidBrush(0xFE00FF00);
    GdipFillPath(untruncated.graphics.get(), brush.get(), path.get());
    EXPECT_EQ(AllPixels(whole, 62, 42), AllPixels(fraction, 62, 42));
    // The fractional corners would look different.
    EXPECT_NE(AllPixels(untruncated, 62, 42), AllPixels(fraction, 62, 42));
}

struct GradientCase {
    std::optional<int> mode;
    POINT startPixel;  // where the start colour is
    POINT endPixel;    // where the end colour is
};

class FillGradientTable : public testing::TestWithParam<GradientCase> {};

TEST_P(FillGradientTable, RunsFromStartToEndAndFillsOnePixelLess) {
    const GradientCase& c = GetParam();
    Surface surface = MakeSurface(22, 22);
    FillGradient(surface.graphics.get(), RectF(0, 0, 20, 20), 0xFEFF0000, 0xFE0000FF, c.mode);
    ArgbParts start = SplitArgb(PixelAt(surface, c.startPixel.x, c.startPixel.y));
    ArgbParts end = SplitArgb(PixelAt(surface, c.endPixel.x, c.endPixel.y));
    EXPECT_GT(start.alpha, 250);
    EXPECT_GT(start.red, 200);
    EXPECT_LT(start.blue, 55);
    EXPECT_GT(end.alpha, 250);
    EXPECT_LT(end.red, 55);
    EXPECT_GT(end.blue, 200);
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(0u, PixelAt(surface, 19, i)) << i;
        EXPECT_EQ(0u, PixelAt(surface, i, 19)) << i;
    }
    EXPECT_NE(0u, PixelAt(surface, 18, 18));
}

INSTANTIATE_TEST_SUITE_P(
    Fills, FillGradientTable,
    testing::Values(GradientCase{std::nullopt, {10, 0}, {10, 18}},  // vertical by default
                    GradientCase{1, {10, 0}, {10, 18}},
                    GradientCase{0, {0, 10}, {18, 10}},
                    GradientCase{2, {0, 0}, {18, 18}},
                    GradientCase{3, {18, 0}, {0, 18}}));

TEST(Fills, FillGradientDefaultModeIsVertical) {
    Surface omitted = MakeSurface(22, 22);
    Surface vertical = MakeSurface(22, 22);
    FillGradient(omitted.graphics.get(), RectF(0, 0, 20, 20), 0xFEFF0000, 0xFE0000FF);
    FillGradient(vertical.graphics.get(), RectF(0, 0, 20, 20), 0xFEFF0000, 0xFE0000FF, 1);
    EXPECT_EQ(AllPixels(vertical, 22, 22), AllPixels(omitted, 22, 22));
    // Rows are uniform in a vertical gradient.
    for (int y = 0; y < 19; ++y) EXPECT_EQ(PixelAt(omitted, 0, y), PixelAt(omitted, 17, y)) << y;
}

// ---- Borders and strokes --------------------------------------------------

struct Probe {
    int x, y;
    ARGB color;
};

struct BorderCase {
    const char* name;
    ARGB style;
    std::optional<ARGB> color;
    std::optional<float> width;
    std::vector<Probe> probes;
};

class DrawBorderTable : public testing::TestWithParam<BorderCase> {};

TEST_P(DrawBorderTable, StrokesJustInsideTheRectangle) {
    const BorderCase& c = GetParam();
    Surface surface = MakeSurface(24, 24);
    DrawBorder(surface.graphics.get(), RectF(0, 0, 10, 10), c.style, c.color, c.width);
    for (const Probe& probe : c.probes)
        EXPECT_EQ(probe.color, PixelAt(surface, probe.x, probe.y))
            << std::hex << "at " << std::dec << probe.x << "," << probe.y;
}

const ARGB BlackAt160 = 0xA0000000;
const ARGB BlackAt168 = 0xA8000000;
const ARGB WhiteAt245 = 0xF5FFFFFF;
const ARGB Grey = 0xFE646464;

INSTANTIATE_TEST_SUITE_P(
    Borders, DrawBorderTable,
    testing::Values(
        BorderCase{"none", BorderNone, 0xFEFF0000, std::nullopt,
                   {{0, 0, 0}, {9, 0, 0}, {0, 9, 0}, {9, 9, 0}, {5, 0, 0}}},
        BorderCase{"sunken", BorderSunken, 0xFEFF0000, std::nullopt,
                   {{5, 0, BlackAt160}, {0, 5, BlackAt160}, {8, 0, BlackAt160},
                    {5, 9, WhiteAt245}, {9, 5, WhiteAt245}, {5, 5, 0}, {10, 5, 0}, {5, 10, 0}}},
        BorderCase{"raised", BorderRaised, 0xFEFF0000, std::nullopt,
                   {{5, 0, WhiteAt245}, {8, 0, WhiteAt245}, {9, 0, BlackAt168},
                    {0, 5, WhiteAt245}, {0, 8, WhiteAt245}, {0, 9, BlackAt168},
                    {5, 9, BlackAt168}, {9, 5, BlackAt168}, {9, 9, BlackAt168},
                    {5, 5, 0}, {10, 10, 0}}},
        BorderCase{"solid default grey", BorderSolid, std::nullopt, std::nullopt,
                   {{0, 0, Grey}, {9, 0, Grey}, {0, 9, Grey}, {9, 9, Grey}, {5, 9, Grey},
                    {10, 10, 0}, {10, 5, 0}, {5, 10, 0}, {5, 5, 0}, {1, 5, 0}}},
        BorderCase{"solid given colour", BorderSolid, 0xFEFF0000, std::nullopt,
                   {{0, 5, 0xFEFF0000}, {9, 5, 0xFEFF0000}, {10, 10, 0}}},
        BorderCase{"solid wide", BorderSolid, 0xFEFF0000, 3.0f,
                   {{0, 5, 0xFEFF0000}, {1, 5, 0xFEFF0000}, {3, 5, 0}, {5, 5, 0}}},
        BorderCase{"colour as style", 0xFE00FF00, 0xFEFF0000, std::nullopt,
                   {{0, 0, 0xFE00FF00}, {9, 9, 0xFE00FF00}, {10, 10, 0}, {5, 5, 0}}}),
    [](const testing::TestParamInfo<BorderCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

// Pixels of a row (or column) that are not transparent.
int CountDrawn(const Surface& surface, int fromX, int fromY, int stepX, int stepY, int count,
               ARGB* drawnColor) {
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        ARGB color = PixelAt(surface, fromX + i * stepX, fromY + i * stepY);
        if (color == 0) continue;
        ++drawn;
        if (drawnColor) *drawnColor = color;
    }
    return drawn;
}

TEST(Borders, DashedBorderLeavesGapsAndDefaultsToTranslucentBlack) {
    for (std::optional<ARGB> color : {std::optional<ARGB>(), std::optional<ARGB>(0xFE0000FF)}) {
        Surface surface = MakeSurface(24, 24);
        DrawBorder(surface.graphics.get(), RectF(0, 0, 20, 20), BorderDashed, color);
        ARGB drawnColor = 0;
        int top = CountDrawn(surface, 0, 0, 1, 0, 20, &drawnColor);
        EXPECT_GT(top, 5);
        EXPECT_LT(top, 20);
        EXPECT_EQ(color.value_or(0x78000000), drawnColor);
        int left = CountDrawn(surface, 0, 0, 0, 1, 20, nullptr);
        EXPECT_GT(left, 5);
        EXPECT_LT(left, 20);
        EXPECT_EQ(0, CountDrawn(surface, 0, 20, 1, 0, 24, nullptr));
        EXPECT_EQ(0, CountDrawn(surface, 20, 0, 0, 1, 24, nullptr));
    }
}

TEST(Strokes, DrawRoundRectFollowsThePathOnePixelInside) {
    const ARGB blue = 0xFE0000FF;
    Surface surface = MakeSurface(42, 22);
    DrawRoundRect(surface.graphics.get(), RectF(0, 0, 40, 20), 10, blue);
    EXPECT_EQ(blue, PixelAt(surface, 20, 0));
    EXPECT_EQ(blue, PixelAt(surface, 20, 19));
    EXPECT_EQ(blue, PixelAt(surface, 0, 10));
    EXPECT_EQ(blue, PixelAt(surface, 39, 10));
    EXPECT_EQ(0u, PixelAt(surface, 0, 0));
    EXPECT_EQ(0u, PixelAt(surface, 39, 0));
    EXPECT_EQ(0u, PixelAt(surface, 20, 10));
    EXPECT_EQ(0, CountDrawn(surface, 40, 0, 0, 1, 22, nullptr));
    EXPECT_EQ(0, CountDrawn(surface, 0, 20, 1, 0, 42, nullptr));

    Surface dashed = MakeSurface(42, 22);
    DrawRoundRect(dashed.graphics.get(), RectF(0, 0, 40, 20), 10, blue, DashStyleDash);
    int solidTop = CountDrawn(surface, 0, 0, 1, 0, 42, nullptr);
    int dashedTop = CountDrawn(dashed, 0, 0, 1, 0, 42, nullptr);
    EXPECT_GT(dashedTop, 0);
    EXPECT_LT(dashedTop, solidTop);

    Surface wide = MakeSurface(42, 22);
    DrawRoundRect(wide.graphics.get(), RectF(0, 0, 40, 20), 10, blue, std::nullopt, 4.0f);
    EXPECT_EQ(blue, PixelAt(wide, 20, 1));
    EXPECT_EQ(0u, PixelAt(surface, 20, 1));
}

struct LineCase {
    std::optional<float> width;
    int firstRow;  // rows drawn at x = 10
    int lastRow;
};

class DrawLineTable : public testing::TestWithParam<LineCase> {};

TEST_P(DrawLineTable, DrawsOneLineOfTheGivenWidth) {
    const LineCase& c = GetParam();
    Surface surface = MakeSurface(24, 16);
    DrawLine(surface.graphics.get(), 0xFE00FF00, 2, 8, 19, 8, c.width);
    for (int y = 0; y < 16; ++y) {
        ARGB expected = (y >= c.firstRow && y <= c.lastRow) ? 0xFE00FF00 : 0;
        EXPECT_EQ(expected, PixelAt(surface, 10, y)) << y;
    }
    EXPECT_EQ(0u, PixelAt(surface, 0, 8));
    EXPECT_EQ(0u, PixelAt(surface, 21, 8));
}

INSTANTIATE_TEST_SUITE_P(Strokes, DrawLineTable,
                         testing::Values(LineCase{std::nullopt, 8, 8}, LineCase{1.0f, 8, 8},
                                         LineCase{5.0f, 6, 10}));

// ---- Text -----------------------------------------------------------------

struct AnsiCase {
    std::string text;
    int length;
};

TEST(Text, AnsiTextLengthCountsUtf16Units) {
    ASSERT_EQ(936u, GetACP());
    const AnsiCase cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xD6\xD0\xCE\xC4", 2},            // 中文 in GBK
        {"\xD6\xD0\xCE\xC4" "abc", 5},
        {WideToAnsi(L"一键修改"), 4},
        {std::string("ab\0cd", 5), 2},      // ends at the first zero byte
    };
    for (const AnsiCase& c : cases) EXPECT_EQ(c.length, AnsiTextLength(c.text)) << c.text;
}

TEST(Text, MeasureTextRangeBoundsTheDrawnGlyphs) {
    const std::wstring text = L"一二三";
    const RectF layout(4, 3, 200, 30);
    Surface surface = MakeSurface(220, 40);
    OwnedStringFormat format = MakeFormat();
    ASSERT_TRUE(format);

    RectF boxes[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(MeasureTextRange(surface.graphics.get(), text, defaultFont, format.get(), i, 1,
                                     layout, boxes[i]));
        EXPECT_GT(boxes[i].Width, 0);
        EXPECT_GT(boxes[i].Height, 0);
        if (i > 0) {
            EXPECT_GE(boxes[i].X, boxes[i - 1].X + boxes[i - 1].Width - 0.5f);
        }
    }
    INT ranges = 0;
    GdipGetStringFormatMeasurableCharacterRangeCount(format.get(), &ranges);
    EXPECT_EQ(1, ranges);  // the format keeps the last range

    RectF all;
    ASSERT_TRUE(MeasureTextRange(surface.graphics.get(), text, defaultFont, format.get(), 0, 3,
                                 layout, all));
    EXPECT_NEAR(boxes[0].X, all.X, 0.5);
    EXPECT_NEAR(boxes[2].X + boxes[2].Width, all.X + all.Width, 0.5);

    // Every drawn pixel of the text lies in one of the three boxes, and
    // each box holds some of them.
    OwnedBrush brush = MakeSolidBrush(0xFE000000);
    GdipDrawString(surface.graphics.get(), text.c_str(), -1, defaultFont, &layout, format.get(),
                   brush.get());
    int inside[3] = {0, 0, 0};
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 220; ++x) {
            if (AlphaOf(PixelAt(surface, x, y)) == 0) continue;
            int box = -1;
            for (int i = 0; i < 3; ++i) {
                const RectF& b = boxes[i];
                if (x + 0.5f >= b.X - 1 && x + 0.5f <= b.X + b.Width + 1 &&
                    y + 0.5f >= b.Y - 1 && y + 0.5f <= b.Y + b.Height + 1)
                    box = i;
            }
            EXPECT_GE(box, 0) << "pixel " << x << "," << y << " outside every range";
            if (box >= 0) ++inside[box];
        }
    }
    for (int count : inside) EXPECT_GT(count, 5);
}

TEST(Text, MeasureTextRangeFailsWithoutFormatOrFont) {
    Surface surface = MakeSurface(10, 10);
    OwnedStringFormat format = MakeFormat();
    RectF bounds(1, 2, 3, 4);
    EXPECT_FALSE(MeasureTextRange(surface.graphics.get(), L"一二", defaultFont, nullptr, 0, 1,
                                  RectF(0, 0, 100, 20), bounds));
    EXPECT_FALSE(MeasureTextRange(surface.graphics.get(), L"一二", nullptr, format.get(), 0, 1,
                                  RectF(0, 0, 100, 20), bounds));
    EXPECT_FLOAT_EQ(1, bounds.X);
    EXPECT_FLOAT_EQ(4, bounds.Height);
}

// ---- DrawTextEffect -------------------------------------------------------

const int TextWidth = 90;
const int TextHeight = 40;
const RectF TextLayout(10, 8, 70, 24);
const wchar_t* const SampleText = L"Ab中文";

struct TextSurface {
    Surface surface = MakeSurface(TextWidth, TextHeight);
    std::vector<ARGB> Pixels() const { return AllPixels(surface, TextWidth, TextHeight); }
};

std::vector<ARGB> DrawEffect(const RectF& layout, ARGB color, std::optional<int> effect,
                             std::optional<ARGB> effectColor = std::nullopt) {
    TextSurface text;
    DrawTextEffect(text.surface.graphics.get(), layout, SampleText, defaultFont, color, nullptr,
                   effect, effectColor);
    return text.Pixels();
}

std::vector<ARGB> DrawPlain(ARGB color) {
    TextSurface text;
    OwnedBrush brush = MakeSolidBrush(color);
    GdipDrawString(text.surface.graphics.get(), SampleText, -1, defaultFont, &TextLayout, nullptr,
                   brush.get());
    return text.Pixels();
}

struct PixelBox {
    int left = 1000, top = 1000, right = -1, bottom = -1;
};

// Bounding box of the drawn pixels.
PixelBox DrawnBox(const std::vector<ARGB>& pixels) {
    PixelBox box;
    for (int y = 0; y < TextHeight; ++y) {
        for (int x = 0; x < TextWidth; ++x) {
            if (pixels[y * TextWidth + x] == 0) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

// Largest Chebyshev distance from a halo pixel (drawn with the effect, empty
// in the plain text) to the nearest pixel of the plain text.
int HaloReach(const std::vector<ARGB>& plain, const std::vector<ARGB>& halo) {
    int reach = 0;
    for (int y = 0; y < TextHeight; ++y) {
        for (int x = 0; x < TextWidth; ++x) {
            if (plain[y * TextWidth + x] != 0 || halo[y * TextWidth + x] == 0) continue;
            int nearest = 1000;
            for (int v = 0; v < TextHeight; ++v)
                for (int u = 0; u < TextWidth; ++u)
                    if (plain[v * TextWidth + u] != 0)
                        nearest = std::min(nearest, std::max(std::abs(u - x), std::abs(v - y)));
            reach = std::max(reach, nearest);
        }
    }
    return reach;
}

TEST(TextEffect, PlainEffectDrawsOnlyTheText) {
    std::vector<ARGB> plain = DrawPlain(0xFEFFFFFF);
    ASSERT_NE(std::count(plain.begin(), plain.end(), 0u), static_cast<long>(plain.size()));
    for (std::optional<int> effect : {std::optional<int>(), std::optional<int>(0),
                                      std::optional<int>(1), std::optional<int>(5)})
        EXPECT_EQ(plain, DrawEffect(TextLayout, 0xFEFFFFFF, effect, 0xFEFF0000));
}

struct HaloCase {
    const char* name;
    int effect;
    ARGB textColor;
    std::optional<ARGB> effectColor;
    ARGB haloRgb;   // colour of the halo pixels, alpha aside
    int minReach;   // how far the halo spreads beyond the glyphs
    int maxReach;
};

// The halo is centred on the text: it reaches past the text's bounding box
// by the same few pixels on every side.
void ExpectHaloMargins(const std::vector<ARGB>& plain, const std::vector<ARGB>& halo,
                       int minMargin, int maxMargin) {
    PixelBox text = DrawnBox(plain);
    PixelBox all = DrawnBox(halo);
    const int margins[4] = {text.left - all.left, text.top - all.top, all.right - text.right,
                            all.bottom - text.bottom};
    for (int side = 0; side < 4; ++side) {
        EXPECT_GE(margins[side], minMargin) << "side " << side;
        EXPECT_LE(margins[side], maxMargin) << "side " << side;
    }
}

class TextHaloTable : public testing::TestWithParam<HaloCase> {};

TEST_P(TextHaloTable, HaloSurroundsTheGlyphsInItsColour) {
    const HaloCase& c = GetParam();
    std::vector<ARGB> plain = DrawPlain(c.textColor);
    std::vector<ARGB> halo = DrawEffect(TextLayout, c.textColor, c.effect, c.effectColor);
    int haloPixels = 0;
    for (size_t i = 0; i < halo.size(); ++i) {
        if (plain[i] != 0 || halo[i] == 0) continue;
        ++haloPixels;
        EXPECT_EQ(c.haloRgb, halo[i] & 0x00FFFFFF) << "pixel " << i;
    }
    EXPECT_GT(haloPixels, 50);
    int reach = HaloReach(plain, halo);
    EXPECT_GE(reach, c.minReach);
    EXPECT_LE(reach, c.maxReach);
    // The outline reaches exactly one pixel past the text; the glow a few
    // (shrinking by 3 truncates, so it leans a little to the top-left).
    if (c.effect == TextEffectOutline) ExpectHaloMargins(plain, halo, 1, 1);
    if (c.effect == TextEffectGlow) ExpectHaloMargins(plain, halo, 1, 4);
    // Fully drawn glyph pixels keep the text colour on top of the halo.
    for (size_t i = 0; i < halo.size(); ++i) {
        if (AlphaOf(plain[i]) == 0xFE) {
            EXPECT_EQ(c.textColor, halo[i]) << "pixel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    TextEffect, TextHaloTable,
    testing::Values(
        HaloCase{"glow_white_text", TextEffectGlow, 0xFEFFFFFF, std::nullopt, 0x000000, 3, 6},
        HaloCase{"glow_dark_text", TextEffectGlow, 0xFE202020, std::nullopt, 0xFFFFFF, 3, 6},
        HaloCase{"glow_given_colour", TextEffectGlow, 0xFEFFFFFF, 0xC0FF0000, 0xFF0000, 3, 6},
        HaloCase{"outline_white_text", TextEffectOutline, 0xFEFFFFFF, std::nullopt, 0x000000, 1, 2},
        HaloCase{"outline_dark_text", TextEffectOutline, 0xFE0000FF, 0u, 0xFFFFFF, 1, 2}),
    [](const testing::TestParamInfo<HaloCase>& info) { return std::string(info.param.name); });

TEST(TextEffect, ContrastingHaloIsBlackAt75OrWhiteAt85) {
    // White text: black at alpha 75; dark text: white at alpha 85. An effect
    // colour of 0 counts as omitted.
    for (int effect : {int(TextEffectGlow), int(TextEffectOutline)}) {
        SCOPED_TRACE(effect);
        std::vector<ARGB> light = DrawEffect(TextLayout, 0xFEFFFFFF, effect);
        EXPECT_EQ(DrawEffect(TextLayout, 0xFEFFFFFF, effect, 0x4B000000), light);
        EXPECT_EQ(DrawEffect(TextLayout, 0xFEFFFFFF, effect, 0u), light);
        EXPECT_NE(DrawEffect(TextLayout, 0xFEFFFFFF, effect, 0x60000000), light);
        std::vector<ARGB> dark = DrawEffect(TextLayout, 0xFE000000, effect);
        EXPECT_EQ(DrawEffect(TextLayout, 0xFE000000, effect, 0x55FFFFFF), dark);
    }
    // A single copy of the spread is at most alpha 75 where it is alone;
    // the five copies together stay below full opacity.
    std::vector<ARGB> plain = DrawPlain(0xFEFFFFFF);
    std::vector<ARGB> outline = DrawEffect(TextLayout, 0xFEFFFFFF, TextEffectOutline);
    int strongest = 0;
    for (size_t i = 0; i < outline.size(); ++i)
        if (plain[i] == 0) strongest = std::max(strongest, AlphaOf(outline[i]));
    EXPECT_GE(strongest, 75 - 8);
    EXPECT_LT(strongest, 220);
}

TEST(TextEffect, LayoutIsTruncatedToWholePixels) {
    const RectF fractional(10.7f, 8.9f, 70.8f, 24.6f);
    for (int effect : {0, int(TextEffectGlow), int(TextEffectOutline)})
        EXPECT_EQ(DrawEffect(TextLayout, 0xFEFFFFFF, effect),
                  DrawEffect(fractional, 0xFEFFFFFF, effect))
            << effect;
}

// ---- IsBackdropDark -------------------------------------------------------

TEST(Backdrop, WindowWithoutHostIsNeverDark) {
    EXPECT_FALSE(IsBackdropDark(nullptr, RectF(0, 0, 10, 10)));
    TestWindow bare(200, 100, WS_OVERLAPPED | WS_CAPTION, AttachOptions(), false);
    ASSERT_TRUE(IsWindow(bare.window));
    EXPECT_FALSE(IsBackdropDark(bare.window, RectF(0, 0, 10, 10)));
}

TEST(Backdrop, WithoutSkinImageTheBackColourDecides) {
    TestWindow test;
    ASSERT_EQ(&test.host, HostFromWindow(test.window));
    GpImage* original = test.host.skinImage;
    test.host.skinImage = nullptr;
    const std::pair<COLORREF, bool> cases[] = {
        {0x202020, true}, {0xF0F0F0, false}, {0x0000FF, true}, {0xC0C0C0, false}, {0x00FFFF, false}};
    for (auto [color, dark] : cases) {
        test.host.backColor = color;
        EXPECT_EQ(dark, IsBackdropDark(test.window, RectF(0, 0, 50, 50))) << std::hex << color;
    }
    test.host.skinImage = original;
}

struct SampleCase {
    RectF rect;
    int xs[3];  // the sample columns and rows, truncated
    int ys[3];
};

class BackdropSamples : public testing::TestWithParam<SampleCase> {};

// More than four of the nine sample points of the skin image must be dark;
// pixels beside the sample points do not count.
TEST_P(BackdropSamples, MoreThanFourOfNineDarkPointsMakeItDark) {
    const SampleCase& c = GetParam();
    TestWindow test;
    GpImage* original = test.host.skinImage;
    test.host.backColor = 0x000000;  // must not be what decides

    struct Layout {
        int darkPoints;
        bool shiftLast;  // the last dark point moved one pixel off its sample
        bool expected;
    };
    const Layout layouts[] = {{0, false, false}, {4, false, false}, {5, true, false},
                              {5, false, true},  {9, false, true}};
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(testing::Message() << layout.darkPoints << " dark, shifted "
                                        << layout.shiftLast);
        OwnedBitmap skin = MakeBitmap(120, 120);
        ASSERT_TRUE(skin);
        {
            GpGraphics* raw = nullptr;
            GdipGetImageGraphicsContext(skin.get(), &raw);
            OwnedGraphics graphics(raw);
            GdipGraphicsClear(graphics.get(), 0xFFF0F0F0);
        }
        for (int i = 0; i < layout.darkPoints; ++i) {
            int x = c.xs[i % 3], y = c.ys[i / 3];
            if (layout.shiftLast && i == layout.darkPoints - 1) x += 1;
            GdipBitmapSetPixel(skin.get(), x, y, 0xFF101010);
        }
        test.host.skinImage = reinterpret_cast<GpImage*>(skin.get());
        EXPECT_EQ(layout.expected, IsBackdropDark(test.window, c.rect));
        test.host.skinImage = original;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Backdrop, BackdropSamples,
    testing::Values(SampleCase{RectF(0, 0, 100, 100), {20, 50, 80}, {20, 50, 80}},
                    SampleCase{RectF(10, 20, 50, 30), {20, 35, 50}, {26, 35, 44}},
                    SampleCase{RectF(3, 5, 9, 9), {4, 7, 10}, {6, 9, 12}}));

}  // namespace
