// Form translation: replaces the captions of a form and of the components it
// owns with the texts of the current language, each keeping its caption of
// the moment when the language file has no text for it.
#pragma once

namespace widgets {
class TTntForm;
}

namespace localisation {

class TLanguage;

// Looks up, in the section of the form's component name: "Caption" for the
// form's caption, then, for each owned component in creation order whose
// exact class name is one the translation knows, name + ".Caption" for its
// caption, or for a list view name + ".Columns[j].Caption" for each column j.
// Other components are left alone. Runs every time a form becomes visible.
void TranslateForm(const TLanguage& language, widgets::TTntForm& form);

// Lookups TranslateForm has made since the process started, one per
// Translate call; a test takes the difference around a run.
extern int TranslateLookupCount;

}  // namespace localisation
