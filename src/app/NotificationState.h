// The shell's notification state (SHQueryUserNotificationState, shell32,
// Windows Vista and later): whether a full-screen program, a game or a
// presentation is in front. Looked up at run time, so that the program
// still starts on Windows XP.
#pragma once

namespace app {

// One of the kQuns* states (NotificationStateRules.h); 0 when the function
// is missing or fails.
int UserNotificationState();

// ---- Test seam (replaced through platform::ScopedSeam) ----
// The query UserNotificationState makes; the default looks the function up
// and asks it.
using NotificationStateFn = int (*)();
extern NotificationStateFn ReadNotificationState;

}  // namespace app
