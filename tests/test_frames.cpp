// Request frames and CRC-16 checked against hex golden frames.
#include "modbus/modbus_api.h"
#include "platform/orn_status.h"
#include "tests/support/test_support.h"

#include <cstring>

namespace {

struct StandardCase {
    const char *what;
    int slave, function, address, count;
    const char *frame;
};

TEST(Frames, StandardRequestsMatchGoldenFrames)
{
    const StandardCase cases[] = {
        {"read identification word", 1, 3, 0x1F00, 1, "01 03 1F 00 00 01 83 DE"},
        {"read data buffer", 1, 3, 9, 500, "01 03 00 09 01 F4 95 DF"},
        {"write register 2", 1, 6, 2, 5, "01 06 00 02 00 05 E8 09"},
        {"row read of Tx1 row 1", 1, 3, 5, 1, "01 03 00 05 00 01 94 0B"},
        {"address and value above 16 bits are cut", 0x101, 6, 0x10002, 0x10005, "01 06 00 02 00 05 E8 09"},
    };
    for (const StandardCase &c : cases) {
        unsigned char frame[ORN_FRAME_MAX];
        std::memset(frame, 0xAA, sizeof frame);
        Set_Array(frame, c.slave, (unsigned char)c.function, c.address, c.count);
        EXPECT_EQ(To_Hex(frame, 8), c.frame) << c.what;
        EXPECT_EQ(frame[8], 0xAA) << c.what << ": only 8 bytes are touched";
    }
}

TEST(Frames, RowWriteIsThirteenBytesWithZeroBasedRowIndex)
{
    unsigned char frame[ORN_FRAME_MAX];
    std::memset(frame, 0xAA, sizeof frame);
    const int row[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Set_W_Array(frame, 1, 6, 5, 3, row, 0), 13);
    EXPECT_EQ(To_Hex(frame, 13), "01 06 00 05 00 01 02 03 04 05 06 98 FE");

    // Row 40 (index 39): the builder clears n + 6 bytes, past the frame.
    std::memset(frame, 0xAA, sizeof frame);
    EXPECT_EQ(Set_W_Array(frame, 1, 6, 8, 3, row, 39), 13);
    EXPECT_EQ(To_Hex(With_Crc(Hex("01 06 00 08 27 01 02 03 04 05 06"))), To_Hex(frame, 13));
    for (int i = 13; i < 45; ++i)
        ASSERT_EQ(frame[i], 0) << i;
    EXPECT_EQ(frame[45], 0xAA);
}

TEST(Frames, BlockLayoutsOneAndTwo)
{
    unsigned char frame[ORN_FRAME_MAX];
    const int values[3] = {0x1234, 0xABCD, 0x0102};
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0x20, 1, values, 3), 12);
    EXPECT_EQ(To_Hex(frame, 12), To_Hex(With_Crc(Hex("01 10 00 20 12 34 AB CD 01 02"))));
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0x20, 2, values, 3), 9);
    EXPECT_EQ(To_Hex(frame, 9), To_Hex(With_Crc(Hex("01 10 00 20 34 CD 02"))));
    // n = 0 keeps the first data bytes at zero: 8 and 7 byte frames.
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0x20, 1, values, 0), 8);
    EXPECT_EQ(To_Hex(frame, 8), To_Hex(With_Crc(Hex("01 10 00 20 00 00"))));
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0x20, 2, values, 0), 7);
    EXPECT_EQ(To_Hex(frame, 7), To_Hex(With_Crc(Hex("01 10 00 20 00"))));
}

TEST(Frames, BlockBuilderRefusesFramesThatDoNotFit)
{
    unsigned char frame[ORN_FRAME_MAX + 16];
    std::memset(frame, 0xAA, sizeof frame);
    int values[127] = {};
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0, 1, values, 61), 128);
    std::memset(frame, 0xAA, sizeof frame);
    const struct { signed char layout, n; } refused[] = {{1, 62}, {2, 123}, {1, -1}, {3, -5}, {0, 1}, {4, 1}};
    for (auto r : refused) {
        EXPECT_EQ(Set_W_Array(frame, 1, 16, 0, r.layout, values, r.n), ORN_BAD_ARGUMENT)
            << "layout " << (int)r.layout << " n " << (int)r.n;
        EXPECT_EQ(frame[0], 0xAA) << "a refused frame is left untouched";
    }
    EXPECT_EQ(Set_W_Array(frame, 1, 16, 0, 2, values, 122), 128);
    EXPECT_EQ(frame[ORN_FRAME_MAX], 0xAA);
}

TEST(Crc, KnownVectorsAndHelpers)
{
    const unsigned char digits[] = "123456789";
    EXPECT_EQ(Cal_CRC_16(digits, 9), 0x4B37);
    EXPECT_EQ(Cal_CRC_16(digits, 0), 0xFFFF);
    EXPECT_EQ(Cal_CRC_8(0xFFFF, 0x01), 0x807E);
    EXPECT_EQ(change_to_TX_ver(0x1234), 0x3412);
    EXPECT_EQ(change_to_TX_ver(0xAB1234), 0x3412);
}

TEST(Crc, VerifyTellsWhichByteIsWrong)
{
    const struct { const char *reply; int result; } cases[] = {
        {"01 83 02 C0 F1", 1},
        {"01 83 02 C0 F0", -2},          // last byte alone wrong
        {"01 83 02 C1 F1", -1},          // next-to-last wrong
        {"01 83 02 C1 00", -1},          // both wrong: the low byte is judged first
        {"01 03 1F 00 00 01 83 DE", 1},
        {"01", -1},                      // too short to hold a CRC
    };
    for (auto &c : cases) {
        std::vector<uint8_t> r = Hex(c.reply);
        EXPECT_EQ(Verify_CRC_16(r.data(), (unsigned)r.size()), c.result) << c.reply;
    }
    EXPECT_EQ(Verify_CRC_16(nullptr, 0), -1);
}

}  // namespace
