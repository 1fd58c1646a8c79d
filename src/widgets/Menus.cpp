#include "widgets/Menus.h"

#include "widgets/Errors.h"
#include "platform/Handle.h"

namespace widgets {

void TTntMenuItem::Click() {
    if (OnClick) Dispatch(OnClick);
}

void TTntPopupMenu::Popup(HWND owner, int x, int y) {
    platform::UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const UINT flags = MF_STRING | (items_[i]->Enabled() ? 0 : MF_GRAYED);
        ::AppendMenuW(menu.get(), flags, i + 1, items_[i]->Caption().c_str());
    }
    // The owner must be in front, or the menu would not close when the user
    // clicks elsewhere; the posted WM_NULL lets the menu loop end cleanly.
    ::SetForegroundWindow(owner);
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON;
    const int chosen = ::TrackPopupMenuEx(menu.get(), flags, x, y, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    menu.reset();
    if (chosen > 0 && static_cast<std::size_t>(chosen) <= items_.size()) items_[chosen - 1]->Click();
}

}  // namespace widgets
