#include "imaging/FileSink.h"

#include <algorithm>

#include "app/Win32Error.h"

namespace kadrix {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr DWORD kLargestWrite = 1u << 30;

std::vector<std::uint8_t> Reserved(std::size_t bytes) {
    std::vector<std::uint8_t> buffer;
    buffer.reserve(bytes);
    return buffer;
}

}  // namespace

FileSink::FileSink(std::wstring path, FileCreation creation)
    : path_(std::move(path)),
      buffer_(Reserved(kBufferBytes)),
      file_(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr,
                        creation == FileCreation::OnlyNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_) throw Win32Error((L"Cannot create \"" + path_ + L"\"").c_str(), GetLastError());
}

FileSink::~FileSink() {
    if (!file_) return;
    file_.reset();
    DeleteFileW(path_.c_str());
}

void FileSink::write(std::span<const std::uint8_t> bytes) {
    if (buffer_.size() + bytes.size() > kBufferBytes) flush();
    // Large blocks skip the buffer: a whole JPEG stream goes out in one write.
    if (bytes.size() >= kBufferBytes) return writeThrough(bytes);
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void FileSink::commit() {
    flush();
    if (!CloseHandle(file_.release())) fail(L"Cannot close");
}

void FileSink::flush() {
    writeThrough(buffer_);
    buffer_.clear();
}

void FileSink::writeThrough(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kLargestWrite));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes.data(), wanted, &written, nullptr) || written != wanted)
            fail(L"Cannot write");
        bytes = bytes.subspan(written);
    }
}

void FileSink::fail(const wchar_t* operation) {
    const DWORD code = GetLastError();
    file_.reset();
    DeleteFileW(path_.c_str());
    throw Win32Error((std::wstring(operation) + L" \"" + path_ + L"\"").c_str(), code);
}

}  // namespace kadrix
