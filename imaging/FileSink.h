#pragma once
// Encoder output into a file, created or truncated. Whatever is not committed is
// removed again, so a failed or interrupted encoding never leaves a partial file.
#include <string>
#include <vector>

#include "app/Win32Handles.h"
#include "imaging/ByteSink.h"

namespace kadrix {

class FileSink final : public ByteSink {
public:
    explicit FileSink(std::wstring path);  // throws kadrix::Error naming the file and the reason
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
    unique_file file_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace kadrix
