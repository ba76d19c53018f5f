// The notification-area icon. Wine's tray takes every icon at once; Windows refuses
// NIM_ADD while Explorer is not ready (at logon, during a restart) and may let a busy
// call time out after taking the icon. The icon talks here to a notification area that
// answers in those ways.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>

#include "Harness.h"
#include "app/TrayIcon.h"
#include "imaging/Bitmap.h"
#include "real_pixels.h"
#include "resources/ResourceIds.h"

namespace kadrix {
namespace {

using namespace std::chrono_literals;

constexpr UINT kId = 7;
constexpr UINT kCallback = WM_APP + 9;

// A notification area that refuses the next `refusals` adds.
struct FakeArea {
    int refusals = 0;
    bool refused_add_takes_icon = false;  // a call that timed out after Explorer took the icon
    int adds = 0;
    std::set<std::pair<HWND, UINT>> icons;
    HICON last_picture = nullptr;
    HWND filtered_window = nullptr;
    UINT filtered_message = 0;
    DWORD filter_action = 0;
};
FakeArea area;

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    const std::pair<HWND, UINT> key{data->hWnd, data->uID};
    switch (message) {
    case NIM_ADD:
        ++area.adds;
        area.last_picture = data->hIcon;
        if (area.icons.count(key)) return FALSE;
        if (area.refusals > 0) {
            --area.refusals;
            if (area.refused_add_takes_icon) area.icons.insert(key);
            return FALSE;
        }
        area.icons.insert(key);
        return TRUE;
    case NIM_MODIFY:
        return area.icons.count(key) != 0;
    case NIM_DELETE:
        return area.icons.erase(key) != 0;
    }
    return FALSE;
}

BOOL WINAPI FakeMessageFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    area.filtered_window = window;
    area.filtered_message = message;
    area.filter_action = action;
    return TRUE;
}

const TrayShell kFakeShell{&FakeNotifyIcon, &FakeMessageFilter};

// The owner passes its messages to the icon first, as the main window does.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* icon = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (icon && icon->HandleMessage(message, wparam)) return 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

unique_hwnd CreateOwner() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = OwnerProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TrayIconOwner";
    RegisterClassW(&window_class);
    return unique_hwnd(CreateWindowExW(0, window_class.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       window_class.hInstance, nullptr));
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        area = {};
        owner_ = CreateOwner();
        ASSERT_TRUE(owner_);
    }

    // The owner outlives the icon: its last messages must not reach it.
    void TearDown() override {
        if (owner_) SetWindowLongPtrW(owner_.get(), GWLP_USERDATA, 0);
    }

    void Start() {
        icon_ = std::make_unique<TrayIcon>(owner_.get(), kId, kCallback, resources_.module(), IDI_TRAY, L"tip",
                                           kFakeShell);
        SetWindowLongPtrW(owner_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(icon_.get()));
    }

    // Runs the owner's messages for `span`, or until `done` holds.
    void Pump(e2e::Duration span, const std::function<bool()>& done = [] { return false; }) {
        e2e::WaitFor([&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            return done();
        }, span, 5ms);
    }

    e2e::ProgramResources resources_;
    unique_hwnd owner_;
    std::unique_ptr<TrayIcon> icon_;
};

TEST_F(TrayIconTest, RefusedAddsAreTriedAgainUntilOneIconIsThere) {
    const struct {
        int refusals;
        bool refused_add_takes_icon;
        int adds;  // in all, the one that took the icon included
    } kCases[] = {
        {3, false, 4},
        {1, true, 1},  // the timed-out call left the icon there: nothing to add again
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.refusals << " refused, "
                                        << (c.refused_add_takes_icon ? "taken" : "not taken"));
        area = {};
        area.refusals = c.refusals;
        area.refused_add_takes_icon = c.refused_add_takes_icon;
        Start();
        Pump(10s, [] { return !area.icons.empty(); });
        // Long past the next try's time: no further add.
        Pump(2s);
        EXPECT_EQ(area.adds, c.adds);
        EXPECT_EQ(area.icons.size(), 1u);
        icon_.reset();
        EXPECT_TRUE(area.icons.empty()) << "the icon leaves with its owner's icon object";
    }
}

TEST_F(TrayIconTest, RetriesSlowDownWhileTheAreaIsNotReady) {
    area.refusals = 1000;
    Start();
    Pump(3s);
    // The first at once, then 0.1, 0.3, 0.7 and 1.5 s after it: five in three seconds
    // (fewer on a busy machine); thirty at a fixed 100 ms.
    EXPECT_GE(area.adds, 3) << "still trying";
    EXPECT_LE(area.adds, 10) << "too often for an area that is not ready";
    EXPECT_TRUE(area.icons.empty());
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheIconAgainAndIsLetInFromExplorer) {
    Start();
    ASSERT_EQ(area.adds, 1);
    const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_EQ(area.filtered_window, owner_.get());
    EXPECT_EQ(area.filtered_message, taskbar_created);
    EXPECT_EQ(area.filter_action, static_cast<DWORD>(MSGFLT_ALLOW));

    // A new Explorer that is not ready at once.
    area.icons.clear();
    area.refusals = 3;
    SendMessageW(owner_.get(), taskbar_created, 0, 0);
    Pump(10s, [] { return !area.icons.empty(); });
    EXPECT_EQ(area.adds, 5);
    EXPECT_EQ(area.icons.size(), 1u);
}

// The notification area draws its icons at the real scale: 16, 20, 24 and 32 px at 100,
// 125, 150 and 200 %. Each size is the program's own picture, not the 16 px one stretched.
TEST(TrayPicture, EverySizeTheAreaUsesIsDrawnForIt) {
    const e2e::ProgramResources resources;
    const HMODULE module = resources.module();
    const auto drawn = [](HICON icon, int size) {
        Bitmap canvas;
        canvas.setPixelFormat(PixelFormat::Bits24);
        canvas.setSize(size, size);
        const RECT all{0, 0, size, size};
        FillRect(canvas.canvas(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(canvas.canvas(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        return test::PictureOf(canvas).pixels;
    };
    // The entry of the icon group that the system picks for a size, and its own size.
    const auto entry = [&](int size) {
        const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_TRAY), RT_GROUP_ICON);
        const auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory), TRUE, size, size, LR_DEFAULTCOLOR);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
        const int width = reinterpret_cast<const BITMAPINFOHEADER*>(bytes)->biWidth;
        return std::make_pair(width, unique_hicon(CreateIconFromResourceEx(bytes, SizeofResource(module, found), TRUE,
                                                                           0x00030000, width, width, 0)));
    };
    const auto [sixteen_width, sixteen] = entry(16);
    ASSERT_EQ(sixteen_width, 16);
    for (const int size : {20, 24, 32}) {
        SCOPED_TRACE(size);
        const auto [width, own] = entry(size);
        ASSERT_EQ(width, size) << "no picture of this size";
        const unique_hicon loaded(
            static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(loaded);
        const auto pixels = drawn(loaded.get(), size);
        EXPECT_TRUE(pixels == drawn(own.get(), size)) << "not the picture drawn for this size";
        EXPECT_FALSE(pixels == drawn(sixteen.get(), size)) << "the 16 px picture stretched";
    }
}

// The program declares no DPI awareness; its icon must still have the real size.
TEST(ScaledTrayPicture, IconHasTheSizeTheAreaDrawsAtTheRealScale) {
    const int real = GetSystemMetrics(SM_CXSMICON);
    const e2e::ProgramResources resources;
    area = {};
    int width = 0;
    ASSERT_TRUE(test::RunUnaware([&] {
        const unique_hwnd owner = CreateOwner();
        const TrayIcon icon(owner.get(), kId, kCallback, resources.module(), IDI_TRAY, L"tip", kFakeShell);
        ICONINFO info{};
        if (!area.last_picture || !GetIconInfo(area.last_picture, &info)) return;
        const unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
        BITMAP bitmap{};
        if (GetObjectW(colour.get(), sizeof(bitmap), &bitmap)) width = bitmap.bmWidth;
    }));
    EXPECT_EQ(width, real);
}

}  // namespace
}  // namespace kadrix
