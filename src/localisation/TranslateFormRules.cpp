#include "localisation/TranslateFormRules.h"

namespace localisation {
namespace {

struct ClassRule {
    const char* className;
    TranslatedPart part;
};

// In the order they are compared; the first equal name decides.
const ClassRule kClassRules[] = {
    {"TTntLabel", TranslatedPart::Caption},
    {"TTntButton", TranslatedPart::Caption},
    {"TTntListView", TranslatedPart::ColumnCaptions},
    {"TTntGroupBox", TranslatedPart::Caption},
    {"TTntCheckBox", TranslatedPart::Caption},
    {"TTntRadioButton", TranslatedPart::Caption},
    {"TTntMenuItem", TranslatedPart::Caption},
    {"TTntToolButton", TranslatedPart::Caption},
    {"TSpeedButton", TranslatedPart::NarrowCaption},
};

}  // namespace

TranslatedPart TranslatedPartOf(const std::string& className) {
    for (const ClassRule& rule : kClassRules)
        if (className == rule.className) return rule.part;
    return TranslatedPart::None;
}

std::wstring CaptionKey(const std::wstring& componentName) { return componentName + L".Caption"; }

std::wstring ColumnCaptionKey(const std::wstring& componentName, int column) {
    return componentName + L".Columns[" + std::to_wstring(column) + L"].Caption";
}

}  // namespace localisation
