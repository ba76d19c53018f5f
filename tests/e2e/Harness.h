#pragma once
// Drives the real program under Wine: starts it, sends input the way a user would
// (SendInput), finds its windows, and reads what it left in files, the registry and
// the clipboard. Every wait has a time limit; nothing sleeps for a fixed time.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/Utf8.h"
#include "app/Win32Handles.h"

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Polls `condition` until it holds or `limit` passes; true when it held.
bool WaitFor(const std::function<bool()>& condition, Duration limit = 10s, Duration poll = 20ms);

// The Windows path under which Wine shows a Linux path (the Linux root is drive Z:).
std::wstring WinePath(const std::string& linux_path);

// Option values to store before the program starts (absent = not written).
struct StoredOptions {
    std::optional<DWORD> img_format;
    std::optional<DWORD> need_save;
    std::optional<std::wstring> save_path;
    std::optional<DWORD> need_cursor;
    std::optional<DWORD> play_sound;
};

// The program's registry key, removed and optionally filled before a start.
void ResetStoredOptions(const StoredOptions& options = {});
inline constexpr const wchar_t* kOptionsKey = L"Software\\Tavik Software\\Tavik Кадрикс";

// One running instance of the program, ended (gracefully, else by force) when dropped.
class Program {
public:
    static Program Start();
    // Another copy of the program (an installed one), with the show state a shortcut gives.
    static Program Start(const std::wstring& program, std::optional<WORD> show_state = std::nullopt);
    Program(Program&& other) noexcept = default;
    Program& operator=(Program&&) = delete;
    ~Program();

    HWND MainWindow() const { return main_window_; }
    HWND Control(int id) const { return GetDlgItem(main_window_, id); }
    DWORD ProcessId() const { return process_id_; }
    bool WaitForExit(Duration limit = 10s) const;
    bool Running() const;
    // Top-level window of this process with the given class (or any class when null), once visible.
    HWND WaitForWindow(const wchar_t* window_class, Duration limit = 10s) const;
    std::vector<HWND> VisibleWindows(const wchar_t* window_class) const;
    // What a failure message should tell: whether it runs, its visible windows (an error
    // box, a window still hidden for a capture) and the foreground.
    std::string State() const;

private:
    Program() = default;
    kadrix::unique_handle process_;
    DWORD process_id_ = 0;
    HWND main_window_ = nullptr;
};

// Runs a command or hotkey and returns once the program has handled it (SendMessage),
// for tests that check what a capture wrote rather than how it was triggered.
void RunCommand(const Program& program, int command);
void RunHotkey(const Program& program, int number);

// Input, all through SendInput.
void PressKeys(std::initializer_list<WORD> chord);  // pressed in order, released in reverse
void PressHotkey(int number);                        // Alt + Num<number>
void MoveMouse(POINT screen);
void Click(POINT screen, int button = 0);            // 0 left, 1 right, 2 middle
void DoubleClick(POINT screen, int button = 0);
// Sends input by `send` until `done` holds, at most `times` times, waiting up to `each`
// after each: Wine now and then drops injected input. Only for input that is harmless
// when it arrives twice. Every re-send is printed to stderr, naming `what` and `why`.
bool SendUntil(const std::string& what, const std::function<void()>& send, const std::function<bool()>& done,
               const std::string& why, Duration each = 3s, Duration poll = 20ms, int times = 3);
// Clicks until `shown` holds, at most three times.
bool ClickUntil(POINT screen, int button, const std::function<bool()>& shown, Duration each = 3s);
// Presses Alt + Num<number> until `done` holds, at most three times.
bool PressHotkeyUntil(int number, const std::function<bool()>& done, Duration each = 3s);
void Drag(POINT from, POINT to, int button = 0);

// Window facts.
RECT WindowRectOnScreen(HWND window);
RECT ClientRectOnScreen(HWND window);
RECT ChildRectInParent(HWND child);
SIZE ClientSize(HWND window);
std::wstring WindowText(HWND window);
bool IsShown(HWND window);
POINT Centre(const RECT& rect);

// The notification-area icon of the program (the only one in the session's tray).
POINT TrayIconPoint();
// Right-clicks the tray icon until its popup menu shows: Wine drops a click now and then.
HWND OpenTrayMenu();
// Double-clicks the tray icon, which toggles the main window: true once `toggled` holds.
// Sent again only once known lost, as a late one that came after all would toggle back.
bool DoubleClickTrayIcon(const std::function<bool()>& toggled);
// The popup menu window (#32768), once open.
HWND WaitForPopupMenu(Duration limit = 5s);
bool PopupMenuOpen();

// Files.
std::filesystem::path FreshFolder(const std::wstring& name);  // empty folder under the temp dir
std::filesystem::path UsersPictures();                         // the user's own, not the all-users one
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder);
std::vector<std::filesystem::path> WaitForFiles(const std::filesystem::path& folder, std::size_t count,
                                                Duration limit = 10s, Duration poll = 20ms);

// Registry.
std::optional<DWORD> ReadStoredNumber(const wchar_t* name, DWORD* type = nullptr);
std::optional<std::wstring> ReadStoredText(const wchar_t* name, DWORD* type = nullptr);

// Clipboard: size of the bitmap on it, if any.
std::optional<SIZE> ClipboardBitmapSize();
void EmptyTheClipboard();
void PutClipboardText(const std::wstring& text);  // in place of everything it held
std::wstring ClipboardText();                       // empty when it holds none

// Another owner of the clipboard: a thread that opens it, keeps it open for `hold`, and
// closes it; meanwhile it calls `meanwhile`, when given, over and over. Made once the
// clipboard is open; dropped once it is closed again.
class ClipboardHolder {
public:
    explicit ClipboardHolder(Duration hold, std::function<void()> meanwhile = {});
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    bool Holding() const { return holding_; }

private:
    std::atomic<bool> holding_ = false;
    std::thread thread_;
};

// Sound: the session's audio device records what it plays (raw samples, no header).
std::vector<std::uint8_t> PlayedSound();  // since the last ForgetPlayedSound; empty when none
// True once the recording holds `samples` (16-bit, as sound.wav has them). On a loaded
// machine Wine plays silence where the program's buffers came late (measured: 220 and
// 440 extra silent frames), so silent frames do not count.
bool SoundPlayed(const std::vector<std::uint8_t>& samples);
void ForgetPlayedSound();
std::vector<std::uint8_t> ProgramSoundSamples(const std::filesystem::path& program);  // of sound.wav beside it
// The program file and its sound.wav copied into a fresh folder of that name under the
// temp dir; the copy's program file. Wine's PlaySoundW goes through the ANSI code page
// and finds no file under a folder with Cyrillic letters (Windows does), as the build's
// may be: tests of the sound run such a copy.
std::filesystem::path PlainNamedCopyOfProgram(const std::wstring& folder_name);

// Screen pixels as the display shows them now.
COLORREF ScreenPixel(POINT screen);

// Mouse button held down and let go separately, for drags that stop half-way.
void PressMouse(POINT screen, int button = 0);
void ReleaseMouse(POINT screen, int button = 0);

// Pixels of a picture, top-down, as COLORREF values.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(POINT point) const { return pixels[static_cast<std::size_t>(point.y) * width + point.x]; }
};
Picture ScreenPicture(const RECT& area);                  // that area of the screen as shown now
Picture DcPicture(HDC source, const RECT& area);          // that area of a device context
Picture ReadBmpFile(const std::filesystem::path& file);  // empty when the file is no readable BMP
Picture ClipboardPicture();                              // the bitmap on the clipboard; empty when none
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);

// A picture every pixel of which tells where it came from, in no colour the program
// draws (no pure red, key green, grey or the window's blue: blue stays in 0x40-0x7F).
COLORREF PatternColour(POINT screen);

// A window of this process that shows colour(x, y) at every screen point of `area`,
// drawn by a thread of its own while the test waits. Closed when dropped. With a
// `paint_time`, every WM_PAINT first works that long, like a slow program's window.
class KnownPicture {
public:
    using Colour = COLORREF (*)(POINT screen);
    KnownPicture(const RECT& area, Colour colour, Duration paint_time = 0ms);
    ~KnownPicture();
    KnownPicture(const KnownPicture&) = delete;
    KnownPicture& operator=(const KnownPicture&) = delete;
    // True once the screen shows the picture at its corners and centre.
    bool Shown() const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void Paint(HWND window) const;
    void Run();
    RECT area_;
    Colour colour_;
    Duration paint_time_;
    std::atomic<bool> made_ = false;    // the window was made, or could not be
    std::atomic<HWND> window_ = nullptr;  // owned by the thread that made it
    std::thread thread_;
};

// True when the screen shows colour(x, y) at the corners and centre of `area`.
bool ScreenShows(const RECT& area, KnownPicture::Colour colour);

}  // namespace e2e

namespace e2e {

// Types text into whatever has the keyboard focus, character by character.
void TypeText(const std::wstring& text);
// Text of a window of any process (WM_GETTEXT, so also an edit box's current text).
std::wstring ControlText(HWND window);
// The window with the keyboard focus in the thread that owns `window`, if any.
HWND FocusedWindowOf(HWND window);
// The window holding the mouse (SetCapture) in the thread that owns `window`, if any.
HWND MouseHolderOf(HWND window);
// The point of a window's title-bar close box, for a window with a fixed frame.
POINT CloseBoxPoint(HWND window);

}  // namespace e2e

namespace e2e {

// The program file opened for its resources only (pictures, bitmaps), never run;
// closed when dropped.
class ProgramResources {
public:
    ProgramResources();
    HMODULE module() const { return module_.get(); }

private:
    kadrix::UniqueHandle<kadrix::NullHandleTraits<HMODULE, ::FreeLibrary>> module_;
};

// Pixels of a bitmap that is selected into no device context.
Picture BitmapPicture(HBITMAP bitmap);

// Moves the pointer and waits until it rests there, for tests that read what the
// windows under it show. Wine moves the display's pointer for every move sent, and the
// display echoes each such move back to Wine as input a few milliseconds later, so after
// MoveMouse echoes of earlier places can still come: windows there get moves of their
// own, and Wine's position can end up apart from the display's. Here the last move the
// windows get is at the target, and the display agrees.
bool PlacePointer(POINT screen, Duration limit = 5s);

// Screen rectangles of the visible top-level windows of a class, of any process.
std::vector<RECT> VisibleWindowRects(const wchar_t* window_class);

}  // namespace e2e

namespace e2e {

// The pattern (PatternColour) over `area` in a window of another process, as another
// program's window beneath the program: under Wine a window's drawing reaches the display
// only when a thread of its process waits for messages, and in this process the test's
// own waits would show it early. A copy of this test program started with kPatternSwitch,
// whose one window thread paints slowly (see KnownPicture); it ends when dropped.
class PatternInOtherProcess {
public:
    PatternInOtherProcess(const RECT& area, Duration paint_time);
    ~PatternInOtherProcess();
    PatternInOtherProcess(const PatternInOtherProcess&) = delete;
    PatternInOtherProcess& operator=(const PatternInOtherProcess&) = delete;
    // True once the screen shows the pattern at its corners and centre.
    bool Shown() const;

private:
    RECT area_;
    kadrix::unique_handle process_;
};

// The other process's work: shows the pattern until the process that started it ends.
// Its arguments follow kPatternSwitch: the parent's id, the area and the paint time.
int ShowPatternUntilParentEnds(DWORD parent_id, const RECT& area, Duration paint_time);
inline constexpr const char* kPatternSwitch = "--pattern";

}  // namespace e2e

namespace e2e {

// The Linux path of the session's Wine prefix: a folder no other checkout's session shares.
std::string WinePrefix();

// Linux processes of this session (of its Wine prefix) whose command line holds
// `command_part`, as their /proc folders seen through Z:. Wine reports neither the
// memory nor the CPU time of another process, and programs Wine starts outside itself
// (a browser) are no Windows processes at all.
std::vector<std::filesystem::path> SessionProcesses(std::string_view command_part);

// The threads of a process now, by id.
std::vector<DWORD> ThreadsOf(DWORD process_id);
// Waits until every thread of the process that is not in `before` has ended, also those
// that such threads start meanwhile; false when one still runs after `limit`.
bool WaitForNewThreadsToEnd(DWORD process_id, const std::vector<DWORD>& before, Duration limit = 10s);

}  // namespace e2e
