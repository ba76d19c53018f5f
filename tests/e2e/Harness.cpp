#include "Harness.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <future>
#include <iostream>
#include <iterator>
#include <cstdlib>
#include <utility>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "app/ScopeExit.h"
#include "app/Win32Handles.h"

namespace e2e {

namespace {

std::wstring ProgramPath() { return WinePath(KADRIX_EXE_PATH); }

struct FindContext {
    DWORD process_id;
    const wchar_t* window_class;
    bool visible_only;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context_pointer) {
    auto& context = *reinterpret_cast<FindContext*>(context_pointer);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != context.process_id) return TRUE;
    if (context.visible_only && !IsWindowVisible(window)) return TRUE;
    if (context.window_class) {
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        if (wcscmp(name, context.window_class) != 0) return TRUE;
    }
    context.found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD process_id, const wchar_t* window_class, bool visible_only) {
    FindContext context{process_id, window_class, visible_only, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(DWORD flags, POINT screen = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Over the whole virtual screen: monitors left of or above the primary one lie at
        // negative coordinates.
        input.mi.dwFlags |= MOUSEEVENTF_VIRTUALDESK;
        input.mi.dx = MulDiv(screen.x - GetSystemMetrics(SM_XVIRTUALSCREEN), 65536, GetSystemMetrics(SM_CXVIRTUALSCREEN)) + 1;
        input.mi.dy = MulDiv(screen.y - GetSystemMetrics(SM_YVIRTUALSCREEN), 65536, GetSystemMetrics(SM_CYVIRTUALSCREEN)) + 1;
    }
    return input;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

DWORD ButtonFlag(int button, bool up) {
    switch (button) {
    case 1: return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case 2: return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    default: return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
}

// A button event that carries its own position: Wine may otherwise take the position
// the pointer had before the last move was handled.
INPUT ButtonInput(int button, bool up, POINT screen) {
    return MouseInput(ButtonFlag(button, up) | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
}

bool CursorAt(POINT screen) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == screen.x && now.y == screen.y;
}

}  // namespace

std::wstring WinePath(const std::string& linux_path) {
    // The build's paths are UTF-8 (a checkout under "Мои проекты", say).
    std::wstring path = kadrix::FromUtf8(linux_path);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

namespace {

void ReportResend(const std::string& what, const std::string& why) {
    std::cerr << "harness: re-sent " << what << " (" << why << ")" << std::endl;
}

}  // namespace

bool SendUntil(const std::string& what, const std::function<void()>& send, const std::function<bool()>& done,
               const std::string& why, Duration each, Duration poll, int times) {
    for (int sent = 0; sent < times; ++sent) {
        if (sent > 0) ReportResend(what, why + " after " + std::to_string(each.count()) + " ms");
        send();
        if (WaitFor(done, each, poll)) return true;
    }
    return false;
}

bool ClickUntil(POINT screen, int button, const std::function<bool()>& shown, Duration each) {
    const std::string what = std::string(button == 1 ? "right" : button == 2 ? "middle" : "left") + " click at " +
                             std::to_string(screen.x) + "," + std::to_string(screen.y);
    return SendUntil(what, [&] { Click(screen, button); }, shown, "nothing shown", each);
}

bool PressHotkeyUntil(int number, const std::function<bool()>& done, Duration each) {
    return SendUntil("hotkey Alt+Num" + std::to_string(number), [&] { PressHotkey(number); }, done,
                     "it had no effect", each);
}

bool WaitFor(const std::function<bool()>& condition, Duration limit, Duration poll) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        // The test's own windows keep painting while it waits.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(poll);
    }
}

void RunCommand(const Program& program, int command) {
    SendMessageW(program.MainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void RunHotkey(const Program& program, int number) {
    SendMessageW(program.MainWindow(), WM_HOTKEY, static_cast<WPARAM>(number),
                 MAKELPARAM(MOD_ALT, VK_NUMPAD0 + number));
}

void ResetStoredOptions(const StoredOptions& options) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik Software");
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr))
        throw std::runtime_error("cannot create the options key");
    const kadrix::unique_hkey key(created);
    auto number = [&](const wchar_t* name, const std::optional<DWORD>& value) {
        if (value) RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD));
    };
    number(L"IMG_format", options.img_format);
    number(L"NeedSave", options.need_save);
    if (options.save_path)
        RegSetValueExW(key.get(), L"SavePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(options.save_path->c_str()),
                       static_cast<DWORD>((options.save_path->size() + 1) * sizeof(wchar_t)));
    number(L"NeedCursor", options.need_cursor);
    number(L"PlaySound", options.play_sound);
}

namespace {

// Programs this test process started; others of the same name are leftovers.
std::vector<DWORD>& OwnInstances() {
    static std::vector<DWORD> ids;
    return ids;
}

// A test ended by force (a time limit) leaves its program running, holding the hotkeys
// and a main window that later tests would find instead of their own.
void EndLeftoverInstances() {
    const std::wstring image = std::filesystem::path(ProgramPath()).filename().wstring();
    const kadrix::unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, image.c_str()) != 0 ||
            std::ranges::find(OwnInstances(), entry.th32ProcessID) != OwnInstances().end())
            continue;
        const kadrix::unique_handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
}

}  // namespace

Program Program::Start() { return Start(ProgramPath()); }

Program Program::Start(const std::wstring& program_file, std::optional<WORD> show_state) {
    EndLeftoverInstances();
    Program program;
    std::wstring command_line = L"\"" + program_file + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    if (show_state) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *show_state;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        const DWORD error = GetLastError();
        throw std::runtime_error("cannot start the program: error " + std::to_string(error));
    }
    const kadrix::unique_handle thread(info.hThread);
    program.process_.reset(info.hProcess);
    program.process_id_ = info.dwProcessId;
    OwnInstances().push_back(info.dwProcessId);
    program.main_window_ = program.WaitForWindow(L"TMainForm", 20s);
    if (!program.main_window_) throw std::runtime_error("the main window did not appear");
    return program;
}

Program::~Program() {
    if (!process_) return;
    if (!Running()) return;
    // Popups of a command (a menu, dialogs, the overlay) would hold the close back:
    // each is closed through its own window, never by a key press that goes to
    // whatever has the keyboard. Without a main window (it never came) it is ended.
    if (main_window_) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main_window_, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
        for (HWND popup : VisibleWindows(nullptr))
            if (popup != main_window_) PostMessageW(popup, WM_CLOSE, 0, 0);
        PostMessageW(main_window_, WM_CLOSE, 0, 0);
    }
    if (!WaitForExit(main_window_ ? 5s : 0s)) TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
}

bool Program::WaitForExit(Duration limit) const {
    return WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

bool Program::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::string Program::State() const {
    std::string state = Running() ? "running" : "ended";
    state += IsShown(main_window_) ? ", main window shown" : ", main window hidden";
    auto describe = [](HWND window) {
        wchar_t name[64]{};
        GetClassNameW(window, name, 64);
        return kadrix::ToUtf8(name) + " \"" + kadrix::ToUtf8(WindowText(window)) + "\"";
    };
    for (HWND window : VisibleWindows(nullptr))
        if (window != main_window_) state += "; shows " + describe(window);
    if (HWND foreground = GetForegroundWindow()) state += "; in front " + describe(foreground);
    return state;
}

HWND Program::WaitForWindow(const wchar_t* window_class, Duration limit) const {
    HWND found = nullptr;
    WaitFor([&] {
        const auto windows = TopLevelWindows(process_id_, window_class, true);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    }, limit);
    return found;
}

std::vector<HWND> Program::VisibleWindows(const wchar_t* window_class) const {
    return TopLevelWindows(process_id_, window_class, true);
}

void PressKeys(std::initializer_list<WORD> chord) {
    std::vector<INPUT> inputs;
    for (WORD key : chord) inputs.push_back(KeyInput(key, false));
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) inputs.push_back(KeyInput(*key, true));
    Send(inputs);
}

void PressHotkey(int number) {
    const WORD key = static_cast<WORD>(VK_NUMPAD0 + number);
    // Sent in two steps to see whether Alt was still held when the key went down: a
    // first hotkey right after a start has been seen lost under load, cause unknown.
    Send({KeyInput(VK_MENU, false), KeyInput(key, false)});
    const bool alt_held = GetAsyncKeyState(VK_MENU) < 0;
    Send({KeyInput(key, true), KeyInput(VK_MENU, true)});
    if (!alt_held) std::cerr << "harness: Alt was no longer held after Alt+Num" << number << " went down" << std::endl;
}

void MoveMouse(POINT screen) {
    Send({MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen)});
    WaitFor([&] { return CursorAt(screen); }, 2s);
}

void Click(POINT screen, int button) {
    MoveMouse(screen);
    Send({ButtonInput(button, false, screen), ButtonInput(button, true, screen)});
}

void DoubleClick(POINT screen, int button) {
    MoveMouse(screen);
    Send({ButtonInput(button, false, screen), ButtonInput(button, true, screen), ButtonInput(button, false, screen),
          ButtonInput(button, true, screen)});
}

void Drag(POINT from, POINT to, int button) {
    MoveMouse(from);
    Send({ButtonInput(button, false, from)});
    MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveMouse(to);
    Send({ButtonInput(button, true, to)});
}

RECT WindowRectOnScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ChildRectInParent(HWND child) {
    RECT rect = WindowRectOnScreen(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsShown(HWND window) { return IsWindowVisible(window) != FALSE; }

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

POINT TrayIconPoint() {
    // Wine's virtual-desktop taskbar draws tray icons from its right end.
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) throw std::runtime_error("no taskbar");
    const RECT rect = ClientRectOnScreen(taskbar);
    const int icon = GetSystemMetrics(SM_CXSMICON);
    return {rect.right - icon / 2 - 4, (rect.top + rect.bottom) / 2};
}

HWND OpenTrayMenu() {
    ClickUntil(TrayIconPoint(), 1, PopupMenuOpen);
    return WaitForPopupMenu(0ms);
}

bool DoubleClickTrayIcon(const std::function<bool()>& toggled) {
    const POINT icon = TrayIconPoint();
    for (int sent = 0; sent < 3; ++sent) {
        if (sent > 0)
            ReportResend("double click at " + std::to_string(icon.x) + "," + std::to_string(icon.y),
                         "no effect once the menu of a right click after it had opened");
        DoubleClick(icon);
        if (WaitFor(toggled, 2s)) return true;
        // Explorer relays the icon's clicks to the program in order, so once the menu of
        // a later right click shows, the double click has had its effect or is lost.
        HWND menu = OpenTrayMenu();
        if (!menu) return false;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        if (!WaitFor([] { return !PopupMenuOpen(); })) return false;
        if (toggled()) return true;
    }
    return false;
}

bool PopupMenuOpen() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

HWND WaitForPopupMenu(Duration limit) {
    HWND menu = nullptr;
    WaitFor([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }, limit);
    return menu;
}

std::filesystem::path FreshFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / L"kadrix-e2e" / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::filesystem::path UsersPictures() {
    wchar_t* path = nullptr;
    const kadrix::ScopeExit free_path([&] { CoTaskMemFree(path); });
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &path)))
        throw std::runtime_error("the user has no Pictures folder");
    return path;
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::filesystem::path> WaitForFiles(const std::filesystem::path& folder, std::size_t count,
                                                Duration limit, Duration poll) {
    std::vector<std::filesystem::path> files;
    // A file counts once the writer has closed it (it opens without sharing) and it is
    // no longer the empty file that claims a capture's name before the picture is written.
    WaitFor([&] {
        files = FilesIn(folder);
        if (files.size() < count) return false;
        for (const auto& file : files) {
            const kadrix::unique_file handle(
                CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            LARGE_INTEGER size{};
            if (!handle || !GetFileSizeEx(handle.get(), &size) || size.QuadPart == 0) return false;
        }
        return true;
    }, limit, poll);
    return files;
}

std::optional<DWORD> ReadStoredNumber(const wchar_t* name, DWORD* type) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD stored_type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, name, RRF_RT_ANY, &stored_type, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type) *type = stored_type;
    return value;
}

std::optional<std::wstring> ReadStoredText(const wchar_t* name, DWORD* type) {
    DWORD size = 0;
    DWORD stored_type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &stored_type, nullptr, &size))
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &stored_type, text.data(), &size))
        return std::nullopt;
    if (type) *type = stored_type;
    text.resize(wcslen(text.c_str()));
    return text;
}

std::optional<SIZE> ClipboardBitmapSize() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    const kadrix::ScopeExit close([] { CloseClipboard(); });
    BITMAP info{};
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return std::nullopt;
    return SIZE{info.bmWidth, info.bmHeight};
}

void EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) return;
    const kadrix::ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
}

void PutClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) throw std::runtime_error("the clipboard is held");
    const kadrix::ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) throw std::bad_alloc();
    std::memcpy(GlobalLock(memory), text.c_str(), size);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
}

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) throw std::runtime_error("the clipboard is held");
    const kadrix::ScopeExit close([] { CloseClipboard(); });
    HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (!memory) return {};
    std::wstring text = static_cast<const wchar_t*>(GlobalLock(memory));
    GlobalUnlock(memory);
    return text;
}

ClipboardHolder::ClipboardHolder(Duration hold, std::function<void()> meanwhile) {
    std::promise<bool> opened;
    std::future<bool> result = opened.get_future();
    thread_ = std::thread([this, hold, meanwhile = std::move(meanwhile), &opened] {
        if (!OpenClipboard(nullptr)) return opened.set_value(false);
        const auto end = std::chrono::steady_clock::now() + hold;
        holding_ = true;
        opened.set_value(true);
        while (std::chrono::steady_clock::now() < end) {
            if (meanwhile) meanwhile();
            std::this_thread::sleep_for(10ms);
        }
        CloseClipboard();
        holding_ = false;
    });
    if (!result.get()) {
        thread_.join();
        throw std::runtime_error("the clipboard could not be opened to hold it");
    }
}

ClipboardHolder::~ClipboardHolder() { thread_.join(); }

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

std::filesystem::path SoundRecord() {
    wchar_t path[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"KADRIX_SOUND_RECORD", path, MAX_PATH))
        throw std::runtime_error("KADRIX_SOUND_RECORD is not set: run under tests/wine/session.sh");
    return path;
}

}  // namespace

std::vector<std::uint8_t> PlayedSound() { return ReadFileBytes(SoundRecord()); }

void ForgetPlayedSound() { std::filesystem::remove(SoundRecord()); }

namespace {

std::vector<std::uint16_t> AudibleFrames(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint16_t> frames;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        if (const auto frame = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8)) frames.push_back(frame);
    return frames;
}

}  // namespace

bool SoundPlayed(const std::vector<std::uint8_t>& samples) {
    const std::vector<std::uint16_t> played = AudibleFrames(PlayedSound());
    return !played.empty() && played == AudibleFrames(samples);
}

std::filesystem::path PlainNamedCopyOfProgram(const std::wstring& folder_name) {
    const std::filesystem::path program = ProgramPath();
    const std::filesystem::path folder = FreshFolder(folder_name);
    std::filesystem::copy(program, folder);
    std::filesystem::copy(program.parent_path() / L"sound.wav", folder);
    return folder / program.filename();
}

std::vector<std::uint8_t> ProgramSoundSamples(const std::filesystem::path& program) {
    const std::vector<std::uint8_t> wave = ReadFileBytes(program.parent_path() / L"sound.wav");
    auto little_endian = [&](std::size_t at) {
        return static_cast<std::size_t>(wave[at] | wave[at + 1] << 8 | wave[at + 2] << 16 | wave[at + 3] << 24);
    };
    for (std::size_t chunk = 12; chunk + 8 <= wave.size(); chunk += 8 + ((little_endian(chunk + 4) + 1) & ~1u)) {
        const std::size_t size = little_endian(chunk + 4);
        if (std::equal(wave.begin() + chunk, wave.begin() + chunk + 4, "data") && chunk + 8 + size <= wave.size())
            return {wave.begin() + chunk + 8, wave.begin() + chunk + 8 + size};
    }
    throw std::runtime_error("sound.wav beside the program has no sample data");
}

COLORREF ScreenPixel(POINT screen) {
    const kadrix::WindowDC dc(nullptr);
    return GetPixel(dc.get(), screen.x, screen.y);
}

void PressMouse(POINT screen, int button) {
    MoveMouse(screen);
    Send({ButtonInput(button, false, screen)});
}

void ReleaseMouse(POINT screen, int button) {
    MoveMouse(screen);
    Send({ButtonInput(button, true, screen)});
}

namespace {

Picture PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
    Picture picture{width, height, std::vector<COLORREF>(static_cast<std::size_t>(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<RGBQUAD> bgra(picture.pixels.size());
    if (GetDIBits(dc, bitmap, 0, height, bgra.data(), &info, DIB_RGB_COLORS) != height) return {};
    for (std::size_t i = 0; i < bgra.size(); ++i)
        picture.pixels[i] = RGB(bgra[i].rgbRed, bgra[i].rgbGreen, bgra[i].rgbBlue);
    return picture;
}

}  // namespace

Picture DcPicture(HDC source, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const kadrix::WindowDC screen(nullptr);
    const kadrix::unique_hdc memory(CreateCompatibleDC(screen.get()));
    const kadrix::unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        const kadrix::SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    }
    return PixelsOf(memory.get(), bitmap.get(), width, height);
}

Picture ScreenPicture(const RECT& area) {
    const kadrix::WindowDC screen(nullptr);
    return DcPicture(screen.get(), area);
}

Picture ReadBmpFile(const std::filesystem::path& file) {
    const kadrix::unique_hbitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) return {};
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof(info), &info);
    const kadrix::WindowDC screen(nullptr);
    return PixelsOf(screen.get(), bitmap.get(), info.bmWidth, std::abs(info.bmHeight));
}

Picture ClipboardPicture() {
    if (!OpenClipboard(nullptr)) return {};
    const kadrix::ScopeExit close([] { CloseClipboard(); });
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    return bitmap ? BitmapPicture(bitmap) : Picture{};
}

COLORREF PatternColour(POINT p) { return RGB((p.x * 3) & 0xFF, (p.y * 5) & 0xFF, 0x40 + ((p.x + p.y) & 0x3F)); }

KnownPicture::KnownPicture(const RECT& area, Colour colour, Duration paint_time)
    : area_(area), colour_(colour), paint_time_(paint_time) {
    thread_ = std::thread([this] { Run(); });
    // Pumping while the window is made: it may send to windows of this thread. Making
    // it ends either way, so this wait needs no limit of its own.
    WaitFor([this] { return made_.load(); }, 24h);
    if (!window_) {
        thread_.join();
        throw std::runtime_error("the known picture did not open");
    }
}

KnownPicture::~KnownPicture() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

LRESULT CALLBACK KnownPicture::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    if (message == WM_PAINT) {
        try {
            reinterpret_cast<const KnownPicture*>(GetWindowLongPtrW(window, GWLP_USERDATA))->Paint(window);
        } catch (...) {  // no memory for the pixels: the picture stays wrong and Shown() says so
        }
        return 0;
    }
    if (message == WM_CLOSE) {  // the thread's owner destroys the window
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void KnownPicture::Paint(HWND window) const {
    const kadrix::PaintScope paint(window);
    // Busy rather than asleep: a slow program's window is slow because it works.
    const auto until = std::chrono::steady_clock::now() + paint_time_;
    while (std::chrono::steady_clock::now() < until) {
    }
    const int width = area_.right - area_.left;
    const int height = area_.bottom - area_.top;
    std::vector<COLORREF> bgr(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour_({area_.left + x, area_.top + y});
            bgr[static_cast<std::size_t>(y) * width + x] = RGB(GetBValue(c), GetGValue(c), GetRValue(c));
        }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    SetDIBitsToDevice(paint.dc(), 0, 0, width, height, 0, 0, 0, height, bgr.data(), &info, DIB_RGB_COLORS);
}

void KnownPicture::Run() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &KnownPicture::Proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"E2EKnownPicture";
    RegisterClassW(&window_class);
    const kadrix::unique_hwnd window(CreateWindowExW(
        WS_EX_TOOLWINDOW, window_class.lpszClassName, L"", WS_POPUP | WS_VISIBLE, area_.left, area_.top,
        area_.right - area_.left, area_.bottom - area_.top, nullptr, nullptr, window_class.hInstance, this));
    window_ = window.get();
    made_ = true;
    if (!window) return;
    InvalidateRect(window.get(), nullptr, FALSE);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

bool KnownPicture::Shown() const { return ScreenShows(area_, colour_); }

bool ScreenShows(const RECT& area, KnownPicture::Colour colour) {
    const POINT probes[] = {{area.left, area.top}, {area.right - 1, area.bottom - 1}, Centre(area)};
    for (POINT probe : probes)
        if (ScreenPixel(probe) != colour(probe)) return false;
    return true;
}

}  // namespace e2e

namespace e2e {

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        for (const bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring ControlText(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

namespace {

GUITHREADINFO GuiThreadOf(HWND window) {
    GUITHREADINFO info{sizeof(info)};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return {};
    return info;
}

}  // namespace

HWND FocusedWindowOf(HWND window) { return GuiThreadOf(window).hwndFocus; }

HWND MouseHolderOf(HWND window) { return GuiThreadOf(window).hwndCapture; }

POINT CloseBoxPoint(HWND window) {
    const RECT frame = WindowRectOnScreen(window);
    return {frame.right - GetSystemMetrics(SM_CXFIXEDFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
            frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSIZE) / 2};
}

}  // namespace e2e

namespace e2e {

ProgramResources::ProgramResources()
    : module_(LoadLibraryExW(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (!module_) throw std::runtime_error("cannot open the program file for its resources");
}

Picture BitmapPicture(HBITMAP bitmap) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) return {};
    const kadrix::WindowDC screen(nullptr);
    return PixelsOf(screen.get(), bitmap, info.bmWidth, std::abs(info.bmHeight));
}

namespace {

DWORD LastInputTick() {
    LASTINPUTINFO last{sizeof(last)};
    GetLastInputInfo(&last);
    return last.dwTime;
}

Duration InputQuietFor() { return Duration(GetTickCount() - LastInputTick()); }

}  // namespace

bool PlacePointer(POINT screen, Duration limit) {
    // Over 100 ms after the last input, Wine reads the position from the display.
    constexpr Duration kSettled = 150ms;
    const INPUT neighbour = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {screen.x + 1, screen.y});
    const INPUT target = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // By way of a neighbouring point, so that Wine moves the display's pointer even when
    // an echo already put Wine's own position on the target.
    Send({neighbour, target});
    int sends = 0, elsewhere = 0;
    bool placed = false;
    do {
        // Once Wine's position is the target, a move there stays within Wine and has no
        // echo, so the windows see it after every echo of the moves before.
        Send({target});
        ++sends;
        const DWORD ours = LastInputTick();
        const bool quiet = WaitFor([&] { return InputQuietFor() >= kSettled; }, 2s);
        placed = quiet && LastInputTick() == ours && CursorAt(screen);
        if (quiet && !CursorAt(screen)) {  // the display's pointer is elsewhere
            Send({neighbour});
            ++elsewhere;
        }
    } while (!placed && std::chrono::steady_clock::now() < deadline);
    if (sends > 1)
        std::cerr << "harness: re-sent the pointer move to " << screen.x << "," << screen.y << " " << sends - 1
                  << " times (later input came after it; " << elsewhere << " times it rested elsewhere)" << std::endl;
    return placed;
}

std::vector<RECT> VisibleWindowRects(const wchar_t* window_class) {
    std::vector<RECT> rects;
    for (HWND window = FindWindowExW(nullptr, nullptr, window_class, nullptr); window;
         window = FindWindowExW(nullptr, window, window_class, nullptr))
        if (IsWindowVisible(window)) rects.push_back(WindowRectOnScreen(window));
    return rects;
}

}  // namespace e2e

namespace e2e {

PatternInOtherProcess::PatternInOtherProcess(const RECT& area, Duration paint_time) : area_(area) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string_view pattern = kPatternSwitch;
    std::wstring command_line = L"\"" + std::wstring(self) + L"\" " + std::wstring(pattern.begin(), pattern.end());
    for (const long number : {static_cast<long>(GetCurrentProcessId()), area.left, area.top, area.right, area.bottom,
                              static_cast<long>(paint_time.count())})
        command_line += L" " + std::to_wstring(number);
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start the pattern's process");
    const kadrix::unique_handle thread(info.hThread);
    process_.reset(info.hProcess);
}

PatternInOtherProcess::~PatternInOtherProcess() {
    TerminateProcess(process_.get(), 0);
    WaitForSingleObject(process_.get(), 5000);
}

bool PatternInOtherProcess::Shown() const { return ScreenShows(area_, &PatternColour); }

int ShowPatternUntilParentEnds(DWORD parent_id, const RECT& area, Duration paint_time) {
    const kadrix::unique_handle parent(OpenProcess(SYNCHRONIZE, FALSE, parent_id));
    if (!parent) return 1;
    const KnownPicture picture(area, &PatternColour, paint_time);
    // No message wait on this thread: only the picture's own thread shows its drawing.
    WaitForSingleObject(parent.get(), INFINITE);
    return 0;
}

}  // namespace e2e

namespace e2e {

std::string WinePrefix() {
    std::wstring prefix(GetEnvironmentVariableW(L"WINEPREFIX", nullptr, 0), L'\0');
    if (prefix.empty()) throw std::runtime_error("WINEPREFIX is not set: run under tests/wine/session.sh");
    prefix.resize(GetEnvironmentVariableW(L"WINEPREFIX", prefix.data(), static_cast<DWORD>(prefix.size())));
    return kadrix::ToUtf8(prefix);
}

std::vector<std::filesystem::path> SessionProcesses(std::string_view command_part) {
    const std::string session = "WINEPREFIX=" + WinePrefix() + '\0';
    // A process that ends while it is read fails the read: it is none of them any more.
    auto text = [](const std::filesystem::path& file) {
        try {
            const std::vector<std::uint8_t> bytes = ReadFileBytes(file);
            return std::string(bytes.begin(), bytes.end());
        } catch (const std::exception&) {
            return std::string();
        }
    };
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
        if (entry.path().filename().wstring().find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        if (text(entry.path() / L"cmdline").find(command_part) == std::string::npos) continue;
        // Other sessions may run the same programs.
        if (text(entry.path() / L"environ").find(session) == std::string::npos) continue;
        found.push_back(entry.path());
    }
    return found;
}

std::vector<DWORD> ThreadsOf(DWORD process_id) {
    std::vector<DWORD> ids;
    const kadrix::unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{sizeof(entry)};
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == process_id) ids.push_back(entry.th32ThreadID);
    return ids;
}

bool WaitForNewThreadsToEnd(DWORD process_id, const std::vector<DWORD>& before, Duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (bool waited = true; waited;) {
        waited = false;
        for (const DWORD id : ThreadsOf(process_id)) {
            if (std::ranges::find(before, id) != before.end()) continue;
            const kadrix::unique_handle thread(OpenThread(SYNCHRONIZE, FALSE, id));
            if (!thread || WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0) continue;
            const auto left = std::chrono::duration_cast<Duration>(deadline - std::chrono::steady_clock::now());
            if (WaitForSingleObject(thread.get(), static_cast<DWORD>(std::max(left.count(), Duration::rep{0}))) !=
                WAIT_OBJECT_0)
                return false;
            waited = true;  // it may have started others
        }
    }
    return true;
}

}  // namespace e2e
