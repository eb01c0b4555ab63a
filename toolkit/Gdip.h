// One place that brings in Win32 and the GDI+ flat API. The toolkit talks to
// GDI+ only through its flat C functions (GdipXxx) and opaque handles
// (GpBitmap*, GpGraphics*, ...), never through the C++ wrapper classes.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objidl.h>

#include <algorithm>
// The GDI+ headers use bare min/max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
