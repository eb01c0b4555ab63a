// Attaching a host to a window, the teardown on WM_DESTROY, and the plain
// attribute methods.
#include "toolkit/host/HostWindow.h"

#include "toolkit/host/Toolkit.h"

namespace {

// Changes style bits, writing the style back only when it really changes.
void UpdateStyle(HWND window, int index, LONG_PTR add, LONG_PTR remove) {
    LONG_PTR style = GetWindowLongPtrW(window, index);
    LONG_PTR changed = (style | add) & ~remove;
    if (changed != style) SetWindowLongPtrW(window, index, changed);
}

}  // namespace

HostWindow* HostFromWindow(HWND window) {
    if (!window) return nullptr;
    return reinterpret_cast<HostWindow*>(GetPropW(window, HostProperty));
}

HostWindow::~HostWindow() = default;

int HostWindow::Attach(HWND target, const AttachOptions& options) {
    if (!target || !IsWindow(target) || target == window) return 0;

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
    int flags = options.captionFlags.value_or(CaptionAutomatic);
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

    if (windowAlpha != -1) UpdateStyle(window, GWL_EXSTYLE, WS_EX_LAYERED, 0);

    previousWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));

    if (resizable == 1) UpdateStyle(window, GWL_STYLE, WS_THICKFRAME, 0);
    return 1;
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
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));

    for (ControlHandle h = firstControl; h;) {
        ControlHandle next = ControlFromHandle(h)->nextSibling;
        ControlFromHandle(h)->Destroy();
        h = next;
    }

    if (clipRegion) GdipDeleteRegion(clipRegion);
    clipRegion = nullptr;
    if (!skinSource && skinImage) GdipDisposeImage(skinImage);
    skinImage = nullptr;

    if (tooltipWindow) DestroyWindow(tooltipWindow);
    tooltipWindow = nullptr;
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
