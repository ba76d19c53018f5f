#include "app/Trace.h"

#include <cwchar>
#include <string>

#include "app/ErrorBox.h"

namespace kadrix {

void Trace(const wchar_t* where, const wchar_t* what) noexcept {
    wchar_t line[512];
    std::swprintf(line, sizeof line / sizeof line[0], L"kadrix: %ls: %ls\n", where, what);
    OutputDebugStringW(line);
}

void TraceError(const wchar_t* where, std::exception_ptr error) noexcept {
    try {
        Trace(where, StandardErrorText(error).c_str());
    } catch (...) {
        Trace(where, L"an error whose text could not be made");
    }
}

void TraceCode(const wchar_t* where, unsigned long code) noexcept {
    wchar_t number[16];
    std::swprintf(number, sizeof number / sizeof number[0], L"code 0x%08lX", code);
    Trace(where, number);
}

}  // namespace kadrix
