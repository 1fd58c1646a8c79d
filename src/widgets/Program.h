// What the windows below the application object ask of it: whether the
// program is ending, ending it when its main form is freed, and what a
// request to end from outside does. Declared here, below the forms and the
// error report, so that they need not include the application; defined in
// Application.cpp, with the state they read.
#pragma once
#include <windows.h>
#include <optional>

namespace widgets {

class TTntForm;

// Whether the program is ending (Application.Terminated()).
bool ProgramEnding();

// A form closed with the Free action: the program ends when it is the main form.
void FormFreed(const TTntForm& form);

// What a top-level window of the program does with a request to end from
// outside: WM_CLOSE ends the program as the tray's "Exit" does;
// WM_QUERYENDSESSION is agreed to; WM_ENDSESSION (when the session does end)
// ends the program the same way. Returns the window procedure's result when
// msg was one of these.
std::optional<LRESULT> HandleEndRequest(UINT msg, WPARAM wParam);

}  // namespace widgets
