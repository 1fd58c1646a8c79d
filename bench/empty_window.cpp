// The baseline of the start-up and resident benchmarks: an empty Win32
// window program. It registers a class, creates one top-level window, shows
// it (unless started with "/m", which leaves it hidden, as Brimvale's tray
// start does), and runs a message loop until the window is closed (WM_CLOSE
// destroys it and ends the loop). It owns no timer and draws nothing but the
// class background.
#include <windows.h>
#include <commctrl.h>

namespace {

LRESULT CALLBACK EmptyWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

// Whether one of the parameters is `wanted` ("/m" or "/dlls"). Read by
// hand: the usual parser lives in shell32, which this program would
// otherwise not load at all.
bool HasParameter(const wchar_t* wanted) {
    const wchar_t* p = ::GetCommandLineW();
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    for (;;) {
        while (*p == L' ' || *p == L'\t') ++p;
        if (!*p) return false;
        const wchar_t* w = wanted;
        while (*w && *p == *w) ++p, ++w;
        if (!*w && (!*p || *p == L' ' || *p == L'\t')) return true;
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
}

// "/dlls": first load what Brimvale loads beyond this program's own imports
// (the common controls, which bring the theming library, and the shell),
// and register the common control classes, as Brimvale's start does; so the
// start-up benchmark can tell the system's share from the program's own.
void LoadBrimvaleLibraries() {
    HMODULE controls = ::LoadLibraryW(L"comctl32.dll");
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(controls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    if (init) init(&icc);
    ::LoadLibraryW(L"shell32.dll");
}

}  // namespace

int main() {
    if (HasParameter(L"/dlls")) LoadBrimvaleLibraries();
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &EmptyWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"BrimvaleBenchEmptyWindow";
    if (!::RegisterClassW(&wc)) return 1;
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 490, 380, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    if (!HasParameter(L"/m")) {
        ::ShowWindow(wnd, SW_SHOW);
        ::UpdateWindow(wnd);
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
