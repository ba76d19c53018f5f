#pragma once
// The program's one exception type. Its text is what the standard error box shows,
// so it is kept as UTF-16 from the start.
#include <exception>
#include <string>

namespace kadrix {

class Error : public std::exception {
public:
    explicit Error(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& text() const noexcept { return text_; }
    const char* what() const noexcept override { return "kadrix::Error"; }

private:
    std::wstring text_;
};

}  // namespace kadrix
