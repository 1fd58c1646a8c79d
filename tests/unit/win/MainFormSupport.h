// A main window with a program of its own, for tests that make one.
#pragma once
#include "app/MainForm.h"
#include "app/Program.h"

namespace testsupport {

struct OwnMainForm : app::Program, app::TMainForm {
    OwnMainForm() : TMainForm(static_cast<app::Program&>(*this)) {}
};

}  // namespace testsupport
