// Judging the replies of the four exchanges, on bytes alone: given what was
// sent and what arrived (r is ComRd's result, the reply buffer holds the
// first r bytes when r > 0), each judge returns the exchange's result,
// fills the caller's values only on success, and appends the diagnostic
// lines of the exchange's file to diag.
#pragma once

#include <string>

// ORN_RW: request is the 8-byte request; expected the reply length its
// function code implies.
int Judge_RW_Reply(const unsigned char *request, int expected, const unsigned char *reply, int r,
                   int *values, std::string &diag);

// ORN_Read_Array: request is the frame buffer (ORN_FRAME_MAX bytes);
// data_buf receives the lines of "Data_buf.txt".
int Judge_Read_Array_Reply(const unsigned char *request, int reply_length, signed char layout,
                           const unsigned char *reply, int r, int *values, std::string &diag,
                           std::string &data_buf);

// ORN_Write_Para.
int Judge_Write_Para_Reply(const unsigned char *request, int request_length, int reply_length,
                           const unsigned char *reply, int r, std::string &diag);

// ORN_Read_Para.
int Judge_Read_Para_Reply(const unsigned char *request, int reply_length, const unsigned char *reply,
                          int r, int *value, std::string &diag);

// Lines shared by the exchanges.
void Diag_Line(std::string &diag, const char *format, int value);
void Diag_Exception(std::string &diag, const unsigned char *reply, bool code_only_with_error_bit);
