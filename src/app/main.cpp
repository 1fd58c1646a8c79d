// Program entry: initialise the application (which runs the start-up hooks),
// set the title, create the main window first and the settings dialog second,
// run the message loop, and end.
#include <windows.h>

#include "app/MainForm.h"
#include "settings/OptionForm.h"
#include "widgets/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using widgets::Application;
    Application.Initialize();
    Application.SetTitle(L"Brimvale ");
    app::TMainForm* mainForm = Application.CreateForm<app::TMainForm>();
    Application.CreateForm<settings::TOptionForm>(*mainForm);
    Application.Run();
    Application.DestroyForms();
    return 0;
}
