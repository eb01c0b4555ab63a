#include "toolkit/controls/Images.h"

#include <cstring>

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
