#pragma once
#include <string>
#include <vector>

namespace testenv {
// Messages the standard error report was asked to show during the tests.
extern std::vector<std::wstring> Reports;
}  // namespace testenv
