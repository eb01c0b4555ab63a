// The form layer the application's windows are made with: created before
// shown, first activation once and posted, design-time timers, modal
// loading, and the end of the message loop with the last form.
#include <gtest/gtest.h>

#include <vector>

#include "app/platform/Form.h"
#include "support/TestWindow.h"

namespace {

std::vector<std::string> happened;
Form* current = nullptr;

void RecordCreated() {
    happened.push_back(IsWindowVisible(current->Window()) ? "created-visible" : "created-hidden");
}
void RecordActivated() { happened.push_back("activated"); }
void RecordTick() {
    happened.push_back("tick");
    current->SetTimerPeriod(7, 0);
}
void DestroyCurrent() { current->Destroy(); }

class FormTest : public testing::Test {
protected:
    void SetUp() override { happened.clear(); }
};

TEST_F(FormTest, CreatedRunsBeforeShowingAndFirstActivationOnce) {
    Form form(L"窗体", 50, 50, 200, 120);
    current = &form;
    form.SetOnCreated(RecordCreated);
    form.SetOnFirstActivated(RecordActivated);
    HWND window = form.Load();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ((std::vector<std::string>{"created-hidden"}), happened);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_EQ(200, rect.right - rect.left);
    EXPECT_EQ(120, rect.bottom - rect.top);
    wchar_t title[32];
    GetWindowTextW(window, title, 32);
    EXPECT_STREQ(L"窗体", title);

    SetForegroundWindow(window);
    PumpFor(100);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    PumpFor(50);
    EXPECT_EQ((std::vector<std::string>{"created-hidden", "activated"}), happened);

    form.Destroy();
    EXPECT_EQ(nullptr, form.Window());
    // The last form is gone: the message loop is asked to end.
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(FormTest, TimersTickWhileTheirPeriodIsSet) {
    Form form(L"计时", 0, 0, 100, 100);
    current = &form;
    form.AddTimer(7, 30, RecordTick);
    form.AddTimer(8, 0, RecordTick);  // stopped at design
    form.Load();
    PumpFor(250);
    EXPECT_EQ((std::vector<std::string>{"tick"}), happened);  // the tick stops it
    EXPECT_EQ(0u, form.TimerPeriod(7));
    form.Destroy();
    PumpMessages();
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(FormTest, ShowModalDisablesTheOwnerUntilTheFormIsDestroyed) {
    Form owner(L"主", 0, 0, 100, 100);
    owner.Load();
    Form dialog(L"对话", 10, 10, 80, 60);
    current = &dialog;
    // The dialog's created handler schedules its own end.
    dialog.SetOnCreated([] { SetTimer(current->Window(), 99, 50, nullptr); });
    dialog.AddTimer(99, 50, DestroyCurrent);
    dialog.ShowModal(owner.Window());
    EXPECT_EQ(nullptr, dialog.Window());
    EXPECT_TRUE(IsWindowEnabled(owner.Window()));
    owner.Destroy();
    PumpMessages();
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace
