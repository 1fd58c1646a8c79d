// The end-to-end driver's view of Brimvale: it starts the real program, finds
// its windows and controls from outside, reads their texts, drives its menus
// and tray icon the way a user's clicks would, and checks files and registry.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Folder the program is copied to and started from (with its language folder).
std::wstring ProgramFolder();
std::wstring ProgramPath();
// The application-data folder the tests point the registry at.
std::wstring AppDataFolder();
std::wstring SettingsFilePath();

// A clean application-data folder (the registry pointed at it) and no
// autostart value.
void ResetUserState();

// Copies the program next to itself under another file name; returns its path.
std::wstring CopyProgramAs(const std::wstring& fileName);

// Waits up to `timeout` for `condition`, polling.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

class Program {
public:
    // Starts the program with the given parameters (may be empty).
    explicit Program(const std::wstring& parameters = L"", const std::wstring& exePath = ProgramPath());
    ~Program();  // ends it if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Pid() const noexcept { return pid_; }
    HANDLE Process() const noexcept { return process_; }
    bool Running() const;
    // Exit code once ended, or STILL_ACTIVE.
    DWORD ExitCode() const;
    bool WaitForExit(std::chrono::milliseconds timeout);
    long long PrivateBytes() const;  // its commit charge (under Wine: its resident private memory)

    // Top-level window of the given class belonging to this process.
    HWND FindWindowOfClass(const wchar_t* className) const;
    // Every top-level window of this process, and whether one of them shows.
    std::vector<HWND> TopLevelWindows() const;
    bool HasVisibleWindow() const;
    HWND MainWindow() const;  // waits for it
    HWND Control(int id) const;  // child of the main window (including the status bar's)
    std::wstring Text(HWND wnd) const;
    std::wstring ControlText(int id) const { return Text(Control(id)); }
    bool ControlVisible(int id) const;

    // Tray icon of this process under Wine's stand-alone tray (waits until
    // exactly one icon shows).
    HWND TrayIcon() const;
    void ClickTrayIcon() const;       // left click
    void OpenTrayMenu() const;        // right click
    // Picks item `index` (0-based) of the popup menu that is open now.
    bool ChooseMenuItem(int index) const;
    // Tray menu's "Exit" and wait for the process to end.
    bool ExitThroughTray();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Writes the settings file with these lines (the folders made as needed).
void WriteSettingsFile(const std::string& lines);
// Presses the keys in order and lets them go in reverse order (SendInput).
void PressKeys(const std::vector<WORD>& keys);

// The texts of the tooltip windows that show now, of any process (Wine's
// shell shows a balloon as one, about 2 s after it is set).
std::vector<std::wstring> ShownTooltipTexts();

// Tray icons showing now, of any process.
int TrayIconCount();

// Registry helpers (HKEY_CURRENT_USER).
bool ReadRegString(const wchar_t* key, const wchar_t* value, std::wstring& out);
void WriteRegString(const wchar_t* key, const wchar_t* value, const std::wstring& data);
void DeleteRegValue(const wchar_t* key, const wchar_t* value);
extern const wchar_t kRunKey[];
extern const wchar_t kShellFoldersKey[];

// File helpers.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// text as a UTF-16 little-endian file with its byte-order mark.
std::string Utf16File(const std::wstring& text);
void RemoveTree(const std::wstring& path);
bool FileExists(const std::wstring& path);

}  // namespace e2e
