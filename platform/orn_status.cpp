#include "platform/orn_status.h"

const char *Orn_Status_Text(int status)
{
    if (status > 0)
        return "ok";
    switch (status) {
    case ORN_NO_REPLY_BLOCK: return "no reply";
    case ORN_EXCEPTION: return "exception reply";
    case ORN_TIMEOUT: return "read time-out";
    case ORN_BAD_CRC: return "CRC error";
    case ORN_BAD_ECHO: return "write echo differs";
    case ORN_BYTE_COUNT_LOW: return "byte count below 2";
    case ORN_SHORT_REPLY: return "short reply";
    case ORN_SHORT_WRITE: return "short write";
    case ORN_BYTE_COUNT_HIGH: return "byte count exceeds reply";
    case ORN_BAD_ARGUMENT: return "bad argument";
    case COM_ERR_BAD_PORT: return "port number out of range";
    case COM_ERR_NOT_OPEN: return "port not open";
    case COM_ERR_NO_DEVICE: return "no such device";
    case COM_ERR_BUSY: return "port in use";
    case COM_ERR_NOT_SERIAL: return "not a serial port";
    case COM_ERR_IO: return "I/O error";
    case COM_ERR_GONE: return "device gone";
    case COM_ERR_WRITE_TIMEOUT: return "write time-out";
    case COM_ERR_DENIED: return "permission denied";
    default: return "error";
    }
}
