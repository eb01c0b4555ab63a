// The dialog machinery on real hosts: the modal hook of message boxes and
// menus, dialog button layout and results, and finding controls by kind.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "toolkit/host/HostEvents.h"

namespace {

AttachOptions Bare() {
    AttachOptions options;
    options.captionFlags = 0;
    return options;
}

void SetKind(HWND window, int kind) {
    SetPropW(window, WindowFlagsProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(kind)));
}

TEST(ModalHook, EscapeClosesAnyHookedWindow) {
    for (int kind : {0, int{ModalPopupMenu}, int{ModalMessageBox}}) {
        SCOPED_TRACE(kind);
        TestWindow w(200, 100, WS_OVERLAPPED, Bare());
        SetKind(w.window, kind);
        w.host.SetOnMessage(ModalHook);
        SendMessageW(w.window, WM_KEYDOWN, 'X', 0);
        PumpMessages();
        EXPECT_TRUE(IsWindow(w.window));
        SendMessageW(w.window, WM_KEYDOWN, VK_ESCAPE, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(w.window));
    }
}

TEST(ModalHook, MenuLettersWorkWithoutAlt) {
    TestWindow menu(200, 100, WS_OVERLAPPED, Bare());
    SetKind(menu.window, ModalPopupMenu);
    menu.host.SetOnMessage(ModalHook);
    LogAllCallbacks(menu.host);
    LoggingControl item;
    item.Make(menu.window, "Item", 0, 0, 100, 20);
    SendMessageW(menu.window, HostRegisterMnemonic, item.GetHandle(), 'C');
    journal.clear();
    SendMessageW(menu.window, WM_KEYDOWN, 'C', 0);
    EXPECT_EQ((std::vector<std::string>{"Item 0x2804", "onClick Item 3"}), journal);

    // A message box does not take letters for mnemonics.
    TestWindow box(200, 100, WS_OVERLAPPED, Bare());
    SetKind(box.window, ModalMessageBox);
    box.host.SetOnMessage(ModalHook);
    box.host.SetOnClick(menu.host.onClick);
    LoggingControl button;
    button.Make(box.window, "Button", 0, 0, 100, 20);
    SendMessageW(box.window, HostRegisterMnemonic, button.GetHandle(), 'C');
    journal.clear();
    SendMessageW(box.window, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(journal.empty());
}

TEST(ModalHook, ActivationOutsideTheMenuChainClosesTheRoot) {
    TestWindow root(200, 100, WS_OVERLAPPED, Bare());
    TestWindow sub(200, 100, WS_OVERLAPPED, Bare());
    TestWindow elsewhere(200, 100, WS_OVERLAPPED, Bare());
    for (TestWindow* w : {&root, &sub}) {
        SetKind(w->window, ModalPopupMenu);
        SetPropW(w->window, MenuRootProperty, root.window);
        w->host.SetOnMessage(ModalHook);
    }
    // The submenu loses the activation to the root: the chain stays open.
    SendMessageW(sub.window, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(root.window));
    PumpMessages();
    EXPECT_TRUE(IsWindow(root.window));
    // Then to a window of no menu: the root menu closes.
    SendMessageW(sub.window, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(elsewhere.window));
    PumpMessages();
    EXPECT_FALSE(IsWindow(root.window));
    EXPECT_TRUE(IsWindow(sub.window));
}

TEST(ModalHook, DestroyRemovesTheDialogProperties) {
    const wchar_t* menuProperties[] = {MenuRootProperty, MenuSubmenuProperty,
                                       MenuActiveItemProperty, MenuEventControlProperty,
                                       MenuColorProperty};
    struct Seen {
        int left = -1;
    };
    static Seen seen;
    // Looks at the window's properties after the hook and the teardown ran.
    struct Observer {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_NCDESTROY) {
                int count = 0;
                for (const wchar_t* name :
                     {WindowFlagsProperty, MenuRootProperty, MenuSubmenuProperty,
                      MenuActiveItemProperty, MenuEventControlProperty, MenuColorProperty,
                      MessageBoxProperty})
                    count += GetPropW(window, name) ? 1 : 0;
                seen.left = count;
            }
            return DefWindowProcW(window, message, wParam, lParam);
        }
    };
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Observer::Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HostTestDialog";
    RegisterClassW(&windowClass);

    for (int kind : {ModalPopupMenu, ModalMessageBox}) {
        SCOPED_TRACE(kind);
        HWND window = CreateWindowExW(0, L"HostTestDialog", L"", WS_OVERLAPPED, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        HostWindow host;
        ASSERT_EQ(1, host.Attach(window, Bare()));
        host.SetOnMessage(ModalHook);
        SetKind(window, kind);
        if (kind == ModalPopupMenu) {
            for (const wchar_t* name : menuProperties) SetPropW(window, name, window);
        } else {
            SetPropW(window, MessageBoxProperty, window);
        }
        seen.left = -1;
        DestroyWindow(window);
        EXPECT_EQ(0, seen.left);
    }
}

TEST(DialogButtons, LayoutAnchorsTaggedTextControlsToTheBottomRight) {
    TestWindow w(300, 120, WS_OVERLAPPED, Bare());
    LoggingControl first, second, untagged, other;
    first.Make(w.window, "1", 0, 0, 70, 25, KindTextControl);
    first.Tag(L"1|5|1");
    second.Make(w.window, "2", 0, 0, 70, 25, KindTextControl);
    second.Tag(L"1|6|2");
    untagged.Make(w.window, "3", 3, 4, 70, 25, KindTextControl);
    untagged.Tag(L"1|6");
    other.Make(w.window, "4", 5, 6, 70, 25, KindLabel);
    other.Tag(L"1|6|1");

    LayoutDialogButtons(w.window, 300, 120);
    EXPECT_EQ(215.0f, first.bounds.X);
    EXPECT_EQ(85.0f, first.bounds.Y);
    EXPECT_EQ(70.0f, first.bounds.Width);
    EXPECT_EQ(140.0f, second.bounds.X);
    EXPECT_EQ(85.0f, second.bounds.Y);
    EXPECT_EQ(3.0f, untagged.bounds.X);
    EXPECT_EQ(5.0f, other.bounds.X);
}

struct ClickCase {
    const char* name;
    int kind;
    const wchar_t* tag;  // %d stands for the registered slot
    bool stores;
    bool closes;
};

class DialogClick : public testing::TestWithParam<ClickCase> {};

TEST_P(DialogClick, StoresTheResultAndCloses) {
    const ClickCase& c = GetParam();
    TestWindow w(300, 120, WS_OVERLAPPED, Bare());
    int result = -1;
    int slot = RegisterDialogResult(&result);
    LoggingControl button;
    button.Make(w.window, "B", 0, 0, 70, 25, c.kind);
    wchar_t tag[64];
    swprintf(tag, 64, c.tag, slot);
    button.Tag(tag);

    DialogButtonClicked(w.window, button.GetHandle(), 0, 0, c.kind);
    PumpMessages();
    EXPECT_EQ(c.stores ? 5 : -1, result);
    EXPECT_EQ(c.closes, !IsWindow(w.window));
    ReleaseDialogResult(slot);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogClick,
    testing::Values(ClickCase{"TextControl", KindTextControl, L"%d|5|1", true, true},
                    ClickCase{"Button", KindButton, L"%d|5|2", true, true},
                    ClickCase{"TwoFields", KindButton, L"%d|5", false, true},
                    // A slot nobody registered: nothing is written anywhere.
                    ClickCase{"UnknownSlot", KindButton, L"99999%d|5|1", false, true},
                    ClickCase{"OtherKind", KindLabel, L"%d|5|1", false, false}),
    [](const testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

TEST(FindControlOfKind, WalksTopLevelOrChildLists) {
    TestWindow w(300, 120, WS_OVERLAPPED, Bare());
    LoggingControl a, b, c, child1, child2;
    ControlHandle ha = a.Make(w.window, "a", 0, 0, 10, 10, KindTextControl);
    b.Make(w.window, "b", 0, 0, 10, 10, KindLabel);
    ControlHandle hc = c.Make(w.window, "c", 0, 0, 10, 10, KindTextControl);
    ControlHandle h1 = child1.Create(ha, RectF(0, 0, 5, 5), KindButton, 1);
    ControlHandle h2 = child2.Create(ha, RectF(0, 0, 5, 5), KindButton, 1);

    EXPECT_EQ(ha, FindControlOfKind(w.window, 0, KindTextControl));
    EXPECT_EQ(hc, FindControlOfKind(w.window, ha, KindTextControl));
    EXPECT_EQ(0u, FindControlOfKind(w.window, hc, KindTextControl));
    EXPECT_EQ(0u, FindControlOfKind(w.window, 0, KindButton));  // children are not top level
    EXPECT_EQ(h1, FindControlOfKind(ha, 0, KindButton));
    EXPECT_EQ(h2, FindControlOfKind(ha, h1, KindButton));
    EXPECT_EQ(0u, FindControlOfKind(static_cast<HWND>(nullptr), 0, KindButton));
}

TEST(DialogTags, SplitAtBars) {
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"3"}), SplitTag(L"1|2|3"));
    EXPECT_EQ((std::vector<std::wstring>{L""}), SplitTag(L""));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L""}), SplitTag(L"a||"));
}

}  // namespace
