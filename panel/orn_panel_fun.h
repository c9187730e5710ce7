// The main panel's buttons, toggles, device-ID field, tables and timers,
// and the menu's return to the scan panel.
#pragma once

int Read_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int Write_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int T_R_PARA_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int T_W_PARA_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int Tx_state_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int ORN_ID_change(int panel, int control, int event, void *callback_data, int data1, int data2);
int TB_F(int panel, int control, int event, void *callback_data, int data1, int data2);
void M_scan_F(int menubar, int item, void *callback_data, int panel);
