// Further controls a form may hold: a report-style list view with columns,
// group boxes, radio buttons, tool buttons and speed buttons. All are real
// child windows whose window text is their caption; each passes its own
// class name up, so form translation can tell them apart.
#pragma once
#include <string>
#include "widgets/Control.h"

namespace widgets {

// Conversions between wide text and the system's narrow code page (CP_ACP).
// Narrowing replaces what the code page cannot hold with its default
// character; it is used only where a caption really is narrow.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

// A list view in report mode: a header of columns above the rows.
class TTntListView : public TControl {
public:
    TTntListView(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
                 std::string className = "TTntListView");
    // Appends a column with a header caption and a width in pixels; returns
    // its index.
    int AddColumn(const std::wstring& caption, int width);
    int ColumnCount() const;
    // The header caption of column index (0-based); empty when out of range.
    std::wstring ColumnCaption(int index) const;
    void SetColumnCaption(int index, const std::wstring& caption);
};

// A frame with a caption that groups other controls.
class TTntGroupBox : public TControl {
public:
    TTntGroupBox(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
                 std::string className = "TTntGroupBox");
};

class TTntRadioButton : public TControl {
public:
    TTntRadioButton(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
                    std::string className = "TTntRadioButton");
    bool Checked() const;
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A button of a tool bar; here a push-button window of its own.
class TTntToolButton : public TControl {
public:
    TTntToolButton(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
                   std::string className = "TTntToolButton");
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A push button whose caption is narrow, code-page text. The narrow caption
// is kept as given and shown widened; the wide caption view is that
// widening, and a wide caption set on it is narrowed first.
class TSpeedButton : public TControl {
public:
    TSpeedButton(TTntForm& form, std::wstring name, const Bounds& bounds, const std::string& caption,
                 std::string className = "TSpeedButton");
    const std::string& NarrowCaption() const noexcept { return caption_; }
    void SetNarrowCaption(const std::string& caption);

    std::wstring Caption() const override { return AnsiToWide(caption_); }
    void SetCaption(const std::wstring& caption) override { SetNarrowCaption(WideToAnsi(caption)); }

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;

private:
    std::string caption_;
};

}  // namespace widgets
