// Captures through the real program: what lands in files and on the clipboard.
#include <gtest/gtest.h>

#include "Harness.h"

#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "app/Commands.h"
#include "app/ScopeExit.h"
#include "app/TavikConsts.h"
#include "capture/TimeName.h"
#include "tests/win/session_claim.h"

namespace e2e {
namespace {

class Capture : public ::testing::Test {
protected:
    std::filesystem::path folder = FreshFolder(L"capture");

    // With the sound on; `program` names another copy of it, such as one whose sound Wine
    // finds (PlainNamedCopyOfProgram).
    Program StartWith(DWORD format, DWORD need_save = 1, std::wstring path = {},
                      const std::filesystem::path& program = {}) {
        ResetStoredOptions({.img_format = format, .need_save = need_save,
                            .save_path = path.empty() ? folder.wstring() : path, .need_cursor = 0, .play_sound = 1});
        return program.empty() ? Program::Start() : Program::Start(program.wstring());
    }
};

// Pixels at scattered points away from the main window, which hides for the grab.
void ExpectSameAsScreen(const Picture& picture, const Picture& screen, const RECT& skip) {
    ASSERT_EQ(picture.width, screen.width);
    ASSERT_EQ(picture.height, screen.height);
    int compared = 0;
    for (int y = 5; y < screen.height; y += 37)
        for (int x = 3; x < screen.width; x += 41) {
            if (x >= skip.left && x < skip.right && y >= skip.top && y < skip.bottom) continue;
            ASSERT_EQ(picture.at({x, y}), screen.at({x, y})) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 300);
}

// The names of captures taken between `first` and `last` (local times): one a millisecond.
std::vector<std::wstring> TimeNamesBetween(const SYSTEMTIME& first, const SYSTEMTIME& last) {
    auto ticks = [](const SYSTEMTIME& time) {
        FILETIME file{};
        SystemTimeToFileTime(&time, &file);
        return ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart;
    };
    constexpr ULONGLONG kMillisecond = 10'000;
    std::vector<std::wstring> names;
    for (ULONGLONG at = ticks(first) / kMillisecond * kMillisecond; at <= ticks(last); at += kMillisecond) {
        const ULARGE_INTEGER value{.QuadPart = at};
        const FILETIME file{value.LowPart, value.HighPart};
        SYSTEMTIME t{};
        FileTimeToSystemTime(&file, &t);
        names.push_back(kadrix::FormatTimeName({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds}));
    }
    return names;
}

// The screen as the session claims it, else as the system reports it.
SIZE ScreenSize() {
    if (const auto claim = kadrix::test::SessionClaim(); claim && claim->screen.cx) return claim->screen;
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TEST_F(Capture, DesktopHotkeyWritesTheScreenAsBmpIntoACreatedFolderTree) {
    const std::filesystem::path tree = folder / L"2017" / L"January";
    Program program = StartWith(0, 1, tree.wstring());
    const RECT main = WindowRectOnScreen(program.MainWindow());
    SYSTEMTIME pressed{}, written{};
    GetLocalTime(&pressed);
    PressHotkey(0);
    const auto files = WaitForFiles(tree, 1);
    GetLocalTime(&written);
    ASSERT_EQ(files.size(), 1u) << program.State();
    const Picture screen = ScreenPicture({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});

    // Named after the time it was taken, which may lie on either side of a midnight.
    EXPECT_EQ(files[0].extension(), L".bmp");
    const std::vector<std::wstring> names = TimeNamesBetween(pressed, written);
    EXPECT_TRUE(std::ranges::find(names, files[0].stem().wstring()) != names.end())
        << files[0].filename() << " is no time between " << names.front() << " and " << names.back();
    const SIZE size = ScreenSize();
    const std::uintmax_t row_bytes = (static_cast<std::uintmax_t>(size.cx) * 3 + 3) / 4 * 4;
    EXPECT_EQ(std::filesystem::file_size(files[0]), 54 + row_bytes * size.cy)
        << size.cx << " x " << size.cy << " at 24 bits, rows padded to 4 bytes, after the 54-byte headers";

    const auto bytes = ReadFileBytes(files[0]);
    EXPECT_EQ(bytes.at(28), 24) << "bits per pixel";
    ExpectSameAsScreen(ReadBmpFile(files[0]), screen, main);
    EXPECT_TRUE(WaitFor([&] { return IsShown(program.MainWindow()); })) << "the window comes back";
}

TEST_F(Capture, WithoutAStoredFolderCapturesGoToTheUsersOwnPictures) {
    ResetStoredOptions({.img_format = 0, .need_save = 1, .need_cursor = 0, .play_sound = 0});
    const std::filesystem::path pictures = UsersPictures();
    const std::vector<std::filesystem::path> before = FilesIn(pictures);
    Program program = Program::Start();
    RunHotkey(program, 0);
    std::vector<std::filesystem::path> added = WaitForFiles(pictures, before.size() + 1);
    std::erase_if(added, [&](const auto& file) { return std::ranges::find(before, file) != before.end(); });
    const kadrix::ScopeExit remove_added([&] {
        for (const auto& file : added) std::filesystem::remove(file);
    });
    ASSERT_EQ(added.size(), 1u) << kadrix::ToUtf8(pictures.wstring()) << ": " << program.State();
    EXPECT_EQ(added[0].extension(), L".bmp");
}

TEST_F(Capture, ClipboardOutputHoldsTheScreenAndWritesNoFile) {
    EmptyTheClipboard();
    Program program = StartWith(0, 0);
    const RECT main = WindowRectOnScreen(program.MainWindow());
    RunHotkey(program, 0);
    const Picture screen = ScreenPicture({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    ExpectSameAsScreen(ClipboardPicture(), screen, main);
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(Capture, WindowHotkeyCapturesTheForegroundWindow) {
    Program program = StartWith(0);
    const kadrix::unique_hbrush red(CreateSolidBrush(RGB(200, 30, 40)));
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = red.get();
    window_class.lpszClassName = L"CaptureTarget";
    ASSERT_TRUE(RegisterClassW(&window_class));
    const kadrix::ScopeExit unregister([&] { UnregisterClassW(window_class.lpszClassName, window_class.hInstance); });
    const kadrix::unique_hwnd window(CreateWindowExW(0, window_class.lpszClassName, L"Цель", WS_POPUP | WS_VISIBLE,
                                                     60, 80, 320, 180, nullptr, nullptr, window_class.hInstance,
                                                     nullptr));
    HWND target = window.get();
    ASSERT_NE(target, nullptr);
    SetForegroundWindow(target);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target && ScreenPixel({200, 170}) == RGB(200, 30, 40); }));

    PressHotkey(1);
    const auto files = WaitForFiles(folder, 1);
    ASSERT_EQ(files.size(), 1u) << program.State();
    const Picture picture = ReadBmpFile(files[0]);
    EXPECT_EQ(picture.width, 320);
    EXPECT_EQ(picture.height, 180);
    for (const POINT at : {POINT{0, 0}, POINT{319, 179}, POINT{160, 90}})
        if (picture.width == 320 && picture.height == 180) {
            EXPECT_EQ(picture.at(at), RGB(200, 30, 40)) << at.x << "," << at.y;
        }
}

TEST_F(Capture, EveryFormatIndexWritesItsFile) {
    const struct {
        DWORD index;
        const wchar_t* extension;  // null: nothing written
    } cases[] = {{1, L".png"}, {2, L".jpg"}, {3, L".jpg"}, {4, L".jpg"}, {5, nullptr}, {0xFFFFFFFF, nullptr}};
    // The same detailed picture under every capture, so the JPEG sizes compare qualities.
    const KnownPicture backdrop({0, 0, 1000, 700}, [](POINT p) -> COLORREF {
        return RGB((p.x * 7 + p.y) & 0xFF, (p.y * 3) & 0xFF, ((p.x ^ p.y) * 5) & 0xFF);
    });
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    std::vector<std::uintmax_t> jpeg_sizes;
    for (const auto& c : cases) {
        folder = FreshFolder(L"capture-formats");
        Program program = StartWith(c.index);
        RunHotkey(program, 0);
        const auto files = FilesIn(folder);
        if (!c.extension) {
            EXPECT_TRUE(files.empty()) << c.index;
            continue;
        }
        ASSERT_EQ(files.size(), 1u) << c.index;
        EXPECT_EQ(files[0].extension(), c.extension);
        const auto bytes = ReadFileBytes(files[0]);
        ASSERT_GT(bytes.size(), 8u);
        if (c.index == 1) {
            EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
        } else {
            EXPECT_TRUE(bytes[0] == 0xFF && bytes[1] == 0xD8);
            jpeg_sizes.push_back(bytes.size());
        }
    }
    ASSERT_EQ(jpeg_sizes.size(), 3u);
    EXPECT_LT(jpeg_sizes[0], jpeg_sizes[1]);
    EXPECT_LT(jpeg_sizes[1], jpeg_sizes[2]);
}

TEST_F(Capture, FolderThatCannotBeMadeShowsTheMessageOnceAndWritesNothing) {
    Program program = StartWith(0, 1, L"Q:\\Снимки");
    PostMessageW(program.MainWindow(), WM_HOTKEY, 0, 0);
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Tavik Кадрикс");
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"Не удалось создать путь для сохранения. Измените настройки.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.MainWindow());
    // Wine now and then loses a key press sent as the box comes up.
    const auto press_enter = [&] {
        SetForegroundWindow(box);
        PressKeys({VK_RETURN});
    };
    ASSERT_TRUE(SendUntil("Enter to the folder message", press_enter, [&] { return !IsWindow(box); },
                          "the box stayed"));
    EXPECT_TRUE(program.VisibleWindows(L"#32770").empty());
    EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// A desktop capture that must show the folder message (answered here) or must end
// without any message box; either way it has been handled on return.
void CaptureAnsweringTheFolderMessage(const Program& program, bool message) {
    if (!message) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(program.MainWindow(), WM_HOTKEY, 0, 0, SMTO_NORMAL, 10000, &result))
            << "the capture did not end: a message box is waiting";
        return;
    }
    PostMessageW(program.MainWindow(), WM_HOTKEY, 0, 0);
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"Не удалось создать путь для сохранения. Измените настройки.");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    SendMessageW(program.MainWindow(), WM_NULL, 0, 0);  // the capture has returned from the box
}

TEST_F(Capture, BadSavePathsNeitherCrashNorLeaveFiles) {
    const struct {
        std::wstring path;
        bool message;  // the folder message is expected
    } cases[] = {
        {L"relative\\missing", true},            // a relative path that reaches its first component
        {L"\\\\\\", false},                         // backslashes only: counts as present, the write fails
        {(folder / std::wstring(300, L'x')).wstring(), true},   // longer than a folder name may be
    };
    for (const auto& c : cases) {
        Program program = StartWith(0, 1, c.path);
        CaptureAnsweringTheFolderMessage(program, c.message);
        EXPECT_TRUE(program.Running()) << c.path.size();
        EXPECT_TRUE(program.VisibleWindows(L"#32770").empty()) << c.path.size();
        for (const auto& file : FilesIn(folder)) EXPECT_GT(std::filesystem::file_size(file), 0u) << file;
    }
}

// Clipboard history, clipboard managers and remote-desktop sharing hold the clipboard
// open for moments: a capture waits about a second for it, then gives up silently and
// leaves the other program's contents alone.
TEST_F(Capture, ClipboardHeldByAnotherProgramIsWaitedForAboutASecond) {
    const std::filesystem::path copy = PlainNamedCopyOfProgram(L"clipboard-program");
    const std::vector<std::uint8_t> samples = ProgramSoundSamples(copy);
    const struct {
        const char* name;
        Duration hold;
        bool lands;
    } cases[] = {
        {"held 300 ms", 300ms, true},
        {"held 5 s", 5s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Program program = StartWith(0, 0, {}, copy);
        PutClipboardText(L"метка");
        ForgetPlayedSound();
        const std::vector<DWORD> before = ThreadsOf(program.ProcessId());
        {
            const ClipboardHolder holder(c.hold);
            RunHotkey(program, 0);
            if (!c.lands) {
                EXPECT_TRUE(holder.Holding()) << "the capture ended only once the other program let go";
                DWORD_PTR result = 0;
                EXPECT_TRUE(SendMessageTimeoutW(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 200, &result))
                    << "the program does not answer at once after giving up";
            }
        }
        if (c.lands) {
            const std::optional<SIZE> held = ClipboardBitmapSize();
            ASSERT_TRUE(held.has_value()) << program.State();
            EXPECT_EQ(held->cx, ScreenSize().cx);
            EXPECT_EQ(held->cy, ScreenSize().cy);
            EXPECT_TRUE(WaitFor([&] { return SoundPlayed(samples); }, 5s));
        } else {
            EXPECT_FALSE(ClipboardBitmapSize().has_value());
            EXPECT_EQ(ClipboardText(), L"метка");
            // A sound would be played by a thread the capture starts (see the sound test).
            EXPECT_TRUE(WaitForNewThreadsToEnd(program.ProcessId(), before));
            EXPECT_FALSE(SoundPlayed(samples));
        }
        EXPECT_TRUE(program.Running());
        EXPECT_TRUE(program.VisibleWindows(L"#32770").empty()) << "a capture that cannot land says nothing";
    }
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// The session's small drives: F: holds 1 MB, less than a BMP of the screen; R: is
// read-only with one folder, "Снимки".
bool SmallDrivesPresent() {
    return GetFileAttributesW(L"F:\\") != INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesW(L"R:\\Снимки") != INVALID_FILE_ATTRIBUTES;
}

bool IsJpegFile(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(file);
    return bytes.size() > 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[bytes.size() - 2] == 0xFF &&
           bytes.back() == 0xD9;
}

TEST_F(Capture, FullDiskLeavesNoPartialFileAndLaterCapturesStillFit) {
    ASSERT_TRUE(SmallDrivesPresent()) << "the session has no small drives: mounting them needs root";
    const std::filesystem::path drive = L"F:\\";
    for (const auto& file : FilesIn(drive)) std::filesystem::remove(file);
    {
        Program program = StartWith(0, 1, drive.wstring());
        RunHotkey(program, 0);
        EXPECT_TRUE(program.Running());
        EXPECT_TRUE(program.VisibleWindows(L"#32770").empty());
        EXPECT_TRUE(FilesIn(drive).empty());
    }
    Program program = StartWith(2, 1, drive.wstring());  // a JPEG fits in the space the BMP gave back
    RunHotkey(program, 0);
    const auto files = FilesIn(drive);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(IsJpegFile(files[0]));
    std::filesystem::remove(files[0]);
}

TEST_F(Capture, ReadOnlyDiskWritesNothingAndReportsOnlyTheFolderItCannotMake) {
    ASSERT_TRUE(SmallDrivesPresent()) << "the session has no small drives: mounting them needs root";
    const struct {
        std::wstring path;
        bool message;
    } cases[] = {
        {L"R:\\Снимки", false},         // the folder is there; the file cannot be made
        {L"R:\\Снимки\\2017", true},   // the folder cannot be made
    };
    for (const auto& c : cases) {
        Program program = StartWith(0, 1, c.path);
        CaptureAnsweringTheFolderMessage(program, c.message);
        EXPECT_TRUE(program.Running()) << c.path;
        EXPECT_TRUE(program.VisibleWindows(L"#32770").empty()) << c.path;
        EXPECT_TRUE(FilesIn(L"R:\\Снимки").empty()) << c.path;
    }
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST_F(Capture, SoundFollowsEveryFinishedCaptureWhenSwitchedOn) {
    const std::filesystem::path copy = PlainNamedCopyOfProgram(L"sound-program");
    const std::vector<std::uint8_t> samples = ProgramSoundSamples(copy);
    const struct {
        DWORD format, need_save, play_sound;
        std::size_t files;
        bool sound;
    } cases[] = {
        {0, 1, 1, 1, true},   // a BMP file
        {5, 1, 1, 0, true},   // an unknown format writes nothing, yet the sound plays
        {0, 0, 1, 0, true},   // the clipboard
        {0, 1, 0, 1, false},  // switched off
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", save " << c.need_save << ", sound "
                                        << c.play_sound);
        const std::filesystem::path into = FreshFolder(L"sound");
        ResetStoredOptions({.img_format = c.format, .need_save = c.need_save, .save_path = into.wstring(),
                            .need_cursor = 0, .play_sound = c.play_sound});
        Program program = Program::Start(copy.wstring());
        ForgetPlayedSound();
        const std::vector<DWORD> before = ThreadsOf(program.ProcessId());
        RunHotkey(program, 0);
        EXPECT_EQ(WaitForFiles(into, c.files, 5s).size(), c.files);
        if (c.sound) {
            EXPECT_TRUE(WaitFor([&] { return SoundPlayed(samples); }, 5s));
            continue;
        }
        // The sound plays on after the capture, in a thread that PlaySound starts before
        // the capture returns and that ends once the device has taken the whole sound:
        // once every thread the capture left has ended, a sound played is in the recording.
        EXPECT_TRUE(WaitForNewThreadsToEnd(program.ProcessId(), before))
            << "a thread that the capture started still runs";
        EXPECT_FALSE(SoundPlayed(samples));
    }
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

constexpr COLORREF kBackdrop = RGB(0x30, 0xA0, 0x50);
constexpr COLORREF kContent = RGB(200, 30, 40);

// A captioned, resizable window of the test's own with its client area in kContent,
// shown as `show` asks.
class FramedWindow {
public:
    FramedWindow(const RECT& place, int show) : brush_(CreateSolidBrush(kContent)) {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hbrBackground = brush_.get();
        window_class.lpszClassName = kClass;
        RegisterClassW(&window_class);
        window_.reset(CreateWindowExW(0, kClass, L"Окно с рамкой", WS_OVERLAPPEDWINDOW, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                                      window_class.hInstance, nullptr));
        ShowWindow(window_.get(), show);
    }
    ~FramedWindow() {
        window_.reset();
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    FramedWindow(const FramedWindow&) = delete;
    FramedWindow& operator=(const FramedWindow&) = delete;
    HWND get() const { return window_.get(); }

    // Made the foreground window; true once it is and the screen shows it.
    bool BroughtToFront() const {
        SetForegroundWindow(get());
        return WaitFor([&] {
            return GetForegroundWindow() == get() &&
                   (IsIconic(get()) || ScreenPixel(Centre(ClientRectOnScreen(get()))) == kContent);
        });
    }

private:
    static constexpr const wchar_t* kClass = L"FramedCaptureTarget";
    kadrix::unique_hbrush brush_;
    kadrix::unique_hwnd window_;
};

constexpr POINT kAwayFromTheTray{600, 300};

// A way of asking the program for a capture of the window in front.
struct WindowCaptureRequest {
    const char* name;
    void (*ask)(const Program& program);
};
const WindowCaptureRequest kWindowCaptureRequests[] = {
    {"the hotkey", [](const Program&) { PressHotkey(1); }},
    {"the tray menu", [](const Program&) {
         ASSERT_TRUE(OpenTrayMenu());
         MoveMouse(kAwayFromTheTray);  // the icon's hint would show in the capture
         PressKeys({VK_DOWN});  // «Сделать снимок активного окна», the second item
         PressKeys({VK_DOWN});
         PressKeys({VK_RETURN});
     }},
};

struct FramedPlacement {
    const char* name;
    RECT place;
    bool maximized;  // on the monitor `place` lies on
};

std::vector<RECT> MonitorRects() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, LPRECT rect, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// Windows keeps its taskbar above every window, a maximized one too; Wine's lies beneath
// such a window, with the tray icon that the tray request clicks.
class TaskbarOnTop {
public:
    TaskbarOnTop() { Place(HWND_TOPMOST); }
    ~TaskbarOnTop() { Place(HWND_NOTOPMOST); }
    TaskbarOnTop(const TaskbarOnTop&) = delete;
    TaskbarOnTop& operator=(const TaskbarOnTop&) = delete;

private:
    static void Place(HWND after) {
        SetWindowPos(FindWindowW(L"Shell_TrayWnd", nullptr), after, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
};

// Makes the window over a backdrop, asks for a window capture and checks the file: the
// window's visible frame exactly, a maximized one exactly as its monitor's work area
// shows it, with nothing from around it.
void ExpectFramedWindowCaptured(const FramedPlacement& placement, const WindowCaptureRequest& request,
                                const Program& program, const std::filesystem::path& folder) {
    SCOPED_TRACE(testing::Message() << placement.name << ", asked by " << request.name);
    const TaskbarOnTop taskbar;
    // One a monitor: the virtual screen's rectangle also holds places no monitor shows.
    std::vector<std::unique_ptr<KnownPicture>> backdrops;
    for (const RECT& monitor : MonitorRects())
        backdrops.push_back(std::make_unique<KnownPicture>(monitor, [](POINT) { return kBackdrop; }));
    ASSERT_TRUE(WaitFor([&] { return std::ranges::all_of(backdrops, [](const auto& b) { return b->Shown(); }); }));
    const FramedWindow window(placement.place, placement.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ASSERT_TRUE(window.get());
    ASSERT_TRUE(window.BroughtToFront());
    ASSERT_EQ(IsZoomed(window.get()) != FALSE, placement.maximized);
    RECT expected = WindowRectOnScreen(window.get());
    if (placement.maximized) {
        MONITORINFO monitor{sizeof(monitor)};
        ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window.get(), MONITOR_DEFAULTTONEAREST), &monitor));
        expected = monitor.rcWork;
    } else {
        // Wine draws no invisible borders: its visible frame is the whole window
        // rectangle, with the backdrop right around it.
        for (const POINT outside : {POINT{expected.left - 1, expected.top + 5}, POINT{expected.right, expected.top + 5},
                                    POINT{expected.left + 5, expected.top - 1},
                                    POINT{expected.left + 5, expected.bottom}})
            ASSERT_EQ(ScreenPixel(outside), kBackdrop) << outside.x << "," << outside.y;
    }
    // Explorer shows the tray icon's hint where the pointer rests on it, on its own time.
    MoveMouse(kAwayFromTheTray);
    const Picture shown = ScreenPicture(expected);

    request.ask(program);
    const auto files = WaitForFiles(folder, 1);
    ASSERT_EQ(files.size(), 1u) << program.State();
    const Picture picture = ReadBmpFile(files[0]);
    ASSERT_EQ(picture.width, expected.right - expected.left);
    ASSERT_EQ(picture.height, expected.bottom - expected.top);
    // Wine's work area takes in the taskbar, which changes on its own (its clock, the
    // program's button while the program hides): not the window's pixels.
    RECT taskbar_area{};
    if (HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr); bar && IsShown(bar)) taskbar_area = WindowRectOnScreen(bar);
    int wrong = 0, backdrop_pixels = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const POINT screen{expected.left + x, expected.top + y};
            const COLORREF pixel = picture.at({x, y});
            backdrop_pixels += pixel == kBackdrop;
            if (!PtInRect(&taskbar_area, screen) && pixel != shown.at({x, y})) {
                if (wrong++ == 0) ADD_FAILURE() << "first pixel unlike the screen's at " << screen.x << "," << screen.y;
            }
        }
    EXPECT_EQ(wrong, 0) << "pixels unlike the screen's in " << expected.left << "," << expected.top << " "
                        << expected.right << "," << expected.bottom;
    EXPECT_EQ(backdrop_pixels, 0) << "pixels from around the window";
}

TEST_F(Capture, WindowCaptureHoldsExactlyTheVisibleFrame) {
    const FramedPlacement placements[] = {
        {"captioned and resizable", {90, 70, 590, 420}, false},
        {"maximized", {90, 70, 590, 420}, true},
    };
    for (const WindowCaptureRequest& request : kWindowCaptureRequests)
        for (const FramedPlacement& placement : placements) {
            folder = FreshFolder(L"window-capture");
            const Program program = StartWith(0);
            ExpectFramedWindowCaptured(placement, request, program, folder);
        }
}

class TwoMonitorsCapture : public Capture {};

TEST_F(TwoMonitorsCapture, WindowOnTheLeftMonitorIsCapturedAsItsVisibleFrame) {
    const FramedPlacement placements[] = {
        {"captioned and resizable, left monitor", {-900, 90, -400, 440}, false},
        {"maximized on the left monitor", {-900, 90, -400, 440}, true},
    };
    // Without Wine's desktop this session has no notification area: the hotkey alone.
    for (const WindowCaptureRequest& request : {kWindowCaptureRequests[0]})
        for (const FramedPlacement& placement : placements) {
            folder = FreshFolder(L"window-capture");
            const Program program = StartWith(0);
            ExpectFramedWindowCaptured(placement, request, program, folder);
        }
}

TEST_F(Capture, MinimizedForegroundWindowGivesNoFileAndNoSound) {
    const std::filesystem::path copy = PlainNamedCopyOfProgram(L"minimized-program");
    const std::vector<std::uint8_t> samples = ProgramSoundSamples(copy);
    Program program = StartWith(0, 1, {}, copy);
    // Shown minimized and still active: in front, yet nowhere on the screen.
    const FramedWindow window({90, 70, 590, 420}, SW_SHOWMINIMIZED);
    ASSERT_TRUE(window.BroughtToFront());
    ASSERT_TRUE(IsIconic(window.get()));
    ForgetPlayedSound();
    const std::vector<DWORD> before = ThreadsOf(program.ProcessId());
    RunHotkey(program, 1);
    // A sound would be played by a thread the capture starts (see the sound test).
    EXPECT_TRUE(WaitForNewThreadsToEnd(program.ProcessId(), before));
    EXPECT_FALSE(SoundPlayed(samples));
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

template <typename Value>
Value ReadFrom(HANDLE process, std::uintptr_t at) {
    Value value{};
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(at), &value, sizeof(value), nullptr))
        throw std::runtime_error("cannot read the program's memory");
    return value;
}

std::string NameAt(HANDLE process, std::uintptr_t at) {
    std::string name;
    for (char c; (c = ReadFrom<char>(process, at + name.size())) != '\0';) name += c;
    return name;
}

// Where the program's module keeps the address it calls `function` of `dll` through.
std::uintptr_t ImportSlot(HANDLE process, const char* dll, std::string_view function) {
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!EnumProcessModules(process, &module, sizeof(module), &needed)) throw std::runtime_error("no program module");
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    const auto headers = ReadFrom<IMAGE_NT_HEADERS64>(process, base + ReadFrom<IMAGE_DOS_HEADER>(process, base).e_lfanew);
    const IMAGE_DATA_DIRECTORY imports = headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (std::uintptr_t at = base + imports.VirtualAddress;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto library = ReadFrom<IMAGE_IMPORT_DESCRIPTOR>(process, at);
        if (!library.Name) break;
        if (_stricmp(NameAt(process, base + library.Name).c_str(), dll) != 0) continue;
        for (std::uintptr_t entry = 0;; entry += sizeof(IMAGE_THUNK_DATA64)) {
            const auto named = ReadFrom<IMAGE_THUNK_DATA64>(process, base + library.OriginalFirstThunk + entry);
            if (!named.u1.AddressOfData) break;
            if (!IMAGE_SNAP_BY_ORDINAL64(named.u1.Ordinal) &&
                NameAt(process, base + named.u1.AddressOfData + offsetof(IMAGE_IMPORT_BY_NAME, Name)) == function)
                return base + library.FirstThunk + entry;
        }
    }
    throw std::runtime_error("the program imports no " + std::string(function));
}

// Every screen copy of the program refused, as Windows refuses them on the secure
// desktop and in a locked or disconnected session, which Wine has not: until this is
// dropped, the program's BitBlt is a function that returns FALSE.
class RefusedScreenCopies {
public:
    explicit RefusedScreenCopies(DWORD process_id)
        : process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, process_id)) {
        if (!process_) throw std::runtime_error("cannot open the program");
        slot_ = ImportSlot(process_.get(), "gdi32.dll", "BitBlt");
        bitblt_ = ReadFrom<std::uint64_t>(process_.get(), slot_);
        static constexpr std::uint8_t kReturnFalse[] = {0x31, 0xC0, 0xC3};  // xor eax, eax; ret
        refusal_ = VirtualAllocEx(process_.get(), nullptr, sizeof(kReturnFalse), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_EXECUTE_READWRITE);
        if (!refusal_ || !WriteProcessMemory(process_.get(), refusal_, kReturnFalse, sizeof(kReturnFalse), nullptr))
            throw std::runtime_error("cannot place the refusal in the program");
        Call(reinterpret_cast<std::uint64_t>(refusal_));
    }
    ~RefusedScreenCopies() {
        Call(bitblt_);
        VirtualFreeEx(process_.get(), refusal_, 0, MEM_RELEASE);
    }
    RefusedScreenCopies(const RefusedScreenCopies&) = delete;
    RefusedScreenCopies& operator=(const RefusedScreenCopies&) = delete;

private:
    void Call(std::uint64_t function) {
        DWORD protection = 0;
        VirtualProtectEx(process_.get(), reinterpret_cast<void*>(slot_), sizeof(function), PAGE_READWRITE, &protection);
        const bool written =
            WriteProcessMemory(process_.get(), reinterpret_cast<void*>(slot_), &function, sizeof(function), nullptr);
        VirtualProtectEx(process_.get(), reinterpret_cast<void*>(slot_), sizeof(function), protection, &protection);
        if (!written) throw std::runtime_error("cannot redirect the program's BitBlt");
    }

    kadrix::unique_handle process_;
    std::uintptr_t slot_ = 0;
    std::uint64_t bitblt_ = 0;
    void* refusal_ = nullptr;
};

// A copy the system refuses is an error of the grab, whichever grab: the standard error
// box says so, no file is written, no sound plays, and the capture before, whose pixels
// the capture bitmap still holds, is not written again.
TEST_F(Capture, AScreenCopyTheSystemRefusesIsAnErrorThatWritesNothing) {
    const std::filesystem::path copy = PlainNamedCopyOfProgram(L"refused-program");
    const std::vector<std::uint8_t> samples = ProgramSoundSamples(copy);
    Program program = StartWith(0, 1, {}, copy);
    const FramedWindow window({90, 70, 590, 420}, SW_SHOWNORMAL);
    ASSERT_TRUE(window.BroughtToFront());
    ForgetPlayedSound();
    RunHotkey(program, 1);
    ASSERT_EQ(WaitForFiles(folder, 1).size(), 1u) << program.State();
    ASSERT_TRUE(WaitFor([&] { return SoundPlayed(samples); }, 5s));
    ForgetPlayedSound();
    const std::vector<DWORD> before = ThreadsOf(program.ProcessId());

    const RefusedScreenCopies refused(program.ProcessId());
    const struct {
        const char* name;
        int hotkey;
    } cases[] = {{"the window in front, as the capture before", 1}, {"the screen", 0}, {"a region", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.hotkey == 1) {
            ASSERT_TRUE(window.BroughtToFront());
        }
        PostMessageW(program.MainWindow(), WM_HOTKEY, c.hotkey, MAKELPARAM(MOD_ALT, VK_NUMPAD0 + c.hotkey));
        if (c.hotkey == 2) {
            const HWND overlay = program.WaitForWindow(L"TFormScreenRect");
            ASSERT_TRUE(overlay && WaitFor([&] { return GetForegroundWindow() == overlay; })) << program.State();
            Drag({100, 100}, {300, 250});
        }
        const HWND box = program.WaitForWindow(L"#32770");
        EXPECT_NE(box, nullptr) << program.State();
        if (box) {
            EXPECT_EQ(WindowText(box), kadrix::ApplicationTitle);
            EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)).rfind(L"BitBlt: ", 0), 0u)
                << WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        }
        SendMessageW(program.MainWindow(), WM_NULL, 0, 0);  // handled once the failed command has returned
        EXPECT_TRUE(program.VisibleWindows(L"#32770").empty()) << "one box only";
        EXPECT_EQ(FilesIn(folder).size(), 1u);
    }
    EXPECT_TRUE(WaitForNewThreadsToEnd(program.ProcessId(), before));
    EXPECT_FALSE(SoundPlayed(samples));
}

}  // namespace
}  // namespace e2e
