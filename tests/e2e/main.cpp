// The end-to-end test program. Also its own helper: started with --pattern it only shows
// a picture in a window of its own (PatternInOtherProcess).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

#include "Harness.h"

int main(int argc, char** argv) {
    if (argc == 8 && std::string_view(argv[1]) == e2e::kPatternSwitch) {
        const auto number = [&](int i) { return std::strtol(argv[i], nullptr, 10); };
        return e2e::ShowPatternUntilParentEnds(static_cast<DWORD>(number(2)),
                                               {number(3), number(4), number(5), number(6)},
                                               e2e::Duration(number(7)));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
