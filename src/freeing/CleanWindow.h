// What Smart Clean and Deep Clean need of the main window: the progress row,
// the report labels, the Go button, the two timers, the texts and the tray
// icon. The main
// window hands these over; tests build them from a small form of their own.
#pragma once
#include <windows.h>

#include "localisation/Language.h"
#include "widgets/ComCtrls.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Form.h"
#include "widgets/StdCtrls.h"
#include "widgets/TrayIcon.h"

namespace freeing {

// What the cleans need of the main window.
struct CleanWindow {
    widgets::TTntForm& form;                  // its height grows/shrinks by 20 (form.SetHeight(form.Height() ± 20))
    widgets::TTntProgressBar& progress;       // ProgressBar_clean_progress
    widgets::TTntLabel& progressLabel;        // Label_clean_progress
    widgets::TTntButton& goButton;            // Button_go
    widgets::TTntLabel& numberBefore;         // Label_free_number_before
    widgets::TTntLabel& number;               // Label_free_number (auto-sizes to its text)
    widgets::TTntLabel& released;             // Label_Memory_Released
    widgets::TTimer& freeTimer;               // Timer_free
    widgets::TTimer& classicFreeTimer;        // Timer_classic_free
    const localisation::TLanguage& language;
    // Where a report goes too while the window is out of sight (none: nowhere).
    widgets::TTextTrayIcon* tray = nullptr;
};

// The pause between steps of a clean (default: Sleep), replaceable by tests.
using SleepFn = void(WINAPI*)(DWORD milliseconds);

}  // namespace freeing
