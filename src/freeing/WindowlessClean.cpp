#include "freeing/WindowlessClean.h"

#include <string>

#include "freeing/DeepClean.h"
#include "freeing/SmartClean.h"
#include "freeing/WorkingSets.h"
#include "platform/Trace.h"

namespace freeing {

bool WindowlessCleanWindow::FreeWorkingSets() { return TrimWorkingSets(); }

int CleanWithoutWindow(platform::CleanSwitch clean) {
    if (clean == platform::CleanSwitch::None) return 1;
    const wchar_t* name = clean == platform::CleanSwitch::Smart ? L"Smart Clean" : L"Deep Clean";
    int code = 1;
    try {
        WindowlessCleanWindow window;
        const CleanOutcome outcome =
            clean == platform::CleanSwitch::Smart ? SmartCleanClick(window) : Timer_classic_freeTimer(window);
        code = CleanExitCode(outcome);
    } catch (...) {
        // No window to report on: the exit code and the trace say it.
        platform::Trace(std::wstring(name) + L" from the command line stopped on an error");
    }
    platform::Trace(std::wstring(name) + L" from the command line, no copy running: exit code " +
                   std::to_wstring(code));
    return code;
}

}  // namespace freeing
