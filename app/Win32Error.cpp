#include "app/Win32Error.h"

#include <string>

namespace kadrix {

namespace {

std::wstring Describe(const wchar_t* operation, DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = std::wstring(operation) + L": ";
    if (length && buffer) {
        std::wstring message(buffer, length);
        while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
            message.pop_back();
        text += message;
    } else {
        text += L"error " + std::to_wstring(code);
    }
    LocalFree(buffer);
    return text;
}

}  // namespace

Win32Error::Win32Error(const wchar_t* operation, DWORD code) : Error(Describe(operation, code)), code_(code) {}

}  // namespace kadrix
