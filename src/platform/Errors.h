// Errors raised by the INI-file and registry wrappers (an exception whose
// message names the file or value), and the system's reason for a refusal.
#pragma once
#include <exception>
#include <string>

namespace platform {

// Base of the layer's exceptions; the message is wide and is what the
// standard error report shows.
class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "platform::Exception"; }

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

// Where code below the windows reports a problem that the user must see (a
// registry value of the wrong type): the window layer points it at its
// standard error report; until then, and in programs without windows, the
// support trace.
using ProblemReporter = void (*)(const std::wstring& message);
extern ProblemReporter ReportProblem;

}  // namespace platform
