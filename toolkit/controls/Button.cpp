#include "toolkit/controls/Button.h"

#include "ToolkitAssets.h"
#include "toolkit/controls/Images.h"
#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"

GpImage* buttonSkin = nullptr;

namespace {

constexpr float Epsilon = 1e-7f;

// Skin frames: 13 x 28, side by side with one-pixel gaps.
constexpr float FrameWidth = 13;
constexpr float FrameHeight = 28;
constexpr float NormalFrameX = 0;
constexpr float HotFrameX = 14;
constexpr float PressedFrameX = 28;
// Left and right columns of 5, a top row of 5 and a bottom row of 8 (the
// bevel and the shadow under it) keep their size.
const RectF FrameCentre(5, 5, 3, 15);

constexpr UINT FocusLightMs = 100;
constexpr float FocusLightStep = 6;
constexpr float FocusLightRadius = 18;
const PointF FocusLightStart(6, 0);

float FrameX(int state) {
    switch (state) {
    case StateHover:
    case StateFocused:
        return HotFrameX;
    case StatePressed:
        return PressedFrameX;
    default:
        return NormalFrameX;
    }
}

void DecodeSkinOnce() {
    if (buttonSkin) return;
    ImageBacking unused;  // copy mode keeps nothing behind the image
    buttonSkin =
        ImageFromBytes(ToolkitAssets::buttonSkin.bytes, ToolkitAssets::buttonSkin.size, false, unused);
}

OwnedRegion RegionOf(int left, int top, int right, int bottom, int corner) {
    OwnedHRgn gdiRegion(CreateRoundRectRgn(left, top, right, bottom, corner, corner));
    GpRegion* region = nullptr;
    if (gdiRegion) GdipCreateRegionHrgn(gdiRegion.get(), &region);
    return OwnedRegion(region);
}

// The light: a white glow fading from the centre, seen only through the
// one-pixel ring just inside the skin's border.
void DrawFocusLight(GpGraphics* graphics, const RectF& whole, PointF centre) {
    const int left = static_cast<int>(whole.X), top = static_cast<int>(whole.Y);
    const int right = static_cast<int>(whole.X + whole.Width);
    const int bottom = static_cast<int>(whole.Y + whole.Height);
    OwnedRegion outer = RegionOf(left + 1, top, right, bottom - 3, 5);
    OwnedRegion inner = RegionOf(left + 2, top + 1, right - 1, bottom - 4, 5);
    if (!outer || !inner) return;
    GdipSetClipRegion(graphics, outer.get(), CombineModeReplace);
    GdipSetClipRegion(graphics, inner.get(), CombineModeExclude);

    const float x = centre.X - FocusLightRadius, y = centre.Y - FocusLightRadius;
    const float size = 2 * FocusLightRadius;
    GpPath* rawPath = nullptr;
    GdipCreatePath(FillModeAlternate, &rawPath);
    OwnedPath path(rawPath);
    if (path) {
        GdipAddPathEllipse(path.get(), x, y, size, size);
        GpPathGradient* rawBrush = nullptr;
        GdipCreatePathGradientFromPath(path.get(), &rawBrush);
        OwnedBrush brush(rawBrush);
        if (brush) {
            GdipSetPathGradientCenterColor(rawBrush, ToArgb(0xFFFFFF, 255, 1));
            ARGB surround = ToArgb(0xFFFFFF, 50, 1);
            INT count = 1;
            GdipSetPathGradientSurroundColorsWithCount(rawBrush, &surround, &count);
            GdipFillRectangle(graphics, brush.get(), x, y, size, size);
        }
    }
    GdipResetClip(graphics);
}

}  // namespace

Button::~Button() { Destroy(); }

int Button::PreviewEvent(ControlHandle self, UINT event, WPARAM, LPARAM) {
    switch (event) {
    case EventCreated:
        DecodeSkinOnce();
        kind = KindButton;
        focusLightPhase = LightTop;
        return -1;
    case EventDestroyed:
        focusLightOn = 0;
        KillTimer(hostWindow, self);
        return -1;
    case EventFocusGained:
        focusLightOn = 1;
        SetTimer(hostWindow, self, FocusLightMs, nullptr);
        focusLightPhase = LightTop;
        focusLightPos = FocusLightStart;
        return 0;
    case EventFocusLost:
        focusLightOn = 0;
        KillTimer(hostWindow, self);
        Redraw();
        return 0;
    case EventTimer:
        // A tick that was already queued when the focus went.
        if (!focusLightOn) KillTimer(hostWindow, self);
        AdvanceFocusLight();
        Redraw();
        return -1;
    case EventTransitionFrame:
        if (focusLightOn) {
            // Redrawn in place: no snapshot, no screen update; the default
            // transition painter then composes this frame.
            GdipGraphicsClear(surfaceGraphics.get(), 0);
            AdvanceFocusLight();
            Paint(self, state, 0);
        }
        return -1;
    case EventTransitionStarted:
        if (focusLightOn) KillTimer(hostWindow, self);
        return -1;
    case EventTransitionFinished:
        if (focusLightOn) SetTimer(hostWindow, self, FocusLightMs, nullptr);
        return -1;
    default:
        return -1;
    }
}

int Button::OnPaintBackground(PaintContext& context, int paintState) {
    const RectF& whole = context.rect;
    if (buttonSkin) {
        GpBitmap* frame =
            CloneImageArea(buttonSkin, RectF(FrameX(paintState), 0, FrameWidth, FrameHeight));
        OwnedBitmap owner(frame);
        DrawImageNineSlice(context.graphics, frame, whole, FrameCentre);
    }
    if (focusLightOn) DrawFocusLight(context.graphics, whole, focusLightPos);
    return 1;
}

int Button::OnLayout(PaintContext&, int, RectF& caption, RectF& icon) {
    auto move = [](RectF& r, float dx, float dy) {
        OffsetRect(dx, dy, std::nullopt, std::nullopt, r);
    };
    switch (iconLayout) {
    case 0:
        move(caption, -2, -2);
        move(icon, -2, -2);
        break;
    case 4:
        move(caption, 4, -2);
        move(icon, 4, -2);
        break;
    case 2:
        move(icon, 0, -4);
        move(caption, -1, -2);
        break;
    case 6:
        move(icon, 0, 2);
        move(caption, -1, 4);
        break;
    default:
        break;
    }
    return 1;
}

void Button::AdvanceFocusLight() {
    const float across = static_cast<float>(static_cast<int>(Width()) - 2);
    const float down = static_cast<float>(static_cast<int>(Height()) - 4);
    float& x = focusLightPos.X;
    float& y = focusLightPos.Y;
    switch (focusLightPhase) {
    case LightTop:
        x += FocusLightStep;
        if (x - across >= -Epsilon) {
            x = across;
            focusLightPhase = LightRight;
        }
        break;
    case LightRight:
        y += FocusLightStep;
        if (y - down >= -Epsilon) {
            y = down;
            focusLightPhase = LightBottom;
        }
        break;
    case LightBottom:
        x -= FocusLightStep;
        if (x <= Epsilon) {
            x = 0;
            focusLightPhase = LightLeft;
        }
        break;
    case LightLeft:
        y -= FocusLightStep;
        if (y <= Epsilon) {
            y = 0;
            focusLightPhase = LightTop;
        }
        break;
    default:
        focusLightPhase = LightTop;
        break;
    }
}
