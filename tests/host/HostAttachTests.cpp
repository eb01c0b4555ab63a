// Attaching hosts to real windows: caption flags, styles and caption
// controls, refusals, the teardown on WM_DESTROY, the attribute methods and
// the caption buttons' window commands.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "HostTestSupport.h"
#include "toolkit/host/Toolkit.h"

namespace {

struct CaptionCase {
    const char* name;
    DWORD style;
    std::optional<int> flags;
    int expectedFlags;
    bool systemMenu;
    // Caption buttons after layout, rightmost first: type, window width
    // minus x, width.
    std::vector<std::vector<int>> buttons;
};

class CaptionFlagsTest : public testing::TestWithParam<CaptionCase> {};

constexpr int Width = 320;

TEST_P(CaptionFlagsTest, FlagsStylesAndButtonPlaces) {
    const CaptionCase& c = GetParam();
    AttachOptions options;
    options.captionFlags = c.flags;
    TestWindow w(Width, 200, c.style, options);
    HostWindow& host = w.host;

    EXPECT_EQ(c.expectedFlags, host.captionFlags);
    LONG_PTR style = GetWindowLongPtrW(w.window, GWL_STYLE);
    EXPECT_EQ(c.systemMenu, (style & WS_SYSMENU) != 0);
    EXPECT_NE(0, style & WS_POPUP);
    EXPECT_EQ(0, style & (WS_DLGFRAME | WS_BORDER | WS_THICKFRAME));
    EXPECT_EQ((host.captionFlags & CaptionMaximize) != 0, (style & WS_MAXIMIZEBOX) != 0);
    EXPECT_EQ((host.captionFlags & CaptionMinimize) != 0, (style & WS_MINIMIZEBOX) != 0);

    ASSERT_EQ(c.buttons.size(), host.captionButtons.size());
    for (size_t i = 0; i < c.buttons.size(); ++i) {
        const CaptionButton& button = *host.captionButtons[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(c.buttons[i][0], button.ButtonType());
        EXPECT_EQ(KindCaptionButton, button.kind);
        EXPECT_EQ(0, button.focusable);
        EXPECT_EQ(static_cast<float>(Width - c.buttons[i][1]), button.bounds.X);
        EXPECT_EQ(7.0f, button.bounds.Y);
        EXPECT_EQ(static_cast<float>(c.buttons[i][2]), button.bounds.Width);
        EXPECT_EQ(19.0f, button.bounds.Height);
    }

    bool title = (host.captionFlags & CaptionTitle) != 0;
    EXPECT_EQ(title, host.titleLabel.GetHandle() != 0);
    EXPECT_EQ((host.captionFlags & CaptionIcon) != 0, host.iconPicture.GetHandle() != 0);
    if (title) {
        // The title runs from beside the icon to the leftmost button.
        float right = c.buttons.empty() ? Width - 17.0f : host.captionButtons.back()->bounds.X;
        EXPECT_EQ(28.0f, host.titleLabel.bounds.X);
        EXPECT_EQ(10.0f, host.titleLabel.bounds.Y);
        EXPECT_EQ(right - 28.0f, host.titleLabel.bounds.Width);
        EXPECT_EQ(20.0f, host.titleLabel.bounds.Height);
        EXPECT_EQ(L"测试窗口", host.titleLabel.text);
        EXPECT_EQ(0, host.titleLabel.focusable);
    }
    if (host.iconPicture.GetHandle()) {
        EXPECT_EQ(0, host.iconPicture.focusable);
        EXPECT_EQ(RectF(11, 11, 16, 16).X, host.iconPicture.bounds.X);
    }
    if (c.expectedFlags == CaptionShadow) {
        EXPECT_EQ(0u, host.firstControl);
    }
}

const DWORD Captioned = WS_OVERLAPPED | WS_CAPTION;

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionFlagsTest,
    testing::Values(
        CaptionCase{"Zero", Captioned, 0, 512, false, {}},
        CaptionCase{"OmittedMinimizeOnly",
                    Captioned | WS_MINIMIZEBOX,
                    std::nullopt,
                    1 | 2 | 4 | 16 | 512,
                    true,
                    {{4, 45, 39}, {16, 73, 28}}},
        CaptionCase{"AutomaticPlusMinimize",
                    Captioned | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                    0x410,
                    1 | 2 | 4 | 8 | 16 | 512 | 1024,
                    true,
                    {{4, 45, 39}, {8, 73, 28}, {16, 101, 28}}},
        // Without a close button the buttons start 5 pixels from the edge,
        // and the style loses the maximise box the flags do not ask for.
        CaptionCase{"MinimizeAlone",
                    Captioned | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                    16,
                    16 | 512,
                    true,
                    {{16, 33, 28}}}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return info.param.name; });

TEST(HostAttach, ClientAreaCoversTheWholeWindow) {
    TestWindow w(300, 200, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    RECT client{}, outer{};
    GetClientRect(w.window, &client);
    GetWindowRect(w.window, &outer);
    EXPECT_EQ(outer.right - outer.left, client.right);
    EXPECT_EQ(outer.bottom - outer.top, client.bottom);
    EXPECT_EQ(300, w.host.size.width);
    EXPECT_EQ(200, w.host.size.height);
    // Resizable because the window had a thick frame: it gets it back.
    EXPECT_EQ(1, w.host.resizable);
    EXPECT_NE(0, GetWindowLongPtrW(w.window, GWL_STYLE) & WS_THICKFRAME);
}

TEST(HostAttach, DefaultsAndGivenOptions) {
    TestWindow plain;
    EXPECT_EQ(-1, plain.host.windowAlpha);
    EXPECT_EQ(0, plain.host.resizable);
    EXPECT_EQ(1, plain.host.draggable);
    EXPECT_EQ(1, plain.host.auxFlag);
    EXPECT_EQ(FrameRounded, plain.host.frameStyle);
    EXPECT_EQ(arrowCursor, plain.host.cursor);
    EXPECT_EQ(osMajorVersion == 6 ? 1 : 0, plain.host.blurBehind);
    EXPECT_EQ(0, GetWindowLongPtrW(plain.window, GWL_EXSTYLE) & WS_EX_LAYERED);

    AttachOptions options;
    options.blurBehind = 1;  // meaningless without alpha: forced off
    options.draggable = 0;
    options.auxFlag = 5;
    options.resizable = 1;
    options.sliceRect = {1, 2, 3, 4};
    TestWindow given(300, 200, WS_OVERLAPPED | WS_CAPTION, options);
    EXPECT_EQ(0, given.host.blurBehind);
    EXPECT_EQ(0, given.host.draggable);
    EXPECT_EQ(5, given.host.auxFlag);
    EXPECT_EQ(1, given.host.resizable);
    EXPECT_EQ(3, given.host.sliceRect.right);

    AttachOptions layered;
    layered.windowAlpha = 200;
    layered.blurBehind = 1;
    TestWindow alpha(300, 200, WS_OVERLAPPED, layered);
    EXPECT_EQ(1, alpha.host.blurBehind);
    EXPECT_NE(0, GetWindowLongPtrW(alpha.window, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(HostAttach, RefusalsLeaveTheFirstAttachmentIntact) {
    TestWindow w;
    HostWindow& host = w.host;
    ControlHandle first = host.firstControl;
    size_t buttons = host.captionButtons.size();
    WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.window, GWLP_WNDPROC));

    EXPECT_EQ(0, host.Attach(w.window));  // the same window again
    EXPECT_EQ(0, host.Attach(nullptr));

    HostWindow other;
    EXPECT_EQ(0, other.Attach(w.window));  // a window carries one host

    TestWindow second(200, 100, WS_OVERLAPPED, AttachOptions(), false);
    EXPECT_EQ(0, host.Attach(second.window));  // a host serves one window
    EXPECT_EQ(nullptr, GetPropW(second.window, HostProperty));

    HWND gone = CreateWindowExW(0, ToolkitWindowClass, L"", WS_OVERLAPPED, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(0, other.Attach(gone));

    EXPECT_EQ(reinterpret_cast<HANDLE>(&host), GetPropW(w.window, HostProperty));
    EXPECT_EQ(proc, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.window, GWLP_WNDPROC)));
    EXPECT_EQ(first, host.firstControl);
    EXPECT_EQ(buttons, host.captionButtons.size());
    EXPECT_EQ(w.window, host.window);
}

// What the window's own procedure saw at the end of its life.
struct DestroyObservation {
    bool seen = false;
    LONG_PTR procedure = 0;
    HANDLE property = nullptr;
};
DestroyObservation observed;

LRESULT CALLBACK ObservingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        observed.seen = true;
        observed.procedure = GetWindowLongPtrW(window, GWLP_WNDPROC);
        observed.property = GetPropW(window, HostProperty);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND ObservedWindow() {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ObservingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HostTestObserved";
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    return CreateWindowExW(0, L"HostTestObserved", L"观察", WS_OVERLAPPED | WS_CAPTION, 10, 10,
                           300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(HostTeardown, DestroyGivesTheWindowBackAndEmptiesTheHost) {
    HostWindow host;
    HWND window = ObservedWindow();
    ASSERT_EQ(1, host.Attach(window));
    HWND tooltip = host.tooltipWindow;
    ASSERT_TRUE(IsWindow(tooltip));
    LoggingControl control;
    control.Make(window, "A", 50, 50, 20, 20);
    SendMessageW(window, HostRegisterMnemonic, control.GetHandle(), 'A');
    // A registered tool subclasses the window too; its removal must not
    // bring the host's procedure back.
    control.TipText(L"提示", true);
    ASSERT_NE(0u, host.firstControl);

    observed = DestroyObservation();
    DestroyWindow(window);
    ASSERT_TRUE(observed.seen);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ObservingProc), observed.procedure);
    EXPECT_EQ(nullptr, observed.property);
    EXPECT_EQ(0u, host.firstControl);
    EXPECT_EQ(0u, host.lastControl);
    EXPECT_EQ(0, host.captionFlags);
    EXPECT_TRUE(host.captionButtons.empty());
    EXPECT_TRUE(host.mnemonics.empty());
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(0u, control.GetHandle());
    EXPECT_EQ(0u, host.titleLabel.GetHandle());
    EXPECT_EQ(nullptr, host.canvasDC);
    EXPECT_EQ(nullptr, host.windowDC);

    // The object may attach again, to a new window.
    TestWindow next(200, 100, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, AttachOptions(), false);
    EXPECT_EQ(1, host.Attach(next.window));
    EXPECT_EQ(1u, host.captionButtons.size());
    EXPECT_EQ(next.window, host.titleLabel.GetHostWindow());
    DestroyWindow(next.window);
}

TEST(HostTeardown, DestroyedHostObjectGivesTheWindowBack) {
    HWND window = ObservedWindow();
    {
        HostWindow host;
        ASSERT_EQ(1, host.Attach(window));
    }
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ObservingProc), GetWindowLongPtrW(window, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, GetPropW(window, HostProperty));
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // reaches no freed host
    DestroyWindow(window);
}

TEST(HostAttributes, StoreAndReturn) {
    TestWindow w;
    EXPECT_EQ(0, w.host.Draggable(0));
    EXPECT_EQ(0, w.host.Draggable());
    EXPECT_EQ(FrameSquare, w.host.FrameStyle(FrameSquare));
    EXPECT_EQ(FrameSquare, w.host.FrameStyle());
    w.host.SetShadowColor(0x123456);
    EXPECT_EQ(0x123456u, w.host.shadowColor);
    w.host.SetHideAnimation(3);
    EXPECT_EQ(3, w.host.hideAnimation);
    w.host.SetDefaultCursor(reinterpret_cast<UINT_PTR>(IDC_HAND));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), w.host.cursor);
    HCURSOR mine = LoadCursorW(nullptr, IDC_CROSS);
    w.host.SetDefaultCursor(reinterpret_cast<UINT_PTR>(mine), true);
    EXPECT_EQ(mine, w.host.cursor);
}

TEST(HostAttributes, WindowTextChangesTheTitle) {
    TestWindow w;
    SetWindowTextW(w.window, L"新标题 ✓");
    EXPECT_EQ(L"新标题 ✓", w.host.titleLabel.text);
}

struct MinimumCase {
    const char* name;
    DWORD style;
    std::optional<int> flags;
    LONG width, height;
};

class MinimumSizeTest : public testing::TestWithParam<MinimumCase> {};

TEST_P(MinimumSizeTest, TrackingMinimumFollowsTheCaption) {
    const MinimumCase& c = GetParam();
    AttachOptions options;
    options.captionFlags = c.flags;
    TestWindow w(300, 200, c.style, options);
    MINMAXINFO info{};
    EXPECT_EQ(0, SendMessageW(w.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(c.width, info.ptMinTrackSize.x);
    EXPECT_EQ(c.height, info.ptMinTrackSize.y);

    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.right + 14, info.ptMaxSize.x);
    EXPECT_EQ(work.bottom + 14, info.ptMaxSize.y);
    EXPECT_EQ(work.left - 7, info.ptMaxPosition.x);
    EXPECT_EQ(work.top - 7, info.ptMaxPosition.y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MinimumSizeTest,
    testing::Values(MinimumCase{"NoCaption", WS_OVERLAPPED, 0, 21, 20},
                    MinimumCase{"ThreeButtons", WS_OVERLAPPED | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                std::nullopt, 131, 38},
                    MinimumCase{"CloseOnly", WS_OVERLAPPED, std::nullopt, 28 + 11 + 36, 38}),
    [](const testing::TestParamInfo<MinimumCase>& info) { return info.param.name; });

// The caption buttons' clicks, through real button messages.
class CaptionButtonClicks : public testing::Test {
protected:
    TestWindow w{320, 200, WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX};
    void SetUp() override {
        w.host.leaveTracking = 1;  // the real pointer stays out of these tests
        w.host.SetOnMessage(RecordWindowCommands);
        commands.clear();
    }
    void ClickButton(int type) {
        for (auto& button : w.host.captionButtons) {
            if (button->ButtonType() != type) continue;
            Click(w.window, static_cast<int>(button->bounds.X) + 5,
                  static_cast<int>(button->bounds.Y) + 5);
        }
        PumpMessages();
    }
};

TEST_F(CaptionButtonClicks, MaximiseThenRestore) {
    ShowWindow(w.window, SW_SHOWNOACTIVATE);
    ClickButton(CaptionButtonMaximize);
    EXPECT_TRUE(IsZoomed(w.window));
    ClickButton(CaptionButtonMaximize);
    EXPECT_FALSE(IsZoomed(w.window));
    // A press on a caption button captures the mouse: no window move.
    for (const WindowCommand& command : commands) EXPECT_NE(WM_NCLBUTTONDOWN, command.message);
}

TEST_F(CaptionButtonClicks, MinimiseAndDisabledButtons) {
    ShowWindow(w.window, SW_SHOWNOACTIVATE);
    ClickButton(CaptionButtonMinimize);
    EXPECT_TRUE(IsIconic(w.window));
    ShowWindow(w.window, SW_RESTORE);

    for (auto& button : w.host.captionButtons) button->disabled = 1;
    // Disabled controls are not hit, so the press falls to the background;
    // even delivered directly, a disabled button posts nothing.
    Dispatch(w.host.captionButtons[0]->GetHandle(), EventActivated, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(w.window));
    EXPECT_TRUE(IsWindowVisible(w.window));
}

TEST_F(CaptionButtonClicks, CloseHidesAndDestroysTheWindow) {
    ShowWindow(w.window, SW_SHOWNOACTIVATE);
    ClickButton(CaptionButtonClose);
    EXPECT_FALSE(IsWindow(w.window));
}

}  // namespace
