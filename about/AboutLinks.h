#pragma once
// How the About dialog's links open their pages: unlike OpenURL, the address goes to
// the shell in quotation marks, and a failure is left at that.
#include <cstdint>
#include <string>

#include "app/OtherFunc.h"

namespace kadrix {

std::uintptr_t OpenQuotedAddress(const std::wstring& address, const ShellOpen& shell = ShellOpenWithDefault);

}  // namespace kadrix
