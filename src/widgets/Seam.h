// Seams: a call the program makes through a function pointer whose default is
// the real call, so that a test can put a fake in its place. ScopedSeam is
// the one way a test replaces one: for its lifetime, and restored after.
#pragma once

namespace widgets {

// Installs fn (nullptr puts the real call back) and returns what was there.
template <class Fn>
Fn ReplaceSeam(Fn& slot, Fn fn, Fn real) {
    Fn previous = slot;
    slot = fn ? fn : real;
    return previous;
}

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

}  // namespace widgets
