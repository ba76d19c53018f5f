#pragma once
// What the installer leaves on a machine, read the way Windows' own tools read it:
// known folders, shortcuts through IShellLink, the installed-programs entry.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace install {

inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TavikKadrix";

std::filesystem::path InstallFolder();   // per-user default: %LOCALAPPDATA%\Programs\Kadrix
std::filesystem::path InstalledProgram();
std::filesystem::path StartMenuShortcut();
std::filesystem::path DesktopShortcut();
std::filesystem::path StartupShortcut();  // started at logon

// The packages made by the build, as Windows paths.
std::wstring SetupFile();
std::wstring OlderSetupFile();  // the same program, calling itself an older version
std::filesystem::path PortableFolder();  // the portable zip as unpacked by the test run

// Runs a command line and waits for it; the exit code, or nullopt after the time limit.
std::optional<DWORD> RunCommandLine(const std::wstring& command_line, DWORD limit_ms = 60000);
std::optional<DWORD> RunSetup(const std::wstring& setup, const std::wstring& arguments = L"/S");

struct Shortcut {
    std::filesystem::path target;
    int show_command = 0;
};
std::optional<Shortcut> ReadShortcut(const std::filesystem::path& link);

std::optional<std::wstring> EntryText(const wchar_t* name);
std::optional<DWORD> EntryNumber(const wchar_t* name);
bool EntryExists();

// A machine without the program: files, shortcuts and entry gone (captures and options
// are the tests' own business).
void RemoveInstallation();

// Version resource of an executable: the fixed file version as "major.minor", and a
// string of its Russian block.
std::wstring FixedVersion(const std::filesystem::path& file);
std::wstring VersionString(const std::filesystem::path& file, const wchar_t* name);

}  // namespace install
