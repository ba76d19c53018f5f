#pragma once
// How a modal window ended; callers act on mrOk only.

namespace kadrix {

inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

}  // namespace kadrix
