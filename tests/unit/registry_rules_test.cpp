#include <gtest/gtest.h>

#include <vector>

#include "settings/RegistryRules.h"

namespace kadrix {
namespace {

std::wstring ErrorOf(const auto& read) {
    try {
        read();
    } catch (const Error& error) {
        return error.text();
    }
    return L"(no error)";
}

std::vector<std::uint8_t> Utf16(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(RegistryRules, NumbersAreDwordsTakenAsTheyAre) {
    EXPECT_EQ(DecodeInteger(L"IMG_format", true, kRegDword, 7), 7);
    EXPECT_EQ(DecodeInteger(L"IMG_format", true, kRegDword, 0xFFFFFFFF), -1);
    EXPECT_TRUE(DecodeBoolean(L"NeedSave", true, kRegDword, 2));
    EXPECT_FALSE(DecodeBoolean(L"NeedSave", true, kRegDword, 0));
}

TEST(RegistryRules, WrongNumbersNameTheValue) {
    EXPECT_EQ(ErrorOf([] { DecodeBoolean(L"NeedCursor", true, kRegSz, 0x31); }), L"Invalid data type for 'NeedCursor'");
    EXPECT_EQ(ErrorOf([] { DecodeInteger(L"IMG_format", false, kRegSz, 0); }), L"Failed to get data for 'IMG_format'");
    EXPECT_EQ(FailedToSetData(L"SavePath").text(), L"Failed to set data for 'SavePath'");
}

TEST(RegistryRules, TextsEndAtTheFirstNulAndKeepReferences) {
    EXPECT_EQ(DecodeString(L"SavePath", kRegSz, Utf16(std::wstring(L"C:\\Снимки\0", 10))), L"C:\\Снимки");
    EXPECT_EQ(DecodeString(L"SavePath", kRegSz, Utf16(std::wstring(L"C:\\a\0b\0", 7))), L"C:\\a");
    EXPECT_EQ(DecodeString(L"SavePath", kRegExpandSz, Utf16(L"%USERPROFILE%\\x")), L"%USERPROFILE%\\x");
    EXPECT_EQ(DecodeString(L"SavePath", kRegDword, {}), L"");  // empty data, whatever the type
}

TEST(RegistryRules, TextOfAnotherTypeIsRejected) {
    const std::vector<std::uint8_t> number = {1, 0, 0, 0};
    EXPECT_EQ(ErrorOf([&] { DecodeString(L"SavePath", kRegDword, number); }), L"Invalid data type for 'SavePath'");
}

}  // namespace
}  // namespace kadrix
