// One owner for every operating-system handle: a move-only RAII template
// parameterised by a traits type that names the handle type, its invalid
// value and its close function. Each instantiation counts its live handles so
// that leak tests can check that a day of ticks leaves the counts unchanged
// (GetGuiResources is a stub under Wine).
#pragma once
#include <windows.h>
#include <utility>
#include "platform/ScopeExit.h"

namespace platform {

template <class Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer handle) noexcept : h_(handle) {
        if (valid()) ++liveCount();
    }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {
        if (valid()) ++liveCount();
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    pointer get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    pointer release() noexcept {
        pointer h = h_;
        if (valid()) --liveCount();
        h_ = Traits::invalid();
        return h;
    }
    // Closes the current handle (if any) and takes `handle`.
    void reset(pointer handle = Traits::invalid()) noexcept {
        if (handle == h_) return;
        if (valid()) {
            --liveCount();
            Traits::close(h_);
        }
        h_ = handle;
        if (valid()) ++liveCount();
    }

    // Handles of this kind currently owned anywhere in the process.
    static int& liveCount() noexcept {
        static int count = 0;
        return count;
    }

private:
    pointer h_ = Traits::invalid();
};

// Traits of a handle kind: a T that is null when there is none (or
// INVALID_HANDLE_VALUE, for the kinds whose functions answer that), closed
// by Close.
template <class T, auto Close, bool NoneIsInvalidHandleValue = false>
struct HandleTraits {
    using type = T;
    static T invalid() noexcept {
        if constexpr (NoneIsInvalidHandleValue) return INVALID_HANDLE_VALUE;
        else return nullptr;
    }
    static void close(T handle) noexcept { (void)Close(handle); }
};

using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, &::CloseHandle>>;
// Snapshot and file handles use INVALID_HANDLE_VALUE for "none".
using UniqueFileHandle = UniqueHandle<HandleTraits<HANDLE, &::CloseHandle, true>>;
using UniqueFindHandle = UniqueHandle<HandleTraits<HANDLE, &::FindClose, true>>;
using UniqueIcon = UniqueHandle<HandleTraits<HICON, &::DestroyIcon>>;
using UniqueBitmap = UniqueHandle<HandleTraits<HBITMAP, &::DeleteObject>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, &::DeleteObject>>;
using UniquePen = UniqueHandle<HandleTraits<HPEN, &::DeleteObject>>;
using UniqueBrush = UniqueHandle<HandleTraits<HBRUSH, &::DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<HandleTraits<HDC, &::DeleteDC>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, &::DestroyMenu>>;
using UniqueKey = UniqueHandle<HandleTraits<HKEY, &::RegCloseKey>>;

// Live GDI objects (bitmaps, fonts, pens, brushes, memory DCs) owned anywhere.
inline int LiveGdiObjects() noexcept {
    return UniqueBitmap::liveCount() + UniqueFont::liveCount() + UniquePen::liveCount() +
           UniqueBrush::liveCount() + UniqueMemoryDc::liveCount();
}

// Selects obj into dc until the scope ends, then puts the previous object back.
[[nodiscard]] inline auto SelectInScope(HDC dc, HGDIOBJ obj) noexcept {
    return OnScopeExit([dc, old = ::SelectObject(dc, obj)] {
        if (old) ::SelectObject(dc, old);
    });
}

}  // namespace platform
