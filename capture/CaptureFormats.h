#pragma once
// What each format index writes: its extension and, for JPEG, the quality.
#include <cstdint>
#include <optional>
#include <string>

namespace kadrix {

enum class FileKind { Bmp, Png, Jpeg };

struct CaptureFormat {
    FileKind kind;
    const wchar_t* extension;
    int jpeg_quality;  // JPEG only
};

// Indexes outside 0..4 write nothing.
inline std::optional<CaptureFormat> CaptureFormatOf(std::int32_t index) {
    switch (index) {
    case 0: return CaptureFormat{FileKind::Bmp, L".bmp", 0};
    case 1: return CaptureFormat{FileKind::Png, L".png", 0};
    case 2: return CaptureFormat{FileKind::Jpeg, L".jpg", 20};
    case 3: return CaptureFormat{FileKind::Jpeg, L".jpg", 60};
    case 4: return CaptureFormat{FileKind::Jpeg, L".jpg", 100};
    default: return std::nullopt;
    }
}

// Time names repeat, so a taken name gets "_2", "_3", ... before the extension.
inline std::wstring NumberedName(const std::wstring& base, int number) {
    return number <= 1 ? base : base + L"_" + std::to_wstring(number);
}

}  // namespace kadrix
