// Test seams: a function pointer that defaults to the real call and that a
// test may replace. ReplaceSeam installs fn (nullptr puts the real call back)
// and returns what was there, so a test can restore it.
#pragma once

namespace widgets {

template <class Fn>
Fn ReplaceSeam(Fn& slot, Fn fn, Fn real) {
    Fn previous = slot;
    slot = fn ? fn : real;
    return previous;
}

}  // namespace widgets
