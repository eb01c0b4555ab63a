// Event routing between hosts and the application beyond the per-host
// callback slots: the modal window hook of the toolkit's own popup windows
// (message box, popup menu), the window properties that hook relies on,
// and the message-box routines that lay out and answer dialog buttons
// through the buttons' tags ("result slot|value|position").
//
// Controls are reached through typed pointers, so there is no borrowing of
// a control by a scratch object of its class: a handle is cast to the
// class it is known to be.
#pragma once

#include <string>

#include "toolkit/host/HostWindow.h"

// Window properties of the toolkit's popup windows.
constexpr const wchar_t* WindowFlagsProperty = L"Zq_Wnd_Flags";
constexpr const wchar_t* MenuRootProperty = L"Zq_DirectUI_Host";
constexpr const wchar_t* MenuSubmenuProperty = L"Zq_DirectUI_Sub";
constexpr const wchar_t* MenuActiveItemProperty = L"Zq_DirectUI_Act";
constexpr const wchar_t* MenuEventControlProperty = L"Zq_DirectUI_Event";
constexpr const wchar_t* MenuColorProperty = L"Zq_DirectUI_pWnd";
constexpr const wchar_t* MessageBoxProperty = L"Zq_DirectUI_MsgBox";

// Values of "Zq_Wnd_Flags": what kind of popup window the hook serves.
enum ModalWindowKind : int { ModalPopupMenu = 1, ModalMessageBox = 3 };

// The onMessage hook of message boxes and popup menus; always -1. Esc
// closes the window, letters in a menu act as its mnemonics without Alt,
// activating a window outside the menu chain closes the root menu, and
// WM_DESTROY removes the window's dialog properties.
LRESULT ModalHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The onSize routine of message boxes: moves every top-level text control
// whose tag has three fields to x = width - position * 75 - 10,
// y = height - 35, keeping its size.
void LayoutDialogButtons(HWND window, int width, int height);

// The onClick routine of message boxes: for a text control or button with
// a three-field tag, stores the value into the result slot named by the
// first field; then closes the window.
void DialogButtonClicked(HWND window, ControlHandle control, WPARAM wParam, LPARAM lParam,
                         int kind);

// Result slots named by number in button tags: a message box registers its
// result variable before showing its buttons and releases the slot when it
// ends. Tags never carry addresses, so a tag cannot write anywhere else.
int RegisterDialogResult(int* target);
void ReleaseDialogResult(int slot);

// The next control of a kind after `after` (from the first when 0): in the
// top-level list of a window's host, or in a control's child list.
ControlHandle FindControlOfKind(HWND window, ControlHandle after, int kind);
ControlHandle FindControlOfKind(ControlHandle parent, ControlHandle after, int kind);

// A tag split at "|".
std::vector<std::wstring> SplitTag(const std::wstring& tag);
