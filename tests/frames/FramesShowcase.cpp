// A window to look at: group boxes with each caption alignment, a filled
// and a caption-less frame, and progress bars horizontal and vertical,
// square and rounded, inside and outside their range. Disabled by
// default; run it with
//   frame_tests --gtest_also_run_disabled_tests --gtest_filter=*Showcase*
// and take a screenshot while it is up (FRAMES_SHOWCASE_MS, default 20000).
#include <gtest/gtest.h>

#include <cstdlib>

#include "frames/FramesSupport.h"
#include "toolkit/controls/GroupBox.h"
#include "toolkit/controls/ProgressBar.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/Toolkit.h"

namespace {

TEST(FramesShowcase, DISABLED_ShowsFramesAndBars) {
    GroupBox boxes[6];
    ProgressBar bars[9];
    AttachOptions options;
    options.backColor = 0xECECEC;
    options.captionFlags = 0;
    options.windowAlpha = 255;
    TestWindow window(600, 360, WS_POPUP, options);
    const UINT_PTR parent = window.parent();

    boxes[0].Create(parent, 16, 16, 180, 90, WideToAnsi(L"左对齐标题"));
    boxes[1].Create(parent, 210, 16, 180, 90, WideToAnsi(L"居中标题"), std::nullopt,
                    std::nullopt, std::nullopt, std::nullopt, 0, 0, 1);
    boxes[2].Create(parent, 404, 16, 180, 90, WideToAnsi(L"右对齐"), ToArgb(0x0000C0),
                    std::nullopt, std::nullopt, std::nullopt, TextEffectGlow, 0, 2, 0,
                    ToArgb(0xC00000, 160), 0);
    boxes[3].Create(parent, 16, 120, 180, 90, WideToAnsi(L"填充的分组框"), std::nullopt,
                    std::nullopt, 14, 1, 0, 0, 0, ToArgb(0xFFE0C0, 200));
    boxes[4].Create(parent, 210, 120, 180, 90, "");  // as the main window's frames
    boxes[5].Create(parent, 404, 120, 180, 225, WideToAnsi(L"竖向进度"), std::nullopt,
                    std::nullopt, std::nullopt, std::nullopt, 0, 0, 1, 0, std::nullopt, 0);

    bars[0].Create(parent, 30, 150, 150, 18, 60);
    // The download window's bar.
    bars[1].Create(parent, 16, 230, 348, 25, 25, 0, 100, false, ToArgb(57472), ToArgb(0x00FF00),
                   std::nullopt, ToArgb(0xFFFFFF, 200), 0);
    bars[2].Create(parent, 16, 265, 348, 25, 80, 0, 100, false, std::nullopt, std::nullopt,
                   std::nullopt, std::nullopt, 1);
    bars[3].Create(parent, 16, 300, 170, 20, 150);  // above the maximum
    bars[4].Create(parent, 194, 300, 170, 20, -30);  // below the minimum
    bars[5].Create(parent, 225, 160, 140, 14, 100, 0, 100, false, std::nullopt, std::nullopt,
                   std::nullopt, 0);  // no track fill
    for (int i = 0; i < 3; ++i)
        bars[6 + i].Create(parent, 430 + i * 45, 150, 24, 180, 30 * (i + 1), 0, 100, true,
                           std::nullopt, std::nullopt, std::nullopt, std::nullopt, i == 1 ? 0 : 1);

    ShowWindow(window.window, SW_SHOWNORMAL);
    UpdateWindow(window.window);
    const char* ms = std::getenv("FRAMES_SHOWCASE_MS");
    PumpFor(ms ? static_cast<DWORD>(std::atoi(ms)) : 20000);
}

}  // namespace
