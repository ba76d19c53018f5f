#include "app/ErrorBox.h"

#include <windows.h>

#include <new>

#include "app/Error.h"
#include "app/ErrorText.h"
#include "app/TavikConsts.h"
#include "app/Utf8.h"

namespace kadrix {

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
