#include "app/Main.h"

namespace kadrix {

void TMainForm::BtnAboutClick() {}

}  // namespace kadrix
