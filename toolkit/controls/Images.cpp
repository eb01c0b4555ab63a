#include "toolkit/controls/Images.h"

#include <cstring>

#include "toolkit/GdipHandles.h"

namespace {

const unsigned char PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

UINT ImageWidth(GpImage* image) {
    UINT width = 0;
    if (image) GdipGetImageWidth(image, &width);
    return width;
}

UINT ImageHeight(GpImage* image) {
    UINT height = 0;
    if (image) GdipGetImageHeight(image, &height);
    return height;
}

GpImage* ImageFromBytes(const unsigned char* bytes, size_t size, bool prependPngSignature,
                        ImageBacking& backing, bool streamMode) {
    if (!bytes || size == 0) return nullptr;
    size_t prefix = prependPngSignature ? sizeof(PngSignature) : 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + prefix);
    if (!memory) return nullptr;
    auto* target = static_cast<unsigned char*>(GlobalLock(memory));
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    if (prefix) std::memcpy(target, PngSignature, prefix);
    std::memcpy(target + prefix, bytes, size);
    GlobalUnlock(memory);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, FALSE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    GpImage* loaded = nullptr;
    if (GdipLoadImageFromStream(stream, &loaded) != Ok) loaded = nullptr;

    if (streamMode) {
        if (!loaded) {
            stream->Release();
            GlobalFree(memory);
            return nullptr;
        }
        backing.memory = memory;
        backing.stream = stream;
        return loaded;
    }

    GpBitmap* copy = nullptr;
    if (loaded) {
        UINT width = ImageWidth(loaded);
        UINT height = ImageHeight(loaded);
        GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0,
                                  PixelFormat32bppARGB, nullptr, &copy);
        GpGraphics* graphics = nullptr;
        if (copy && GdipGetImageGraphicsContext(copy, &graphics) == Ok) {
            GdipDrawImageRectI(graphics, loaded, 0, 0, static_cast<INT>(width),
                               static_cast<INT>(height));
            GdipDeleteGraphics(graphics);
        }
        GdipDisposeImage(loaded);
    }
    stream->Release();
    GlobalFree(memory);
    return copy;
}

void ReleaseImage(GpImage*& image, ImageBacking& backing) {
    if (image) GdipDisposeImage(image);
    if (backing.stream) backing.stream->Release();
    if (backing.memory) GlobalFree(backing.memory);
    image = nullptr;
    backing = ImageBacking();
}

GpBitmap* CloneImageArea(GpImage* image, const RectF& area) {
    if (!image) return nullptr;
    PixelFormat format = PixelFormat32bppARGB;
    GdipGetImagePixelFormat(image, &format);
    GpBitmap* clone = nullptr;
    if (GdipCloneBitmapArea(area.X, area.Y, area.Width, area.Height, format,
                            static_cast<GpBitmap*>(image), &clone) != Ok)
        return nullptr;
    return clone;
}

void DrawImagePart(GpGraphics* graphics, GpImage* image, const RectF& dest, RectF source,
                   bool sourceGiven, GpImageAttributes* attributes) {
    if (!graphics || !image) return;
    if (!sourceGiven) {
        source.Width = static_cast<REAL>(ImageWidth(image));
        source.Height = static_cast<REAL>(ImageHeight(image));
    }
    GdipDrawImageRectRect(graphics, image, dest.X, dest.Y, dest.Width, dest.Height, source.X,
                          source.Y, source.Width, source.Height, UnitPixel, attributes, nullptr,
                          nullptr);
}

void DrawImageStretched(GpGraphics* graphics, GpImage* image, const RectF& rect) {
    if (!graphics || !image) return;
    GdipDrawImageRect(graphics, image, rect.X, rect.Y, rect.Width, rect.Height);
}

void DrawImageNineSlice(GpGraphics* graphics, GpImage* image, const RectF& dest,
                        const RectF& centre, std::optional<int> alpha) {
    if (!graphics || !image) return;
    const int X = static_cast<int>(dest.X), Y = static_cast<int>(dest.Y);
    const int W = static_cast<int>(dest.Width), H = static_cast<int>(dest.Height);
    const int IW = static_cast<int>(ImageWidth(image)), IH = static_cast<int>(ImageHeight(image));
    const int cx = static_cast<int>(centre.X), cy = static_cast<int>(centre.Y);
    const int cw = static_cast<int>(centre.Width), ch = static_cast<int>(centre.Height);
    const int rw = IW - cx - cw;  // right column
    const int bh = IH - cy - ch;  // bottom row

    // Stretched pieces sample their own edge pixels, never the neighbouring
    // piece's (tile-flip wrapping), so the seams stay clean.
    GpImageAttributes* attributes = nullptr;
    GdipCreateImageAttributes(&attributes);
    OwnedImageAttributes owner(attributes);
    if (attributes) {
        GdipSetImageAttributesWrapMode(attributes, WrapModeTileFlipXY, 0, FALSE);
        if (alpha && *alpha >= 0 && *alpha <= 254) {
            ColorMatrix matrix{};
            for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
            matrix.m[3][3] = static_cast<float>(*alpha) / 255.0f;
            GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &matrix,
                                              nullptr, ColorMatrixFlagsDefault);
        }
    }

    struct Piece {
        int dx, dy, dw, dh, sx, sy, sw, sh;
    };
    const int midW = W - cx - rw, midH = H - cy - bh;
    const Piece pieces[9] = {
        {X, Y, cx, cy, 0, 0, cx, cy},                                  // top left
        {X + cx, Y, midW, cy, cx, 0, cw, cy},                          // top
        {X + W - rw, Y, rw, cy, IW - rw, 0, rw, cy},                   // top right
        {X, Y + cy, cx, midH, 0, cy, cx, ch},                          // left
        {X + cx, Y + cy, midW, midH, cx, cy, cw, ch},                  // centre
        {X + W - rw, Y + cy, rw, midH, IW - rw, cy, rw, ch},           // right
        {X, Y + H - bh, cx, bh, 0, IH - bh, cx, bh},                   // bottom left
        {X + cx, Y + H - bh, midW, bh, cx, IH - bh, cw, bh},           // bottom
        {X + W - rw, Y + H - bh, rw, bh, IW - rw, IH - bh, rw, bh},    // bottom right
    };
    // Whole-pixel rectangles map onto whole pixels only with the pixel
    // centres at half coordinates; otherwise every stretched piece is half
    // a pixel off and its edge mixes with its neighbour.
    PixelOffsetMode offsetMode = PixelOffsetModeDefault;
    GdipGetPixelOffsetMode(graphics, &offsetMode);
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
    for (const Piece& p : pieces) {
        if (p.dw <= 0 || p.dh <= 0 || p.sw <= 0 || p.sh <= 0) continue;
        GdipDrawImageRectRectI(graphics, image, p.dx, p.dy, p.dw, p.dh, p.sx, p.sy, p.sw, p.sh,
                               UnitPixel, attributes, nullptr, nullptr);
    }
    GdipSetPixelOffsetMode(graphics, offsetMode);
}
