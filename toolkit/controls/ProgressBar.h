// ProgressBar: a value between a minimum and a maximum shown as a gradient
// bar over a lightly shaded track.
//
// The bar grows to the right, or upwards when vertical, inside a track
// inset 2 pixels from a one-pixel outline, square or with rounded corners
// (the default follows the host window's frame style). The position is not
// clamped: below the minimum no bar shows, above the maximum the bar runs
// on over the outline to the edge of the control. The bar has no input and
// never takes the focus.
//
// Four hooks let a derived class take over events, the track, the bar or
// the paint rectangle; by default they change nothing.
#pragma once

#include <optional>

#include "toolkit/controls/Control.h"

struct PaintContext;

class ProgressBar : public Control {
public:
    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;

    // rounded omitted: rounded when the parent is a host window whose frame
    // style is not square; square inside another control.
    ControlHandle Create(UINT_PTR parent, int x, int y, int width, int height, int position = 0,
                         int minimumValue = 0, std::optional<int> maximumValue = std::nullopt,
                         bool isVertical = false, std::optional<ARGB> start = std::nullopt,
                         std::optional<ARGB> end = std::nullopt,
                         std::optional<ARGB> border = std::nullopt,
                         std::optional<ARGB> back = std::nullopt,
                         std::optional<int> isRounded = std::nullopt,
                         std::optional<int> isVisible = std::nullopt);

    // Stores the colours given and repaints when one changed; called with
    // neither, it repaints the bar as it is.
    void SetBarColors(std::optional<ARGB> start = std::nullopt,
                      std::optional<ARGB> end = std::nullopt);
    // Property methods: a given value is stored and the bar repainted when
    // it differs; the current value is returned either way.
    ARGB BackColor(std::optional<ARGB> value = std::nullopt);
    int Position(std::optional<int> value = std::nullopt);

    void Paint();

    // Hooks. PreviewEvent answers an event before the class (-1: go on);
    // OnDrawTrack and OnDrawBar return true when they drew the track (with
    // its outline) or the bar themselves; OnBeforePaint may change the
    // paint rectangle.
    virtual int PreviewEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam);
    virtual bool OnDrawTrack(PaintContext& context);
    virtual bool OnDrawBar(PaintContext& context, const RectF& bar);
    virtual void OnBeforePaint(PaintContext& context, RectF& paintRect, int reserved);

    int position = 0;
    int minimum = 0;
    int maximum = 100;
    int vertical = 0;  // grows from the bottom
    ARGB startColor = 0;  // left, or bottom
    ARGB endColor = 0;    // right, or top
    ARGB borderColor = 0;
    int rounded = 0;
    ARGB backColor = 0;  // track fill; 0 = none
    int barLength = 0;   // in pixels, from the last paint
};

// Defaults of a progress bar: blue to green, a black outline at alpha 80
// and a white track at alpha 210.
constexpr ARGB ProgressDefaultStartColor = 0xE60088FF;
constexpr ARGB ProgressDefaultEndColor = 0xE600E080;
constexpr ARGB ProgressDefaultBorderColor = 0x50000000;
constexpr ARGB ProgressDefaultBackColor = 0xD2FFFFFF;

// Bar length in pixels of position within [minimum, maximum] over an inner
// length, rounded to the nearest pixel; negative below the minimum, longer
// than the inner length above the maximum. 0 when minimum equals maximum.
int ProgressBarLength(int position, int minimum, int maximum, float innerLength);
