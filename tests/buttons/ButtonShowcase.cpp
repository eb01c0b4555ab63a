// A window of buttons and text controls in every look, left on the screen
// for a screenshot. Disabled by default; run it with
//   button_tests --gtest_also_run_disabled_tests --gtest_filter=*Showcase*
// and FONTIVA_SHOWCASE_MS (default 20000) for how long the window stays up.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ToolkitAssets.h"
#include "buttons/ButtonTestSupport.h"
#include "toolkit/host/Toolkit.h"

namespace {

TEST(ButtonShowcase, DISABLED_LeavesAWindowUpForAScreenshot) {
    AttachOptions options;
    options.backColor = 0xF3E9DC;
    options.captionFlags = CaptionTitle | CaptionClose;
    TestWindow window(560, 260, WS_POPUP | WS_VISIBLE, options);
    SetWindowTextW(window.window, L"按钮一览");
    SetWindowPos(window.window, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    Button normal, hover, pressed, disabled, focused, wide;
    normal.Create(window.parent(), 20, 50, 100, 30, WideToAnsi(L"普通(&N)"));
    hover.Create(window.parent(), 130, 50, 100, 30, WideToAnsi(L"悬停"));
    pressed.Create(window.parent(), 240, 50, 100, 30, WideToAnsi(L"按下"));
    disabled.Create(window.parent(), 350, 50, 100, 30, WideToAnsi(L"禁用"));
    focused.Create(window.parent(), 20, 100, 100, 30, WideToAnsi(L"焦点(&F)"));
    wide.Create(window.parent(), 130, 100, 210, 40, WideToAnsi(L"一键修改"), std::nullopt,
                std::nullopt, 16, FontStyleBold);
    const EmbeddedBytes& mark = ToolkitAssets::checkMark;
    wide.IconGap(6);
    wide.Icon(std::vector<unsigned char>(mark.bytes, mark.bytes + mark.size));
    hover.Paint(hover.handle, StateHover);
    pressed.Paint(pressed.handle, StatePressed);
    disabled.Disabled(1);
    PostMessageW(window.window, WM_KEYDOWN, VK_TAB, 0);  // keyboard focus on the first button
    PumpMessages();
    SendMessageW(window.window, HostSetFocus, 0, static_cast<LPARAM>(focused.handle));

    TextControl plainRound, plainSquare, plainHover, plainCue;
    plainRound.Create(window.parent(), 20, 170, 100, 30, WideToAnsi(L"圆角"));
    plainSquare.Create(window.parent(), 130, 170, 100, 30, WideToAnsi(L"方角"), std::nullopt,
                       std::nullopt, std::nullopt, std::nullopt, 0, 0, 0);
    plainHover.Create(window.parent(), 240, 170, 100, 30, WideToAnsi(L"悬停"));
    plainHover.Paint(plainHover.handle, StateHover);
    plainCue.Create(window.parent(), 350, 170, 100, 30, WideToAnsi(L"键盘焦点"));
    window.host.focusCueControl = plainCue.handle;
    plainCue.Paint(plainCue.handle, StateFocused);

    const char* ms = std::getenv("FONTIVA_SHOWCASE_MS");
    PumpFor(ms ? static_cast<DWORD>(std::atoi(ms)) : 20000);
}

}  // namespace
