// Helpers for the bad-input tests: both windows of the program started in
// this process against scratch folders, byte generators for broken files,
// and guards for the registry keys and drive-root folders a test disturbs.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "MainFormSupport.h"
#include "app/MainForm.h"
#include "probes/CpuUsage.h"
#include "settings/OptionForm.h"
#include "settings/SettingsStore.h"
#include "widgets/Application.h"
#include "platform/Paths.h"

namespace robustness {

// Reproducible bytes of every value, NULs, CRs, LFs, brackets and equals
// signs included (a linear congruential sequence).
inline std::string GarbageBytes(std::size_t size, unsigned seed = 12345u) {
    std::string bytes;
    bytes.reserve(size);
    unsigned x = seed;
    while (bytes.size() < size) {
        x = x * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(x >> 16));
    }
    return bytes;
}

// About `size` bytes of well-formed profile lines in a section of their own.
inline std::string FillerSection(std::size_t size) {
    std::string text = "[Filler]\r\n";
    text.reserve(size + 128);
    for (int i = 0; text.size() < size; ++i)
        text += "key" + std::to_string(i) + "=0123456789abcdef0123456789abcdef0123456789abcdef\r\n";
    return text;
}

// The code page's reading of bytes, as the profile reader decodes a file
// without a byte-order mark.
inline std::wstring CodePageText(const std::string& bytes) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

// Removes a key below HKEY_CURRENT_USER for one test and puts it back with
// all its values. A key with subkeys is left alone (Removed() is false).
class RemovedKey {
public:
    explicit RemovedKey(std::wstring path) : path_(std::move(path)) {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
            missing_ = true;
            return;
        }
        platform::UniqueKey key(raw);
        DWORD subkeys = 0;
        ::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr);
        if (subkeys != 0) return;
        std::vector<wchar_t> name(16384);
        for (DWORD i = 0;; ++i) {
            DWORD chars = static_cast<DWORD>(name.size());
            if (::RegEnumValueW(raw, i, name.data(), &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names_.emplace_back(name.data(), chars);
            values_.push_back(testsupport::QueryValue(path_, names_.back()));
        }
        key.reset();
        removed_ = ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str()) == ERROR_SUCCESS;
        missing_ = removed_;
    }
    ~RemovedKey() {
        if (!removed_) return;
        for (std::size_t i = 0; i < names_.size(); ++i)
            testsupport::SetValue(path_, names_[i], values_[i].type, values_[i].data.data(),
                                  static_cast<DWORD>(values_[i].data.size()));
        if (names_.empty()) {  // an empty key comes back empty
            HKEY raw = nullptr;
            ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                              nullptr);
            platform::UniqueKey key(raw);
        }
    }
    RemovedKey(const RemovedKey&) = delete;
    RemovedKey& operator=(const RemovedKey&) = delete;

    bool Missing() const { return missing_; }

private:
    std::wstring path_;
    bool missing_ = false;
    bool removed_ = false;
    std::vector<std::wstring> names_;
    std::vector<testsupport::RegistryValue> values_;
};

// Both windows of the program, made in this process as the program makes
// them, with the executable's folder and the app-data folder in scratch
// folders, no Run value, and error reports captured.
class ProgramRig : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::CreateDir(ProgramFolder()));
        ASSERT_TRUE(platform::CreateDir(AppDataFolder()));
        appData_.SetString(AppDataFolder());
        run_.Delete();
        settings::ResetSettingsForTest();
        platform::SetModulePathForTest(ProgramFolder() + L"\\brimvale.exe");
        widgets::Application.SetCommandLineForTest(L"brimvale.exe");
        widgets::Application.SetShowMainFormOnRun(true);
    }
    void TearDown() override {
        if (dialog_ && dialog_->Visible()) dialog_->Hide();
        dialog_.reset();
        main_.reset();
        platform::SetModulePathForTest(L"");
        widgets::Application.SetCommandLineForTest(L"brimvale.exe");
        widgets::Application.SetShowMainFormOnRun(true);
        settings::ResetSettingsForTest();
    }

    // The start-up sequence: the main window first, the dialog second.
    void Start() {
        probes::ResetCpuUsageForTest();
        main_ = std::make_unique<testsupport::OwnMainForm>();
        dialog_ = std::make_unique<settings::TOptionForm>(main_->TheProgram());
    }

    std::wstring ProgramFolder() const { return root_ / L"program"; }
    std::wstring AppDataFolder() const { return root_ / L"appdata"; }
    std::wstring IniPath() const { return AppDataFolder() + L"\\Palvo\\Brimvale\\Brimvale.ini"; }
    void WriteIni(const std::string& bytes) {
        platform::CreateDir(AppDataFolder() + L"\\Palvo");
        platform::CreateDir(AppDataFolder() + L"\\Palvo\\Brimvale");
        testsupport::WriteBytes(IniPath(), bytes);
    }
    std::wstring LanguageFolder() const { return ProgramFolder() + L"\\language"; }
    std::wstring LanguageFile(const std::wstring& name = L"English") const {
        return LanguageFolder() + L"\\" + name + L".lng";
    }
    void WriteLanguage(const std::string& bytes) {
        platform::CreateDir(LanguageFolder());
        testsupport::WriteBytes(LanguageFile(), bytes);
    }
    // The sibling product's language choice, as UTF-16.
    void ChooseLanguage(const std::wstring& name) {
        platform::CreateDir(AppDataFolder() + L"\\Palvo");
        platform::CreateDir(AppDataFolder() + L"\\Palvo\\Quenderal");
        testsupport::WriteBytes(AppDataFolder() + L"\\Palvo\\Quenderal\\Main.ini",
                                testsupport::Utf16Bytes(L"[Main]\r\nLanguage=" + name + L"\r\n"));
    }

    std::vector<bool> Boxes() const {
        return {dialog_->CheckBox_set_start_with_window->Checked(), dialog_->CheckBox_set_auto_free->Checked(),
                dialog_->CheckBox_set_pause_free->Checked(), dialog_->CheckBox_use_smart_algorithm->Checked()};
    }
    void SetBoxes(const std::vector<bool>& states) {
        dialog_->CheckBox_set_start_with_window->SetChecked(states[0]);
        dialog_->CheckBox_set_auto_free->SetChecked(states[1]);
        dialog_->CheckBox_set_pause_free->SetChecked(states[2]);
        dialog_->CheckBox_use_smart_algorithm->SetChecked(states[3]);
    }
    // The four values as a fresh reader finds them in the file ("?" when absent).
    std::vector<std::wstring> StoredValues(const std::wstring& path) const {
        const platform::TTntIniFile file(path);
        std::vector<std::wstring> values;
        for (const wchar_t* key : {settings::KeyStartWithWindows, settings::KeyFreeWhenLeisure,
                                   settings::KeyPauseWhenBusy, settings::KeySmartFree})
            values.push_back(file.ReadString(settings::SettingsSection, key, L"?"));
        return values;
    }
    static std::vector<std::wstring> AsStored(const std::vector<bool>& boxes) {
        std::vector<std::wstring> values;
        for (bool b : boxes) values.push_back(b ? L"1" : L"0");
        return values;
    }

    // One tick delivered as the system delivers it (the timer's message to
    // the main window). True when every figure it writes has its shape
    // afterwards; the figures are blanked first so that a tick that did not
    // run cannot pass.
    bool TickShowsFigures() {
        for (widgets::TTntLabel* label : {main_->Label_cpu_usage, main_->Label_avail_phys,
                                          main_->Label_avail_pagefile, main_->Label_avail_virtual})
            label->SetCaption(L"-");
        ::SendMessageW(main_->Handle(), WM_TIMER, main_->Timer_cpu->Id(), 0);
        const std::wregex percent(L"-?\\d+%");
        // Megabytes, or gigabytes with a decimal from a total of 10,000 MB.
        const std::wregex figure(L"\\d+ of \\d+MB|\\d+\\D\\d of \\d+\\D\\dGB");
        // A 64-bit process's address space is counted in terabytes.
        const std::wregex addressSpace(sizeof(void*) == 8 ? L"\\d+ of \\d+TB" : L"\\d+ of \\d+MB");
        return std::regex_match(main_->Label_cpu_usage->Caption(), percent) &&
               std::regex_match(main_->Label_avail_phys->Caption(), figure) &&
               std::regex_match(main_->Label_avail_pagefile->Caption(), figure) &&
               std::regex_match(main_->Label_avail_virtual->Caption(), addressSpace) &&
               main_->TextTrayIcon->Hint().size() < 128;
    }

    testsupport::ScratchFolder root_{L"robust"};
    testsupport::SavedRegistryValue appData_{settings::ShellFoldersKey, settings::AppDataValue};
    testsupport::SavedRegistryValue run_{settings::RunKey, settings::AutostartValue};
    testsupport::CapturedReports reports_;
    std::unique_ptr<app::TMainForm> main_;
    std::unique_ptr<settings::TOptionForm> dialog_;
};

}  // namespace robustness
