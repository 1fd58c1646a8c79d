#include "widgets/Window.h"

#include <commctrl.h>

#include <set>

#include "widgets/Errors.h"
#include "platform/Trace.h"

namespace widgets {
namespace {

HWND CreateOrThrow(const WindowArgs& args, void* param) {
    HWND wnd = ::CreateWindowExW(args.exStyle, args.className, args.text, args.style, args.left, args.top,
                                 args.width, args.height, args.parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                 ::GetModuleHandleW(nullptr), param);
    if (!wnd) {
        throw platform::Exception(platform::WithSystemReason(L"Failed to create the window '" + args.what + L"'", ::GetLastError()));
    }
    return wnd;
}

}  // namespace

void RegisterWindowClass(const WindowClassArgs& args) {
    static std::set<std::wstring> registered;
    if (registered.count(args.name)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TWindowBase::StaticWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    if (args.iconId) {
        // Icons loaded from resources with LoadIcon are shared: never destroyed.
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(args.iconId));
        wc.hIconSm = static_cast<HICON>(::LoadImageW(wc.hInstance, MAKEINTRESOURCEW(args.iconId), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    if (::RegisterClassExW(&wc)) registered.insert(args.name);
}

HWND CreateChildWindow(const WindowArgs& args) { return CreateOrThrow(args, nullptr); }

TWindowBase::~TWindowBase() { DestroyHandle(); }

void TWindowBase::DestroyHandle() {
    if (hwnd_) ::DestroyWindow(hwnd_);  // WM_NCDESTROY detaches
}

HWND TWindowBase::Create(const WindowArgs& args) { return CreateOrThrow(args, this); }

LRESULT TWindowBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

LRESULT TWindowBase::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindowBase::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindowBase* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TWindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = wnd;
            ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<TWindowBase*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // Handlers run through Dispatch, which reports; what escapes anyway
        // must not cross into the system. Silent to the user, not to support.
        platform::Trace(L"a window procedure stopped on an exception (message " + std::to_wstring(msg) + L")");
        return 0;
    }
}

namespace {
LRESULT CALLBACK ControlSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR owner) {
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(wnd, &ControlSubclassProc, id);
    auto proc = reinterpret_cast<SubclassProc>(id);
    return proc(reinterpret_cast<void*>(owner), wnd, msg, wParam, lParam);
}
}  // namespace

void SubclassControl(HWND control, SubclassProc proc, void* owner) {
    // The subclass id is the procedure: one control may carry several.
    (void)::SetWindowSubclass(control, &ControlSubclassProc, reinterpret_cast<UINT_PTR>(proc),
                              reinterpret_cast<DWORD_PTR>(owner));
}

WNDPROC ReplaceWindowProcA(HWND wnd, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

std::wstring WindowText(HWND wnd) {
    if (!wnd) return {};
    const int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(wnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace widgets
