// Functions a system DLL may or may not export, bound by name at run time
// so that the program still starts on a system that lacks them.
#pragma once
#include <windows.h>

namespace widgets {

// The address of `name` in the already loaded module `module`; null when the
// module is not loaded or does not export it (a null module is never passed
// on: it would mean this executable).
FARPROC LookUpExport(const wchar_t* module, const char* name);

// The address of `name` in the system library `dll` (a file name such as
// "shell32.dll"), which is loaded from the system folder on first need and
// stays loaded; null when it cannot be loaded or does not export the name.
// For libraries the program needs only after its window shows: a library
// loaded at start costs its load before the window can appear.
FARPROC LoadSystemExport(const wchar_t* dll, const char* name);

// An export's address as the function type it has; through void(*)() to
// tell the compiler that the signature change is meant.
template <class Fn>
Fn ExportAs(FARPROC address) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

}  // namespace widgets
