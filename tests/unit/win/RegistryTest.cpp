#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "widgets/Errors.h"
#include "platform/Registry.h"

using namespace widgets;
using namespace platform;

namespace {

// A scratch key under HKEY_CURRENT_USER, deleted with its values at the end.
class ScratchKey {
public:
    ScratchKey() : path_(L"Software\\BrimvaleTest-" + std::to_wstring(::GetCurrentProcessId())) {
        HKEY raw = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &raw, nullptr));
        platform::UniqueKey key(raw);
    }
    ~ScratchKey() { ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str()); }
    const std::wstring& Path() const { return path_; }

    void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) const {
        testsupport::SetValue(path_, name, type, data, size);
    }

private:
    std::wstring path_;
};

LONG WINAPI RefuseWrite(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }

std::wstring MessageOfRead(TTntRegistry& registry, const std::wstring& name) {
    try {
        registry.ReadString(name);
    } catch (const platform::ERegistryException& e) {
        return e.Message();
    }
    return L"(nothing thrown)";
}

}  // namespace

TEST(TTntRegistry, OpenKeyNeverCreatesAMissingKey) {
    ScratchKey scratch;
    platform::TTntRegistry registry;
    EXPECT_FALSE(registry.OpenKey(scratch.Path() + L"\\Missing"));
    EXPECT_EQ(nullptr, registry.CurrentKey());
    HKEY raw = nullptr;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, (scratch.Path() + L"\\Missing").c_str(),
                                             0, KEY_READ, &raw));
    EXPECT_TRUE(registry.OpenKey(scratch.Path()));
    EXPECT_NE(nullptr, registry.CurrentKey());
}

TEST(TTntRegistry, ReadStringFollowsTheStringRules) {
    ScratchKey scratch;
    const std::wstring plain = L"C:\\" + testsupport::kForeignName;
    scratch.SetRaw(L"plain", REG_SZ, plain.c_str(), static_cast<DWORD>((plain.size() + 1) * 2));
    scratch.SetRaw(L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", 18);
    scratch.SetRaw(L"embedded", REG_SZ, L"ab\0cd", 12);
    scratch.SetRaw(L"unterminated", REG_SZ, L"abc", 6);
    scratch.SetRaw(L"emptysz", REG_SZ, L"", 0);
    scratch.SetRaw(L"emptybinary", REG_BINARY, "", 0);
    const DWORD number = 1;
    scratch.SetRaw(L"number", REG_DWORD, &number, sizeof number);
    scratch.SetRaw(L"binary", REG_BINARY, "a\0b\0", 4);

    platform::TTntRegistry registry;
    ASSERT_TRUE(registry.OpenKey(scratch.Path()));
    EXPECT_EQ(plain, registry.ReadString(L"plain"));
    EXPECT_EQ(L"%TEMP%\\x", registry.ReadString(L"expand"));  // not expanded
    EXPECT_EQ(L"ab", registry.ReadString(L"embedded"));
    EXPECT_EQ(L"abc", registry.ReadString(L"unterminated"));
    EXPECT_EQ(L"", registry.ReadString(L"emptysz"));
    EXPECT_EQ(L"", registry.ReadString(L"emptybinary"));  // size 0 comes before the type test
    EXPECT_EQ(L"", registry.ReadString(L"missing"));
    EXPECT_EQ(L"Invalid data type for 'number'", MessageOfRead(registry, L"number"));
    EXPECT_EQ(L"Invalid data type for 'binary'", MessageOfRead(registry, L"binary"));

    registry.CloseKey();
    EXPECT_EQ(L"", registry.ReadString(L"plain"));
    EXPECT_FALSE(registry.ValueExists(L"plain"));
}

TEST(TTntRegistry, WriteStringStoresRegSzWithItsNullAndDeleteValueRemovesIt) {
    ScratchKey scratch;
    platform::TTntRegistry registry;
    ASSERT_TRUE(registry.OpenKey(scratch.Path()));
    EXPECT_FALSE(registry.ValueExists(L"v"));
    registry.WriteString(L"v", L"\"C:\\x\" /m");
    EXPECT_TRUE(registry.ValueExists(L"v"));

    const testsupport::RegistryValue stored = testsupport::QueryValue(scratch.Path(), L"v");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ(2u * 9u + 2u, stored.data.size());
    EXPECT_EQ(std::wstring(L"\"C:\\x\" /m") + L'\0', testsupport::StringOf(stored));

    EXPECT_TRUE(registry.DeleteValue(L"v"));
    EXPECT_FALSE(registry.ValueExists(L"v"));
    EXPECT_FALSE(registry.DeleteValue(L"v"));
}

TEST(TTntRegistry, WriteStringWithoutAnOpenKeyOrARefusedWriteNamesTheValue) {
    platform::TTntRegistry registry;
    try {
        registry.WriteString(L"Brimvale", L"x");
        FAIL() << "no key is open";
    } catch (const platform::ERegistryException& e) {
        // Today's words, then the system's reason on a line of its own.
        const std::wstring reason = platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(L"Failed to set data for 'Brimvale'\n" + reason, e.Message());
    }

    ScratchKey scratch;
    ASSERT_TRUE(registry.OpenKey(scratch.Path()));
    const RegSetValueExFn real = RegSetValueExCall;
    RegSetValueExCall = &RefuseWrite;
    try {
        registry.WriteString(L"v", L"x");
        ADD_FAILURE() << "the refused write went unnoticed";
    } catch (const platform::ERegistryException& e) {
        const std::wstring reason = platform::SystemErrorText(ERROR_ACCESS_DENIED);
        EXPECT_FALSE(reason.empty());
        EXPECT_NE(reason, platform::SystemErrorText(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(L"Failed to set data for 'v'\n" + reason, e.Message());
    }
    RegSetValueExCall = real;
    EXPECT_FALSE(registry.ValueExists(L"v"));
}
