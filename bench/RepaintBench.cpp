// repaint_bench: what a repaint costs on a layered host laid out like the
// main window (580 x 474, about twenty controls), next to what the platform
// itself needs for the same result, measured in the same run:
//
//   rectangle repaint  the rectangle of one 67 x 30 button rebuilt from the
//                      backdrop and pushed; floor: one BitBlt of the
//                      rectangle plus one UpdateLayeredWindow of the canvas
//   control repaint    the button's own paint, its recomposition and the
//                      push; same floor
//   skin redraw        RedrawSkin with present; floor: a clear, a path fill
//                      and a copy of the whole canvas, plus the push
//   pushes per burst   UpdateLayeredWindow calls for 10 invalidations
//
// Times are medians over many rounds, in microseconds.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/controls/Control.h"
#include "toolkit/controls/Painting.h"
#include "toolkit/controls/Primitives.h"
#include "toolkit/host/HostWindow.h"
#include "toolkit/host/Toolkit.h"

namespace {

// A control that paints like a skinned button: a gradient, a rounded
// border and a caption.
class BenchControl : public Control {
public:
    explicit BenchControl(std::wstring caption) : caption_(std::move(caption)) {}
    int HandleEvent(ControlHandle, UINT event, WPARAM, LPARAM) override {
        if (event != EventPaint) return -1;
        PaintContext context;
        if (!BeginSurfacePaint(*this, context)) return 0;
        RectF r = context.rect;
        FillGradient(context.graphics, r, ToArgb(0xF8F8F8, 255), ToArgb(0xD0D0D0, 255));
        DrawRoundRect(context.graphics, r, 4, ToArgb(0x808080, 255));
        if (!caption_.empty() && defaultFont) {
            GpStringFormat* format = nullptr;
            GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
            OwnedStringFormat owner(format);
            GdipSetStringFormatAlign(format, StringAlignmentCenter);
            GdipSetStringFormatLineAlign(format, StringAlignmentCenter);
            OwnedBrush brush = MakeSolidBrush(ToArgb(0x202020, 255));
            GdipDrawString(context.graphics, caption_.c_str(), -1, defaultFont, &r, format,
                           brush.get());
        }
        EndSurfacePaint(*this, context);
        return 0;
    }

private:
    std::wstring caption_;
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct Timing {
    double cost;
    double floor;
    double ratio;  // median of the ratios of neighbouring rounds
};

double MedianOf(std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// Median times of one call of work and of floor, in microseconds, and the
// median ratio of the two within a round. They alternate round by round,
// so that a change of load on the machine weighs on both alike.
Timing Measure(int rounds, const std::function<void()>& work, const std::function<void()>& floor) {
    for (int i = 0; i < rounds / 10 + 1; ++i) {  // warm up
        work();
        floor();
    }
    std::vector<double> workTimes, floorTimes, ratios;
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        work();
        double middle = Now();
        floor();
        floorTimes.push_back(Now() - middle);
        workTimes.push_back(middle - start);
        ratios.push_back(workTimes.back() / floorTimes.back());
    }
    return Timing{MedianOf(workTimes), MedianOf(floorTimes), MedianOf(ratios)};
}

int pushes = 0;
LayeredWindowUpdate realPush = nullptr;
BOOL WINAPI CountPush(HWND window, HDC target, POINT* position, SIZE* size, HDC source,
                      POINT* origin, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
    ++pushes;
    return realPush(window, target, position, size, source, origin, key, blend, flags);
}

void Row(const char* name, const Timing& timing, double goal) {
    std::printf("%-22s %10.1f %10.1f %8.2fx %8.2fx  %s\n", name, timing.cost, timing.floor,
                timing.ratio, goal, timing.ratio <= goal ? "ok" : "OVER");
}

}  // namespace

int main(int argc, char** argv) {
    StartToolkit();
    const int width = 580, height = 474;
    HWND window = CreateWindowExW(0, ToolkitWindowClass, L"Fontiva",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 50, 50,
                                  width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
    HostWindow host;
    AttachOptions options;
    options.backColor = 0xECECEC;
    options.captionFlags = 0x410;
    options.windowAlpha = 255;
    host.Attach(window, options);

    // The main window's layout.
    std::vector<std::unique_ptr<BenchControl>> controls;
    auto add = [&](float x, float y, float w, float h, const wchar_t* text) {
        controls.push_back(std::make_unique<BenchControl>(text));
        controls.back()->Create(reinterpret_cast<UINT_PTR>(window), RectF(x, y, w, h), KindLabel, 1);
        return controls.back().get();
    };
    add(452, 8, 58, 20, L"反馈问题");
    add(20, 40, 535, 300, L"");
    BenchControl* button = nullptr;
    for (int n = 1; n <= 8; ++n) {
        BenchControl* b = add(20.0f + 67 * (n - 1), 345, 67, 30, L"字体");
        if (n == 3) button = b;
    }
    add(16, 381, 115, 80, L"");
    add(135, 381, 180, 80, L"");
    add(320, 381, 235, 80, L"");
    add(160, 392, 128, 40, L"一键修改");
    add(140, 434, 161, 25, L"若修改失败，请点击反馈按钮");
    add(20, 387, 107, 25, L"字体状态：");
    add(20, 408, 107, 25, L"- 未下载 -");
    add(20, 428, 107, 25, L"字体大小： N/A M");
    add(320, 440, 235, 20, L"注意：美化完毕游戏后务必先进自定义测试");
    add(328, 400, 223, 40, L"温馨提示：若发现漂亮的字体都可以在官方分享");
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Pump();

    const RectF rect = button->bounds;
    const int rounds = 400;
    SIZE extent{width, height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    auto pushCanvas = [&] {
        UpdateLayeredWindow(window, nullptr, nullptr, &extent, host.canvasDC, &origin, 0, &blend,
                            ULW_ALPHA);
    };

    auto rectangleFloor = [&] {
        BitBlt(host.canvasDC, static_cast<int>(rect.X), static_cast<int>(rect.Y),
               static_cast<int>(rect.Width), static_cast<int>(rect.Height), host.backdropDC,
               static_cast<int>(rect.X), static_cast<int>(rect.Y), SRCCOPY);
        pushCanvas();
    };
    Timing rectangle = Measure(
        rounds,
        [&] {
            host.QueueRepaint(rect, RepaintQueued);
            Pump();  // the queue's single push for the burst
        },
        rectangleFloor);
    Timing control = Measure(
        rounds,
        [&] {
            button->Redraw();
            Pump();
        },
        rectangleFloor);

    OwnedPath path = RoundRectPath(RectF(5, 5, width - 10.0f, height - 10.0f), 4);
    OwnedBrush fill = MakeSolidBrush(0xFFECECEC);
    Timing skin = Measure(
        rounds / 4, [&] { host.RedrawSkin(nullptr, 0, std::nullopt, 0, true); },
        [&] {
            GdipGraphicsClear(host.canvasGraphics, 0);
            GdipFillPath(host.canvasGraphics, fill.get(), path.get());
            BitBlt(host.backdropDC, 0, 0, width, height, host.canvasDC, 0, 0, SRCCOPY);
            pushCanvas();
        });
    // Leave the canvas as the host drew it.
    host.RedrawSkin(nullptr, 0, std::nullopt, 0, true);

    realPush = layeredWindowUpdate;
    layeredWindowUpdate = &CountPush;
    const int bursts = 20;
    pushes = 0;
    for (int b = 0; b < bursts; ++b) {
        for (int i = 0; i < 10; ++i) controls[2 + (i % 8)]->Invalidate();
        Pump();
    }
    const double postedPerBurst = static_cast<double>(pushes) / bursts;
    pushes = 0;
    for (int b = 0; b < bursts; ++b) {
        for (int i = 0; i < 10; ++i) controls[2 + (i % 8)]->Redraw();
        Pump();
    }
    const double paintedPerBurst = static_cast<double>(pushes) / bursts;
    layeredWindowUpdate = realPush;

    std::printf("repaint_bench: 580 x 474 layered host, %zu controls, times in microseconds "
                "(median)\n\n",
                controls.size());
    std::printf("%-22s %10s %10s %9s %9s\n", "", "cost", "floor", "ratio", "goal");
    Row("rectangle repaint", rectangle, 1.25);
    Row("control repaint", control, 1.5);
    Row("skin redraw", skin, 1.5);
    std::printf("\n%-34s %6.2f  (goal 1)  %s\n", "pushes per burst of 10 Invalidate", postedPerBurst,
                postedPerBurst == 1.0 ? "ok" : "OVER");
    std::printf("%-34s %6.2f  (goal 1)  %s\n", "pushes per burst of 10 paints", paintedPerBurst,
                paintedPerBurst == 1.0 ? "ok" : "OVER");

    // --show SECONDS keeps the window on screen afterwards, to look at.
    if (argc > 2 && std::string(argv[1]) == "--show") {
        DWORD until = GetTickCount() + 1000u * static_cast<DWORD>(std::atoi(argv[2]));
        while (GetTickCount() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
    }
    DestroyWindow(window);
    Pump();
    return 0;
}
