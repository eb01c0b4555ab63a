#include "toolkit/controls/Label.h"

#include "toolkit/host/Toolkit.h"

namespace {

// Single-line layout, and the flags of a word-wrapped one (no font
// fallback, trailing spaces measured, whole lines only, no clipping).
constexpr INT SingleLineFlags = StringFormatFlagsNoWrap;
constexpr INT WrappedFlags = StringFormatFlagsNoFontFallback |
                             StringFormatFlagsMeasureTrailingSpaces |
                             StringFormatFlagsLineLimit | StringFormatFlagsNoClip;

}  // namespace

ControlHandle Label::Create(UINT_PTR parentArg, int x, int y, int width, int height,
                            const std::string& ansiText, std::optional<ARGB> color, int gradient,
                            ARGB background1, ARGB background2, bool wrap, bool contrast,
                            std::optional<std::string> fontName, std::optional<int> fontSize,
                            std::optional<int> fontStyle, int alignment, int trimming, int effect,
                            ARGB effectArgb, int borderStyle, std::optional<int> isVisible) {
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(SingleLineFlags, LANG_NEUTRAL, &format);
    if (format) {
        GdipSetStringFormatAlign(format, static_cast<StringAlignment>(alignment));
        GdipSetStringFormatTrimming(format, static_cast<StringTrimming>(trimming));
        GdipSetStringFormatHotkeyPrefix(format, HotkeyPrefixNone);
    }

    ownedFont.reset();
    font = defaultFont;
    if (fontName || fontSize || fontStyle) {
        std::string family = fontName ? *fontName : FontFamilyName(defaultFont);
        ownedFont.reset(CreateFontByName(family, static_cast<float>(fontSize.value_or(12)),
                                         fontStyle.value_or(0)));
        font = ownedFont.get();
    }

    wordWrap = wrap ? 1 : 0;
    if (wordWrap && format) GdipSetStringFormatFlags(format, WrappedFlags);
    stringFormat.reset(format);

    verticalAlign = 1;
    gradientMode = gradient;
    backColor1 = background1;
    backColor2 = background2;
    textEffect = effect;
    border = borderStyle;
    text = AnsiToWide(ansiText);
    textColor = color.value_or(LabelDefaultColor);
    effectColor = effectArgb;
    autoContrast = contrast ? 1 : 0;

    RectF rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height));
    return Control::Create(parentArg, rect, KindLabel, isVisible.value_or(1), 0);
}

std::wstring Label::TextW(std::optional<std::wstring> value) {
    if (value && *value != text) {
        text = *value;
        Redraw();
    }
    return text;
}

int Label::HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) {
    if (event == EventDestroyed) {
        ownedFont.reset();
        font = nullptr;
        stringFormat.reset();
    }
    return -1;
}
