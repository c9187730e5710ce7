// Finding the ports: the device-line tests, the four port files, and the
// list, over a fake device tree and the simulated converter on a real pty.
#include "app/shared_state.h"
#include "app/shell.h"
#include "discovery/scan_virtual_com_fun.h"
#include "platform/device_list.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

TEST(DeviceLines, PortMarkIsFoundAsTheConverterDoes)
{
    const struct { const char *line; int port; } cases[] = {
        {"USB Serial Device (COM7)", 7},
        {"Communications Port (COM1)", 1},
        {"Virtual port (COM256)", 256},
        {"Virtual port (COM257)", 0},
        {"Virtual port (COM0)", 0},
        {"Prolific(R) USB-to-Serial Comm Port (COM5)", 5},   // an earlier parenthesis
        {"USB Serial Device (com3)", 0},                     // lower case
        {"USB Serial Device (COM 5)", 5},                    // only the digits count
        {"USB Serial Device (COMx12y)", 12},
        {"USB Serial Device (COM)", 0},
        {"USB Serial Device (COM12", 0},                     // line ends first
        {"USB Serial Device COM12)", 0},                     // no opening parenthesis
        {"(C)opyright O M 4)", 4},                           // C, O, M in order, gaps allowed
        {"Port (COM99999999999999)", 0},                     // far beyond 256, no overflow
        {"", 0},
    };
    for (auto &c : cases)
        EXPECT_EQ(find_COMx(c.line), c.port) << c.line;
}

TEST(DeviceLines, ConverterIsRecognisedByTheWordModbus)
{
    const struct { const char *line; int is_converter; } cases[] = {
        {"USB Modbus RTU Converter (COM3)", 1},
        {"Modbus", 1},
        {"MODBUS converter (COM3)", 0},
        {"modbus converter (COM3)", 0},
        {"MModbus converter (COM3)", 0},   // the word right after another capital M
        {"ModModbus", 0},   // the count restarts without looking at the M again
        {"Modbu", 0},
        {"", 0},
    };
    for (auto &c : cases)
        EXPECT_EQ(find_COMx_ORN(c.line), c.is_converter) << c.line;
}

// A device tree as the kernel shows it: a USB root hub, a USB converter
// with its CDC-ACM tty, a real and a phantom on-board UART (numbers that
// have no device node here), a console.
class Discovery : public UiTree {
protected:
    void SetUp() override
    {
        UiTree::SetUp();
        ASSERT_EQ(App_Start(), 0) << Ui_Load_Error();
        sys_ = dir_ + "/sys";
        usb_device("usb1", "Linux 6.1.0 xhci-hcd", "xHCI Host Controller");
        usb_device("1-1", "Acme", "USB Modbus RTU Converter");
        fs::create_directories(sys_ + "/bus/usb/devices/1-1/1-1:1.0");
        tty("ttyACM0", sys_ + "/bus/usb/devices/1-1/1-1:1.0", "");
        fs::create_directories(sys_ + "/devices/platform/serial8250/tty");
        tty("ttyS5", sys_ + "/devices/platform/serial8250/tty", "4");
        tty("ttyS6", sys_ + "/devices/platform/serial8250/tty", "0");
        fs::create_directories(sys_ + "/class/tty/tty0");
        Device_List_Set_Sys_Root(sys_);
    }
    void TearDown() override
    {
        Device_List_Set_Sys_Root("");
        sim_.reset();
        UiTree::TearDown();
    }
    void usb_device(const std::string &name, const std::string &maker, const std::string &product)
    {
        std::string d = sys_ + "/bus/usb/devices/" + name;
        fs::create_directories(d);
        Write_Text_File(d + "/idVendor", "1234\n");
        Write_Text_File(d + "/idProduct", "5678\n");
        Write_Text_File(d + "/manufacturer", maker + "\n");
        Write_Text_File(d + "/product", product + "\n");
    }
    void tty(const std::string &name, const std::string &device, const std::string &type)
    {
        std::string d = sys_ + "/class/tty/" + name;
        fs::create_directories(d);
        fs::create_directory_symlink(device, d + "/device");
        if (!type.empty())
            Write_Text_File(d + "/type", type + "\n");
    }
    std::vector<std::string> listed()
    {
        std::vector<std::string> out;
        int n = 0, value = 0;
        GetNumListItems(gvScan, SCAN_COM_LIST, &n);
        for (int i = 1; i <= n; ++i) {
            char label[256];
            Ui_Simulate(gvScan, SCAN_COM_LIST, INPUT_CLICK, i, 0);
            GetCtrlVal(gvScan, SCAN_COM_LIST, label, sizeof label);
            GetCtrlVal(gvScan, SCAN_COM_LIST, &value);
            out.push_back(std::string(label) + " = " + std::to_string(value));
        }
        return out;
    }
    void scan()
    {
        Get_Windows_Device_info("All_DEV.txt");
        Scan_USB_Virtual_ComPort_to_list();
    }
    std::string file(const char *name) { return Read_Text_File(path(std::string("bin/") + name)); }
    std::string sys_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(Discovery, ScanWritesThePortFilesAndListsThePortsThatOpen)
{
    sim_ = std::make_unique<Simulator>(230);
    std::string sim_line = "ORN simulated Modbus converter - " + sim_->pty() + " (COM230)";
    scan();
    EXPECT_EQ(file("All_DEV.txt"),
              "Acme USB Modbus RTU Converter\n"
              "Linux 6.1.0 xhci-hcd xHCI Host Controller\n"
              "Acme USB Modbus RTU Converter - /dev/ttyACM0 (COM97)\n"
              "Serial port - /dev/ttyS5 (COM6)\n" +
                  sim_line + "\n");
    EXPECT_EQ(file("ALL_COM.txt"),
              "Acme USB Modbus RTU Converter - /dev/ttyACM0 (COM97)\n"
              "Serial port - /dev/ttyS5 (COM6)\n" +
                  sim_line + "\n");
    EXPECT_EQ(file("USB_COM.txt"), "Acme USB Modbus RTU Converter - /dev/ttyACM0 (COM97)\n" + sim_line + "\n");
    // The fake tree's ports have no device nodes here: only the simulator opens.
    EXPECT_EQ(file("Com_Num.txt"), "COM230\n");
    EXPECT_EQ(listed(), std::vector<std::string>{sim_line + " = 230"});
}

TEST_F(Discovery, PortHeldByAnotherProcessIsNotListed)
{
    sim_ = std::make_unique<Simulator>(231);
    std::string hold = std::string(ORN_COM_OPEN_PATH) + " 231 3 > " + path("held.txt") + " &";
    ASSERT_EQ(std::system(hold.c_str()), 0);
    for (int i = 0; i < 100 && Read_Text_File(path("held.txt")).empty(); ++i)
        Delay(0.02);
    ASSERT_EQ(Read_Text_File(path("held.txt")), "0\n") << "the other process holds the port";
    Ui_Simulate(gvScan, SCAN_RESCAN, INPUT_CLICK, 0, 0);
    EXPECT_NE(file("ALL_COM.txt").find("(COM231)"), std::string::npos);
    EXPECT_EQ(file("Com_Num.txt"), "");
    EXPECT_TRUE(listed().empty());
}

TEST_F(Discovery, KilledSimulatorIsNotListedAndAStaleLinkIsIgnored)
{
    sim_ = std::make_unique<Simulator>(232);
    sim_->kill_hard();
    scan();
    EXPECT_EQ(file("All_DEV.txt").find("simulated"), std::string::npos);
    EXPECT_TRUE(listed().empty());
}

TEST_F(Discovery, PassesKeepTheirLinesAsTheyStand)
{
    std::string long_tail(300, 'x');
    Write_Text_File(path("bin/All_DEV.txt"),
                    "Intel(R) USB 3.0 eXtensible Host Controller\n"
                    "\n"
                    "Port A (COM10)\n"
                    "Port A again (COM10)\n"
                    "Port B (COM3)" + long_tail + "\n"
                    "Port C " + long_tail + " (COM4)\n"
                    "Port D Modbus (COM5)");   // no line end: not handled
    Scan_USB_Virtual_ComPort_to_list();
    std::string cut = ("Port B (COM3)" + long_tail).substr(0, 255);
    EXPECT_EQ(file("ALL_COM.txt"), "Port A (COM10)\nPort A again (COM10)\n" + cut + "\n")
        << "the mark past 255 characters is cut off with the rest";
    EXPECT_EQ(file("USB_COM.txt"), "");
    EXPECT_EQ(file("Com_Num.txt"), "");
}

TEST_F(Discovery, FilesThatCannotBeWrittenEndTheScanWithAnEmptyList)
{
    sim_ = std::make_unique<Simulator>(233);
    scan();
    ASSERT_EQ(listed().size(), 1u);
    fs::create_directory(path("bin/ALL_COM.txt.new"));
    fs::remove(path("bin/ALL_COM.txt"));
    fs::rename(path("bin/ALL_COM.txt.new"), path("bin/ALL_COM.txt"));   // a folder where a file must go
    scan();
    EXPECT_TRUE(listed().empty());
}

TEST_F(Discovery, UnreadableDeviceListingLeavesTheEarlierFile)
{
    Write_Text_File(path("bin/All_DEV.txt"), "from an earlier scan (COM1)\n");
    Device_List_Set_Sys_Root(dir_ + "/nowhere");
    EXPECT_EQ(Get_Windows_Device_info("All_DEV.txt"), 0);
    EXPECT_EQ(file("All_DEV.txt"), "from an earlier scan (COM1)\n");
}

}  // namespace
