// Many exchanges against the simulated converter with faults injected at
// random: every result is the one that fault calls for, the diagnostic
// files say so, and no descriptor is left open.  ORN_SOAK_EXCHANGES sets
// the count (scripts/soak runs 10,000).
#include "modbus/modbus_api.h"
#include "platform/orn_status.h"
#include "platform/serial.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr int kCom = 236;

enum Exchange { READ_REGISTER, WRITE_REGISTER, READ_ROW, WRITE_ROW };
const char *const kFaults[] = {"", "none", "crc_lo", "crc_hi", "exception=2", "short", "delay=15", "pieces=5", "echo"};

int open_descriptors()
{
    int n = 0;
    for ([[maybe_unused]] auto &e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// What an exchange must return when the device answers with this fault.
int expected_result(Exchange e, const std::string &fault, const unsigned char *request, int length)
{
    bool read = e == READ_REGISTER || e == READ_ROW, block = e == READ_ROW || e == WRITE_ROW;
    if (fault.empty() || fault.rfind("delay", 0) == 0 || fault.rfind("pieces", 0) == 0)
        return 1;
    if (fault == "none")
        return block ? 0 : ORN_TIMEOUT;
    if (fault == "exception=2")
        return ORN_EXCEPTION;
    if (fault == "short")
        return ORN_SHORT_REPLY;
    if (fault == "crc_lo")
        return e == READ_ROW ? -1 : ORN_BAD_CRC;
    if (fault == "crc_hi")
        return e == READ_ROW ? -2 : e == WRITE_ROW ? 1 : ORN_BAD_CRC;   // a row echo is judged by its first CRC byte
    // echo: a write's echo carries value + 1 with a CRC of its own.
    if (read)
        return 1;
    if (e == WRITE_REGISTER)
        return ORN_BAD_ECHO;
    std::vector<uint8_t> echo(request, request + length - 2);
    echo.back() = (uint8_t)(echo.back() + 1);
    echo = With_Crc(echo);
    return echo[length - 2] == request[length - 2] ? 1 : ORN_BAD_CRC;
}

class Soak : public ScratchDir {};

TEST_F(Soak, RandomFaultsGiveTheirOwnResults)
{
    const char *count_env = std::getenv("ORN_SOAK_EXCHANGES");
    const int exchanges = count_env ? std::atoi(count_env) : 600;
    std::mt19937 rng(7);
    std::vector<std::string> plan(exchanges);
    std::string faults_file;
    for (int i = 0; i < exchanges; ++i) {
        plan[i] = rng() % 2 ? "" : kFaults[1 + rng() % 8];
        if (!plan[i].empty())
            faults_file += plan[i] + "@" + std::to_string(i + 1) + "\n";
    }
    Write_Text_File(path("faults.txt"), faults_file);
    int descriptors_before = open_descriptors();
    {
        Simulator sim(kCom, {"--faults", path("faults.txt"), "--static-buffer"});
        gvCOM = kCom;
        gvORN_ID = 1;
        ASSERT_EQ(OpenCom(kCom, "COM236"), 0);
        ASSERT_EQ(SetComTime(kCom, 0.06), 0);
        int wrong = 0;
        for (int i = 0; i < exchanges && wrong < 10; ++i) {
            Exchange e = (Exchange)(rng() % 4);
            if (e <= WRITE_REGISTER && rng() % 4)
                e = (Exchange)(e + 2);   // mostly row transfers: their wait is 10 ms, not 100
            int values[6] = {}, result = 0, length = 8;
            unsigned char request[ORN_FRAME_MAX] = {};
            const int row[6] = {1, 3, 0x12, 0x34, 0, (int)(rng() % 256)};
            switch (e) {
            case READ_REGISTER:
                result = ORN_RW(1, 3, 3, 1, ORN_RW_DELAY_S, values);
                break;
            case WRITE_REGISTER:
                Set_Array(request, 1, 6, 11, (int)(rng() % 65536));
                result = ORN_RW(1, 6, 11, request[4] * 256 + request[5], ORN_RW_DELAY_S, values);
                break;
            case READ_ROW:
                Set_Array(aUSB_Vcom, 1, 3, 5, 1 + (int)(rng() % 40));
                result = ORN_Read_Array(aUSB_Vcom, 8, 11, 3, values);
                break;
            case WRITE_ROW:
                length = Set_W_Array(aUSB_Vcom, 1, 6, 8, 3, row, (signed char)(rng() % 40));
                std::copy(aUSB_Vcom, aUSB_Vcom + length, request);
                result = ORN_Write_Para(aUSB_Vcom, length, length);
                break;
            }
            int want = expected_result(e, plan[i], request, length);
            if (result != want) {
                ++wrong;
                ADD_FAILURE() << "exchange " << i + 1 << " kind " << e << " fault '" << plan[i] << "': " << result
                              << ", expected " << want;
            }
            // The diagnostic file of a silent device says so, and only that.
            if (plan[i] == "none" && (e == READ_REGISTER || e == WRITE_REGISTER)) {
                EXPECT_EQ(Read_Text_File(path("R_OC_Error.txt")), "Read 0 Time-Out\n") << "exchange " << i + 1;
            }
            if (plan[i] == "none" && e == READ_ROW) {
                EXPECT_EQ(Read_Text_File(path("Data_buf.txt")), "0\n") << "exchange " << i + 1;
            }
        }
        EXPECT_EQ(CloseCom(kCom), 0);
    }
    EXPECT_EQ(open_descriptors(), descriptors_before) << "every file and port was closed";
}

}  // namespace
