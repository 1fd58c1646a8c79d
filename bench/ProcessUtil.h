// Helpers of the benchmarks that start programs and watch them from outside:
// starting a copy of a program in a scratch folder, finding its windows,
// pointing the per-user application-data folder at a scratch folder for the
// time of a run, and reading a process's CPU time, memory and handles.
#pragma once
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "platform/Handle.h"

namespace bench {

// Folder of the running benchmark (where the build puts every program).
inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1);
}

// Removes a folder with everything in it (benchmark scratch folders only).
inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    platform::UniqueFindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search.get(), &found));
    }
    search.reset();
    ::RemoveDirectoryW(folder.c_str());
}

// Creates a folder and any missing folders above it.
inline void CreateFolders(const std::wstring& folder) {
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
        ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

// Copies the named programs from the benchmark's own folder into a fresh
// scratch folder on drive C: (the programs run from there, with it as their
// working folder, as the end-to-end tests run the program). Returns the folder.
inline std::wstring StageProgramsIn(const std::wstring& folder, const std::vector<std::wstring>& names) {
    RemoveTree(folder);
    CreateFolders(folder);
    for (const std::wstring& name : names) {
        if (!::CopyFileW((ExeFolder() + name).c_str(), (folder + L"\\" + name).c_str(), FALSE))
            std::fprintf(stderr, "could not copy %ls to %ls\n", name.c_str(), folder.c_str());
    }
    return folder + L"\\";
}

// The per-user application-data folder redirected to `folder` while this
// object lives; the value (or its absence) comes back at the end.
class AppDataRedirect {
public:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

    explicit AppDataRedirect(const std::wstring& folder) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        key_.reset(key);
        wchar_t buffer[4096] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        had_ = ::RegQueryValueExW(key, L"AppData", nullptr, &type_, reinterpret_cast<BYTE*>(buffer), &size) ==
               ERROR_SUCCESS;
        if (had_) saved_.assign(reinterpret_cast<const BYTE*>(buffer), reinterpret_cast<const BYTE*>(buffer) + size);
        Set(folder);
    }
    ~AppDataRedirect() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExW(key_.get(), L"AppData", 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
        else
            ::RegDeleteValueW(key_.get(), L"AppData");
    }
    AppDataRedirect(const AppDataRedirect&) = delete;
    AppDataRedirect& operator=(const AppDataRedirect&) = delete;

    void Set(const std::wstring& folder) {
        if (!key_) return;
        ::RegSetValueExW(key_.get(), L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }

private:
    platform::UniqueKey key_;
    bool had_ = false;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> saved_;
};

// A started program. Started detached from any console, with its own folder
// as working folder; ended (if still running) when the object goes.
class Child {
public:
    Child(const std::wstring& exePath, const std::wstring& parameters) {
        std::wstring line = L"\"" + exePath + L"\"";
        if (!parameters.empty()) line += L" " + parameters;
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(L'\0');
        const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\') + 1);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(exePath.c_str(), buffer.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             folder.c_str(), &si, &pi)) {
            process_.reset(pi.hProcess);
            platform::UniqueKernelHandle thread(pi.hThread);
            pid_ = pi.dwProcessId;
        }
    }
    ~Child() { Kill(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const noexcept { return process_.valid(); }
    HANDLE Process() const noexcept { return process_.get(); }
    DWORD Pid() const noexcept { return pid_; }
    bool Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    void Kill() {
        if (Running()) ::TerminateProcess(process_.get(), 1);
        if (process_) ::WaitForSingleObject(process_.get(), 10000);
    }
    // Posts WM_CLOSE to the window and waits for the process to end; kills
    // it when it does not end within the timeout.
    bool CloseThrough(HWND wnd, DWORD timeoutMs = 5000) {
        if (wnd) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
        if (process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0) return true;
        Kill();
        return false;
    }

private:
    platform::UniqueKernelHandle process_;
    DWORD pid_ = 0;
};

struct FindTopLevelArgs {
    DWORD pid;
    bool visible;
    const wchar_t* className;
    HWND found;
};

inline BOOL CALLBACK FindTopLevelProc(HWND wnd, LPARAM lParam) {
    auto* a = reinterpret_cast<FindTopLevelArgs*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    if (owner != a->pid) return TRUE;
    if (a->visible && !::IsWindowVisible(wnd)) return TRUE;
    if (a->className) {
        wchar_t name[128] = {};
        ::GetClassNameW(wnd, name, 128);
        if (lstrcmpW(name, a->className) != 0) return TRUE;
    }
    a->found = wnd;
    return FALSE;
}

// The first top-level window of a process that matches: visible (when
// `visible`), of the class `className` (when not null).
inline HWND FindTopLevel(DWORD pid, bool visible, const wchar_t* className = nullptr) {
    FindTopLevelArgs args{pid, visible, className, nullptr};
    ::EnumWindows(&FindTopLevelProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// Polls (every millisecond or so) until `find` yields a window or the time
// runs out; returns the window (or null) and the milliseconds waited from
// `startMs` (a NowMs() reading).
template <class Find>
HWND WaitForWindow(Find find, double startMs, double timeoutMs, double& elapsedMs) {
    for (;;) {
        HWND wnd = find();
        elapsedMs = NowMs() - startMs;
        if (wnd || elapsedMs > timeoutMs) return wnd;
        ::Sleep(1);
    }
}

inline BOOL CALLBACK TrayIconChild(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_tray_icon") == 0) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(wnd);
    return TRUE;
}

inline BOOL CALLBACK TrayIconTop(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_standalone_tray") == 0) ::EnumChildWindows(wnd, &TrayIconChild, lParam);
    return TrayIconChild(wnd, lParam);
}

// Icons in Wine's stand-alone tray (one window per icon).
inline std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    ::EnumWindows(&TrayIconTop, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

// The tray menu's "Exit" (its fourth item), as the end-to-end tests choose
// it; false when the menu or the exit did not come.
inline bool ExitThroughTray(Child& child, std::size_t iconsBefore) {
    HWND icon = nullptr;
    const double start = NowMs();
    while (!icon && NowMs() - start < 5000) {
        const std::vector<HWND> icons = TrayIcons();
        if (icons.size() > iconsBefore) icon = icons.back();
        ::Sleep(10);
    }
    if (!icon) return false;
    ::PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(icon, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    HWND menu = nullptr;
    while (NowMs() - start < 10000) {
        menu = ::FindWindowW(L"#32768", nullptr);
        if (menu && ::IsWindowVisible(menu)) break;
        menu = nullptr;
        ::Sleep(10);
    }
    if (!menu) return false;
    for (int i = 0; i < 4; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return ::WaitForSingleObject(child.Process(), 10000) == WAIT_OBJECT_0;
}

// Under Wine, each Windows process is a host process, and Wine's
// GetProcessTimes reads 0 for any process but the caller's own. The host's
// own account of a process (/proc/<pid>/stat) is reachable through the Z:
// drive, which maps the host's root. These helpers find a host process by
// its command line (and, for processes of the Wine session, its prefix) and
// read its CPU time; they find nothing on Windows itself.
inline std::string ReadHostFile(const std::string& path) {
    platform::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string data;
    char buffer[8192];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

// The host process whose command line contains `commandPart` (compared
// without regard to case) and whose environment holds `environmentPart`
// (when not empty); 0 when there is none (or no host /proc to look in).
inline long FindHostProcess(const std::string& commandPart, const std::string& environmentPart = {}) {
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string wanted = lower(commandPart);
    WIN32_FIND_DATAA found;
    platform::UniqueFindHandle search(::FindFirstFileA("Z:\\proc\\*", &found));
    if (!search) return 0;
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string command = ReadHostFile("Z:\\proc\\" + name + "\\cmdline");
        for (char& c : command)
            if (c == '\0') c = ' ';
        if (lower(command).find(wanted) == std::string::npos) continue;
        if (!environmentPart.empty()) {
            std::string environment = ReadHostFile("Z:\\proc\\" + name + "\\environ");
            for (char& c : environment)
                if (c == '\0') c = '\n';
            if (environment.find(environmentPart + "\n") == std::string::npos) continue;
        }
        return std::atol(name.c_str());
    } while (::FindNextFileA(search.get(), &found));
    return 0;
}

// User plus system CPU time of a host process so far, in milliseconds
// (fields 14 and 15 of /proc/<pid>/stat, in clock ticks of 10 ms); -1 when
// it cannot be read.
inline double HostCpuTimeMs(long hostPid) {
    if (hostPid <= 0) return -1;
    const std::string stat = ReadHostFile("Z:\\proc\\" + std::to_string(hostPid) + "\\stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // After the command name: field 3 (state) onwards, separated by blanks.
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
        const std::size_t end = stat.find(' ', at);
        fields.push_back(stat.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    if (fields.size() < 13) return -1;
    return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) * 10.0;
}

// The Wine prefix this benchmark runs in ("WINEPREFIX=..." as the host
// environment spells it), or empty outside Wine.
inline std::string WinePrefixSetting() {
    char value[1024];
    const DWORD n = ::GetEnvironmentVariableA("WINEPREFIX", value, sizeof value);
    return n > 0 && n < sizeof value ? "WINEPREFIX=" + std::string(value, n) : std::string();
}

// User plus kernel CPU time of a process so far, in milliseconds.
inline double CpuTimeMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

struct MemoryFigures {
    double privateUsageKb = -1;   // PROCESS_MEMORY_COUNTERS_EX::PrivateUsage
    double pagefileUsageKb = -1;  // ::PagefileUsage
    double workingSetKb = -1;     // ::WorkingSetSize
    double committedPrivateKb = 0;  // committed MEM_PRIVATE regions (VirtualQueryEx walk)
    double committedImageKb = 0;    // committed MEM_IMAGE regions
    double committedMappedKb = 0;   // committed MEM_MAPPED regions
};

// The memory counters of a process (looked up at run time: the psapi
// entry point lives in kernel32 on newer systems, in psapi.dll on older
// ones) and a walk of its address space.
inline MemoryFigures MemoryOf(HANDLE process) {
    MemoryFigures m;
    using Fn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    static Fn get = [] {
        FARPROC p = ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "K32GetProcessMemoryInfo");
        if (!p) p = ::GetProcAddress(::LoadLibraryW(L"psapi.dll"), "GetProcessMemoryInfo");
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
    }();
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (get && get(process, reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&pmc), sizeof pmc)) {
        m.privateUsageKb = pmc.PrivateUsage / 1024.0;
        m.pagefileUsageKb = pmc.PagefileUsage / 1024.0;
        m.workingSetKb = pmc.WorkingSetSize / 1024.0;
    }
    MEMORY_BASIC_INFORMATION info;
    for (std::uintptr_t address = 0;
         ::VirtualQueryEx(process, reinterpret_cast<void*>(address), &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT) {
            const double kb = info.RegionSize / 1024.0;
            if (info.Type == MEM_PRIVATE) m.committedPrivateKb += kb;
            if (info.Type == MEM_IMAGE) m.committedImageKb += kb;
            if (info.Type == MEM_MAPPED) m.committedMappedKb += kb;
        }
        const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return m;
}

// The process of that executable name (first found), or 0.
inline DWORD FindProcessId(const wchar_t* exeName) {
    platform::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = ::Process32FirstW(snapshot.get(), &entry); ok; ok = ::Process32NextW(snapshot.get(), &entry))
        if (lstrcmpiW(entry.szExeFile, exeName) == 0) return entry.th32ProcessID;
    return 0;
}

}  // namespace bench
