// Capture timings, printed for the record: the grab alone, the BMP write alone, and a
// hotkey press until the file is closed. Run on a bigger screen with
// KADRIX_SCREEN=1920x1080 (a session of its own).
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "Harness.h"
#include "app/Win32Handles.h"
#include "imaging/Bitmap.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(Timing, GrabWriteAndHotkeyToFile) {
    constexpr int kRounds = 8;
    const std::filesystem::path folder = FreshFolder(L"timing");
    kadrix::Bitmap bitmap;
    bitmap.setPixelFormat(kadrix::PixelFormat::Bits24);
    bitmap.setSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    double grab = 0, write = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        {
            kadrix::WindowDC screen(nullptr);
            BitBlt(bitmap.canvas(), 0, 0, bitmap.width(), bitmap.height(), screen.get(), 0, 0, SRCCOPY);
        }
        grab += MillisecondsSince(start);
        start = Clock::now();
        bitmap.saveToFile((folder / L"alone.bmp").wstring());
        write += MillisecondsSince(start);
    }
    std::filesystem::remove(folder / L"alone.bmp");

    ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(), .need_cursor = 0,
                        .play_sound = 0});
    Program program = Program::Start();
    double whole = 0;
    for (int round = 1; round <= kRounds; ++round) {
        const auto start = Clock::now();
        PressHotkey(0);
        ASSERT_EQ(WaitForFiles(folder, static_cast<std::size_t>(round)).size(), static_cast<std::size_t>(round));
        whole += MillisecondsSince(start);
    }
    std::cout << "screen " << bitmap.width() << " x " << bitmap.height() << ": grab " << grab / kRounds
              << " ms, BMP write " << write / kRounds << " ms, hotkey to file closed " << whole / kRounds
              << " ms (mean of " << kRounds << ")\n";
}

}  // namespace
}  // namespace e2e
