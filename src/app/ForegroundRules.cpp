#include "app/ForegroundRules.h"

namespace app {

ForegroundMethod ChooseForegroundMethod(const PlatformVersion& version) {
    const bool nt5OrLater = version.platform == kPlatformWindowsNT && version.major > 4;
    const bool win98OrLater = version.platform == kPlatformWindows9x &&
                              (version.major > 4 || (version.major == 4 && version.minor > 0));
    return nt5OrLater || win98OrLater ? ForegroundMethod::ThreadInput : ForegroundMethod::BringToTop;
}

bool ShouldAttachThreadInput(unsigned long foregroundThread, unsigned long windowThread) {
    return foregroundThread != 0 && windowThread != 0 && foregroundThread != windowThread;
}

}  // namespace app
