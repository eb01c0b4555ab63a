// Images: every picture the toolkit shows arrives as encoded bytes (PNG,
// JPEG or GIF) in memory, embedded in the program or handed over by the
// application, and is turned into a GDI+ image here.
//
// Copy mode (the default) gives an independent 32bpp ARGB bitmap. Stream
// mode gives the decoded image itself, which keeps every frame of an
// animated GIF but stays bound to the memory block and the stream it was
// read from: the caller keeps that ImageBacking and releases all three
// together with ReleaseImage.
#pragma once

#include <cstddef>
#include <optional>

#include "toolkit/Gdip.h"

struct ImageBacking {
    HGLOBAL memory = nullptr;
    IStream* stream = nullptr;
};

// 0 on empty bytes or when the bytes do not decode. prependPngSignature
// puts back the eight signature bytes of a PNG stored without them.
GpImage* ImageFromBytes(const unsigned char* bytes, size_t size, bool prependPngSignature,
                        ImageBacking& backing, bool streamMode = false);

// Releases whichever of the three is set and zeroes them.
void ReleaseImage(GpImage*& image, ImageBacking& backing);

UINT ImageWidth(GpImage* image);
UINT ImageHeight(GpImage* image);

// A new bitmap holding area of image, in the image's own pixel format;
// 0 when image is 0 or the area does not lie inside it.
GpBitmap* CloneImageArea(GpImage* image, const RectF& area);

// Draws the source part of image into dest (pixels). Without sourceGiven
// only the source's x and y count: its width and height become the image's.
// A negative source width or height mirrors that direction.
void DrawImagePart(GpGraphics* graphics, GpImage* image, const RectF& dest, RectF source,
                   bool sourceGiven = false, GpImageAttributes* attributes = nullptr);

// Draws the whole image stretched into rect.
void DrawImageStretched(GpGraphics* graphics, GpImage* image, const RectF& rect);

// Draws image as a frame into dest: the parts outside centre (x, y, width,
// height in source pixels) keep their size at the corners and stretch
// along the edges, the centre stretches both ways. An alpha of 0..254
// draws every piece at that opacity.
void DrawImageNineSlice(GpGraphics* graphics, GpImage* image, const RectF& dest,
                        const RectF& centre, std::optional<int> alpha = std::nullopt);
