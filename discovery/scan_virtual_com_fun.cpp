#include "discovery/scan_virtual_com_fun.h"

#include "app/shared_state.h"
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

int LISTBOX_F(int /*panel*/, int /*control*/, int /*event*/, void * /*callback_data*/, int data1, int /*data2*/)
{
    // Picking a port comes with first contact.
    if (data1 == VAL_F1_VKEY)
        Show_Help_Topic(HELP_SCAN);
    return 0;
}
