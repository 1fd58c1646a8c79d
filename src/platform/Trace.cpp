#include "platform/Trace.h"

#include <windows.h>

namespace platform {

void Trace(const std::wstring& text) {
    const std::wstring line = L"Brimvale: " + text + L"\n";
    ::OutputDebugStringW(line.c_str());
}

}  // namespace platform
