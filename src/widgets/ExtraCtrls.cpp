#include "widgets/ExtraCtrls.h"

#include <commctrl.h>

#include <vector>

#include "widgets/Errors.h"
#include "widgets/Form.h"

namespace widgets {

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int copied = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return wide;
}

std::string WideToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    const int copied =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
    narrow.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return narrow;
}

// ---- TTntListView ----

TTntListView::TTntListView(TTntForm& form, const CreateArgs& args) : TControl(form, args, "TTntListView") {
    CreateHandle(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, args, WS_EX_CLIENTEDGE);
}

int TTntListView::AddColumn(const std::wstring& caption, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    const int index = ColumnCount();
    column.iSubItem = index;
    return static_cast<int>(::SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(&column)));
}

int TTntListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
    if (!header) return 0;
    const LRESULT count = ::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

std::wstring TTntListView::ColumnCaption(int index) const {
    if (index < 0 || index >= ColumnCount()) return {};
    // The control copies at most the buffer's size and does not say how long
    // the text is: grow the buffer until the text fits with room to spare.
    for (std::size_t size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer.data();
        column.cchTextMax = static_cast<int>(size);
        if (!::SendMessageW(Handle(), LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&column))) {
            return {};
        }
        // The control may answer with its own string instead of the buffer.
        const wchar_t* text = column.pszText ? column.pszText : buffer.data();
        const std::wstring caption(text, ::wcsnlen(text, size));
        if (caption.size() + 1 < size || size >= 65536) return caption;
    }
}

void TTntListView::SetColumnCaption(int index, const std::wstring& caption) {
    if (index < 0 || index >= ColumnCount()) return;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    (void)::SendMessageW(Handle(), LVM_SETCOLUMNW, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&column));
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TTntForm& form, const CreateArgs& args)
    : TControl(form, args, "TSpeedButton"), caption_(WideToAnsi(args.caption)) {
    CreateArgs widened = args;
    widened.caption = AnsiToWide(caption_);
    CreateHandle(L"BUTTON", BS_PUSHBUTTON, widened);
}

void TSpeedButton::SetNarrowCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (Handle()) ::SetWindowTextW(Handle(), AnsiToWide(caption_).c_str());
}

}  // namespace widgets
