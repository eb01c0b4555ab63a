// Button: the toolkit's skinned push button, a TextControl whose background
// is one frame of the shared button skin stretched nine-slice to its size,
// and whose keyboard focus is a small light travelling clockwise around its
// border.
//
// A button is created with TextControl::Create and turns itself into kind
// 23 on its created event; caption, icon, fonts, mnemonic, hover and press
// are TextControl's. The skin (four 13 x 28 frames: normal, hot, pressed,
// and a disabled look the button leaves unused) is decoded on the first
// button's creation and shared by all buttons for the rest of the program.
//
// Focus light:
//   off --focus gained--> on at (6, 0), class timer (identifier = handle)
//                         every 100 ms: one 6-pixel step and a repaint
//   on  --transition started--> timer stopped; each transition frame
//                         moves the light one step instead
//   on  --transition finished--> timer again
//   on  --focus lost-->   off, timer stopped, repainted at once
#pragma once

#include "toolkit/controls/TextControl.h"

// The decoded button skin; 0 until the first button is created, or when
// the skin does not decode. Never released.
extern GpImage* buttonSkin;

// Edges the focus light travels along, clockwise.
enum FocusLightPhase : int {
    LightTop = 1,     // left to right
    LightRight = 2,   // downward
    LightBottom = 3,  // right to left
    LightLeft = 4,    // upward
};

class Button : public TextControl {
public:
    Button() = default;
    ~Button() override;

    // Draws the skin frame of the state and the focus light; always 1.
    int OnPaintBackground(PaintContext& context, int paintState) override;
    // Nudges caption and icon for the skin's bevel; always 1 (no dashed
    // focus rectangle: the light shows the focus).
    int OnLayout(PaintContext& context, int paintState, RectF& caption, RectF& icon) override;
    int PreviewEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;
    // Moves the focus light one step along the border.
    void AdvanceFocusLight();

    int focusLightOn = 0;
    int focusLightPhase = 0;
    PointF focusLightPos{0, 0};  // centre, in the button's own coordinates
};
