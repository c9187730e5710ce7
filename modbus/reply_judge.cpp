#include "modbus/reply_judge.h"

#include "modbus/modbus_api.h"
#include "platform/orn_status.h"

#include <cstdio>

void Diag_Line(std::string &diag, const char *format, int value)
{
    char line[64];
    std::snprintf(line, sizeof line, format, value);
    diag += line;
}

// Exception reply of 5 bytes: its error-flagged function code, then the
// name of its exception code.  The row reads name the code only when the
// function byte carries the error bit; the others name it whatever it holds.
void Diag_Exception(std::string &diag, const unsigned char *reply, bool code_only_with_error_bit)
{
    bool error_bit = reply[1] >= 128;
    if (error_bit)
        Diag_Line(diag, "Error Number: %02x\n", reply[1]);
    if (code_only_with_error_bit && !error_bit)
        return;
    switch (reply[2]) {
    case 1: diag += "Command error : error FU\n"; break;
    case 2: diag += "Command error : error Addr\n"; break;
    case 3: diag += "Command error : error Data\n"; break;
    default: break;
    }
}

// The dump of a block transfer whose reply failed its check: request
// buffer byte i beside reply byte i, for every reply byte.
static void dump_pairs(std::string &diag, const unsigned char *request, const unsigned char *reply, int r)
{
    for (int i = 0; i < r && i < ORN_FRAME_MAX; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, " %02x\t %02x\n", request[i], reply[i]);
        diag += line;
    }
}

// Unpacks count data bytes from reply byte 3 on as big-endian words.  The
// request asked for `capacity` words; a count announcing more is refused
// before anything is written.
static int unpack_words(const unsigned char *reply, int count, int capacity, int *values, std::string &diag)
{
    if (count < 2)
        return ORN_BYTE_COUNT_LOW;
    int words = count / 2;
    if (words > capacity) {
        Diag_Line(diag, "Byte count error bc=%d\n", count);
        return ORN_BYTE_COUNT_HIGH;
    }
    for (int i = 0; i < words; ++i)
        values[i] = reply[3 + 2 * i] * 256 + reply[4 + 2 * i];
    return ORN_OK;
}

int Judge_RW_Reply(const unsigned char *request, int expected, const unsigned char *reply, int r,
                   int *values, std::string &diag)
{
    unsigned char function = request[1];
    if (r == expected) {
        int vc = Verify_CRC_16(reply, (unsigned)r);
        if (vc < 0) {
            Diag_Line(diag, "Verify CRC error vc=%d\n", vc);
            for (int i = 0; i < r; ++i)
                Diag_Line(diag, "%x\n", reply[i]);
            return ORN_BAD_CRC;
        }
        if (function == 3 || function == 4) {
            int address = request[2] * 256 + request[3];
            int requested = request[4] * 256 + request[5];
            // The 500-word buffer read carries its byte count in bytes 1-2:
            // 1,000 does not fit the standard 8-bit count of byte 2.
            int count = address == 9 ? reply[1] * 256 + reply[2] : reply[2];
            return unpack_words(reply, count, requested, values, diag);
        }
        if (reply[r - 2] != request[6] || reply[r - 1] != request[7]) {
            char text[96];
            std::snprintf(text, sizeof text, "Tx: %02x\t %02x\n ", request[6], request[7]);
            diag += "Verify W CRC error:\n ";
            diag += text;
            diag += " \n";
            std::snprintf(text, sizeof text, "Rx: %02x\t %02x\n ", reply[r - 2], reply[r - 1]);
            diag += text;
            return ORN_BAD_ECHO;
        }
        return ORN_OK;
    }
    if (r == 5) {
        Diag_Exception(diag, reply, false);
        return ORN_EXCEPTION;
    }
    if (r == 0) {
        diag += "Read 0 Time-Out\n";
        return ORN_TIMEOUT;
    }
    Diag_Line(diag, "ComRd error CRstat=%d\n", r);
    return r < 0 ? r : ORN_SHORT_REPLY;
}

int Judge_Read_Array_Reply(const unsigned char *request, int reply_length, signed char layout,
                           const unsigned char *reply, int r, int *values, std::string &diag,
                           std::string &data_buf)
{
    Diag_Line(data_buf, "%d\n", r);
    if (r == reply_length) {
        int vc = Verify_CRC_16(reply, (unsigned)r);
        if (vc < 0) {
            diag += "Verify R_OC CRC error:\nTx\t Rx\n";
            dump_pairs(diag, request, reply, r);
            return vc;
        }
        int data_bytes = r - 5;
        int count = reply[2];
        if (layout == 3) {
            if (data_bytes < 6)
                return ORN_BYTE_COUNT_HIGH;   // no room for a command row
            for (int i = 0; i < 6; ++i)
                values[i] = reply[3 + i];
            return ORN_OK;
        }
        if (count < 2)
            return ORN_NO_REPLY_BLOCK;
        if (layout == 1)
            return unpack_words(reply, count, data_bytes / 2, values, diag);
        // Layout 2 delivers one value per data byte, as its request sends them.
        if (count > data_bytes) {
            Diag_Line(diag, "Byte count error bc=%d\n", count);
            return ORN_BYTE_COUNT_HIGH;
        }
        for (int i = 0; i < count; ++i)
            values[i] = reply[3 + i];
        return ORN_OK;
    }
    if (r == 5) {
        Diag_Exception(diag, reply, true);
        return ORN_EXCEPTION;
    }
    if (r == 0) {
        diag += "Read 0 Time-Out\n";
        return ORN_NO_REPLY_BLOCK;
    }
    if (r < 0) {
        Diag_Line(diag, "ComRd error CRstat=%d\n", r);
        return r;
    }
    Diag_Line(data_buf, "%d\n", r);
    return ORN_SHORT_REPLY;
}

int Judge_Write_Para_Reply(const unsigned char *request, int request_length, int reply_length,
                           const unsigned char *reply, int r, std::string &diag)
{
    if (r == reply_length) {
        // Only the echo's first CRC byte is compared with the request's.
        if (reply[r - 2] == request[request_length - 2])
            return ORN_OK;
        diag += "Verify W_OC CRC error:\n Tx\t Rx\n";
        dump_pairs(diag, request, reply, r);
        return ORN_BAD_CRC;
    }
    if (r == 5) {
        Diag_Exception(diag, reply, false);
        return ORN_EXCEPTION;
    }
    if (r == 0) {
        diag += "Read 0 Time-Out\n";
        return ORN_NO_REPLY_BLOCK;
    }
    if (r < 0) {
        Diag_Line(diag, "ComRd error CRstat=%d\n", r);
        return r;
    }
    return ORN_SHORT_REPLY;
}

int Judge_Read_Para_Reply(const unsigned char *request, int reply_length, const unsigned char *reply,
                          int r, int *value, std::string &diag)
{
    if (r == reply_length) {
        int vc = Verify_CRC_16(reply, (unsigned)r);
        if (vc < 0) {
            diag += "Verify R_OC CRC error:\nTx\t Rx\n";
            dump_pairs(diag, request, reply, r);
            return vc;
        }
        *value = reply[r - 4] * 256 + reply[r - 3];
        return ORN_OK;
    }
    if (r == 5) {
        Diag_Exception(diag, reply, true);
        return ORN_EXCEPTION;
    }
    if (r == 0) {
        diag += "Read 0 Time-Out\n";
        return ORN_NO_REPLY_BLOCK;
    }
    if (r < 0) {
        Diag_Line(diag, "ComRd error CRstat=%d\n", r);
        return r;
    }
    return ORN_SHORT_REPLY;
}
