#include "toolkit/controls/TextControl.h"

#include "toolkit/controls/Images.h"
#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/controls/TextFormat.h"
#include "toolkit/host/HostWindow.h"
#include "toolkit/host/Toolkit.h"

namespace {

constexpr int TransitionMs = 60;
constexpr int StateChangeFrames = 4;
constexpr int DefaultFontSize = 12;

// Colour and alpha of each part of the default background per state; the
// tint is the host's background colour.
struct Look {
    COLORREF fill;
    int fillAlpha;
    int tintTopAlpha;
    int tintBottomAlpha;
    COLORREF outer;
    int outerAlpha;
    COLORREF inner;
    int innerAlpha;
    COLORREF shadow;
    int shadowAlpha;
};

//                          fill            tint        outer        inner             shadow
const Look NormalLook    = {0xECECEC, 0xCC, 0x00, 0x66, 0, 0x50, 0xFFFFFF, 0x33, 0, 0x19};
const Look HoverLook     = {0xECECEC, 0xCC, 0x15, 0x99, 0, 0x46, 0xFFFFFF, 0x33, 0, 0x1E};
const Look PressedLook   = {0xECECEC, 0xCC, 0x99, 0x15, 0, 0x46, 0xFFFFFF, 0x33, 0, 0x0A};
const Look FocusedLook   = {0xECECEC, 0xCC, 0x33, 0x99, 0, 0x50, 0xFFFFFF, 0x3D, 0, 0x19};
const Look AlternateLook = {0xFFFFFF, 0x33, 0x33, 0x33, 0, 0x23, 0xFFFFFF, 0x1E, 0, 0x00};

const Look& LookOf(int state) {
    switch (state) {
    case StateHover:
        return HoverLook;
    case StatePressed:
        return PressedLook;
    case StateFocused:
        return FocusedLook;
    case StateAlternative:
        return AlternateLook;
    default:
        return NormalLook;
    }
}

// The character marked by the first single "&" of an ANSI caption, or 0.
// Trail bytes of double-byte characters are skipped, so only a real "&"
// counts.
UINT MnemonicKey(const std::string& ansiText) {
    for (size_t i = 0; i < ansiText.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(ansiText[i]);
        if (IsDBCSLeadByte(byte)) {
            ++i;
            continue;
        }
        if (byte != '&') continue;
        if (i + 1 >= ansiText.size()) return 0;
        unsigned char next = static_cast<unsigned char>(ansiText[i + 1]);
        if (next == '&') {
            ++i;
            continue;
        }
        return next;
    }
    return 0;
}

HostWindow* HostOfParent(UINT_PTR parent) {
    if (!parent) return nullptr;
    HWND window = reinterpret_cast<HWND>(parent);
    if (IsWindow(window)) return HostFromWindow(window);
    return ControlFromHandle(parent)->host;
}

RectF Inset(const RectF& r, float dx, float dy, float dWidth, float dHeight) {
    RectF result = r;
    OffsetRect(dx, dy, dWidth, dHeight, result);
    return result;
}

}  // namespace

bool RegisterMnemonic(ControlHandle control, const std::string& ansiText) {
    if (!control) return false;
    HWND window = ControlFromHandle(control)->hostWindow;
    if (!window) return false;
    return SendMessageW(window, HostRegisterMnemonic, control,
                        static_cast<LPARAM>(MnemonicKey(ansiText))) == 1;
}

void LayoutIconAndCaption(int layout, int W, int H, int iw, int ih, int tw, int th, int ox,
                          int oy, int gap, RectF& caption, RectF& icon) {
    auto set = [](RectF& r, int x, int y, int w, int h) {
        r = RectF(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w),
                  static_cast<REAL>(h));
    };
    const int groupX = ox + (W - (iw + gap + tw)) / 2;
    const int iconY = oy + (H - ih) / 2;
    const int captionY = oy + (H - th) / 2;
    switch (layout) {
    case 0:
        set(icon, groupX, iconY, iw, ih);
        set(caption, groupX + iw + gap, captionY, tw + 2, th + 2);
        break;
    case 1:
        set(caption, groupX, captionY, tw + 2, th + 2);
        set(icon, groupX + tw + gap, iconY, iw, ih);
        break;
    case 2: {
        int top = oy + (H - ih - gap - th) / 2;
        set(icon, ox + (W - iw) / 2, top, iw, ih);
        set(caption, ox + (W - tw) / 2, top + ih + gap, tw + 2, th + 2);
        break;
    }
    case 3:
        set(icon, ox + (W - iw) / 2, iconY, iw, ih);
        set(caption, ox + (W - tw) / 2, captionY, tw + 2, th + 2);
        break;
    case 4:
        set(icon, ox, iconY, iw, ih);
        set(caption, ox + iw + gap, captionY, W - iw - gap - ox, th + 2);
        break;
    case 5:
        set(caption, ox, captionY, W - iw - gap - ox, th + 2);
        set(icon, ox + (W - iw - gap - ox) + gap, iconY, iw, ih);
        break;
    case 6:
        set(icon, ox + (W - iw) / 2, oy, iw, ih);
        set(caption, ox + (W - tw) / 2, oy + ih + gap, tw + 5, th + 2);
        break;
    default:
        caption = RectF(0, 0, 0, 0);
        icon = RectF(0, 0, 0, 0);
        break;
    }
}

// ---- Life -------------------------------------------------------------------

TextControl::~TextControl() { Destroy(); }

ControlHandle TextControl::Create(UINT_PTR parentArg, int x, int y, int width, int height,
                                  const std::string& ansiText, std::optional<ARGB> color,
                                  std::optional<std::string> fontName,
                                  std::optional<int> fontSize, std::optional<int> fontStyle,
                                  int effect, ARGB effectArgb, std::optional<int> isRounded,
                                  std::optional<int> isVisible) {
    if (handle == Self()) return handle;

    ownedFont.reset();
    font = defaultFont;
    if (fontName || fontSize || fontStyle) {
        std::string family = fontName ? *fontName : FontFamilyName(defaultFont);
        AdoptFont(CreateFontByName(family, static_cast<float>(fontSize.value_or(DefaultFontSize)),
                                   fontStyle.value_or(FontStyleRegular)));
    }

    TextFormat format;
    format.Create(StringFormatFlagsNoWrap, LANG_NEUTRAL, false);
    format.Alignment(StringAlignmentNear);
    format.Trimming(StringTrimmingNone);
    format.HotkeyPrefix(HotkeyPrefixShow);
    stringFormat.reset(format.Handle());

    textColor = color.value_or(TextControlDefaultColor);
    textEffect = effect;
    effectColor = effectArgb;
    if (isRounded) {
        rounded = *isRounded ? 1 : 0;
    } else {
        HostWindow* owner = HostOfParent(parentArg);
        rounded = owner && owner->frameStyle ? 1 : 0;
    }
    text = AnsiToWide(ansiText);
    state = StateNormal;

    RectF rect(static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
               static_cast<REAL>(height));
    return Control::Create(parentArg, rect, KindTextControl, isVisible.value_or(1), 1,
                           std::nullopt, TransitionMs, 0, 0);
}

int TextControl::HandleEvent(ControlHandle self, UINT event, WPARAM wParam, LPARAM lParam) {
    int answer = PreviewEvent(self, event, wParam, lParam);
    if (answer != -1) return answer;

    switch (event) {
    case EventCreated:
        RegisterMnemonic(self, WideToAnsi(text));
        break;
    case EventDestroyed:
        // The host keeps mnemonics by handle; a later control at the same
        // address must not inherit this one's key.
        RegisterMnemonic(self, std::string());
        stringFormat.reset();
        ReleaseFont();
        font = nullptr;
        break;
    case EventPaint:
        Paint(self, state);
        break;
    case EventMouseEntered:
        TransitionFrames(StateChangeFrames);
        Paint(self, StateHover);
        break;
    case EventMouseLeft:
    case EventFocusLost:
        TransitionFrames(StateChangeFrames);
        Paint(self, StateNormal);
        break;
    case EventFocusGained:
        Paint(self, StateFocused);
        break;
    case WM_LBUTTONDOWN:
        if (focusable) Paint(self, StatePressed);
        break;
    case WM_LBUTTONUP:
        if (focusable) Paint(self, StateHover);
        break;
    case EventBackdropChanged:
        if (kind == KindTextControl) Paint(self, state);
        break;
    case EventTransitionFinished:
        TransitionFrames(0);
        break;
    default:
        break;
    }
    return -1;
}

int TextControl::OnPaintBackground(PaintContext&, int) { return 0; }

int TextControl::OnLayout(PaintContext&, int, RectF&, RectF&) { return 0; }

int TextControl::PreviewEvent(ControlHandle, UINT, WPARAM, LPARAM) { return -1; }

// ---- Properties -------------------------------------------------------------

std::string TextControl::Text(std::optional<std::string> ansiText) {
    if (ansiText) TextW(AnsiToWide(*ansiText));
    return WideToAnsi(text);
}

std::wstring TextControl::TextW(std::optional<std::wstring> value) {
    if (value && *value != text) {
        text = *value;
        RegisterMnemonic(handle, WideToAnsi(text));
        Redraw();
    }
    return text;
}

ARGB TextControl::TextColor(std::optional<ARGB> value) {
    if (value) {
        textColor = *value;
        Redraw();
    }
    return textColor;
}

int TextControl::TextEffect(std::optional<int> value) {
    if (value) {
        textEffect = *value;
        Redraw();
    }
    return textEffect;
}

void TextControl::AdoptFont(GpFont* value) {
    if (!value || value == defaultFont) {
        ownedFont.reset();
        font = defaultFont;
        return;
    }
    if (value == ownedFont.get()) return;
    ownedFont.reset(value);
    font = value;
}

void TextControl::ReleaseFont() {
    ownedFont.reset();
    font = defaultFont;
}

void TextControl::RebuildFont(const std::string& family, float size, int style) {
    // Made before the old one goes: a failed make keeps the current font.
    GpFont* made = CreateFontByName(family, size, style);
    if (!made) return;
    AdoptFont(made);
}

std::string TextControl::FontName(std::optional<std::string> family) {
    if (family) {
        RebuildFont(*family, FontSize(), FontStyle());
        Redraw();
    }
    return FontFamilyName(font);
}

int TextControl::FontStyle(std::optional<int> style) {
    if (style) {
        RebuildFont(FontName(), FontSize(), *style);
        Redraw();
    }
    INT current = FontStyleRegular;
    if (font) GdipGetFontStyle(font, &current);
    return current;
}

float TextControl::FontSize(std::optional<int> pixels) {
    if (pixels) {
        RebuildFont(FontName(), static_cast<float>(*pixels), FontStyle());
        Redraw();
    }
    REAL size = 0;
    if (font) GdipGetFontSize(font, &size);
    return size;
}

GpFont* TextControl::Font(std::optional<GpFont*> value) {
    if (value) {
        AdoptFont(*value);
        Redraw();
    }
    return font;
}

GpStringFormat* TextControl::StringFormat(std::optional<GpStringFormat*> value) {
    if (value) {
        if (*value != stringFormat.get()) stringFormat.reset(*value);
        Redraw();
    }
    return stringFormat.get();
}

ARGB TextControl::EffectColor(std::optional<ARGB> value) {
    if (value) {
        effectColor = *value;
        Redraw();
    }
    return effectColor;
}

int TextControl::Rounded(std::optional<int> value) {
    if (value) {
        rounded = *value ? 1 : 0;
        Redraw();
    }
    return rounded;
}

int TextControl::AutoContrast(std::optional<int> value) {
    if (value) {
        autoContrast = *value ? 1 : 0;
        Redraw();
    }
    return autoContrast;
}

std::vector<unsigned char> TextControl::Icon(std::optional<std::vector<unsigned char>> bytes) {
    if (bytes) {
        icon = *bytes;
        Redraw();
    }
    return icon;
}

int TextControl::IconLayout(std::optional<int> value) {
    if (value) {
        iconLayout = *value;
        Redraw();
    }
    return iconLayout;
}

int TextControl::OffsetX(std::optional<int> value) {
    if (value) {
        offsetX = *value;
        Redraw();
    }
    return offsetX;
}

int TextControl::OffsetY(std::optional<int> value) {
    if (value) {
        offsetY = *value;
        Redraw();
    }
    return offsetY;
}

int TextControl::IconGap(std::optional<int> value) {
    if (value) {
        iconGap = *value;
        Redraw();
    }
    return iconGap;
}

// ---- Painting ---------------------------------------------------------------

void TextControl::PaintDefaultBackground(PaintContext& context, int paintState) {
    const Look& look = LookOf(paintState);
    GpGraphics* graphics = context.graphics;
    const COLORREF theme = context.refs.host ? context.refs.host->backColor : 0;
    const RectF& whole = context.rect;

    // The bevel stands one pixel above the bottom edge, where the shadow
    // line runs.
    RectF bevel(whole.X, whole.Y, whole.Width, whole.Height - 1);
    if (rounded) {
        OwnedPath clip = RoundRectPath(whole, 4);
        if (clip) GdipSetClipPath(graphics, clip.get(), CombineModeReplace);
    }
    FillRoundRect(graphics, bevel, 3, ToArgb(look.fill, look.fillAlpha, 1));
    FillGradient(graphics, bevel, ToArgb(theme, look.tintTopAlpha, 1),
                 ToArgb(theme, look.tintBottomAlpha, 1), LinearGradientModeVertical);

    if (rounded) {
        GdipResetClip(graphics);
        DrawRoundRect(graphics, bevel, 3, ToArgb(look.outer, look.outerAlpha, 1));
        bevel = Inset(bevel, 1, 1, -2, -2);
        DrawRoundRect(graphics, bevel, 3, ToArgb(look.inner, look.innerAlpha, 1));
    } else {
        DrawBorder(graphics, bevel, BorderSolid, ToArgb(look.outer, look.outerAlpha, 1));
        bevel = Inset(bevel, 1, 1, -2, -2);
        DrawBorder(graphics, bevel, BorderSolid, ToArgb(look.inner, look.innerAlpha, 1));
    }
    // With the inner bevel this is the bottom row, from x = 1 to W - 2.
    DrawLine(graphics, ToArgb(look.shadow, look.shadowAlpha, 1), bevel.X, bevel.Height + 2,
             bevel.Width, bevel.Height + 2);
}

void TextControl::Paint(ControlHandle, std::optional<int> newState, int commit) {
    state = newState.value_or(state);
    const int paintState = state;
    PaintContext context;
    if (!BeginSurfacePaint(*this, context, std::nullopt, commit)) return;
    GpGraphics* graphics = context.graphics;
    const RectF whole = context.rect;

    if (!OnPaintBackground(context, paintState)) PaintDefaultBackground(context, paintState);

    const RectF area = Inset(whole, 1, 1, -2, -2);
    GdipSetClipRect(graphics, area.X, area.Y, area.Width, area.Height, CombineModeReplace);

    ImageBacking backing;
    GpImage* iconImage =
        icon.empty() ? nullptr : ImageFromBytes(icon.data(), icon.size(), false, backing);
    const int iconWidth = static_cast<int>(ImageWidth(iconImage));
    const int iconHeight = static_cast<int>(ImageHeight(iconImage));

    RectF measured(0, 0, 0, 0);
    if (!text.empty())
        MeasureTextRange(graphics, text, font, stringFormat.get(), 0,
                         static_cast<int>(text.size()), area, measured);

    RectF caption, iconRect;
    LayoutIconAndCaption(iconLayout, static_cast<int>(whole.Width),
                         static_cast<int>(whole.Height), iconWidth, iconHeight,
                         static_cast<int>(measured.Width), static_cast<int>(measured.Height),
                         offsetX, offsetY, iconGap, caption, iconRect);
    if (paintState == StatePressed) {
        OffsetRect(1.0f, 1.0f, std::nullopt, std::nullopt, caption);
        OffsetRect(1.0f, 1.0f, std::nullopt, std::nullopt, iconRect);
    }
    const int noFocusCue = OnLayout(context, paintState, caption, iconRect);

    if (iconImage) {
        DrawImageAt(graphics, iconImage, iconRect);
        ReleaseImage(iconImage, backing);
    }

    if (!text.empty()) {
        ARGB color = textColor;
        if (autoContrast) {
            ARGB alphaByte = textColor & 0xFF000000u;
            color = alphaByte | (IsBackdropDark(hostWindow, bounds) ? 0x00FFFFFFu : 0u);
        }
        // GDI+ keeps a sixth of an em free on either side of a line, and the
        // caption rectangle only has room for the glyphs. A renderer that
        // fits whole characters into the line would drop the last one, so
        // the text is laid out with room to spare on the right; the near
        // alignment keeps the glyphs where the layout put them, and the clip
        // still ends at the caption area.
        RectF layout = caption;
        layout.Width += caption.Height;
        DrawTextEffect(graphics, layout, text, font, color, stringFormat.get(), textEffect,
                       effectColor);
    }
    GdipResetClip(graphics);

    if (!noFocusCue && context.refs.host && context.refs.host->focusCueControl == handle)
        DrawBorder(graphics, Inset(whole, 2, 2, -4, -5), BorderDashed);

    EndSurfacePaint(*this, context);
}
