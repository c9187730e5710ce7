// A seeded random run of the fuzz target under the sanitizers, so every
// test run feeds the reply judges some thousands of hostile replies.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

TEST(FuzzReplyJudges, SeededRandomRepliesCauseNoSanitizerReport)
{
    std::mt19937 rng(20261211);
    std::vector<uint8_t> input;
    for (int run = 0; run < 200000; ++run) {
        size_t size = rng() % 4 == 0 ? rng() % 1100 : rng() % 40;
        input.resize(size);
        for (uint8_t &b : input)
            b = (uint8_t)rng();
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    SUCCEED();
}
