// Label: the toolkit's static text, one string painted into the control's
// own surface with a font, colour, alignment, trimming and optional
// gradient background, border and halo. Hosts use one for their title.
//
// The label keeps its text in UTF-16 (callers hand ANSI text in the system
// code page to Create). Its font is either the shared defaultFont,
// borrowed, or one it made and owns; its string format is always its own.
#pragma once

#include <optional>
#include <string>

#include "toolkit/controls/Control.h"

class Label : public Control {
public:
    ControlHandle Create(UINT_PTR parent, int x, int y, int width, int height,
                         const std::string& ansiText,
                         std::optional<ARGB> color = std::nullopt, int gradient = -1,
                         ARGB background1 = 0, ARGB background2 = 0, bool wrap = false,
                         bool contrast = false, std::optional<std::string> fontName = std::nullopt,
                         std::optional<int> fontSize = std::nullopt,
                         std::optional<int> fontStyle = std::nullopt, int alignment = 0,
                         int trimming = 0, int effect = 0, ARGB effectArgb = 0,
                         int borderStyle = 0, std::optional<int> isVisible = std::nullopt);

    // Stores a new text and repaints; the current text either way.
    std::wstring TextW(std::optional<std::wstring> value = std::nullopt);

    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;

    GpFont* font = nullptr;  // ownedFont, or the shared defaultFont
    std::wstring text;
    ARGB textColor = 0;
    int gradientMode = -1;  // -1 none, else a GDI+ LinearGradientMode
    ARGB backColor1 = 0;
    ARGB backColor2 = 0;
    int wordWrap = 0;
    int verticalAlign = 1;  // 0 top, 1 centre, 2 bottom
    int textEffect = 0;
    int border = 0;
    int autoContrast = 0;
    ARGB effectColor = 0;
    OwnedStringFormat stringFormat;
    int measuredWidth = 0;
    int measuredHeight = 0;
    int pendingTransition = 0;
    int pendingInterval = 0;
    int pendingFrames = 0;

protected:
    OwnedFont ownedFont;
};

// The default text colour of a label: black at alpha 210.
constexpr ARGB LabelDefaultColor = 0xD2000000;
