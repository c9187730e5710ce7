#include "modbus/exchange_io.h"
#include "modbus/modbus_api.h"
#include "modbus/reply_judge.h"
#include "platform/orn_status.h"
#include "platform/serial.h"

#include <string>
#include <vector>

static constexpr char kRwDiagFile[] = "R_OC_Error.txt";

int ORN_RW(int slave, unsigned char function, int address, int count_or_value, float delay, int *values)
{
    unsigned char request[8];
    Set_Array(request, slave, function, address, count_or_value);

    std::string diag;
    int expected;
    if (function == 3 || function == 4) {
        expected = 2 * (count_or_value & 0xFFFF) + 5;
    } else if (function == 5 || function == 6) {
        expected = 8;
    } else {
        Diag_Line(diag, "Function code error fc=%d\n", function);
        Diag_Save(kRwDiagFile, "w", diag);
        return ORN_BAD_ARGUMENT;
    }
    std::vector<unsigned char> reply((size_t)expected);

    int sent = Flush_And_Send(request, 8, diag);
    if (sent != 8) {
        Diag_Line(diag, "ComWrt error CWstat=%d\n", sent);
        Diag_Save(kRwDiagFile, "w", diag);
        return sent < 0 ? sent : ORN_SHORT_WRITE;
    }
    Delay(delay);
    int r = ComRd(gvCOM, reply.data(), expected);
    int result = Judge_RW_Reply(request, expected, reply.data(), r, values, diag);
    Diag_Save(kRwDiagFile, "w", diag);
    return result;
}
