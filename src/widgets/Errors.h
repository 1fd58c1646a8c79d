// The application's standard error report, and the one dispatch point
// through which every event handler runs.
#pragma once
#include <exception>
#include <new>
#include <string>

#include "platform/Errors.h"

namespace widgets {


// The standard error report: a message box with the message. One report at a
// time: an error raised while a report is open (a timer fires inside the
// box's modal loop) is dropped rather than stacked on top of it.
// Once the program is ending (Application.Terminate), no report opens.
void ReportError(const std::wstring& message);

// Closes the report's box if one is open: its own modal loop would take the
// program's quit and lose it, so the box ends as soon as its loop runs again.
void CloseOpenReport();

// How a report is shown: the message box (ShowReportBox) unless a test
// counts reports instead.
using ErrorReporter = void (*)(const std::wstring& message);
void ShowReportBox(const std::wstring& message);
extern ErrorReporter ShowReport;

// Runs an event handler: an exception stops the handler and is reported; it
// never propagates into the window procedure or the OS callback that called.
template <class F>
void Dispatch(F&& handler) noexcept {
    try {
        handler();
    } catch (const platform::Exception& e) {
        ReportError(e.Message());
    } catch (const std::bad_alloc&) {
        ReportError(L"Out of memory.");
    } catch (const std::exception& e) {
        std::string what = e.what();
        ReportError(std::wstring(what.begin(), what.end()));
    } catch (...) {
        ReportError(L"Unexpected error.");
    }
}

}  // namespace widgets
