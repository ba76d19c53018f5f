// The options store against Wine's real registry.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <vector>

#include "app/Error.h"
#include "app/Win32Handles.h"
#include "settings/OptionsStore.h"

namespace kadrix {
namespace {

constexpr const wchar_t* kKey = L"Software\\Tavik Software\\Tavik Кадрикс";

class OptionsStore : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik Software"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavik Software"); }

    static void Store(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
        unique_hkey owner(key);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), 0);
    }
    static void StoreNumber(const wchar_t* name, DWORD value) { Store(name, REG_DWORD, &value, sizeof(value)); }
    static void StoreText(const wchar_t* name, DWORD type, const std::wstring& text) {
        Store(name, type, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    static std::wstring LoadError(OptionsRecord& options) {
        try {
            LoadOptionsFromRegistry(options);
        } catch (const Error& error) {
            return error.text();
        }
        return L"(no error)";
    }
    // The user's own Pictures folder, not the one all accounts share.
    static std::wstring Pictures() {
        wchar_t* path = nullptr;
        SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &path);
        const std::wstring copy = path ? path : L"";
        CoTaskMemFree(path);
        return copy;
    }
};

TEST_F(OptionsStore, FirstStartCreatesAnEmptyKeyAndUsesDefaults) {
    OptionsRecord options;
    LoadOptionsFromRegistry(options);
    EXPECT_EQ(options.OPT_IMG_format, 3);
    EXPECT_TRUE(options.OPT_NeedSave);
    EXPECT_EQ(options.OPT_SavePath, Pictures());
    EXPECT_FALSE(options.OPT_SavePath.empty());
    EXPECT_TRUE(options.OPT_NeedCursor);
    EXPECT_TRUE(options.OPT_PlaySound);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), 0);
    unique_hkey owner(key);
    DWORD values = 99;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(values, 0u) << "defaults are not written back";
}

TEST_F(OptionsStore, StoredValuesAreTakenAsTheyAre) {
    StoreNumber(L"IMG_format", static_cast<DWORD>(-1));
    StoreNumber(L"NeedSave", 2);
    StoreText(L"SavePath", REG_EXPAND_SZ, std::wstring(L"%TEMP%\\Снимки\0tail", 16));
    StoreNumber(L"PlaySound", 0);  // NeedCursor missing: its default
    OptionsRecord options;
    LoadOptionsFromRegistry(options);
    EXPECT_EQ(options.OPT_IMG_format, -1);
    EXPECT_TRUE(options.OPT_NeedSave);
    EXPECT_EQ(options.OPT_SavePath, L"%TEMP%\\Снимки");
    EXPECT_TRUE(options.OPT_NeedCursor);
    EXPECT_FALSE(options.OPT_PlaySound);
}

TEST_F(OptionsStore, PresentEmptyPathStaysEmpty) {
    Store(L"SavePath", REG_SZ, nullptr, 0);
    OptionsRecord options;
    LoadOptionsFromRegistry(options);
    EXPECT_EQ(options.OPT_SavePath, L"");
}

TEST_F(OptionsStore, AWrongValueStopsLoadingWhereItStands) {
    const struct {
        const wchar_t* text;
        const wchar_t* error;
    } cases[] = {
        {L"1", L"Invalid data type for 'NeedCursor'"},       // 4 bytes: fits, wrong type
        {L"true", L"Failed to get data for 'NeedCursor'"},   // 8 bytes: does not fit
    };
    for (const auto& c : cases) {
        SetUp();
        StoreNumber(L"IMG_format", 1);
        StoreText(L"NeedCursor", REG_SZ, c.text);
        OptionsRecord options;
        EXPECT_EQ(LoadError(options), c.error);
        EXPECT_EQ(options.OPT_IMG_format, 1);
        EXPECT_TRUE(options.OPT_NeedSave);         // read before the failing value
        EXPECT_FALSE(options.OPT_NeedCursor);      // the failing value and later ones keep their start values
        EXPECT_FALSE(options.OPT_PlaySound);
    }
}

TEST_F(OptionsStore, EveryTypeAndSizeEitherReadsOrNamesTheValue) {
    const DWORD types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD};
    const DWORD sizes[] = {0, 1, 4, 5, 300};
    const wchar_t* names[] = {L"IMG_format", L"NeedSave", L"SavePath", L"NeedCursor", L"PlaySound"};
    const std::vector<BYTE> data(300, 0x41);
    for (const wchar_t* name : names)
        for (DWORD type : types)
            for (DWORD size : sizes) {
                SetUp();
                Store(name, type, data.data(), size);
                OptionsRecord options;
                const std::wstring error = LoadError(options);
                if (error != L"(no error)") {
                    EXPECT_NE(error.find(std::wstring(L"'") + name + L"'"), std::wstring::npos) << error;
                }
            }
}

TEST_F(OptionsStore, SaveWritesAllFiveWithTheirTypes) {
    OptionsRecord options;
    options.OPT_IMG_format = 7;
    options.OPT_NeedSave = false;
    options.OPT_SavePath = L"C:\\Снимки экрана";
    options.OPT_NeedCursor = true;
    options.OPT_PlaySound = false;
    SaveOptionsToRegistry(options);

    const struct {
        const wchar_t* name;
        DWORD type;
        DWORD number;
    } numbers[] = {{L"IMG_format", REG_DWORD, 7}, {L"NeedSave", REG_DWORD, 0}, {L"NeedCursor", REG_DWORD, 1},
                   {L"PlaySound", REG_DWORD, 0}};
    for (const auto& n : numbers) {
        DWORD type = 0, value = 0, size = sizeof(value);
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kKey, n.name, RRF_RT_ANY, &type, &value, &size), 0) << n.name;
        EXPECT_EQ(type, n.type) << n.name;
        EXPECT_EQ(value, n.number) << n.name;
    }
    wchar_t text[64] = {};
    DWORD type = 0, size = sizeof(text);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kKey, L"SavePath", RRF_RT_ANY, &type, text, &size), 0);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (options.OPT_SavePath.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(text), options.OPT_SavePath);

    OptionsRecord loaded;
    LoadOptionsFromRegistry(loaded);
    EXPECT_EQ(loaded.OPT_IMG_format, 7);
    EXPECT_EQ(loaded.OPT_SavePath, options.OPT_SavePath);
}

}  // namespace
}  // namespace kadrix
