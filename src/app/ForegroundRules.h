// How a background process gets its window to the foreground depends on the
// platform: from Windows 98 (4.10) and Windows 2000 (NT 5.0) on, the system
// refuses SetForegroundWindow from a process that does not own the
// foreground, so input is borrowed from the foreground thread first. Older
// platforms take a plain bring-to-top. These are the decisions, free of any
// system call.
#pragma once

namespace app {

// Platform ids as the OS version record reports them.
constexpr int kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr int kPlatformWindowsNT = 2;  // VER_PLATFORM_WIN32_NT

struct PlatformVersion {
    int platform = 0;
    int major = 0;
    int minor = 0;
};

enum class ForegroundMethod {
    BringToTop,   // BringWindowToTop + SetForegroundWindow, nothing else
    ThreadInput,  // attach to the foreground thread's input, then the lock-timeout fallback
};

// ThreadInput for NT with major version above 4, and for the 9x family with
// major above 4 or 4.x with x above 0; BringToTop for everything else
// (NT 4.0, Windows 95, unknown platforms).
ForegroundMethod ChooseForegroundMethod(const PlatformVersion& version);

// Whether attaching the window's thread to the foreground thread's input can
// work: both threads are known and they differ (a thread cannot attach to
// itself; the call fails, and under Wine it also fails with access denied).
bool ShouldAttachThreadInput(unsigned long foregroundThread, unsigned long windowThread);

}  // namespace app
