// CaptionButton: the windowless minimise, maximise/restore and close button
// (and four further kinds) that a HostWindow places in its caption.
//
// The host creates one per caption bit and lays them out right to left; the
// button turns a completed click (the activated event the host delivers on
// a release over it) into the matching window command posted to its host
// window. It is never focusable, yet it answers the press query so that a
// press on it captures the mouse instead of starting a window drag.
#pragma once

#include <optional>

#include "toolkit/controls/Control.h"

// Button types: the caption bit each button stands for.
enum CaptionButtonType : int {
    CaptionButtonClose = 4,
    CaptionButtonMaximize = 8,
    CaptionButtonMinimize = 16,
};

class CaptionButton : public Control {
public:
    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;

    ControlHandle Create(UINT_PTR parent, int x, int y, int width, int height, int type,
                         std::optional<int> isVisible = std::nullopt);
    int ButtonType() const { return buttonType; }

    int buttonType = 0;
    int drawnState = 0;  // 0 normal, 1 hot, 2 pressed

private:
    void RunWindowCommand();
};
