#include <gtest/gtest.h>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "imaging/FileSink.h"

namespace kadrix {
namespace {

const std::vector<std::uint8_t> kBytes = {1, 2, 3, 4, 5};

TEST(FileSink, CommittedBytesReplaceAnExistingFileCompletely) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"out.bin");
    test::writeFile(path, std::string(100'000, 'x'));
    FileSink sink(path);
    sink.write(kBytes);
    std::vector<std::uint8_t> large(200'000, 7);  // past the buffer: written through
    sink.write(large);
    sink.write(kBytes);
    sink.commit();
    auto expected = kBytes;
    expected.insert(expected.end(), large.begin(), large.end());
    expected.insert(expected.end(), kBytes.begin(), kBytes.end());
    EXPECT_EQ(test::readFile(path), expected);
}

TEST(FileSink, AnUncommittedFileIsRemoved) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"partial.bin");
    {
        FileSink sink(path);
        sink.write(std::vector<std::uint8_t>(300'000, 1));
        EXPECT_TRUE(test::exists(path));
    }  // an encoder that threw leaves the sink like this
    EXPECT_FALSE(test::exists(path));
}

TEST(FileSink, AFileThatCannotBeCreatedNamesItselfInTheError) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"missing\\out.bin");
    try {
        FileSink sink(path);
        FAIL() << "created a file in a missing folder";
    } catch (const Error& error) {
        EXPECT_NE(error.text().find(path), std::wstring::npos);
    }
    EXPECT_FALSE(test::exists(path));
}

}  // namespace
}  // namespace kadrix
