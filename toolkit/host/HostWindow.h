// HostWindow: turns an ordinary top-level window into a skinned window whose
// whole client area is drawn by the toolkit.
//
// A host attaches to a window that already exists, subclasses it, and from
// then on owns the off-screen canvas into which the skin and every
// windowless control are composed, the heads of the control list, the
// focus/hover/capture state, a tooltip, the Alt-key mnemonics and the
// application's callback slots. Controls and other toolkit code find the
// host of a window through the window property "Zq_Wnd_Control", whose
// value is the host handle (the address of the object).
//
// The work is split by concern: HostAttach.cpp (attaching, teardown,
// attributes), HostMessages.cpp (window procedure and input),
// HostComposition.cpp (skin, canvas, presentation).
// Members marked "read by controls" are public because controls and the
// composition routines read them directly.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Gdip.h"
// After Gdip.h, which brings in windows.h.
#include <commctrl.h>

#include "toolkit/controls/CaptionButton.h"
#include "toolkit/controls/Control.h"
#include "toolkit/controls/Label.h"
#include "toolkit/controls/Picture.h"
#include "toolkit/controls/RedrawQueue.h"

using HostHandle = UINT_PTR;

// Application callbacks of a host. window is the attached window; kind is
// the control's kind, 0 when control is 0.
using HostPaintCallback = void (*)(HWND window, GpGraphics* canvas, int width, int height);
using HostMessageCallback = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using HostSizeCallback = void (*)(HWND window, int width, int height);
using HostControlCallback = void (*)(HWND window, ControlHandle control, WPARAM wParam,
                                     LPARAM lParam, int kind);

// Frame styles of the skin.
enum FrameStyle : int { FrameSquare = 0, FrameImage = 1, FrameRounded = 7 };

// Caption flag bits.
enum CaptionFlag : int {
    CaptionIcon = 1,
    CaptionTitle = 2,
    CaptionClose = 4,
    CaptionMaximize = 8,
    CaptionMinimize = 16,
    CaptionExtra1 = 32,
    CaptionExtra2 = 64,
    CaptionExtra3 = 128,
    CaptionExtra4 = 256,
    CaptionShadow = 512,
    CaptionAutomatic = 1024,
};

struct SizeRecord {
    int width = 0;
    int height = 0;
};

struct MnemonicRecord {
    ControlHandle control;
    UINT key;  // only the low byte is compared
};

// The options of Attach; an empty optional takes the documented default.
struct AttachOptions {
    const unsigned char* skinImageBytes = nullptr;
    size_t skinImageSize = 0;
    std::optional<COLORREF> backColor;  // default -1: derived from the image
    std::optional<int> captionFlags;    // default: automatic
    std::optional<int> windowAlpha;     // default -1: not layered
    std::optional<int> imageMode;       // default 0
    std::optional<int> frameStyle;      // default 7
    std::optional<int> auxFlag;         // default 1
    std::optional<int> resizable;       // default: from WS_THICKFRAME
    std::optional<int> draggable;       // default 1
    std::optional<int> imageEdgeFade;   // default 1
    std::optional<int> blurBehind;      // default: on Windows 6
    RECT sliceRect{0, 0, 0, 0};
    std::optional<HWND> skinSource;     // default: keep the current one
};

class HostWindow {
public:
    HostWindow() = default;
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // 1 on success; 0 when window is 0, not a window, already has a host,
    // or this host is still attached to a live window.
    int Attach(HWND window, const AttachOptions& options = AttachOptions());
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void OnDestroy(HWND window);
    // Re-registers the host's single tooltip for a control's rectangle;
    // without a text, the control's tipText is used.
    void UpdateTooltip(ControlHandle control, std::optional<std::wstring> text = std::nullopt);
    // Places the caption buttons and the title for the current size.
    void LayoutCaption();

    // Input routing (HostMessages.cpp).
    int OnSysChar(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    int SetMnemonic(ControlHandle control, UINT key);
    void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    int HandleSizingBorder(UINT message, LPARAM lParam);
    void SetFocusControl(ControlHandle control, int byKeyboard);
    // The deepest visible, enabled control at a point, or 0.
    ControlHandle HitTest(int x, int y) const;
    // Whether a handle is a control in this host's lists right now.
    bool OwnsControl(ControlHandle control) const;

    int Draggable(std::optional<int> value = std::nullopt);
    int FrameStyle(std::optional<int> value = std::nullopt);
    void SetShadowColor(COLORREF color) { shadowColor = color; }
    void SetHideAnimation(int animation) { hideAnimation = animation; }
    void SetDefaultCursor(UINT_PTR idOrHandle, bool isHandle = false);

    HostPaintCallback SetOnPaint(HostPaintCallback routine) { return onPaint = routine; }
    HostMessageCallback SetOnMessage(HostMessageCallback routine) { return onMessage = routine; }
    HostSizeCallback SetOnSize(HostSizeCallback routine) { return onSize = routine; }
    HostControlCallback SetOnMouseDown(HostControlCallback routine) { return onMouseDown = routine; }
    HostControlCallback SetOnMouseUp(HostControlCallback routine) { return onMouseUp = routine; }
    HostControlCallback SetOnClick(HostControlCallback routine) { return onClick = routine; }
    HostControlCallback SetOnDoubleClick(HostControlCallback routine) { return onDoubleClick = routine; }
    HostControlCallback SetOnRightDown(HostControlCallback routine) { return onRightDown = routine; }
    HostControlCallback SetOnRightUp(HostControlCallback routine) { return onRightUp = routine; }
    HostControlCallback SetOnMouseEnter(HostControlCallback routine) { return onMouseEnter = routine; }
    HostControlCallback SetOnMouseLeave(HostControlCallback routine) { return onMouseLeave = routine; }
    HostControlCallback SetOnGotFocus(HostControlCallback routine) { return onGotFocus = routine; }
    HostControlCallback SetOnLostFocus(HostControlCallback routine) { return onLostFocus = routine; }

    HostHandle GetHandle() const { return handle; }

    // Composition and presentation (HostComposition.cpp).
    int RedrawSkin(const unsigned char* imageBytes = nullptr, size_t imageSize = 0,
                   std::optional<COLORREF> color = std::nullopt,
                   std::optional<int> presentMode = std::nullopt, bool skipBackdropNotice = false);
    void Present(std::optional<RectF> rect = std::nullopt);
    void QueueRepaint(const RectF& rect, int mode);
    void OnSize(HWND window, WPARAM wParam, LPARAM lParam);
    LRESULT OnInvalidateMessage(WPARAM wParam, LPARAM lParam);  // HostInvalidate
    LRESULT OnMovedMessage(WPARAM wParam, LPARAM lParam);       // HostMoved
    LRESULT OnPresentMessage(WPARAM wParam, LPARAM lParam);     // HostPresent
    void OnPaintMessage();                                      // WM_PAINT
    // Fade-in timer (identifier = host handle) that RedrawSkin starts.
    static void CALLBACK FadeInTick(HWND window, UINT message, UINT_PTR id, DWORD time);

    // Members; those read by controls and composition are public by design.
    HWND window = nullptr;
    HostHandle handle = 0;
    WNDPROC previousWindowProc = nullptr;
    ControlHandle focusedControl = 0;
    ControlHandle hoveredControl = 0;
    ControlHandle capturedControl = 0;
    int captureActive = 0;
    int busy = 0;
    HDC windowDC = nullptr;
    HDC canvasDC = nullptr;
    HBITMAP canvasBitmap = nullptr;
    HGDIOBJ canvasOldBitmap = nullptr;
    GpGraphics* canvasGraphics = nullptr;  // owned, released with the canvas
    HDC backdropDC = nullptr;
    HWND skinSource = nullptr;
    HBITMAP backdropBitmap = nullptr;
    HGDIOBJ backdropOldBitmap = nullptr;
    GpImage* skinImage = nullptr;  // owned unless skinSource lends it
    COLORREF backColor = 0;
    ControlHandle firstControl = 0;
    ControlHandle lastControl = 0;
    int captionFlags = 0;
    HWND tooltipWindow = nullptr;
    int frameStyle = FrameRounded;
    int windowAlpha = -1;
    int imageMode = 0;
    COLORREF shadowColor = 0;
    int resizable = 0;
    int draggable = 1;
    int imageEdgeFade = 1;
    int hideAnimation = 0;
    SizeRecord size;
    GpRegion* clipRegion = nullptr;  // owned
    ControlHandle focusCueControl = 0;
    int blurBehind = 0;
    int auxFlag = 1;
    HCURSOR cursor = nullptr;
    RECT sliceRect{0, 0, 0, 0};
    HDC fadeDC = nullptr;
    HBITMAP fadeBitmap = nullptr;
    HGDIOBJ fadeOldBitmap = nullptr;
    int fadeAlpha = 0;
    int leaveTracking = 0;
    std::vector<MnemonicRecord> mnemonics;
    std::vector<std::unique_ptr<CaptionButton>> captionButtons;  // rightmost first
    Picture iconPicture;
    Label titleLabel;
    RedrawQueue redrawQueue;
    TTTOOLINFOW toolInfo{};  // the single tool of tooltipWindow
    std::wstring toolText;   // backs toolInfo.lpszText

    HostPaintCallback onPaint = nullptr;
    HostMessageCallback onMessage = nullptr;
    HostControlCallback onMouseDown = nullptr;
    HostControlCallback onMouseUp = nullptr;
    HostControlCallback onClick = nullptr;
    HostControlCallback onDoubleClick = nullptr;
    HostControlCallback onRightDown = nullptr;
    HostControlCallback onRightUp = nullptr;
    HostControlCallback onMouseEnter = nullptr;
    HostControlCallback onMouseLeave = nullptr;
    HostControlCallback onGotFocus = nullptr;
    HostControlCallback onLostFocus = nullptr;
    HostSizeCallback onSize = nullptr;

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void BuildCanvas();
    void ReleaseCanvas();
    void CreateCaptionControls();
    void CreateTooltip();
    void RemoveTooltip();
    // The application callback of a slot, with the control's kind.
    void Notify(HostControlCallback slot, ControlHandle control, WPARAM wParam, LPARAM lParam);
    void ToggleMaximize();
    int SizingZone(int x, int y) const;
};

// The window property that ties a window to its host.
constexpr const wchar_t* HostProperty = L"Zq_Wnd_Control";

// The host attached to a window, or nullptr.
HostWindow* HostFromWindow(HWND window);

// Blur-behind of the system under a layered window, in the round rectangle
// (left, top) - (right, bottom) with the given corner ellipse. Only on
// Windows 6, for frame styles other than the image frame, and for a real
// alpha (alphaMarker -1 means not layered); true when the system's
// composition is on. Harmless where there is no desktop composition.
bool EnableBlurBehind(HWND window, int left, int top, int right, int bottom, int corner,
                      int frameStyle, int alphaMarker);
