#include "monitor/TickModelRules.h"

#include "monitor/MonitorRules.h"

namespace monitor {

int BarPosition(std::int64_t position, BarRange range) {
    if (position < range.min) return range.min;
    if (position > range.max) return range.max;
    return static_cast<int>(position);
}

namespace {

using Caption = std::wstring (*)(std::int64_t freeMb, std::int64_t totalMb, const std::wstring& separator);

FigureRow Figure(const MemoryReading& reading, Caption caption, const std::wstring& separator) {
    const std::int64_t freeMb = BytesToMegabytes(reading.freeBytes);
    const std::int64_t totalMb = BytesToMegabytes(reading.totalBytes);
    return {caption(freeMb, totalMb, separator), BarPosition(FreePercent(freeMb, totalMb))};
}

}  // namespace

std::wstring CleaningHint(const std::wstring& hint, const std::wstring& cleaningText) {
    const std::wstring tail = FitTrayHint(L"  " + cleaningText);
    // The room left before the tail, in the buffer's units with its null.
    const std::size_t room = kTrayHintCapacity - tail.size();
    return FitTrayHint(hint, room) + tail;
}

std::int32_t ShownCpuPercent(std::int32_t sample) { return sample < 0 ? 0 : sample > 100 ? 100 : sample; }

TickView ComputeTick(const TickReadings& readings,
                     const std::array<std::int32_t, kCpuHistorySize>& history, const TickTexts& texts) {
    TickView view;
    const std::int32_t newest = history[kNewestSample];
    view.cpuCaption = CpuCaption(readings.cpuSample);
    view.cpuBarPosition = BarPosition(newest);
    view.physical = Figure(readings.physical, &MemoryCaption, readings.decimalSeparator);
    view.pageFile = Figure(readings.pageFile, &MemoryCaption, readings.decimalSeparator);
    // A 64-bit process's address space runs to terabytes.
    view.addressSpace = Figure(readings.addressSpace, &AddressSpaceCaption, readings.decimalSeparator);

    view.trayFreeMb = BytesToMegabytes(readings.physical.freeBytes);
    view.trayPercent = FreePercent(view.trayFreeMb, BytesToMegabytes(readings.physical.totalBytes));
    // The tooltip's percent is the physical bar's position.
    view.hint = FitTrayHint(TrayHintText(texts.caption, view.physical.barPosition, texts.ramFree,
                                         view.trayFreeMb, newest, texts.cpuFree));
    return view;
}

}  // namespace monitor
