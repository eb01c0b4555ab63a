#include "toolkit/controls/ProgressBar.h"

#include <algorithm>
#include <cmath>

#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/HostWindow.h"

namespace {

// Arc diameter of the rounded track and outline; corner ellipse of the
// rounded clip of the track and the bar.
constexpr float CornerDiameter = 6.0f;
constexpr int ClipCorner = 3;
// The track lies this far inside the outline.
constexpr float TrackInset = 2.0f;
// Shading of the track and gloss of the bar: transparent to black.
constexpr ARGB TrackShade = 0x33000000;
constexpr ARGB BarShade = 0x51000000;
// Beyond this many pixels a bar is past any surface; longer ones are cut
// here so that absurd positions stay plain integers.
constexpr double LongestBar = 1 << 20;

int RoundedByHost(UINT_PTR parentArg) {
    HWND window = reinterpret_cast<HWND>(parentArg);
    HostWindow* host = IsWindow(window) ? HostFromWindow(window) : nullptr;
    return host && host->frameStyle != FrameSquare ? 1 : 0;
}

// Clips graphics to r, with slightly rounded corners when asked; the clip
// is replaced until the scope ends.
class ScopedClip {
public:
    ScopedClip(GpGraphics* graphics, const RectF& r, bool round) : graphics_(graphics) {
        GpRegion* region = nullptr;
        if (round) {
            auto left = static_cast<int>(r.X), top = static_cast<int>(r.Y);
            OwnedHRgn corners(CreateRoundRectRgn(left, top, left + static_cast<int>(r.Width) + 1,
                                                 top + static_cast<int>(r.Height) + 1, ClipCorner,
                                                 ClipCorner));
            if (corners) GdipCreateRegionHrgn(corners.get(), &region);
        }
        OwnedRegion owned(region);
        // Without the rounded region the plain rectangle still bounds the
        // drawing.
        if (owned)
            GdipSetClipRegion(graphics_, owned.get(), CombineModeReplace);
        else
            GdipSetClipRect(graphics_, r.X, r.Y, r.Width, r.Height, CombineModeReplace);
    }
    ~ScopedClip() { GdipResetClip(graphics_); }
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

private:
    GpGraphics* graphics_;
};

}  // namespace

int ProgressBarLength(int position, int minimum, int maximum, float innerLength) {
    if (maximum == minimum) return 0;
    double length = (static_cast<double>(position) - minimum) * innerLength /
                    (static_cast<double>(maximum) - minimum);
    length = std::clamp(length, -LongestBar, LongestBar);
    return static_cast<int>(std::lround(length));
}

ControlHandle ProgressBar::Create(UINT_PTR parentArg, int x, int y, int width, int height,
                                  int positionValue, int minimumValue,
                                  std::optional<int> maximumValue, bool isVertical,
                                  std::optional<ARGB> start, std::optional<ARGB> end,
                                  std::optional<ARGB> border, std::optional<ARGB> back,
                                  std::optional<int> isRounded, std::optional<int> isVisible) {
    if (handle && handle == Self()) return handle;
    position = positionValue;
    minimum = minimumValue;
    maximum = maximumValue.value_or(100);
    vertical = isVertical ? 1 : 0;
    startColor = start.value_or(ProgressDefaultStartColor);
    endColor = end.value_or(ProgressDefaultEndColor);
    borderColor = border.value_or(ProgressDefaultBorderColor);
    backColor = back.value_or(ProgressDefaultBackColor);
    rounded = isRounded ? (*isRounded != 0 ? 1 : 0) : RoundedByHost(parentArg);
    barLength = 0;

    RectF rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height));
    return Control::Create(parentArg, rect, KindProgressBar, isVisible.value_or(1), 0);
}

void ProgressBar::SetBarColors(std::optional<ARGB> start, std::optional<ARGB> end) {
    bool changed = false;
    if (start && *start != startColor) {
        startColor = *start;
        changed = true;
    }
    if (end && *end != endColor) {
        endColor = *end;
        changed = true;
    }
    if (changed || (!start && !end)) Redraw();
}

ARGB ProgressBar::BackColor(std::optional<ARGB> value) {
    if (value && *value != backColor) {
        backColor = *value;
        Redraw();
    }
    return backColor;
}

int ProgressBar::Position(std::optional<int> value) {
    if (value && *value != position) {
        position = *value;
        Redraw();
    }
    return position;
}

void ProgressBar::Paint() {
    PaintContext context;
    if (!BeginSurfacePaint(*this, context)) return;
    RectF paintRect(0, 0, bounds.Width, bounds.Height);
    OnBeforePaint(context, paintRect, 1);
    GpGraphics* graphics = context.graphics;
    if (!graphics) {
        EndSurfacePaint(*this, context);
        return;
    }

    const RectF outer = paintRect;
    const RectF inner(outer.X + TrackInset, outer.Y + TrackInset, outer.Width - 2 * TrackInset,
                      outer.Height - 2 * TrackInset);
    // Shading and gloss run across the bar: top to bottom on a horizontal
    // bar, left to right on a vertical one.
    const int acrossMode = vertical ? LinearGradientModeHorizontal : LinearGradientModeVertical;

    const bool drawTrack = !OnDrawTrack(context);
    if (drawTrack) {
        if (backColor) {
            if (rounded) {
                FillRoundRect(graphics, paintRect, CornerDiameter, backColor);
            } else {
                OwnedBrush brush = MakeSolidBrush(backColor);
                if (brush)
                    GdipFillRectangle(graphics, brush.get(), outer.X, outer.Y, outer.Width - 1,
                                      outer.Height - 1);
            }
        }
        ScopedClip clip(graphics, inner, rounded != 0);
        FillGradient(graphics, paintRect, 0, TrackShade, acrossMode);
    }

    RectF bar = inner;
    if (vertical) {
        barLength = ProgressBarLength(position, minimum, maximum, inner.Height);
        bar.Height = static_cast<float>(barLength);
        bar.Y = outer.Y + outer.Height - static_cast<float>(barLength) - TrackInset;
    } else {
        barLength = ProgressBarLength(position, minimum, maximum, inner.Width);
        bar.Width = static_cast<float>(barLength);
    }

    // A bar of no length shows nothing; a rectangle of negative size must
    // not reach the clip, where a rounded region would turn it around.
    if (!OnDrawBar(context, bar) && barLength > 0) {
        ScopedClip clip(graphics, bar, rounded != 0);
        if (vertical)
            FillGradient(graphics, outer, endColor, startColor, LinearGradientModeVertical);
        else
            FillGradient(graphics, outer, startColor, endColor, LinearGradientModeHorizontal);
        FillGradient(graphics, outer, 0, BarShade, acrossMode);
    }

    if (drawTrack) {
        if (rounded)
            DrawRoundRect(graphics, outer, CornerDiameter, borderColor, DashStyleSolid, 1.0f);
        else
            DrawBorder(graphics, outer, borderColor);  // a colour draws a solid frame
    }
    EndSurfacePaint(*this, context);
}

int ProgressBar::PreviewEvent(ControlHandle, UINT, WPARAM, LPARAM) { return -1; }
bool ProgressBar::OnDrawTrack(PaintContext&) { return false; }
bool ProgressBar::OnDrawBar(PaintContext&, const RectF&) { return false; }
void ProgressBar::OnBeforePaint(PaintContext&, RectF&, int) {}

int ProgressBar::HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) {
    int answer = PreviewEvent(handle, event, wParam, lParam);
    if (answer != -1) return answer;
    if (event == EventPaint) Paint();
    return -1;
}
