#include "platform/Exports.h"

namespace platform {

FARPROC LookUpExport(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    return handle ? ::GetProcAddress(handle, name) : nullptr;
}

}  // namespace platform
