#pragma once
// Live GDI objects of this process. Where GetGuiResources is only a stub (Wine), the
// highest handle-table slot that a burst of fresh objects lands in stands in for it:
// freed slots are reused, so it only climbs when objects are left behind.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/Win32Handles.h"

namespace kadrix::test {

inline long gdiLevel() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    constexpr int kProbes = 256;
    std::vector<unique_hbrush> probes;
    long highest = 0;
    for (int i = 0; i < kProbes; ++i) {
        probes.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
        highest = std::max(highest, static_cast<long>(reinterpret_cast<std::uintptr_t>(probes.back().get()) & 0xFFFF));
    }
    return highest;
}

}  // namespace kadrix::test
