#pragma once
// Where an encoder puts its bytes: memory for tests and benchmarks, a file for the program.
#include <cstdint>
#include <span>
#include <vector>

namespace kadrix {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws kadrix::Error when the bytes cannot be stored.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
};

class MemorySink final : public ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    const std::vector<std::uint8_t>& bytes() const noexcept { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace kadrix
