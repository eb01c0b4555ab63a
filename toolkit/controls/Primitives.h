// Drawing primitives and colour helpers shared by every control, the host's
// skin and the application's windows.
//
// Colours: the application and the Windows side speak COLORREF
// (0x00BBGGRR); GDI+ speaks ARGB (0xAARRGGBB). ToArgb converts, and by the
// toolkit's convention an opaque colour is written with alpha 254, never
// 255. IsDarkColor and IsBackdropDark let text controls pick a contrasting
// halo or colour automatically.
//
// Geometry: the one-pixel details matter to the toolkit's look. Rounded
// rectangles, gradient fills and rectangular borders all keep their right
// and bottom edges one pixel inside the given rectangle, so that a shape of
// a control's full bounds stays inside the control's surface.
//
// Every brush, pen, path, region and bitmap a primitive makes is released
// before it returns; RoundRectPath alone hands its path to the caller.
#pragma once

#include <optional>
#include <string>

#include "toolkit/GdipHandles.h"

// ---- Colour ---------------------------------------------------------------

// ARGB of a COLORREF. The alpha used is 254 when alpha is omitted, when
// useAlpha is 0, or when alpha is 255; otherwise its low byte (so -1 gives
// 0xFF). useAlpha omitted means "use the alpha when one is given".
ARGB ToArgb(COLORREF rgb, std::optional<int> alpha = std::nullopt,
            std::optional<int> useAlpha = std::nullopt);

struct ArgbParts {
    int alpha = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};
ArgbParts SplitArgb(ARGB color);

// Luminance 0.299 R + 0.587 G + 0.114 B below 192; alpha is ignored.
bool IsDarkColor(ARGB color);

// Whether the backdrop of a host window is dark under a rectangle in host
// coordinates: nine sample points of the host's skin image (more than four
// dark), or the host's background colour when it has no skin image. A
// window without a host is never dark.
bool IsBackdropDark(HWND hostWindow, const RectF& rect);

// ---- Geometry -------------------------------------------------------------

// Adds each given delta to x, y, width and height; omitted ones add 0.
// (Distinct from the Win32 OffsetRect, which takes a RECT*.)
void OffsetRect(std::optional<float> dx, std::optional<float> dy, std::optional<float> dWidth,
                std::optional<float> dHeight, RectF& rect);

// A closed figure of four 90-degree arcs with boxes diameter x diameter,
// clockwise from the top-left corner. The right and bottom edges lie one
// pixel inside rect. fillMode 0 alternate, 1 winding.
OwnedPath RoundRectPath(const RectF& rect, float diameter, int fillMode = FillModeAlternate);

// ---- Fills and strokes ----------------------------------------------------

// Fills RoundRectPath(rect, diameter truncated to an integer).
void FillRoundRect(GpGraphics* graphics, const RectF& rect, float diameter, ARGB color);

// Linear gradient from start to end over rect, in LinearGradientMode mode
// (0 horizontal, 1 vertical (default), 2 forward diagonal, 3 backward
// diagonal); fills one pixel less than rect in each dimension.
void FillGradient(GpGraphics* graphics, const RectF& rect, ARGB start, ARGB end,
                  std::optional<int> mode = std::nullopt);

// Border styles of DrawBorder. Any other style value is itself the ARGB
// colour of a solid border.
enum BorderStyle : ARGB {
    BorderNone = 0,
    BorderSunken = 1,
    BorderRaised = 2,
    BorderSolid = 3,
    BorderDashed = 4,
};

// A border just inside rect (right and bottom edges at x + width - 1 and
// y + height - 1). color is used by the solid and dashed styles only
// (defaults: grey 0x646464 and black at alpha 120); width defaults to 1.
void DrawBorder(GpGraphics* graphics, const RectF& rect, ARGB style,
                std::optional<ARGB> color = std::nullopt,
                std::optional<float> width = std::nullopt);

// Strokes RoundRectPath(rect, diameter); dashStyle is a GDI+ DashStyle
// (0 solid by default), width defaults to 1.
void DrawRoundRect(GpGraphics* graphics, const RectF& rect, float diameter, ARGB color,
                   std::optional<int> dashStyle = std::nullopt,
                   std::optional<float> width = std::nullopt);

void DrawLine(GpGraphics* graphics, ARGB color, float x1, float y1, float x2, float y2,
              std::optional<float> width = std::nullopt);

// ---- Text -----------------------------------------------------------------

// Number of UTF-16 code units of an ANSI (system code page) text.
int AnsiTextLength(const std::string& text);

// Bounds of the characters [first, first + length) of text laid out in
// layout. The range stays set on format afterwards. False when measuring
// failed (bounds is then left as it was).
bool MeasureTextRange(GpGraphics* graphics, const std::wstring& text, GpFont* font,
                      GpStringFormat* format, int first, int length, const RectF& layout,
                      RectF& bounds);

// Text effects of DrawTextEffect; any other value draws plain text.
enum TextEffect : int {
    TextEffectGlow = 3,     // soft glow behind the glyphs
    TextEffectOutline = 4,  // crisp one-pixel outline
};

// Draws text in color within layout (truncated to whole pixels), behind it
// the glow or outline of effect. An omitted or 0 effectColor picks a
// contrasting one: a light halo behind dark text, a dark one behind light
// text.
void DrawTextEffect(GpGraphics* graphics, const RectF& layout, const std::wstring& text,
                    GpFont* font, ARGB color, GpStringFormat* format,
                    std::optional<int> effect = std::nullopt,
                    std::optional<ARGB> effectColor = std::nullopt);
