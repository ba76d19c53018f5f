// The one window base and the one modal loop: where a handler's error goes, and what a
// modal run leaves behind.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "app/Error.h"
#include "app/ModalResult.h"
#include "app/ModalRun.h"
#include "app/Window.h"
#include "app/WindowClass.h"
#include "error_box_watch.h"

namespace kadrix {
namespace {

using test::ErrorBoxWatch;

constexpr const wchar_t* kTestClass = L"KadrixWindowBaseTest";
constexpr UINT kFail = WM_APP + 1;  // the handler throws
constexpr UINT kEnd = WM_APP + 2;   // the handler ends its modal run
constexpr UINT kNest = WM_APP + 3;  // the handler calls `nested`

// A handler whose messages can be made to fail, on a window of its own or attached
// to another's.
class Probe : private MessageHandler {
public:
    explicit Probe(UINT fail_on = kFail) : fail_on_(fail_on) {}

    void Create(HWND owner = nullptr, DWORD style = WS_POPUP) {
        RegisterWindowClass({.name = kTestClass});
        window_.Create({.window_class = kTestClass, .style = style, .frame = {0, 0, 200, 100}, .parent = owner});
    }
    void Attach(HWND control) { window_.Attach(control); }
    HWND handle() const noexcept { return window_.get(); }
    int Run(const std::function<void()>& shown = [] {}) {
        return modal_.Run(handle(), ModalKeys::Window, [&] {
            ShowWindow(handle(), SW_SHOW);
            shown();
        });
    }

    std::function<void()> nested;

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == fail_on_) throw Error(L"Сбой " + std::to_wstring(message));
        if (message == kEnd) modal_.End(mrOk);
        if (message == kNest && nested) nested();
        return window_.Default(message, wparam, lparam);
    }

    UINT fail_on_;
    ModalRun modal_;
    Window window_{*this};
};

std::wstring ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.text();
    }
    return L"";
}

TEST(WindowBase, AHandlerThatFailsWhileTheWindowIsMadeFailsTheCreationAndLeavesNoWindow) {
    Probe probe(WM_CREATE);
    ErrorBoxWatch box;
    EXPECT_EQ(ThrownText([&] { probe.Create(); }), L"Сбой " + std::to_wstring(WM_CREATE));
    EXPECT_EQ(probe.handle(), nullptr);
    EXPECT_TRUE(box.Texts().empty()) << "the creator reports it, not a box";
}

TEST(WindowBase, AnErrorOutsideAnyModalRunGoesToTheErrorBox) {
    Probe probe;
    probe.Create();
    ErrorBoxWatch box;
    SendMessageW(probe.handle(), kFail, 0, 0);
    EXPECT_NE(box.Texts().find(L"Сбой"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(probe.handle()));
}

// The window's own error and its attached control's error both end its run and come
// out of Run, after the others are enabled again and the window is hidden.
TEST(WindowBase, AnErrorInAModalWindowOrItsControlEndsTheRunAndIsThrownAfterIt) {
    for (const bool in_control : {false, true}) {
        Probe outside, modal, control;
        outside.Create();
        modal.Create();
        const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, modal.handle(), nullptr,
                                           GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(child);
        control.Attach(child);
        ShowWindow(outside.handle(), SW_SHOW);
        PostMessageW(in_control ? child : modal.handle(), kFail, 0, 0);
        ErrorBoxWatch box;
        EXPECT_EQ(ThrownText([&] { modal.Run(); }), L"Сбой " + std::to_wstring(kFail)) << in_control;
        EXPECT_TRUE(box.Texts().empty()) << in_control;
        EXPECT_TRUE(IsWindowEnabled(outside.handle())) << in_control;
        EXPECT_FALSE(IsWindowVisible(modal.handle())) << in_control;
    }
}

// A run inside a run, as About from the tray over the settings: the inner one disables
// the outer modal window and gives it back, while the window the outer run disabled
// stays disabled until the outer run ends.
TEST(WindowBase, ANestedRunGivesBackOnlyWhatItTook) {
    Probe main, outer, inner;
    main.Create();
    outer.Create();
    inner.Create(outer.handle());
    ShowWindow(main.handle(), SW_SHOW);
    bool outer_enabled_under_inner = true, outer_enabled_after_inner = false, main_enabled_after_inner = true;
    outer.nested = [&] {
        PostMessageW(inner.handle(), kEnd, 0, 0);
        EXPECT_EQ(inner.Run([&] { outer_enabled_under_inner = IsWindowEnabled(outer.handle()); }), mrOk);
        outer_enabled_after_inner = IsWindowEnabled(outer.handle());
        main_enabled_after_inner = IsWindowEnabled(main.handle());
        PostMessageW(outer.handle(), kEnd, 0, 0);
    };
    PostMessageW(outer.handle(), kNest, 0, 0);
    EXPECT_EQ(outer.Run(), mrOk);
    EXPECT_FALSE(outer_enabled_under_inner);
    EXPECT_TRUE(outer_enabled_after_inner);
    EXPECT_FALSE(main_enabled_after_inner);
    EXPECT_TRUE(IsWindowEnabled(main.handle()));
}

// The program's end during a run cancels it and leaves the quit to the main loop.
TEST(WindowBase, AQuitDuringARunCancelsItAndReachesTheMainLoop) {
    Probe modal;
    modal.Create();
    PostQuitMessage(7);
    EXPECT_EQ(modal.Run(), mrCancel);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace kadrix
