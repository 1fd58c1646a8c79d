// What the settings dialog needs of the program, which implements it: the
// settings in use and the steps that read, change and store them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "settings/SettingsTable.h"

namespace localisation {
class TLanguage;
}

namespace settings {

class TSettingsHost {
public:
    virtual HWND OwnerWindow() const = 0;
    virtual localisation::TLanguage& Language() const = 0;
    // The settings in use, and a change that takes effect at once (a box
    // ticked in the open dialog, or the dialog cancelled).
    virtual const SettingsValue& Settings() const = 0;
    virtual void SetLiveSettings(const SettingsValue& value) = 0;
    // At start-up: opens the settings file, takes its settings (the start-up
    // defaults for a key it lacks, or for a file it cannot read) and applies
    // them: status texts, the autostart entry when ticked, the idle
    // auto-free. Returns the texts to report, each once, in order.
    virtual std::vector<std::wstring> StartSettings() = 0;
    // As the dialog opens: takes the file's settings again. A file that
    // cannot be read leaves the settings as they are and gives the text for
    // the report.
    virtual std::wstring ReloadSettings() = 0;
    // At OK: stores `value` (only what differs from `before`, the settings
    // the dialog opened with, when those did not come from the file), takes
    // it and applies it, the autostart entry following its setting. Throws
    // platform::EIniFileException when the file refuses the write; returns
    // the report of a refused autostart entry.
    virtual std::wstring SaveSettings(const SettingsValue& value, const SettingsValue& before) = 0;

protected:
    ~TSettingsHost() = default;
};

}  // namespace settings
