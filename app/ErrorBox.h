#pragma once
#include <exception>
#include <string>

namespace kadrix {

// The application's standard error box for errors that escape a command: the text
// with a full stop added when missing, the application title, an error icon, OK.
// Callbacks end in it, so it throws nothing itself.
void ShowStandardErrorBox(std::exception_ptr error) noexcept;

// The box's text for an error: Error's own text, or a general one for others.
std::wstring StandardErrorText(std::exception_ptr error);

}  // namespace kadrix
