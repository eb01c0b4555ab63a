// Picture: the toolkit's image control, showing one GDI+ image (a still
// picture, an animated GIF or a Windows icon) in its own surface.
//
// The image comes from encoded bytes or from an icon handle; the picture
// owns it, together with the memory and stream a stream-mode image reads
// from, and releases all of it when the image is replaced and when the
// control is destroyed. Hosts use an icon picture for their caption icon.
#pragma once

#include <optional>
#include <vector>

#include "toolkit/controls/Control.h"
#include "toolkit/controls/Images.h"

class Picture : public Control {
public:
    ~Picture() override;

    int HandleEvent(ControlHandle handle, UINT event, WPARAM wParam, LPARAM lParam) override;

    // A still picture of an icon; the icon handle itself is not kept.
    ControlHandle CreateFromIcon(UINT_PTR parent, int x, int y, int width, int height, HICON icon,
                                 ARGB background = 0, std::optional<int> scale = std::nullopt,
                                 int borderStyle = 0, std::optional<int> isVisible = std::nullopt);

    std::vector<unsigned char> imageBytes;  // empty for an icon picture
    GpImage* image = nullptr;               // owned, with imageBacking
    int playing = 0;
    int border = 0;
    int currentFrame = 0;  // 1-based frame drawn next; 0 without frames
    int frameCount = 0;
    ARGB backColor = 0;
    std::vector<int> frameDelays;  // hundredths of a second
    int scaleMode = 1;             // 0 natural, 1 stretched, 2 centred, 3 nine-slice
    int fixZeroDelays = 0;
    RECT sliceRect{0, 0, 0, 0};
    ImageBacking imageBacking;
    int imageTransition = -1;

protected:
    void ReleasePicture();
};

// A 32bpp ARGB copy of an icon, keeping its alpha channel when it has one;
// 0 when the icon cannot be read.
GpBitmap* ImageFromIcon(HICON icon);
