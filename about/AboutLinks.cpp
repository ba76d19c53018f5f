#include "about/AboutLinks.h"

namespace kadrix {

std::uintptr_t OpenQuotedAddress(const std::wstring& address, const ShellOpen& shell) {
    const std::wstring quoted = L"\"" + address + L"\"";
    return shell(quoted.c_str(), nullptr);
}

}  // namespace kadrix
