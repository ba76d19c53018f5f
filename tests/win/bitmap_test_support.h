#pragma once
// Files and folders for the Windows-side imaging tests, each test in a fresh folder.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kadrix::test {

class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::filesystem::path(temp) / ("kadrix_imaging_" + std::to_string(GetCurrentProcessId()) + "_" +
                                               std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::wstring file(const wchar_t* name) const { return (path_ / name).wstring(); }

private:
    static int& counter() {
        static int next = 0;
        return next;
    }
    std::filesystem::path path_;
};

inline std::vector<std::uint8_t> readFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

inline bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

}  // namespace kadrix::test
