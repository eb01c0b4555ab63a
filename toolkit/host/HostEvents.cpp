#include "toolkit/host/HostEvents.h"

#include <cwchar>
#include <map>

namespace {

// Dialog buttons are anchored to the bottom-right corner: one slot of this
// width per position, counted from the right edge.
constexpr int DialogButtonPitch = 75;
constexpr int DialogButtonRightMargin = 10;
constexpr int DialogButtonBottomMargin = 35;

std::map<int, int*>& DialogResults() {
    static std::map<int, int*> results;
    return results;
}

int WindowKind(HWND window) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, WindowFlagsProperty)));
}

ControlHandle FirstOfKind(ControlHandle from, int kind) {
    for (ControlHandle h = from; h; h = ControlFromHandle(h)->nextSibling) {
        if (ControlFromHandle(h)->kind == kind) return h;
    }
    return 0;
}

int TagNumber(const std::wstring& field) {
    return static_cast<int>(std::wcstol(field.c_str(), nullptr, 10));
}

}  // namespace

std::vector<std::wstring> SplitTag(const std::wstring& tag) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (size_t bar; (bar = tag.find(L'|', start)) != std::wstring::npos; start = bar + 1)
        fields.push_back(tag.substr(start, bar - start));
    fields.push_back(tag.substr(start));
    return fields;
}

LRESULT ModalHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int kind = WindowKind(window);
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && kind == ModalPopupMenu) {
            // Moving between the windows of one menu chain keeps it open.
            HWND activated = reinterpret_cast<HWND>(lParam);
            if (!activated || !GetPropW(activated, MenuRootProperty)) {
                if (HWND root = static_cast<HWND>(GetPropW(window, MenuRootProperty)))
                    PostMessageW(root, WM_CLOSE, 0, 0);
            }
        }
        break;
    case WM_KEYDOWN:
        if (kind == ModalPopupMenu) SendMessageW(window, WM_SYSCHAR, wParam, lParam);
        if (wParam == VK_ESCAPE) PostMessageW(window, WM_CLOSE, 0, 0);
        break;
    case WM_DESTROY:
        if (kind == ModalPopupMenu) {
            for (const wchar_t* name : {MenuRootProperty, MenuSubmenuProperty, MenuActiveItemProperty,
                                        MenuEventControlProperty, MenuColorProperty})
                RemovePropW(window, name);
        } else if (kind == ModalMessageBox) {
            RemovePropW(window, MessageBoxProperty);
        }
        RemovePropW(window, WindowFlagsProperty);
        break;
    default:
        break;
    }
    return -1;
}

void LayoutDialogButtons(HWND window, int width, int height) {
    for (ControlHandle h = FindControlOfKind(window, 0, KindTextControl); h;
         h = FindControlOfKind(window, h, KindTextControl)) {
        Control* button = ControlFromHandle(h);
        std::vector<std::wstring> fields = SplitTag(button->tag);
        if (fields.size() != 3) continue;
        int position = TagNumber(fields[2]);
        button->Move(width - position * DialogButtonPitch - DialogButtonRightMargin,
                     height - DialogButtonBottomMargin, std::nullopt, std::nullopt, 0);
    }
}

void DialogButtonClicked(HWND window, ControlHandle control, WPARAM, LPARAM, int kind) {
    if (kind != KindTextControl && kind != KindButton) return;
    if (!control) return;
    std::vector<std::wstring> fields = SplitTag(ControlFromHandle(control)->tag);
    if (fields.size() == 3) {
        auto found = DialogResults().find(TagNumber(fields[0]));
        if (found != DialogResults().end()) *found->second = TagNumber(fields[1]);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
}

int RegisterDialogResult(int* target) {
    static int lastSlot = 0;
    if (!target) return 0;
    int slot = ++lastSlot;
    DialogResults()[slot] = target;
    return slot;
}

void ReleaseDialogResult(int slot) { DialogResults().erase(slot); }

ControlHandle FindControlOfKind(HWND window, ControlHandle after, int kind) {
    if (after) return FirstOfKind(ControlFromHandle(after)->nextSibling, kind);
    HostWindow* host = HostFromWindow(window);
    return host ? FirstOfKind(host->firstControl, kind) : 0;
}

ControlHandle FindControlOfKind(ControlHandle parent, ControlHandle after, int kind) {
    if (after) return FirstOfKind(ControlFromHandle(after)->nextSibling, kind);
    return parent ? FirstOfKind(ControlFromHandle(parent)->firstChild, kind) : 0;
}
