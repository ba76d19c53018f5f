#pragma once
#include <memory>

namespace kadrix {

// Empties an object slot when the scope ends, on every path: for the main window's
// fields that hold an object only while one step of a command runs.
template <typename T>
class ResetOnExit {
public:
    explicit ResetOnExit(std::unique_ptr<T>& slot) noexcept : slot_(slot) {}
    ~ResetOnExit() { slot_.reset(); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    std::unique_ptr<T>& slot_;
};

}  // namespace kadrix
