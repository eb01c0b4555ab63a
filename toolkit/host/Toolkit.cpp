#include "toolkit/host/Toolkit.h"

#include "ToolkitAssets.h"
#include "toolkit/GdipHandles.h"
#include "toolkit/controls/Images.h"
#include "toolkit/controls/PopupMenu.h"

ULONG_PTR gdiplusToken = 0;
int osMajorVersion = 0;
GpFont* defaultFont = nullptr;
HCURSOR arrowCursor = nullptr;
HICON classIcon = nullptr;
GpImage* captionSprite = nullptr;
PopupMenu editMenu;

namespace {

// The ANSI metrics structure as Windows XP laid it out: 340 bytes, which
// every later Windows accepts.
constexpr UINT NonClientMetricsSize = 340;

const std::string& SongTi() {
    static const std::string name = WideToAnsi(L"宋体");
    return name;
}

// The major version of the running Windows, as the kernel reports it
// (not subject to the compatibility answers of GetVersionEx).
int RunningMajorVersion() {
    using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (rtlGetVersion && rtlGetVersion(&info) == 0) return static_cast<int>(info.dwMajorVersion);
    return 0;
}

GpFont* ChooseDefaultFont() {
    for (const std::string& candidate : {SongTi(), SystemFontFace(CaptionFont)}) {
        GpFontFamily* family = nullptr;
        if (GdipCreateFontFamilyFromName(AnsiToWide(candidate).c_str(), nullptr, &family) != Ok)
            continue;
        GpFont* font = nullptr;
        GdipCreateFont(family, 12.0f, FontStyleRegular, UnitPixel, &font);
        GdipDeleteFontFamily(family);
        return font;
    }
    return nullptr;
}

void RegisterToolkitClass() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    // The program carries no icon 129, so toolkit windows have no class
    // icon; hosts draw their own caption icon.
    classIcon = LoadIconW(module, MAKEINTRESOURCEW(129));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = module;
    windowClass.hIcon = classIcon;
    windowClass.hCursor = arrowCursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = ToolkitWindowClass;
    RegisterClassExW(&windowClass);
}

}  // namespace

std::string WideToAnsi(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0],
                        length, nullptr, nullptr);
    return result;
}

std::wstring AnsiToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0],
                        length);
    return result;
}

std::string SystemFontFace(int which) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = NonClientMetricsSize;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0))
        return SongTi();
    const LOGFONTA& font = which == MenuFont      ? metrics.lfMenuFont
                           : which == MessageFont ? metrics.lfMessageFont
                                                  : metrics.lfCaptionFont;
    std::string face(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    if (face == "Tahoma") return SongTi();
    if (GpFont* probe = CreateFontByName(face, 12.0f, FontStyleRegular)) {
        GdipDeleteFont(probe);
        return face;
    }
    return SongTi();
}

GpFont* CreateFontByName(const std::string& familyName, float emSize, int style) {
    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(AnsiToWide(familyName).c_str(), nullptr, &family) != Ok) {
        family = nullptr;
        std::wstring fallback = AnsiToWide(FontFamilyName(defaultFont));
        if (fallback.empty() ||
            GdipCreateFontFamilyFromName(fallback.c_str(), nullptr, &family) != Ok)
            return nullptr;
    }
    GpFont* font = nullptr;
    GdipCreateFont(family, emSize, style, UnitPixel, &font);
    GdipDeleteFontFamily(family);
    return font;
}

std::string FontFamilyName(GpFont* font) {
    if (!font) return std::string();
    GpFontFamily* family = nullptr;
    if (GdipGetFamily(font, &family) != Ok || !family) return std::string();
    WCHAR name[LF_FACESIZE] = {};
    GdipGetFamilyName(family, name, LANG_NEUTRAL);
    GdipDeleteFontFamily(family);
    return WideToAnsi(name);
}

void StartToolkit() {
    GdiplusStartupInput input;  // version 1, no debug callback
    GdiplusStartup(&gdiplusToken, &input, nullptr);
    osMajorVersion = RunningMajorVersion();
    defaultFont = ChooseDefaultFont();
    arrowCursor = LoadCursorW(nullptr, IDC_ARROW);

    ImageBacking unused;  // copy mode keeps nothing behind the image
    captionSprite = ImageFromBytes(ToolkitAssets::captionSprite.bytes,
                                   ToolkitAssets::captionSprite.size, true, unused);
    RegisterToolkitClass();

    editMenu.AppendItem(L"剪切(&T)", 'X');
    editMenu.AppendItem(L"复制(&C)", 'C');
    editMenu.AppendItem(L"粘贴(&P)", 'V');
    editMenu.AppendItem(L"", 0);
    editMenu.AppendItem(L"全部选择(&A)", 'A');
}
