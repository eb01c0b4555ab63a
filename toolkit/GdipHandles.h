// Owners for GDI+ and GDI handles. Every object the toolkit creates has
// exactly one owner that releases it; borrowed handles (the shared default
// font, a skin image lent by another host) stay plain pointers and are never
// released through these types.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "toolkit/Gdip.h"

struct GdipImageDeleter {
    void operator()(GpImage* image) const { GdipDisposeImage(image); }
};
struct GdipGraphicsDeleter {
    void operator()(GpGraphics* graphics) const { GdipDeleteGraphics(graphics); }
};
struct GdipFontDeleter {
    void operator()(GpFont* font) const { GdipDeleteFont(font); }
};
struct GdipFamilyDeleter {
    void operator()(GpFontFamily* family) const { GdipDeleteFontFamily(family); }
};
struct GdipBrushDeleter {
    void operator()(GpBrush* brush) const { GdipDeleteBrush(brush); }
};
struct GdipPenDeleter {
    void operator()(GpPen* pen) const { GdipDeletePen(pen); }
};
struct GdipPathDeleter {
    void operator()(GpPath* path) const { GdipDeletePath(path); }
};
struct GdipRegionDeleter {
    void operator()(GpRegion* region) const { GdipDeleteRegion(region); }
};
struct GdipStringFormatDeleter {
    void operator()(GpStringFormat* format) const { GdipDeleteStringFormat(format); }
};
struct GdipImageAttributesDeleter {
    void operator()(GpImageAttributes* attributes) const { GdipDisposeImageAttributes(attributes); }
};

using OwnedImage = std::unique_ptr<GpImage, GdipImageDeleter>;
using OwnedBitmap = std::unique_ptr<GpBitmap, GdipImageDeleter>;
using OwnedGraphics = std::unique_ptr<GpGraphics, GdipGraphicsDeleter>;
using OwnedFont = std::unique_ptr<GpFont, GdipFontDeleter>;
using OwnedFontFamily = std::unique_ptr<GpFontFamily, GdipFamilyDeleter>;
using OwnedBrush = std::unique_ptr<GpBrush, GdipBrushDeleter>;
using OwnedPen = std::unique_ptr<GpPen, GdipPenDeleter>;
using OwnedPath = std::unique_ptr<GpPath, GdipPathDeleter>;
using OwnedRegion = std::unique_ptr<GpRegion, GdipRegionDeleter>;
using OwnedStringFormat = std::unique_ptr<GpStringFormat, GdipStringFormatDeleter>;
using OwnedImageAttributes = std::unique_ptr<GpImageAttributes, GdipImageAttributesDeleter>;

// A solid brush of one ARGB colour, released at scope end.
inline OwnedBrush MakeSolidBrush(ARGB color) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(color, &brush);
    return OwnedBrush(brush);
}

// A pen of one ARGB colour and width in world units.
inline OwnedPen MakePen(ARGB color, float width) {
    GpPen* pen = nullptr;
    GdipCreatePen1(color, width, UnitWorld, &pen);
    return OwnedPen(pen);
}

// A 32bpp ARGB bitmap with a graphics on it, as every surface of the
// toolkit is made: anti-aliased shapes, grid-fitted anti-aliased text.
struct Surface {
    OwnedBitmap bitmap;
    OwnedGraphics graphics;
};
inline Surface MakeSurface(int width, int height) {
    Surface surface;
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    surface.bitmap.reset(bitmap);
    if (bitmap) {
        GpGraphics* graphics = nullptr;
        GdipGetImageGraphicsContext(bitmap, &graphics);
        surface.graphics.reset(graphics);
        if (graphics) {
            GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
            GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAliasGridFit);
        }
    }
    return surface;
}

// ---- GDI owners -------------------------------------------------------------

struct DCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using OwnedDC = std::unique_ptr<std::remove_pointer_t<HDC>, DCDeleter>;
using OwnedHBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using OwnedHRgn = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;

// Selects an object into a DC and puts the previous one back at scope end.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (dc_ && old_) SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a 32-bit bottom-up DIB section selected into it and,
// when asked, a GDI+ graphics on it (anti-aliased shapes and text, as every
// toolkit surface). Released in the only safe order: graphics, selection,
// bitmap, DC.
class DibSurface {
public:
    DibSurface() = default;
    DibSurface(int width, int height, bool withGraphics, HDC compatibleWith = nullptr) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(compatibleWith);
        if (!dc_) return;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_) oldBitmap_ = SelectObject(dc_, bitmap_);
        width_ = bitmap_ ? width : 0;
        height_ = bitmap_ ? height : 0;
        if (withGraphics && GdipCreateFromHDC(dc_, &graphics_) == Ok && graphics_) {
            GdipSetSmoothingMode(graphics_, SmoothingModeAntiAlias);
            GdipSetTextRenderingHint(graphics_, TextRenderingHintAntiAliasGridFit);
        }
    }
    ~DibSurface() { Release(); }
    DibSurface(DibSurface&& other) noexcept { *this = std::move(other); }
    DibSurface& operator=(DibSurface&& other) noexcept {
        if (this != &other) {
            Release();
            std::swap(dc_, other.dc_);
            std::swap(bitmap_, other.bitmap_);
            std::swap(oldBitmap_, other.oldBitmap_);
            std::swap(graphics_, other.graphics_);
            std::swap(bits_, other.bits_);
            std::swap(width_, other.width_);
            std::swap(height_, other.height_);
        }
        return *this;
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    GpGraphics* graphics() const { return graphics_; }
    void* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void Release() {
        if (graphics_) GdipDeleteGraphics(graphics_);
        if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
        dc_ = nullptr;
        bitmap_ = nullptr;
        oldBitmap_ = nullptr;
        graphics_ = nullptr;
        bits_ = nullptr;
        width_ = height_ = 0;
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    GpGraphics* graphics_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
