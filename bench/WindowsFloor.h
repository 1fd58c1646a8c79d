// The floor of Brimvale's start-up: the windows and controls it must make,
// made with plain calls and nothing else. The same top-level windows (the
// hidden application window, the main window, the hidden tray window, the
// hidden settings dialog owned by the main window) and child controls, of
// the same classes, styles, sizes and fonts as the running program has them
// (the labels at the sizes they take for their texts, the controls at the
// bottom where the shorter run-time window puts them). No language object,
// settings file, tray icon, tick, picture, timer or translation. Used by
// windows_floor.cpp (the program) and startup_parts_bench.cpp.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace bench {

// Called after each of the floor's steps when set (startup_parts_bench times them).
inline void (*FloorMark)(const char*) = nullptr;
inline HWND& FloorMainWindow() {
    static HWND wnd = nullptr;
    return wnd;
}

// Every window of the floor's own classes: the default behaviour, and the
// end of the message loop when the main window goes (WM_CLOSE destroys it).
inline LRESULT CALLBACK FloorWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && wnd == FloorMainWindow()) ::PostQuitMessage(0);
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

inline void FloorClass(const wchar_t* name, bool dialogLike) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FloorWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    if (dialogLike) {  // the forms: face colour and the program's icon
        wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

inline HFONT FloorFont(const wchar_t* face, int height, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

struct FloorControl {
    const wchar_t* className;
    DWORD style;  // beyond WS_CHILD | WS_CLIPSIBLINGS
    int id, left, top, width, height;
    const wchar_t* text;
    int font;  // index into the fonts of the window
};

// A top-level window of the given class, style and client size, with its controls.
inline HWND FloorForm(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int clientWidth,
                      int clientHeight, HWND owner, const FloorControl* controls, int count, const HFONT* fonts) {
    RECT r{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    HWND form = ::CreateWindowExW(exStyle, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                                  r.bottom - r.top, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < count; ++i) {
        const FloorControl& c = controls[i];
        HWND parent = form;
        if (c.id < 0) parent = ::GetDlgItem(form, -c.id);  // a child of another control
        HWND wnd = ::CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_CLIPSIBLINGS | c.style, c.left, c.top,
                                     c.width, c.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 100)),
                                     ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[c.font]), FALSE);
    }
    return form;
}

// Makes every window; returns the main window (not shown yet).
inline HWND CreateFloorWindows() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    FloorClass(L"TApplication", false);
    FloorClass(L"TMainForm", true);
    FloorClass(L"TOptionForm", true);
    FloorClass(L"TTntImageWindow", false);
    FloorClass(L"TTextTrayIconWindow", false);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::CreateWindowExW(WS_EX_TOOLWINDOW, L"TApplication", L"Brimvale ", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                      nullptr, nullptr, instance, nullptr);
    if (FloorMark) FloorMark("app window");

    // Fonts: the forms' own, Arial, the Go button's, the released figure's.
    static const HFONT fonts[] = {FloorFont(L"MS Sans Serif", -11, false), FloorFont(L"Arial", -11, false),
                                  FloorFont(L"Arial", -12, true), FloorFont(L"MS Sans Serif", -11, true)};
    constexpr DWORD kLabel = SS_NOPREFIX | SS_LEFTNOWORDWRAP, kFigure = SS_NOPREFIX | SS_RIGHT;
    constexpr DWORD kShown = WS_VISIBLE, kButton = BS_PUSHBUTTON | WS_TABSTOP;
    static const FloorControl main[] = {
        {L"STATIC", kFigure | kShown, 0, 437, 176, 28, 12, L"100%", 0},
        {L"STATIC", kFigure | kShown, 0, 376, 200, 91, 12, L"22950 of 24105MB", 0},
        {L"STATIC", kLabel | kShown, 0, 16, 200, 97, 13, L"Free Physical:", 0},
        {L"STATIC", kFigure | kShown, 0, 376, 224, 91, 12, L"22950 of 24105MB", 0},
        {L"STATIC", kLabel | kShown, 0, 16, 224, 97, 13, L"Free PageFile:", 0},
        {L"STATIC", kFigure | kShown, 0, 388, 248, 79, 12, L"4072 of 4095MB", 0},
        {L"STATIC", kLabel | kShown, 0, 16, 248, 97, 13, L"Free Virtual:", 0},
        {L"STATIC", kLabel | kShown, 0, 16, 176, 97, 13, L"CPU Usage:", 0},
        {L"STATIC", kLabel, 0, 16, 272, 97, 13, L"Clean Progress:", 0},
        {L"STATIC", kLabel, 0, 24, 304, 3, 13, L"", 0},
        {L"STATIC", kLabel, 0, 27, 304, 6, 12, L"0", 3},
        {L"STATIC", kLabel, 0, 40, 304, 425, 13, L"MB memory has been released.", 0},
        {L"STATIC", SS_NOPREFIX | SS_LEFT | kShown, 0, 16, 8, 449, 57,
         L"Palvo Brimvale monitors your system in the background and frees up memory whenever needed to increase "
         L"the performance of your computer. Brimvale makes sure that this automatic optimization in the background "
         L"does not interfere with your work by only optimizing your system when your processor usage is low.",
         1},
        {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP | kShown, 0, 16, 274, 105, 25, L"Go!", 2},
        {L"BUTTON", kButton | kShown, 0, 200, 274, 105, 25, L"Settings", 0},
        {L"BUTTON", kButton | kShown, 0, 360, 274, 107, 25, L"Minimize", 0},
        {L"TTntImageWindow", kShown, 0, 16, 72, 449, 89, L"", 0},
        {PROGRESS_CLASSW, kShown, 0, 128, 176, 249, 17, L"", 0},
        {PROGRESS_CLASSW, kShown, 0, 128, 200, 249, 17, L"", 0},
        {PROGRESS_CLASSW, kShown, 0, 128, 224, 249, 17, L"", 0},
        {PROGRESS_CLASSW, kShown, 0, 128, 248, 249, 17, L"", 0},
        {PROGRESS_CLASSW, 0, 0, 128, 272, 337, 17, L"", 0},
        {STATUSCLASSNAMEW, CCS_BOTTOM | kShown, 0, 0, 321, 482, 22, L"", 0},  // control 122
        {L"STATIC", kLabel | kShown, -122, 25, 5, 200, 13, L"Smart free off", 0},
        {L"STATIC", kLabel | kShown, -122, 269, 5, 200, 13, L"Auto free off", 0},
        {L"TTntImageWindow", 0, 0, 0, 0, 17, 17, L"", 0},
        {L"TTntImageWindow", 0, 0, 0, 0, 17, 17, L"", 0},
        {L"TTntImageWindow", 0, 0, 0, 0, 32, 32, L"", 0},
    };
    HWND mainForm = FloorMainWindow() = FloorForm(L"TMainForm", L"Brimvale", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_MINIMIZEBOX,
                              WS_EX_APPWINDOW, 482, 343, nullptr, main, sizeof main / sizeof main[0], fonts);
    if (FloorMark) FloorMark("main form");
    ::CreateWindowExW(WS_EX_TOOLWINDOW, L"TTextTrayIconWindow", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                      instance, nullptr);
    if (FloorMark) FloorMark("tray window");
    constexpr DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE;
    static const FloorControl dialog[] = {
        {L"BUTTON", kBox, 0, 16, 8, 265, 17, L"Run at Windows Startup", 1},
        {L"BUTTON", kBox, 0, 16, 32, 265, 17, L"Automatically free ram while system is idle", 1},
        {L"BUTTON", kBox, 0, 16, 56, 297, 17, L"Do not auto free during high CPU and disk usage", 1},
        {L"BUTTON", kBox, 0, 16, 80, 265, 17, L"Use Brimvale compression technology", 1},
        {L"BUTTON", kButton | WS_VISIBLE, 0, 112, 112, 75, 25, L"OK", 0},
        {L"BUTTON", kButton | WS_VISIBLE, 0, 200, 112, 75, 25, L"Cancel", 0},
    };
    FloorForm(L"TOptionForm", L"Brimvale Settings", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME,
              286, 155, mainForm, dialog, sizeof dialog / sizeof dialog[0], fonts);
    return mainForm;
}

}  // namespace bench
