// The main window's output stage: the plain one over its capture, options and writer
// slots, with the system's own services.
#include "app/Main.h"
#include "capture/DesktopOutput.h"
#include "capture/OutputStage.h"

namespace kadrix {

std::wstring TMainForm::GetCurrentTimeName() { return FormatTimeName(DesktopOutput(handle()).Now()); }

void TMainForm::SaveCurrentScreen() {
    DesktopOutput services(handle());
    OutputCapture(*BMPScreen, *this, services, {SaveFileName, PNGImg, JpegIm});
}

}  // namespace kadrix
