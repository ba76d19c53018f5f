#include <gtest/gtest.h>

#include <set>

#include "capture/CaptureFormats.h"
#include "capture/SaveFolder.h"
#include "capture/TimeName.h"

namespace kadrix {
namespace {

TEST(TimeName, WritesEveryFieldWithoutLeadingZeros) {
    const struct {
        LocalTime time;
        const wchar_t* name;
    } cases[] = {
        {{2016, 12, 9, 14, 5, 7, 42}, L"9122016_145742"},
        {{2017, 1, 1, 0, 0, 0, 0}, L"112017_0000"},
        {{2026, 11, 30, 23, 59, 59, 999}, L"30112026_235959999"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTimeName(c.time), c.name);
}

TEST(TimeName, ElevenJanuaryAndFirstNovemberShareTheirDateDigits) {
    EXPECT_EQ(FormatTimeName({2017, 1, 11, 8, 0, 0, 0}), FormatTimeName({2017, 11, 1, 8, 0, 0, 0}));
}

TEST(CaptureFormats, IndexesChooseExtensionAndQuality) {
    const struct {
        std::int32_t index;
        const wchar_t* extension;  // null: nothing is written
        int quality;
    } cases[] = {{0, L".bmp", 0}, {1, L".png", 0}, {2, L".jpg", 20}, {3, L".jpg", 60},
                 {4, L".jpg", 100}, {5, nullptr, 0}, {-1, nullptr, 0}};
    for (const auto& c : cases) {
        const auto format = CaptureFormatOf(c.index);
        ASSERT_EQ(format.has_value(), c.extension != nullptr) << c.index;
        if (!format) continue;
        EXPECT_STREQ(format->extension, c.extension) << c.index;
        if (format->kind == FileKind::Jpeg) {
            EXPECT_EQ(format->jpeg_quality, c.quality) << c.index;
        }
    }
}

TEST(CaptureFormats, TakenNamesGetANumberBeforeTheExtension) {
    EXPECT_EQ(NumberedName(L"C:\\Shots\\112017_0000", 1), L"C:\\Shots\\112017_0000");
    EXPECT_EQ(NumberedName(L"C:\\Shots\\112017_0000", 2), L"C:\\Shots\\112017_0000_2");
    EXPECT_EQ(NumberedName(L"x", 10), L"x_10");
}

// A file system of folders in memory, recording what gets created.
struct FakeFolders final : FolderOps {
    std::set<std::wstring> existing;
    std::set<std::wstring> refused;
    std::vector<std::wstring> created;

    bool Exists(const std::wstring& folder) override { return existing.count(folder) > 0; }
    bool Create(const std::wstring& folder) override {
        if (refused.count(folder)) return false;
        existing.insert(folder);
        created.push_back(folder);
        return true;
    }
};

TEST(SaveFolder, CreatesMissingLevelsOutermostFirst) {
    FakeFolders folders;
    folders.existing = {L"C:\\Shots"};
    EXPECT_TRUE(EnsureFolder(L"C:\\Shots\\2017\\January\\", folders));
    EXPECT_EQ(folders.created, (std::vector<std::wstring>{L"C:\\Shots\\2017", L"C:\\Shots\\2017\\January"}));
}

TEST(SaveFolder, SucceedsWithoutCreatingWhatIsPresent) {
    const wchar_t* present[] = {
        L"C:\\Shots\\",  // an existing folder
        L"C:\\",         // a drive root: shorter than three characters once the backslash goes
        L"\\",           // empty save path: the root of the current drive
        L"D:\\",         // even a missing drive's root counts as present
    };
    for (const wchar_t* folder : present) {
        FakeFolders folders;
        folders.existing = {L"C:\\Shots"};
        EXPECT_TRUE(EnsureFolder(folder, folders)) << folder;
        EXPECT_TRUE(folders.created.empty()) << folder;
    }
}

TEST(SaveFolder, Fails) {
    FakeFolders folders;
    folders.refused = {L"Q:\\Shots"};
    EXPECT_FALSE(EnsureFolder(L"", folders));                        // no folder at all
    EXPECT_FALSE(EnsureFolder(L"Q:\\Shots\\Today\\", folders));       // a level that cannot be made
    EXPECT_FALSE(EnsureFolder(L"relative\\missing\\", folders));     // reaches a relative first component
    EXPECT_TRUE(folders.created.empty());
}

}  // namespace
}  // namespace kadrix
