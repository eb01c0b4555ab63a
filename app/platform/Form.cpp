#include "app/platform/Form.h"

namespace {

constexpr const wchar_t* FormClass = L"FontivaForm";
constexpr const wchar_t* FormProperty = L"Fontiva_Form";
// Posted after the first WM_ACTIVATE, so that its handler does not run
// inside activation processing.
constexpr UINT FirstActivatedMessage = WM_APP + 1;

int liveForms = 0;

void RegisterFormClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = FormClass;
    registered = RegisterClassExW(&windowClass) != 0;
}

}  // namespace

Form::Form(std::wstring formTitle, int left, int top, int formWidth, int formHeight)
    : title(std::move(formTitle)), x(left), y(top), width(formWidth), height(formHeight) {}

Form::~Form() = default;

void Form::AddTimer(UINT id, UINT period, Handler onTick) { timers.push_back({id, period, onTick}); }

void Form::StartTimer(const Timer& timer) {
    if (!window) return;
    if (timer.period) SetTimer(window, timer.id, timer.period, nullptr);
    else KillTimer(window, timer.id);
}

void Form::SetTimerPeriod(UINT id, UINT period) {
    for (Timer& timer : timers) {
        if (timer.id != id) continue;
        timer.period = period;
        StartTimer(timer);
    }
}

UINT Form::TimerPeriod(UINT id) const {
    for (const Timer& timer : timers)
        if (timer.id == id) return timer.period;
    return 0;
}

HWND Form::Load(HWND owner) {
    if (window) return window;
    RegisterFormClass();
    activatedOnce = false;
    HWND created = CreateWindowExW(0, FormClass, title.c_str(),
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                       WS_CLIPCHILDREN,
                                   x, y, width, height, owner, nullptr, GetModuleHandleW(nullptr),
                                   nullptr);
    if (!created) return nullptr;
    window = created;
    ++liveForms;
    SetPropW(window, FormProperty, this);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormProc));
    if (bigIcon) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    if (smallIcon) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    for (const Timer& timer : timers) StartTimer(timer);

    if (onCreated) onCreated();
    if (window) ShowWindow(window, SW_SHOW);
    return window;
}

void Form::ShowModal(HWND owner) {
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (!Load(owner)) return;
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    MSG message;
    while (window) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Hand the quit request on to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
}

void Form::Destroy() {
    if (window) DestroyWindow(window);
}

LRESULT CALLBACK Form::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = static_cast<Form*>(GetPropW(hwnd, FormProperty));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window;
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !activatedOnce) {
            activatedOnce = true;
            PostMessageW(hwnd, FirstActivatedMessage, 0, 0);
        }
        break;
    case FirstActivatedMessage:
        if (onFirstActivated) onFirstActivated();
        return 0;
    case WM_TIMER:
        for (const Timer& timer : timers) {
            if (timer.id == wParam && timer.period) {
                if (timer.onTick) timer.onTick();
                return 0;
            }
        }
        break;
    case WM_NCDESTROY:
        RemovePropW(hwnd, FormProperty);
        window = nullptr;
        if (--liveForms == 0) PostQuitMessage(0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
