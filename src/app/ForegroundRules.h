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

// What a start does after asking for the instance mutex, from whether a
// handle came back and the error code read straight after the call.
enum class StartDecision {
    RunAsFirstCopy,  // the mutex is ours: listen for the instance message
    SignalAndHalt,   // another copy runs: bring it forward and end
    RunWithoutGuard, // the name is unusable (an object of another kind holds it): run anyway
};
// A handle with "already exists", or no handle with "access denied" (an
// elevated copy holds the mutex, which a non-elevated one may not open), means
// another copy runs. A handle otherwise means this is the first copy. No
// handle for any other reason (an event or semaphore under the same name
// gives "invalid handle") runs the program all the same: a second copy does
// less harm than a program that never starts.
StartDecision DecideStart(bool gotHandle, unsigned long error);
constexpr unsigned long kErrorAccessDenied = 5;     // ERROR_ACCESS_DENIED
constexpr unsigned long kErrorInvalidHandle = 6;    // ERROR_INVALID_HANDLE
constexpr unsigned long kErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

// What a start asks the running copy for, carried in the instance message's
// wParam. 0 is what every start has always sent.
enum class InstanceRequest : unsigned {
    BringForward = 0,  // show the main window and bring it to the front
    SmartClean = 1,    // run Smart Clean as the tray menu's item does
    DeepClean = 2,     // run Deep Clean as the tray menu's item does
    Exit = 3,          // end as the tray menu's "Exit" does
};
constexpr int kInstanceRequestKinds = 4;
// The request a wParam carries; false for a value no copy sends (a message
// from a newer copy or from a stranger), which the running copy ignores.
bool RequestFromWParam(unsigned long long wParam, InstanceRequest& request);

// A request of the same kind again within this many milliseconds of the last
// one carried out does nothing: a flood of instance messages costs one bring-
// forward (or one clean of each kind) per half second, not one each.
constexpr unsigned long kRequestRepeatMs = 500;
// Whether a request at tick `now` repeats the one of its kind at `last` (both
// GetTickCount readings, which wrap after 49.7 days; the difference is taken
// modulo 2^32). `hadOne` is false before the first of that kind.
bool IsRepeatedRequest(unsigned long now, unsigned long last, bool hadOne);

// What a start with a clean switch does after trying to open the instance
// mutex (it never creates it: a normal start meanwhile must become the
// running copy), from whether a handle came back and the error read straight
// after the call.
enum class CleanStartDecision {
    AskRunningCopy,  // a copy runs: post it the request and end
    CleanHere,       // nobody holds the name as a mutex: clean without a window
};
// A handle, or "access denied" (an elevated copy's mutex), means a copy runs.
// Anything else ("file not found": no such mutex; "invalid handle": an object
// of another kind under the name, where a normal start runs without the
// guard) cleans here.
CleanStartDecision DecideCleanStart(bool gotHandle, unsigned long error);

}  // namespace app
