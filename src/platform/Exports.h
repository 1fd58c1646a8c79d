// Functions a system DLL may or may not export, bound by name at run time
// so that the program still starts on a system that lacks them.
#pragma once
#include <windows.h>

namespace platform {

// The address of `name` in the already loaded module `module`; null when the
// module is not loaded or does not export it (a null module is never passed
// on: it would mean this executable).
FARPROC LookUpExport(const wchar_t* module, const char* name);

// An export's address as the function type it has; through void(*)() to
// tell the compiler that the signature change is meant.
template <class Fn>
Fn ExportAs(FARPROC address) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

}  // namespace platform
