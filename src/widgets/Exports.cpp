#include "widgets/Exports.h"

#include <string>

namespace widgets {

FARPROC LookUpExport(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    return handle ? ::GetProcAddress(handle, name) : nullptr;
}

FARPROC LoadSystemExport(const wchar_t* dll, const char* name) {
    HMODULE handle = ::GetModuleHandleW(dll);
    if (!handle) {
        // By full path from the system folder: never a copy planted beside
        // the program or in the working folder.
        wchar_t folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        handle = ::LoadLibraryW((std::wstring(folder) + L"\\" + dll).c_str());
    }
    return handle ? ::GetProcAddress(handle, name) : nullptr;
}

}  // namespace widgets
