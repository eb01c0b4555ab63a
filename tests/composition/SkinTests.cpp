// The host's skin read back from its canvas: colour and opacity, frame
// lines, the four shadow rings, the window region of a plain window, skin
// images in every placement and frame style, borrowed skins, and the order
// of skin, onPaint and controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "painting/PaintingSupport.h"
#include "toolkit/controls/Images.h"

namespace {

constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Blue = 0xFF0000FF;

bool Near(int a, int b, int tolerance = 2) { return std::abs(a - b) <= tolerance; }

// 0xAARRGGBB of a COLORREF at an opacity, premultiplied as the canvas holds it.
DWORD Premultiplied(COLORREF color, int alpha) {
    auto scale = [alpha](int channel) { return static_cast<DWORD>((channel * alpha + 127) / 255); };
    return static_cast<DWORD>(alpha) << 24 | scale(GetRValue(color)) << 16 |
           scale(GetGValue(color)) << 8 | scale(GetBValue(color));
}

void ExpectPixelNear(DWORD expected, DWORD actual, const char* what, int tolerance = 2) {
    EXPECT_TRUE(Near(AlphaOf(expected), AlphaOf(actual), tolerance) &&
                Near(RedOf(expected), RedOf(actual), tolerance) &&
                Near(GreenOf(expected), GreenOf(actual), tolerance) &&
                Near(BlueOf(expected), BlueOf(actual), tolerance))
        << what << ": expected " << std::hex << expected << ", got " << actual;
}

struct ColourCase {
    int windowAlpha;
    int frameStyle;
    COLORREF backColor;
};

class SkinColourTest : public testing::TestWithParam<ColourCase> {};

TEST_P(SkinColourTest, SkinIsTheBackColourAtTheWindowsOpacity) {
    const ColourCase& c = GetParam();
    TestWindow window(300, 200, WS_POPUP, PlainOptions(c.windowAlpha, c.frameStyle, c.backColor));
    const int alpha = c.windowAlpha == -1 ? 255 : c.windowAlpha;
    ExpectPixelNear(Premultiplied(c.backColor, alpha), CanvasPixel(window.host, 150, 100), "centre");
    ExpectPixelNear(Premultiplied(c.backColor, alpha), CanvasPixel(window.host, 9, 100), "near the edge");
    EXPECT_EQ(c.backColor, window.host.backColor);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkinColourTest,
                         testing::Values(ColourCase{-1, 7, 0xECECEC}, ColourCase{255, 7, 0x336699},
                                         ColourCase{200, 7, 0xFFFFFF}, ColourCase{128, 0, 0x0000FF},
                                         ColourCase{-1, 0, 0x102030}));

struct FrameCase {
    int frameStyle;
};

class FrameLineTest : public testing::TestWithParam<int> {};

// On a black skin the outer line shows as 0x606060 at 204/255 and the
// inner one as white at 102/255, one pixel inside the skin on every side.
TEST_P(FrameLineTest, OuterDarkAndInnerLightLineInsideTheSkin) {
    const int frameStyle = GetParam();
    const int w = 300, h = 200;
    TestWindow window(w, h, WS_POPUP, PlainOptions(-1, frameStyle, 0x000000));
    const DWORD outer = Premultiplied(0x606060, 204) | 0xFF000000u;
    const DWORD inner = Premultiplied(0xFFFFFF, 102) | 0xFF000000u;
    const HostWindow& host = window.host;
    ExpectPixelNear(outer, CanvasPixel(host, 6, h / 2), "left outer");
    ExpectPixelNear(inner, CanvasPixel(host, 7, h / 2), "left inner");
    ExpectPixelNear(0xFF000000u, CanvasPixel(host, 8, h / 2), "left skin");
    ExpectPixelNear(outer, CanvasPixel(host, w / 2, 6), "top outer");
    ExpectPixelNear(inner, CanvasPixel(host, w / 2, 7), "top inner");
    ExpectPixelNear(outer, CanvasPixel(host, w - 7, h / 2), "right outer");
    ExpectPixelNear(inner, CanvasPixel(host, w - 8, h / 2), "right inner");
    ExpectPixelNear(outer, CanvasPixel(host, w / 2, h - 7), "bottom outer");
    ExpectPixelNear(inner, CanvasPixel(host, w / 2, h - 8), "bottom inner");
}

INSTANTIATE_TEST_SUITE_P(Styles, FrameLineTest, testing::Values(0, 7));

TEST(SkinShape, RoundedFrameLeavesTheCornerOpenSquareFrameDoesNot) {
    TestWindow rounded(300, 200, WS_POPUP, PlainOptions(-1, 7));
    TestWindow square(300, 200, WS_POPUP, PlainOptions(-1, 0));
    EXPECT_EQ(0, AlphaOf(CanvasPixel(rounded.host, 6, 6)));
    EXPECT_EQ(255, AlphaOf(CanvasPixel(square.host, 6, 6)));
    EXPECT_EQ(0, AlphaOf(CanvasPixel(square.host, 5, 100)));  // the margin stays clear
}

struct ShadowCase {
    int frameStyle;
    COLORREF shadowColor;
};

class ShadowTest : public testing::TestWithParam<ShadowCase> {};

// The rings lie on the skin area and 1, 2, 3 pixels outside it, at alphas
// 45, 25, 10 and 5, in the shadow colour.
TEST_P(ShadowTest, FourRingsFadeOutward) {
    const ShadowCase& c = GetParam();
    const int w = 300, h = 200;
    TestWindow window(w, h, WS_POPUP, AttachOptions(), false);
    window.host.SetShadowColor(c.shadowColor);
    ASSERT_EQ(1, window.host.Attach(window.window, PlainOptions(255, c.frameStyle)));
    const COLORREF ring = c.shadowColor == static_cast<COLORREF>(-1) ? 0 : c.shadowColor;
    const int alphas[4] = {45, 25, 10, 5};
    for (int i = 0; i < 4; ++i) {
        const DWORD expected = Premultiplied(ring, alphas[i]);
        ExpectPixelNear(expected, CanvasPixel(window.host, 5 - i, h / 2), "left ring", 1);
        ExpectPixelNear(expected, CanvasPixel(window.host, w / 2, 5 - i), "top ring", 1);
    }
    EXPECT_EQ(0u, CanvasPixel(window.host, 1, h / 2));
    EXPECT_EQ(0u, CanvasPixel(window.host, 0, h / 2));
}

INSTANTIATE_TEST_SUITE_P(Cases, ShadowTest,
                         testing::Values(ShadowCase{7, static_cast<COLORREF>(-1)},
                                         ShadowCase{7, 0x000000}, ShadowCase{0, 0x0000FF},
                                         ShadowCase{7, 0x00FF00}));

TEST(SkinShape, PlainWindowGetsARegionAndNoShadow) {
    const int w = 300, h = 200;
    TestWindow plain(w, h, WS_POPUP, PlainOptions(-1, 7));
    EXPECT_EQ(0u, CanvasPixel(plain.host, 4, h / 2));
    OwnedHRgn region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, GetWindowRgn(plain.window, region.get()));
    EXPECT_TRUE(PtInRegion(region.get(), w / 2, 6));
    EXPECT_TRUE(PtInRegion(region.get(), 6, h / 2));
    EXPECT_FALSE(PtInRegion(region.get(), 5, h / 2));
    EXPECT_FALSE(PtInRegion(region.get(), 6, 6));  // rounded corner
    EXPECT_FALSE(PtInRegion(region.get(), w - 5, h / 2));

    TestWindow square(w, h, WS_POPUP, PlainOptions(-1, 0));
    OwnedHRgn squareRegion(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, GetWindowRgn(square.window, squareRegion.get()));
    EXPECT_TRUE(PtInRegion(squareRegion.get(), 6, 6));

    TestWindow layered(w, h, WS_POPUP, PlainOptions(255, 7));
    OwnedHRgn none(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(ERROR, GetWindowRgn(layered.window, none.get()));
}

// ---- Skin images ---------------------------------------------------------------

// A skin picture: its left half red, its right half blue.
class SkinImageTest : public testing::Test {
protected:
    std::vector<unsigned char> Picture(int width, int height) {
        Surface picture = SolidBitmap(width, height, Red);
        FillArea(picture, RectF(width / 2.0f, 0, width / 2.0f, static_cast<REAL>(height)), Blue);
        return EncodePng(picture.bitmap.get());
    }
    AttachOptions WithImage(const std::vector<unsigned char>& bytes, int imageMode,
                            int frameStyle = 7, int edgeFade = 0) {
        AttachOptions options = PlainOptions(255, frameStyle);
        options.backColor.reset();
        options.skinImageBytes = bytes.data();
        options.skinImageSize = bytes.size();
        options.imageMode = imageMode;
        options.imageEdgeFade = edgeFade;
        return options;
    }
};

TEST_F(SkinImageTest, BackColourIsTheImagesAverageUnlessGiven) {
    auto bytes = Picture(40, 20);
    TestWindow derived(300, 200, WS_POPUP, WithImage(bytes, 0));
    EXPECT_EQ(RGB(127, 0, 127), derived.host.backColor);
    ExpectPixelNear(0xFF7F007Fu, CanvasPixel(derived.host, 150, 100), "average colour");

    AttachOptions given = WithImage(bytes, 0);
    given.backColor = 0xECECEC;
    TestWindow window(300, 200, WS_POPUP, given);
    EXPECT_EQ(0xECECECu, window.host.backColor);
    EXPECT_EQ(0xFFECECECu, CanvasPixel(window.host, 150, 100));
}

TEST_F(SkinImageTest, NaturalSizeAtTheSkinCorner) {
    auto bytes = Picture(40, 20);
    TestWindow window(300, 200, WS_POPUP, WithImage(bytes, 0));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 9, 10));
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 44, 24));
    EXPECT_EQ(0xFF7F007Fu, CanvasPixel(window.host, 45, 24));  // beyond the picture
}

TEST_F(SkinImageTest, StretchedOverTheSkinArea) {
    auto bytes = Picture(40, 20);
    TestWindow window(300, 200, WS_POPUP, WithImage(bytes, 1));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 20, 100));
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 280, 180));
}

TEST_F(SkinImageTest, CentredAndFadedOnAllEdges) {
    auto bytes = Picture(200, 100);
    TestWindow window(400, 300, WS_POPUP, WithImage(bytes, 2, 7, 1));
    // The picture spans (100, 100) - (300, 200); its centre column keeps
    // its colours, its borders melt into the average colour.
    const DWORD average = 0xFF7F007Fu;
    EXPECT_EQ(average, CanvasPixel(window.host, 50, 150));
    DWORD nearLeftEdge = CanvasPixel(window.host, 101, 150);
    EXPECT_TRUE(Near(RedOf(average), RedOf(nearLeftEdge), 12)) << std::hex << nearLeftEdge;
    DWORD inside = CanvasPixel(window.host, 160, 150);
    EXPECT_GT(RedOf(inside), RedOf(nearLeftEdge));
}

TEST_F(SkinImageTest, BottomAndRightEdgesFadeAtTheCorner) {
    auto bytes = Picture(300, 200);
    TestWindow window(400, 300, WS_POPUP, WithImage(bytes, 0, 7, 1));
    const DWORD average = 0xFF7F007Fu;
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 20, 20));  // far from both bands
    DWORD atRightEdge = CanvasPixel(window.host, 303, 20);
    EXPECT_TRUE(Near(BlueOf(average), BlueOf(atRightEdge), 12)) << std::hex << atRightEdge;
    DWORD atBottom = CanvasPixel(window.host, 20, 203);
    EXPECT_TRUE(Near(RedOf(average), RedOf(atBottom), 12)) << std::hex << atBottom;
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 20, 20));
}

TEST_F(SkinImageTest, TranslucentWindowScalesTheWholeSkin) {
    auto bytes = Picture(40, 20);
    AttachOptions options = WithImage(bytes, 0);
    options.windowAlpha = 128;
    TestWindow window(300, 200, WS_POPUP, options);
    ExpectPixelNear(Premultiplied(RGB(255, 0, 0), 128), CanvasPixel(window.host, 9, 10), "image");
    ExpectPixelNear(Premultiplied(RGB(127, 0, 127), 128), CanvasPixel(window.host, 150, 100),
                    "fill");
}

TEST_F(SkinImageTest, ImageFrameWithoutSlicesIsTheBareImage) {
    auto bytes = Picture(40, 20);
    TestWindow window(300, 200, WS_POPUP, WithImage(bytes, 0, 1));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 0, 0));
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 39, 19));
    EXPECT_EQ(0u, CanvasPixel(window.host, 40, 19));  // nothing else: no fill, frame or shadow
    EXPECT_EQ(0u, CanvasPixel(window.host, 150, 100));
    EXPECT_EQ(0u, CanvasPixel(window.host, 2, 100));
    EXPECT_EQ(nullptr, window.host.clipRegion);
}

TEST_F(SkinImageTest, ImageFrameWithSlicesCoversTheWindow) {
    auto bytes = Picture(40, 20);
    AttachOptions options = WithImage(bytes, 0, 1);
    options.sliceRect = RECT{5, 5, 35, 15};
    TestWindow window(300, 200, WS_POPUP, options);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 1, 1));
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 298, 198));
    EXPECT_EQ(0xFF0000FFu, CanvasPixel(window.host, 295, 100));
}

TEST_F(SkinImageTest, UndecodableImageLeavesThePlainColour) {
    const unsigned char junk[] = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    AttachOptions options = PlainOptions(255);
    options.backColor.reset();
    options.skinImageBytes = junk;
    options.skinImageSize = sizeof(junk);
    TestWindow window(300, 200, WS_POPUP, options);
    EXPECT_EQ(nullptr, window.host.skinImage);
    EXPECT_EQ(0u, window.host.backColor);
    EXPECT_EQ(0xFF000000u, CanvasPixel(window.host, 150, 100));
}

TEST_F(SkinImageTest, BorrowedSkinWinsOverOwnAndIsNeverFreedByTheBorrower) {
    auto bytes = Picture(40, 20);
    TestWindow owner(300, 200, WS_POPUP, WithImage(bytes, 0));
    {
        AttachOptions options = PlainOptions(255, 7, 0x00FF00);
        options.skinSource = owner.window;
        TestWindow borrower(200, 100, WS_POPUP, options);
        EXPECT_EQ(owner.host.skinImage, borrower.host.skinImage);
        EXPECT_EQ(owner.host.backColor, borrower.host.backColor);
        EXPECT_EQ(0xFFFF0000u, CanvasPixel(borrower.host, 9, 10));
    }
    // The borrower is gone; the owner's image is still whole.
    EXPECT_EQ(40u, ImageWidth(owner.host.skinImage));
    owner.host.RedrawSkin(nullptr, 0, std::nullopt, -1);
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(owner.host, 9, 10));
}

TEST_F(SkinImageTest, SkinOfALenderThatIsGoneIsDropped) {
    auto bytes = Picture(40, 20);
    auto owner = std::make_unique<TestWindow>(300, 200, WS_POPUP, WithImage(bytes, 0));
    AttachOptions options = PlainOptions(255, 7, 0x00FF00);
    options.skinSource = owner->window;
    TestWindow borrower(200, 100, WS_POPUP, options);
    owner.reset();
    borrower.host.RedrawSkin(nullptr, 0, 0x00FF00, -1);
    EXPECT_EQ(nullptr, borrower.host.skinImage);
    EXPECT_EQ(nullptr, borrower.host.skinSource);
    EXPECT_EQ(0xFF00FF00u, CanvasPixel(borrower.host, 9, 10));
}

// ---- Skin, onPaint and controls ---------------------------------------------------

std::vector<int> paintCalls;
void PaintGreenBand(HWND, GpGraphics* canvas, int width, int height) {
    paintCalls.push_back(width * 10000 + height);
    OwnedBrush brush = MakeSolidBrush(0xFF00FF00);
    GdipFillRectangle(canvas, brush.get(), 20, 20, 100, 10);
}

TEST(SkinLayers, OnPaintDrawsOverTheSkinAndUnderControls) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255, 7, 0xFFFFFF));
    paintCalls.clear();
    window.host.SetOnPaint(PaintGreenBand);
    SolidControl control(Red);
    control.Make(window.window, 60, 10, 20, 30);
    window.host.RedrawSkin(nullptr, 0, std::nullopt, -1);
    EXPECT_EQ(std::vector<int>{300 * 10000 + 200}, paintCalls);
    EXPECT_EQ(0xFF00FF00u, CanvasPixel(window.host, 30, 25));
    EXPECT_EQ(0xFFFF0000u, CanvasPixel(window.host, 70, 25));
    // The band belongs to the backdrop: a repaint keeps it.
    control.Visible(0);
    PumpMessages();
    EXPECT_EQ(0xFF00FF00u, CanvasPixel(window.host, 70, 25));
}

TEST(SkinLayers, VisibleControlsHearOfTheNewBackdropUnlessSkipped) {
    TestWindow window(300, 200, WS_POPUP, PlainOptions(255));
    SolidControl shown(Red), hidden(Blue), child(Blue);
    ControlHandle parent = shown.Make(window.window, 20, 20, 50, 50);
    hidden.Make(window.window, 100, 20, 20, 20, 0);
    child.Create(parent, RectF(30, 30, 10, 10), KindLabel, 1);
    auto heard = [](const SolidControl& c) {
        return std::count(c.events.begin(), c.events.end(), static_cast<UINT>(EventBackdropChanged));
    };
    window.host.RedrawSkin(nullptr, 0, std::nullopt, -1, false);
    EXPECT_EQ(1, heard(shown));
    EXPECT_EQ(1, heard(child));
    EXPECT_EQ(0, heard(hidden));
    window.host.RedrawSkin(nullptr, 0, std::nullopt, -1, true);
    EXPECT_EQ(1, heard(shown));
}

}  // namespace
