// Judging replies on bytes alone: results, values and the exact
// diagnostic text of every outcome.
#include "modbus/modbus_api.h"
#include "modbus/reply_judge.h"
#include "platform/orn_status.h"
#include "tests/support/test_support.h"

#include <cstring>

namespace {

constexpr int kUntouched = -7777;

// A reply as a test names it: hex bytes, optionally given a CRC, and the
// count ComRd reported (-1000: the reply's own length).
struct Reply {
    std::vector<uint8_t> bytes;
    int r;
};
Reply crc(const char *hex) { auto b = With_Crc(Hex(hex)); return {b, (int)b.size()}; }
Reply raw(const char *hex) { auto b = Hex(hex); return {b, (int)b.size()}; }
Reply got(int r) { return {std::vector<uint8_t>(2000, 0), r}; }

struct RwCase {
    const char *what;
    int function, address, count;
    Reply reply;
    int result;
    std::string diag;
    std::vector<int> values;   // expected values[0..]; kUntouched where not written
};

TEST(JudgeRw, EveryOutcome)
{
    std::vector<uint8_t> write_echo = Hex("01 06 00 02 00 05 E8 09");
    std::vector<uint8_t> last_wrong = write_echo;
    last_wrong[7] ^= 1;
    Reply other_echo = crc("01 06 00 02 00 06");
    const RwCase cases[] = {
        {"read ok", 3, 0x1F00, 1, crc("01 03 02 E8 12"), 1, "", {0xE812, kUntouched}},
        {"reply of another slave is accepted", 3, 1, 1, crc("07 03 02 00 03"), 1, "", {3}},
        {"exception with error bit", 3, 0x1F00, 1, raw("01 83 02 C0 F1"), -1,
         "Error Number: 83\nCommand error : error Addr\n", {kUntouched}},
        {"exception without error bit", 3, 1, 1, raw("01 03 03 00 00"), -1, "Command error : error Data\n", {kUntouched}},
        {"exception of unknown code", 3, 1, 1, raw("01 83 09 00 00"), -1, "Error Number: 83\n", {kUntouched}},
        {"no reply", 3, 1, 1, got(0), -2, "Read 0 Time-Out\n", {kUntouched}},
        {"wrong CRC", 3, 0x1F00, 1, {Hex("01 03 02 E8 12 00 00"), 7}, -3,
         "Verify CRC error vc=-1\n1\n3\n2\ne8\n12\n0\n0\n", {kUntouched}},
        {"byte count 0", 3, 1, 1, crc("01 03 00 00 00"), -10, "", {kUntouched}},
        {"byte count 1", 3, 1, 1, crc("01 03 01 00 00"), -10, "", {kUntouched}},
        {"byte count above the request", 3, 1, 1, crc("01 03 04 00 01"), ORN_BYTE_COUNT_HIGH,
         "Byte count error bc=4\n", {kUntouched}},
        {"odd byte count leaves the last byte", 3, 1, 2, crc("01 03 03 12 34 56 78"), 1, "", {0x1234, kUntouched}},
        {"one word at the buffer address reads a 16-bit count", 3, 9, 1, crc("01 03 02 00 05"),
         ORN_BYTE_COUNT_HIGH, "Byte count error bc=770\n", {kUntouched}},
        {"short reply", 3, 1, 1, {Hex("01 03 02"), 3}, ORN_SHORT_REPLY, "ComRd error CRstat=3\n", {kUntouched}},
        {"read failed", 3, 1, 1, got(COM_ERR_GONE), COM_ERR_GONE, "ComRd error CRstat=-26\n", {kUntouched}},
        {"write echoed", 6, 2, 5, {write_echo, 8}, 1, "", {kUntouched}},
        {"write echo with last byte wrong", 6, 2, 5, {last_wrong, 8}, -3,
         "Verify CRC error vc=-2\n1\n6\n0\n2\n0\n5\ne8\n8\n", {kUntouched}},
        {"write answered by another valid frame", 6, 2, 5, other_echo, -4,
         "Verify W CRC error:\n Tx: e8\t 09\n  \nRx: a8\t 08\n ",
         {kUntouched}},
        {"write echo with changed data and the request's CRC", 6, 2, 5, raw("01 06 00 02 00 06 E8 09"), -3,
         "Verify CRC error vc=-1\n1\n6\n0\n2\n0\n6\ne8\n9\n", {kUntouched}},
        {"write exception", 6, 1, 9, raw("01 86 03 00 00"), -1, "Error Number: 86\nCommand error : error Data\n", {kUntouched}},
    };
    for (const RwCase &c : cases) {
        unsigned char request[8];
        Set_Array(request, 1, (unsigned char)c.function, c.address, c.count);
        int expected = c.function == 6 ? 8 : 2 * c.count + 5;
        std::vector<uint8_t> reply = c.reply.bytes;
        reply.resize(std::max<size_t>(reply.size(), (size_t)expected));
        int values[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
        std::string diag;
        EXPECT_EQ(Judge_RW_Reply(request, expected, reply.data(), c.reply.r, values, diag), c.result) << c.what;
        EXPECT_EQ(diag, c.diag) << c.what;
        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(values[i], c.values[i]) << c.what << " value " << i;
    }
}

TEST(JudgeRw, DataBufferReplyCarriesSixteenBitByteCount)
{
    unsigned char request[8];
    Set_Array(request, 1, 3, 9, 500);
    std::vector<uint8_t> body{1, 0x03, 0xE8};
    for (int i = 0; i < 500; ++i) {
        body.push_back((uint8_t)((i * 131) >> 8));
        body.push_back((uint8_t)(i * 131));
    }
    std::vector<uint8_t> reply = With_Crc(body);
    ASSERT_EQ(reply.size(), 1005u);
    std::vector<int> values(500, kUntouched);
    std::string diag;
    EXPECT_EQ(Judge_RW_Reply(request, 1005, reply.data(), 1005, values.data(), diag), 1);
    EXPECT_EQ(diag, "");
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(values[i], (i * 131) & 0xFFFF) << i;
}

TEST(JudgeReadArray, RowReads)
{
    // The request buffer holds a row read followed by what an earlier
    // frame left in bytes 8-10.
    unsigned char request[ORN_FRAME_MAX] = {};
    std::memset(request, 0, sizeof request);
    request[8] = 0x21; request[9] = 0x22; request[10] = 0x23;
    Set_Array(request, 1, 3, 5, 1);
    Reply wrong_crc = {Hex("01 03 06 0A 0B 0C 0D 0E 0F 00 00"), 11};
    const struct {
        const char *what;
        Reply reply;
        int result;
        std::string diag, data_buf;
        bool filled;
    } cases[] = {
        {"row read", crc("01 03 06 0A 0B 0C 0D 0E 0F"), 1, "", "11\n", true},
        {"byte count is ignored", crc("01 03 02 0A 0B 0C 0D 0E 0F"), 1, "", "11\n", true},
        {"exception", raw("01 83 02 C0 F1"), -1, "Error Number: 83\nCommand error : error Addr\n", "5\n", false},
        {"5 bytes without error bit", raw("01 03 02 C0 F1"), -1, "", "5\n", false},
        {"wrong CRC", wrong_crc, -1,
         "Verify R_OC CRC error:\nTx\t Rx\n 01\t 01\n 03\t 03\n 00\t 06\n 05\t 0a\n 00\t 0b\n 01\t 0c\n"
         " 94\t 0d\n 0b\t 0e\n 21\t 0f\n 22\t 00\n 23\t 00\n",
         "11\n", false},
        {"no reply", got(0), 0, "Read 0 Time-Out\n", "0\n", false},
        {"short reply", {Hex("01 03 06 0A 0B 0C 0D"), 7}, ORN_SHORT_REPLY, "", "7\n7\n", false},
        {"read failed", got(COM_ERR_GONE), COM_ERR_GONE, "ComRd error CRstat=-26\n", "-26\n", false},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> reply = c.reply.bytes;
        reply.resize(std::max<size_t>(reply.size(), 11));
        int values[6] = {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched, kUntouched};
        std::string diag, data_buf;
        EXPECT_EQ(Judge_Read_Array_Reply(request, 11, 3, reply.data(), c.reply.r, values, diag, data_buf), c.result)
            << c.what;
        EXPECT_EQ(diag, c.diag) << c.what;
        EXPECT_EQ(data_buf, c.data_buf) << c.what;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(values[i], c.filled ? 10 + i : kUntouched) << c.what << " value " << i;
    }
}

TEST(JudgeReadArray, WordAndByteLayoutsNeverPassTheReply)
{
    unsigned char request[ORN_FRAME_MAX] = {};
    Set_Array(request, 1, 3, 0x20, 2);
    const struct {
        const char *what;
        signed char layout;
        const char *body;
        int result;
        std::vector<int> values;
    } cases[] = {
        {"words", 1, "01 03 04 12 34 AB CD", 1, {0x1234, 0xABCD, kUntouched}},
        {"word count below 2", 1, "01 03 01 12 34 AB CD", 0, {kUntouched}},
        {"word count above the reply", 1, "01 03 06 12 34 AB CD", ORN_BYTE_COUNT_HIGH, {kUntouched}},
        {"bytes", 2, "01 03 03 12 34 AB CD", 1, {0x12, 0x34, 0xAB, kUntouched}},
        {"byte count above the reply", 2, "01 03 05 12 34 AB CD", ORN_BYTE_COUNT_HIGH, {kUntouched}},
        {"row too short for six bytes", 3, "01 03 04 12 34 AB CD", ORN_BYTE_COUNT_HIGH, {kUntouched}},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> reply = With_Crc(Hex(c.body));
        int values[8];
        std::fill(values, values + 8, kUntouched);
        std::string diag, data_buf;
        int r = (int)reply.size();
        EXPECT_EQ(Judge_Read_Array_Reply(request, r, c.layout, reply.data(), r, values, diag, data_buf), c.result)
            << c.what;
        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(values[i], c.values[i]) << c.what << " value " << i;
    }
}

TEST(JudgeWritePara, RowWriteEchoes)
{
    unsigned char request[ORN_FRAME_MAX] = {};
    const int row[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(Set_W_Array(request, 1, 6, 5, 3, row, 0), 13);
    std::vector<uint8_t> echo(request, request + 13);
    std::vector<uint8_t> last_wrong = echo, next_wrong = echo;
    last_wrong[12] ^= 0xFF;
    next_wrong[11] = 0x00;
    std::string dump = "Verify W_OC CRC error:\n Tx\t Rx\n";
    for (int i = 0; i < 13; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, " %02x\t %02x\n", echo[i], next_wrong[i]);
        dump += line;
    }
    const struct {
        const char *what;
        Reply reply;
        int result;
        std::string diag;
    } cases[] = {
        {"echo", {echo, 13}, 1, ""},
        {"echo with its last byte wrong", {last_wrong, 13}, 1, ""},
        {"echo with its next-to-last byte wrong", {next_wrong, 13}, -3, dump},
        {"5 bytes without error bit", raw("01 06 02 00 00"), -1, "Command error : error Addr\n"},
        {"exception", raw("01 86 03 00 00"), -1, "Error Number: 86\nCommand error : error Data\n"},
        {"no reply", got(0), 0, "Read 0 Time-Out\n"},
        {"short reply adds no line", {echo, 7}, ORN_SHORT_REPLY, ""},
        {"read failed", got(COM_ERR_IO), COM_ERR_IO, "ComRd error CRstat=-25\n"},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> reply = c.reply.bytes;
        reply.resize(std::max<size_t>(reply.size(), 13));
        std::string diag;
        EXPECT_EQ(Judge_Write_Para_Reply(request, 13, 13, reply.data(), c.reply.r, diag), c.result) << c.what;
        EXPECT_EQ(diag, c.diag) << c.what;
    }
}

TEST(JudgeReadPara, LastWordBeforeTheCrc)
{
    unsigned char request[ORN_FRAME_MAX] = {};
    Set_Array(request, 1, 3, 1, 2);
    std::vector<uint8_t> reply = With_Crc(Hex("01 03 04 00 01 BE EF"));
    int value = kUntouched;
    std::string diag;
    EXPECT_EQ(Judge_Read_Para_Reply(request, 9, reply.data(), 9, &value, diag), 1);
    EXPECT_EQ(value, 0xBEEF);
    value = kUntouched;
    EXPECT_EQ(Judge_Read_Para_Reply(request, 9, reply.data(), 6, &value, diag), ORN_SHORT_REPLY);
    EXPECT_EQ(Judge_Read_Para_Reply(request, 9, Hex("01 03 02 00 00").data(), 5, &value, diag), -1);
    EXPECT_EQ(diag, "") << "a short reply, or 5 bytes without the error bit, add nothing";
    EXPECT_EQ(value, kUntouched);
}

}  // namespace
