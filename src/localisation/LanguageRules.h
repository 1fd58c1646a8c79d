// Naming rules of the language files: which section a form key reads, and
// which language names may be turned into a file name.
#pragma once
#include <string>

namespace localisation {

// "M" (exactly, case-sensitive) selects "M_Brimvale", the texts that belong
// to no form's controls; any other key k selects "Brimvale_" + k.
std::wstring LanguageSection(const std::wstring& formKey);

// Whether a language name from the shared settings file can be used as the
// base name of a file inside the language folder. Refused: names holding a
// path separator ('\\' or '/'), a drive or stream colon, or a control
// character, and reserved device names (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM1-9, LPT1-9, with the superscript digits too), in any letter case, also
// when followed by trailing blanks or by an extension ("CON.txt", "nul .x").
// Such a name would make the lookup open or create something outside the
// folder. Also refused: the empty name and names made only of dots, which
// name no language but a stray file (".lng", "..lng").
bool IsSafeLanguageName(const std::wstring& name);

}  // namespace localisation
