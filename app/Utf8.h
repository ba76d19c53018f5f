#pragma once
// Text between UTF-16 and UTF-8, the encoding of library messages and of Linux paths.
// Bytes that are no UTF-8 come out as replacement characters, not as a wrong letter each.
#include <string>
#include <string_view>

namespace kadrix {

std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);

}  // namespace kadrix
