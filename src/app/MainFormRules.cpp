#include "app/MainFormRules.h"

namespace app {

ScreenPoint GoMenuPoint(int formLeft, int formTop, int buttonLeft, int buttonTop, int buttonHeight) {
    return {formLeft + buttonLeft + 3, formTop + buttonTop + 2 * buttonHeight + 5};
}

bool StartsInTray(const std::vector<std::wstring>& params) {
    return params.size() == 1 && params[0] == L"/m";
}

}  // namespace app
