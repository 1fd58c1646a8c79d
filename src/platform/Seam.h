// Seams: a call the program makes through a function pointer whose default is
// the real call, so that a test can put a fake in its place. ScopedSeam is
// the one way a test replaces one: for its lifetime, and restored after.
#pragma once
#include <type_traits>

namespace platform {

template <class Fn>
class ScopedSeam {
public:
    // The type comes from the slot alone: nullptr (a missing function) or a
    // function of the slot's type both do as the replacement.
    ScopedSeam(Fn& slot, std::type_identity_t<Fn> replacement) : slot_(slot), previous_(slot) { slot_ = replacement; }
    ~ScopedSeam() { slot_ = previous_; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Fn& slot_;
    Fn previous_;
};

}  // namespace platform
