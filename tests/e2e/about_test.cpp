// The About dialog read from the live window, and what the web links hand to the
// browser, seen through Wine's browser hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <fstream>
#include <string>
#include <vector>

#include "Harness.h"
#include "about/AboutLayout.h"
#include "app/Commands.h"
#include "app/TavikConsts.h"
#include "controls/SkinPalette.h"

namespace e2e {
namespace {

constexpr const wchar_t* kDialogClass = L"#32770";

std::string SourceFolder() {
    const std::string file = __FILE__;
    return file.substr(0, file.find_last_of('/'));
}

struct ExpectedControl {
    kadrix::AboutControlId id;
    RECT rect;  // in the client area; right and bottom of fitted labels are not checked
    std::wstring text;
};

std::vector<ExpectedControl> ExpectedControls() {
    using namespace kadrix;
    return {
        {idProgrammLabel, {58, 107}, L"Tavik Кадрикс"},
        {idVersionLabel, {58, 129}, L"Версия программы: 2.0"},
        {idAuthorLabel, {58, 151}, std::wstring(NoticeCaption) + L": " + NoticeText},
        {idInfoLabel, {58, 181, 541, 287},
         L"Кадрикс - современная и удобная БЕСПЛАТНАЯ программа для создания снимков (фото/скриншотов) "
         L"рабочего стола. Позволяет сделать снимок рабочего стола и сохранить его в файл в разных "
         L"популярных форматах."},
        {idSiteLabel, {22, 282, 279, 298}, L"Сайт программы"},
        {idSupportLabel, {288, 282, 547, 298}, L"Техническая поддержка"},
        {idCloseButton, {419, 327, 541, 360}, L"Закрыть"},
    };
}

void ExpectTheForm(HWND dialog) {
    EXPECT_EQ(WindowText(dialog), L"О программе...");
    const SIZE client = ClientSize(dialog);
    EXPECT_EQ(client.cx, 550);
    EXPECT_EQ(client.cy, 371);
    for (const ExpectedControl& expected : ExpectedControls()) {
        HWND control = GetDlgItem(dialog, expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        EXPECT_EQ(WindowText(control), expected.text) << expected.id;
        const RECT rect = ChildRectInParent(control);
        EXPECT_EQ(rect.left, expected.rect.left) << expected.id;
        EXPECT_EQ(rect.top, expected.rect.top) << expected.id;
        if (expected.rect.right) {
            EXPECT_EQ(rect.right, expected.rect.right) << expected.id;
            EXPECT_EQ(rect.bottom, expected.rect.bottom) << expected.id;
        } else {
            EXPECT_GT(rect.right - rect.left, 0) << expected.id << " does not fit its text";
            EXPECT_GT(rect.bottom - rect.top, 0) << expected.id << " does not fit its text";
        }
    }
}

// The background artwork as stored in the source tree.
class AboutPicture {
public:
    bool Loaded() const { return bitmap_ && dc_; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    const kadrix::unique_hbitmap bitmap_{static_cast<HBITMAP>(
        LoadImageW(nullptr, WinePath(SourceFolder() + "/../../resources/art/about.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE))};
    const kadrix::unique_hdc dc_{CreateCompatibleDC(nullptr)};
    const kadrix::SelectedObject selected_{dc_.get(), bitmap_.get()};
};

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override { ResetStoredOptions(); }

    HWND OpenWithButton(const Program& program) {
        const POINT button = Centre(WindowRectOnScreen(program.Control(kadrix::cmdAbout)));
        ClickUntil(button, 0, [&] { return !program.VisibleWindows(kDialogClass).empty(); });
        return WaitForDialog(program);
    }

    HWND OpenFromTray(const Program& program) {
        ChooseTrayItem(10);  // "О программе"
        return WaitForDialog(program);
    }

    static void ChooseTrayItem(int position) {  // 1-based, separators not counted
        ASSERT_TRUE(OpenTrayMenu()) << "the tray menu did not open";
        for (int step = 0; step < position; ++step) PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        ASSERT_TRUE(WaitFor([] { return !PopupMenuOpen(); }));
    }

    static HWND WaitForDialog(const Program& program) {
        HWND dialog = program.WaitForWindow(kDialogClass);
        // Keys go to the foreground window, and the labels paint last.
        WaitFor([&] { return dialog && GetForegroundWindow() == dialog; });
        return dialog;
    }
};

TEST_F(AboutDialog, ShowsItsFormCentredOverTheMainWindowWhichItDisables) {
    Program program = Program::Start();
    HWND dialog = OpenWithButton(program);
    ASSERT_NE(dialog, nullptr);
    ExpectTheForm(dialog);
    EXPECT_FALSE(IsWindowEnabled(program.MainWindow()));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.MainWindow());

    const POINT centre = Centre(WindowRectOnScreen(dialog));
    const POINT main_centre = Centre(WindowRectOnScreen(program.MainWindow()));
    EXPECT_LE(std::abs(centre.x - main_centre.x), 1);
    EXPECT_LE(std::abs(centre.y - main_centre.y), 1);

    HWND close = GetDlgItem(dialog, kadrix::idCloseButton);
    EXPECT_EQ(GetNextDlgTabItem(dialog, nullptr, FALSE), close) << "the close button is first in tab order";
    EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), kadrix::idCloseButton);

    // Drawn by the skin, in the main window's blue.
    const RECT face = WindowRectOnScreen(close);
    const POINT inside{face.left + 8, (face.top + face.bottom) / 2};
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(inside) == kadrix::kSkinBlue; }, 3s))
        << std::hex << ScreenPixel(inside);
}

TEST_F(AboutDialog, ShowsThePictureUnscaledCentredAndCroppedUnderSeeThroughLabels) {
    AboutPicture picture;
    ASSERT_TRUE(picture.Loaded());
    Program program = Program::Start();
    HWND dialog = OpenWithButton(program);
    ASSERT_NE(dialog, nullptr);
    const RECT client = ClientRectOnScreen(dialog);

    // 565 x 380 in 550 x 371: 7 columns and 4 rows cut off at the left and top.
    const POINT samples[] = {
        {0, 0},      {549, 0},   {0, 370},  {549, 370},  // the corners
        {275, 40},   {300, 90},             // logo band and its edge
        {25, 285},   {290, 285},            // inside the link boxes, clear of their text
        {60, 290},   {400, 340},            // the white panel and the grey footer
    };
    for (const POINT& sample : samples) {
        const POINT screen{client.left + sample.x, client.top + sample.y};
        const COLORREF expected = picture.Pixel(sample.x + 7, sample.y + 4);
        EXPECT_TRUE(WaitFor([&] { return ScreenPixel(screen) == expected; }, 3s))
            << "client pixel " << sample.x << "," << sample.y << ": screen " << std::hex << ScreenPixel(screen)
            << ", picture " << expected;
    }
}

TEST_F(AboutDialog, TextBlockLeavesTheLinksBelowItWholeAlsoWhenItRepaints) {
    Program program = Program::Start();
    HWND dialog = OpenWithButton(program);
    ASSERT_NE(dialog, nullptr);
    // The text block's box reaches five rows into each link's box.
    const RECT links[] = {WindowRectOnScreen(GetDlgItem(dialog, kadrix::idSiteLabel)),
                          WindowRectOnScreen(GetDlgItem(dialog, kadrix::idSupportLabel))};
    auto pixels = [&] {
        std::vector<COLORREF> all;
        for (const RECT& link : links) {
            const Picture picture = ScreenPicture(link);
            all.insert(all.end(), picture.pixels.begin(), picture.pixels.end());
        }
        return all;
    };
    // The labels paint last, and the drawing reaches the screen when the dialog's thread
    // next idles: wait until both links show their navy text, the same twice in a row.
    auto navy_in_both = [&](const std::vector<COLORREF>& all) {
        const auto split = all.begin() + (links[0].right - links[0].left) * (links[0].bottom - links[0].top);
        return std::count(all.begin(), split, RGB(0, 0, 128)) > 0 && std::count(split, all.end(), RGB(0, 0, 128)) > 0;
    };
    std::vector<COLORREF> whole = pixels();
    ASSERT_TRUE(WaitFor([&] { return std::exchange(whole, pixels()) == whole && navy_in_both(whole); }, 5s, 100ms));
    // The top of «Т» and the breve of «й» lie in the rows the text block's box covers.
    for (const RECT& link : links) {
        const Picture top_rows = ScreenPicture({link.left, link.top, link.right, link.top + 5});
        EXPECT_GT(std::count(top_rows.pixels.begin(), top_rows.pixels.end(), RGB(0, 0, 128)), 0)
            << "the text block painted over the link at " << link.left;
    }
    // The label has painted into the dialog's surface when RedrawWindow returns (its
    // WM_PAINT is sent), and Wine shows the surface when the dialog's thread next idles.
    // A new caption is painted after the label: once the screen shows it, it shows the
    // label's repaint too.
    RedrawWindow(GetDlgItem(dialog, kadrix::idInfoLabel), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT frame = WindowRectOnScreen(dialog);
    const RECT caption{frame.left, frame.top, frame.right, ClientRectOnScreen(dialog).top};
    const std::vector<COLORREF> old_caption = ScreenPicture(caption).pixels;
    SetWindowTextW(dialog, L"Кадрикс");
    ASSERT_TRUE(WaitFor([&] { return ScreenPicture(caption).pixels != old_caption; })) << "the new caption never showed";
    EXPECT_TRUE(pixels() == whole) << "the text block painted over the links";
}

TEST_F(AboutDialog, EnterEscAndTheCloseBoxCloseItAndEveryOpeningIsANewOne) {
    Program program = Program::Start();
    HWND main = program.MainWindow();

    HWND first = OpenWithButton(program);
    ASSERT_NE(first, nullptr);
    ExpectTheForm(first);
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(first); })) << "Enter did not close the dialog";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));

    HWND second = OpenFromTray(program);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    ExpectTheForm(second);
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(second); })) << "Esc did not close the dialog";

    HWND third = OpenWithButton(program);
    ASSERT_NE(third, nullptr);
    ExpectTheForm(third);
    PostMessageW(third, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(third); })) << "the close box did not close the dialog";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));
    EXPECT_TRUE(program.Running());
}

// Wine hands every web address to the programs listed under this key; the test's
// stand-in records them in a file of the session's own prefix, as checkouts may test at once.
class WebLinks : public AboutDialog {
protected:
    void SetUp() override {
        AboutDialog::SetUp();
        DeleteFileW(WinePath(Record()).c_str());
        const std::wstring browsers = Quoted(SourceFolder() + "/record-url.sh") + L" " + Quoted(Record());
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ,
                                  browsers.c_str(), static_cast<DWORD>((browsers.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
    }

    static std::wstring Quoted(const std::string& path) { return L"\"" + kadrix::FromUtf8(path) + L"\""; }
    static std::string Record() { return WinePrefix() + "/kadrix-e2e-opened.txt"; }

    static std::vector<std::wstring> Opened() {
        std::vector<std::wstring> lines;
        std::ifstream record(std::filesystem::path(WinePath(Record())));
        for (std::string line; std::getline(record, line);) lines.push_back(kadrix::FromUtf8(line));
        return lines;
    }

    // The shell has started winebrowser when it returns to the program, and winebrowser's
    // stand-in runs until it has written: once the program has handled an input and
    // neither runs, every address that input opened is in the record.
    static bool NoAddressUnderWay() {
        return WaitFor([] { return SessionProcesses("winebrowser").empty() && SessionProcesses("record-url.sh").empty(); },
                       15s);
    }

    static std::vector<std::wstring> WaitForOpened(std::size_t count) {
        WaitFor([&] { return Opened().size() >= count; }, 15s);
        NoAddressUnderWay();
        return Opened();
    }
};

TEST_F(WebLinks, TrayItemsOpenTheirAddressesUnchanged) {
    Program program = Program::Start();
    const struct {
        int position;
        const wchar_t* address;
    } items[] = {
        {6, kadrix::ProgramSiteURL},
        {7, kadrix::CompanySiteURL},
        {8, kadrix::VKGroupURL},
        {9, kadrix::SupportURL},
    };
    std::vector<std::wstring> expected;
    for (const auto& item : items) {
        ChooseTrayItem(item.position);
        expected.push_back(item.address);
        EXPECT_EQ(WaitForOpened(expected.size()), expected) << "after tray item " << item.position;
    }
}

// The shell takes the quotation marks off before the browser sees the address; that
// they are sent is checked in-process (AboutLinks in the Windows unit tests).
TEST_F(WebLinks, AboutLinksOpenTheirAddressesAndKeepTheDialogOpen) {
    Program program = Program::Start();
    HWND dialog = OpenWithButton(program);
    ASSERT_NE(dialog, nullptr);

    // The shell hands an address on well within the wait, so a repeated click means a lost one.
    auto click_link = [&](kadrix::AboutControlId link, std::size_t opened) {
        const POINT centre = Centre(WindowRectOnScreen(GetDlgItem(dialog, link)));
        return ClickUntil(centre, 0, [&] { return Opened().size() >= opened; }, 6s);
    };
    ASSERT_TRUE(click_link(kadrix::idSiteLabel, 1));
    EXPECT_EQ(WaitForOpened(1), (std::vector<std::wstring>{kadrix::ProgramSiteURL}));
    ASSERT_TRUE(click_link(kadrix::idSupportLabel, 2));
    EXPECT_EQ(WaitForOpened(2), (std::vector<std::wstring>{kadrix::ProgramSiteURL, kadrix::SupportURL}));
    EXPECT_TRUE(IsWindow(dialog));
}

// A link holds the mouse once it has handled a press: pressed again it does the same.
void PressLink(HWND link) {
    SendUntil("press on a link", [&] { PressMouse(Centre(WindowRectOnScreen(link))); },
              [&] { return MouseHolderOf(link) == link; }, "the link does not hold the mouse");
}

TEST_F(WebLinks, LinksOpenOnAReleaseInsideThemOnly) {
    Program program = Program::Start();
    HWND dialog = OpenWithButton(program);
    ASSERT_NE(dialog, nullptr);
    const HWND site = GetDlgItem(dialog, kadrix::idSiteLabel);
    const POINT off_the_link{Centre(WindowRectOnScreen(site)).x, WindowRectOnScreen(site).bottom + 30};
    // Pressed, but let go off the link: nothing opens, neither on the press nor after.
    PressLink(site);
    ASSERT_EQ(MouseHolderOf(site), site) << "the press never reached the link";
    ASSERT_TRUE(NoAddressUnderWay());
    EXPECT_TRUE(Opened().empty()) << "a press opened the page";
    MoveMouse(off_the_link);
    ReleaseMouse(off_the_link);
    // The dialog's thread takes its input in order: once the close button's click has
    // closed the dialog, the release before it has been handled.
    HWND close = GetDlgItem(dialog, kadrix::idCloseButton);
    ASSERT_TRUE(ClickUntil(Centre(WindowRectOnScreen(close)), 0, [&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(NoAddressUnderWay());
    EXPECT_TRUE(Opened().empty()) << "a release off the link opened the page";
    // The main window's link opens on its release too.
    const HWND group = program.Control(kadrix::cmdVkGroup);
    PressLink(group);
    ASSERT_EQ(MouseHolderOf(group), group) << "the press never reached the group link";
    ASSERT_TRUE(NoAddressUnderWay());
    EXPECT_TRUE(Opened().empty()) << "a press opened the group page";
    ReleaseMouse(Centre(WindowRectOnScreen(group)));
    EXPECT_EQ(WaitForOpened(1), (std::vector<std::wstring>{kadrix::VKGroupURL}));
}

}  // namespace
}  // namespace e2e
