// The installer and uninstaller run silently, as an administrator's script would run
// them, and then the installed program is used the way its shortcuts start it.
#include <gtest/gtest.h>

#include <fstream>

#include "Harness.h"
#include "Installation.h"
#include "app/Commands.h"
#include "app/TavikConsts.h"
#include "app/Win32Handles.h"

namespace install {
namespace {

using e2e::Program;
using e2e::WaitFor;
using namespace std::chrono_literals;

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveInstallation();
        e2e::ResetStoredOptions(options);
    }
    void TearDown() override { RemoveInstallation(); }

    static void Install(const std::wstring& setup = SetupFile(), const std::wstring& arguments = L"/S") {
        ASSERT_EQ(RunSetup(setup, arguments), 0u) << "setup " << arguments;
    }
    // One capture to the options' folder by the installed program, which then closes.
    void CaptureWithInstalledProgram() {
        Program program = Program::Start(InstalledProgram());
        e2e::RunHotkey(program, 0);
        ASSERT_EQ(e2e::WaitForFiles(captures, 1).size(), 1u);
    }
    void ExpectOptionsKept() const {
        EXPECT_EQ(e2e::ReadStoredText(L"SavePath"), options.save_path);
        EXPECT_EQ(e2e::ReadStoredNumber(L"IMG_format"), options.img_format);
        EXPECT_EQ(e2e::ReadStoredNumber(L"PlaySound"), options.play_sound);
    }

    std::filesystem::path captures = e2e::FreshFolder(L"install-captures");
    e2e::StoredOptions options{.img_format = 0, .need_save = 1, .save_path = captures.wstring(), .need_cursor = 0,
                               .play_sound = 1};
};

std::vector<std::wstring> FileNamesIn(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& file : e2e::FilesIn(folder)) names.push_back(file.filename().wstring());
    return names;
}

TEST_F(Installer, SilentInstallPutsTheProgramItsShortcutAndItsEntryInPlace) {
    ASSERT_NO_FATAL_FAILURE(Install());

    EXPECT_EQ(FileNamesIn(InstallFolder()), (std::vector<std::wstring>{L"kadrix.exe", L"sound.wav", L"uninstall.exe"}));
    EXPECT_EQ(e2e::ReadFileBytes(InstalledProgram()), e2e::ReadFileBytes(e2e::WinePath(KADRIX_STAGED_EXE_PATH)));
    const auto start_menu = ReadShortcut(StartMenuShortcut());
    ASSERT_TRUE(start_menu) << "no Start menu shortcut";
    EXPECT_EQ(start_menu->target, InstalledProgram());
    EXPECT_EQ(start_menu->show_command, SW_SHOWNORMAL);

    const std::wstring folder = InstallFolder().wstring();
    const struct {
        const wchar_t* name;
        std::wstring value;
    } texts[] = {
        {L"DisplayName", kadrix::ProgramName},
        {L"DisplayVersion", kadrix::ProgramVersion},
        {L"Publisher", kadrix::CompanyName},
        {L"DisplayIcon", folder + L"\\kadrix.exe,0"},
        {L"InstallLocation", folder},
        {L"UninstallString", L"\"" + folder + L"\\uninstall.exe\""},
        {L"QuietUninstallString", L"\"" + folder + L"\\uninstall.exe\" /S"},
    };
    for (const auto& text : texts) EXPECT_EQ(EntryText(text.name), text.value) << text.name;

    std::uintmax_t bytes = 0;
    for (const auto& file : e2e::FilesIn(InstallFolder())) bytes += std::filesystem::file_size(file);
    const auto kilobytes = EntryNumber(L"EstimatedSize");
    ASSERT_TRUE(kilobytes);
    EXPECT_NEAR(static_cast<double>(*kilobytes), bytes / 1024.0, 3.0);  // rounded per file
}

TEST_F(Installer, ComponentsFollowTheCommandLine) {
    const struct {
        const wchar_t* arguments;
        bool desktop;
        bool at_logon;
    } cases[] = {
        {L"/S", false, true},
        {L"/S /DESKTOP=1", true, true},
        {L"/S /AUTOSTART=0", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        RemoveInstallation();
        ASSERT_NO_FATAL_FAILURE(Install(SetupFile(), c.arguments));
        const auto desktop = ReadShortcut(DesktopShortcut());
        const auto at_logon = ReadShortcut(StartupShortcut());
        EXPECT_EQ(desktop.has_value(), c.desktop);
        EXPECT_EQ(at_logon.has_value(), c.at_logon);
        if (desktop) {
            EXPECT_EQ(desktop->target, InstalledProgram());
        }
        if (at_logon) {
            EXPECT_EQ(at_logon->target, InstalledProgram());
        }
    }
}

TEST_F(Installer, InstalledProgramCapturesToAFileAndPlaysItsSound) {
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::vector<std::uint8_t> samples = e2e::ProgramSoundSamples(InstalledProgram());
    Program program = Program::Start(InstalledProgram());
    e2e::ForgetPlayedSound();
    e2e::PressHotkey(0);
    EXPECT_EQ(e2e::WaitForFiles(captures, 1).size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return e2e::SoundPlayed(samples); }, 5s)) << "the installed sound.wav did not play";
}

TEST_F(Installer, StartsAtLogonMinimisedWithoutTakingTheFocus) {
    ASSERT_NO_FATAL_FAILURE(Install());
    const auto at_logon = ReadShortcut(StartupShortcut());
    ASSERT_TRUE(at_logon) << "no shortcut in the Startup folder";
    EXPECT_EQ(at_logon->target, InstalledProgram());
    ASSERT_EQ(at_logon->show_command, SW_SHOWMINNOACTIVE);

    // What the shell does with a Startup shortcut at logon: its target, in its show state.
    Program program = Program::Start(at_logon->target.wstring(), static_cast<WORD>(at_logon->show_command));
    const HWND main = program.MainWindow();
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }, 5s)) << "the window came up not minimised";
    EXPECT_NE(GetForegroundWindow(), main);
    // Minimised counts as shown: the tray's show/hide item hides it first.
    e2e::RunCommand(program, kadrix::cmdShowHide);
    EXPECT_TRUE(WaitFor([&] { return !e2e::IsShown(main); }));
    e2e::RunCommand(program, kadrix::cmdShowHide);
    EXPECT_TRUE(WaitFor([&] { return e2e::IsShown(main) && !IsIconic(main); }));
}

TEST_F(Installer, SilentUninstallRemovesWhatItInstalledAndKeepsCapturesAndOptions) {
    ASSERT_NO_FATAL_FAILURE(Install(SetupFile(), L"/S /DESKTOP=1"));
    ASSERT_NO_FATAL_FAILURE(CaptureWithInstalledProgram());
    const auto quiet = EntryText(L"QuietUninstallString");
    ASSERT_TRUE(quiet);

    EXPECT_EQ(RunCommandLine(*quiet), 0u);
    // The uninstaller goes on from a temporary copy of itself.
    EXPECT_TRUE(WaitFor([] { return !std::filesystem::exists(InstallFolder()) && !EntryExists(); }, 15s))
        << "the program folder or its entry is still there";
    for (const auto& link : {StartMenuShortcut(), DesktopShortcut(), StartupShortcut()})
        EXPECT_FALSE(std::filesystem::exists(link)) << link;
    EXPECT_EQ(e2e::FilesIn(captures).size(), 1u) << "the capture went with the program";
    ExpectOptionsKept();
}

TEST_F(Installer, InstallOverARunningProgramClosesItFirst) {
    ASSERT_NO_FATAL_FAILURE(Install());
    Program program = Program::Start(InstalledProgram());

    ASSERT_NO_FATAL_FAILURE(Install());
    EXPECT_TRUE(program.WaitForExit(0ms)) << "the running copy was not closed";
    EXPECT_EQ(e2e::ReadFileBytes(InstalledProgram()), e2e::ReadFileBytes(e2e::WinePath(KADRIX_STAGED_EXE_PATH)));
    ExpectOptionsKept();
}

TEST_F(Installer, ChangesNothingWhileTheProgramFileStaysBusy) {
    ASSERT_NO_FATAL_FAILURE(Install());
    // A copy that will not close, as one started by another user: its file stays open.
    const std::vector<std::uint8_t> marker{'o', 'l', 'd'};
    {
        std::ofstream(InstallFolder() / L"sound.wav", std::ios::binary | std::ios::trunc).write("old", 3);
    }
    const kadrix::unique_file busy(
        CreateFileW(InstalledProgram().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);

    EXPECT_NE(RunSetup(SetupFile()), 0u) << "setup reported success over a busy program";
    EXPECT_EQ(e2e::ReadFileBytes(InstallFolder() / L"sound.wav"), marker) << "a file was replaced";
}

TEST_F(Installer, UpgradeKeepsOptionsCapturesAndTheChoicesMadeBefore) {
    ASSERT_NO_FATAL_FAILURE(Install(OlderSetupFile(), L"/S /DESKTOP=1 /AUTOSTART=0"));
    ASSERT_EQ(EntryText(L"DisplayVersion"), L"" KADRIX_OLDER_VERSION);
    ASSERT_NO_FATAL_FAILURE(CaptureWithInstalledProgram());

    ASSERT_NO_FATAL_FAILURE(Install());
    EXPECT_EQ(EntryText(L"DisplayVersion"), kadrix::ProgramVersion);
    EXPECT_TRUE(ReadShortcut(DesktopShortcut())) << "the desktop shortcut chosen before is gone";
    EXPECT_FALSE(ReadShortcut(StartupShortcut())) << "start at logon, switched off before, is back";
    EXPECT_EQ(e2e::FilesIn(captures).size(), 1u);
    ExpectOptionsKept();
}

}  // namespace
}  // namespace install
