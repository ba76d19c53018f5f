#pragma once
// The program's one scope guard: runs its action when the scope ends, on every path.
// Windows-free, so the encoders use it too.
#include <utility>

namespace kadrix {

template <typename Action>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Action action) noexcept : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

}  // namespace kadrix
