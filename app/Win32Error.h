#pragma once
#include <windows.h>

#include "app/Error.h"

namespace kadrix {

// A failed platform call, with the system's own description of its error code. The
// code is read by the caller right at the failing call, before anything can change it.
class Win32Error : public Error {
public:
    Win32Error(const wchar_t* operation, DWORD code);
    DWORD code() const noexcept { return code_; }

private:
    DWORD code_;
};

// The handle a platform call made, or its error, read at once.
template <typename Handle>
Handle Made(Handle handle, const wchar_t* operation) {
    if (!handle) throw Win32Error(operation, GetLastError());
    return handle;
}

}  // namespace kadrix
