// The device's configuration on the main panel: Read all and the data
// buffer with its polling.
#pragma once

// Reads the whole configuration into the main panel over the open port
// gvCOM: 1 when all was read; -1 for a device that is not the converter;
// otherwise the result of the first failed transfer (0 or negative).
int Read_all_Paras();
// Writes the configuration shown on the main panel into the device over the
// open port: 1 when all was written; 0 when the Master/Slave toggles form
// no valid combination (nothing sent); otherwise the negative result of the
// first failed transfer (a row write that got no reply gives ORN_TIMEOUT).
int Write_all_Paras();
// Reads the 500-word data buffer into its table: 1, or the failed result.
int Read_data_buffer();

int Read_data_buf_F(int panel, int control, int event, void *callback_data, int data1, int data2);
int Rd_buf_T_F(int panel, int control, int event, void *callback_data, int data1, int data2);
