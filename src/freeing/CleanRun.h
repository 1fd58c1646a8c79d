// Steps the two cleans share: the memory reading and the progress row that
// is uncovered for the length of one run.
#pragma once
#include <cstdint>

#include "freeing/CleanWindow.h"

namespace freeing {

// Physical memory in bytes from a fresh TMemory (constructed, refreshed once,
// read, let go): 64-bit figures, not clamped at 2 or 4 GB.
struct PhysicalReading {
    std::int64_t total = 0;
    std::int64_t free = 0;
};
PhysicalReading ReadPhysicalMemory();

// One run's hold on the window: makes it 20 pixels taller (uncovering the
// progress row) and gives the height back at the end. The height it had
// before the run is restored exactly, rather than taken 20 off again: runs
// nest only inside each other's pumps, so each restores what it found even
// if the system had limited the growth.
class CleanRun {
public:
    explicit CleanRun(CleanWindow& w);
    ~CleanRun();
    CleanRun(const CleanRun&) = delete;
    CleanRun& operator=(const CleanRun&) = delete;

    void ShowProgressRow();
    // The end of a run: progress back to 0, one pump, the row hidden, the
    // height restored, Go enabled again.
    void Finish();

private:
    void restore();
    CleanWindow& w_;
    int height_;
    bool finished_ = false;
};

}  // namespace freeing
