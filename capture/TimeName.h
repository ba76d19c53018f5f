#pragma once
// Names of capture files: the local time as day, month, year, "_", hour, minute,
// second, millisecond, each without leading zeros (so 9.12.2016 14:05:07.042 gives
// "9122016_145742"). The names are neither fixed-width nor unambiguous by design.
#include <string>

namespace kadrix {

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

inline std::wstring FormatTimeName(const LocalTime& t) {
    return std::to_wstring(t.day) + std::to_wstring(t.month) + std::to_wstring(t.year) + L"_" +
           std::to_wstring(t.hour) + std::to_wstring(t.minute) + std::to_wstring(t.second) +
           std::to_wstring(t.millisecond);
}

}  // namespace kadrix
