// Owners for GDI+ and GDI handles. Every object the toolkit creates has
// exactly one owner that releases it; borrowed handles (the shared default
// font, a skin image lent by another host) stay plain pointers and are never
// released through these types.
#pragma once

#include <memory>

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
