#include "capture/FileNames.h"

#include <windows.h>

#include "app/Win32Error.h"
#include "app/Win32Handles.h"
#include "capture/CaptureFormats.h"

namespace kadrix {

std::wstring ClaimFreeFileName(const std::wstring& base, const std::wstring& extension) {
    constexpr int kMostNumbers = 100000;
    for (int number = 1; number <= kMostNumbers; ++number) {
        const std::wstring candidate = NumberedName(base, number);
        const unique_file file(CreateFileW((candidate + extension).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return candidate;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) throw Win32Error(L"CreateFileW", error);
    }
    throw Error(L"No free file name for " + base + extension);
}

}  // namespace kadrix
