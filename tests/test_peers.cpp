// Peers that know nothing of our code: mbpoll (libmodbus's master) against
// the simulated converter, and our master against a libmodbus RTU server.
#include "modbus/modbus_api.h"
#include "platform/orn_status.h"
#include "platform/port_map.h"
#include "platform/serial.h"
#include "tests/support/test_support.h"

#include <atomic>
#include <cstdio>
#include <thread>

#include <modbus.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Runs a command and returns what it printed on standard output.
std::string run(const std::string &command)
{
    std::string out;
    FILE *p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return out;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    pclose(p);
    return out;
}

class Mbpoll : public ScratchDir {};

TEST_F(Mbpoll, ReadsAndWritesTheSimulatorsRegisters)
{
    Simulator sim(230, {"--state", path("state.txt")});
    std::string mbpoll = "mbpoll -m rtu -b 9600 -P none -a 1 -0 -1 -o 2 ";
    std::string out = run(mbpoll + "-t 4:hex -r 0x1F00 " + sim.pty());
    EXPECT_NE(out.find("[7936]: \t0xE812"), std::string::npos) << out;

    out = run(mbpoll + "-r 10 -c 4 " + sim.pty());
    EXPECT_NE(out.find("[10]: \t1000"), std::string::npos) << out;
    EXPECT_NE(out.find("[13]: \t100"), std::string::npos) << out;

    out = run(mbpoll + "-r 12 " + sim.pty() + " 2500");
    EXPECT_NE(out.find("Written 1 references"), std::string::npos) << out;
    out = run(mbpoll + "-r 12 " + sim.pty());
    EXPECT_NE(out.find("[12]: \t2500"), std::string::npos) << out;

    // A row read is an ordinary function-3 read of six bytes, 3 words.
    out = run(mbpoll + "-t 4:hex -r 0x1F00 -c 2 " + sim.pty());
    EXPECT_NE(out.find("Illegal data value"), std::string::npos) << out;

    sim.stop();
    EXPECT_NE(Read_Text_File(path("state.txt")).find("tx2_timeout = 2500\n"), std::string::npos);
}

// Two ptys joined back to back: a libmodbus server on one, our port on the
// other, and a thread carrying the bytes between their master sides.
class LibmodbusServer : public ScratchDir {
protected:
    static constexpr int kCom = 231;

    void SetUp() override
    {
        ScratchDir::SetUp();
        char name_a[256], name_b[256];
        ASSERT_EQ(openpty(&master_a_, &slave_a_, name_a, nullptr, nullptr), 0);
        ASSERT_EQ(openpty(&master_b_, &slave_b_, name_b, nullptr, nullptr), 0);
        for (int fd : {master_a_, slave_a_, master_b_, slave_b_}) {
            termios t{};
            tcgetattr(fd, &t);
            cfmakeraw(&t);
            tcsetattr(fd, TCSANOW, &t);
        }
        ASSERT_EQ(symlink(name_b, Port_Device_Path(kCom).c_str()), 0);
        bridge_ = std::thread([this] { carry(); });

        ctx_ = modbus_new_rtu(name_a, 9600, 'N', 8, 1);
        ASSERT_NE(ctx_, nullptr);
        modbus_set_slave(ctx_, 1);
        ASSERT_EQ(modbus_connect(ctx_), 0);
        modbus_set_indication_timeout(ctx_, 0, 100000);
        map_ = modbus_mapping_new(0, 0, 0x1F01, 0);
        map_->tab_registers[0x1F00] = 0xE855;
        map_->tab_registers[1] = 2;
        map_->tab_registers[3] = 7;
        map_->tab_registers[4] = 0xBEEF;
        server_ = std::thread([this] { serve(); });

        gvCOM = kCom;
        ASSERT_EQ(OpenCom(kCom, "COM231"), 0);
        ASSERT_EQ(SetComTime(kCom, 0.5), 0);
    }
    void TearDown() override
    {
        CloseCom(kCom);
        stop_ = true;
        server_.join();
        bridge_.join();
        modbus_mapping_free(map_);
        modbus_close(ctx_);
        modbus_free(ctx_);
        for (int fd : {master_a_, slave_a_, master_b_, slave_b_})
            close(fd);
        ScratchDir::TearDown();
    }
    void carry()
    {
        while (!stop_) {
            pollfd p[2] = {{master_a_, POLLIN, 0}, {master_b_, POLLIN, 0}};
            if (poll(p, 2, 50) <= 0)
                continue;
            uint8_t buf[1024];
            for (int i = 0; i < 2; ++i)
                if (p[i].revents & POLLIN) {
                    ssize_t n = read(p[i].fd, buf, sizeof buf);
                    if (n > 0)
                        (void)!write(i == 0 ? master_b_ : master_a_, buf, (size_t)n);
                }
        }
    }
    void serve()
    {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop_) {
            int n = modbus_receive(ctx_, query);
            if (n > 0)
                modbus_reply(ctx_, query, n, map_);
        }
    }

    int master_a_ = -1, slave_a_ = -1, master_b_ = -1, slave_b_ = -1;
    modbus_t *ctx_ = nullptr;
    modbus_mapping_t *map_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread bridge_, server_;
};

TEST_F(LibmodbusServer, OurMasterReadsAndWritesItsRegisters)
{
    int values[3] = {-7, -7, -7};
    EXPECT_EQ(ORN_RW(1, 3, 0x1F00, 1, 0.1f, values), 1);
    EXPECT_EQ(values[0], 0xE855);
    EXPECT_EQ(ORN_RW(1, 3, 2, 3, 0.1f, values), 1);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 7);
    EXPECT_EQ(values[2], 0xBEEF);
    EXPECT_EQ(ORN_RW(1, 6, 10, 4321, 0.1f, values), 1);
    EXPECT_EQ(Read_Text_File(path("R_OC_Error.txt")), "");
    Delay(0.05);
    EXPECT_EQ(map_->tab_registers[10], 4321);
}

TEST_F(LibmodbusServer, ItsExceptionRepliesAreJudgedAndLogged)
{
    int values[500];
    // libmodbus serves at most 125 registers: the data-buffer read is refused.
    EXPECT_EQ(ORN_RW(1, 3, 9, 500, 0.1f, values), -1);
    EXPECT_EQ(Read_Text_File(path("R_OC_Error.txt")), "Error Number: 83\nCommand error : error Data\n");
    EXPECT_EQ(ORN_RW(1, 6, 0x2000, 1, 0.1f, values), -1);
    EXPECT_EQ(Read_Text_File(path("R_OC_Error.txt")), "Error Number: 86\nCommand error : error Addr\n");
}

}  // namespace
