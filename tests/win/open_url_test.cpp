// The web link opener's decision and the About links' call, with the shell call
// replaced by a recording one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "about/AboutLinks.h"
#include "app/OtherFunc.h"

namespace kadrix {
namespace {

struct ShellCall {
    std::wstring file;
    bool has_parameters;
    std::wstring parameters;
    bool operator==(const ShellCall&) const = default;
};

// Answers each call with the next of the given results and records what it was asked.
class RecordingShell {
public:
    explicit RecordingShell(std::vector<std::uintptr_t> results) : results_(std::move(results)) {}
    ShellOpen Function() {
        return [this](const wchar_t* file, const wchar_t* parameters) {
            calls.push_back({file, parameters != nullptr, parameters ? parameters : L""});
            return results_.at(calls.size() - 1);
        };
    }
    std::vector<ShellCall> calls;

private:
    std::vector<std::uintptr_t> results_;
};

TEST(OpenURL, FallsBackToIexploreOnlyWhenTheShellFails) {
    const std::wstring address = L"https://tavik.example/support.php";
    const ShellCall shell_call{address, false, L""};
    const ShellCall iexplore_call{L"iexplore", true, address};
    const struct {
        std::uintptr_t first, second;
        std::vector<ShellCall> calls;
        std::uintptr_t returned;
    } cases[] = {
        {2, 42, {shell_call, iexplore_call}, 42},   // file not found
        {31, 42, {shell_call, iexplore_call}, 42},  // no association: the last failure code
        {31, 2, {shell_call, iexplore_call}, 2},    // both fail: the second result, silently
        {32, 42, {shell_call}, 32},                 // exactly 32 is success
        {33, 42, {shell_call}, 33},
    };
    for (const auto& c : cases) {
        RecordingShell shell({c.first, c.second});
        EXPECT_EQ(OpenURL(address, shell.Function()), c.returned) << "first result " << c.first;
        EXPECT_EQ(shell.calls, c.calls) << "first result " << c.first;
    }
}

TEST(OpenURL, HandsTheAddressOverUnchanged) {
    for (const std::wstring address : {L" https://tavik.example/a b ", L"\"https://tavik.example/\"", L""}) {
        RecordingShell shell({2, 2});
        OpenURL(address, shell.Function());
        ASSERT_EQ(shell.calls.size(), 2u);
        EXPECT_EQ(shell.calls[0].file, address);
        EXPECT_FALSE(shell.calls[0].has_parameters);
        EXPECT_EQ(shell.calls[1].parameters, address);
    }
}

TEST(AboutLinks, QuoteTheAddressAndNeverTryAgain) {
    const std::wstring address = L"https://kadrix.tavik.example/";
    for (const std::uintptr_t result : {std::uintptr_t{2}, std::uintptr_t{31}, std::uintptr_t{33}}) {
        RecordingShell shell({result, 42});
        EXPECT_EQ(OpenQuotedAddress(address, shell.Function()), result);
        EXPECT_EQ(shell.calls, (std::vector<ShellCall>{{L"\"https://kadrix.tavik.example/\"", false, L""}}))
            << "result " << result;
    }
}

}  // namespace
}  // namespace kadrix
