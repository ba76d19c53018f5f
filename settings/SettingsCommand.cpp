#include "app/Main.h"

namespace kadrix {

void TMainForm::BtnSettingsClick() {}

}  // namespace kadrix
