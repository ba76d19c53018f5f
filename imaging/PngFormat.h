#pragma once
// What the PNG writer and reader share.
#include <array>
#include <cstdint>

namespace kadrix {

inline constexpr std::array<std::uint8_t, 8> kPngSignature = {137, 80, 78, 71, 13, 10, 26, 10};

}  // namespace kadrix
