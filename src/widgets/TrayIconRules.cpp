#include "widgets/TrayIconRules.h"

namespace widgets {

unsigned long BalloonInfoFlags(int major, int minor) {
    const bool windows7OrLater = major > 6 || (major == 6 && minor >= 1);
    return kBalloonInfoIcon | (windows7OrLater ? kBalloonRespectQuietTime : 0);
}

}  // namespace widgets
