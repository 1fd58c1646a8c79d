// What the once-a-second tick shows, computed from one set of readings: the
// figures and their captions, the bar positions, the tray tooltip and the
// tray picture's inputs. The main window only renders what this returns.
// No OS calls here.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "monitor/CpuHistory.h"

namespace monitor {

// One memory status in bytes, as read.
struct MemoryReading {
    std::int64_t freeBytes = 0;
    std::int64_t totalBytes = 0;
};

// The tick's readings: the processor sample (already stored as the history's
// newest entry by the tick, the history's one writer) and the three statuses.
struct TickReadings {
    std::int32_t cpuSample = 0;
    MemoryReading physical, pageFile, addressSpace;
    std::wstring decimalSeparator;  // the user's; empty: "."
};

// The tooltip's translated words.
struct TickTexts {
    std::wstring caption = L"Brimvale";
    std::wstring ramFree = L"RAM free";
    std::wstring cpuFree = L"CPU free";
};

// A progress bar's range (the bars of the tick all run 0 to 100).
struct BarRange {
    int min = 0;
    int max = 100;
};

// A figure's caption and its bar's position, clamped to the bar's range as the
// bar itself clamps it.
struct FigureRow {
    std::wstring caption;
    int barPosition = 0;
};

struct TickView {
    std::wstring cpuCaption;
    int cpuBarPosition = 0;
    FigureRow physical, pageFile, addressSpace;
    std::wstring hint;  // fitted to the tray's buffer
    // The tray picture: the free percent (not clamped) and free megabytes.
    std::int32_t trayPercent = 0;
    std::int64_t trayFreeMb = 0;
};

// What the monitor keeps from one tick to the next: the processor history,
// the graph grid's scroll phase and the last readings.
struct MonitorState {
    CpuHistory cpuHistory{};
    std::int32_t gridPhase = 0;
    TickReadings last;
    std::int32_t PacingSample() const noexcept { return cpuHistory[kPacingSample]; }
};

// The processor figure as the program shows and paces by it: a sample
// outside 0..100 (more idle than kernel and user time over one interval, as
// some systems report) is clamped to that range.
std::int32_t ShownCpuPercent(std::int32_t sample);

// Where a bar shows `position`: clamped to its range.
int BarPosition(std::int64_t position, BarRange range = {});

// The tooltip while a Smart Clean or Deep Clean runs: the tick's hint, two
// blanks and `cleaningText` (the language's "M"/"Cleaning", in English
// "Cleaning memory…"), fitted to the tray's buffer. When both do not fit,
// the hint gives way, never the words that say a clean runs.
std::wstring CleaningHint(const std::wstring& hint, const std::wstring& cleaningText);

TickView ComputeTick(const TickReadings& readings,
                     const std::array<std::int32_t, kCpuHistorySize>& history, const TickTexts& texts);

}  // namespace monitor
