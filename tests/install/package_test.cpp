// What the build hands out: one version everywhere, and a portable copy that runs from
// wherever it is unpacked.
#include <gtest/gtest.h>

#include "Harness.h"
#include "Installation.h"
#include "app/TavikConsts.h"

namespace install {
namespace {

TEST(Packages, CarryTheProgramVersionInTheirResourcesAndNames) {
    const std::wstring version = kadrix::ProgramVersion;
    const struct {
        const char* what;
        std::filesystem::path file;
    } executables[] = {
        {"program", e2e::WinePath(KADRIX_EXE_PATH)},
        {"installer", SetupFile()},
    };
    for (const auto& executable : executables) {
        SCOPED_TRACE(executable.what);
        EXPECT_EQ(FixedVersion(executable.file), version);
        EXPECT_EQ(VersionString(executable.file, L"ProductVersion"), version);
        EXPECT_EQ(VersionString(executable.file, L"FileVersion"), version);
        EXPECT_EQ(VersionString(executable.file, L"CompanyName"), kadrix::CompanyName);
        EXPECT_EQ(VersionString(executable.file, L"ProductName"), kadrix::ProgramName);
    }
    EXPECT_EQ(std::filesystem::path(SetupFile()).filename(), L"Kadrix-" + version + L"-setup.exe");
    EXPECT_EQ(std::filesystem::path(e2e::WinePath(KADRIX_PORTABLE_ZIP_PATH)).filename(),
              L"Kadrix-" + version + L"-portable.zip");
}

TEST(Portable, RunsFromAFolderWithSpacesAndCyrillicLetters) {
    std::vector<std::wstring> names;
    for (const auto& file : e2e::FilesIn(PortableFolder())) names.push_back(file.filename().wstring());
    ASSERT_EQ(names, (std::vector<std::wstring>{L"README.txt", L"kadrix.exe", L"sound.wav"}));
    const std::filesystem::path folder = e2e::FreshFolder(L"Мои программы\\Кадрикс переносной");
    for (const auto& file : e2e::FilesIn(PortableFolder())) std::filesystem::copy(file, folder);
    const std::filesystem::path captures = e2e::FreshFolder(L"portable-captures");
    e2e::ResetStoredOptions({.img_format = 1, .need_save = 1, .save_path = captures.wstring(), .need_cursor = 0,
                             .play_sound = 1});

    // The sound is left out: Wine's PlaySoundW goes through the ANSI code page and finds
    // no file under a Cyrillic name (Windows does); the installed program's test has it.
    e2e::Program program = e2e::Program::Start((folder / L"kadrix.exe").wstring());
    e2e::PressHotkey(0);
    const auto files = e2e::WaitForFiles(captures, 1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.front().extension(), L".png");
}

}  // namespace
}  // namespace install
