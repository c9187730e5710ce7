// The four exchanges against the simulated converter on a real pty: their
// results and the exact bytes of their diagnostic files.
#include "modbus/modbus_api.h"
#include "platform/orn_status.h"
#include "platform/serial.h"
#include "tests/support/test_support.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kCom = 230;
constexpr double kTimeout = 0.3;   // shortened read time-out: faults cost less

class Exchange : public ScratchDir {
protected:
    // Starts the simulator with these arguments and opens its port.
    void start(std::vector<std::string> args = {})
    {
        args.push_back("--static-buffer");
        args.push_back("--log");
        args.push_back(path("traffic.log"));
        sim_ = std::make_unique<Simulator>(kCom, args);
        gvCOM = kCom;
        gvORN_ID = 1;
        ASSERT_EQ(OpenCom(kCom, "COM230"), 0);
        ASSERT_EQ(SetComTime(kCom, kTimeout), 0);
    }
    void TearDown() override
    {
        CloseCom(kCom);
        sim_.reset();
        ScratchDir::TearDown();
    }
    std::string file(const char *name) { return Read_Text_File(path(name)); }
    std::string state()
    {
        sim_->stop();
        return file("state.txt");
    }
    std::unique_ptr<Simulator> sim_;
};

TEST_F(Exchange, SingleRegisterReadAndWrite)
{
    start({"--state", path("state.txt")});
    int value = -1;
    double t0 = Now_S();
    EXPECT_EQ(ORN_RW(1, 3, 0x1F00, 1, 0.1f, &value), 1);
    double took = Now_S() - t0;
    EXPECT_EQ(value, 0xE812);
    EXPECT_GE(took, 0.1);
    EXPECT_LT(took, 0.13) << "the reply is read as soon as it is complete";
    EXPECT_TRUE(File_Exists(path("R_OC_Error.txt")));
    EXPECT_EQ(file("R_OC_Error.txt"), "") << "a successful exchange leaves the file empty";

    EXPECT_EQ(ORN_RW(1, 6, 11, 4321, 0.1f, &value), 1);
    EXPECT_EQ(value, 0xE812) << "a write never touches the values";
    EXPECT_NE(state().find("tx1_interval = 4321\n"), std::string::npos);
}

TEST_F(Exchange, DataBufferReadOfFiveHundredSignedWords)
{
    std::string words;
    for (int i = 0; i < 500; i += 10) {
        words += "buffer_" + std::to_string(i) + " =";
        for (int k = i; k < i + 10; ++k)
            words += " " + std::to_string(k == 0 ? -1 : k == 1 ? -32768 : k == 2 ? 32767 : k * 3);
        words += "\n";
    }
    Write_Text_File(path("state.txt"), words);
    start({"--state", path("state.txt")});
    std::vector<int> values(500, -7);
    EXPECT_EQ(ORN_RW(1, 3, 9, 500, 0.1f, values.data()), 1);
    EXPECT_EQ(values[0], 0xFFFF);
    EXPECT_EQ(values[1], 0x8000);
    EXPECT_EQ(values[2], 0x7FFF);
    EXPECT_EQ(values[499], 499 * 3);
    std::vector<std::string> log = sim_->log_lines(path("traffic.log"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].substr(log[0].size() - 23), "01 03 00 09 01 F4 95 DF");
    EXPECT_EQ(log[1].rfind("tx ", 0), 0u);
    EXPECT_EQ(log[1].size(), std::string("tx 0.000000").size() + 1005 * 3);
}

struct RwFault {
    const char *fault;
    int function, address, value;
    int result;
    std::string file;   // expected "R_OC_Error.txt"; "*" for any
};

TEST_F(Exchange, SingleRegisterFaults)
{
    // The reply to the identification read is 01 03 02 E8 12 76 49.
    const RwFault cases[] = {
        {"none", 3, 0x1F00, 1, -2, "Read 0 Time-Out\n"},
        {"exception=2", 3, 0x1F00, 1, -1, "Error Number: 83\nCommand error : error Addr\n"},
        {"crc_lo", 3, 0x1F00, 1, -3, "Verify CRC error vc=-1\n1\n3\n2\ne8\n12\n2c\n49\n"},
        {"crc_hi", 3, 0x1F00, 1, -3, "Verify CRC error vc=-2\n1\n3\n2\ne8\n12\n76\n13\n"},
        {"short", 3, 0x1F00, 1, ORN_SHORT_REPLY, "ComRd error CRstat=6\n"},
        {"pieces=60", 3, 0x1F00, 1, 1, ""},
        {"delay=150", 3, 0x1F00, 1, 1, ""},
        {"echo", 6, 3, 5, -4, "Verify W CRC error:\n Tx: b9\t c9\n  \nRx: f9\t c8\n "},
        {"exception=3", 6, 1, 9, -1, "Error Number: 86\nCommand error : error Data\n"},
        {"noise=600", 3, 0x1F00, 1, -3, "*"},
    };
    for (const RwFault &c : cases) {
        SCOPED_TRACE(c.fault);
        start({"--fault", c.fault});
        int value = -7;
        double t0 = Now_S();
        EXPECT_EQ(ORN_RW(1, (unsigned char)c.function, c.address, c.value, 0.1f, &value), c.result);
        EXPECT_LT(Now_S() - t0, 0.1 + kTimeout + 0.1) << "one deadline, however the bytes come";
        if (c.result != 1 || c.function == 6) {
            EXPECT_EQ(value, -7);
        }
        if (c.file != "*") {
            EXPECT_EQ(file("R_OC_Error.txt"), c.file);
        }
        CloseCom(kCom);
        sim_.reset();
    }
}

TEST_F(Exchange, RowReadAndItsFaults)
{
    const struct {
        const char *fault;
        int result;
        std::string diag, data_buf;
    } cases[] = {
        {nullptr, 1, "", "11\n"},
        {"exception=2", -1, "Error Number: 83\nCommand error : error Addr\n", "5\n"},
        {"none", 0, "Read 0 Time-Out\n", "0\n"},
        {"short=7", ORN_SHORT_REPLY, "", "7\n7\n"},
        {"crc_hi", -2,
         "Verify R_OC CRC error:\nTx\t Rx\n 01\t 01\n 03\t 03\n 00\t 06\n 05\t 01\n 00\t 03\n 01\t 00\n"
         " 94\t 00\n 0b\t 00\n 00\t 0a\n 00\t e4\n 00\t f9\n",   // CRC E4 A3, high byte ^ 5A
         "11\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "no fault");
        start(c.fault ? std::vector<std::string>{"--fault", c.fault} : std::vector<std::string>{});
        std::memset(aUSB_Vcom, 0, sizeof aUSB_Vcom);
        Set_Array(aUSB_Vcom, gvORN_ID, 3, 5, 1);
        int values[6] = {-7, -7, -7, -7, -7, -7};
        EXPECT_EQ(ORN_Read_Array(aUSB_Vcom, 8, 11, 3, values), c.result);
        EXPECT_EQ(file("R_ORN_Error.txt"), c.diag);
        EXPECT_EQ(file("Data_buf.txt"), c.data_buf);
        const int row1[6] = {1, 3, 0, 0, 0, 10};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(values[i], c.result == 1 ? row1[i] : -7);
        CloseCom(kCom);
        sim_.reset();
    }
}

TEST_F(Exchange, RowWritesAndTheirAppendedFaults)
{
    start({"--state", path("state.txt"), "--fault", "none@2", "--fault", "echo@3"});
    const int row[6] = {0x11, 0x10, 0x12, 0x34, 0x00, 0x02};
    int length = Set_W_Array(aUSB_Vcom, gvORN_ID, 6, 8, 3, row, 39);
    ASSERT_EQ(length, 13);
    double t0 = Now_S();
    EXPECT_EQ(ORN_Write_Para(aUSB_Vcom, length, length), 1);
    EXPECT_GE(Now_S() - t0, 0.01);
    EXPECT_EQ(ORN_Write_Para(aUSB_Vcom, length, length), 0);
    EXPECT_EQ(ORN_Write_Para(aUSB_Vcom, length, length), -3);
    std::string dump = "Verify W_OC CRC error:\n Tx\t Rx\n";
    std::vector<uint8_t> echo = With_Crc(Hex("01 06 00 08 27 11 10 12 34 00 03"));
    for (int i = 0; i < 13; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, " %02x\t %02x\n", aUSB_Vcom[i], echo[i]);
        dump += line;
    }
    EXPECT_EQ(file("W_ORN_Error.txt"), "Read 0 Time-Out\n" + dump) << "row-write faults are appended";
    EXPECT_NE(state().find("tx2_row_40 = 11 10 12 34 00 02\n"), std::string::npos);
}

TEST_F(Exchange, SingleWordBlockRead)
{
    start({"--fault", "none@2"});
    Set_Array(aUSB_Vcom, 1, 3, 3, 2);   // Tx1 baud and format
    int value = -7;
    EXPECT_EQ(ORN_Read_Para(aUSB_Vcom, 8, 9, &value), 1);
    EXPECT_EQ(value, 0) << "the last word: Tx1 format";
    EXPECT_EQ(ORN_Read_Para(aUSB_Vcom, 8, 9, &value), 0);
    EXPECT_EQ(file("R_ORN_Error.txt"), "Read 0 Time-Out\n");
}

TEST_F(Exchange, BlockTransfersRefuseLengthsOutsideTheirBuffers)
{
    start();
    int values[6];
    const struct { int request, reply; } bad[] = {{0, 11}, {129, 11}, {8, 4}, {8, 128}, {-1, 11}, {8, -5}};
    for (auto b : bad) {
        EXPECT_EQ(ORN_Read_Array(aUSB_Vcom, b.request, b.reply, 3, values), ORN_BAD_ARGUMENT);
        EXPECT_EQ(ORN_Write_Para(aUSB_Vcom, b.request, b.reply), ORN_BAD_ARGUMENT);
        EXPECT_EQ(ORN_Read_Para(aUSB_Vcom, b.request, b.reply, values), ORN_BAD_ARGUMENT);
    }
    EXPECT_EQ(ORN_Read_Array(aUSB_Vcom, 8, 11, 4, values), ORN_BAD_ARGUMENT);
    EXPECT_EQ(sim_->log_lines(path("traffic.log")).size(), 0u) << "nothing is sent";
}

TEST_F(Exchange, VanishedDeviceFailsFastAndIsLogged)
{
    start();
    sim_->kill_hard();
    int value = -7;
    double t0 = Now_S();
    int r = ORN_RW(1, 3, 1, 1, 0.1f, &value);
    EXPECT_LT(r, 0);
    EXPECT_LT(Now_S() - t0, 0.2);
    std::string diag = file("R_OC_Error.txt");
    EXPECT_TRUE(diag.find("ComWrt error CWstat=-26\n") != std::string::npos ||
                diag.find("ComRd error CRstat=-26\n") != std::string::npos)
        << diag;
    Set_Array(aUSB_Vcom, 1, 3, 5, 1);
    int values[6];
    EXPECT_LT(ORN_Read_Array(aUSB_Vcom, 8, 11, 3, values), 0);
    EXPECT_LT(ORN_Write_Para(aUSB_Vcom, 8, 8), 0);
}

TEST_F(Exchange, UnsupportedFunctionCodeIsRefusedWithoutSending)
{
    start();
    int value = -7;
    EXPECT_EQ(ORN_RW(1, 16, 1, 1, 0.1f, &value), ORN_BAD_ARGUMENT);
    EXPECT_EQ(file("R_OC_Error.txt"), "Function code error fc=16\n");
    EXPECT_EQ(sim_->log_lines(path("traffic.log")).size(), 0u);
}

}  // namespace
