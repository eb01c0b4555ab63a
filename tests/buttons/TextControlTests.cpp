// TextControl on real hosts: the icon-and-caption layouts, the look of each
// state read back from the control's surface, the pressed offset, the
// keyboard focus rectangle, automatic contrast, mnemonic registration, and
// the ownership of fonts (the shared default font survives every setter).
#include <gtest/gtest.h>

#include <cstdlib>

#include "ToolkitAssets.h"
#include "buttons/ButtonTestSupport.h"
#include "toolkit/host/Toolkit.h"

namespace {

bool Near(int a, int b, int tolerance = 1) { return std::abs(a - b) <= tolerance; }

std::vector<unsigned char> CheckMarkPng() {
    const EmbeddedBytes& bytes = ToolkitAssets::checkMark;
    return std::vector<unsigned char>(bytes.bytes, bytes.bytes + bytes.size);
}

// A text control that can leave its background out (so that only caption
// and icon leave ink), and that records what its layout hook saw and how
// often it painted.
class ProbeText : public TextControl {
public:
    int OnPaintBackground(PaintContext& context, int paintState) override {
        return bare ? 1 : TextControl::OnPaintBackground(context, paintState);
    }
    int OnLayout(PaintContext& context, int paintState, RectF& caption, RectF& iconRect) override {
        lastCaption = caption;
        lastIcon = iconRect;
        return TextControl::OnLayout(context, paintState, caption, iconRect);
    }
    void OnBeginPaint(PaintContext&) override { ++paints; }

    bool bare = false;
    RectF lastCaption{0, 0, 0, 0};
    RectF lastIcon{0, 0, 0, 0};
    int paints = 0;
};

class TextControlTest : public testing::Test {
protected:
    TestWindow window{320, 200, WS_POPUP, BareHost()};
    HostWindow& host = window.host;
};

// ---- Layout -----------------------------------------------------------------

struct LayoutCase {
    const char* name;
    int layout, W, H, iw, ih, tw, th, ox, oy, gap;
    RectF caption, icon;
};

class LayoutTable : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, PlacesIconAndCaption) {
    const LayoutCase& c = GetParam();
    RectF caption(-1, -1, -1, -1), iconRect(-1, -1, -1, -1);
    LayoutIconAndCaption(c.layout, c.W, c.H, c.iw, c.ih, c.tw, c.th, c.ox, c.oy, c.gap, caption,
                         iconRect);
    EXPECT_TRUE(caption.Equals(c.caption)) << caption.X << ", " << caption.Y << ", "
                                           << caption.Width << ", " << caption.Height;
    EXPECT_TRUE(iconRect.Equals(c.icon)) << iconRect.X << ", " << iconRect.Y << ", "
                                         << iconRect.Width << ", " << iconRect.Height;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutTable,
    testing::Values(
        // The 100 x 30 control with a 40 x 14 caption and no icon.
        LayoutCase{"CaptionOnly", 0, 100, 30, 0, 0, 40, 14, 0, 0, 0, {30, 8, 42, 16}, {30, 15, 0, 0}},
        LayoutCase{"IconLeft", 0, 100, 30, 16, 16, 40, 14, 0, 0, 4, {40, 8, 42, 16}, {20, 7, 16, 16}},
        LayoutCase{"IconLeftOffset", 0, 100, 30, 16, 16, 40, 14, 3, -2, 4, {43, 6, 42, 16}, {23, 5, 16, 16}},
        LayoutCase{"IconRight", 1, 100, 30, 16, 16, 40, 14, 0, 0, 4, {20, 8, 42, 16}, {64, 7, 16, 16}},
        LayoutCase{"IconAbove", 2, 100, 60, 16, 16, 40, 14, 0, 0, 4, {30, 33, 42, 16}, {42, 13, 16, 16}},
        LayoutCase{"Overlaid", 3, 100, 30, 16, 16, 40, 14, 0, 0, 4, {30, 8, 42, 16}, {42, 7, 16, 16}},
        LayoutCase{"IconAtLeftEdge", 4, 100, 30, 16, 16, 40, 14, 6, 0, 4, {26, 8, 74, 16}, {6, 7, 16, 16}},
        LayoutCase{"CaptionAtLeftEdge", 5, 100, 30, 16, 16, 40, 14, 6, 0, 4, {6, 8, 74, 16}, {84, 7, 16, 16}},
        LayoutCase{"IconOnTop", 6, 100, 60, 16, 16, 40, 14, 0, 3, 4, {30, 23, 45, 16}, {42, 3, 16, 16}},
        // Halves are truncated; a caption wider than the control starts left of it.
        LayoutCase{"OddWidth", 0, 101, 31, 0, 0, 40, 14, 0, 0, 0, {30, 8, 42, 16}, {30, 15, 0, 0}},
        LayoutCase{"WideCaption", 0, 100, 30, 0, 0, 120, 14, 0, 0, 0, {-10, 8, 122, 16}, {-10, 15, 0, 0}},
        LayoutCase{"UnknownLayout", 7, 100, 30, 16, 16, 40, 14, 0, 0, 4, {0, 0, 0, 0}, {0, 0, 0, 0}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST_F(TextControlTest, CaptionIsCentredAndDrawnWhole) {
    ProbeText probe;
    probe.bare = true;
    probe.Create(window.parent(), 20, 20, 100, 30, WideToAnsi(L"确定"));
    // Layout 0 centres the measured caption: C.x = (W - tw) / 2 with C two
    // pixels wider than the caption.
    const RectF& c = probe.lastCaption;
    const int tw = static_cast<int>(c.Width) - 2;
    EXPECT_GE(tw, 20);  // two characters of the 12-pixel font
    EXPECT_EQ((100 - tw) / 2, static_cast<int>(c.X));
    EXPECT_EQ((30 - (static_cast<int>(c.Height) - 2)) / 2, static_cast<int>(c.Y));
    // Both characters are drawn, inside the caption rectangle.
    InkBox ink = InkOf(probe);
    EXPECT_GE(ink.width(), tw - 3);
    EXPECT_GE(ink.left, static_cast<int>(c.X));
    EXPECT_GE(ink.top, static_cast<int>(c.Y));
    EXPECT_LT(ink.right, static_cast<int>(c.X + c.Width));
    EXPECT_LT(ink.bottom, static_cast<int>(c.Y + c.Height));
}

TEST_F(TextControlTest, PressedStateMovesCaptionAndIconOnePixelDownRight) {
    ProbeText probe;
    probe.bare = true;
    probe.Create(window.parent(), 20, 20, 120, 36, WideToAnsi(L"确定"));
    probe.IconGap(4);
    probe.Icon(CheckMarkPng());

    probe.Paint(probe.handle, StateHover);
    InkBox hover = InkOf(probe);
    RectF hoverCaption = probe.lastCaption, hoverIcon = probe.lastIcon;
    probe.Paint(probe.handle, StatePressed);
    InkBox pressed = InkOf(probe);

    ASSERT_GT(hover.width(), 20);  // icon and caption both left ink
    EXPECT_EQ(hover.left + 1, pressed.left);
    EXPECT_EQ(hover.top + 1, pressed.top);
    EXPECT_EQ(hover.right + 1, pressed.right);
    EXPECT_EQ(hover.bottom + 1, pressed.bottom);
    EXPECT_EQ(hoverCaption.X + 1, probe.lastCaption.X);
    EXPECT_EQ(hoverCaption.Y + 1, probe.lastCaption.Y);
    EXPECT_EQ(hoverIcon.X + 1, probe.lastIcon.X);
    EXPECT_EQ(hoverIcon.Y + 1, probe.lastIcon.Y);
    EXPECT_EQ(20.0f, probe.lastIcon.Width);  // the check mark at its natural size
}

// ---- Looks ------------------------------------------------------------------

struct LookCase {
    int state;
    int shadowAlpha;     // of the bottom line
    int tintDirection;   // sign of (blue tint at the bottom - at the top)
};

class LookTable : public testing::TestWithParam<LookCase> {
protected:
    // Blue background colour: the tint shows as blue over the grey fill.
    TestWindow window{320, 200, WS_POPUP, BareHost(0xFF0000, 0)};
};

TEST_P(LookTable, StateSetsTintShadowAndFill) {
    const LookCase& c = GetParam();
    TextControl control;
    control.Create(window.parent(), 10, 10, 100, 40);
    control.Paint(control.handle, c.state);
    EXPECT_EQ(c.state, control.state);

    ARGB shadow = SurfacePixel(control, 50, 39);
    EXPECT_TRUE(Near(c.shadowAlpha, Alpha(shadow))) << std::hex << shadow;
    if (c.shadowAlpha) {
        EXPECT_EQ(0u, shadow & 0xFFFFFF);
    }

    auto blueness = [&](int y) {
        ARGB p = SurfacePixel(control, 50, y);
        return Blue(p) - Red(p);
    };
    int difference = blueness(35) - blueness(3);
    if (c.tintDirection > 0) {
        EXPECT_GT(difference, 20);
    }
    if (c.tintDirection < 0) {
        EXPECT_LT(difference, -20);
    }
    if (c.tintDirection == 0) {
        EXPECT_LE(std::abs(difference), 3);
    }

    // The alternative look is a faint white fill; the others a solid grey one.
    int fillAlpha = Alpha(SurfacePixel(control, 50, 20));
    if (c.state == StateAlternative) {
        EXPECT_LT(fillAlpha, 0x80);
    }
    else EXPECT_GT(fillAlpha, 0xC0);
}

INSTANTIATE_TEST_SUITE_P(States, LookTable,
                         testing::Values(LookCase{StateNormal, 0x19, 1}, LookCase{StateHover, 0x1E, 1},
                                         LookCase{StatePressed, 0x0A, -1},
                                         LookCase{StateFocused, 0x19, 1},
                                         LookCase{StateAlternative, 0, 0}));

TEST_F(TextControlTest, RoundedCornersAreClippedSquareOnesAreNot) {
    TextControl square, round;
    square.Create(window.parent(), 10, 10, 100, 30, "", std::nullopt, std::nullopt, std::nullopt,
                  std::nullopt, 0, 0, 0);
    round.Create(window.parent(), 10, 50, 100, 30, "", std::nullopt, std::nullopt, std::nullopt,
                 std::nullopt, 0, 0, 1);
    EXPECT_EQ(0, square.rounded);
    EXPECT_EQ(1, round.rounded);
    // The square bevel's outer line reaches the corner pixel; the rounded
    // clip leaves it out.
    EXPECT_TRUE(Near(0x50, Alpha(SurfacePixel(square, 0, 0))));
    EXPECT_EQ(0u, SurfacePixel(square, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(0, Alpha(SurfacePixel(round, 0, 0)));
    EXPECT_EQ(0, Alpha(SurfacePixel(round, 99, 0)));
    EXPECT_TRUE(Near(0x50, Alpha(SurfacePixel(square, 99, 0))));
    EXPECT_GT(Alpha(SurfacePixel(round, 0, 15)), 0xC0);
}

TEST_F(TextControlTest, RoundedDefaultsToTheHostsFrameStyle) {
    TestWindow squareHost(200, 100, WS_POPUP, BareHost(0xFFFFFF, 0));
    TextControl onRounded, onSquare;
    onRounded.Create(window.parent(), 10, 10, 80, 24);
    onSquare.Create(squareHost.parent(), 10, 10, 80, 24);
    EXPECT_EQ(1, onRounded.rounded);
    EXPECT_EQ(0, onSquare.rounded);
}

TEST_F(TextControlTest, KeyboardFocusDrawsTheDashedRectangleInset) {
    // Two alike controls, one focused by Tab (with the keyboard cue), the
    // other by the host's set-focus message (without): their focused looks
    // differ exactly on the dashed rectangle 2 pixels in from the left, top
    // and right and 3 from the bottom.
    ProbeText first, second;
    first.Create(window.parent(), 10, 10, 100, 30, "OK");
    second.Create(window.parent(), 10, 60, 100, 30, "OK");
    PostMessageW(window.window, WM_KEYDOWN, VK_TAB, 0);
    PumpMessages();
    ASSERT_NE(0u, host.focusCueControl);
    ProbeText& cued = host.focusCueControl == first.handle ? first : second;
    ProbeText& plain = &cued == &first ? second : first;
    EXPECT_EQ(StateFocused, cued.state);
    std::vector<ARGB> withCue = SurfacePixels(cued);

    SendMessageW(window.window, HostSetFocus, 0, static_cast<LPARAM>(plain.handle));
    EXPECT_EQ(plain.handle, host.focusedControl);
    EXPECT_EQ(0u, host.focusCueControl);
    EXPECT_EQ(StateFocused, plain.state);
    std::vector<ARGB> withoutCue = SurfacePixels(plain);

    int left = 0, right = 0, top = 0, bottom = 0, elsewhere = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (withCue[y * 100 + x] == withoutCue[y * 100 + x]) continue;
            bool onLeft = x == 2 && y >= 2 && y <= 26, onRight = x == 97 && y >= 2 && y <= 26;
            bool onTop = y == 2 && x >= 2 && x <= 97, onBottom = y == 26 && x >= 2 && x <= 97;
            left += onLeft;
            right += onRight;
            top += onTop;
            bottom += onBottom;
            if (!onLeft && !onRight && !onTop && !onBottom) ++elsewhere;
        }
    }
    EXPECT_GT(left, 5);
    EXPECT_GT(right, 5);
    EXPECT_GT(top, 20);
    EXPECT_GT(bottom, 20);
    EXPECT_EQ(0, elsewhere);
}

struct ContrastCase {
    COLORREF backColor;
    ARGB expected;
};

class ContrastTable : public testing::TestWithParam<ContrastCase> {};

TEST_P(ContrastTable, CaptionTakesTheContrastingColourWithTheTextAlpha) {
    TestWindow window(200, 100, WS_POPUP, BareHost(GetParam().backColor));
    ProbeText probe;
    probe.bare = true;
    probe.Create(window.parent(), 10, 10, 120, 40, "HH", std::nullopt, std::nullopt, 24);
    probe.AutoContrast(1);
    int exact = 0, tooOpaque = 0, wrongColour = 0;
    for (ARGB pixel : SurfacePixels(probe)) {
        if (pixel == GetParam().expected) ++exact;
        if (Alpha(pixel) > 210) ++tooOpaque;
        if (Alpha(pixel) > 100 && (pixel & 0xFFFFFF) != (GetParam().expected & 0xFFFFFF))
            ++wrongColour;
    }
    EXPECT_GT(exact, 10);
    EXPECT_EQ(0, tooOpaque);
    EXPECT_EQ(0, wrongColour);
}

INSTANTIATE_TEST_SUITE_P(Backdrops, ContrastTable,
                         testing::Values(ContrastCase{0x202020, 0xD2FFFFFF},
                                         ContrastCase{0xF0F0F0, 0xD2000000}));

struct PressCase {
    int focusable;
    int stateAfterPress;
};

class PressTable : public testing::TestWithParam<PressCase> {};

TEST_P(PressTable, OnlyAFocusableControlShowsThePressedLook) {
    TestWindow window(300, 200, WS_POPUP, BareHost());
    window.host.Draggable(0);  // a press on a non-focusable control moves no window
    TextControl control;
    control.Create(window.parent(), 20, 20, 100, 30, "OK");
    control.Focusable(GetParam().focusable);

    MouseMessage(window.window, WM_MOUSEMOVE, 60, 35);
    EXPECT_EQ(StateHover, control.state);
    std::vector<ARGB> hover = SurfacePixels(control);
    MouseMessage(window.window, WM_LBUTTONDOWN, 60, 35, MK_LBUTTON);
    EXPECT_EQ(GetParam().stateAfterPress, control.state);
    if (!GetParam().focusable) {
        EXPECT_EQ(hover, SurfacePixels(control));
    }
    MouseMessage(window.window, WM_LBUTTONUP, 60, 35);
    EXPECT_EQ(StateHover, control.state);
}

INSTANTIATE_TEST_SUITE_P(Focusable, PressTable,
                         testing::Values(PressCase{1, StatePressed}, PressCase{0, StateHover}));

// ---- Caption and mnemonic ---------------------------------------------------

struct MnemonicCase {
    const wchar_t* caption;
    UINT key;
};

class MnemonicTable : public testing::TestWithParam<MnemonicCase> {};

TEST_P(MnemonicTable, CreationRegistersTheMarkedCharacter) {
    TestWindow window(200, 100, WS_POPUP, BareHost());
    TextControl control;
    control.Create(window.parent(), 10, 10, 100, 30, WideToAnsi(GetParam().caption));
    EXPECT_EQ(GetParam().caption, control.text);
    EXPECT_EQ(GetParam().key, MnemonicOf(window.host, control.handle));
    if (!GetParam().key) {
        EXPECT_TRUE(window.host.mnemonics.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Captions, MnemonicTable,
                         testing::Values(MnemonicCase{L"&Save", 0x53}, MnemonicCase{L"Save", 0},
                                         MnemonicCase{L"&save", 's'},
                                         MnemonicCase{L"保存(&S)", 'S'},
                                         MnemonicCase{L"A&&B", 0}, MnemonicCase{L"A&&&B", 'B'},
                                         MnemonicCase{L"End&", 0}, MnemonicCase{L"", 0}));

TEST_F(TextControlTest, ChangingTheCaptionRegistersItsMnemonicAgain) {
    TextControl control;
    control.Create(window.parent(), 10, 10, 100, 30, "&Save");
    control.Text("&Open");
    EXPECT_EQ(static_cast<UINT>('O'), MnemonicOf(host, control.handle));
    EXPECT_EQ(1u, host.mnemonics.size());
    control.TextW(L"Plain");
    EXPECT_TRUE(host.mnemonics.empty());
    control.Text("&Close");
    ControlHandle handle = control.handle;
    control.Destroy();
    EXPECT_EQ(0u, MnemonicOf(host, handle));
    EXPECT_TRUE(host.mnemonics.empty());
}

TEST_F(TextControlTest, SettingTheCurrentCaptionDoesNotRepaint) {
    ProbeText probe;
    probe.Create(window.parent(), 10, 10, 100, 30, WideToAnsi(L"确定"));
    int afterCreate = probe.paints;
    EXPECT_EQ(1, afterCreate);
    probe.Text(WideToAnsi(L"确定"));
    probe.TextW(L"确定");
    EXPECT_EQ(afterCreate, probe.paints);
    EXPECT_EQ(WideToAnsi(L"确定"), probe.Text());
    probe.TextW(L"取消");
    EXPECT_EQ(afterCreate + 1, probe.paints);
    EXPECT_EQ(WideToAnsi(L"取消"), probe.Text());
}

// ---- Fonts ------------------------------------------------------------------

// What a font setter may never do: delete the shared default font. Each
// case changes the font of a control in its own way and destroys it; the
// default font must still measure and draw afterwards.
struct FontCase {
    const char* name;
    bool ownFontAtCreation;
    void (*change)(TextControl&);
};

class DefaultFontTable : public testing::TestWithParam<FontCase> {};

TEST_P(DefaultFontTable, DefaultFontSurvivesSettersAndDestruction) {
    const std::string family = FontFamilyName(defaultFont);
    ASSERT_FALSE(family.empty());
    {
        TestWindow window(200, 100, WS_POPUP, BareHost());
        for (int round = 0; round < 3; ++round) {
            TextControl control;
            control.Create(window.parent(), 10, 10, 100, 30, "Font", std::nullopt, std::nullopt,
                           GetParam().ownFontAtCreation ? std::optional<int>(14) : std::nullopt);
            GetParam().change(control);
            control.Destroy();
            EXPECT_EQ(nullptr, control.font);
        }
        // Fonts made and freed meanwhile would reuse a freed default font.
        for (int i = 0; i < 20; ++i) GdipDeleteFont(CreateFontByName(family, 13.0f + i, 0));
    }
    REAL size = 0;
    EXPECT_EQ(Ok, GdipGetFontSize(defaultFont, &size));
    EXPECT_EQ(12.0f, size);
    EXPECT_EQ(family, FontFamilyName(defaultFont));

    TestWindow window(200, 100, WS_POPUP, BareHost());
    ProbeText probe;
    probe.bare = true;
    probe.Create(window.parent(), 10, 10, 100, 30, "HH");
    EXPECT_EQ(defaultFont, probe.font);
    EXPECT_GT(InkOf(probe).width(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Setters, DefaultFontTable,
    testing::Values(
        FontCase{"FontSize", false, [](TextControl& c) { c.FontSize(20); }},
        FontCase{"FontName", false, [](TextControl& c) { c.FontName("DejaVu Sans"); }},
        FontCase{"FontStyle", false, [](TextControl& c) { c.FontStyle(FontStyleBold); }},
        FontCase{"BackToDefault", false,
                 [](TextControl& c) {
                     c.FontSize(20);
                     c.Font(defaultFont);
                 }},
        FontCase{"DefaultTwice", false, [](TextControl& c) { c.Font(defaultFont); }},
        FontCase{"ZeroFont", true, [](TextControl& c) { c.Font(nullptr); }},
        FontCase{"OwnThenDefault", true, [](TextControl& c) { c.Font(defaultFont); }},
        FontCase{"Unchanged", false, [](TextControl&) {}}),
    [](const testing::TestParamInfo<FontCase>& info) { return std::string(info.param.name); });

TEST_F(TextControlTest, FontSettersKeepTheOtherProperties) {
    TextControl control;
    control.Create(window.parent(), 10, 10, 100, 30, "Font");
    EXPECT_EQ(defaultFont, control.font);
    const std::string family = control.FontName();

    EXPECT_EQ(20.0f, control.FontSize(20));
    EXPECT_EQ(family, control.FontName());
    EXPECT_NE(defaultFont, control.font);

    EXPECT_EQ(FontStyleBold, control.FontStyle(FontStyleBold));
    EXPECT_EQ(20.0f, control.FontSize());

    EXPECT_EQ("DejaVu Sans", control.FontName("DejaVu Sans"));
    EXPECT_EQ(20.0f, control.FontSize());
    EXPECT_EQ(FontStyleBold, control.FontStyle());

    // A family the system does not know falls back to the default font's.
    EXPECT_EQ(family, control.FontName("No Such Family 123"));
    EXPECT_EQ(20.0f, control.FontSize());
}

TEST_F(TextControlTest, CreatedWithAFontSizeUsesAFontOfItsOwn) {
    TextControl control;
    control.Create(window.parent(), 10, 10, 100, 30, "Font", std::nullopt, std::nullopt, 16);
    EXPECT_NE(defaultFont, control.font);
    EXPECT_EQ(16.0f, control.FontSize());
    EXPECT_EQ(FontFamilyName(defaultFont), control.FontName());
    EXPECT_EQ(KindTextControl, control.kind);
    EXPECT_EQ(TextControlDefaultColor, control.textColor);
    EXPECT_EQ(60, control.transitionInterval);
}

TEST_F(TextControlTest, UndecodableIconIsLeftOut) {
    ProbeText probe;
    probe.bare = true;
    probe.Create(window.parent(), 10, 10, 100, 30);
    probe.Icon(std::vector<unsigned char>{1, 2, 3, 4, 5});
    EXPECT_EQ(0.0f, probe.lastIcon.Width);
    EXPECT_EQ(0, InkOf(probe).width());
    probe.Icon(CheckMarkPng());
    EXPECT_EQ(20.0f, probe.lastIcon.Width);
    EXPECT_GT(InkOf(probe).width(), 5);
}

}  // namespace
