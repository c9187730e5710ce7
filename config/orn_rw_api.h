// The device's configuration on the main panel: Read all, Write all and the
// data buffer.
#pragma once

int Read_data_buf_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int Rd_buf_T_F(int panel, int control, int event, void *callback_data, int data1, int data2);
