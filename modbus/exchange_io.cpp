#include "modbus/exchange_io.h"

#include "app/shared_state.h"
#include "modbus/reply_judge.h"
#include "platform/serial.h"
#include "platform/text_file.h"

#include <cstring>

int Flush_And_Send(const unsigned char *request, int length, std::string &diag)
{
    int r = FlushOutQ(gvCOM);
    if (r < 0)
        Diag_Line(diag, "FlushOutQ error r=%d\n", r);
    r = FlushInQ(gvCOM);
    if (r < 0)
        Diag_Line(diag, "FlushInQ error r=%d\n", r);
    return ComWrt(gvCOM, request, length);
}

void Diag_Save(const char *file_name, const char *mode, const std::string &text)
{
    if (std::strcmp(mode, "a") == 0)
        Text_File_Append(file_name, text);
    else
        Text_File_Replace(file_name, text);
}
