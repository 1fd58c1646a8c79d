#include "Driver.h"

#include <psapi.h>
#include <shellapi.h>

#include <thread>
#include <vector>

#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

namespace e2e {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring ProgramFolder() { return L"C:\\brimvale-e2e\\program\\"; }
std::wstring ProgramPath() { return ProgramFolder() + L"brimvale.exe"; }
std::wstring AppDataFolder() { return L"C:\\brimvale-e2e\\appdata"; }
std::wstring SettingsFilePath() { return AppDataFolder() + L"\\Palvo\\Brimvale\\Brimvale.ini"; }

void ResetUserState() {
    RemoveTree(AppDataFolder());
    ::CreateDirectoryW(AppDataFolder().c_str(), nullptr);
    WriteRegString(kShellFoldersKey, L"AppData", AppDataFolder());
    DeleteRegValue(kRunKey, L"Brimvale");
}

void WriteSettingsFile(const std::string& lines) {
    ::CreateDirectoryW((AppDataFolder() + L"\\Palvo").c_str(), nullptr);
    ::CreateDirectoryW((AppDataFolder() + L"\\Palvo\\Brimvale").c_str(), nullptr);
    WriteFileBytes(SettingsFilePath(), lines);
}

void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> input(keys.size() * 2);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        input[i].type = input[input.size() - 1 - i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = input[input.size() - 1 - i].ki.wVk = keys[i];
        input[input.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

namespace {
BOOL CALLBACK CollectShownTooltip(HWND wnd, LPARAM texts) {
    wchar_t name[64] = {}, shown[512] = {};
    ::GetClassNameW(wnd, name, 64);
    DWORD_PTR result = 0;
    if (lstrcmpW(name, L"tooltips_class32") == 0 && ::IsWindowVisible(wnd) &&
        ::SendMessageTimeoutW(wnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(shown), SMTO_ABORTIFHUNG, 2000, &result))
        reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(shown);
    return TRUE;
}
}  // namespace

std::vector<std::wstring> ShownTooltipTexts() {
    std::vector<std::wstring> texts;
    ::EnumWindows(&CollectShownTooltip, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring CopyProgramAs(const std::wstring& fileName) {
    const std::wstring path = ProgramFolder() + fileName;
    ::CopyFileW(ProgramPath().c_str(), path.c_str(), FALSE);
    return path;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

Program::Program(const std::wstring& parameters, const std::wstring& exePath) {
    std::wstring line = L"\"" + exePath + L"\"";
    if (!parameters.empty()) line += L" " + parameters;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\') + 1);
    if (::CreateProcessW(exePath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         folder.c_str(), &si, &pi)) {
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        ::CloseHandle(pi.hThread);
    }
}

Program::~Program() {
    if (process_) {
        if (Running()) {
            ::TerminateProcess(process_, 1);
            ::WaitForSingleObject(process_, 5000);
        }
        ::CloseHandle(process_);
    }
}

bool Program::Running() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_, &code);
    return code;
}

bool Program::WaitForExit(std::chrono::milliseconds timeout) {
    return process_ && ::WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

long long Program::PrivateBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    return ::GetProcessMemoryInfo(process_, &counters, sizeof counters) ? counters.PagefileUsage : -1;
}

namespace {
struct FindArgs {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};
BOOL CALLBACK FindProc(HWND wnd, LPARAM lParam) {
    auto* args = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    wchar_t name[128] = {};
    ::GetClassNameW(wnd, name, 128);
    if (pid == args->pid && lstrcmpW(name, args->className) == 0) {
        args->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND Program::FindWindowOfClass(const wchar_t* className) const {
    FindArgs args{pid_, className, nullptr};
    ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

namespace {
struct AllArgs {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK AllProc(HWND wnd, LPARAM lParam) {
    auto* args = reinterpret_cast<AllArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == args->pid) args->found.push_back(wnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> Program::TopLevelWindows() const {
    AllArgs args{pid_, {}};
    ::EnumWindows(&AllProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

bool Program::HasVisibleWindow() const {
    for (HWND wnd : TopLevelWindows())
        if (::IsWindowVisible(wnd)) return true;
    return false;
}

HWND Program::MainWindow() const {
    HWND wnd = nullptr;
    WaitFor([&] { return (wnd = FindWindowOfClass(app::kMainFormClass)) != nullptr; });
    return wnd;
}

namespace {
struct ChildArgs {
    int id;
    HWND found;
};
BOOL CALLBACK ChildProc(HWND wnd, LPARAM lParam) {
    auto* args = reinterpret_cast<ChildArgs*>(lParam);
    if (::GetDlgCtrlID(wnd) == args->id) {
        args->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND Program::Control(int id) const {
    ChildArgs args{id, nullptr};
    ::EnumChildWindows(MainWindow(), &ChildProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

std::wstring Program::Text(HWND wnd) const {
    if (!wnd) return L"<no window>";
    wchar_t buffer[4096] = {};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                          5000, &result);
    return buffer;
}

bool Program::ControlVisible(int id) const {
    // The control's own visibility, whether or not its window is shown.
    HWND wnd = Control(id);
    return wnd && (::GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

namespace {
struct TrayArgs {
    std::vector<HWND> icons;
};
BOOL CALLBACK TrayChildProc(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_tray_icon") == 0)
        reinterpret_cast<TrayArgs*>(lParam)->icons.push_back(wnd);
    return TRUE;
}
BOOL CALLBACK TrayTopProc(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_standalone_tray") == 0) ::EnumChildWindows(wnd, &TrayChildProc, lParam);
    if (lstrcmpW(name, L"__winex11_tray_icon") == 0) TrayChildProc(wnd, lParam);
    return TRUE;
}
}  // namespace

int TrayIconCount() {
    TrayArgs args;
    ::EnumWindows(&TrayTopProc, reinterpret_cast<LPARAM>(&args));
    return static_cast<int>(args.icons.size());
}

HWND Program::TrayIcon() const {
    // Wine's stand-alone tray shows one window per icon; the driver runs one
    // copy of the program at a time whenever it uses the tray.
    HWND found = nullptr;
    WaitFor([&] {
        TrayArgs args;
        ::EnumWindows(&TrayTopProc, reinterpret_cast<LPARAM>(&args));
        if (args.icons.size() == 1) found = args.icons[0];
        return found != nullptr;
    });
    return found;
}

void Program::ClickTrayIcon() const {
    HWND icon = TrayIcon();
    ::PostMessageW(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(icon, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void Program::OpenTrayMenu() const {
    HWND icon = TrayIcon();
    ::PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(icon, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
}

bool Program::ChooseMenuItem(int index) const {
    HWND menu = nullptr;
    if (!WaitFor([&] {
            menu = ::FindWindowW(L"#32768", nullptr);
            return menu && ::IsWindowVisible(menu);
        }))
        return false;
    for (int i = 0; i <= index; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitFor([&] { return !::IsWindowVisible(menu) || !::IsWindow(menu); });
}

bool Program::ExitThroughTray() {
    OpenTrayMenu();
    if (!ChooseMenuItem(3)) return false;
    return WaitForExit(std::chrono::seconds(10));
}

bool ReadRegString(const wchar_t* key, const wchar_t* value, std::wstring& out) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    wchar_t buffer[4096] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t), type = 0;
    const bool ok = ::RegQueryValueExW(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                        ERROR_SUCCESS &&
                    (type == REG_SZ || type == REG_EXPAND_SZ);
    ::RegCloseKey(h);
    if (ok) out = buffer;
    return ok;
}

void WriteRegString(const wchar_t* key, const wchar_t* value, const std::wstring& data) {
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
}

void DeleteRegValue(const wchar_t* key, const wchar_t* value) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS) return;
    ::RegDeleteValueW(h, value);
    ::RegCloseKey(h);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0) data.append(buffer, got);
    ::CloseHandle(f);
    return data;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

void RemoveTree(const std::wstring& path) {
    std::wstring from = path;
    from.push_back(L'\0');  // double-null terminated list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&op);
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace e2e
