#include <gtest/gtest.h>

#include "widgets/PathRules.h"

TEST(IsAbsolutePath, ADriveWithItsRootOrANetworkPathOnly) {
    for (const wchar_t* path : {L"C:\\Users\\x\\AppData\\Roaming", L"z:\\", L"C:/x", L"\\\\server\\share",
                                L"//server/share", L"\\\\?\\C:\\long"})
        EXPECT_TRUE(widgets::IsAbsolutePath(path)) << std::wstring(path).size();
    for (const wchar_t* path : {L"", L"relappdata", L".\\x", L"..\\x", L"\\rootless", L"/rootless", L"C:",
                                L"C:drive-relative", L"1:\\x", L"%APPDATA%", L"\x0421:\\x"})
        EXPECT_FALSE(widgets::IsAbsolutePath(path)) << std::wstring(path).size();
}
