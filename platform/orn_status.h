// The one vocabulary of operation results shared by the serial layer, the
// Modbus master and the tools.  1 is success; callers treat any result above
// 0 as success and pass every other result up unchanged.  The small negative
// codes (-1 .. -4, -10) carry the meanings the Modbus exchanges give them;
// 0 marks a missing reply in the block transfers.  Everything from -11 down
// is ours, kept in separate ranges so that a serial-port failure passed up
// through an exchange can never be mistaken for a Modbus fault.
#pragma once

enum OrnStatus {
    ORN_OK = 1,
    ORN_NO_REPLY_BLOCK = 0,      // block transfer: nothing arrived

    // Modbus exchange results
    ORN_EXCEPTION = -1,          // the slave answered with an exception reply
    ORN_TIMEOUT = -2,            // no byte arrived before the read time-out
    ORN_BAD_CRC = -3,            // full-length reply with a wrong CRC
    ORN_BAD_ECHO = -4,           // write echo with a valid CRC of other content
    ORN_BYTE_COUNT_LOW = -10,    // read reply announcing fewer than 2 data bytes
    ORN_SHORT_REPLY = -11,       // a reply shorter than expected (not 0, not 5)
    ORN_SHORT_WRITE = -12,       // the request could not be sent whole
    ORN_BYTE_COUNT_HIGH = -13,   // read reply announcing more data than it holds
    ORN_BAD_ARGUMENT = -14,      // a length, count, layout or code out of range

    // serial port results
    COM_ERR_BAD_PORT = -20,      // port number outside 1..256
    COM_ERR_NOT_OPEN = -21,      // the port is not open in this process
    COM_ERR_NO_DEVICE = -22,     // no device node behind the port number
    COM_ERR_BUSY = -23,          // held by another program or process
    COM_ERR_NOT_SERIAL = -24,    // the node is not a usable serial line
    COM_ERR_IO = -25,            // the system refused a read, write or flush
    COM_ERR_GONE = -26,          // the device vanished (unplugged, peer died)
    COM_ERR_WRITE_TIMEOUT = -27, // the line would not take the bytes in time
    COM_ERR_DENIED = -28,        // no permission to open the node (dialout group?)
};

// A short English name of a result, for logs and tool output.
const char *Orn_Status_Text(int status);
