#include "widgets/TrayIconRules.h"

namespace widgets {

unsigned long BalloonInfoFlags(int major, int minor, BalloonIcon icon) {
    const bool windows7OrLater = major > 6 || (major == 6 && minor >= 1);
    const unsigned long picture = icon == BalloonIcon::Warning ? kBalloonWarningIcon : kBalloonInfoIcon;
    return picture | (windows7OrLater ? kBalloonRespectQuietTime : 0);
}

}  // namespace widgets
