// UniqueInstance: one running copy per executable file name.
//
// The first copy holds a named mutex and listens on its application window
// for a registered message; both carry the executable's file name, upper-cased
// as the file system compares names. A second copy of the same file name finds
// the mutex (or is refused it, when an elevated copy holds it), broadcasts the
// message to every application's top-level windows and ends with exit code 0
// before any form exists. The first copy then shows its main window (from the
// tray or the minimised state) and pushes it to the foreground, once per half
// second however many copies of the message arrive. When the name is held by
// an object of another kind, the program runs without the guard.
//
// The message's wParam says what the copy asks for (InstanceRequest): 0 to
// come to the front, or a clean, which a start with "/smartclean" or
// "/deepclean" asks for (HandCleanToRunningCopy) and the running copy runs as
// its tray menu's item does, without coming forward, or the end, which a
// start with "/exit" asks for (EndRunningCopy) and the running copy carries
// out as its tray menu's "Exit" does.
//
// Start-up order: wWinMain calls InstallUniqueInstanceHook() first of all (the
// guard's "initialisation": static initialisation order across translation
// units is not something to build on), then Application.Initialize(), which
// creates the hidden application window and runs the hook chain, so
// CheckUniqueInstance runs before the first form is created.
//
// A copy that is ending gives the name up first of all, when the program
// begins to end (Application.OnTerminate) and before its windows and tray
// icon go, which under Wine takes seconds: a start in that time runs as the
// first copy. A start that still found the name held by a copy which then
// ends without answering (the race at the moment of Exit) watches for about
// a second after signalling; when the name comes free it takes it and runs.
//
// At exit FinalizeUniqueInstance() closes the mutex (closing only: it is never
// owned). InstanceMutex is a static RAII handle, so a halt through std::exit
// closes it as well.
#pragma once
#include <windows.h>

#include <string>

#include "app/ForegroundRules.h"
#include "widgets/Application.h"
#include "platform/Handle.h"

namespace app {

// Registered under the instance name; 0 until registered.
extern UINT InstanceMessage;
// The named mutex that marks a running copy; empty when none.
extern platform::UniqueKernelHandle InstanceMutex;
// The application window's procedure before AppWndProc replaced it.
extern WNDPROC OldAppWndProc;
// The start-up hook that was installed before CheckUniqueInstance (may be null).
extern widgets::TInitProc SavedInitProc;
// Passed by address to the broadcast: BSM_APPLICATIONS, every application's
// top-level windows.
extern DWORD BroadcastRecipients;

// Installs CheckUniqueInstance as the start-up hook, keeping the previous one
// in SavedInitProc. Call once, before Application.Initialize().
void InstallUniqueInstanceHook();

// The start-up hook: registers the message, creates the mutex, and either
// halts after signalling (another copy runs, see DecideStart) or subclasses
// the application window, lets the message past the integrity-level filter
// and runs SavedInitProc. A second start whose running copy gives the name
// up while it watches runs as the first copy.
void CheckUniqueInstance();

// Lets any process take the foreground (this one was just started by the
// user and may pass that on), posts the "come to the front" request to all
// applications' top-level windows (the sender skipped, nobody waited for),
// then watches for about a second whether the running copy gives the name up
// without answering (it was ending). Returns true when it did and this
// process took the name (InstanceMutex); otherwise halts with exit code 0
// (returning false only when a test has replaced HaltProcess).
bool SignalRunningInstance();

// Posts InstanceMessage with the request in its wParam to all applications'
// top-level windows (the sender skipped, nobody waited for).
void PostInstanceRequest(InstanceRequest request);

// For a start with a clean switch: when a copy of the same file name runs
// (its mutex can be opened, or is refused to this unelevated start), asks it
// for the clean and returns true. Otherwise returns false, having taken
// nothing: no mutex is created (a normal start meanwhile must become the
// running copy) and no window is made.
bool HandCleanToRunningCopy(InstanceRequest request);

// For a start with "/exit": when a copy of the same file name runs, asks it
// to end as its tray menu's "Exit" does and waits, at most 10 s, until it has
// given the name up and its process (found beforehand by file name in this
// session) has ended. Returns the exit code: 0 when it ended or no copy ran
// (then at once, having created no mutex and no window), 1 when it did not
// end in time.
int EndRunningCopy();

// Makes AppWndProc the application window's procedure (through the narrow
// SetWindowLongA) and keeps the previous one in OldAppWndProc.
void SubclassApplication();

// The application window's procedure for the life of the process: the
// instance message brings the main window back or, when its wParam asks for
// a clean, runs CarryOutCleanRequest, or when it asks the copy to end, ends
// the application (once per half second per kind of request; a wParam no
// copy sends is ignored); everything else goes to
// OldAppWndProc through CallWindowProcA.
LRESULT CALLBACK AppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends WM_SHOWMAIN to the main window, restores `window` when minimised and
// tries to make it the foreground window, by the method the platform version
// asks for. Returns whether `window` ends up in front.
bool ForceForeground(HWND window);

// Closes InstanceMutex if it is open, giving the instance name up. Run when
// the program begins to end and again at exit (the second call finds
// nothing left to close).
void FinalizeUniqueInstance();

// The executable's file name (with extension, without folder), upper-cased
// with CharUpperBuffW: the name of the mutex and of the registered message.
// Every spelling of a name the file system takes as the same file gives the
// same instance name; different names stay different, whatever the code page.
std::wstring InstanceName();

// ---- Seams: each defaults to the real call; tests replace them. ----

// Ends the process with the given exit code (default: std::exit, which runs
// the static destructors and so closes InstanceMutex).
extern void (*HaltProcess)(unsigned code);

// Runs a clean another start asked for (default: the program runs it as a
// clean chosen in its tray menu, its error report included, but as another
// start's request).
extern void (*CarryOutCleanRequest)(InstanceRequest request);
// The pause between two looks at the instance name after signalling
// (default: a wait that serves messages sent to this thread's windows).
extern void (*PauseAfterSignal)(DWORD ms);

// The platform id and version the foreground method is chosen by (default:
// GetVersionExA).
extern PlatformVersion (*ReadPlatformVersion)();
PlatformVersion RuntimePlatformVersion();

// The guard's system calls, each defaulting to the real one (replaced in
// tests through platform::ScopedSeam).
extern decltype(&::BroadcastSystemMessageA) BroadcastCall;
extern decltype(&::GetForegroundWindow) GetForegroundWindowCall;
extern decltype(&::SetForegroundWindow) SetForegroundWindowCall;
extern decltype(&::BringWindowToTop) BringWindowToTopCall;
extern decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessIdCall;
extern decltype(&::AttachThreadInput) AttachThreadInputCall;
extern decltype(&::SystemParametersInfoA) SystemParametersInfoCall;
extern decltype(&::CreateMutexW) CreateMutexCall;
extern decltype(&::AllowSetForegroundWindow) AllowSetForegroundWindowCall;
extern decltype(&::GetTickCount) GetTickCountCall;
extern decltype(&::OpenMutexW) OpenMutexCall;

}  // namespace app
