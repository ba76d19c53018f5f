#pragma once
#include <windows.h>

#include "app/Error.h"

namespace kadrix {

// A failed platform call, with the system's own description of GetLastError.
class Win32Error : public Error {
public:
    explicit Win32Error(const wchar_t* operation, DWORD code = GetLastError());
    DWORD code() const noexcept { return code_; }

private:
    DWORD code_;
};

}  // namespace kadrix
