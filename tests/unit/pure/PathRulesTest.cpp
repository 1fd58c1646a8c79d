#include <gtest/gtest.h>

#include "platform/PathRules.h"

TEST(IsAbsolutePath, ADriveWithItsRootOrANetworkPathOnly) {
    for (const wchar_t* path : {L"C:\\Users\\x", L"z:/", L"\\\\server\\share", L"//server/share"})
        EXPECT_TRUE(platform::IsAbsolutePath(path));
    for (const wchar_t* path :
         {L"", L"relappdata", L"..\\x", L"\\rootless", L"C:", L"C:x", L"1:\\x", L"%APPDATA%"})
        EXPECT_FALSE(platform::IsAbsolutePath(path)) << std::wstring(path).size();
}
