// TTntRegistry: a short-lived accessor of one key under HKEY_CURRENT_USER,
// through the wide registry calls. Keys are opened with KEY_ALL_ACCESS and
// never created; the open key is closed by CloseKey or by the destructor.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Handle.h"

namespace platform {

// The call WriteString makes to store a value, defaulting to RegSetValueExW.
// Tests replace it to count writes or to make one fail.
using RegSetValueExFn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
extern RegSetValueExFn RegSetValueExCall;

class TTntRegistry {
public:
    TTntRegistry() = default;
    TTntRegistry(const TTntRegistry&) = delete;
    TTntRegistry& operator=(const TTntRegistry&) = delete;

    // Opens path below HKEY_CURRENT_USER (closing any key open before); a
    // missing key stays missing and the result is false.
    bool OpenKey(const std::wstring& path);
    // Why the last OpenKey failed (ERROR_FILE_NOT_FOUND: the key is missing),
    // ERROR_SUCCESS after one that worked.
    LONG OpenKeyError() const noexcept { return openError_; }
    void CloseKey() noexcept { key_.reset(); }
    HKEY CurrentKey() const noexcept { return key_.get(); }

    // Whether the open key holds a value of that name (false with no key).
    bool ValueExists(const std::wstring& name) const;
    // Whether that value exists and holds text (REG_SZ or REG_EXPAND_SZ).
    bool ValueIsString(const std::wstring& name) const;
    // Whether the value exists; its type (REG_SZ, REG_EXPAND_SZ, …) in type.
    bool ValueType(const std::wstring& name, unsigned long& type) const;

    // The value's text: empty when there is no key, the value is missing or
    // its size is 0; REG_SZ and REG_EXPAND_SZ only, any other type throws
    // ERegistryException naming the value. The text ends at the first null
    // character; environment references are not expanded.
    std::wstring ReadString(const std::wstring& name) const;

    // Stores value as REG_SZ with its terminating null. Throws
    // ERegistryException naming the value, and giving the system's reason,
    // when there is no open key or the system refuses.
    void WriteString(const std::wstring& name, const std::wstring& value);

    // Deletes the value; false when that failed.
    bool DeleteValue(const std::wstring& name);

private:
    UniqueKey key_;
    LONG openError_ = ERROR_SUCCESS;
};

}  // namespace platform
