// TWindowBase: the one way a C++ object is attached to a window the program
// creates itself (forms, images, the tray's window, the application window).
// Its class is registered once through RegisterWindowClass; one static window
// procedure attaches the object at WM_NCCREATE (pointer in GWLP_USERDATA),
// forwards every message to the virtual HandleMessage and detaches at
// WM_NCDESTROY. System controls whose messages the program needs are
// subclassed with SubclassControl (SetWindowSubclass).
#pragma once
#include <windows.h>

#include <string>

namespace widgets {

// The program's own icon: the first icon of the resource script.
constexpr int kProgramIconId = 1;

struct WindowClassArgs {
    const wchar_t* name = nullptr;
    int iconId = 0;                  // class icon resource (0: none)
    HBRUSH background = nullptr;     // null: the window paints its background
};

// What a window is created with. `what` names it in the error raised when
// the system refuses to create it.
struct WindowArgs {
    std::wstring what{};
    const wchar_t* className = nullptr;
    const wchar_t* text = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
    int left = 0, top = 0, width = 0, height = 0;
    HWND parent = nullptr;
    int id = 0;                      // child windows: the control id
};

// Registers a window class on the window base's procedure, once per name.
void RegisterWindowClass(const WindowClassArgs& args);

// Creates a window with no object attached (system controls). Throws
// platform::Exception naming args.what when the system refuses.
HWND CreateChildWindow(const WindowArgs& args);

class TWindowBase {
public:
    TWindowBase() = default;
    virtual ~TWindowBase();
    TWindowBase(const TWindowBase&) = delete;
    TWindowBase& operator=(const TWindowBase&) = delete;

    HWND Handle() const noexcept { return hwnd_; }

    // Creates the window with this object attached (its class must have been
    // registered with RegisterWindowClass) and returns it. Throws
    // platform::Exception naming args.what when the system refuses.
    HWND Create(const WindowArgs& args);

protected:
    // Every message of the window after WM_NCCREATE and before WM_NCDESTROY.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void DestroyHandle();

private:
    friend void RegisterWindowClass(const WindowClassArgs& args);
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Subclasses a system control: proc sees its messages first and passes the
// rest on with DefSubclassProc. The subclass is removed at WM_NCDESTROY.
using SubclassProc = LRESULT (*)(void* owner, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
void SubclassControl(HWND control, SubclassProc proc, void* owner);

// Replaces a window's procedure with the pointer-sized narrow call
// (SetWindowLongA in a 32-bit build); returns the previous procedure. For a
// window of another module's making whose messages arrive as narrow text.
WNDPROC ReplaceWindowProcA(HWND wnd, WNDPROC proc);

// A window's text; empty for a null window.
std::wstring WindowText(HWND wnd);

}  // namespace widgets
