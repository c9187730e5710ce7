// Fuzz target: the four exchanges whole, on a port served from memory that
// answers with arbitrary bytes of arbitrary length.  Byte 0 picks the
// exchange, bytes 1-3 its numbers, the rest is what the "device" sends.
// The values arrays have exactly the size each exchange's contract asks
// for, so a write past them is a sanitizer report.
#include "modbus/modbus_api.h"
#include "platform/serial.h"

#include <cstdint>
#include <vector>

namespace {
constexpr int kPort = 250;
}

int Fuzz_Exchanges(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t pick = data[0], a = data[1], b = data[2], c = data[3];
    Com_Serve_From_Memory(kPort, data + 4, (int)(size - 4));
    gvCOM = kPort;
    OpenCom(kPort, "COM250");
    switch (pick % 4) {
    case 0: {
        static const uint8_t functions[] = {3, 4, 5, 6};
        uint8_t function = functions[a % 4];
        int count = (b << 8 | c) % 600;
        std::vector<int> values(function <= 4 ? (size_t)count + 1 : 1);
        ORN_RW(1, function, (pick & 0x10) ? 9 : a, count, 0.1f, values.data());
        break;
    }
    case 1: {
        int reply_length = 5 + a % (ORN_BLOCK_REPLY_MAX - 4);
        signed char layout = (signed char)(1 + b % 3);
        size_t slots = layout == 3 ? 6 : layout == 1 ? (size_t)(reply_length - 5) / 2 : (size_t)(reply_length - 5);
        std::vector<int> values(slots ? slots : 1);
        Set_Array(aUSB_Vcom, 1, 3, 5, c);
        ORN_Read_Array(aUSB_Vcom, 8, reply_length, layout, values.data());
        break;
    }
    case 2: {
        const int row[6] = {a, b, c, a, b, c};
        int length = Set_W_Array(aUSB_Vcom, 1, 6, 8, 3, row, (signed char)(c % 40));
        ORN_Write_Para(aUSB_Vcom, length, 5 + a % (ORN_BLOCK_REPLY_MAX - 4));
        break;
    }
    default: {
        int value = 0;
        Set_Array(aUSB_Vcom, 1, 3, b, c);
        ORN_Read_Para(aUSB_Vcom, 8, 5 + a % (ORN_BLOCK_REPLY_MAX - 4), &value);
        break;
    }
    }
    CloseCom(kPort);
    Com_Serve_From_Memory(kPort, nullptr, -1);
    return 0;
}

#ifdef ORN_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz_Exchanges(data, size);
}
#endif
