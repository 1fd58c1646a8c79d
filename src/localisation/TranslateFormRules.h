// What form translation does with each component: which class names get a
// lookup, of what, and under which key of the form's section.
#pragma once
#include <string>

namespace localisation {

// The key of the form's own caption.
inline const std::wstring kFormCaptionKey = L"Caption";

enum class TranslatedPart {
    None,            // left alone
    Caption,         // the component's wide caption
    ColumnCaptions,  // each column's header caption (list views), not the caption
    NarrowCaption,   // the component's narrow, code-page caption (speed buttons)
};

// What is translated on a component of the given class. Only the exact,
// case-sensitive class names of the widget layer count: a class derived from
// one of them that passes its own name is left alone.
TranslatedPart TranslatedPartOf(const std::string& className);

// name + ".Caption": the key of a component's caption.
std::wstring CaptionKey(const std::wstring& componentName);

// name + ".Columns[" + column in decimal + "].Caption": the key of a list
// view column's header caption.
std::wstring ColumnCaptionKey(const std::wstring& componentName, int column);

}  // namespace localisation
