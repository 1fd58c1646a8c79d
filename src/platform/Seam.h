// Seams: a call the program makes through a function pointer whose default is
// the real call, so that a test can put a fake in its place. ScopedSeam is
// the one way a test replaces one: for its lifetime, and restored after.
#pragma once

namespace platform {

template <class Fn>
class ScopedSeam {
public:
    ScopedSeam(Fn& slot, Fn replacement) : slot_(slot), previous_(slot) { slot_ = replacement; }
    ~ScopedSeam() { slot_ = previous_; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Fn& slot_;
    Fn previous_;
};

}  // namespace platform
