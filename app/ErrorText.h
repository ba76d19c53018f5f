#pragma once
// Windows-free wording rules of the standard error box.
#include <string>

namespace kadrix {

// Adds the full stop the error box shows after a message that lacks one.
inline std::wstring WithFullStop(std::wstring text) {
    if (text.empty() || text.back() != L'.') text += L'.';
    return text;
}

}  // namespace kadrix
