// Decisions of the tray icon that depend on the Windows version it runs on.
// No OS calls here.
#pragma once

namespace widgets {

// The icon a balloon shows: information (a clean's report) or warning (the
// low-memory warning).
enum class BalloonIcon { Info, Warning };

// The balloon's flags (NOTIFYICONDATA dwInfoFlags) on Windows major.minor:
// the icon (NIIF_INFO or NIIF_WARNING), and from Windows 7 (6.1) on also
// NIIF_RESPECT_QUIET_TIME, so that no balloon shows during a new user's
// first hour; earlier shells do not know that flag.
unsigned long BalloonInfoFlags(int major, int minor, BalloonIcon icon = BalloonIcon::Info);
constexpr unsigned long kBalloonInfoIcon = 0x00000001;       // NIIF_INFO
constexpr unsigned long kBalloonWarningIcon = 0x00000002;    // NIIF_WARNING
constexpr unsigned long kBalloonRespectQuietTime = 0x00000080;  // NIIF_RESPECT_QUIET_TIME

}  // namespace widgets
