// Letting a message past the integrity-level filter (User Interface Privilege
// Isolation). From Vista on, a window of an elevated process does not receive
// registered messages posted by processes of a lower integrity level unless
// it says so: a non-elevated second start could not reach an elevated first
// copy, and an elevated copy would never hear the shell's TaskbarCreated.
//
// The calls come from the table of functions looked up at run time
// (platform::DynCalls), since older systems lack them:
// ChangeWindowMessageFilterEx (Windows 7 on) opens one window; where only
// ChangeWindowMessageFilter exists (Vista) the message is opened for the
// process; before Vista there is no filter and nothing is done.
#pragma once
#include <windows.h>

namespace widgets {

enum class MessageFilterWay {
    Window,   // ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr)
    Process,  // ChangeWindowMessageFilter(message, MSGFLT_ADD)
    None,     // neither call exists (no filter to pass), or the message is 0
};

// Lets `message` reach `window` from processes of any integrity level.
// Returns the way taken; a failed call is ignored (the program works as well
// as it did without it).
MessageFilterWay AllowMessageThroughFilter(HWND window, UINT message);

}  // namespace widgets
