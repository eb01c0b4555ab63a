// Toolkit start-up: the default font and its fallbacks, the window class,
// the Windows version and the shared resources.
#include <gtest/gtest.h>

#include "toolkit/controls/Images.h"
#include "toolkit/controls/PopupMenu.h"
#include "toolkit/host/Toolkit.h"

namespace {

float FontSize(GpFont* font) {
    REAL size = 0;
    GdipGetFontSize(font, &size);
    return size;
}

int FontStyleOf(GpFont* font) {
    INT style = -1;
    GdipGetFontStyle(font, &style);
    return style;
}

// The family "宋体" resolves to on this system (the test prefix serves it
// from WenQuanYi Zen Hei, which then reports its own name).
std::string SongTiFamilyName() {
    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(L"宋体", nullptr, &family) != Ok) return "none";
    WCHAR name[LF_FACESIZE] = {};
    GdipGetFamilyName(family, name, LANG_NEUTRAL);
    GdipDeleteFontFamily(family);
    return WideToAnsi(name);
}

TEST(Toolkit, DefaultFontIsTwelvePixelSongTi) {
    ASSERT_NE(nullptr, defaultFont);
    ASSERT_NE("none", SongTiFamilyName());
    EXPECT_EQ(SongTiFamilyName(), FontFamilyName(defaultFont));
    EXPECT_FLOAT_EQ(12.0f, FontSize(defaultFont));
    Unit unit = UnitWorld;
    GdipGetFontUnit(defaultFont, &unit);
    EXPECT_EQ(UnitPixel, unit);
}

TEST(Toolkit, CreateFontByNameFallsBackToTheDefaultFamily) {
    GpFont* font = CreateFontByName("NoSuchFamilyAnywhere", 20.0f, FontStyleBold);
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(FontFamilyName(defaultFont), FontFamilyName(font));
    EXPECT_FLOAT_EQ(20.0f, FontSize(font));
    EXPECT_TRUE(FontStyleOf(font) & FontStyleBold);
    GdipDeleteFont(font);

    GpFont* known = CreateFontByName("DejaVu Sans", 14.0f, FontStyleItalic);
    ASSERT_NE(nullptr, known);
    EXPECT_EQ("DejaVu Sans", FontFamilyName(known));
    GdipDeleteFont(known);
    EXPECT_EQ("", FontFamilyName(nullptr));
}

TEST(Toolkit, SystemFontFaceDefaultsToCaptionFontAndNeverTahoma) {
    EXPECT_EQ(SystemFontFace(CaptionFont), SystemFontFace());
    for (int which : {MenuFont, CaptionFont, MessageFont}) {
        std::string face = SystemFontFace(which);
        EXPECT_FALSE(face.empty());
        EXPECT_NE("Tahoma", face);
        GpFont* probe = CreateFontByName(face, 12.0f, 0);
        EXPECT_NE(nullptr, probe);
        if (probe) GdipDeleteFont(probe);
    }
}

TEST(Toolkit, WindowClassAndSharedResources) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), ToolkitWindowClass, &windowClass));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), windowClass.style);
    EXPECT_EQ(arrowCursor, windowClass.hCursor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrowCursor);
    EXPECT_EQ(nullptr, classIcon);  // no icon resource 129
    EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
              windowClass.hbrBackground);
    EXPECT_EQ(6, osMajorVersion);  // Wine reports Windows 7

    ASSERT_NE(nullptr, captionSprite);
    EXPECT_EQ(729u, ImageWidth(captionSprite));
    EXPECT_EQ(20u, ImageHeight(captionSprite));
}

TEST(Toolkit, EditMenuHoldsTheFiveEditingEntries) {
    const auto& entries = editMenu.Entries();
    ASSERT_EQ(5u, entries.size());
    EXPECT_EQ(L"剪切(&T)", entries[0].text);
    EXPECT_EQ(88, entries[0].command);
    EXPECT_EQ(L"复制(&C)", entries[1].text);
    EXPECT_EQ(67, entries[1].command);
    EXPECT_EQ(L"粘贴(&P)", entries[2].text);
    EXPECT_EQ(86, entries[2].command);
    EXPECT_EQ(L"", entries[3].text);
    EXPECT_EQ(L"全部选择(&A)", entries[4].text);
    EXPECT_EQ(65, entries[4].command);
}

TEST(Toolkit, AnsiConversionUsesTheChineseCodePage) {
    ASSERT_EQ(936u, GetACP());
    EXPECT_EQ(std::string("\xCB\xCE\xCC\xE5"), WideToAnsi(L"宋体"));
    EXPECT_EQ(L"宋体", AnsiToWide("\xCB\xCE\xCC\xE5"));
    EXPECT_EQ("", WideToAnsi(L""));
}

TEST(Images, SignatureLessPngDecodesOnlyWithTheSignaturePutBack) {
    // A 1 x 1 RGBA PNG without its first eight bytes.
    static const unsigned char png[] = {
        0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
        0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
        0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xD0, 0x00, 0x00,
        0x04, 0x81, 0x01, 0x80, 0x2C, 0x55, 0xCE, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45,
        0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    ImageBacking backing;
    GpImage* without = ImageFromBytes(png, sizeof(png), false, backing);
    EXPECT_EQ(nullptr, without);
    GpImage* with = ImageFromBytes(png, sizeof(png), true, backing);
    ASSERT_NE(nullptr, with);
    EXPECT_EQ(1u, ImageWidth(with));
    EXPECT_EQ(nullptr, backing.memory);  // copy mode keeps nothing
    ReleaseImage(with, backing);
    EXPECT_EQ(nullptr, with);

    GpImage* streamed = ImageFromBytes(png, sizeof(png), true, backing, true);
    ASSERT_NE(nullptr, streamed);
    EXPECT_NE(nullptr, backing.memory);
    EXPECT_NE(nullptr, backing.stream);
    ReleaseImage(streamed, backing);
    EXPECT_EQ(nullptr, backing.stream);
    EXPECT_EQ(nullptr, ImageFromBytes(nullptr, 0, false, backing));
}

}  // namespace
