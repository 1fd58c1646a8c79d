// One scope guard for every "undo this on the way out": runs a callable when
// the scope ends, however it ends, unless released first.
#pragma once
#include <utility>

namespace platform {

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(ScopeExit&& o) noexcept : f_(std::move(o.f_)), armed_(std::exchange(o.armed_, false)) {}
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
[[nodiscard]] ScopeExit<F> OnScopeExit(F f) noexcept {
    return ScopeExit<F>(std::move(f));
}

}  // namespace platform
