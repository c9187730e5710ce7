// From the scan panel to a filled main panel: first contact, Read all and
// the data buffer, against the simulated converter on a real pty, with the
// real panels offscreen.
#include "app/shared_state.h"
#include "app/shell.h"
#include "config/orn_rw_api.h"
#include "platform/device_list.h"
#include "platform/orn_status.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "tests/support/device_ui.h"
#include "ui/ui_ids.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using namespace device_ui;
using FirstContact = DeviceUi;

TEST_F(FirstContact, PickingTheConverterShowsItsWholeConfiguration)
{
    device(state(3));
    pick();
    EXPECT_EQ(panel_visible(gvScan), 0);
    EXPECT_EQ(panel_visible(gvPanel), 1);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read OK #008000");
    EXPECT_EQ(status(gvScan, SCAN_STATUS), "... #000000");
    EXPECT_EQ(attribute(gvScan, SCAN_PROGRESS, ATTR_VISIBLE), 0);
    EXPECT_EQ(attribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE), 0);
    EXPECT_EQ(text(gvPanel, MAIN_REG1F00_TEXT), "0xA5");
    const struct { int id, value; } settings[] = {
        {MAIN_DEVICE_ID, 17},   {MAIN_TX1_BAUD, 5},        {MAIN_TX1_FORMAT, 2},      {MAIN_TX2_BAUD, 7},
        {MAIN_TX2_FORMAT, 3},   {MAIN_TX1_TIMEOUT, 1111},  {MAIN_TX1_INTERVAL, 2222}, {MAIN_TX2_TIMEOUT, 3333},
        {MAIN_TX2_INTERVAL, 4444}, {MAIN_TX1_MASTER, 1},   {MAIN_TX1_SLAVE, 0},       {MAIN_TX2_MASTER, 1},
        {MAIN_TX2_SLAVE, 0},
    };
    for (auto s : settings)
        EXPECT_EQ(value(gvPanel, s.id), s.value) << "control " << s.id;
    for (int t = 1; t <= 2; ++t)
        for (int r = 1; r <= 40; ++r)
            ASSERT_EQ(table_row(t == 1 ? MAIN_TX1_COMMANDS : MAIN_TX2_COMMANDS, r), expected_row(t, r)) << t << "/" << r;
    for (int i = 0; i < 500; ++i) {
        int v = 0;
        GetTableCellVal(gvPanel, MAIN_DATA_BUFFER, MakePoint(1, i + 1), &v);
        ASSERT_EQ(v, device_word(i)) << "word " << i;
    }
    EXPECT_EQ(attribute(gvPanel, MAIN_DEVICE_ID, ATTR_VISIBLE), 0) << "both masters: no device ID";
    EXPECT_EQ(gvCOM, kCom);
    EXPECT_EQ(gvORN_ID, 1);
    EXPECT_EQ(Open_In_Other_Process(kCom), COM_ERR_BUSY) << "the port stays open";
    int zoom = -1;
    GetPanelAttribute(gvPanel, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_NO_ZOOM);
}

TEST_F(FirstContact, EveryFrameAndWaitOfFirstContact)
{
    device(state(3));
    pick();
    auto req = requests();
    std::vector<std::string> expected;
    auto reg = [](int address) {
        char f[32];
        std::snprintf(f, sizeof f, "01 03 %02X %02X 00 01", address >> 8, address & 0xFF);
        return To_Hex(With_Crc(Hex(f)));
    };
    auto row = [](int block, int r) {
        char f[32];
        std::snprintf(f, sizeof f, "01 03 00 %02X 00 %02X", block, r);
        return To_Hex(With_Crc(Hex(f)));
    };
    for (int a : {0x1F00, 2, 1, 3, 4})
        expected.push_back(reg(a));
    for (int r = 1; r <= 40; ++r)
        expected.push_back(row(5, r));
    for (int a : {6, 7})
        expected.push_back(reg(a));
    for (int r = 1; r <= 40; ++r)
        expected.push_back(row(8, r));
    for (int a : {10, 11, 12, 13})
        expected.push_back(reg(a));
    expected.push_back("01 03 00 09 01 F4 95 DF");
    ASSERT_EQ(req.size(), expected.size());
    // The device sees each request a little after it was sent, and on a
    // busy machine now and then some milliseconds later: a late request
    // shortens the gap before the next one.  So the typical gap (median) is
    // held to the wait, and the whole span to the sum of the waits.
    double waits = 0;
    std::vector<double> single_gaps, row_gaps;
    for (size_t i = 0; i < req.size(); ++i) {
        EXPECT_EQ(req[i].second, expected[i]) << "request " << i + 1;
        if (i + 1 < req.size()) {
            bool row = req[i].second.rfind("01 03 00 05", 0) == 0 || req[i].second.rfind("01 03 00 08", 0) == 0;
            (row ? row_gaps : single_gaps).push_back(req[i + 1].first - req[i].first);
            waits += row ? 0.01 : 0.1;
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    EXPECT_GE(median(single_gaps), 0.1);
    EXPECT_GE(median(row_gaps), 0.01);
    EXPECT_EQ(single_gaps.size(), 11u);
    EXPECT_EQ(row_gaps.size(), 80u);
    EXPECT_GE(req.back().first - req.front().first, waits - 0.002);
}

TEST_F(FirstContact, ModesDecideWhatIsShownAndWhichTablesAreRead)
{
    const struct { int mode, tx1, tx2, rows; } cases[] = {{0, 0, 0, 0}, {1, 1, 0, 40}, {2, 0, 1, 40}, {3, 1, 1, 80}};
    for (auto c : cases) {
        SCOPED_TRACE(c.mode);
        device(state(c.mode));
        pick();
        ASSERT_EQ(panel_visible(gvPanel), 1);
        EXPECT_EQ(row_reads(), c.rows);
        const struct { int id, shown; } visible[] = {
            {MAIN_TX1_COMMANDS, c.tx1},    {MAIN_TX1_TIMEOUT, c.tx1},     {MAIN_TX1_INTERVAL, c.tx1},
            {MAIN_TX1_MASTER_AUX1, c.tx1}, {MAIN_TX1_MASTER_AUX2, c.tx1}, {MAIN_TX1_MASTER_PIC, c.tx1},
            {MAIN_TX1_SLAVE_PIC, !c.tx1},  {MAIN_TX2_COMMANDS, c.tx2},    {MAIN_TX2_TIMEOUT, c.tx2},
            {MAIN_TX2_INTERVAL, c.tx2},    {MAIN_TX2_MASTER_AUX1, c.tx2}, {MAIN_TX2_MASTER_AUX2, c.tx2},
            {MAIN_TX2_MASTER_PIC, c.tx2},  {MAIN_TX2_SLAVE_PIC, !c.tx2},  {MAIN_DEVICE_ID, !(c.tx1 && c.tx2)},
        };
        for (auto v : visible)
            EXPECT_EQ(attribute(gvPanel, v.id, ATTR_VISIBLE), v.shown) << "control " << v.id;
        EXPECT_EQ(value(gvPanel, MAIN_TX1_MASTER), c.tx1);
        EXPECT_EQ(value(gvPanel, MAIN_TX2_SLAVE), !c.tx2);
        Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_SCAN);
        sim_.reset();
    }
}

TEST_F(FirstContact, UnknownModeReadsOnWithoutTablesAndLeavesTheToggles)
{
    device(state(7));
    SetCtrlVal(gvPanel, MAIN_TX1_MASTER, 1);
    SetCtrlVal(gvPanel, MAIN_TX1_SLAVE, 0);
    pick();
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read OK #008000");
    EXPECT_EQ(row_reads(), 0);
    EXPECT_EQ(value(gvPanel, MAIN_TX1_MASTER), 1) << "toggles as they were";
    EXPECT_EQ(attribute(gvPanel, MAIN_TX1_COMMANDS, ATTR_VISIBLE), 0);
    EXPECT_EQ(attribute(gvPanel, MAIN_TX2_COMMANDS, ATTR_VISIBLE), 0);
    EXPECT_EQ(value(gvPanel, MAIN_TX2_INTERVAL), 4444) << "the reading went on";
}

TEST_F(FirstContact, EmptyListSaysSoAndOpensNothing)
{
    Ui_Script_Answer("");
    Ui_Simulate(gvScan, SCAN_COM_LIST, INPUT_KEY_ENTER, 0, 0);
    EXPECT_EQ(std::string(Ui_Popup_Log()), "|no COM port available\n");
    EXPECT_EQ(gvCOM, 0);
    EXPECT_EQ(panel_visible(gvScan), 1);
}

TEST_F(FirstContact, PortGoneSinceTheScan)
{
    device(state(3));
    gvCOM = 225;   // an earlier pick
    sim_->stop();
    pick();
    EXPECT_EQ(status(gvScan, SCAN_STATUS), "Open USB Com Error #FF0000");
    EXPECT_EQ(gvCOM, 225) << "the failed port is never recorded";
    EXPECT_EQ(attribute(gvScan, SCAN_PROGRESS, ATTR_VISIBLE), 0);
    EXPECT_EQ(panel_visible(gvScan), 1);
}

TEST_F(FirstContact, AnotherDeviceIsRefusedAtTheIdentificationWord)
{
    device(state(3, "ident = 0x12A5\n"));
    SetCtrlVal(gvPanel, MAIN_REG1F00_TEXT, "0x00");
    pick();
    EXPECT_EQ(status(gvScan, SCAN_STATUS), "Read error #FF0000");
    EXPECT_EQ(value(gvScan, SCAN_PROGRESS), 1);
    EXPECT_EQ(attribute(gvScan, SCAN_PROGRESS, ATTR_VISIBLE), 1);
    EXPECT_EQ(text(gvPanel, MAIN_REG1F00_TEXT), "0x00");
    EXPECT_EQ(attribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE), 1);
    EXPECT_EQ(value(gvPanel, MAIN_PROGRESS), 0);
    EXPECT_EQ(panel_visible(gvPanel), 0);
    EXPECT_TRUE(port_free()) << "the port is closed again";
    EXPECT_EQ(requests().size(), 1u) << "nothing is read after the identification word";
}

TEST_F(FirstContact, TimeOutOnTx1Row17StopsThereWithRowsBeforeItShown)
{
    // Requests: ident, device ID, mode, Tx1 baud, Tx1 format, rows 1..: row 17 is request 22.
    device(state(3), {"--fault", "none@22"});
    for (int r = 1; r <= 40; ++r)
        SetTableCellVal(gvPanel, MAIN_TX1_COMMANDS, MakePoint(1, r), 255);
    SetCtrlVal(gvPanel, MAIN_TX2_BAUD, 0);
    pick();
    EXPECT_EQ(status(gvScan, SCAN_STATUS), "Read error #FF0000");
    EXPECT_EQ(value(gvScan, SCAN_PROGRESS), 1);
    for (int r = 1; r <= 16; ++r)
        EXPECT_EQ(table_row(MAIN_TX1_COMMANDS, r), expected_row(1, r));
    for (int r = 17; r <= 40; ++r) {
        int slave = 0;
        GetTableCellVal(gvPanel, MAIN_TX1_COMMANDS, MakePoint(1, r), &slave);
        EXPECT_EQ(slave, 255) << "row " << r << " keeps what it showed";
    }
    EXPECT_EQ(value(gvPanel, MAIN_TX2_BAUD), 0) << "nothing after the failing row is touched";
    EXPECT_EQ(value(gvPanel, MAIN_PROGRESS), 6);
    EXPECT_EQ(requests().size(), 22u);
    EXPECT_TRUE(port_free());
}

TEST_F(FirstContact, FailedBufferReadAfterAGoodReadAll)
{
    device(state(3), {"--fault", "crc_lo@92"});   // 91 transfers of Read all, then the buffer
    pick();
    EXPECT_EQ(status(gvScan, SCAN_STATUS), "Read error #FF0000");
    EXPECT_EQ(value(gvScan, SCAN_PROGRESS), 2);
    EXPECT_EQ(panel_visible(gvPanel), 0);
    EXPECT_EQ(value(gvPanel, MAIN_TX2_INTERVAL), 4444) << "Read all had filled the panel";
    EXPECT_TRUE(port_free());
}

TEST_F(FirstContact, MaximisedWhenAskedAndEnterPicksAsAClickDoes)
{
    device(state(0));
    SetCtrlVal(gvScan, SCAN_MODE, 1);
    Ui_Simulate(gvScan, SCAN_COM_LIST, INPUT_KEY_ENTER, 0, 0);
    EXPECT_EQ(panel_visible(gvPanel), 1);
    int zoom = -1;
    GetPanelAttribute(gvPanel, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_MAXIMIZE);
}

TEST_F(FirstContact, RenderedForPeopleToLookAt)
{
    device("");   // the simulator's own initial configuration
    pick();
    EXPECT_EQ(Ui_Grab(gvPanel, (Screens_Dir() + "/main-panel-connected.png").c_str()), 0);
}

class Polling : public FirstContact {
protected:
    void connect(std::vector<std::string> args = {})
    {
        device(state(0), args);
        pick();
        ASSERT_EQ(panel_visible(gvPanel), 1);
    }
    void toggle() { Ui_Simulate(gvPanel, MAIN_READ_BUFFER, INPUT_CLICK, 0, 0); }
    int buffer_reads()
    {
        int n = 0;
        for (auto &[t, frame] : requests())
            n += frame == "01 03 00 09 01 F4 95 DF";
        return n;
    }
};

TEST_F(Polling, OnTicksFillTheTableOffReadsOnceMore)
{
    connect();
    int before = buffer_reads();
    toggle();
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 1);
    run_for(1.3);
    int during = buffer_reads() - before;
    EXPECT_GE(during, 2);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read buffer OK #008000");
    char on_text[32];
    GetCtrlAttribute(gvPanel, MAIN_READ_BUFFER, ATTR_ON_TEXT, on_text, sizeof on_text);
    EXPECT_STREQ(on_text, "Reading");
    toggle();
    int at_off = buffer_reads();
    run_for(1.2);
    EXPECT_EQ(buffer_reads(), at_off + 1) << "exactly one more read";
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "--- #000000");
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 0);
    EXPECT_EQ(Open_In_Other_Process(kCom), COM_ERR_BUSY) << "switching off never closes the port";
}

TEST_F(Polling, FailedTickStopsWithReadBufferError)
{
    connect({"--fault", "none@14+"});   // first contact in mode 0: 11 + 1; one good tick, then silence
    toggle();
    run_for(2.0);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read buffer Error #FF0000");
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 0);
    EXPECT_EQ(value(gvPanel, MAIN_READ_BUFFER), 1) << "the toggle still shows on";
    EXPECT_TRUE(port_free());
    int reads = buffer_reads();
    run_for(0.8);
    EXPECT_EQ(buffer_reads(), reads) << "no tick follows";
}

TEST_F(Polling, SwitchingOnWithThePortGoneReturnsToScan)
{
    connect();
    CloseCom(kCom);
    sim_->stop();
    toggle();
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "check USB Virtual COM #000000");
    EXPECT_EQ(value(gvPanel, MAIN_READ_BUFFER), 0);
    EXPECT_EQ(panel_visible(gvPanel), 0);
    EXPECT_EQ(panel_visible(gvScan), 1);
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 0);
}

}  // namespace
