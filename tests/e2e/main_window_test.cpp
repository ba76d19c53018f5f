// Start-up, the main window's form, show/hide, closing, and the hotkeys' lifetime.
#include <gtest/gtest.h>

#include "Harness.h"

#include <shellapi.h>
#include "app/Commands.h"

namespace e2e {
namespace {

using kadrix::Command;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring()}); }
    std::filesystem::path folder = FreshFolder(L"main-window");
};

TEST_F(MainWindow, StartsWithItsFormAndTrayIcon) {
    Program program = Program::Start();
    HWND main = program.MainWindow();
    EXPECT_EQ(WindowText(main), L"Tavik Кадрикс");
    const SIZE client = ClientSize(main);
    EXPECT_EQ(client.cx, 500);
    EXPECT_EQ(client.cy, 299);
    EXPECT_FALSE(GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZEBOX);
    EXPECT_FALSE(GetWindowLongW(main, GWL_STYLE) & WS_THICKFRAME);

    const struct {
        Command id;
        RECT rect;  // left, top, right, bottom in the client area
        const wchar_t* text;
    } components[] = {
        {kadrix::cmdScreen, {112, 192, 389, 258}, L""},
        {kadrix::cmdSettings, {402, 8, 443, 49}, L""},
        {kadrix::cmdAbout, {449, 7, 490, 49}, L""},
        {kadrix::cmdActiveWindow, {8, 72, 121, 157}, L"Сделать\r\nснимок окна"},
        {kadrix::cmdRegion, {379, 72, 492, 157}, L"Сделать\r\nснимок области"},
    };
    for (const auto& component : components) {
        HWND control = program.Control(component.id);
        ASSERT_NE(control, nullptr) << component.id;
        const RECT rect = ChildRectInParent(control);
        EXPECT_EQ(rect.left, component.rect.left) << component.id;
        EXPECT_EQ(rect.top, component.rect.top) << component.id;
        EXPECT_EQ(rect.right, component.rect.right) << component.id;
        EXPECT_EQ(rect.bottom, component.rect.bottom) << component.id;
        EXPECT_EQ(WindowText(control), component.text) << component.id;
    }
    HWND label = program.Control(kadrix::cmdVkGroup);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(WindowText(label), L"Группа вконтакте");
    EXPECT_EQ(ChildRectInParent(label).left, 8);
    EXPECT_EQ(ChildRectInParent(label).top, 8);

    // Keyboard order: the settings button first, then About, window and region.
    HWND first = GetNextDlgTabItem(main, nullptr, FALSE);
    EXPECT_EQ(GetDlgCtrlID(first), kadrix::cmdSettings);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(main, first, FALSE)), kadrix::cmdAbout);

    NOTIFYICONDATAW probe{sizeof(probe)};
    probe.hWnd = main;
    probe.uID = kadrix::kTrayIconId;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the tray icon is not there";
}

TEST_F(MainWindow, TrayDoubleClickAndMenuItemHideAndShow) {
    Program program = Program::Start();
    HWND main = program.MainWindow();
    ASSERT_TRUE(DoubleClickTrayIcon([&] { return !IsShown(main); }));
    ASSERT_TRUE(DoubleClickTrayIcon([&] { return IsShown(main); }));

    // The fifth item, after three captures and a separator.
    ASSERT_TRUE(OpenTrayMenu());
    for (int step = 0; step < 4; ++step) PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !IsShown(main); }));
}

TEST_F(MainWindow, ExitItemAndCloseBoxEndTheProgramAndFreeTheHotkeys) {
    for (const bool through_menu : {true, false}) {
        Program program = Program::Start();
        if (through_menu) {
            ASSERT_TRUE(OpenTrayMenu());
            PressKeys({VK_UP});  // the last item, "Выход"
            PressKeys({VK_RETURN});
        } else {
            PostMessageW(program.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        ASSERT_TRUE(program.WaitForExit()) << through_menu;
        for (int id = 0; id < 3; ++id) {
            EXPECT_TRUE(RegisterHotKey(nullptr, 100 + id, MOD_ALT, VK_NUMPAD0 + id)) << id;
            UnregisterHotKey(nullptr, 100 + id);
        }
    }
}

TEST_F(MainWindow, HotkeysCaptureAlsoWhileHidden) {
    Program program = Program::Start();
    PostMessageW(program.MainWindow(), WM_COMMAND, kadrix::cmdShowHide, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsShown(program.MainWindow()); }));
    PressHotkey(0);
    const auto files = WaitForFiles(folder, 1);
    ASSERT_EQ(files.size(), 1u) << program.State();
    EXPECT_EQ(files[0].extension(), L".bmp");
    EXPECT_FALSE(IsShown(program.MainWindow()));
}

TEST_F(MainWindow, CaptureWhileMinimisedLeavesItMinimised) {
    Program program = Program::Start();
    HWND main = program.MainWindow();
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(main); }));
    RunHotkey(program, 0);
    ASSERT_EQ(WaitForFiles(folder, 1).size(), 1u);
    EXPECT_TRUE(IsWindowVisible(main)) << "its taskbar button is back";
    EXPECT_TRUE(IsIconic(main)) << "the capture restored it";
}

TEST_F(MainWindow, UnknownHotkeyIdentifierDoesNothing) {
    Program program = Program::Start();
    PostMessageW(program.MainWindow(), WM_HOTKEY, 3, MAKELPARAM(MOD_ALT, VK_NUMPAD3));
    PostMessageW(program.MainWindow(), WM_HOTKEY, 0, MAKELPARAM(MOD_ALT, VK_NUMPAD0));
    // The known identifier's file shows the message queue got past the unknown one.
    ASSERT_EQ(WaitForFiles(folder, 1).size(), 1u);
    EXPECT_EQ(FilesIn(folder).size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return IsShown(program.MainWindow()); })) << "shown again after the capture";
}

TEST_F(MainWindow, SecondInstanceStartsWithoutTheHotkeys) {
    Program first = Program::Start();
    Program second = Program::Start();
    EXPECT_NE(first.MainWindow(), second.MainWindow());
    EXPECT_FALSE(RegisterHotKey(nullptr, 100, MOD_ALT, VK_NUMPAD0));
    EXPECT_EQ(GetLastError(), 1409u);

    PostMessageW(first.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit());
    // The second instance never got them: they are free once the first has gone.
    EXPECT_TRUE(RegisterHotKey(nullptr, 100, MOD_ALT, VK_NUMPAD0));
    UnregisterHotKey(nullptr, 100);
    EXPECT_TRUE(second.Running());
}

TEST_F(MainWindow, TaskbarCreatedAddsTheIconAgain) {
    Program program = Program::Start();
    NOTIFYICONDATAW icon{sizeof(icon)};
    icon.hWnd = program.MainWindow();
    icon.uID = kadrix::kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &icon));
    SendMessageW(program.MainWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
}

}  // namespace
}  // namespace e2e
