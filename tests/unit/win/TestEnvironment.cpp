// Process-wide set-up for the Windows unit tests: the application object is
// initialised once (common controls, application window) and error reports
// are counted instead of opening message boxes.
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include "widgets/Application.h"
#include "widgets/Errors.h"

namespace testenv {

std::vector<std::wstring> Reports;

void RecordReport(const std::wstring& message) { Reports.push_back(message); }

namespace {
class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        widgets::Application.Initialize();
        widgets::ShowReport = &RecordReport;  // for the whole run
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);
}  // namespace

}  // namespace testenv
