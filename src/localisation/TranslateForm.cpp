#include "localisation/TranslateForm.h"

#include <string>

#include "localisation/Language.h"
#include "localisation/TranslateFormRules.h"
#include "widgets/ExtraCtrls.h"
#include "widgets/Form.h"

namespace localisation {

int TranslateLookupCount = 0;

namespace {

class FormTranslator {
public:
    FormTranslator(const TLanguage& language, const std::wstring& formKey)
        : language_(language), formKey_(formKey) {}

    std::wstring Lookup(const std::wstring& key, const std::wstring& current) const {
        ++TranslateLookupCount;
        return language_.Translate(formKey_, key, current);
    }

    void TranslateCaption(widgets::TComponent& component) const {
        component.SetCaption(Lookup(CaptionKey(component.Name()), component.Caption()));
    }

    // The list view's own caption is not looked up; its columns are.
    void TranslateColumns(widgets::TComponent& component) const {
        auto* listView = dynamic_cast<widgets::TTntListView*>(&component);
        if (!listView) return;  // a foreign class under the list view's name has no columns
        const int count = listView->ColumnCount();
        for (int j = 0; j < count; ++j) {
            listView->SetColumnCaption(
                j, Lookup(ColumnCaptionKey(listView->Name(), j), listView->ColumnCaption(j)));
        }
    }

    // A speed button's caption is code-page text: the default is its
    // widening, and the translation is narrowed back to the code page.
    void TranslateNarrowCaption(widgets::TComponent& component) const {
        auto* button = dynamic_cast<widgets::TSpeedButton*>(&component);
        if (!button) return;
        const std::wstring text = Lookup(CaptionKey(button->Name()), widgets::AnsiToWide(button->NarrowCaption()));
        button->SetNarrowCaption(widgets::WideToAnsi(text));
    }

    void Translate(widgets::TComponent& component) const {
        switch (TranslatedPartOf(component.ClassName())) {
            case TranslatedPart::Caption: TranslateCaption(component); break;
            case TranslatedPart::ColumnCaptions: TranslateColumns(component); break;
            case TranslatedPart::NarrowCaption: TranslateNarrowCaption(component); break;
            case TranslatedPart::None: break;
        }
    }

private:
    const TLanguage& language_;
    const std::wstring& formKey_;
};

}  // namespace

void TranslateForm(const TLanguage& language, widgets::TTntForm& form) {
    const TLanguage::Batch oneLook(language);  // the whole window from one state of the file
    const FormTranslator translator(language, form.Name());
    form.SetCaption(translator.Lookup(kFormCaptionKey, form.Caption()));
    for (int i = 0; i < form.ComponentCount(); ++i) translator.Translate(*form.Components(i));
}

}  // namespace localisation
