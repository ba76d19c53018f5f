#include "app/OtherFunc.h"

#include <windows.h>
#include <shellapi.h>

#include "app/Trace.h"

namespace kadrix {

std::uintptr_t ShellOpenWithDefault(const wchar_t* file, const wchar_t* parameters) {
    return reinterpret_cast<std::uintptr_t>(ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL));
}

std::uintptr_t OpenURL(const std::wstring& address, const ShellOpen& shell) {
    constexpr std::uintptr_t kFirstSuccessCode = 32;
    const std::uintptr_t result = shell(address.c_str(), nullptr);
    if (result >= kFirstSuccessCode) return result;
    TraceCode(L"opening a web page", static_cast<unsigned long>(result));
    const std::uintptr_t fallback = shell(L"iexplore", address.c_str());
    if (fallback < kFirstSuccessCode) TraceCode(L"opening a web page in iexplore", static_cast<unsigned long>(fallback));
    return fallback;
}

}  // namespace kadrix
