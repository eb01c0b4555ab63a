#include "toolkit/controls/GroupBox.h"

#include <cmath>

#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/HostWindow.h"
#include "toolkit/host/Toolkit.h"

namespace {

// Arc diameter of the rounded outline.
constexpr float CornerDiameter = 6.0f;
// The caption sits this far in from the frame's left or right side.
constexpr float CaptionInset = 8.0f;

// A frame drawn straight on a host follows the host's own frame: rounded
// unless the window is square. Inside another control it is square.
int RoundedByHost(UINT_PTR parentArg) {
    HWND window = reinterpret_cast<HWND>(parentArg);
    HostWindow* host = IsWindow(window) ? HostFromWindow(window) : nullptr;
    return host && host->frameStyle != FrameSquare ? 1 : 0;
}

// Stores a property and repaints the control when the value changes.
template <typename T>
T StoreAndRedraw(Control& control, T& member, const std::optional<T>& value) {
    if (value && *value != member) {
        member = *value;
        control.Redraw();
    }
    return member;
}

}  // namespace

ControlHandle GroupBox::Create(UINT_PTR parentArg, int x, int y, int width, int height,
                               const std::string& ansiCaption, std::optional<ARGB> captionColor,
                               std::optional<std::string> fontName, std::optional<int> fontSize,
                               std::optional<int> fontStyle, int effect, ARGB effectArgb,
                               int align, ARGB fill, std::optional<ARGB> frame,
                               std::optional<int> isRounded, std::optional<int> isVisible) {
    if (handle && handle == Self()) return handle;

    ownedFont.reset();
    font = defaultFont;
    if (fontName || fontSize || fontStyle) {
        std::string family = fontName ? *fontName : FontFamilyName(defaultFont);
        ownedFont.reset(CreateFontByName(family, static_cast<float>(fontSize.value_or(12)),
                                         fontStyle.value_or(0)));
        font = ownedFont.get();
    }

    // One line, laid out from the near side, cut with an ellipsis when the
    // caption is wider than the frame; '&' is an ordinary character.
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(StringFormatFlagsNoWrap, LANG_NEUTRAL, &format);
    if (format) {
        GdipSetStringFormatAlign(format, StringAlignmentNear);
        GdipSetStringFormatTrimming(format, StringTrimmingEllipsisCharacter);
        GdipSetStringFormatHotkeyPrefix(format, HotkeyPrefixNone);
    }
    stringFormat.reset(format);

    caption = AnsiToWide(ansiCaption);
    captionAlign = align;
    textColor = captionColor.value_or(GroupBoxDefaultTextColor);
    textEffect = effect;
    effectColor = effectArgb;
    fillColor = fill;
    frameColor = frame.value_or(GroupBoxDefaultFrameColor);
    rounded = isRounded ? (*isRounded != 0 ? 1 : 0) : RoundedByHost(parentArg);
    captionWidth = captionHeight = 0;

    RectF rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height));
    return Control::Create(parentArg, rect, KindGroupBox, isVisible.value_or(1), 0);
}

void GroupBox::MeasureCaption() {
    captionWidth = captionHeight = 0;
    GpGraphics* graphics = surfaceGraphics.get();
    // An empty caption takes no room: the outline then runs all round.
    if (caption.empty() || !graphics || !font) return;
    REAL lineHeight = 0;
    GdipGetFontHeight(font, graphics, &lineHeight);
    RectF layout(bounds.X + CaptionInset, bounds.Y, bounds.Width - 2 * CaptionInset, lineHeight);
    RectF box(0, 0, 0, 0);
    if (GdipMeasureString(graphics, caption.c_str(), -1, font, &layout, stringFormat.get(), &box,
                          nullptr, nullptr) != Ok)
        return;
    captionWidth = static_cast<int>(std::lround(box.Width));
    captionHeight = static_cast<int>(std::lround(box.Height));
}

std::wstring GroupBox::CaptionW(std::optional<std::wstring> text) {
    if (text && *text != caption) {
        caption = *text;
        MeasureCaption();
        Redraw();
    }
    return caption;
}

std::string GroupBox::Caption(std::optional<std::string> ansiText) {
    if (ansiText) CaptionW(AnsiToWide(*ansiText));
    return WideToAnsi(caption);
}

ARGB GroupBox::TextColor(std::optional<ARGB> value) {
    return StoreAndRedraw(*this, textColor, value);
}

ARGB GroupBox::FillColor(std::optional<ARGB> value) {
    return StoreAndRedraw(*this, fillColor, value);
}

int GroupBox::CaptionAlign(std::optional<int> value) {
    return StoreAndRedraw(*this, captionAlign, value);
}

ARGB GroupBox::FrameColor(std::optional<ARGB> value) {
    return StoreAndRedraw(*this, frameColor, value);
}

void GroupBox::Paint() {
    PaintContext context;
    if (!BeginSurfacePaint(*this, context)) return;
    GpGraphics* graphics = context.graphics;
    if (graphics) {
        const RectF r(0, 0, bounds.Width, bounds.Height);
        // The top line runs through the middle of the caption.
        const float half = static_cast<float>(captionHeight / 2);
        const RectF frame(r.X + 1, r.Y + half + 1, r.Width - 2, r.Height - half - 2);

        float cx = CaptionInset;
        if (captionAlign == 1)
            cx = (frame.Width - 14 - static_cast<float>(captionWidth)) / 2 + CaptionInset;
        else if (captionAlign != 0)
            cx = frame.Width - CaptionInset - static_cast<float>(captionWidth);
        RectF gap(std::trunc(cx), 2, static_cast<float>(captionWidth - 1),
                  static_cast<float>(captionHeight));

        OwnedPath path;
        if (rounded) path = RoundRectPath(frame, CornerDiameter);

        if (fillColor) {
            OwnedBrush brush = MakeSolidBrush(fillColor);
            if (rounded) {
                if (path && brush) GdipFillPath(graphics, brush.get(), path.get());
            } else if (brush) {
                GdipSetClipRect(graphics, frame.X, frame.Y, frame.Width, frame.Height,
                                CombineModeReplace);
                GdipFillRectangle(graphics, brush.get(), frame.X, frame.Y, frame.Width - 1,
                                  frame.Height - 1);
            }
        }

        GdipSetClipRect(graphics, frame.X, frame.Y, frame.Width, frame.Height,
                        CombineModeReplace);
        if (!caption.empty() && gap.Width > 0 && gap.Height > 0)
            GdipSetClipRect(graphics, gap.X, gap.Y, gap.Width, gap.Height, CombineModeExclude);
        if (rounded) {
            OwnedPen pen = MakePen(frameColor, 1.0f);
            if (path && pen) GdipDrawPath(graphics, pen.get(), path.get());
        } else {
            // A colour as the border style draws a solid one-pixel frame;
            // 0 draws none.
            DrawBorder(graphics, frame, frameColor);
        }
        GdipResetClip(graphics);

        if (!caption.empty() && font) {
            gap.Width += 5;
            DrawTextEffect(graphics, gap, caption, font, textColor, stringFormat.get(), textEffect,
                           effectColor);
        }
    }
    EndSurfacePaint(*this, context);
}

int GroupBox::HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) {
    switch (event) {
    case EventCreated:
    case EventResized:
        MeasureCaption();
        break;
    case EventDestroyed:
        ownedFont.reset();
        font = nullptr;
        stringFormat.reset();
        break;
    case EventPaint:
        Paint();
        break;
    default:
        break;
    }
    return -1;
}
