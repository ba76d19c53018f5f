#pragma once
// Errors the user is not told of are still written where a debugger, a debug-output
// viewer or Wine 8 with WINEDEBUG=warn+seh shows them, so a report can say what went
// wrong. The prefix stays ASCII: debug output is narrowed to the ANSI code page.
#include <windows.h>

#include <exception>

namespace kadrix {

void Trace(const wchar_t* where, const wchar_t* what) noexcept;
void TraceError(const wchar_t* where, std::exception_ptr error) noexcept;
void TraceCode(const wchar_t* where, unsigned long code) noexcept;  // a Win32 error or an HRESULT

}  // namespace kadrix
