// The end-to-end test program. Also its own helper: started with --spin it only keeps a
// core busy (BusyCore); with --busy-core every test runs with one core kept busy.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string_view>

#include "Harness.h"

namespace {

class BusyCoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override { busy_ = std::make_unique<e2e::BusyCore>(); }
    void TearDown() override { busy_.reset(); }

private:
    std::unique_ptr<e2e::BusyCore> busy_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == e2e::kSpinSwitch)
        return e2e::SpinUntilParentEnds(std::strtoul(argv[2], nullptr, 10));
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--busy-core") ::testing::AddGlobalTestEnvironment(new BusyCoreEnvironment);
    return RUN_ALL_TESTS();
}
