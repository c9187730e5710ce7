#include "discovery/scan_virtual_com_fun.h"

#include "app/shared_state.h"
#include "app/status_text.h"
#include "config/orn_rw_api.h"
#include "menu/help_topics.h"
#include "platform/device_list.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kLineMax = 255;   // longer device lines are cut to this

// Reads the next line, without its end, into line; characters past
// kLineMax are dropped.  False at the end of the file: a last line without
// a line end is not handled.
bool read_line(FILE *in, char (&line)[kLineMax + 1])
{
    int n = 0;
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c == '\n') {
            line[n] = '\0';
            return true;
        }
        if (n < kLineMax)
            line[n++] = (char)c;
    }
    return false;
}

// Copies the lines of `from` that `keep` accepts into `to`; false when
// either file cannot be opened.
bool filter_lines(const char *from, const char *to, bool (*keep)(const char *))
{
    FILE *in = std::fopen(from, "r");
    FILE *out = std::fopen(to, "w");
    bool ok = in && out;
    char line[kLineMax + 1];
    while (ok && read_line(in, line))
        if (keep(line))
            std::fprintf(out, "%s\n", line);
    if (in)
        std::fclose(in);
    if (out)
        std::fclose(out);
    return ok;
}

bool names_a_port(const char *line) { return find_COMx(line) != 0; }
bool names_the_converter(const char *line) { return find_COMx_ORN(line) == 1; }

// Pass 3: every port of "ALL_COM.txt" that opens goes into the list and
// into "Com_Num.txt".
void probe_ports()
{
    FILE *in = std::fopen("ALL_COM.txt", "r");
    FILE *out = std::fopen("Com_Num.txt", "w");
    ClearListCtrl(gvScan, SCAN_COM_LIST);
    char line[kLineMax + 1];
    while (in && out && read_line(in, line)) {
        int port = find_COMx(line);
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", port);
        if (OpenCom(port, name) >= 0) {
            InsertListItem(gvScan, SCAN_COM_LIST, -1, line, port);
            std::fprintf(out, "%s\n", name);
        }
        CloseCom(port);
    }
    if (in)
        std::fclose(in);
    if (out)
        std::fclose(out);
}

}  // namespace

int find_COMx(const char *line)
{
    static const char kAwaited[] = "(COM";   // looked for in order, gaps allowed
    int state = 0;
    long number = 0;
    bool digits = false;
    for (const char *p = line; *p; ++p) {
        if (state < 4) {
            if (*p == kAwaited[state])
                ++state;
        } else if (*p == ')') {
            return digits && number >= 1 && number <= 256 ? (int)number : 0;
        } else if (*p >= '0' && *p <= '9') {
            digits = true;
            if (number <= 256)   // past 256 it is out of range anyway
                number = number * 10 + (*p - '0');
        }
    }
    return 0;
}

int find_COMx_ORN(const char *line)
{
    static const char kWord[] = "Modbus";
    int matched = 0;
    for (const char *p = line; *p; ++p) {
        matched = *p == kWord[matched] ? matched + 1 : 0;
        if (matched == 6)
            return 1;
    }
    return 0;
}

int Get_Windows_Device_info(const char *file_name)
{
    std::vector<std::string> names;
    if (!Device_List_Friendly_Names(names))
        return 0;
    FILE *out = std::fopen(file_name, "w");
    if (!out)
        return 0;
    for (const std::string &name : names)
        std::fprintf(out, "%s\n", name.c_str());
    std::fclose(out);
    return 0;
}

void Scan_USB_Virtual_ComPort_to_list()
{
    // A folder that cannot be written ends the scan with an empty list.
    if (!filter_lines("All_DEV.txt", "ALL_COM.txt", names_a_port) ||
        !filter_lines("ALL_COM.txt", "USB_COM.txt", names_the_converter)) {
        ClearListCtrl(gvScan, SCAN_COM_LIST);
        return;
    }
    probe_ports();
}

int Analysis_Com_F(int /*panel*/, int /*control*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event == EVENT_COMMIT) {
        Get_Windows_Device_info("All_DEV.txt");
        Scan_USB_Virtual_ComPort_to_list();
    }
    return 0;
}

namespace {

// Opens the picked port, reads the device and its data buffer, and on
// success trades the scan panel for the main panel.
void first_contact(int panel, int list)
{
    int items = 0;
    GetNumListItems(panel, list, &items);
    if (items == 0) {
        MessagePopup("", "no COM port available");
        return;
    }
    int port = 0;
    GetCtrlVal(panel, list, &port);
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", port);
    if (OpenCom(port, name) < 0) {
        Set_Status(panel, SCAN_STATUS, VAL_RED, "Open USB Com Error");
        CloseCom(gvCOM);
        return;
    }
    SetCtrlAttribute(panel, SCAN_PROGRESS, ATTR_VISIBLE, 1);
    SetCtrlAttribute(panel, SCAN_PROGRESS, ATTR_MAX_VALUE, 3);
    SetCtrlVal(panel, SCAN_PROGRESS, 0);
    gvCOM = port;
    gvORN_ID = 1;
    Set_Status(panel, SCAN_STATUS, VAL_BLUE, "Reading");
    Advance_Progress(panel, SCAN_PROGRESS);
    if (Read_all_Paras() <= 0) {
        Set_Status(panel, SCAN_STATUS, VAL_RED, "Read error");
        CloseCom(gvCOM);
        return;
    }
    Advance_Progress(panel, SCAN_PROGRESS);
    if (Read_data_buffer() <= 0) {
        Set_Status(panel, SCAN_STATUS, VAL_RED, "Read error");
        CloseCom(gvCOM);
        return;
    }
    Advance_Progress(panel, SCAN_PROGRESS);
    Set_Status(panel, SCAN_STATUS, VAL_DK_GREEN, "OK");
    Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, "Read OK");
    SetCtrlAttribute(panel, SCAN_PROGRESS, ATTR_VISIBLE, 0);
    HidePanel(gvScan);
    Set_Status(panel, SCAN_STATUS, VAL_BLACK, "...");
    // The main panel comes up on top with the keyboard, maximised if asked.
    SetPanelAttribute(gvPanel, ATTR_ACTIVATE_WHEN_DISPLAYED, 1);
    int maximise = 0;
    GetCtrlVal(panel, SCAN_MODE, &maximise);
    if (maximise)
        SetPanelAttribute(gvPanel, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
    DisplayPanel(gvPanel);
}

}  // namespace

int LISTBOX_F(int panel, int control, int event, void * /*callback_data*/, int data1, int /*data2*/)
{
    if (event == EVENT_COMMIT || event == EVENT_LEFT_CLICK_UP)
        first_contact(panel, control);
    else if (data1 == VAL_F1_VKEY)
        Show_Help_Topic(HELP_SCAN);
    return 0;
}
