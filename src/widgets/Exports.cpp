#include "widgets/Exports.h"

namespace widgets {

FARPROC LookUpExport(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    return handle ? ::GetProcAddress(handle, name) : nullptr;
}

}  // namespace widgets
