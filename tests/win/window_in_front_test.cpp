// Which window a command chosen from the tray acts on: the user's, also when the click on
// the notification area has made the taskbar the foreground, as it does on Windows.
#include <gtest/gtest.h>

#include "app/Win32Handles.h"
#include "app/WindowInFront.h"

namespace kadrix {
namespace {

// No window belongs to process 0: every window of this test counts as another program's.
constexpr DWORD kNoProgram = 0;

unique_hwnd MakeWindow(const wchar_t* window_class, DWORD ex_style, int show) {
    unique_hwnd window(CreateWindowExW(ex_style, window_class, L"", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr));
    ShowWindow(window.get(), show);
    return window;
}

class WindowInFront : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW taskbar_class{};
        taskbar_class.lpfnWndProc = DefWindowProcW;
        taskbar_class.hInstance = GetModuleHandleW(nullptr);
        taskbar_class.lpszClassName = L"Shell_TrayWnd";  // this process's own, named as the shell's
        ASSERT_TRUE(RegisterClassW(&taskbar_class));
    }
    void TearDown() override { UnregisterClassW(L"Shell_TrayWnd", GetModuleHandleW(nullptr)); }
};

TEST_F(WindowInFront, TheTaskbarInFrontGivesTheFirstUserWindowBeneathIt) {
    // Made bottom to top: each new window goes above the ones before.
    const unique_hwnd user = MakeWindow(L"Static", 0, SW_SHOWNORMAL);
    const unique_hwnd hidden = MakeWindow(L"Static", 0, SW_HIDE);
    const unique_hwnd tool = MakeWindow(L"Static", WS_EX_TOOLWINDOW, SW_SHOWNOACTIVATE);
    const unique_hwnd minimised = MakeWindow(L"Static", 0, SW_SHOWMINNOACTIVE);
    const unique_hwnd taskbar = MakeWindow(L"Shell_TrayWnd", WS_EX_TOPMOST | WS_EX_TOOLWINDOW, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(user && hidden && tool && minimised && taskbar);
    SetWindowPos(taskbar.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    EXPECT_EQ(UserWindowInFront(taskbar.get(), kNoProgram), user.get());
    EXPECT_EQ(UserWindowInFront(user.get(), kNoProgram), user.get()) << "a user's window in front is itself";
    EXPECT_EQ(UserWindowInFront(taskbar.get(), GetCurrentProcessId()), nullptr)
        << "the program's own windows are never the user's";
    EXPECT_EQ(UserWindowInFront(nullptr, kNoProgram), nullptr);
}

}  // namespace
}  // namespace kadrix
