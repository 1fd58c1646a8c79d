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

StartDecision DecideStart(bool gotHandle, unsigned long error) {
    if (gotHandle) return error == kErrorAlreadyExists ? StartDecision::SignalAndHalt : StartDecision::RunAsFirstCopy;
    return error == kErrorAccessDenied ? StartDecision::SignalAndHalt : StartDecision::RunWithoutGuard;
}

bool RequestFromWParam(unsigned long long wParam, InstanceRequest& request) {
    if (wParam >= static_cast<unsigned long long>(kInstanceRequestKinds)) return false;
    request = static_cast<InstanceRequest>(wParam);
    return true;
}

bool IsRepeatedRequest(unsigned long now, unsigned long last, bool hadOne) {
    const unsigned long elapsed = (now - last) & 0xFFFFFFFFul;
    return hadOne && elapsed < kRequestRepeatMs;
}

CleanStartDecision DecideCleanStart(bool gotHandle, unsigned long error) {
    return gotHandle || error == kErrorAccessDenied ? CleanStartDecision::AskRunningCopy
                                                    : CleanStartDecision::CleanHere;
}

}  // namespace app
