#ifndef FONTIVA_TOOLKIT_EMBEDDEDBYTES_H
#define FONTIVA_TOOLKIT_EMBEDDEDBYTES_H

// A block of bytes compiled into the program: an encoded picture (PNG, JPEG,
// GIF) as it stood on disk when the build embedded it. The generated asset
// sources (tools/embed_assets.py) define one constant of this type per file;
// the image loaders read `bytes` and `size` and never free them.

#include <cstddef>

struct EmbeddedBytes {
    const unsigned char* bytes;
    std::size_t size;
};

#endif
