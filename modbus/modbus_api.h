// The Modbus RTU master of the converter link: request frames with their
// CRC-16, the single-register exchange and the command-row block transfers.
// Every exchange works on the port gvCOM, which its caller has opened, and
// writes what went wrong to a diagnostic file in the working directory.
#pragma once

#include "app/shared_state.h"

// Delays between sending a request and reading its reply.
inline constexpr float ORN_RW_DELAY_S = 0.1f;     // what every ORN_RW caller passes
inline constexpr double ORN_BLOCK_DELAY_S = 0.01; // fixed in the block transfers

// Largest reply a block transfer reads (the device's are 11 and 13 bytes).
inline constexpr int ORN_BLOCK_REPLY_MAX = 127;

// ---- frames and checksums (no I/O) ----

// Standard 8-byte request: slave, function, address (hi, lo), count or
// value (hi, lo), CRC (lo, hi).  frame holds at least 8 bytes.
void Set_Array(unsigned char *frame, int slave, unsigned char function, int address, int count);

// Block request into a frame buffer of ORN_FRAME_MAX bytes; layout 1: n
// words, layout 2: n bytes, layout 3: n itself then six bytes (the row
// write).  Returns the frame length, or ORN_BAD_ARGUMENT (frame untouched)
// for an unknown layout, a negative n or a frame that would not fit.
int Set_W_Array(unsigned char *frame, int slave, unsigned char function, int address,
                signed char layout, const int *values, signed char n);

// CRC-16/MODBUS of the first length bytes, bit by bit.
int Cal_CRC_16(const unsigned char *bytes, int length);
// One byte's step of the CRC-16 (not an 8-bit CRC).
int Cal_CRC_8(int crc, unsigned char byte);
// Exchanges the two bytes of a 16-bit value.
int change_to_TX_ver(int value);
// 1 when the reply's last two bytes are its CRC (low, high); -1 when the low
// byte differs; -2 when only the high byte differs.
int Verify_CRC_16(const unsigned char *reply, unsigned int length);

// ---- exchanges (I/O on gvCOM) ----

// One request of function 3/4 (read count registers into values) or 5/6
// (write one value), waiting delay seconds before reading the reply; its
// faults go to "R_OC_Error.txt".  1 on success, negative on failure.
int ORN_RW(int slave, unsigned char function, int address, int count_or_value, float delay, int *values);

// Block transfers of a request already built in the frame buffer request
// (ORN_FRAME_MAX bytes: a dump may show bytes beyond the request).
// values must hold 6 ints for layout 3, (reply_length - 5) / 2 for layout 1
// and reply_length - 5 for layout 2.
int ORN_Read_Array(const unsigned char *request, int request_length, int reply_length,
                   signed char layout, int *values);
int ORN_Write_Para(const unsigned char *request, int request_length, int reply_length);
int ORN_Read_Para(const unsigned char *request, int request_length, int reply_length, int *value);
