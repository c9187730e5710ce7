// Finding the PC's serial ports, and picking the converter's.
#pragma once

int Get_Windows_Device_info(const char *file_name);
void Scan_USB_Virtual_ComPort_to_list();
int Analysis_Com_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int LISTBOX_F(int panel, int control, int event, void *callback_data, int data1, int data2);
