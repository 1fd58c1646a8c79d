// One scope guard for every "undo this on the way out": runs a callable when
// the scope ends, however it ends, unless released first.
#pragma once
#include <utility>

namespace platform {

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F undo) noexcept : f_(std::move(undo)) {}
    ScopeExit(ScopeExit&& other) noexcept
        : f_(std::move(other.f_)), armed_(std::exchange(other.armed_, false)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;
    ~ScopeExit() {
        if (armed_) f_();
    }
    // The undo is no longer needed (the work it undoes was finished).
    void release() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

// auto restore = OnScopeExit([&] { ... });
template <class F>
[[nodiscard]] ScopeExit<F> OnScopeExit(F undo) noexcept {
    return ScopeExit<F>(std::move(undo));
}

}  // namespace platform
