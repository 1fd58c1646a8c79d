// Program entry. A command line of "/smartclean" or "/deepclean" alone is a
// clean, not a start: it goes to the running copy when there is one, and
// otherwise runs here with no window and ends (exit code 0 when it ran, 1
// when it could not). "/exit" alone ends the running copy, as its tray
// menu's Exit does, and waits for it (exit code 0, also when none ran; 1
// when it did not end within 10 s). Every other command line starts the
// program, in this order: install the single-instance guard's start-up
// hook; initialise the application, which creates the hidden application
// window and runs the hooks (a second copy of the same file name ends
// there); set the title; create the main window first and the settings
// dialog second; run the message loop; then close the guard's mutex and end. The mutex goes first
// of all when the program begins to end (Exit, a close request, the
// session's end), before the windows and the tray icon, which under Wine
// take seconds to go: a start in that time is not turned away by a copy that
// will never answer.
#include <windows.h>

#include "app/FileOnlySettings.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "app/UniqueInstance.h"
#include "freeing/CommandLineClean.h"
#include "settings/OptionForm.h"
#include "widgets/Application.h"
#include "platform/CommandLineRules.h"
#include "widgets/Errors.h"
#include "platform/Trace.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using widgets::Application;
    platform::Trace(L"start, version " BRIMVALE_VERSION L" " BRIMVALE_ARCH);
    const platform::CleanSwitch clean = platform::CleanSwitchOf(Application.Parameters());
    if (clean == platform::CleanSwitch::Exit) return app::EndRunningCopy();
    if (clean != platform::CleanSwitch::None) {
        const app::InstanceRequest request = clean == platform::CleanSwitch::Deep
                                                 ? app::InstanceRequest::DeepClean
                                                 : app::InstanceRequest::SmartClean;
        if (app::HandCleanToRunningCopy(request)) return 0;
        // Smart Clean passes over the processes the user excluded.
        if (clean == platform::CleanSwitch::Smart) return freeing::CleanWithoutWindow(clean, app::ReadExclusionsOnly());
        return freeing::CleanWithoutWindow(clean);
    }
    // Installed here rather than from a static initialiser: the hook must be
    // in place before Initialize, whatever order static objects start in.
    app::InstallUniqueInstanceHook();
    Application.Initialize();
    Application.SetTitle(L"Brimvale ");  // the trailing blank belongs to the title
    // The program's state; the windows are its views.
    static app::Program program;
    try {
        // First: becomes the main window.
        Application.CreateForm<app::TMainForm>(program);
        // Second, created hidden: it relies on the main window's language object.
        Application.CreateForm<settings::TOptionForm>(program);
    } catch (const platform::Exception& e) {
        // A window the system refused to create (out of desktop heap, say):
        // the program cannot run without its windows. Say which and end.
        widgets::ReportError(e.Message());
        Application.DestroyForms();
        app::FinalizeUniqueInstance();
        return 1;
    }
    Application.OnTerminate = &app::FinalizeUniqueInstance;
    Application.Run();
    app::FinalizeUniqueInstance();  // also when the loop ended on a quit from elsewhere
    Application.DestroyForms();
    return 0;
}
