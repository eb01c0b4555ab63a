// Form: the small window facility the application's three windows are made
// with. A form is described by its title, position, size and design-time
// timers; Load creates its window, runs the created handler synchronously
// (before the window is shown, so the handler can attach a skin host and
// build every control), then shows it. The first activation of the window
// is delivered once, posted, so its handler may run a modal loop of its
// own. ShowModal runs a form as a modal dialog. The process's message loop
// ends when the last form window is destroyed.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

class Form {
public:
    using Handler = void (*)();

    Form(std::wstring title, int x, int y, int width, int height);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void SetOnCreated(Handler handler) { onCreated = handler; }
    void SetOnFirstActivated(Handler handler) { onFirstActivated = handler; }
    void SetIcon(HICON big, HICON small) { bigIcon = big, smallIcon = small; }
    // A design-time timer; period 0 means stopped.
    void AddTimer(UINT id, UINT period, Handler onTick);
    void SetTimerPeriod(UINT id, UINT period);
    UINT TimerPeriod(UINT id) const;

    // Creates, builds and shows the window; returns it (0 on failure).
    HWND Load(HWND owner = nullptr);
    // Loads the form as a modal dialog: owner (if any) is disabled and
    // the call returns when the window has been destroyed.
    void ShowModal(HWND owner = nullptr);
    void Destroy();
    HWND Window() const { return window; }

private:
    struct Timer {
        UINT id;
        UINT period;
        Handler onTick;
    };

    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void StartTimer(const Timer& timer);

    std::wstring title;
    int x, y, width, height;
    Handler onCreated = nullptr;
    Handler onFirstActivated = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::vector<Timer> timers;
    HWND window = nullptr;
    bool activatedOnce = false;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();
