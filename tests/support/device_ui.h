// A main panel connected to the simulated converter: the device in a known
// state on a real pty, the real panels offscreen, and ways to look at both.
#pragma once

#include "app/shared_state.h"
#include "app/shell.h"
#include "platform/device_list.h"
#include "platform/orn_status.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

namespace device_ui {

constexpr int kCom = 230;
const int kFunctionCycle[] = {0, 3, 4, 5, 6, 16, 7};   // 7 is no function the ring knows
const char *const kRingOf[] = {"N", "03", "04", "05", "06", "10", "N"};

// Row r of table t in the device's state.
inline std::vector<int> device_row(int table, int r)
{
    return {r + table * 50, kFunctionCycle[(r + table) % 7], r, 2 * r, table, r + 1};
}

inline int device_word(int i) { return (i * 131 + 7) % 65536 - 32768; }

class DeviceUi : public UiTree {
protected:
    void SetUp() override
    {
        UiTree::SetUp();
        Com_Set_Default_Timeout(0.3);
        std::filesystem::create_directories(dir_ + "/sys/class/tty");
        Device_List_Set_Sys_Root(dir_ + "/sys");   // only the simulator is found
        ASSERT_EQ(App_Start(), 0) << Ui_Load_Error();
    }
    void TearDown() override
    {
        CloseCom(kCom);
        sim_.reset();
        Device_List_Set_Sys_Root("");
        UiTree::TearDown();
    }
    // The device's state: every setting distinct, both tables full.
    std::string state(int mode, const std::string &extra = "")
    {
        std::ostringstream s;
        s << "mode = " << mode << "\nident = 0xE8A5\ndevice_id = 17\ntx1_baud = 5\ntx1_format = 2\n"
          << "tx2_baud = 7\ntx2_format = 3\ntx1_timeout = 1111\ntx1_interval = 2222\n"
          << "tx2_timeout = 3333\ntx2_interval = 4444\nbuffer_live = 0\n";
        for (int t = 1; t <= 2; ++t)
            for (int r = 1; r <= 40; ++r) {
                char line[64];
                std::vector<int> b = device_row(t, r);
                std::snprintf(line, sizeof line, "tx%d_row_%d = %02X %02X %02X %02X %02X %02X\n", t, r, b[0], b[1],
                              b[2], b[3], b[4], b[5]);
                s << line;
            }
        for (int i = 0; i < 500; i += 10) {
            s << "buffer_" << i << " =";
            for (int k = i; k < i + 10; ++k)
                s << " " << device_word(k);
            s << "\n";
        }
        return s.str() + extra;
    }
    // Starts the simulator in this state and finds it with a re-scan.
    void device(const std::string &state_text, std::vector<std::string> args = {})
    {
        Write_Text_File(path("device.txt"), state_text);
        args.insert(args.end(), {"--state", path("device.txt"), "--log", path("traffic.log")});
        sim_ = std::make_unique<Simulator>(kCom, args);
        Ui_Simulate(gvScan, SCAN_RESCAN, INPUT_CLICK, 0, 0);
        int n = 0;
        GetNumListItems(gvScan, SCAN_COM_LIST, &n);
        ASSERT_EQ(n, 1);
    }
    void pick() { Ui_Simulate(gvScan, SCAN_COM_LIST, INPUT_CLICK, 1, 0); }

    int value(int panel, int id)
    {
        int v = -99999;
        GetCtrlVal(panel, id, &v);
        return v;
    }
    std::string text(int panel, int id)
    {
        char t[128] = "?";
        GetCtrlVal(panel, id, t, sizeof t);
        return t;
    }
    int attribute(int panel, int id, int attr)
    {
        int v = -1;
        GetCtrlAttribute(panel, id, attr, &v);
        return v;
    }
    int panel_visible(int panel)
    {
        int v = -1;
        GetPanelAttribute(panel, ATTR_VISIBLE, &v);
        return v;
    }
    std::string status(int panel, int id)
    {
        char hex[16];
        std::snprintf(hex, sizeof hex, " #%06X", attribute(panel, id, ATTR_TEXT_COLOR));
        return text(panel, id) + hex;
    }
    // Row r of a table as "slave function address count".
    std::string table_row(int table, int r)
    {
        int a = 0, c = 0, s = 0;
        char f[8] = "?";
        GetTableCellVal(gvPanel, table, MakePoint(1, r), &s);
        GetTableCellVal(gvPanel, table, MakePoint(2, r), f, sizeof f);
        GetTableCellVal(gvPanel, table, MakePoint(3, r), &a);
        GetTableCellVal(gvPanel, table, MakePoint(4, r), &c);
        return std::to_string(s) + " " + f + " " + std::to_string(a) + " " + std::to_string(c);
    }
    std::string expected_row(int t, int r)
    {
        std::vector<int> b = device_row(t, r);
        return std::to_string(b[0]) + " " + kRingOf[(r + t) % 7] + " " + std::to_string(b[2] * 256 + b[3]) + " " +
               std::to_string(b[4] * 256 + b[5]);
    }
    // The requests the device received, as hex frames, and their times.
    std::vector<std::pair<double, std::string>> requests()
    {
        std::vector<std::pair<double, std::string>> out;
        for (const std::string &line : sim_->log_lines(path("traffic.log")))
            if (line.rfind("rx ", 0) == 0) {
                size_t sp = line.find(' ', 3);
                out.push_back({std::stod(line.substr(3, sp - 3)), line.substr(sp + 1)});
            }
        return out;
    }
    int row_reads()
    {
        int n = 0;
        for (auto &[t, frame] : requests())
            n += frame.rfind("01 03 00 05", 0) == 0 || frame.rfind("01 03 00 08", 0) == 0;
        return n;
    }
    bool port_free() { return Open_In_Other_Process(kCom) == 0; }

    std::unique_ptr<Simulator> sim_;
};


}  // namespace device_ui
