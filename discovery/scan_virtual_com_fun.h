// Finding the PC's serial ports, and picking the converter's.
#pragma once

// Writes one line per present device into file_name; always 0.  When the
// system's listing cannot be had, the file keeps what an earlier scan left.
int Get_Windows_Device_info(const char *file_name);
// Filters the device lines into "ALL_COM.txt" (lines with a port mark),
// "USB_COM.txt" (the converter's lines, with "Modbus") and "Com_Num.txt"
// (the ports that open), and lists the ports that open in SCAN_COM_LIST.
void Scan_USB_Virtual_ComPort_to_list();
// The port number of a device line's mark "(COMn)", 1..256, or 0.
int find_COMx(const char *line);
// 1 when the line contains "Modbus", else 0.
int find_COMx_ORN(const char *line);

int Analysis_Com_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int LISTBOX_F(int panel, int control, int event, void *callback_data, int data1, int data2);
