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
