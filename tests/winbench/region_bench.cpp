// Speed of the region overlay under Wine, printed as figures:
//   one drag step (veil over the last selection, new hole, outline, handles),
//   the same step with the whole overlay repainted first, for comparison,
//   and the time from the Alt+Num2 hotkey to the veil on screen.
// Run in a session:  tests/wine/session.sh run DIR build/windows/tests/region_bench.exe
// (KADRIX_SCREEN=1920x1080 for a bigger screen).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Harness.h"
#include "region/DlgScreenRect.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

void Print(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double sample : samples) sum += sample;
    std::printf("%-44s n=%3zu  median %7.2f ms  mean %7.2f ms  p95 %7.2f ms  max %7.2f ms\n", what, samples.size(),
                samples[samples.size() / 2], sum / samples.size(), samples[samples.size() * 95 / 100], samples.back());
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Pointer path from the press point outward and back: small and screen-sized selections.
std::vector<double> DragSteps(HWND overlay, int width, int height, bool repaint_whole_first) {
    SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    std::vector<double> samples;
    const int steps = 120;
    for (int i = 0; i < steps; ++i) {
        const int t = i < steps / 2 ? i : steps - i;
        const int x = 20 + (width - 40) * t / (steps / 2);
        const int y = 20 + (height - 40) * t / (steps / 2);
        const auto start = Clock::now();
        if (repaint_whole_first) {
            InvalidateRect(overlay, nullptr, TRUE);
            UpdateWindow(overlay);
        }
        SendMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
        GdiFlush();
        samples.push_back(Milliseconds(Clock::now() - start));
    }
    ReleaseCapture();
    return samples;
}

void MeasureDragSteps() {
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    std::printf("screen %d x %d\n", width, height);
    kadrix::TFormScreenRect overlay;
    overlay.SetBounds(0, 0, width, height);
    ShowWindow(overlay.handle(), SW_SHOW);
    UpdateWindow(overlay.handle());
    Print("drag step (as built)", DragSteps(overlay.handle(), width, height, false));
    Print("drag step after a whole-overlay repaint", DragSteps(overlay.handle(), width, height, true));
}

void MeasureHotkeyToOverlay() {
    e2e::ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = e2e::FreshFolder(L"region-bench").wstring()});
    e2e::Program program = e2e::Program::Start();
    const COLORREF veil = GetSysColor(COLOR_BTNFACE);
    const POINT probe{GetSystemMetrics(SM_CXSCREEN) - 50, GetSystemMetrics(SM_CYSCREEN) / 2};
    std::vector<double> samples;
    for (int round = 0; round < 10; ++round) {
        e2e::MoveMouse({probe.x, probe.y + 10});
        const auto start = Clock::now();
        e2e::PressHotkey(2);
        // Polled without pauses: the figure is as fine as one screen read.
        while (e2e::ScreenPixel(probe) != veil)
            if (Clock::now() - start > std::chrono::seconds(5)) break;
        samples.push_back(Milliseconds(Clock::now() - start));
        e2e::PressKeys({VK_ESCAPE});
        e2e::WaitFor([&] { return program.VisibleWindows(L"TFormScreenRect").empty() && e2e::IsShown(program.MainWindow()); });
        e2e::WaitFor([&] { return e2e::ScreenPixel(probe) != veil; });
    }
    Print("hotkey to veil on screen", samples);
}

}  // namespace

int main() {
    MeasureDragSteps();
    MeasureHotkeyToOverlay();
    return 0;
}
