// Attaching a host to a window, the teardown on WM_DESTROY, and the plain
// attribute methods.
#include "toolkit/host/HostWindow.h"

#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/Toolkit.h"

namespace {

// Changes style bits, writing the style back only when it really changes.
void UpdateStyle(HWND window, int index, LONG_PTR add, LONG_PTR remove) {
    LONG_PTR style = GetWindowLongPtrW(window, index);
    LONG_PTR changed = (style | add) & ~remove;
    if (changed != style) SetWindowLongPtrW(window, index, changed);
}

// The tooltip class lives in comctl32, which registers it on request.
// The library is loaded by name from the system folder (the program has
// restricted the search by then) and asked through its export: MinGW's
// linker leaves the import slot of a delay-loaded dllimport function empty.
void EnsureTooltipClass() {
    static const bool registered = [] {
        using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        HMODULE library = LoadLibraryW(L"comctl32.dll");
        auto init = library ? reinterpret_cast<InitProc>(reinterpret_cast<void*>(
                                  GetProcAddress(library, "InitCommonControlsEx")))
                            : nullptr;
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        return init && init(&controls) != FALSE;
    }();
    (void)registered;
}

// Blocks that controls posted to a window die with its queue; a teardown
// takes them out first so that nothing allocated for the host is lost.
void DiscardPostedBlocks(HWND window) {
    MSG message;
    while (PeekMessageW(&message, window, HostInvalidate, HostDeliverEvent, PM_REMOVE)) {
        if (message.message == HostInvalidate && message.wParam == 1)
            delete reinterpret_cast<RectF*>(message.lParam);
        else if (message.message == HostDeliverEvent)
            delete reinterpret_cast<QueuedEvent*>(message.lParam);
    }
}

// Caption buttons, in the order they are placed from the right edge.
constexpr int CaptionButtonBits[] = {CaptionClose,  CaptionMaximize, CaptionMinimize,
                                     CaptionExtra1, CaptionExtra2,   CaptionExtra3,
                                     CaptionExtra4};
constexpr int CloseButtonWidth = 39;
constexpr int CaptionButtonWidth = 28;
constexpr int CaptionButtonHeight = 19;
constexpr int CaptionButtonTop = 7;

}  // namespace

HostWindow* HostFromWindow(HWND window) {
    if (!window) return nullptr;
    return reinterpret_cast<HostWindow*>(GetPropW(window, HostProperty));
}

HostWindow::~HostWindow() {
    // A host that goes away before its window gives the window back, so
    // that no later message reaches a freed object.
    if (!previousWindowProc || !IsWindow(window)) return;
    RemoveTooltip();
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
    RemovePropW(window, HostProperty);
    ReleaseCanvas();
    if (windowDC) ReleaseDC(window, windowDC);
}

int HostWindow::Attach(HWND target, const AttachOptions& options) {
    if (!target || !IsWindow(target) || target == window) return 0;
    // One host per window and one window per host: a second host on the
    // same window would hand every message back to itself, and a host
    // moved to another window would leave the first one pointing at it.
    if (HostFromWindow(target)) return 0;
    if (previousWindowProc && IsWindow(window)) return 0;

    window = target;
    windowAlpha = options.windowAlpha.value_or(-1);
    imageMode = options.imageMode.value_or(0);
    imageEdgeFade = options.imageEdgeFade.value_or(1);
    frameStyle = options.frameStyle.value_or(FrameRounded);
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    resizable = options.resizable.value_or((style & WS_THICKFRAME) ? 1 : 0);
    int draggableValue = options.draggable.value_or(1);
    blurBehind = options.blurBehind.value_or(osMajorVersion == 6 ? 1 : 0);
    if (options.blurBehind && windowAlpha == -1) blurBehind = 0;
    auxFlag = options.auxFlag.value_or(1);
    sliceRect = options.sliceRect;
    if (options.skinSource) skinSource = *options.skinSource;

    // Caption elements: automatic adds icon, title and close, plus the
    // boxes the window's style allows.
    int flags = options.captionFlags.value_or(0);
    if (!options.captionFlags || flags != 0) UpdateStyle(window, GWL_STYLE, WS_SYSMENU, 0);
    if (!options.captionFlags || (flags & CaptionAutomatic)) {
        flags |= CaptionIcon | CaptionTitle | CaptionClose;
        style = GetWindowLongPtrW(window, GWL_STYLE);
        if (style & WS_MAXIMIZEBOX) flags |= CaptionMaximize;
        if (style & WS_MINIMIZEBOX) flags |= CaptionMinimize;
    }
    flags |= CaptionShadow;
    captionFlags = flags;
    UpdateStyle(window, GWL_STYLE, WS_POPUP, 0);

    handle = reinterpret_cast<HostHandle>(this);
    SetPropW(window, HostProperty, reinterpret_cast<HANDLE>(handle));
    cursor = arrowCursor;

    UpdateStyle(window, GWL_STYLE, 0, WS_THICKFRAME | WS_DLGFRAME | WS_BORDER);
    style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(captionFlags & CaptionMinimize) && (style & WS_MINIMIZEBOX))
        UpdateStyle(window, GWL_STYLE, 0, WS_MINIMIZEBOX);
    if (!(captionFlags & CaptionMaximize) && (style & WS_MAXIMIZEBOX))
        UpdateStyle(window, GWL_STYLE, 0, WS_MAXIMIZEBOX);

    Draggable(draggableValue);

    RECT rect{};
    GetWindowRect(window, &rect);
    size.width = rect.right - rect.left;
    size.height = rect.bottom - rect.top;
    windowDC = GetDC(window);
    BuildCanvas();
    GrowScratchSurface(size.width, size.height);

    if (windowAlpha != -1) UpdateStyle(window, GWL_EXSTYLE, WS_EX_LAYERED, 0);
    redrawQueue.Init(window, handle, canvasGraphics);

    previousWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));

    // The message box reads auxFlag from its owner; it is 0 while the
    // caption controls are made.
    int keptAuxFlag = auxFlag;
    auxFlag = 0;
    busy = 1;
    if (captionFlags) CreateCaptionControls();
    busy = 0;

    RedrawSkin(options.skinImageBytes, options.skinImageSize, options.backColor, -1, false);
    if (windowAlpha != -1) Present();
    auxFlag = keptAuxFlag;
    CreateTooltip();
    if (resizable == 1) UpdateStyle(window, GWL_STYLE, WS_THICKFRAME, 0);
    // Style changes alone keep the old frame: make the system ask for the
    // client area again, which now covers the whole window, so that mouse
    // coordinates and the canvas agree.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return 1;
}

void HostWindow::CreateCaptionControls() {
    UINT_PTR parent = reinterpret_cast<UINT_PTR>(window);
    if (captionFlags & CaptionIcon) {
        auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
        iconPicture.CreateFromIcon(parent, 11, 11, 16, 16, icon);
        // A press on the icon moves the window like the caption does.
        iconPicture.Focusable(0);
    }
    if (captionFlags & CaptionTitle) {
        wchar_t buffer[512] = {};
        GetWindowTextW(window, buffer, 512);
        std::wstring title = buffer;
        titleLabel.Create(parent, 0, 9, 0, 18, WideToAnsi(title), ToArgb(0xFFFFFF, 250), -1, 0,
                          0, false, true, std::nullopt, std::nullopt, std::nullopt,
                          StringAlignmentNear, StringTrimmingEllipsisCharacter, 3);
        // Characters the ANSI code page lacks come back through the wide text.
        titleLabel.TextW(title);
    }
    // Provisional places; LayoutCaption gives the final ones.
    captionButtons.clear();
    int x = size.width - 12;
    for (int bit : CaptionButtonBits) {
        if (!(captionFlags & bit)) continue;
        int width = bit == CaptionClose ? CloseButtonWidth : CaptionButtonWidth;
        x -= width;
        auto button = std::make_unique<CaptionButton>();
        button->Create(parent, x, CaptionButtonTop, width, CaptionButtonHeight, bit);
        captionButtons.push_back(std::move(button));
    }
}

void HostWindow::LayoutCaption() {
    if (!captionFlags) return;
    // The close button is 11 pixels wider than the others; its extra width
    // is taken off the start, so every step is one ordinary button.
    int x = size.width - 5;
    if (captionFlags & CaptionClose) x -= 12;
    for (auto& button : captionButtons) {
        x -= CaptionButtonWidth;
        button->Move(x, CaptionButtonTop, std::nullopt, std::nullopt, 0);
    }
    if ((captionFlags & CaptionTitle) && titleLabel.GetHandle()) {
        int left = (captionFlags & CaptionIcon) ? 28 : 11;
        titleLabel.Move(left, 10, x - left, 20, 0);
    }
}

void HostWindow::CreateTooltip() {
    EnsureTooltipClass();
    tooltipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (tooltipWindow) {
        SetWindowPos(tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    toolInfo = TTTOOLINFOW{};
    toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    toolInfo.uFlags = TTF_SUBCLASS;
    toolInfo.hwnd = window;
    toolText.clear();
    if (tooltipWindow) SendMessageW(tooltipWindow, TTM_SETMAXTIPWIDTH, 0, 1024);
}

void HostWindow::RemoveTooltip() {
    if (!tooltipWindow) return;
    SendMessageW(tooltipWindow, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo));
    DestroyWindow(tooltipWindow);
    tooltipWindow = nullptr;
}

void HostWindow::BuildCanvas() {
    ReleaseCanvas();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = size.height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    canvasDC = CreateCompatibleDC(nullptr);
    canvasBitmap = CreateDIBSection(canvasDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (canvasBitmap) canvasOldBitmap = SelectObject(canvasDC, canvasBitmap);
    GdipCreateFromHDC(canvasDC, &canvasGraphics);
    if (canvasGraphics) {
        GdipSetSmoothingMode(canvasGraphics, SmoothingModeAntiAlias);
        GdipSetTextRenderingHint(canvasGraphics, TextRenderingHintAntiAliasGridFit);
    }

    backdropDC = CreateCompatibleDC(windowDC);
    backdropBitmap = CreateDIBSection(backdropDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (backdropBitmap) backdropOldBitmap = SelectObject(backdropDC, backdropBitmap);
}

void HostWindow::ReleaseCanvas() {
    if (canvasGraphics) GdipDeleteGraphics(canvasGraphics);
    canvasGraphics = nullptr;
    if (canvasDC && canvasOldBitmap) SelectObject(canvasDC, canvasOldBitmap);
    if (canvasBitmap) DeleteObject(canvasBitmap);
    if (canvasDC) DeleteDC(canvasDC);
    canvasDC = nullptr;
    canvasBitmap = nullptr;
    canvasOldBitmap = nullptr;

    if (backdropDC && backdropOldBitmap) SelectObject(backdropDC, backdropOldBitmap);
    if (backdropBitmap) DeleteObject(backdropBitmap);
    if (backdropDC) DeleteDC(backdropDC);
    backdropDC = nullptr;
    backdropBitmap = nullptr;
    backdropOldBitmap = nullptr;
}

void HostWindow::OnDestroy(HWND) {
    if (!previousWindowProc) return;
    busy = 1;
    // The tooltip goes first: its subclass of the window, when removed,
    // puts back the procedure it found, which is ours.
    RemoveTooltip();
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
    redrawQueue.Clear();

    for (ControlHandle h = firstControl; h;) {
        ControlHandle next = ControlFromHandle(h)->nextSibling;
        ControlFromHandle(h)->Destroy();
        h = next;
    }
    DiscardPostedBlocks(window);

    if (clipRegion) GdipDeleteRegion(clipRegion);
    clipRegion = nullptr;
    if (!skinSource && skinImage) GdipDisposeImage(skinImage);
    skinImage = nullptr;

    if (captureActive || leaveTracking) {
        captureActive = 0;
        leaveTracking = 0;
        ReleaseCapture();
    }
    capturedControl = focusedControl = hoveredControl = focusCueControl = 0;
    lastControl = firstControl = 0;
    captionFlags = 0;

    ReleaseCanvas();
    if (windowDC) ReleaseDC(window, windowDC);
    windowDC = nullptr;
    mnemonics.clear();
    captionButtons.clear();

    RemovePropW(window, HostProperty);
    previousWindowProc = nullptr;
    window = nullptr;
    handle = 0;
    busy = 0;
}

int HostWindow::Draggable(std::optional<int> value) {
    if (value) draggable = *value;
    return draggable;
}

int HostWindow::FrameStyle(std::optional<int> value) {
    if (value) frameStyle = *value;
    return frameStyle;
}

void HostWindow::SetDefaultCursor(UINT_PTR idOrHandle, bool isHandle) {
    cursor = isHandle ? reinterpret_cast<HCURSOR>(idOrHandle)
                      : LoadCursorW(nullptr, MAKEINTRESOURCEW(idOrHandle));
}
