// The simulated converter's core, called directly: replies, state, faults
// and its state file.
#include "tests/support/test_support.h"
#include "tools/devsim/devsim.h"

namespace {

std::string answer(Devsim &sim, const std::string &request_without_crc, double now = 0)
{
    std::vector<uint8_t> frame = With_Crc(Hex(request_without_crc));
    DevsimReply reply = Devsim_Handle(sim, frame.data(), frame.size(), now);
    std::vector<uint8_t> bytes;
    for (const DevsimChunk &c : reply.chunks)
        bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
    return To_Hex(bytes);
}

std::string framed(const std::string &hex_without_crc) { return To_Hex(With_Crc(Hex(hex_without_crc))); }

class DevsimCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        Devsim_Default_State(sim.state);
        sim.state.buffer_live = false;
    }
    Devsim sim;
};

TEST_F(DevsimCore, AnswersTheRegisterMap)
{
    sim.state.buffer[0] = 0xFFFF;
    sim.state.buffer[499] = 0x8000;
    const struct { const char *what, *request, *reply; } cases[] = {
        {"identification word", "01 03 1F 00 00 01", "01 03 02 E8 12"},
        {"mode", "01 03 00 01 00 01", "01 03 02 00 03"},
        {"two settings at once", "01 03 00 03 00 02", "01 03 04 00 03 00 00"},
        {"Tx1 row 1", "01 03 00 05 00 01", "01 03 06 01 03 00 00 00 0A"},
        {"Tx2 row 2", "01 03 00 08 00 02", "01 03 06 06 10 00 20 00 02"},
        {"Tx1 row 40", "01 03 00 05 00 28", "01 03 06 00 00 00 00 00 00"},
        {"row 41 does not exist", "01 03 00 05 00 29", "01 83 03"},
        {"row 0 does not exist", "01 03 00 08 00 00", "01 83 03"},
        {"a range crossing a block", "01 03 00 04 00 02", "01 83 02"},
        {"address 0 is never used", "01 03 00 00 00 01", "01 83 02"},
        {"identification word is read-only", "01 06 1F 00 00 01", "01 86 02"},
        {"mode beyond 3", "01 06 00 01 00 04", "01 86 03"},
        {"row index 40", "01 06 00 05 28 01 02 03 04 05 06", "01 86 03"},
        {"unsupported function", "01 04 00 01 00 01", "01 84 01"},
    };
    for (auto &c : cases)
        EXPECT_EQ(answer(sim, c.request), framed(c.reply)) << c.what;

    std::vector<uint8_t> buffer = Hex(answer(sim, "01 03 00 09 01 F4"));
    ASSERT_EQ(buffer.size(), 1005u);
    EXPECT_EQ(To_Hex(buffer.data(), 5), "01 03 E8 FF FF");
    EXPECT_EQ(To_Hex(buffer.data() + 1001, 2), "80 00");
}

TEST_F(DevsimCore, WritesChangeTheStateAndAreEchoed)
{
    const struct { const char *request; } writes[] = {
        {"01 06 00 01 00 02"},                        // mode 2
        {"01 06 00 0D 12 34"},                        // Tx2 interval
        {"01 06 00 02 00 07"},                        // device ID
        {"01 06 00 08 27 0A 0B 0C 0D 0E 0F"},         // Tx2 row 40 (index 39)
        {"01 06 00 05 00 11 12 13 14 15 16"},         // Tx1 row 1 (index 0)
    };
    for (auto &w : writes) {
        std::vector<uint8_t> frame = With_Crc(Hex(w.request));
        DevsimReply reply = Devsim_Handle(sim, frame.data(), frame.size(), 0);
        ASSERT_EQ(reply.chunks.size(), 1u);
        EXPECT_EQ(reply.chunks[0].bytes, frame) << w.request;
        EXPECT_TRUE(reply.state_changed);
    }
    EXPECT_EQ(sim.state.regs[SIM_REG_MODE], 2);
    EXPECT_EQ(sim.state.regs[SIM_REG_TX2_INTERVAL], 0x1234);
    EXPECT_EQ(sim.state.regs[SIM_REG_DEVICE_ID], 7);
    EXPECT_EQ(To_Hex(sim.state.tx2[39], 6), "0A 0B 0C 0D 0E 0F");
    EXPECT_EQ(To_Hex(sim.state.tx1[0], 6), "11 12 13 14 15 16");
    EXPECT_EQ(answer(sim, "01 03 00 05 00 01"), framed("01 03 06 11 12 13 14 15 16"))
        << "a row written with index 0 reads back as row number 1";
}

TEST_F(DevsimCore, KeepsQuietOnDamagedOrForeignFrames)
{
    std::vector<uint8_t> bad = With_Crc(Hex("01 03 00 01 00 01"));
    bad.back() ^= 1;
    EXPECT_TRUE(Devsim_Handle(sim, bad.data(), bad.size(), 0).chunks.empty());
    EXPECT_EQ(answer(sim, "02 03 00 01 00 01"), "");
    EXPECT_EQ(sim.requests, 0) << "only frames for slave 1 count as requests";
}

TEST_F(DevsimCore, LiveBufferMovesAndGoesNegative)
{
    sim.state.buffer_live = true;
    std::vector<uint8_t> a = Hex(answer(sim, "01 03 00 09 01 F4", 1.0));
    std::vector<uint8_t> b = Hex(answer(sim, "01 03 00 09 01 F4", 1.5));
    EXPECT_NE(a, b);
    int negatives = 0;
    for (size_t i = 3; i + 2 < a.size(); i += 2)
        negatives += a[i] >= 0x80;
    EXPECT_GT(negatives, 100);
    EXPECT_LT(negatives, 400);
}

TEST(DevsimFrames, LengthFromTheFirstBytes)
{
    const struct { const char *start; size_t length; } cases[] = {
        {"01", 0}, {"01 03", 8}, {"01 06 00", 0}, {"01 06 00 02", 8}, {"01 06 00 05", 13},
        {"01 06 00 08", 13}, {"01 10 00 01 00 02", 0}, {"01 10 00 01 00 02 04", 13},
    };
    for (auto &c : cases) {
        std::vector<uint8_t> b = Hex(c.start);
        EXPECT_EQ(Devsim_Frame_Length(b.data(), b.size()), c.length) << c.start;
    }
}

TEST_F(DevsimCore, FaultsShapeTheReply)
{
    const std::string ident = framed("01 03 02 E8 12");
    std::vector<uint8_t> v = Hex(ident);
    std::vector<uint8_t> lo = v, hi = v;
    lo[5] ^= 0x5A;
    hi[6] ^= 0x5A;
    const struct { const char *fault, *reply; } cases[] = {
        {"none", ""},
        {"crc_lo", nullptr},
        {"crc_hi", nullptr},
        {"exception=2", "01 83 02 C0 F1"},
        {"short", "01 03 02 E8 12 76"},
        {"short=3", "01 03 02"},
        {"ident", nullptr},
        {"delay=300", nullptr},
        {"pieces", nullptr},
    };
    for (auto &c : cases) {
        Devsim s;
        Devsim_Default_State(s.state);
        DevsimFault f;
        std::string err;
        ASSERT_TRUE(Devsim_Parse_Fault(c.fault, f, err)) << c.fault << ": " << err;
        s.faults.push_back(f);
        std::string got = answer(s, "01 03 1F 00 00 01");
        std::string want = c.reply ? c.reply : ident;
        if (std::string(c.fault) == "crc_lo") want = To_Hex(lo);
        if (std::string(c.fault) == "crc_hi") want = To_Hex(hi);
        if (std::string(c.fault) == "ident") want = framed("01 03 02 12 12");
        EXPECT_EQ(got, want) << c.fault;
    }
}

TEST_F(DevsimCore, FaultTimingAndEchoes)
{
    DevsimFault f;
    std::string err;
    ASSERT_TRUE(Devsim_Parse_Fault("none@2", f, err));
    sim.faults = {f};
    EXPECT_NE(answer(sim, "01 03 00 01 00 01"), "");
    EXPECT_EQ(answer(sim, "01 03 00 01 00 01"), "") << "the second request only";
    EXPECT_NE(answer(sim, "01 03 00 01 00 01"), "");

    ASSERT_TRUE(Devsim_Parse_Fault("echo@2+", f, err));
    sim.faults = {f};
    sim.requests = 0;
    EXPECT_EQ(answer(sim, "01 06 00 03 00 05"), framed("01 06 00 03 00 05"));
    EXPECT_EQ(answer(sim, "01 06 00 03 00 05"), framed("01 06 00 03 00 06"));
    EXPECT_EQ(answer(sim, "01 06 00 05 00 01 02 03 04 05 06"), framed("01 06 00 05 00 01 02 03 04 05 07"));

    ASSERT_TRUE(Devsim_Parse_Fault("pieces=40", f, err));
    sim.faults = {f};
    std::vector<uint8_t> frame = With_Crc(Hex("01 03 00 05 00 01"));
    DevsimReply r = Devsim_Handle(sim, frame.data(), frame.size(), 0);
    ASSERT_EQ(r.chunks.size(), 4u);   // 11 bytes in pieces of 3
    EXPECT_EQ(r.chunks[0].delay_ms, 0);
    EXPECT_EQ(r.chunks[1].delay_ms, 40);

    ASSERT_TRUE(Devsim_Parse_Fault("noise=100", f, err));
    sim.faults = {f};
    r = Devsim_Handle(sim, frame.data(), frame.size(), 0);
    EXPECT_EQ(r.chunks.size(), 50u);

    for (const char *bad : {"", "fire", "delay=x", "none@0", "none@", "short=-1", "none@2x"})
        EXPECT_FALSE(Devsim_Parse_Fault(bad, f, err)) << bad;
}

TEST_F(DevsimCore, StateFileRoundTripsAndNamesOnlyWhatChanges)
{
    sim.state.regs[SIM_REG_TX1_TIMEOUT] = 65535;
    sim.state.tx2[17][5] = 0xAB;
    sim.state.buffer[123] = 0x8001;
    std::string text = Devsim_State_Text(sim.state);
    EXPECT_NE(text.find("tx2_row_18 = 00 00 00 00 00 AB\n"), std::string::npos);
    EXPECT_NE(text.find("ident = 0xE812\n"), std::string::npos);

    DevsimState back;
    std::string err;
    ASSERT_TRUE(Devsim_Parse_State(text, back, err)) << err;
    EXPECT_EQ(Devsim_State_Text(back), text);
    EXPECT_EQ(back.buffer[123], 0x8001);

    DevsimState partial;
    Devsim_Default_State(partial);
    ASSERT_TRUE(Devsim_Parse_State("# a test's device\nmode = 7\r\nident=0x1234\ntx1_row_2 = ff 10 00 01 00 02\n", partial, err)) << err;
    EXPECT_EQ(partial.regs[SIM_REG_MODE], 7);
    EXPECT_EQ(partial.ident, 0x1234);
    EXPECT_EQ(To_Hex(partial.tx1[1], 6), "FF 10 00 01 00 02");
    EXPECT_EQ(partial.regs[SIM_REG_TX1_BAUD], 3) << "what the file does not name stays";

    for (const char *bad : {"mode = 65536", "colour = red", "tx1_row_41 = 00 00 00 00 00 00", "tx1_row_1 = 00 00",
                            "tx1_row_1 = 00 00 00 00 00 100", "buffer_495 = 1 2 3 4 5 6", "mode", "ident = -1",
                            "tx1_row_01 = 00 00 00 00 00 00", "mode = 010x"}) {
        DevsimState s = partial;
        EXPECT_FALSE(Devsim_Parse_State(bad, s, err)) << bad;
        EXPECT_EQ(s.regs[SIM_REG_MODE], 7) << "a refused file changes nothing";
    }
}

}  // namespace
