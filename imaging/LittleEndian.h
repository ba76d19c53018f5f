#pragma once
// Byte-order helpers for file headers, independent of the host's order.
#include <cstdint>

namespace kadrix {

inline void putLittle16(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void putLittle32(std::uint8_t* out, std::uint32_t value) {
    putLittle16(out, value);
    putLittle16(out + 2, value >> 16);
}

inline void putBig32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

inline std::uint32_t getBig32(const std::uint8_t* in) {
    return std::uint32_t{in[0]} << 24 | std::uint32_t{in[1]} << 16 | std::uint32_t{in[2]} << 8 | in[3];
}

}  // namespace kadrix
