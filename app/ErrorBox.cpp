#include "app/ErrorBox.h"

#include <windows.h>

#include <new>

#include "app/Error.h"
#include "app/ErrorText.h"
#include "app/TavikConsts.h"

namespace kadrix {

namespace {

// Library messages are UTF-8 (or plain ASCII, which is the same); bytes that are not
// come out as replacement characters rather than as a wrong letter each.
std::wstring FromUtf8(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

}  // namespace

std::wstring StandardErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.text();
    } catch (const std::bad_alloc&) {
        return L"Недостаточно памяти";
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"Неизвестная ошибка";
    }
}

void ShowStandardErrorBox(std::exception_ptr error) noexcept {
    try {
        const std::wstring text = WithFullStop(StandardErrorText(error));
        MessageBoxW(GetActiveWindow(), text.c_str(), ApplicationTitle, MB_ICONERROR | MB_OK);
    } catch (...) {  // no memory for the text: the general one needs none
        MessageBoxW(GetActiveWindow(), L"Неизвестная ошибка.", ApplicationTitle, MB_ICONERROR | MB_OK);
    }
}

}  // namespace kadrix
