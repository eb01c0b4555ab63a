// TextControl: the toolkit's clickable text, and the base of Button.
//
// A rectangle with a caption, an optional icon beside it and a look per
// visual state, painted into the control's own surface: a translucent
// light fill, a tint in the host's background colour whose direction and
// strength follow the state, a two-pixel bevel (rounded or square), a
// bottom shadow line, the icon and the caption. Hover, press and focus
// arrive from the host as events; entering, leaving and losing the focus
// cross-fade over four 60 ms transition frames, the rest switch at once.
//
//   state           event                          next
//   any             mouse entered                  1 hover   (4 frames)
//   any             mouse left / focus lost        0 normal  (4 frames)
//   any             focus gained                   3 focused
//   any             button down, when focusable    2 pressed
//   any             button up, when focusable      1 hover
//   (-1, an alternative look, is reached only through Paint)
//
// A "&" in the caption marks the next character as the control's Alt-key
// mnemonic; the control registers it with its host whenever the caption
// changes. Derived classes hook in at three points: OnPaintBackground
// (their own background), OnLayout (move caption and icon, or suppress the
// keyboard focus rectangle) and PreviewEvent (events before this class).
//
// The caption is kept in UTF-16; the ANSI methods convert with the system
// code page. The font is either the shared defaultFont, borrowed and never
// deleted, or one the control made or was handed, which it owns.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/controls/Control.h"

struct PaintContext;

// Visual states of a text control.
enum TextControlState : int {
    StateAlternative = -1,
    StateNormal = 0,
    StateHover = 1,
    StatePressed = 2,
    StateFocused = 3,
};

class TextControl : public Control {
public:
    TextControl() = default;
    // A control still created is destroyed first, so its host never keeps
    // a handle of a freed object.
    ~TextControl() override;

    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;

    // parent: a host window or a created control. Without fontName,
    // fontSize and fontStyle the control uses the shared defaultFont;
    // otherwise a font of that family (default: defaultFont's), size in
    // pixels (12) and style (0). rounded defaults to the host's frame style
    // (any non-zero style is rounded).
    ControlHandle Create(UINT_PTR parent, int x, int y, int width, int height,
                         const std::string& ansiText = std::string(),
                         std::optional<ARGB> color = std::nullopt,
                         std::optional<std::string> fontName = std::nullopt,
                         std::optional<int> fontSize = std::nullopt,
                         std::optional<int> fontStyle = std::nullopt, int effect = 0,
                         ARGB effectArgb = 0, std::optional<int> isRounded = std::nullopt,
                         std::optional<int> isVisible = std::nullopt);

    // Only a changed caption is stored; it then registers its mnemonic
    // again and repaints.
    std::string Text(std::optional<std::string> ansiText = std::nullopt);
    std::wstring TextW(std::optional<std::wstring> value = std::nullopt);
    ARGB TextColor(std::optional<ARGB> value = std::nullopt);
    int TextEffect(std::optional<int> value = std::nullopt);
    // Font setters build the new font (keeping the other two properties of
    // the current one) before the old one is released.
    std::string FontName(std::optional<std::string> family = std::nullopt);
    int FontStyle(std::optional<int> style = std::nullopt);
    float FontSize(std::optional<int> pixels = std::nullopt);
    // A font handed in becomes the control's, unless it is defaultFont;
    // 0 stands for defaultFont.
    GpFont* Font(std::optional<GpFont*> value = std::nullopt);
    // A format handed in becomes the control's.
    GpStringFormat* StringFormat(std::optional<GpStringFormat*> value = std::nullopt);
    ARGB EffectColor(std::optional<ARGB> value = std::nullopt);
    int Rounded(std::optional<int> value = std::nullopt);
    int AutoContrast(std::optional<int> value = std::nullopt);
    // Encoded image bytes (PNG, JPEG, GIF); the control keeps a copy.
    std::vector<unsigned char> Icon(std::optional<std::vector<unsigned char>> bytes = std::nullopt);
    int IconLayout(std::optional<int> value = std::nullopt);
    int OffsetX(std::optional<int> value = std::nullopt);
    int OffsetY(std::optional<int> value = std::nullopt);
    int IconGap(std::optional<int> value = std::nullopt);
    // Deletes the font unless it is defaultFont; font falls back to it.
    void ReleaseFont();

    // Paints the surface in a state (default: the current one), which
    // becomes the current one. commit 0 only redraws the surface.
    void Paint(ControlHandle self, std::optional<int> newState = std::nullopt, int commit = 1);

    // Non-zero: the class painted the background itself.
    virtual int OnPaintBackground(PaintContext& context, int paintState);
    // May move the caption and icon rectangles; non-zero suppresses the
    // keyboard focus rectangle.
    virtual int OnLayout(PaintContext& context, int paintState, RectF& caption, RectF& icon);
    // Called first by HandleEvent; anything but -1 is the answer.
    virtual int PreviewEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam);

    int state = StateNormal;
    std::wstring text;
    GpFont* font = nullptr;  // ownedFont, or the shared defaultFont
    int textEffect = 0;
    ARGB textColor = 0;
    int rounded = 0;
    OwnedStringFormat stringFormat;
    ARGB effectColor = 0;  // 0: automatic
    int autoContrast = 0;
    std::vector<unsigned char> icon;
    int iconLayout = 0;
    int offsetX = 0;
    int offsetY = 0;
    int iconGap = 0;

protected:
    OwnedFont ownedFont;

private:
    void PaintDefaultBackground(PaintContext& context, int paintState);
    // Stores a font: owned unless it is defaultFont.
    void AdoptFont(GpFont* value);
    // Replaces the font by one of another family, size or style.
    void RebuildFont(const std::string& family, float size, int style);
};

// The default caption colour: black at alpha 210.
constexpr ARGB TextControlDefaultColor = 0xD2000000;

// Registers the mnemonic of a caption (ANSI) with the control's host: the
// character after the first single "&" ("&&" is a literal ampersand), or 0,
// which removes the control's mnemonic. False without a host window or when
// the host does not accept.
bool RegisterMnemonic(ControlHandle control, const std::string& ansiText);

// Places icon (iw x ih) and caption (tw x th as measured) in a W x H control
// for an icon layout 0..6, with the group offset (ox, oy) and the gap
// between icon and caption; captions get 2 pixels of slack each way (5 of
// width in layout 6). Other layouts leave both rectangles empty.
//   0 icon left of caption, centred     4 icon at the left edge, caption after
//   1 caption left of icon, centred     5 caption at the left edge, icon after
//   2 icon above caption, centred       6 icon on top, caption below
//   3 both centred, caption over icon
void LayoutIconAndCaption(int layout, int W, int H, int iw, int ih, int tw, int th, int ox,
                          int oy, int gap, RectF& caption, RectF& icon);
