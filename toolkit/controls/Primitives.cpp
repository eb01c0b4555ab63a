#include "toolkit/controls/Primitives.h"

#include "toolkit/host/HostWindow.h"

// ---- Colour ---------------------------------------------------------------

ARGB ToArgb(COLORREF rgb, std::optional<int> alpha, std::optional<int> useAlpha) {
    // The toolkit never writes a fully opaque 255: opaque means 254.
    int used = 254;
    bool applies = useAlpha ? *useAlpha != 0 : alpha.has_value();
    if (applies && alpha && *alpha != 255) used = *alpha;
    ARGB red = GetRValue(rgb);
    ARGB green = GetGValue(rgb);
    ARGB blue = GetBValue(rgb);
    return (static_cast<ARGB>(used & 0xFF) << 24) | (red << 16) | (green << 8) | blue;
}

ArgbParts SplitArgb(ARGB color) {
    ArgbParts parts;
    parts.alpha = static_cast<int>((color >> 24) & 0xFF);
    parts.red = static_cast<int>((color >> 16) & 0xFF);
    parts.green = static_cast<int>((color >> 8) & 0xFF);
    parts.blue = static_cast<int>(color & 0xFF);
    return parts;
}

bool IsDarkColor(ARGB color) {
    ArgbParts parts = SplitArgb(color);
    double luminance = 0.299 * parts.red + 0.587 * parts.green + 0.114 * parts.blue;
    // The tolerance keeps a mid grey of exactly 192 (0xC0C0C0), whose sum
    // of products is not exact in binary, on the light side.
    return luminance - 192.0 < -1e-7;
}

bool IsBackdropDark(HWND hostWindow, const RectF& rect) {
    HostWindow* host = HostFromWindow(hostWindow);
    if (!host) return false;
    if (!host->skinImage) return IsDarkColor(ToArgb(host->backColor));

    // The skin image is sampled at window coordinates as they are: the
    // image is laid out from the window's top-left corner.
    auto* skin = reinterpret_cast<GpBitmap*>(host->skinImage);
    const float fractions[3] = {0.2f, 0.5f, 0.8f};
    int dark = 0;
    for (float fy : fractions) {
        for (float fx : fractions) {
            INT x = static_cast<INT>(rect.X + fx * rect.Width);
            INT y = static_cast<INT>(rect.Y + fy * rect.Height);
            // A point the image cannot give (outside it) reads as black.
            ARGB sample = 0;
            GdipBitmapGetPixel(skin, x, y, &sample);
            if (IsDarkColor(sample)) ++dark;
        }
    }
    return dark > 4;
}

// ---- Geometry -------------------------------------------------------------

void OffsetRect(std::optional<float> dx, std::optional<float> dy, std::optional<float> dWidth,
                std::optional<float> dHeight, RectF& rect) {
    rect.X += dx.value_or(0.0f);
    rect.Y += dy.value_or(0.0f);
    rect.Width += dWidth.value_or(0.0f);
    rect.Height += dHeight.value_or(0.0f);
}

OwnedPath RoundRectPath(const RectF& rect, float diameter, int fillMode) {
    GpPath* raw = nullptr;
    GdipCreatePath(static_cast<GpFillMode>(fillMode), &raw);
    OwnedPath path(raw);
    if (!path) return path;
    // The arc boxes end one pixel short of rect's right and bottom edges, so
    // the outline of a control's full bounds is not cut by its surface.
    float right = rect.X + rect.Width - diameter - 1.0f;
    float bottom = rect.Y + rect.Height - diameter - 1.0f;
    GdipAddPathArc(path.get(), rect.X, rect.Y, diameter, diameter, 180.0f, 90.0f);
    GdipAddPathArc(path.get(), right, rect.Y, diameter, diameter, 270.0f, 90.0f);
    GdipAddPathArc(path.get(), right, bottom, diameter, diameter, 0.0f, 90.0f);
    GdipAddPathArc(path.get(), rect.X, bottom, diameter, diameter, 90.0f, 90.0f);
    GdipClosePathFigure(path.get());
    return path;
}

// ---- Fills and strokes ----------------------------------------------------

void FillRoundRect(GpGraphics* graphics, const RectF& rect, float diameter, ARGB color) {
    OwnedPath path = RoundRectPath(rect, static_cast<float>(static_cast<int>(diameter)), 0);
    OwnedBrush brush = MakeSolidBrush(color);
    if (graphics && path && brush) GdipFillPath(graphics, brush.get(), path.get());
}

void FillGradient(GpGraphics* graphics, const RectF& rect, ARGB start, ARGB end,
                  std::optional<int> mode) {
    GpLineGradient* raw = nullptr;
    GdipCreateLineBrushFromRect(&rect, start, end,
                                static_cast<LinearGradientMode>(mode.value_or(1)),
                                WrapModeTileFlipXY, &raw);
    OwnedBrush brush(raw);
    if (!graphics || !brush) return;
    GdipFillRectangle(graphics, brush.get(), rect.X, rect.Y, rect.Width - 1.0f,
                      rect.Height - 1.0f);
}

namespace {

void StrokeLine(GpGraphics* graphics, GpPen* pen, float x1, float y1, float x2, float y2) {
    if (graphics && pen) GdipDrawLine(graphics, pen, x1, y1, x2, y2);
}

void StrokeInsetRectangle(GpGraphics* graphics, GpPen* pen, const RectF& rect) {
    if (graphics && pen)
        GdipDrawRectangle(graphics, pen, rect.X, rect.Y, rect.Width - 1.0f, rect.Height - 1.0f);
}

}  // namespace

void DrawBorder(GpGraphics* graphics, const RectF& rect, ARGB style, std::optional<ARGB> color,
                std::optional<float> width) {
    float w = width.value_or(1.0f);
    float right = rect.X + rect.Width - 1.0f;
    float bottom = rect.Y + rect.Height - 1.0f;
    switch (style) {
    case BorderNone:
        return;
    case BorderSunken: {
        // Shadow on the top and left, a thinner light on the bottom and right.
        OwnedPen shadow = MakePen(ToArgb(0, 160, 1), w);
        StrokeLine(graphics, shadow.get(), rect.X, rect.Y, right, rect.Y);
        StrokeLine(graphics, shadow.get(), rect.X, rect.Y, rect.X, bottom);
        OwnedPen light = MakePen(ToArgb(0xFFFFFF, 245, 1), w / 2.0f);
        StrokeLine(graphics, light.get(), rect.X, bottom, right, bottom);
        StrokeLine(graphics, light.get(), right, rect.Y, right, bottom);
        return;
    }
    case BorderRaised: {
        // The light edges stop one pixel short so the shadow owns the
        // top-right and bottom-left corners.
        OwnedPen light = MakePen(ToArgb(0xFFFFFF, 245, 1), w / 2.0f);
        StrokeLine(graphics, light.get(), rect.X, rect.Y, right - 1.0f, rect.Y);
        StrokeLine(graphics, light.get(), rect.X, rect.Y, rect.X, bottom - 1.0f);
        OwnedPen shadow = MakePen(ToArgb(0, 168, 1), w);
        StrokeLine(graphics, shadow.get(), rect.X, bottom, right, bottom);
        StrokeLine(graphics, shadow.get(), right, rect.Y, right, bottom - 1.0f);
        return;
    }
    case BorderSolid: {
        OwnedPen pen = MakePen(color.value_or(ToArgb(0x646464, 255, 1)), w);
        StrokeInsetRectangle(graphics, pen.get(), rect);
        return;
    }
    case BorderDashed: {
        OwnedPen pen = MakePen(color.value_or(ToArgb(0, 120, 1)), w);
        if (pen) GdipSetPenDashStyle(pen.get(), DashStyleDash);
        StrokeInsetRectangle(graphics, pen.get(), rect);
        return;
    }
    default: {
        OwnedPen pen = MakePen(style, w);
        StrokeInsetRectangle(graphics, pen.get(), rect);
        return;
    }
    }
}

void DrawRoundRect(GpGraphics* graphics, const RectF& rect, float diameter, ARGB color,
                   std::optional<int> dashStyle, std::optional<float> width) {
    OwnedPen pen = MakePen(color, width.value_or(1.0f));
    if (!graphics || !pen) return;
    GdipSetPenDashStyle(pen.get(), static_cast<GpDashStyle>(dashStyle.value_or(0)));
    OwnedPath path = RoundRectPath(rect, diameter, 0);
    if (path) GdipDrawPath(graphics, pen.get(), path.get());
}

void DrawLine(GpGraphics* graphics, ARGB color, float x1, float y1, float x2, float y2,
              std::optional<float> width) {
    OwnedPen pen = MakePen(color, width.value_or(1.0f));
    StrokeLine(graphics, pen.get(), x1, y1, x2, y2);
}

// ---- Text -----------------------------------------------------------------

int AnsiTextLength(const std::string& text) {
    return MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0) - 1;
}

bool MeasureTextRange(GpGraphics* graphics, const std::wstring& text, GpFont* font,
                      GpStringFormat* format, int first, int length, const RectF& layout,
                      RectF& bounds) {
    if (!format) return false;
    CharacterRange range(first, length);
    GdipSetStringFormatMeasurableCharacterRanges(format, 1, &range);
    GpRegion* raw = nullptr;
    GdipCreateRegion(&raw);
    OwnedRegion region(raw);
    if (!region) return false;
    GpRegion* regions[1] = {region.get()};
    GpStatus status = GdipMeasureCharacterRanges(graphics, text.c_str(),
                                                 static_cast<INT>(text.size()), font, layout,
                                                 format, 1, regions);
    if (status != Ok) return false;
    GdipGetRegionBounds(region.get(), graphics, &bounds);
    return true;
}

namespace {

// Offsets of the five copies of the text that make a halo: a plus-shaped
// spread of one pixel around (4, 4), the middle of the 7-pixel margin the
// halo bitmap has over the layout rectangle.
const float HaloOffsets[5][2] = {{5, 4}, {3, 4}, {4, 3}, {4, 5}, {4, 4}};

// The text spread in the halo colour onto a bitmap 7 pixels larger than the
// layout, shrunk by scale and stretched back under the layout: scale 3
// blurs the spread into a soft glow, scale 1 leaves a crisp outline.
void DrawTextHalo(GpGraphics* graphics, const RectF& layout, const std::wstring& text,
                  GpFont* font, GpStringFormat* format, ARGB haloColor, int scale) {
    int spreadWidth = static_cast<int>(layout.Width) + 7;
    int spreadHeight = static_cast<int>(layout.Height) + 7;
    Surface spread = MakeSurface(spreadWidth, spreadHeight);
    if (!spread.graphics) return;
    OwnedBrush brush = MakeSolidBrush(haloColor);
    if (!brush) return;
    for (const auto& offset : HaloOffsets) {
        RectF copy(offset[0], offset[1], layout.Width, layout.Height);
        GdipDrawString(spread.graphics.get(), text.c_str(), -1, font, &copy, format, brush.get());
    }

    int shrunkWidth = spreadWidth / scale;
    int shrunkHeight = spreadHeight / scale;
    GpBitmap* rawShrunk = nullptr;
    GdipCreateBitmapFromScan0(shrunkWidth, shrunkHeight, 0, PixelFormat32bppARGB, nullptr,
                              &rawShrunk);
    OwnedBitmap shrunk(rawShrunk);
    if (!shrunk) return;
    GpGraphics* rawShrunkGraphics = nullptr;
    GdipGetImageGraphicsContext(shrunk.get(), &rawShrunkGraphics);
    OwnedGraphics shrunkGraphics(rawShrunkGraphics);
    if (!shrunkGraphics) return;
    GdipSetSmoothingMode(shrunkGraphics.get(), SmoothingModeAntiAlias);
    GdipSetCompositingQuality(shrunkGraphics.get(), CompositingQualityGammaCorrected);
    GdipSetInterpolationMode(shrunkGraphics.get(), InterpolationModeHighQualityBilinear);
    GdipDrawImageRectRect(shrunkGraphics.get(), spread.bitmap.get(), 0, 0,
                          static_cast<REAL>(shrunkWidth), static_cast<REAL>(shrunkHeight), 0, 0,
                          static_cast<REAL>(spreadWidth), static_cast<REAL>(spreadHeight),
                          UnitPixel, nullptr, nullptr, nullptr);

    GdipDrawImageRectRect(graphics, shrunk.get(), layout.X - 4.0f, layout.Y - 4.0f,
                          layout.Width + 7.0f, layout.Height + 7.0f, 0, 0,
                          static_cast<REAL>(shrunkWidth), static_cast<REAL>(shrunkHeight),
                          UnitPixel, nullptr, nullptr, nullptr);
}

}  // namespace

void DrawTextEffect(GpGraphics* graphics, const RectF& layout, const std::wstring& text,
                    GpFont* font, ARGB color, GpStringFormat* format, std::optional<int> effect,
                    std::optional<ARGB> effectColor) {
    ARGB haloColor = effectColor.value_or(0);
    if (haloColor == 0)
        haloColor = IsDarkColor(color) ? ToArgb(0xFFFFFF, 85, 1) : ToArgb(0, 75, 1);

    // Whole pixels keep the halo bitmap aligned with the glyphs drawn over it.
    RectF whole(static_cast<REAL>(static_cast<int>(layout.X)),
                static_cast<REAL>(static_cast<int>(layout.Y)),
                static_cast<REAL>(static_cast<int>(layout.Width)),
                static_cast<REAL>(static_cast<int>(layout.Height)));
    if (!graphics) return;
    int kind = effect.value_or(0);
    if (kind == TextEffectGlow) DrawTextHalo(graphics, whole, text, font, format, haloColor, 3);
    if (kind == TextEffectOutline) DrawTextHalo(graphics, whole, text, font, format, haloColor, 1);

    OwnedBrush brush = MakeSolidBrush(color);
    if (brush) GdipDrawString(graphics, text.c_str(), -1, font, &whole, format, brush.get());
}
