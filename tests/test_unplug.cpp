// The converter vanishes in the middle of Read all, Write all and polling
// (the simulator is killed), and comes back.
#include "tests/support/device_ui.h"

#include <thread>

namespace {

using namespace device_ui;

class Unplug : public DeviceUi {
protected:
    void connect()
    {
        device(state(3));
        pick();
        ASSERT_EQ(panel_visible(gvPanel), 1);
    }
    // Kills the simulator after a while, from another thread: the program's
    // own thread is busy with the exchange meanwhile.
    std::thread unplug_after(double seconds)
    {
        return std::thread([this, seconds] {
            Delay(seconds);
            sim_->kill_hard();
        });
    }
    // Runs the event loop until the action's one-shot timer has ticked.
    void run_action(int timer)
    {
        double until = Now_S() + 5;
        while (attribute(gvPanel, timer, ATTR_ENABLED) == 1 && Now_S() < until) {
            ProcessSystemEvents();
            Delay(0.01);
        }
    }
    // Plugs the converter in again, re-scans and picks it: Read OK.
    void replug_and_connect()
    {
        sim_.reset();
        sim_ = std::make_unique<Simulator>(kCom, std::vector<std::string>{"--state", path("device.txt")});
        if (panel_visible(gvPanel) == 1)
            Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_SCAN);
        else
            Ui_Simulate(gvScan, SCAN_RESCAN, INPUT_CLICK, 0, 0);
        int n = 0;
        GetNumListItems(gvScan, SCAN_COM_LIST, &n);
        ASSERT_EQ(n, 1) << "the converter is listed again";
        pick();
        EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read OK #008000");
        EXPECT_EQ(panel_visible(gvPanel), 1);
    }
};

TEST_F(Unplug, DuringReadAll)
{
    connect();
    Ui_Simulate(gvPanel, MAIN_READ_ALL, INPUT_CLICK, 0, 0);
    std::thread unplug = unplug_after(0.6);
    double t0 = Now_S();
    run_action(MAIN_READ_TIMER);
    unplug.join();
    EXPECT_LT(Now_S() - t0, 3.0) << "the program does not hang";
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read Error #FF0000");
    EXPECT_EQ(CloseCom(kCom), COM_ERR_NOT_OPEN) << "the program closed the port";
    run_for(0.1);   // still responsive
    replug_and_connect();
}

TEST_F(Unplug, DuringWriteAll)
{
    connect();
    Ui_Simulate(gvPanel, MAIN_WRITE_ALL, INPUT_CLICK, 0, 0);
    std::thread unplug = unplug_after(0.6);
    run_action(MAIN_WRITE_TIMER);
    unplug.join();
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Write Error #FF0000");
    EXPECT_EQ(CloseCom(kCom), COM_ERR_NOT_OPEN) << "the program closed the port";
    replug_and_connect();
}

TEST_F(Unplug, DuringPolling)
{
    connect();
    Ui_Simulate(gvPanel, MAIN_READ_BUFFER, INPUT_CLICK, 0, 0);
    run_for(0.8);
    sim_->kill_hard();
    run_for(1.2);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read buffer Error #FF0000");
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 0);
    // Switching polling off and on again finds the port gone: back to scan.
    Ui_Simulate(gvPanel, MAIN_READ_BUFFER, INPUT_CLICK, 0, 0);
    Ui_Simulate(gvPanel, MAIN_READ_BUFFER, INPUT_CLICK, 0, 0);
    EXPECT_EQ(panel_visible(gvScan), 1);
    replug_and_connect();
}

}  // namespace
