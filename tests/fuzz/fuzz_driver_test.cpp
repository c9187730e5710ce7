// Seeded random runs of the fuzz targets under the sanitizers, so every
// test run feeds them some hundred thousand hostile inputs.
#include "tests/support/test_support.h"

#include <cstdint>
#include <random>
#include <vector>

int Fuzz_Reply_Judges(const uint8_t *data, size_t size);
int Fuzz_Text_Inputs(const uint8_t *data, size_t size);
int Fuzz_Exchanges(const uint8_t *data, size_t size);

namespace {

void random_inputs(int (*target)(const uint8_t *, size_t), int runs, size_t long_size, const char *alphabet)
{
    std::mt19937 rng(20261211);
    std::string letters = alphabet ? alphabet : "";
    std::vector<uint8_t> input;
    for (int run = 0; run < runs; ++run) {
        size_t size = rng() % 4 == 0 ? rng() % long_size : rng() % 40;
        input.resize(size);
        for (uint8_t &b : input)
            b = letters.empty() || rng() % 8 == 0 ? (uint8_t)rng() : (uint8_t)letters[rng() % letters.size()];
        target(input.data(), input.size());
    }
}

}  // namespace

TEST(Fuzz, ReplyJudgesTakeAnyReply)
{
    random_inputs(Fuzz_Reply_Judges, 200000, 1100, nullptr);
}

TEST(Fuzz, TextReadersTakeAnyText)
{
    // Mostly the characters these texts are made of, so the readers get deep.
    random_inputs(Fuzz_Text_Inputs, 100000, 2000, "0123456789ABCDEFabcdef \t\r\n(COM)Modbus=#_xrowtbufferident");
}

class FuzzExchanges : public ScratchDir {};   // the exchanges write their diagnostic files here

TEST_F(FuzzExchanges, AnyReplyOnAPortFromMemory)
{
    random_inputs(Fuzz_Exchanges, 20000, 1100, nullptr);
}
