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

TTntListView::TTntListView(TTntForm& form, std::wstring name, const Bounds& bounds,
                           const std::wstring& caption, std::string className)
    : TControl(form, std::move(name), std::move(className)) {
    CreateHandle(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds, caption);
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

// ---- TTntGroupBox ----

TTntGroupBox::TTntGroupBox(TTntForm& form, std::wstring name, const Bounds& bounds,
                           const std::wstring& caption, std::string className)
    : TControl(form, std::move(name), std::move(className)) {
    CreateHandle(L"BUTTON", BS_GROUPBOX | WS_VISIBLE, 0, bounds, caption);
}

// ---- TTntRadioButton ----

TTntRadioButton::TTntRadioButton(TTntForm& form, std::wstring name, const Bounds& bounds,
                                 const std::wstring& caption, std::string className)
    : TControl(form, std::move(name), std::move(className)) {
    CreateHandle(L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_VISIBLE, 0, bounds, caption);
}

bool TTntRadioButton::Checked() const {
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TTntRadioButton::SetChecked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TTntRadioButton::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) Dispatch(OnClick);
}

// ---- TTntToolButton ----

TTntToolButton::TTntToolButton(TTntForm& form, std::wstring name, const Bounds& bounds,
                               const std::wstring& caption, std::string className)
    : TControl(form, std::move(name), std::move(className)) {
    CreateHandle(L"BUTTON", BS_PUSHBUTTON | WS_VISIBLE, 0, bounds, caption);
}

void TTntToolButton::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) Dispatch(OnClick);
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TTntForm& form, std::wstring name, const Bounds& bounds,
                           const std::string& caption, std::string className)
    : TControl(form, std::move(name), std::move(className)), caption_(caption) {
    CreateHandle(L"BUTTON", BS_PUSHBUTTON | WS_VISIBLE, 0, bounds, AnsiToWide(caption));
}

void TSpeedButton::SetNarrowCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (Handle()) ::SetWindowTextW(Handle(), AnsiToWide(caption_).c_str());
}

void TSpeedButton::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) Dispatch(OnClick);
}

}  // namespace widgets
