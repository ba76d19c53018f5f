// The settings dialog and the folder chooser, driven through the real program.
#include <gtest/gtest.h>

#include "Harness.h"
#include "app/Win32Handles.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "app/Commands.h"
#include "controls/SkinPalette.h"
#include "settings/SettingsLayout.h"

namespace e2e {
namespace {

using namespace kadrix;

const std::wstring kStartPath = L"C:\\start folder";
const StoredOptions kStart{.img_format = 1, .need_save = 1, .save_path = kStartPath, .need_cursor = 0, .play_sound = 1};

// What the dialog shows, in the options' terms.
struct Shown {
    bool save;
    bool cursor;
    std::wstring path;
    LRESULT format;
    bool sound;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* out) {
    *out << "{save " << s.save << ", cursor " << s.cursor << ", path \"" << kadrix::ToUtf8(s.path)
         << "\", format " << s.format << ", sound " << s.sound << "}";
}

bool Ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class Settings : public ::testing::Test {
protected:
    void Start(const StoredOptions& stored = kStart) {
        ResetStoredOptions(stored);
        program.emplace(Program::Start());
    }

    // Runs the settings command as its button does; the click itself is tested once.
    HWND Open() {
        PostMessageW(program->MainWindow(), WM_COMMAND, cmdSettings, 0);
        return WaitOpen();
    }
    HWND WaitOpen() {
        dialog = program->WaitForWindow(kSettingsWindowClass);
        if (dialog)
            WaitFor([&] { return GetForegroundWindow() == dialog && FocusedWindowOf(dialog) == Item(idEditPath); });
        return dialog;
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void ClickItem(int id) const { Click(Centre(WindowRectOnScreen(Item(id)))); }
    // Once the dialog is gone and the owner is enabled again, the command is over
    // unless it still saves.
    bool WaitClosed() const {
        return WaitFor([&] { return !IsWindow(dialog) && IsWindowEnabled(program->MainWindow()); });
    }
    // Saving writes "PlaySound" last: taken away first, its return marks the save done.
    bool SaveAndWait() const {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"PlaySound");
        ClickItem(idBtnSave);
        return WaitClosed() && WaitFor([] { return ReadStoredNumber(L"PlaySound").has_value(); });
    }

    Shown Read() const {
        return {Ticked(Item(idCheckBoxSave)), Ticked(Item(idCheckBoxNeedCursor)), ControlText(Item(idEditPath)),
                SendMessageW(Item(idComboBoxFormats), CB_GETCURSEL, 0, 0), Ticked(Item(idCheckBoxPlaySound))};
    }

    // Replaces the text of the focused path box by typing over all of it.
    void TypePath(const std::wstring& text) const {
        PressKeys({VK_END});
        PressKeys({VK_SHIFT, VK_HOME});
        TypeText(text);
        ASSERT_TRUE(WaitFor([&] { return ControlText(Item(idEditPath)) == text; }))
            << ControlText(Item(idEditPath)).size() << " focus " << FocusedWindowOf(dialog) << " fg "
            << GetForegroundWindow() << " dialog " << dialog;
    }

    void TabTo(int id) const {
        PressKeys({VK_TAB});
        ASSERT_TRUE(WaitFor([&] { return FocusedWindowOf(dialog) == Item(id); })) << id;
    }

    // Every control differs from kStart afterwards. Walks the keyboard order from the
    // path box: Space ticks, End picks the last format, the box is typed over.
    void ChangeEverything() const {
        ASSERT_EQ(FocusedWindowOf(dialog), Item(idEditPath));
        TabTo(idBtnOpen);
        for (const int id : {idCheckBoxSave, idComboBoxFormats, idCheckBoxNeedCursor, idBtnClose, idBtnSave,
                             idCheckBoxPlaySound}) {
            TabTo(id);
            if (id == idComboBoxFormats) {
                PressKeys({VK_END});
                ASSERT_TRUE(WaitFor([&] { return SendMessageW(Item(id), CB_GETCURSEL, 0, 0) == 4; }));
            } else if (id != idBtnClose && id != idBtnSave) {
                const bool before = Ticked(Item(id));
                PressKeys({VK_SPACE});
                ASSERT_TRUE(WaitFor([&] { return Ticked(Item(id)) != before; })) << id;
            }
        }
        TabTo(idEditPath);
        TypePath(L"D:\\другая папка");
    }

    std::optional<Program> program;
    HWND dialog = nullptr;
};

const Shown kStartShown{true, false, kStartPath, 1, true};
const Shown kChangedShown{false, true, L"D:\\другая папка", 4, false};

void ExpectStored(std::int32_t format, DWORD save, const std::wstring& path, DWORD cursor, DWORD sound) {
    DWORD type = 0;
    EXPECT_EQ(ReadStoredNumber(L"IMG_format", &type), static_cast<DWORD>(format));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadStoredNumber(L"NeedSave", &type), save);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadStoredText(L"SavePath", &type), path);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadStoredNumber(L"NeedCursor", &type), cursor);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadStoredNumber(L"PlaySound", &type), sound);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(Settings, FormGeometryTextsAndLook) {
    Start();
    Click(Centre(WindowRectOnScreen(program->Control(cmdSettings))));
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(WindowText(dialog), L"Настройки программы");
    const SIZE client = ClientSize(dialog);
    EXPECT_EQ(client.cx, 598);
    EXPECT_EQ(client.cy, 203);
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program->MainWindow());
    EXPECT_FALSE(IsWindowEnabled(program->MainWindow()));

    const POINT centre = Centre(WindowRectOnScreen(dialog));
    const POINT owner_centre = Centre(WindowRectOnScreen(program->MainWindow()));
    EXPECT_LE(std::abs(centre.x - owner_centre.x), 1);
    EXPECT_LE(std::abs(centre.y - owner_centre.y), 1);

    struct Expected {
        int id;
        RECT rect;
        const wchar_t* text;
    };
    const Expected controls[] = {
        {idCheckBoxSave, {3, 3, 595, 25}, L"Сохранять снимок экрана"},
        {idLabelPath, {6, 34, 135, 58}, L"Путь для сохранения:"},
        {idEditPath, {141, 34, 469, 58}, kStartPath.c_str()},
        {idBtnOpen, {475, 34, 592, 58}, L"Выбрать"},
        {idLabelFormat, {6, 70, 139, 94}, L"Формат изображения:"},
        {idComboBoxFormats, {142, 67, 595, 91}, nullptr},
        {idCheckBoxNeedCursor, {8, 98, 222, 120}, L"Показывать курсор (стрелочка)"},
        {idCheckBoxPlaySound, {8, 126, 146, 148}, L"Использовать звук"},
        {idBtnSave, {354, 158, 469, 195}, L"Сохранить"},
        {idBtnClose, {475, 157, 590, 194}, L"Закрыть"},
    };
    for (const Expected& c : controls) {
        const RECT rect = ChildRectInParent(Item(c.id));
        EXPECT_EQ(rect.left, c.rect.left) << c.id;
        EXPECT_EQ(rect.top, c.rect.top) << c.id;
        EXPECT_EQ(rect.right, c.rect.right) << c.id;
        EXPECT_EQ(rect.bottom, c.rect.bottom) << c.id;
        if (c.text) {
            EXPECT_EQ(ControlText(Item(c.id)), c.text) << c.id;
        }
    }

    const HWND formats = Item(idComboBoxFormats);
    EXPECT_EQ(GetWindowLongPtrW(formats, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    const wchar_t* items[] = {
        L"BMP - высокое качество, большой размер файла",
        L"PNG - высокое качество, нормальный размер файла",
        L"JPEG (mini) - низкое качество, маленький размер файла",
        L"JPEG (normal) - среднее качество, небольшой размер файла",
        L"JPEG (MAXI) - высокое качество, средний размер файла",
    };
    ASSERT_EQ(SendMessageW(formats, CB_GETCOUNT, 0, 0), 5);
    for (int i = 0; i < 5; ++i) {
        wchar_t text[128] = {};
        SendMessageW(formats, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, items[i]) << i;
    }

    // The light grey field behind the path's end and at the list's top edge.
    const RECT edit = WindowRectOnScreen(Item(idEditPath));
    EXPECT_EQ(ScreenPixel({edit.right - 8, (edit.top + edit.bottom) / 2}), RGB(242, 242, 242));
    const RECT list = WindowRectOnScreen(formats);
    EXPECT_EQ(ScreenPixel({list.left + 4, list.top + 4}), RGB(242, 242, 242));

    // Push buttons and check boxes are drawn by the skin: blue faces, and a ticked box
    // filled with the blue where an unticked one shows only its edge.
    for (const int id : {idBtnOpen, idBtnSave, idBtnClose}) {
        const RECT button = WindowRectOnScreen(Item(id));
        EXPECT_EQ(ScreenPixel({button.left + 8, (button.top + button.bottom) / 2}), kSkinBlue) << id;
    }
    auto box_blue = [&](int id) {
        const RECT box = WindowRectOnScreen(Item(id));
        const Picture picture = ScreenPicture({box.left, box.top, box.left + 20, box.bottom});
        return std::count(picture.pixels.begin(), picture.pixels.end(), kSkinBlue);
    };
    ASSERT_TRUE(Ticked(Item(idCheckBoxSave)));
    ASSERT_FALSE(Ticked(Item(idCheckBoxNeedCursor)));
    EXPECT_GT(box_blue(idCheckBoxNeedCursor), 20);
    EXPECT_GT(box_blue(idCheckBoxSave), box_blue(idCheckBoxNeedCursor) + 80);

    // Keyboard order, starting in the path box and wrapping round.
    const int order[] = {idBtnOpen, idCheckBoxSave, idComboBoxFormats, idCheckBoxNeedCursor,
                         idBtnClose, idBtnSave, idCheckBoxPlaySound, idEditPath};
    for (const int id : order) {
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitFor([&] { return FocusedWindowOf(dialog) == Item(id); }, 3s)) << id;
    }
}

TEST_F(Settings, ShowsTheOptionsAndSaveStoresAndKeepsTheChanges) {
    Start();
    ASSERT_TRUE(Open());
    EXPECT_EQ(Read(), kStartShown);
    ChangeEverything();
    ASSERT_TRUE(SaveAndWait());
    ExpectStored(4, 0, L"D:\\другая папка", 1, 0);
    ASSERT_TRUE(IsWindowEnabled(program->MainWindow()));

    ASSERT_TRUE(Open());
    EXPECT_EQ(Read(), kChangedShown);
}

TEST_F(Settings, SaveWithoutChangesWritesAllFiveDefaults) {
    Start({});
    ASSERT_TRUE(Open());
    const std::wstring pictures = UsersPictures().wstring();
    EXPECT_EQ(Read(), (Shown{true, true, pictures, 3, true}));
    EXPECT_FALSE(ReadStoredNumber(L"IMG_format"));
    ASSERT_TRUE(SaveAndWait());
    ExpectStored(3, 1, pictures, 1, 1);
}

TEST_F(Settings, FormatOutsideTheListShowsNoSelectionAndSaveStoresMinusOne) {
    for (const DWORD stored : {DWORD{7}, DWORD(-1)}) {
        Start({.img_format = stored});
        ASSERT_TRUE(Open());
        EXPECT_EQ(SendMessageW(Item(idComboBoxFormats), CB_GETCURSEL, 0, 0), CB_ERR) << stored;
        ASSERT_TRUE(SaveAndWait());
        EXPECT_EQ(ReadStoredNumber(L"IMG_format"), DWORD(-1)) << stored;
    }
}

TEST_F(Settings, CloseButtonAndCloseBoxChangeNothing) {
    for (const bool close_box : {false, true}) {
        Start();
        ASSERT_TRUE(Open());
        ChangeEverything();
        if (close_box) Click(CloseBoxPoint(dialog));
        else ClickItem(idBtnClose);
        ASSERT_TRUE(WaitClosed()) << close_box;
        ExpectStored(1, 1, kStartPath, 0, 1);
        ASSERT_TRUE(Open());
        EXPECT_EQ(Read(), kStartShown) << close_box;
    }
}

TEST_F(Settings, EscAndEnterDoNotCloseItButEnterPressesAFocusedButton) {
    Start();
    ASSERT_TRUE(Open());
    // Keys are handled in order, so once the typed letter shows, Esc or Enter has been seen.
    for (const WORD key : {WORD{VK_ESCAPE}, WORD{VK_RETURN}}) {
        const std::wstring before = ControlText(Item(idEditPath));
        PressKeys({key});
        PressKeys({VK_END});
        TypeText(L"x");
        ASSERT_TRUE(WaitFor([&] { return ControlText(Item(idEditPath)).size() == before.size() + 1; }))
            << key << " fg " << GetForegroundWindow() << " dialog " << dialog << " focus " << FocusedWindowOf(dialog)
            << " text " << ControlText(Item(idEditPath)).size() << " before " << before.size();
        EXPECT_TRUE(IsShown(dialog)) << key;
    }
    // In the closed format list: Enter, then a key the list answers.
    for (int step = 0; step < 3; ++step) PressKeys({VK_TAB});
    ASSERT_TRUE(WaitFor([&] { return FocusedWindowOf(dialog) == Item(idComboBoxFormats); }));
    PressKeys({VK_RETURN});
    PressKeys({VK_ESCAPE});
    PressKeys({VK_DOWN});
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(Item(idComboBoxFormats), CB_GETCURSEL, 0, 0) == 2; }));
    EXPECT_TRUE(IsShown(dialog));

    // Two tabs on, "Закрыть" has the focus: Enter presses it and nothing is stored.
    for (int step = 0; step < 2; ++step) PressKeys({VK_TAB});
    ASSERT_TRUE(WaitFor([&] { return FocusedWindowOf(dialog) == Item(idBtnClose); }));
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitClosed());
    ExpectStored(1, 1, kStartPath, 0, 1);
}

TEST_F(Settings, TypedPathIsStoredVerbatim) {
    Start();
    ASSERT_TRUE(Open());
    const std::wstring typed = L"  Q:\\нет такой\\папки\\ ";
    TypePath(typed);
    ASSERT_TRUE(SaveAndWait());
    EXPECT_EQ(ReadStoredText(L"SavePath"), typed);
}

TEST_F(Settings, SecondSettingsCommandFromTheTrayBringsTheOpenDialogForward) {
    Start();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(OpenTrayMenu());
    for (int step = 0; step < 5; ++step) PressKeys({VK_DOWN});  // "Настройки программы"
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !PopupMenuOpen(); }));
    // The typed letter lands in the first dialog only once the command has run.
    const std::wstring before = ControlText(Item(idEditPath));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
    PressKeys({VK_END});
    TypeText(L"y");
    ASSERT_TRUE(WaitFor([&] { return ControlText(Item(idEditPath)).size() == before.size() + 1; }));
    EXPECT_EQ(program->VisibleWindows(kSettingsWindowClass).size(), 1u);
    ClickItem(idBtnClose);
    ASSERT_TRUE(WaitClosed()) << IsWindow(dialog) << IsWindowVisible(dialog) << IsWindowEnabled(program->MainWindow())
                              << " fg " << GetForegroundWindow() << " dialog " << dialog << " at "
                              << WindowFromPoint(Centre(WindowRectOnScreen(Item(idBtnClose)))) << " close "
                              << Item(idBtnClose);
}

TEST_F(Settings, AboutOverSettingsGivesEveryWindowBackInOrder) {
    Start();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(OpenTrayMenu());
    for (int step = 0; step < 10; ++step) PressKeys({VK_DOWN});  // "О программе"
    PressKeys({VK_RETURN});
    const HWND about = program->WaitForWindow(L"#32770");
    ASSERT_TRUE(about);
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the settings are disabled under About";
    EXPECT_FALSE(IsWindowEnabled(program->MainWindow()));
    // Closed before the activation the menu asked for may have come: had it been the
    // disabled main window's, it would come late and raise it over the settings.
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindowEnabled(program->MainWindow())) << "the main window stays disabled while the settings run";
    EXPECT_TRUE(SaveAndWait()) << "«Сохранить» works after About closed";
}

class FolderChooser : public Settings {
protected:
    void SetUp() override {
        Start();
        ASSERT_TRUE(Open());
    }

    // Types `typed` into the path box, presses "Выбрать" and waits for the chooser.
    HWND OpenChooser(const std::wstring& typed) {
        TypePath(typed);
        ClickItem(idBtnOpen);
        HWND chooser = nullptr;
        WaitFor([&] {
            for (HWND window : program->VisibleWindows(L"#32770"))
                if (WindowText(window) == L"Выберите папку") chooser = window;
            return chooser != nullptr;
        });
        return chooser;
    }

    // Puts a name into the chooser's name box and presses its Open button.
    static void Accept(HWND chooser, const std::wstring& name) {
        SendMessageW(GetDlgItem(chooser, 1152), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    }
};

TEST_F(FolderChooser, OpensAtTheTypedFolderAndPutsTheAcceptedOneInTheBox) {
    const std::filesystem::path start = FreshFolder(L"chooser") / L"начало";
    std::filesystem::create_directories(start / L"внутри");
    const HWND chooser = OpenChooser(start.wstring());
    ASSERT_TRUE(chooser);
    EXPECT_EQ(GetWindow(chooser, GW_OWNER), dialog);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    // A bare name is taken relative to the folder the chooser opened at.
    Accept(chooser, L"внутри");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(ControlText(Item(idEditPath)), (start / L"внутри").wstring());
    EXPECT_EQ(ReadStoredText(L"SavePath"), kStartPath);  // nothing stored before "Сохранить"
}

TEST_F(FolderChooser, CancelKeepsTheTypedText) {
    const std::wstring typed = L"C:\\windows";
    const HWND chooser = OpenChooser(typed);
    ASSERT_TRUE(chooser);
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser) && IsWindowEnabled(dialog); }));
    EXPECT_EQ(ControlText(Item(idEditPath)), typed);
}

TEST_F(FolderChooser, StartsFromAFolderThatDoesNotExist) {
    const std::filesystem::path target = FreshFolder(L"chooser-target");
    const HWND chooser = OpenChooser(L"Q:\\нет\\такой папки");
    ASSERT_TRUE(chooser);
    Accept(chooser, target.wstring());
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(ControlText(Item(idEditPath)), target.wstring());
}

// Kernel handles, GDI and USER objects of the program, as far as Wine reports them,
// plus its windows as a USER count of our own.
struct Resources {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    std::size_t windows = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    EnumChildWindows(window, [](HWND, LPARAM c) { return ++*reinterpret_cast<std::size_t*>(c), TRUE; }, count);
    return TRUE;
}

Resources ResourcesOf(const Program& program) {
    Resources r;
    const kadrix::unique_handle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, program.ProcessId()));
    GetProcessHandleCount(process.get(), &r.handles);
    r.gdi = GetGuiResources(process.get(), GR_GDIOBJECTS);
    r.user = GetGuiResources(process.get(), GR_USEROBJECTS);
    EnumThreadWindows(GetWindowThreadProcessId(program.MainWindow(), nullptr), &CountWindow,
                      reinterpret_cast<LPARAM>(&r.windows));
    return r;
}

void Report(const char* what, int cycles, const Resources& before, const Resources& after) {
    std::printf("[ figures  ] %s, %d cycles: handles %lu -> %lu, GDI objects %lu -> %lu, USER objects %lu -> %lu, "
                "windows %zu -> %zu\n",
                what, cycles, before.handles, after.handles, before.gdi, after.gdi, before.user, after.user,
                before.windows, after.windows);
}

// Wine reports 0 for the three counters of another process, so only the windows are
// held to account here; the GDI objects are counted in-process by the Windows-side tests.
// A helper window of the shell now and then goes a moment after the last cycle.
void ExpectFlat(const Program& program, const Resources& before) {
    std::size_t windows = 0;
    EXPECT_TRUE(WaitFor([&] { return (windows = ResourcesOf(program).windows) <= before.windows; }, 3s))
        << before.windows << " windows before, " << windows << " after";
}

TEST_F(FolderChooser, RepeatedDialogsAndChoosersLeaveTheProgramsResourcesFlat) {
    // The open dialog of SetUp warms up classes and fonts; the count starts once it is closed.
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitClosed());
    const Resources start = ResourcesOf(*program);
    constexpr int kDialogCycles = 200;
    for (int cycle = 0; cycle < kDialogCycles; ++cycle) {
        ASSERT_TRUE(Open()) << cycle;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitClosed()) << cycle;
    }
    const Resources after_dialogs = ResourcesOf(*program);
    Report("settings dialog", kDialogCycles, start, after_dialogs);
    ExpectFlat(*program, start);

    ASSERT_TRUE(Open());
    auto chooser_cycle = [&] {
        ClickItem(idBtnOpen);
        HWND chooser = nullptr;
        if (!WaitFor([&] { return (chooser = program->WaitForWindow(L"#32770", 0ms)) != nullptr; })) return false;
        PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return WaitFor([&] { return !IsWindow(chooser) && IsWindowEnabled(dialog); });
    };
    ASSERT_TRUE(chooser_cycle());  // the first one loads the shell's libraries
    const Resources chooser_start = ResourcesOf(*program);
    constexpr int kChooserCycles = 50;
    for (int cycle = 0; cycle < kChooserCycles; ++cycle) ASSERT_TRUE(chooser_cycle()) << cycle;
    const Resources after_choosers = ResourcesOf(*program);
    Report("folder chooser", kChooserCycles, chooser_start, after_choosers);
    ExpectFlat(*program, chooser_start);
}

}  // namespace
}  // namespace e2e
