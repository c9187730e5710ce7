// The serial port layer on a real pseudo-terminal: the test holds the
// device's side (the pty master) and the code under test opens the port.
#include "platform/orn_status.h"
#include "platform/port_map.h"
#include "platform/serial.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPort = 240;

class SerialPort : public ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        char name[256];
        int slave;
        ASSERT_EQ(openpty(&master_, &slave, name, nullptr, nullptr), 0);
        close(slave);   // the port under test opens it again
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        pty_ = name;
        link(kPort, pty_);
    }
    void TearDown() override
    {
        for (int p = COM_PORT_MIN; p <= COM_PORT_MAX; ++p)
            CloseCom(p);
        if (master_ >= 0)
            close(master_);
        ScratchDir::TearDown();
    }
    void link(int port, const std::string &target)
    {
        ASSERT_EQ(symlink(target.c_str(), Port_Device_Path(port).c_str()), 0);
    }
    // Reads what the port sent, waiting up to a second for n bytes.
    std::vector<uint8_t> device_reads(size_t n)
    {
        std::vector<uint8_t> got;
        double until = Now_S() + 1.0;
        while (got.size() < n && Now_S() < until) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                uint8_t buf[512];
                ssize_t k = read(master_, buf, sizeof buf);
                if (k > 0)
                    got.insert(got.end(), buf, buf + k);
            }
        }
        return got;
    }
    void device_writes(const std::vector<uint8_t> &bytes)
    {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), (ssize_t)bytes.size());
    }

    int master_ = -1;
    std::string pty_;
};

TEST_F(SerialPort, EveryByteValuePassesUntouchedBothWays)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = (uint8_t)i;
    EXPECT_EQ(ComWrt(kPort, all.data(), 256), 256);
    EXPECT_EQ(device_reads(256), all) << "XON/XOFF, ^C, CR and LF must not be acted upon";

    device_writes(all);
    std::vector<uint8_t> got(256);
    EXPECT_EQ(ComRd(kPort, got.data(), 256), 256);
    EXPECT_EQ(got, all);
}

TEST_F(SerialPort, ReadReturnsAsSoonAsTheCountArrived)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    device_writes(Hex("01 03 02 E8 12 00 00"));
    uint8_t buf[7];
    double t0 = Now_S();
    EXPECT_EQ(ComRd(kPort, buf, 7), 7);
    EXPECT_LT(Now_S() - t0, 0.05);
}

TEST_F(SerialPort, ReplyInPiecesWithGapsIsReadWhole)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    std::vector<uint8_t> reply = Hex("01 03 06 0A 0B 0C 0D 0E 0F 52 E9");
    std::thread device([&] {
        for (size_t at = 0; at < reply.size(); at += 4) {
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            size_t n = std::min<size_t>(4, reply.size() - at);
            ASSERT_EQ(write(master_, reply.data() + at, n), (ssize_t)n);
        }
    });
    uint8_t buf[11];
    EXPECT_EQ(ComRd(kPort, buf, 11), 11);
    device.join();
    EXPECT_EQ(To_Hex(buf, 11), To_Hex(reply));
}

TEST_F(SerialPort, ReadTimeOutIsOneDeadlineThatNoiseCannotStretch)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    bool stop = false;
    std::thread noise([&] {
        while (!stop) {
            uint8_t b = 0x55;
            (void)!write(master_, &b, 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    std::vector<uint8_t> buf(1005);
    double t0 = Now_S();
    int r = ComRd(kPort, buf.data(), 1005);
    double took = Now_S() - t0;
    stop = true;
    noise.join();
    EXPECT_GT(r, 10);
    EXPECT_LT(r, 1005);
    EXPECT_GE(took, COM_DEFAULT_TIMEOUT_S - 0.01);
    EXPECT_LT(took, COM_DEFAULT_TIMEOUT_S + 0.15);
}

TEST_F(SerialPort, SilenceEndsTheReadWithZeroAtTheTimeOut)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    ASSERT_EQ(SetComTime(kPort, 0.2), 0);
    uint8_t buf[8];
    double t0 = Now_S();
    EXPECT_EQ(ComRd(kPort, buf, 8), 0);
    EXPECT_NEAR(Now_S() - t0, 0.2, 0.05);
}

TEST_F(SerialPort, FlushInQDropsWhatArrivedBefore)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    ASSERT_EQ(SetComTime(kPort, 0.3), 0);
    device_writes(Hex("FF FF FF"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(FlushOutQ(kPort), 0);
    device_writes(Hex("01 02"));
    uint8_t buf[4];
    EXPECT_EQ(ComRd(kPort, buf, 4), 2);
    EXPECT_EQ(To_Hex(buf, 2), "01 02");
}

TEST_F(SerialPort, OpenIsExclusiveButReopeningOwnPortSucceeds)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    EXPECT_EQ(OpenCom(kPort, "COM240"), 0) << "the main panel's buttons reopen the port they hold";

    // The same device under a second number is still the same device.
    link(kPort + 1, pty_);
    EXPECT_EQ(OpenCom(kPort + 1, "COM241"), COM_ERR_BUSY);

    // Another process, even as root, is kept out; once released, the port
    // opens there again (TIOCEXCL was lifted).
    EXPECT_EQ(Open_In_Other_Process(kPort), COM_ERR_BUSY) << "a second process opened a held port";
    EXPECT_EQ(CloseCom(kPort), 0);
    EXPECT_EQ(Open_In_Other_Process(kPort), 0);
}

TEST_F(SerialPort, PortHeldThroughALockFileDoesNotOpen)
{
    std::string lock = "/run/lock/LCK.." + pty_.substr(pty_.find_last_of('/') + 1);
    FILE *f = std::fopen(lock.c_str(), "wx");
    if (!f)
        GTEST_SKIP() << "cannot write " << lock;
    std::fprintf(f, "%10d\n", (int)getppid());   // a live process that is not us
    std::fclose(f);
    EXPECT_EQ(OpenCom(kPort, "COM240"), COM_ERR_BUSY);
    Write_Text_File(lock, "    999999\n");           // a stale lock: its process is gone
    EXPECT_EQ(OpenCom(kPort, "COM240"), 0);
    std::remove(lock.c_str());
}

TEST_F(SerialPort, PortHeldExclusivelyByAnotherProgramDoesNotOpen)
{
    // As a terminal program would hold it; root could open through TIOCEXCL.
    int other = open(pty_.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(ioctl(other, TIOCEXCL), 0);
    EXPECT_EQ(OpenCom(kPort, "COM240"), COM_ERR_BUSY);
    ioctl(other, TIOCNXCL);
    EXPECT_EQ(OpenCom(kPort, "COM240"), 0);
    close(other);
}

TEST_F(SerialPort, ClosingIsAlwaysHarmless)
{
    EXPECT_EQ(CloseCom(kPort), COM_ERR_NOT_OPEN);
    EXPECT_EQ(CloseCom(0), COM_ERR_BAD_PORT);
    EXPECT_EQ(CloseCom(9999), COM_ERR_BAD_PORT);
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    EXPECT_EQ(CloseCom(kPort), 0);
    EXPECT_EQ(CloseCom(kPort), COM_ERR_NOT_OPEN);
    uint8_t b = 0;
    EXPECT_EQ(ComWrt(kPort, &b, 1), COM_ERR_NOT_OPEN);
    EXPECT_EQ(ComRd(kPort, &b, 1), COM_ERR_NOT_OPEN);
    EXPECT_EQ(FlushInQ(kPort), COM_ERR_NOT_OPEN);
    EXPECT_EQ(FlushOutQ(kPort), COM_ERR_NOT_OPEN);
}

TEST_F(SerialPort, PortsThatCannotBeOpenedSayWhy)
{
    Write_Text_File(path("plain.txt"), "not a tty");
    link(kPort + 2, path("plain.txt"));
    const struct { int port; int result; } cases[] = {
        {0, COM_ERR_BAD_PORT},
        {257, COM_ERR_BAD_PORT},
        {-3, COM_ERR_BAD_PORT},
        {kPort + 1, COM_ERR_NO_DEVICE},     // no link at all
        {kPort + 2, COM_ERR_NOT_SERIAL},    // a plain file
    };
    for (auto c : cases)
        EXPECT_EQ(OpenCom(c.port, ""), c.result) << "COM" << c.port;
}

TEST_F(SerialPort, VanishedDeviceFailsEveryCallAtOnce)
{
    ASSERT_EQ(OpenCom(kPort, "COM240"), 0);
    close(master_);   // the device is unplugged
    master_ = -1;
    uint8_t buf[8] = {};
    double t0 = Now_S();
    EXPECT_LT(ComRd(kPort, buf, 8), 0);
    EXPECT_LT(ComWrt(kPort, buf, 8), 0);
    EXPECT_LT(Now_S() - t0, 0.1) << "a vanished device must not cost the time-out";
    EXPECT_LT(OpenCom(kPort, "COM240"), 0) << "reopening a vanished device fails";
    EXPECT_EQ(CloseCom(kPort), COM_ERR_NOT_OPEN);
}

TEST(Delay, AccurateToAboutAMillisecond)
{
    for (double s : {0.01, 0.1}) {
        std::vector<double> took;
        for (int i = 0; i < 5; ++i) {
            double t0 = Now_S();
            Delay(s);
            took.push_back(Now_S() - t0);
        }
        std::sort(took.begin(), took.end());
        EXPECT_GE(took.front(), s) << s;
        EXPECT_LT(took[2] - s, 0.002) << s << ": median overshoot";
    }
    double t0 = Now_S();
    Delay(-1);
    Delay(0);
    EXPECT_LT(Now_S() - t0, 0.001);
}

TEST(PortMap, NumbersAndNodesMapBothWaysWithoutSharing)
{
    setenv("ORN_RUN_DIR", "/run/orn-test", 1);
    const struct { int port; const char *node; } cases[] = {
        {1, "/dev/ttyS0"}, {32, "/dev/ttyS31"}, {33, "/dev/ttyUSB0"}, {97, "/dev/ttyACM0"},
        {100, "/dev/ttyACM3"}, {161, "/dev/ttyAMA0"}, {225, "/run/orn-test/COM225"}, {256, "/run/orn-test/COM256"},
    };
    for (auto c : cases) {
        EXPECT_EQ(Port_Device_Path(c.port), c.node);
        EXPECT_EQ(Port_Number_Of_Node(c.node), c.port) << c.node;
    }
    std::vector<std::string> seen;
    for (int p = COM_PORT_MIN; p <= COM_PORT_MAX; ++p) {
        std::string node = Port_Device_Path(p);
        ASSERT_FALSE(node.empty()) << p;
        ASSERT_EQ(Port_Number_Of_Node(node), p) << node;
        seen.push_back(node);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
    for (const char *none : {"/dev/ttyS32", "/dev/ttyS01", "/dev/ttyUSB", "/dev/pts/3", "/dev/ttyACMx", "/run/orn-test/COM224", ""})
        EXPECT_EQ(Port_Number_Of_Node(none), 0) << none;
    EXPECT_EQ(Port_Device_Path(0), "");
    EXPECT_EQ(Port_Device_Path(257), "");
}

}  // namespace
