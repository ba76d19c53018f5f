// The options' registry store under HKEY_CURRENT_USER. Loading assigns defaults for
// missing values without writing them back; saving writes all five.
#include <shlobj.h>

#include <vector>

#include "settings/OptionsStore.h"

#include "app/Main.h"
#include "app/TavikConsts.h"
#include "settings/RegistryRules.h"

namespace kadrix {

namespace {

std::wstring OptionsKeyPath() { return std::wstring(L"Software\\") + CompanyName + L"\\" + ProgramName; }

unique_hkey OpenOptionsKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, OptionsKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return unique_hkey(key);
}

bool ValueExists(HKEY key, const wchar_t* name) {
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::int32_t ReadInteger(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    return DecodeInteger(name, status == ERROR_SUCCESS, type, data);
}

bool ReadBoolean(HKEY key, const wchar_t* name) { return ReadInteger(key, name) != 0; }

std::wstring ReadString(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) throw FailedToGetData(name);
    std::vector<std::uint8_t> data(size);
    if (size && RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        throw FailedToGetData(name);
    data.resize(size);
    return DecodeString(name, type, data);
}

void WriteValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    if (RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw FailedToSetData(name);
}

void WriteInteger(HKEY key, const wchar_t* name, std::int32_t value) {
    WriteValue(key, name, REG_DWORD, &value, sizeof(value));
}

void WriteString(HKEY key, const wchar_t* name, const std::wstring& value) {
    WriteValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::wstring GetSpecialFolderPath(unsigned short folder) {
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, folder, TRUE)) return {};
    return buffer;
}

void LoadOptionsFromRegistry(OptionsRecord& options) {
    const unique_hkey key = OpenOptionsKey();
    if (!key) return;
    HKEY k = key.get();
    options.OPT_IMG_format = ValueExists(k, L"IMG_format") ? ReadInteger(k, L"IMG_format") : 3;
    options.OPT_NeedSave = ValueExists(k, L"NeedSave") ? ReadBoolean(k, L"NeedSave") : true;
    // The user's own Pictures, which other accounts cannot read: captures hold mail and passwords.
    options.OPT_SavePath = ValueExists(k, L"SavePath") ? ReadString(k, L"SavePath") : GetSpecialFolderPath(CSIDL_MYPICTURES);
    options.OPT_NeedCursor = ValueExists(k, L"NeedCursor") ? ReadBoolean(k, L"NeedCursor") : true;
    options.OPT_PlaySound = ValueExists(k, L"PlaySound") ? ReadBoolean(k, L"PlaySound") : true;
}

void SaveOptionsToRegistry(const OptionsRecord& options) {
    const unique_hkey key = OpenOptionsKey();
    if (!key) return;
    HKEY k = key.get();
    WriteInteger(k, L"IMG_format", options.OPT_IMG_format);
    WriteInteger(k, L"NeedSave", options.OPT_NeedSave ? 1 : 0);
    WriteString(k, L"SavePath", options.OPT_SavePath);
    WriteInteger(k, L"NeedCursor", options.OPT_NeedCursor ? 1 : 0);
    WriteInteger(k, L"PlaySound", options.OPT_PlaySound ? 1 : 0);
}

void TMainForm::LoadOptions() { LoadOptionsFromRegistry(*this); }
void TMainForm::SaveOptions() { SaveOptionsToRegistry(*this); }

}  // namespace kadrix
