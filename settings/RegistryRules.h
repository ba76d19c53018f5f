#pragma once
// How stored option values are read back: what counts as which type, and the texts
// of the errors a wrong value raises. No registry access here.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/Error.h"

namespace kadrix {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

inline Error RegistryError(std::wstring_view pattern_prefix, std::wstring_view name) {
    return Error(std::wstring(pattern_prefix) + L"'" + std::wstring(name) + L"'");
}
inline Error InvalidDataType(std::wstring_view name) { return RegistryError(L"Invalid data type for ", name); }
inline Error FailedToGetData(std::wstring_view name) { return RegistryError(L"Failed to get data for ", name); }
inline Error FailedToSetData(std::wstring_view name) { return RegistryError(L"Failed to set data for ", name); }

// A number read into a 4-byte buffer: `fits` is false when the stored data was longer.
inline std::int32_t DecodeInteger(std::wstring_view name, bool fits, std::uint32_t type, std::uint32_t data) {
    if (!fits) throw FailedToGetData(name);
    if (type != kRegDword) throw InvalidDataType(name);
    return static_cast<std::int32_t>(data);
}

inline bool DecodeBoolean(std::wstring_view name, bool fits, std::uint32_t type, std::uint32_t data) {
    return DecodeInteger(name, fits, type, data) != 0;
}

// A text value: empty data is the empty string whatever its type; otherwise it must be
// REG_SZ or REG_EXPAND_SZ (taken literally) and ends at its first NUL.
inline std::wstring DecodeString(std::wstring_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
    if (data.empty()) return {};
    if (type != kRegSz && type != kRegExpandSz) throw InvalidDataType(name);
    std::wstring text(data.size() / 2, L'\0');  // UTF-16 code units
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return text.substr(0, text.find(L'\0'));
}

}  // namespace kadrix
