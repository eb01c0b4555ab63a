#include "toolkit/controls/Picture.h"

namespace {

// The colour bitmap of an icon as a DIB section: used unchanged when it is
// one already, else copied into a top-down DIB of at least 24 bits.
HBITMAP ToDibSection(HBITMAP bitmap) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    if (info.bmBits) return bitmap;

    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = static_cast<WORD>(std::max<int>(info.bmBitsPixel, 24));
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) GetDIBits(screen, bitmap, 0, info.bmHeight, bits, &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return dib;
}

bool HasAlpha(const DIBSECTION& dib) {
    if (dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits) return false;
    const auto* pixels = static_cast<const DWORD*>(dib.dsBm.bmBits);
    size_t count = static_cast<size_t>(dib.dsBm.bmWidth) * std::abs(dib.dsBm.bmHeight);
    for (size_t i = 0; i < count; ++i) {
        if (pixels[i] & 0xFF000000) return true;
    }
    return false;
}

}  // namespace

GpBitmap* ImageFromIcon(HICON icon) {
    ICONINFO parts{};
    if (!icon || !GetIconInfo(icon, &parts)) return nullptr;
    HBITMAP colour = parts.hbmColor ? ToDibSection(parts.hbmColor) : nullptr;
    DIBSECTION dib{};
    bool readable = colour && GetObjectW(colour, sizeof(dib), &dib) == sizeof(dib);

    GpBitmap* temporary = nullptr;
    if (readable && HasAlpha(dib)) {
        GdipCreateBitmapFromScan0(dib.dsBm.bmWidth, dib.dsBm.bmHeight, dib.dsBm.bmWidthBytes,
                                  PixelFormat32bppARGB, static_cast<BYTE*>(dib.dsBm.bmBits),
                                  &temporary);
    } else {
        GdipCreateBitmapFromHICON(icon, &temporary);
    }
    if (parts.hbmMask) DeleteObject(parts.hbmMask);

    UINT width = readable ? static_cast<UINT>(dib.dsBm.bmWidth) : 0;
    UINT height = readable ? static_cast<UINT>(std::abs(dib.dsBm.bmHeight)) : 0;
    if (temporary && !readable) {
        GdipGetImageWidth(temporary, &width);
        GdipGetImageHeight(temporary, &height);
    }
    // The copy owns its pixels: the DIB and the temporary wrapper go now.
    GpBitmap* result = nullptr;
    if (temporary && width && height) {
        GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0,
                                  PixelFormat32bppARGB, nullptr, &result);
        GpGraphics* graphics = nullptr;
        if (result) GdipGetImageGraphicsContext(result, &graphics);
        if (graphics) {
            GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBilinear);
            GdipDrawImageI(graphics, temporary, 0, 0);
            GdipDeleteGraphics(graphics);
        }
    }
    if (temporary) GdipDisposeImage(temporary);
    if (colour) DeleteObject(colour);
    return result;
}

Picture::~Picture() { ReleasePicture(); }

void Picture::ReleasePicture() { ReleaseImage(image, imageBacking); }

ControlHandle Picture::CreateFromIcon(UINT_PTR parentArg, int x, int y, int width, int height,
                                      HICON icon, ARGB background, std::optional<int> scale,
                                      int borderStyle, std::optional<int> isVisible) {
    ReleasePicture();
    imageBytes.clear();
    image = ImageFromIcon(icon);
    playing = 0;
    border = borderStyle;
    backColor = background;
    scaleMode = scale.value_or(1);
    imageTransition = -1;
    // A bitmap made from an icon has exactly one frame.
    frameCount = image ? 1 : 0;
    currentFrame = frameCount > 0 ? 1 : 0;
    frameDelays.assign(1, 10);
    RectF rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height));
    return Control::Create(parentArg, rect, KindPicture, isVisible.value_or(1), 1);
}

int Picture::HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) {
    if (event == EventDestroyed) ReleasePicture();
    return -1;
}
