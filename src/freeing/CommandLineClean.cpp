#include "freeing/CommandLineClean.h"

#include <string>

#include "freeing/DeepClean.h"
#include "freeing/SmartClean.h"
#include "freeing/WorkingSets.h"
#include "platform/Trace.h"

namespace freeing {

int CleanWithoutWindow(platform::CleanSwitch clean, const ExclusionList& excluded) {
    if (clean == platform::CleanSwitch::None) return 1;
    const bool smart = clean == platform::CleanSwitch::Smart;
    const std::wstring name = smart ? L"Smart Clean" : L"Deep Clean";
    int code = 1;
    try {
        // Nothing shows a clean here: the engine's own trace line and the
        // exit code are its whole report.
        CleanProgress unseen;
        int passedOver = 0;  // the most of any pass (a process may start or end between them)
        const TrimPass pass = [&excluded, &passedOver] {
            int thisPass = 0;
            const bool listed = TrimWorkingSets(excluded, thisPass);
            if (thisPass > passedOver) passedOver = thisPass;
            return listed;
        };
        const CleanOutcome outcome = smart ? RunSmartClean(unseen, pass) : RunDeepClean(unseen);
        if (smart) platform::Trace(PassedOverTraceText(name, passedOver));
        code = CleanExitCode(outcome);
    } catch (...) {
        platform::Trace(name + L" from the command line stopped on an error");
    }
    platform::Trace(name + L" from the command line, no copy running: exit code " + std::to_wstring(code));
    return code;
}

}  // namespace freeing
