#include "about/AboutLinks.h"

#include "app/Trace.h"

namespace kadrix {

std::uintptr_t OpenQuotedAddress(const std::wstring& address, const ShellOpen& shell) {
    const std::wstring quoted = L"\"" + address + L"\"";
    const std::uintptr_t result = shell(quoted.c_str(), nullptr);
    if (result <= 32) TraceCode(L"opening a web page", static_cast<unsigned long>(result));
    return result;
}

}  // namespace kadrix
