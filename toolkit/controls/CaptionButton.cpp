#include "toolkit/controls/CaptionButton.h"

namespace {

// Every state change of a caption button fades over frames of this period.
constexpr int CaptionTransitionInterval = 60;

}  // namespace

ControlHandle CaptionButton::Create(UINT_PTR parentArg, int x, int y, int width, int height,
                                    int type, std::optional<int> isVisible) {
    buttonType = type;
    RectF rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height));
    return Control::Create(parentArg, rect, KindCaptionButton, isVisible.value_or(1), 0,
                           std::nullopt, CaptionTransitionInterval);
}

void CaptionButton::RunWindowCommand() {
    HWND target = hostWindow;
    switch (buttonType) {
    case CaptionButtonClose:
        PostMessageW(target, WM_CLOSE, 0, 0);
        break;
    case CaptionButtonMaximize:
        PostMessageW(target, WM_SYSCOMMAND, IsZoomed(target) ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    case CaptionButtonMinimize:
        if (!IsIconic(target)) PostMessageW(target, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    default:
        break;  // the further kinds carry no window command
    }
}

int CaptionButton::HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) {
    switch (event) {
    case EventDestroyed:
        buttonType = 0;
        drawnState = 0;
        return -1;
    case EventActivated:
        if (!disabled) RunWindowCommand();
        return -1;
    case EventPressQuery:
        return 0;
    default:
        return -1;
    }
}
