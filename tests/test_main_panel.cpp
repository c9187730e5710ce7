// The main panel's actions against the simulated converter: Write all,
// Read all, the Master/Slave toggles, the device ID and polling around
// them, in both languages.
#include "tests/support/device_ui.h"

namespace {

using namespace device_ui;

class MainPanel : public DeviceUi {
protected:
    void connect(const std::string &extra = "", std::vector<std::string> args = {})
    {
        device(state(3, extra), args);
        pick();
        ASSERT_EQ(panel_visible(gvPanel), 1);
        connected_requests_ = requests().size();
    }
    void click(int control) { Ui_Simulate(gvPanel, control, INPUT_CLICK, 0, 0); }
    std::vector<std::string> frames_since_connect()
    {
        std::vector<std::string> out;
        auto req = requests();
        for (size_t i = connected_requests_; i < req.size(); ++i)
            out.push_back(req[i].second);
        return out;
    }
    std::string saved_state()
    {
        sim_->stop();
        return Read_Text_File(path("device.txt"));
    }
    size_t connected_requests_ = 0;
};

std::string frame(const char *hex_without_crc) { return To_Hex(With_Crc(Hex(hex_without_crc))); }

std::string write_frame(int address, int value)
{
    char f[40];
    std::snprintf(f, sizeof f, "01 06 00 %02X %02X %02X", address, value >> 8, value & 0xFF);
    return frame(f);
}

TEST_F(MainPanel, WriteAllSendsEverySettingAndEveryRowAndReadsBackTheSame)
{
    connect();
    const struct { int control, address, value; } settings[] = {
        {MAIN_TX1_BAUD, 3, 1}, {MAIN_TX1_FORMAT, 4, 3}, {MAIN_TX2_BAUD, 6, 2}, {MAIN_TX2_FORMAT, 7, 0},
        {MAIN_TX1_TIMEOUT, 10, 65535}, {MAIN_TX1_INTERVAL, 11, 0}, {MAIN_TX2_TIMEOUT, 12, 500}, {MAIN_TX2_INTERVAL, 13, 77},
    };
    for (auto s : settings)
        ASSERT_EQ(SetCtrlVal(gvPanel, s.control, s.value), 0);
    const char *ring[] = {"N", "03", "04", "05", "06", "10"};
    const int codes[] = {0, 3, 4, 5, 6, 16};
    for (int t = 0; t < 2; ++t)
        for (int r = 1; r <= 40; ++r) {
            int table = t ? MAIN_TX2_COMMANDS : MAIN_TX1_COMMANDS;
            SetTableCellVal(gvPanel, table, MakePoint(1, r), (r * 7 + t) % 256);
            SetTableCellValFromIndex(gvPanel, table, MakePoint(2, r), (r + t) % 6);
            SetTableCellVal(gvPanel, table, MakePoint(3, r), (r * 1637 + t) % 65536);
            SetTableCellVal(gvPanel, table, MakePoint(4, r), 65535 - r - t);
        }
    click(MAIN_WRITE_ALL);
    run_for(0.3);
    ASSERT_EQ(status(gvPanel, MAIN_STATUS), "Write OK #008000");
    EXPECT_EQ(attribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE), 0);

    std::vector<std::string> expected = {write_frame(1, 3), write_frame(3, 1), write_frame(4, 3)};
    auto rows = [&](int t, int block) {
        for (int k = 0; k < 40; ++k) {
            int r = k + 1, a = (r * 1637 + t) % 65536, c = 65535 - r - t;
            char f[64];
            std::snprintf(f, sizeof f, "01 06 00 %02X %02X %02X %02X %02X %02X %02X %02X", block, k, (r * 7 + t) % 256,
                          codes[(r + t) % 6], a >> 8, a & 0xFF, c >> 8, c & 0xFF);
            expected.push_back(frame(f));
        }
    };
    rows(0, 5);
    expected.push_back(write_frame(6, 2));
    expected.push_back(write_frame(7, 0));
    rows(1, 8);
    for (auto [a, v] : {std::pair{10, 65535}, {11, 0}, {12, 500}, {13, 77}})
        expected.push_back(write_frame(a, v));
    EXPECT_EQ(frames_since_connect(), expected);

    // Read all again: the panel shows what was written.
    for (int r = 1; r <= 40; ++r)
        SetTableCellVal(gvPanel, MAIN_TX1_COMMANDS, MakePoint(1, r), 0);
    click(MAIN_READ_ALL);
    run_for(0.3);
    ASSERT_EQ(status(gvPanel, MAIN_STATUS), "Read OK #008000");
    for (auto s : settings)
        EXPECT_EQ(value(gvPanel, s.control), s.value) << "control " << s.control;
    for (int t = 0; t < 2; ++t)
        for (int r = 1; r <= 40; ++r) {
            std::string want = std::to_string((r * 7 + t) % 256) + " " + ring[(r + t) % 6] + " " +
                               std::to_string((r * 1637 + t) % 65536) + " " + std::to_string(65535 - r - t);
            ASSERT_EQ(table_row(t ? MAIN_TX2_COMMANDS : MAIN_TX1_COMMANDS, r), want) << t << "/" << r;
        }
    std::string saved = saved_state();
    EXPECT_NE(saved.find("tx1_timeout = 65535\n"), std::string::npos);
    EXPECT_NE(saved.find("tx2_interval = 77\n"), std::string::npos);
    EXPECT_NE(saved.find("tx2_row_40 = 19 10 FF C9 FF D6\n"), std::string::npos);
}

TEST_F(MainPanel, WriteAllFailuresSayWhatWentWrong)
{
    // After first contact in mode 3 (92 requests), Write all sends: 93 mode,
    // 94-95 Tx1 baud and format, 96-135 Tx1 rows, 136-137 Tx2 baud and
    // format, 138-177 Tx2 rows (index 4 is request 142), 178-181 the rest.
    const struct { const char *fault; std::string status; size_t sent; } cases[] = {
        {"none@94", "Write Error #FF0000", 2},
        {"none@100", "Write Error #FF0000", 8},      // a row without a reply
        {"exception=2@142", "Write Error #FF0000", 50},
        {"echo@93", "Write Error #FF0000", 1},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.fault);
        connect("", {"--fault", c.fault});
        click(MAIN_WRITE_ALL);
        run_for(1.5);
        EXPECT_EQ(status(gvPanel, MAIN_STATUS), c.status);
        EXPECT_EQ(frames_since_connect().size(), c.sent);
        EXPECT_EQ(attribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE), 1) << "left where it stopped";
        EXPECT_TRUE(port_free()) << "the port is closed after the action";
        Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_SCAN);
        sim_.reset();
    }
}

TEST_F(MainPanel, TogglesInNoValidCombinationSendNothing)
{
    connect();
    for (int t : {MAIN_TX1_MASTER, MAIN_TX1_SLAVE, MAIN_TX2_MASTER, MAIN_TX2_SLAVE})
        SetCtrlVal(gvPanel, t, 0);
    click(MAIN_WRITE_ALL);
    run_for(0.3);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Setting Error #FF0000");
    EXPECT_TRUE(frames_since_connect().empty());
    EXPECT_EQ(value(gvPanel, MAIN_PROGRESS), 0);
}

TEST_F(MainPanel, StatusWordsFollowTheLanguage)
{
    connect("", {"--fault", "none@94"});
    Ui_Simulate_Menu(gvMenu, MENUBAR_LANG_TCHINESE);
    click(MAIN_WRITE_ALL);
    run_for(1.0);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "寫入錯誤 #FF0000");
    click(MAIN_READ_ALL);
    run_for(0.3);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "讀取成功 #008000");
    for (int t : {MAIN_TX1_MASTER, MAIN_TX1_SLAVE, MAIN_TX2_MASTER, MAIN_TX2_SLAVE})
        SetCtrlVal(gvPanel, t, 0);
    click(MAIN_WRITE_ALL);
    run_for(0.3);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "設定錯誤 #FF0000");
    Ui_Simulate_Menu(gvMenu, MENUBAR_LANG_ENGLISH);
    sim_->kill_hard();
    click(MAIN_READ_ALL);
    run_for(0.3);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "check USB Virtual COM #000000") << "the device is gone";
    EXPECT_EQ(panel_visible(gvScan), 1);
}

TEST_F(MainPanel, ToggleSwitchesAPortAndHidesTheDeviceIdOnlyForTwoMasters)
{
    device(state(0));
    pick();
    connected_requests_ = requests().size();
    const struct { int toggle, partner; std::vector<std::pair<int, int>> shown; } steps[] = {
        {MAIN_TX1_MASTER, MAIN_TX1_SLAVE, {{MAIN_TX1_MASTER_PIC, 1}, {MAIN_TX1_SLAVE_PIC, 0}, {MAIN_TX1_COMMANDS, 1},
                                           {MAIN_TX1_TIMEOUT, 1}, {MAIN_TX1_MASTER_AUX1, 1}, {MAIN_DEVICE_ID, 1}}},
        {MAIN_TX2_MASTER, MAIN_TX2_SLAVE, {{MAIN_TX2_MASTER_PIC, 1}, {MAIN_TX2_SLAVE_PIC, 0}, {MAIN_TX2_COMMANDS, 1},
                                           {MAIN_TX2_INTERVAL, 1}, {MAIN_TX2_MASTER_AUX2, 1}, {MAIN_DEVICE_ID, 0}}},
        {MAIN_TX1_SLAVE, MAIN_TX1_MASTER, {{MAIN_TX1_MASTER_PIC, 0}, {MAIN_TX1_SLAVE_PIC, 1}, {MAIN_TX1_COMMANDS, 0},
                                           {MAIN_TX1_INTERVAL, 0}, {MAIN_TX1_MASTER_AUX2, 0}, {MAIN_DEVICE_ID, 1}}},
    };
    for (auto &s : steps) {
        click(s.toggle);
        EXPECT_EQ(value(gvPanel, s.toggle), 1);
        EXPECT_EQ(value(gvPanel, s.partner), 0);
        for (auto [id, shown] : s.shown)
            EXPECT_EQ(attribute(gvPanel, id, ATTR_VISIBLE), shown) << "toggle " << s.toggle << ", control " << id;
    }
    // A toggle that is on stays on, and nothing moves.
    click(MAIN_TX2_MASTER);
    EXPECT_EQ(value(gvPanel, MAIN_TX2_MASTER), 1);
    EXPECT_EQ(value(gvPanel, MAIN_TX2_SLAVE), 0);
    EXPECT_EQ(attribute(gvPanel, MAIN_TX2_COMMANDS, ATTR_VISIBLE), 1);
    EXPECT_EQ(frames_since_connect().size(), 0u) << "nothing reaches the device before Write all";
}

TEST_F(MainPanel, DeviceIdIsWrittenAtOnceAlsoAfterReadAll)
{
    device(state(0));
    pick();
    connected_requests_ = requests().size();
    Ui_Simulate(gvPanel, MAIN_DEVICE_ID, INPUT_SET_VALUE, 42, 0);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Write OK #008000");
    click(MAIN_READ_ALL);
    run_for(1.5);
    EXPECT_TRUE(port_free()) << "Read all closed the port";
    Ui_Simulate(gvPanel, MAIN_DEVICE_ID, INPUT_SET_VALUE, 43, 0);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Write OK #008000") << "the field reopens the port";
    auto frames = frames_since_connect();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames.front(), write_frame(2, 42)) << "slave address 1, register 2";
    EXPECT_EQ(frames.back(), write_frame(2, 43));
    EXPECT_EQ(gvORN_ID, 1);
    EXPECT_NE(saved_state().find("device_id = 43\n"), std::string::npos);
}

TEST_F(MainPanel, DeviceIdWriteThatFailsSaysWriteError)
{
    device(state(0), {"--fault", "exception=3@13"});
    pick();
    Ui_Simulate(gvPanel, MAIN_DEVICE_ID, INPUT_SET_VALUE, 300, 0);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Write Error #FF0000");
    EXPECT_TRUE(port_free());
}

TEST_F(MainPanel, PollingPausesForEachActionAndRunsOnAfterIt)
{
    connect();
    auto buffer_reads = [&] {
        int n = 0;
        for (auto &f : frames_since_connect())
            n += f == "01 03 00 09 01 F4 95 DF";
        return n;
    };
    click(MAIN_READ_BUFFER);
    run_for(0.7);
    for (int action : {MAIN_READ_ALL, MAIN_WRITE_ALL}) {
        SCOPED_TRACE(action);
        click(action);
        EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 0) << "paused while the action runs";
        run_for(0.3);
        EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 1) << "running again";
        int before = buffer_reads();
        run_for(1.2);
        EXPECT_GT(buffer_reads(), before) << "and still reading";
        EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read buffer OK #008000");
    }
    Ui_Simulate(gvPanel, MAIN_DEVICE_ID, INPUT_SET_VALUE, 9, 0);
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 1);
    int before = buffer_reads();
    run_for(1.2);
    EXPECT_GT(buffer_reads(), before);
}

TEST_F(MainPanel, KeyboardShortcutsPressTheButtons)
{
    connect();
    Ui_Simulate(gvPanel, 0, INPUT_SHORTCUT, 'R', 0);
    run_for(0.3);
    EXPECT_EQ(status(gvPanel, MAIN_STATUS), "Read OK #008000");
    EXPECT_EQ(frames_since_connect().size(), 91u) << "Ctrl+R ran Read all";
    Ui_Simulate(gvPanel, 0, INPUT_SHORTCUT, 'B', 0);
    run_for(0.1);
    EXPECT_EQ(value(gvPanel, MAIN_READ_BUFFER), 1);
    EXPECT_EQ(attribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED), 1);
}

}  // namespace
