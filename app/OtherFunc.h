#pragma once
// Opens web pages in the user's browser.
#include <cstdint>
#include <functional>
#include <string>

namespace kadrix {

// One shell "open" call: (file, parameters or null) -> the shell's result code.
using ShellOpen = std::function<std::uintptr_t(const wchar_t* file, const wchar_t* parameters)>;

std::uintptr_t ShellOpenWithDefault(const wchar_t* file, const wchar_t* parameters);

// Hands the address to the shell unchanged; when the shell fails (a result below 32),
// starts "iexplore" with the address as its parameter. Returns the last result.
std::uintptr_t OpenURL(const std::wstring& address, const ShellOpen& shell = ShellOpenWithDefault);

}  // namespace kadrix
