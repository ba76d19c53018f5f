// Claiming capture file names on Wine's real file system.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "app/Error.h"
#include "capture/FileNames.h"

namespace kadrix {
namespace {

TEST(FileNames, TakenNamesGetTheNextNumberAndAreNeverOverwritten) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / L"kadrix-file-names";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::wstring base = (folder / L"912201_14572").wstring();
    std::ofstream(std::filesystem::path(base + L".png")) << "earlier capture";

    EXPECT_EQ(ClaimFreeFileName(base, L".png"), base + L"_2");
    EXPECT_EQ(ClaimFreeFileName(base, L".png"), base + L"_3") << "a claimed name counts as taken";
    EXPECT_EQ(ClaimFreeFileName(base, L".jpg"), base) << "another extension is another name";
    EXPECT_EQ(std::filesystem::file_size(base + L".png"), 15u);
    std::filesystem::remove_all(folder);
}

TEST(FileNames, AFolderThatRefusesFilesRaises) {
    EXPECT_THROW(ClaimFreeFileName(L"Q:\\missing\\name", L".bmp"), Error);
}

}  // namespace
}  // namespace kadrix
