#pragma once
// Encoder output into a file, created or truncated, or made only under a name not taken
// yet. Whatever is not committed is removed again, so a failed or interrupted encoding
// never leaves a partial file.
#include <string>
#include <vector>

#include "app/Win32Handles.h"
#include "imaging/ByteSink.h"

namespace kadrix {

enum class FileCreation {
    Replace,  // an existing file is truncated
    OnlyNew,  // an existing file is left as it is: Win32Error with ERROR_FILE_EXISTS
};

class FileSink final : public ByteSink {
public:
    // Throws kadrix::Error (a Win32Error) naming the file and the reason.
    explicit FileSink(std::wstring path, FileCreation creation = FileCreation::Replace);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(std::span<const std::uint8_t> bytes) override;
    // Writes what is buffered and closes the file; throws (and removes the file) on failure.
    void commit();

private:
    void flush();
    void writeThrough(std::span<const std::uint8_t> bytes);
    void fail(const wchar_t* operation);

    std::wstring path_;
    std::vector<std::uint8_t> buffer_;  // made before the file, which then never stays behind
    unique_file file_;
};

}  // namespace kadrix
