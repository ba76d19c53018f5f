// What opening and closing the settings dialog costs the process, counted from inside
// it: Wine answers GetGuiResources with 0, so GDI objects are counted in the process's
// GDI handle table instead (the table the platform keeps behind GdiSharedHandleTable).
#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "settings/DlgSettings.h"
#include "settings/Shobjidl.h"

namespace kadrix {
namespace {

// One entry of the GDI handle table as Windows x64 and Wine lay it out.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user_pointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleCount = 0x10000;
constexpr std::size_t kGdiSharedHandleTableOffset = 0xF8;  // in the x64 PEB

long GdiObjects() {
    const auto* peb = reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kGdiSharedHandleTableOffset);
    if (!table) return -1;
    long count = 0;
    for (std::size_t i = 0; i < kGdiHandleCount; ++i) count += table[i].type != 0;
    return count;
}

long UserWindows() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM c) {
        ++*reinterpret_cast<long*>(c);
        EnumChildWindows(window, [](HWND, LPARAM c2) { return ++*reinterpret_cast<long*>(c2), TRUE; }, c);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct Counts {
    long gdi, windows;
    DWORD gui_gdi, gui_user, handles;
};

Counts Now() {
    Counts c{GdiObjects(), UserWindows(), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
             GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), 0};
    GetProcessHandleCount(GetCurrentProcess(), &c.handles);
    return c;
}

// One settings command's dialog life: made, filled, shown, closed by its close box, freed.
int DialogCycle() {
    TFormSetting form(nullptr);
    OptionsRecord options{3, true, L"C:\\users\\Public\\Pictures", true, true};
    form.Fill(options);
    PostMessageW(form.handle(), WM_CLOSE, 0, 0);
    return form.ShowModal();
}

TEST(SettingsResources, TwoHundredDialogsLeaveGdiObjectsWindowsAndHandlesFlat) {
    ASSERT_EQ(DialogCycle(), mrCancel);  // warms up classes, fonts and the common controls
    const Counts before = Now();
    for (int cycle = 0; cycle < 200; ++cycle) ASSERT_EQ(DialogCycle(), mrCancel) << cycle;
    const Counts after = Now();
    std::printf("[ figures  ] 200 settings dialogs in-process: GDI table objects %ld -> %ld, windows %ld -> %ld, "
                "GetGuiResources GDI %lu -> %lu, USER %lu -> %lu, handles %lu -> %lu\n",
                before.gdi, after.gdi, before.windows, after.windows, before.gui_gdi, after.gui_gdi, before.gui_user,
                after.gui_user, before.handles, after.handles);
    ASSERT_GT(before.gdi, 0) << "no GDI handle table to count in";
    {
        const unique_hbrush probe(CreateSolidBrush(RGB(1, 2, 3)));  // the count must see one more object
        EXPECT_EQ(GdiObjects(), after.gdi + 1);
    }
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.windows, before.windows);
    // GetGuiResources and the handle count read 0 under Wine: printed for Windows, not held.
}

// One chooser, cancelled by a helper thread as soon as its window shows.
bool ChooserCycle() {
    std::atomic<bool> done = false;
    std::thread canceller([&done, thread = GetCurrentThreadId()] {
        while (!done) {
            EnumThreadWindows(thread, [](HWND window, LPARAM) {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (IsWindowVisible(window) && std::wstring_view(name) == L"#32770")
                    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return TRUE;
            }, 0);
            Sleep(10);  // polling a window that another thread is still creating
        }
    });
    std::wstring path = L"unchanged";
    const bool accepted = SelectFolder(nullptr, L"Выберите папку", L"C:\\windows", path);
    done = true;
    canceller.join();
    return !accepted && path == L"unchanged";
}

TEST(SettingsResources, FiftyCancelledChoosersLeaveGdiObjectsAndWindowsFlat) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_TRUE(ChooserCycle());  // the first one loads the shell's libraries
    const Counts before = Now();
    for (int cycle = 0; cycle < 50; ++cycle) ASSERT_TRUE(ChooserCycle()) << cycle;
    const Counts after = Now();
    CoUninitialize();
    std::printf("[ figures  ] 50 folder choosers in-process: GDI table objects %ld -> %ld, windows %ld -> %ld\n",
                before.gdi, after.gdi, before.windows, after.windows);
    // Wine's shell caches icons as the chooser meets new kinds of files; a leak of one
    // object a cycle would still show as 50.
    EXPECT_LE(after.gdi, before.gdi + 32);
    EXPECT_LE(after.windows, before.windows);
}

}  // namespace
}  // namespace kadrix
