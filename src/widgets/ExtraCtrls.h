// The two controls whose translated part is not their wide caption: a
// report-style list view (its columns' captions) and a speed button (a
// narrow, code-page caption). Both are real child windows whose window text
// is their caption. Other kinds form translation tells apart by class name
// alone (group boxes, radio and tool buttons) are captioned controls created
// with that class name.
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
    TTntListView(TTntForm& form, const CreateArgs& args);
    // Appends a column with a header caption and a width in pixels; returns
    // its index.
    int AddColumn(const std::wstring& caption, int width);
    int ColumnCount() const;
    // The header caption of column index (0-based); empty when out of range.
    std::wstring ColumnCaption(int index) const;
    void SetColumnCaption(int index, const std::wstring& caption);
};

// A push button whose caption is narrow, code-page text. The narrow caption
// is kept as given and shown widened; the wide caption view is that
// widening, and a wide caption set on it is narrowed first.
class TSpeedButton : public TControl {
public:
    // The caption of args is narrowed to the code page.
    TSpeedButton(TTntForm& form, const CreateArgs& args);
    const std::string& NarrowCaption() const noexcept { return caption_; }
    void SetNarrowCaption(const std::string& caption);

    std::wstring Caption() const override { return AnsiToWide(caption_); }
    void SetCaption(const std::wstring& caption) override { SetNarrowCaption(WideToAnsi(caption)); }

private:
    std::string caption_;
};

}  // namespace widgets
