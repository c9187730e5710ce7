#include "panel/orn_panel_fun.h"

#include "app/shared_state.h"
#include "app/shell.h"
#include "app/status_text.h"
#include "config/orn_rw_api.h"
#include "config/register_map.h"
#include "lang/lang_api.h"
#include "menu/help_topics.h"
#include "modbus/modbus_api.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>

namespace {

// A status word in the current language.
const char *in_language(const char *english, const char *chinese)
{
    return gvLang == LANG_TCHINESE ? chinese : english;
}

bool open_port()
{
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", gvCOM);
    return OpenCom(gvCOM, name) >= 0;
}

bool polling_runs()
{
    int enabled = 0;
    GetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, &enabled);
    return enabled != 0;
}

void set_polling(bool on)
{
    SetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, on ? 1 : 0);
}

// The port is gone: say so and go back to the scan panel.
void lost_port()
{
    Set_Status(gvPanel, MAIN_STATUS, VAL_BLACK, "check USB Virtual COM");
    Return_To_Scan();
}

// Read all and Write all: pause polling, open the port, and leave the
// transfer to the timer's tick, after this callback has returned.
void start_action(int timer)
{
    if (polling_runs())
        set_polling(false);
    if (!open_port()) {
        lost_port();
        return;
    }
    SetCtrlAttribute(gvPanel, timer, ATTR_ENABLED, 1);
}

// After Read all or Write all: polling resumes on the open port when its
// toggle is on; otherwise the port is closed.
void end_action(int panel, int timer)
{
    int polling_wanted = 0;
    GetCtrlVal(gvPanel, MAIN_READ_BUFFER, &polling_wanted);
    if (!polling_wanted)
        CloseCom(gvCOM);
    SetCtrlAttribute(panel, timer, ATTR_ENABLED, 0);
    if (polling_wanted)
        set_polling(true);
}

void show(int control, int visible)
{
    SetCtrlAttribute(gvPanel, control, ATTR_VISIBLE, visible);
}

// What switching one port to master (or slave) shows and hides.
void show_port(bool tx1, bool master)
{
    show(tx1 ? MAIN_TX1_MASTER_PIC : MAIN_TX2_MASTER_PIC, master);
    show(tx1 ? MAIN_TX1_SLAVE_PIC : MAIN_TX2_SLAVE_PIC, !master);
    show(tx1 ? MAIN_TX1_COMMANDS : MAIN_TX2_COMMANDS, master);
    const int tx1_settings[] = {MAIN_TX1_TIMEOUT, MAIN_TX1_INTERVAL, MAIN_TX1_MASTER_AUX2, MAIN_TX1_MASTER_AUX1};
    const int tx2_settings[] = {MAIN_TX2_TIMEOUT, MAIN_TX2_INTERVAL, MAIN_TX2_MASTER_AUX1, MAIN_TX2_MASTER_AUX2};
    for (int control : tx1 ? tx1_settings : tx2_settings)
        show(control, master);
}

}  // namespace

void M_scan_F(int /*menubar*/, int /*item*/, void * /*callback_data*/, int /*panel*/)
{
    Return_To_Scan();
}

int Read_F(int, int, int event, void *, int, int)
{
    if (event == EVENT_COMMIT)
        start_action(MAIN_READ_TIMER);
    return 0;
}

int Write_F(int, int, int event, void *, int, int)
{
    if (event == EVENT_COMMIT)
        start_action(MAIN_WRITE_TIMER);
    return 0;
}

int T_R_PARA_F(int panel, int control, int event, void *, int, int)
{
    if (event != EVENT_TIMER_TICK)
        return 0;
    Set_Status(gvPanel, MAIN_STATUS, VAL_BLUE, in_language("Reading", "讀取中"));
    if (Read_all_Paras() > 0)
        Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, in_language("Read OK", "讀取成功"));
    else
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, in_language("Read Error", "讀取錯誤"));
    end_action(panel, control);
    return 0;
}

int T_W_PARA_F(int panel, int control, int event, void *, int, int)
{
    if (event != EVENT_TIMER_TICK)
        return 0;
    Set_Status(gvPanel, MAIN_STATUS, VAL_BLUE, in_language("Writing", "寫入中"));
    int r = Write_all_Paras();
    if (r > 0)
        Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, in_language("Write OK", "寫入成功"));
    else if (r == 0)
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, in_language("Setting Error", "設定錯誤"));
    else
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, in_language("Write Error", "寫入錯誤"));
    end_action(panel, control);
    return 0;
}

int Tx_state_F(int panel, int control, int event, void *, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    int on = 0;
    GetCtrlVal(panel, control, &on);
    if (!on) {
        // A port is always master or slave: an "on" toggle goes off only
        // when its partner is switched on.
        SetCtrlVal(panel, control, 1);
        return 0;
    }
    bool tx1 = control == MAIN_TX1_MASTER || control == MAIN_TX1_SLAVE;
    bool master = control == MAIN_TX1_MASTER || control == MAIN_TX2_MASTER;
    show_port(tx1, master);
    int partner = tx1 ? (master ? MAIN_TX1_SLAVE : MAIN_TX1_MASTER) : (master ? MAIN_TX2_SLAVE : MAIN_TX2_MASTER);
    SetCtrlVal(panel, partner, 0);

    int tx1_master = 0, tx1_slave = 0, tx2_master = 0, tx2_slave = 0;
    GetCtrlVal(gvPanel, MAIN_TX1_MASTER, &tx1_master);
    GetCtrlVal(gvPanel, MAIN_TX1_SLAVE, &tx1_slave);
    GetCtrlVal(gvPanel, MAIN_TX2_MASTER, &tx2_master);
    GetCtrlVal(gvPanel, MAIN_TX2_SLAVE, &tx2_slave);
    if ((tx2_slave && tx1_slave) || (tx2_slave && tx1_master) || (tx2_master && tx1_slave))
        show(MAIN_DEVICE_ID, 1);
    else if (tx2_master && tx1_master)
        show(MAIN_DEVICE_ID, 0);
    return 0;
}

int ORN_ID_change(int panel, int control, int event, void *, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    bool was_polling = polling_runs();
    if (was_polling)
        set_polling(false);
    // The port is opened as the buttons open it: a write needs it, whatever
    // the last action left.
    if (!open_port()) {
        lost_port();
        return 0;
    }
    Set_Status(gvPanel, MAIN_STATUS, VAL_BLUE, "Writing");
    int id = 0, echo = 0;
    GetCtrlVal(panel, control, &id);
    if (ORN_RW(gvORN_ID, 6, REG_DEVICE_ID, id, ORN_RW_DELAY_S, &echo) < 0) {
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, "Write Error");
        CloseCom(gvCOM);
        return 0;
    }
    Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, "Write OK");
    if (was_polling)
        set_polling(true);
    else
        CloseCom(gvCOM);
    return 0;
}

int TB_F(int /*panel*/, int /*control*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event == EVENT_RIGHT_CLICK)
        Show_Help_Topic(HELP_COMMANDS);
    return 0;
}
