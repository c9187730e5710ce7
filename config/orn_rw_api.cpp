#include "config/orn_rw_api.h"

#include "app/shared_state.h"
#include "app/shell.h"
#include "app/status_text.h"
#include "config/command_row.h"
#include "config/register_map.h"
#include "modbus/modbus_api.h"
#include "platform/orn_status.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr int kReadAllSteps = 15;   // the progress indicator's steps of Read all and Write all

// Which port is master, for each mode word.
struct ModeView {
    int tx1_master, tx2_master;
};
constexpr ModeView kModes[4] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

int read_register(int address, int *value)
{
    return ORN_RW(gvORN_ID, 3, address, 1, ORN_RW_DELAY_S, value);
}

// Reads one register into a numeric or ring control.
int read_into(int address, int control)
{
    int value = 0;
    int r = read_register(address, &value);
    if (r > 0)
        SetCtrlVal(gvPanel, control, value);
    return r;
}

void show(int control, bool visible)
{
    SetCtrlAttribute(gvPanel, control, ATTR_VISIBLE, visible ? 1 : 0);
}

// The toggles and pictures of a known mode.
void show_mode(const ModeView &m)
{
    show(MAIN_TX1_MASTER_PIC, m.tx1_master);
    show(MAIN_TX1_SLAVE_PIC, !m.tx1_master);
    SetCtrlVal(gvPanel, MAIN_TX1_MASTER, m.tx1_master);
    SetCtrlVal(gvPanel, MAIN_TX1_SLAVE, !m.tx1_master);
    show(MAIN_TX2_MASTER_PIC, m.tx2_master);
    show(MAIN_TX2_SLAVE_PIC, !m.tx2_master);
    SetCtrlVal(gvPanel, MAIN_TX2_MASTER, m.tx2_master);
    SetCtrlVal(gvPanel, MAIN_TX2_SLAVE, !m.tx2_master);
}

void show_master_controls(const ModeView &m)
{
    show(MAIN_TX1_TIMEOUT, m.tx1_master);
    show(MAIN_TX1_INTERVAL, m.tx1_master);
    show(MAIN_TX1_MASTER_AUX2, m.tx1_master);
    show(MAIN_TX1_MASTER_AUX1, m.tx1_master);
    show(MAIN_TX2_TIMEOUT, m.tx2_master);
    show(MAIN_TX2_INTERVAL, m.tx2_master);
    show(MAIN_TX2_MASTER_AUX1, m.tx2_master);
    show(MAIN_TX2_MASTER_AUX2, m.tx2_master);
    show(MAIN_DEVICE_ID, !(m.tx1_master && m.tx2_master));
}

// Reads command rows 1-40 of a table, showing each as it arrives.
int read_table(int block, int table)
{
    for (int row = 1; row <= COMMAND_ROWS; ++row) {
        Set_Array(aUSB_Vcom, gvORN_ID, 3, block, row);
        int bytes[6];
        int r = ORN_Read_Array(aUSB_Vcom, 8, ROW_READ_REPLY, 3, bytes);
        if (r <= 0)
            return r;
        Command_Row_Show(gvPanel, table, row, bytes);
    }
    return 1;
}

// The progress indicator of Read all and Write all: shown from 0 of 15,
// one step per stage, and at the end set to 15 and hidden.
void start_progress()
{
    SetCtrlAttribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE, 1);
    SetCtrlAttribute(gvPanel, MAIN_PROGRESS, ATTR_MAX_VALUE, kReadAllSteps);
    SetCtrlVal(gvPanel, MAIN_PROGRESS, 0);
}

void advance()
{
    Advance_Progress(gvPanel, MAIN_PROGRESS);
}

void finish_progress()
{
    int steps = 0;
    GetCtrlVal(gvPanel, MAIN_PROGRESS, &steps);
    if (steps < kReadAllSteps)
        SetCtrlVal(gvPanel, MAIN_PROGRESS, kReadAllSteps);
    SetCtrlAttribute(gvPanel, MAIN_PROGRESS, ATTR_VISIBLE, 0);
}

// A single-register setting and the control that shows it.
struct Setting {
    int control, address;
};

// The settings Read all and Write all move one by one, in this order.
constexpr Setting kTx1Settings[] = {{MAIN_TX1_BAUD, REG_TX1_BAUD}, {MAIN_TX1_FORMAT, REG_TX1_FORMAT}};
constexpr Setting kTx2Settings[] = {{MAIN_TX2_BAUD, REG_TX2_BAUD}, {MAIN_TX2_FORMAT, REG_TX2_FORMAT}};
constexpr Setting kTimingSettings[] = {{MAIN_TX1_TIMEOUT, REG_TX1_TIMEOUT}, {MAIN_TX1_INTERVAL, REG_TX1_INTERVAL},
                                       {MAIN_TX2_TIMEOUT, REG_TX2_TIMEOUT}, {MAIN_TX2_INTERVAL, REG_TX2_INTERVAL}};

// Reads each setting into its control, one progress step after each.
template <size_t N>
int read_settings(const Setting (&settings)[N])
{
    for (const Setting &s : settings) {
        int r = read_into(s.address, s.control);
        if (r <= 0)
            return r;
        advance();
    }
    return 1;
}

}  // namespace

int Read_all_Paras()
{
    start_progress();

    int ident = 0, r;
    if ((r = read_register(REG_IDENT, &ident)) <= 0)
        return r;
    if (((ident >> 8) & 0xFF) != IDENT_MARKER)
        return -1;
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", ident & 0xFF);
    SetCtrlVal(gvPanel, MAIN_REG1F00_TEXT, text);
    advance();

    if ((r = read_into(REG_DEVICE_ID, MAIN_DEVICE_ID)) <= 0)
        return r;
    advance();

    int mode = 0;
    if ((r = read_register(REG_MODE, &mode)) <= 0)
        return r;
    // A mode word the program does not know leaves the toggles as they are
    // and shows no port as master: no command table is shown or read.
    ModeView view = {0, 0};
    if (mode >= 0 && mode <= 3) {
        view = kModes[mode];
        show_mode(view);
    }
    show(MAIN_TX1_COMMANDS, view.tx1_master);
    show(MAIN_TX2_COMMANDS, view.tx2_master);
    advance();
    show_master_controls(view);
    advance();

    if ((r = read_settings(kTx1Settings)) <= 0)
        return r;
    if (view.tx1_master && (r = read_table(BLOCK_TX1_COMMANDS, MAIN_TX1_COMMANDS)) <= 0)
        return r;
    advance();
    if ((r = read_settings(kTx2Settings)) <= 0)
        return r;
    if (view.tx2_master && (r = read_table(BLOCK_TX2_COMMANDS, MAIN_TX2_COMMANDS)) <= 0)
        return r;
    advance();
    if ((r = read_settings(kTimingSettings)) <= 0)
        return r;

    finish_progress();
    return 1;
}

namespace {

// Writes the value a control shows into a register.
int write_from(int control, int address)
{
    int value = 0, echo = 0;
    GetCtrlVal(gvPanel, control, &value);
    return ORN_RW(gvORN_ID, 6, address, value, ORN_RW_DELAY_S, &echo);
}

// Writes each setting's control value into its register, one progress step
// after each.
template <size_t N>
int write_settings(const Setting (&settings)[N])
{
    for (const Setting &s : settings) {
        int r = write_from(s.control, s.address);
        if (r <= 0)
            return r;
        advance();
    }
    return 1;
}

// Sends rows 1-40 of a table, each with its 0-based row index.
int write_table(int table, int block)
{
    for (int index = 0; index < COMMAND_ROWS; ++index) {
        int bytes[6];
        Command_Row_Take(gvPanel, table, index + 1, bytes);
        int length = Set_W_Array(aUSB_Vcom, gvORN_ID, 6, block, 3, bytes, (signed char)index);
        int r = ORN_Write_Para(aUSB_Vcom, length, length);
        if (r == 0)
            return ORN_TIMEOUT;   // no reply is a failed write, not a wrong setting
        if (r < 0)
            return r;
    }
    return 1;
}

// The mode word the four Master/Slave toggles stand for, or -1.
int mode_of_toggles()
{
    int tx1_master = 0, tx1_slave = 0, tx2_master = 0, tx2_slave = 0;
    GetCtrlVal(gvPanel, MAIN_TX1_MASTER, &tx1_master);
    GetCtrlVal(gvPanel, MAIN_TX1_SLAVE, &tx1_slave);
    GetCtrlVal(gvPanel, MAIN_TX2_MASTER, &tx2_master);
    GetCtrlVal(gvPanel, MAIN_TX2_SLAVE, &tx2_slave);
    if (tx2_slave && tx1_slave)
        return 0;
    if (tx2_slave && tx1_master)
        return 1;
    if (tx2_master && tx1_slave)
        return 2;
    if (tx2_master && tx1_master)
        return 3;
    return -1;
}

}  // namespace

int Write_all_Paras()
{
    start_progress();
    int mode = mode_of_toggles();
    if (mode < 0)
        return 0;
    int echo = 0, r;
    if ((r = ORN_RW(gvORN_ID, 6, REG_MODE, mode, ORN_RW_DELAY_S, &echo)) <= 0)
        return r;
    advance();
    int tx1_master = 0, tx2_master = 0;   // the tables follow the toggles themselves
    GetCtrlVal(gvPanel, MAIN_TX1_MASTER, &tx1_master);
    GetCtrlVal(gvPanel, MAIN_TX2_MASTER, &tx2_master);
    if ((r = write_settings(kTx1Settings)) <= 0)
        return r;
    if (tx1_master && (r = write_table(MAIN_TX1_COMMANDS, BLOCK_TX1_COMMANDS)) <= 0)
        return r;
    advance();
    if ((r = write_settings(kTx2Settings)) <= 0)
        return r;
    if (tx2_master && (r = write_table(MAIN_TX2_COMMANDS, BLOCK_TX2_COMMANDS)) <= 0)
        return r;
    advance();
    if ((r = write_settings(kTimingSettings)) <= 0)
        return r;
    finish_progress();
    return 1;
}

int Read_data_buffer()
{
    int words[DATA_BUFFER_WORDS] = {};
    int r = ORN_RW(gvORN_ID, 3, BLOCK_DATA_BUFFER, DATA_BUFFER_WORDS, ORN_RW_DELAY_S, words);
    if (r <= 0)
        return r;
    for (int i = 0; i < DATA_BUFFER_WORDS; ++i)
        SetTableCellVal(gvPanel, MAIN_DATA_BUFFER, MakePoint(1, i + 1), (int16_t)(words[i] & 0xFFFF));
    return 1;
}

int Read_data_buf_F(int panel, int control, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event != EVENT_COMMIT)
        return 0;
    int on = 0;
    GetCtrlVal(panel, control, &on);
    if (!on)
        return 0;   // polling ends at the next tick
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", gvCOM);
    if (OpenCom(gvCOM, name) < 0) {
        Set_Status(gvPanel, MAIN_STATUS, VAL_BLACK, "check USB Virtual COM");
        SetCtrlVal(panel, control, 0);
        Return_To_Scan();
        return 0;
    }
    SetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, 1);
    return 0;
}

int Rd_buf_T_F(int /*panel*/, int /*control*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event != EVENT_TIMER_TICK)
        return 0;
    Set_Status(gvPanel, MAIN_STATUS, VAL_BLUE, "Reading buffer");
    if (Read_data_buffer() <= 0) {
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, "Read buffer Error");
        SetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, 0);
        CloseCom(gvCOM);
        return 0;
    }
    Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, "Read buffer OK");
    int on = 0;
    GetCtrlVal(gvPanel, MAIN_READ_BUFFER, &on);
    if (!on) {
        SetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, 0);
        Set_Status(gvPanel, MAIN_STATUS, VAL_BLACK, "---");
    }
    return 0;
}
