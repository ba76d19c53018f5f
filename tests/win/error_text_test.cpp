// What the standard error box says for each kind of error.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/Error.h"
#include "app/ErrorBox.h"

namespace kadrix {
namespace {

TEST(StandardErrorText, EachKindOfErrorSaysWhatHappened) {
    const struct {
        const char* kind;
        std::exception_ptr error;
        std::wstring text;
    } cases[] = {
        {"program error", std::make_exception_ptr(Error(L"Нет места")), L"Нет места"},
        {"library error in UTF-8", std::make_exception_ptr(std::runtime_error("Файл занят")), L"Файл занят"},
        {"library error in ASCII", std::make_exception_ptr(std::runtime_error("disk full")), L"disk full"},
        {"out of memory", std::make_exception_ptr(std::bad_alloc()), L"Недостаточно памяти"},
        {"anything else", std::make_exception_ptr(42), L"Неизвестная ошибка"},
    };
    for (const auto& c : cases) EXPECT_EQ(StandardErrorText(c.error), c.text) << c.kind;
}

}  // namespace
}  // namespace kadrix
