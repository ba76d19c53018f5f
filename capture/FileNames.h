#pragma once
#include <string>

namespace kadrix {

// Claims the first free name among base, base_2, base_3, ... (with `extension`) by
// creating it empty, so a file made in between is never overwritten either. Returns
// the claimed base; throws kadrix::Error when no file can be created there.
std::wstring ClaimFreeFileName(const std::wstring& base, const std::wstring& extension);

}  // namespace kadrix
