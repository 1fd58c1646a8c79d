// Popup menus. Menu items are components of the form (so they are
// translated with it); a popup menu lists them in order and builds the
// system menu each time it pops up.
#pragma once
#include <windows.h>
#include <vector>
#include "widgets/Component.h"
#include "widgets/Control.h"

namespace widgets {

class TTntMenuItem : public TComponent {
public:
    TTntMenuItem(std::wstring name, std::wstring caption, std::string className = "TTntMenuItem")
        : TComponent(std::move(name), std::move(className)), caption_(std::move(caption)) {}
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& caption) override { caption_ = caption; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }
    TNotifyEvent OnClick;
    void Click();

private:
    std::wstring caption_;
    bool enabled_ = true;
};

class TTntPopupMenu : public TComponent {
public:
    explicit TTntPopupMenu(std::wstring name, std::string className = "TTntPopupMenu")
        : TComponent(std::move(name), std::move(className)) {}
    void Add(TTntMenuItem* item) { items_.push_back(item); }
    const std::vector<TTntMenuItem*>& Items() const noexcept { return items_; }
    // Shows the menu at a screen point for the owner window, waits for the
    // choice and runs the chosen item's click handler after the menu closed.
    void Popup(HWND owner, int x, int y);

private:
    std::vector<TTntMenuItem*> items_;
};

}  // namespace widgets
