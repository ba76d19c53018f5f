#include "Installation.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <system_error>
#include <vector>

#include "Harness.h"
#include "app/Win32Handles.h"

namespace install {

namespace {

std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path);
    std::filesystem::path folder = SUCCEEDED(result) ? path : L"";
    CoTaskMemFree(path);
    if (folder.empty()) throw std::runtime_error("no known folder");
    return folder;
}

constexpr const wchar_t* kShortcutName = L"Кадрикс.lnk";

class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialized_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_;
};

}  // namespace

std::filesystem::path InstallFolder() { return KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Kadrix"; }
std::filesystem::path InstalledProgram() { return InstallFolder() / L"kadrix.exe"; }
std::filesystem::path StartMenuShortcut() { return KnownFolder(FOLDERID_Programs) / kShortcutName; }
std::filesystem::path DesktopShortcut() { return KnownFolder(FOLDERID_Desktop) / kShortcutName; }
std::filesystem::path StartupShortcut() { return KnownFolder(FOLDERID_Startup) / kShortcutName; }

std::wstring SetupFile() { return e2e::WinePath(KADRIX_SETUP_PATH); }
std::wstring OlderSetupFile() { return e2e::WinePath(KADRIX_OLDER_SETUP_PATH); }
std::filesystem::path PortableFolder() { return e2e::WinePath(KADRIX_PORTABLE_UNPACKED); }

std::optional<DWORD> RunCommandLine(const std::wstring& command_line, DWORD limit_ms) {
    std::wstring line = command_line;
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start a process");
    const kadrix::unique_handle process(info.hProcess);
    const kadrix::unique_handle thread(info.hThread);
    if (WaitForSingleObject(process.get(), limit_ms) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

std::optional<DWORD> RunSetup(const std::wstring& setup, const std::wstring& arguments) {
    return RunCommandLine(L"\"" + setup + L"\" " + arguments);
}

std::optional<Shortcut> ReadShortcut(const std::filesystem::path& link) {
    if (!std::filesystem::exists(link)) return std::nullopt;
    const ComScope com;
    Microsoft::WRL::ComPtr<IShellLinkW> shell_link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &shell_link)) ||
        FAILED(shell_link.As(&file)) || FAILED(file->Load(link.c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t target[MAX_PATH] = L"";
    Shortcut shortcut;
    if (FAILED(shell_link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
    shortcut.target = target;
    // Wine 8's IShellLink reports SW_SHOWNORMAL whatever the file holds, so the show state
    // is read from the file's header (ShowCommand, offset 0x3C of the documented format).
    const std::vector<std::uint8_t> bytes = e2e::ReadFileBytes(link);
    constexpr std::size_t kShowCommandAt = 0x3C;
    if (bytes.size() < 0x4C || bytes[0] != 0x4C) return std::nullopt;
    std::memcpy(&shortcut.show_command, &bytes[kShowCommandAt], sizeof(std::int32_t));
    return shortcut;
}

std::optional<std::wstring> EntryText(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &size)) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text.data(), &size))
        return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return text;
}

std::optional<DWORD> EntryNumber(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size))
        return std::nullopt;
    return value;
}

bool EntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key)) return false;
    RegCloseKey(key);
    return true;
}

void RemoveInstallation() {
    std::error_code ignored;
    // An uninstaller of an earlier test may still be finishing from its temporary copy.
    e2e::WaitFor([&] {
        std::filesystem::remove_all(InstallFolder(), ignored);
        return !std::filesystem::exists(InstallFolder());
    });
    for (const auto& link : {StartMenuShortcut(), DesktopShortcut(), StartupShortcut()})
        std::filesystem::remove(link, ignored);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
}

namespace {

std::vector<BYTE> VersionBlock(const std::filesystem::path& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) block.clear();
    return block;
}

}  // namespace

std::wstring FixedVersion(const std::filesystem::path& file) {
    std::vector<BYTE> block = VersionBlock(file);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (block.empty() || !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) return L"";
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS));
}

std::wstring VersionString(const std::filesystem::path& file, const wchar_t* name) {
    std::vector<BYTE> block = VersionBlock(file);
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041904B0\\") + name;
    if (block.empty() || !VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
        return L"";
    return text;
}

}  // namespace install
