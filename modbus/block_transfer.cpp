#include "modbus/exchange_io.h"
#include "modbus/modbus_api.h"
#include "modbus/reply_judge.h"
#include "platform/orn_status.h"
#include "platform/serial.h"

#include <string>

static constexpr char kReadDiagFile[] = "R_ORN_Error.txt";
static constexpr char kWriteDiagFile[] = "W_ORN_Error.txt";
static constexpr char kDataBufFile[] = "Data_buf.txt";

static bool lengths_fit(int request_length, int reply_length)
{
    return request_length >= 2 && request_length <= ORN_FRAME_MAX && reply_length >= 5 &&
           reply_length <= ORN_BLOCK_REPLY_MAX;
}

// Sends the request and reads the reply; r (ComRd's result) is valid when
// the send went through, otherwise the send's result is returned.
static bool send_and_read(const unsigned char *request, int request_length, unsigned char *reply,
                          int reply_length, std::string &diag, int *r)
{
    int sent = Flush_And_Send(request, request_length, diag);
    if (sent != request_length) {
        Diag_Line(diag, "ComWrt error CWstat=%d\n", sent);
        *r = sent;
        return false;
    }
    Delay(ORN_BLOCK_DELAY_S);
    *r = ComRd(gvCOM, reply, reply_length);
    return true;
}

int ORN_Read_Array(const unsigned char *request, int request_length, int reply_length,
                   signed char layout, int *values)
{
    if (!lengths_fit(request_length, reply_length) || layout < 1 || layout > 3)
        return ORN_BAD_ARGUMENT;
    unsigned char reply[ORN_BLOCK_REPLY_MAX];
    std::string diag, data_buf;
    int r, result;
    if (send_and_read(request, request_length, reply, reply_length, diag, &r))
        result = Judge_Read_Array_Reply(request, reply_length, layout, reply, r, values, diag, data_buf);
    else
        result = r < 0 ? r : ORN_SHORT_WRITE;
    Diag_Save(kReadDiagFile, "w", diag);
    Diag_Save(kDataBufFile, "w", data_buf);
    return result;
}

int ORN_Write_Para(const unsigned char *request, int request_length, int reply_length)
{
    if (!lengths_fit(request_length, reply_length))
        return ORN_BAD_ARGUMENT;
    unsigned char reply[ORN_BLOCK_REPLY_MAX];
    std::string diag;
    int r, result;
    if (send_and_read(request, request_length, reply, reply_length, diag, &r))
        result = Judge_Write_Para_Reply(request, request_length, reply_length, reply, r, diag);
    else
        result = ORN_EXCEPTION;   // a row write that was not sent whole reports -1
    Diag_Save(kWriteDiagFile, "a", diag);
    return result;
}

int ORN_Read_Para(const unsigned char *request, int request_length, int reply_length, int *value)
{
    if (!lengths_fit(request_length, reply_length))
        return ORN_BAD_ARGUMENT;
    unsigned char reply[ORN_BLOCK_REPLY_MAX];
    std::string diag;
    int r, result;
    if (send_and_read(request, request_length, reply, reply_length, diag, &r))
        result = Judge_Read_Para_Reply(request, reply_length, reply, r, value, diag);
    else
        result = r < 0 ? r : ORN_SHORT_WRITE;
    Diag_Save(kReadDiagFile, "a", diag);
    return result;
}
