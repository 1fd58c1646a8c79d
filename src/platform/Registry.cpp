#include "platform/Registry.h"

#include <vector>

#include "platform/Errors.h"

namespace platform {

RegSetValueExFn RegSetValueExCall = &::RegSetValueExW;

bool TTntRegistry::OpenKey(const std::wstring& path) {
    key_.reset();
    HKEY key = nullptr;
    openError_ = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (openError_ != ERROR_SUCCESS) return false;
    key_.reset(key);
    return true;
}

bool TTntRegistry::ValueType(const std::wstring& name, unsigned long& type) const {
    DWORD found = REG_NONE;
    const bool exists =
        key_ && ::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &found, nullptr, nullptr) == ERROR_SUCCESS;
    type = found;
    return exists;
}

bool TTntRegistry::ValueExists(const std::wstring& name) const {
    unsigned long type = REG_NONE;
    return ValueType(name, type);
}

bool TTntRegistry::ValueIsString(const std::wstring& name) const {
    unsigned long type = REG_NONE;
    return ValueType(name, type) && (type == REG_SZ || type == REG_EXPAND_SZ);
}

std::wstring TTntRegistry::ReadString(const std::wstring& name) const {
    if (!key_) return std::wstring();
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0) {
        return std::wstring();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    }
    // Room for an odd byte count and a terminator the data may lack; the
    // value may grow between the two queries, so read until it fits.
    std::vector<wchar_t> buffer;
    LONG status;
    do {
        buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
        DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        status = ::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        size = bytes;
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return std::wstring();  // deleted in between: as missing
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    }
    return std::wstring(buffer.data());
}

void TTntRegistry::WriteString(const std::wstring& name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    // No open key: the key is not there to hold the value.
    const LONG status = key_ ? RegSetValueExCall(key_.get(), name.c_str(), 0, REG_SZ,
                                                 reinterpret_cast<const BYTE*>(value.c_str()), bytes)
                             : ERROR_FILE_NOT_FOUND;
    if (status != ERROR_SUCCESS) {
        throw ERegistryException(
            WithSystemReason(L"Failed to set data for '" + name + L"'", static_cast<unsigned long>(status)));
    }
}

bool TTntRegistry::DeleteValue(const std::wstring& name) {
    return key_ && ::RegDeleteValueW(key_.get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
