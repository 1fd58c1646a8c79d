// The idle auto-free pass waits while the user is in a full-screen program
// or a presentation: trimming working sets then would page the very program
// in use out of memory. The decision from the shell's notification state,
// and the setting that allows it; no OS calls here.
#pragma once
#include <string>

namespace app {

// The values SHQueryUserNotificationState (Vista and later) answers.
constexpr int kQunsNotPresent = 1;            // QUNS_NOT_PRESENT: screen saver, locked, switching users
constexpr int kQunsBusy = 2;                  // QUNS_BUSY: a full-screen program
constexpr int kQunsRunningD3dFullScreen = 3;  // QUNS_RUNNING_D3D_FULL_SCREEN: a full-screen game or video
constexpr int kQunsPresentationMode = 4;      // QUNS_PRESENTATION_MODE
constexpr int kQunsAcceptsNotifications = 5;  // QUNS_ACCEPTS_NOTIFICATIONS
constexpr int kQunsQuietTime = 6;             // QUNS_QUIET_TIME: the first hour after a new installation
constexpr int kQunsApp = 7;                   // QUNS_APP: a Windows Store app in front

// Whether the idle auto-free pass is held back: with the setting on, while
// the state is busy, a Direct3D full-screen program or presentation mode.
// Any other state, and a query that failed or does not exist (pass 0), lets
// it run: nobody is known to be in front of a full-screen program.
bool IdleFreeHeldBack(bool pauseFullScreen, int notificationState);

// The setting "pausefullscreen" from its raw text, read as the program's
// other on/off values are (platform::ParseIniBool); on when missing or not a
// number, so "0" is the one usual way to turn it off.
bool ParsePauseFullScreen(const std::wstring& raw);

}  // namespace app
