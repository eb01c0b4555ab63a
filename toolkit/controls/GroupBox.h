// GroupBox: a captioned frame around a group of other controls.
//
// The group box draws a one-pixel outline, square or with rounded corners
// (the default follows the host window's frame style), optionally filled,
// with a one-line caption cut into its top edge: the outline stops behind
// the caption, which sits 8 pixels in from the left or right side or in
// the middle. Without a caption the outline runs all round. The group box
// has no input of its own and never takes the focus; the controls it
// frames are ordinary siblings created after it.
//
// The caption is kept in UTF-16 (callers hand ANSI text in the system code
// page). The font is the shared defaultFont, borrowed, or one the group box
// made and owns; the string format is always its own.
#pragma once

#include <optional>
#include <string>

#include "toolkit/controls/Control.h"

class GroupBox : public Control {
public:
    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;
    // Recomputes captionWidth and captionHeight (0 x 0 without a caption).
    void MeasureCaption();

    // rounded omitted: rounded when the parent is a host window whose frame
    // style is not square; square inside another control.
    ControlHandle Create(UINT_PTR parent, int x, int y, int width, int height,
                         const std::string& ansiCaption,
                         std::optional<ARGB> captionColor = std::nullopt,
                         std::optional<std::string> fontName = std::nullopt,
                         std::optional<int> fontSize = std::nullopt,
                         std::optional<int> fontStyle = std::nullopt, int effect = 0,
                         ARGB effectArgb = 0, int align = 0, ARGB fill = 0,
                         std::optional<ARGB> frame = std::nullopt,
                         std::optional<int> isRounded = std::nullopt,
                         std::optional<int> isVisible = std::nullopt);

    // Property methods: a given value is stored and the frame repainted
    // when it differs; the current value is returned either way. A new
    // caption is measured again.
    std::string Caption(std::optional<std::string> ansiText = std::nullopt);
    std::wstring CaptionW(std::optional<std::wstring> text = std::nullopt);
    ARGB TextColor(std::optional<ARGB> value = std::nullopt);
    ARGB FillColor(std::optional<ARGB> value = std::nullopt);
    int CaptionAlign(std::optional<int> value = std::nullopt);
    ARGB FrameColor(std::optional<ARGB> value = std::nullopt);

    void Paint();

    std::wstring caption;
    int captionAlign = 0;  // 0 left, 1 centred, any other value right
    GpFont* font = nullptr;  // ownedFont, or the shared defaultFont
    ARGB textColor = 0;
    OwnedStringFormat stringFormat;
    int textEffect = 0;
    ARGB effectColor = 0;  // 0: chosen by DrawTextEffect
    ARGB fillColor = 0;    // 0: the inside stays transparent
    ARGB frameColor = 0;
    int rounded = 0;
    int captionWidth = 0;
    int captionHeight = 0;

protected:
    OwnedFont ownedFont;
};

// Defaults of a group box: black caption at alpha 210, black frame at 80.
constexpr ARGB GroupBoxDefaultTextColor = 0xD2000000;
constexpr ARGB GroupBoxDefaultFrameColor = 0x50000000;
