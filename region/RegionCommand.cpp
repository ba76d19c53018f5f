#include "app/Main.h"

namespace kadrix {

void TMainForm::P_ItemScreenUserWindowRectClickClick() {}

}  // namespace kadrix
