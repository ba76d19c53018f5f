#pragma once
// The five options that steer every capture. The main window holds them as its own
// public fields (it derives from this record); they start zero-filled.
#include <cstdint>
#include <string>

namespace kadrix {

struct OptionsRecord {
    std::int32_t OPT_IMG_format = 0;  // 0 BMP, 1 PNG, 2..4 JPEG at three qualities; not range-checked
    bool OPT_NeedSave = false;        // true: a file in OPT_SavePath; false: the clipboard
    std::wstring OPT_SavePath;
    bool OPT_NeedCursor = false;
    bool OPT_PlaySound = false;
};

}  // namespace kadrix
