// Errors raised by the widget layer's INI and registry wrappers, and the
// application's standard error report.
#pragma once
#include <exception>
#include <string>

namespace widgets {

// Base of the layer's exceptions; the message is wide and is what the
// standard error report shows.
class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "widgets::Exception"; }

private:
    std::wstring message_;
};

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The system's own text for an error code (FormatMessageW), without its
// trailing line break; empty when the system has none.
std::wstring SystemErrorText(unsigned long code);

// message followed, on a line of its own, by the system's text for code
// (the reason a call was refused); message alone when there is no text.
std::wstring WithSystemReason(const std::wstring& message, unsigned long code);

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
    } catch (const Exception& e) {
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
