#pragma once
// The JPEG writer's output. libjpeg overwrites the bytes as soon as they exist, so growing
// the buffer fills nothing in first: no pass over memory the stream never reaches.
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace kadrix {

template <typename T>
struct UnfilledAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UnfilledAllocator<U>;
    };
    UnfilledAllocator() = default;
    template <typename U>
    UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

using JpegBytes = std::vector<std::uint8_t, UnfilledAllocator<std::uint8_t>>;

}  // namespace kadrix
