// Figures and texts of the monitor tick: whole megabytes, free percentages,
// the label captions and the tray hint. No OS calls here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace monitor {

// Bytes shown as whole megabytes: divided by 1024 twice, truncating
// (1,048,575 bytes are 0 MB).
std::int64_t BytesToMegabytes(std::int64_t bytes);

// free MB x 100 div total MB, truncated toward zero and clamped to the int32
// range. A total of 0 MB or less (memory status unreadable, or a total below
// 1 MB) gives 0 instead of a division by zero. The figures are megabytes
// (BytesToMegabytes), below 2^44 in size.
std::int32_t FreePercent(std::int64_t freeMb, std::int64_t totalMb);

// The processor label: the sample in decimal followed by "%" ("15%", "-1%").
std::wstring CpuCaption(std::int32_t sample);

// From this total up a memory label shows gigabytes: "23155 of 24105MB"
// would run into its bar.
constexpr std::int64_t kMemoryGigabytesFromMb = 10000;

// A memory label, both figures in the total's unit, truncated toward zero:
//   total below 10,000 MB:       whole megabytes, "594 of 981MB";
//   below 1,000 GB:              gigabytes with one decimal, "22.6 of 23.5GB";
//   below 10,000 GB:             whole gigabytes, "4095 of 4096GB";
//   from 10,000 GB:              terabytes with one decimal below 1,000 TB,
//                                whole terabytes above, "15.9 of 16.0TB".
// No figure has more than four digits below 1,000 TB, so the label keeps
// within about 85 pixels of the window's 8-point font ("999.9 of 999.9GB"),
// clear of its bar, whose end is 90 pixels left of the label's right edge.
// `decimalSeparator` is the user's, taken as UsableDecimalSeparator says; it
// is used only where a figure has a decimal.
// The decimal separator the figures use: the user's when it is one to three
// characters and holds no digit, otherwise "." (an empty or a digit
// separator would make "22.6" read as "226" or "2256").
std::wstring UsableDecimalSeparator(const std::wstring& userSeparator);

std::wstring MemoryCaption(std::int64_t freeMb, std::int64_t totalMb,
                           const std::wstring& decimalSeparator = L".");

// The address-space label: as MemoryCaption while the total is under
// 1,048,576 MB (1 TB), which every 32-bit process's is; from 1 TB (a 64-bit
// process: 8 or 128 TB) both figures in whole terabytes, free rounded down
// and the total to the nearest ("127 of 128TB").
std::wstring AddressSpaceCaption(std::int64_t freeMb, std::int64_t totalMb,
                                 const std::wstring& decimalSeparator = L".");

// The tray tooltip, eleven pieces joined without separators:
//   caption ": " percent "% " ramFree " (" freeMb "MB)  " (100 - newest) "% " cpuFree
// e.g. "Brimvale: 60% RAM free (594MB)  85% CPU free".
std::wstring TrayHintText(const std::wstring& caption, std::int32_t physPercent,
                          const std::wstring& ramFreeText, std::int64_t physFreeMb,
                          std::int32_t newestSample, const std::wstring& cpuFreeText);

// Room in the tray's tooltip buffer (NOTIFYICONDATAW::szTip), in UTF-16 units
// including the terminating null.
constexpr std::size_t kTrayHintCapacity = 128;

// Cuts a hint so that it fits a buffer of `capacity` UTF-16 units including
// the terminating null: at most capacity - 1 units are kept (none when
// capacity is 0). A surrogate pair is never split: when the cut would fall
// between its halves, the high half goes too.
std::wstring FitTrayHint(const std::wstring& hint, std::size_t capacity = kTrayHintCapacity);

}  // namespace monitor
