#include "widgets/Trace.h"

#include <windows.h>

namespace widgets {

void Trace(const std::wstring& text) {
    const std::wstring line = L"Brimvale: " + text + L"\n";
    ::OutputDebugStringW(line.c_str());
}

}  // namespace widgets
