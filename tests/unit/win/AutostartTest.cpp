#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/SettingsStore.h"
#include "widgets/Errors.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

using namespace settings;
using testsupport::SavedRegistryValue;

namespace {

int g_autostartWrites = 0;

// Counts the writes of the autostart value and lets them through.
LONG WINAPI CountingSetValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                             DWORD size) {
    if (name && std::wstring(name) == AutostartValue) ++g_autostartWrites;
    return ::RegSetValueExW(key, name, reserved, type, data, size);
}

std::wstring Wanted() { return L"\"" + platform::ModulePath() + L"\" /m"; }

// Removes the Run key for one test and puts it back with all its values.
class RemovedRunKey {
public:
    RemovedRunKey() {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
            absent_ = true;  // nothing to remove or to put back
            return;
        }
        platform::UniqueKey key(raw);
        DWORD subkeys = 0;
        ::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr);
        if (subkeys != 0) return;  // not ours to remove
        std::vector<wchar_t> name(16384);
        for (DWORD i = 0;; ++i) {
            DWORD nameChars = static_cast<DWORD>(name.size());
            if (::RegEnumValueW(raw, i, name.data(), &nameChars, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS) {
                break;
            }
            names_.push_back(std::wstring(name.data(), nameChars));
            values_.push_back(testsupport::QueryValue(RunKey, names_.back()));
        }
        key.reset();
        removed_ = ::RegDeleteKeyW(HKEY_CURRENT_USER, RunKey) == ERROR_SUCCESS;
    }
    ~RemovedRunKey() {
        if (!removed_) return;
        HKEY raw = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                          nullptr);
        platform::UniqueKey key(raw);
        for (size_t i = 0; i < names_.size(); ++i) {
            ::RegSetValueExW(raw, names_[i].c_str(), 0, values_[i].type, values_[i].data.data(),
                             static_cast<DWORD>(values_[i].data.size()));
        }
    }
    bool Missing() const { return absent_ || removed_; }

private:
    bool absent_ = false;
    bool removed_ = false;
    std::vector<std::wstring> names_;
    std::vector<testsupport::RegistryValue> values_;
};

class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        g_autostartWrites = 0;
        platform::RegSetValueExCall = &CountingSetValue;
    }
    void TearDown() override {
        platform::RegSetValueExCall = &::RegSetValueExW;
        platform::SetModulePathForTest(L"");
    }

    SavedRegistryValue run_{RunKey, AutostartValue};
};

}  // namespace

TEST_F(Autostart, RegisterWritesTheQuotedExecutablePathAndTheMinimisedSwitch) {
    run_.Delete();
    RegisterAutostart();
    const testsupport::RegistryValue value = run_.Current();
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
    EXPECT_EQ(Wanted() + L'\0', testsupport::StringOf(value));
    EXPECT_EQ((Wanted().size() + 1) * 2, value.data.size());
    EXPECT_EQ(1, g_autostartWrites);
}

TEST_F(Autostart, AProgramPathOutsideTheCodePageIsStoredIntact) {
    const std::wstring exe = L"C:\\" + testsupport::kForeignName + L"\\brimvale.exe";
    platform::SetModulePathForTest(exe);
    run_.Delete();
    RegisterAutostart();
    EXPECT_EQ(L"\"" + exe + L"\" /m" + L'\0', testsupport::StringOf(run_.Current()));
}

TEST_F(Autostart, AnIdenticalValueIsNotRewrittenButAnyDifferenceIs) {
    run_.SetString(Wanted());
    RegisterAutostart();
    EXPECT_EQ(0, g_autostartWrites);

    // The string read accepts REG_EXPAND_SZ; the same text is left alone.
    run_.SetString(Wanted(), REG_EXPAND_SZ);
    RegisterAutostart();
    EXPECT_EQ(0, g_autostartWrites);

    std::wstring otherCase = Wanted();
    for (wchar_t& c : otherCase) c = static_cast<wchar_t>(::towupper(c));
    ASSERT_NE(Wanted(), otherCase);
    for (const std::wstring& old : {otherCase, std::wstring(L"\"C:\\Old\\brimvale.exe\" /m"), Wanted() + L" ",
                                    std::wstring()}) {
        run_.SetString(old);
        g_autostartWrites = 0;
        RegisterAutostart();
        EXPECT_EQ(1, g_autostartWrites);
        const testsupport::RegistryValue value = run_.Current();
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
        EXPECT_EQ(Wanted() + L'\0', testsupport::StringOf(value));
    }
}

TEST_F(Autostart, UnregisterDeletesTheValueAndIsQuietWithoutOne) {
    run_.SetString(Wanted());
    UnregisterAutostart();
    EXPECT_FALSE(run_.Current().exists);
    EXPECT_NO_THROW(UnregisterAutostart());
    EXPECT_FALSE(run_.Current().exists);
}

// The value is ours and the user asked for autostart: one of another type
// is replaced by the string, with no report.
TEST_F(Autostart, ANonStringValueIsReplacedByTheString) {
    const BYTE binary[] = {0x22, 0x00, 0x43, 0x00};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "REG_DWORD" : "REG_BINARY");
        if (round == 0)
            run_.SetDword(7);
        else
            testsupport::SetValue(RunKey, AutostartValue, REG_BINARY, binary, sizeof binary);
        g_autostartWrites = 0;
        EXPECT_NO_THROW(RegisterAutostart());
        const testsupport::RegistryValue value = run_.Current();
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
        EXPECT_EQ(Wanted() + L'\0', testsupport::StringOf(value));
        EXPECT_EQ(1, g_autostartWrites);
    }
}

TEST_F(Autostart, AMissingRunKeyIsNotCreatedAndRegisterFailsToSetTheValue) {
    RemovedRunKey removed;
    if (!removed.Missing()) GTEST_SKIP() << "the Run key has subkeys here; it is left alone";
    try {
        RegisterAutostart();
        FAIL() << "the write succeeded without a Run key";
    } catch (const platform::ERegistryException& e) {
        EXPECT_EQ(0u, e.Message().find(L"Failed to set data for 'Brimvale'")) << std::string(e.Message().begin(), e.Message().end());
        EXPECT_NE(std::wstring::npos, e.Message().find(L"is missing"));
        EXPECT_NE(std::wstring::npos, e.Message().find(RunKey));
    }
    EXPECT_NO_THROW(UnregisterAutostart());
    HKEY raw = nullptr;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_READ, &raw));
}
