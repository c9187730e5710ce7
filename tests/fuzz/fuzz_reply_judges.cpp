// Fuzz target: arbitrary replies of arbitrary length, and arbitrary frame
// arguments, fed to the reply judging of the four exchanges and to the
// frame builders.  Every buffer is allocated at exactly the size the
// contract promises, so a read or write past it is a sanitizer report.
//
// Input: byte 0 picks the target, bytes 1-4 its numbers, the rest is the
// reply (or the values).
#include "modbus/modbus_api.h"
#include "modbus/reply_judge.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ComRd's result for a reply buffer of `capacity` bytes of which `have`
// came from the input: mostly the bytes that came, sometimes a special count.
int received_count(uint8_t pick, int have, int capacity)
{
    switch (pick % 8) {
    case 0: return 0;
    case 1: return capacity < 5 ? capacity : 5;
    case 2: return -26;
    case 3: return capacity;
    default: return have < capacity ? have : capacity;
    }
}

std::vector<uint8_t> reply_of(const uint8_t *data, size_t size, int capacity)
{
    std::vector<uint8_t> reply((size_t)capacity);
    std::memcpy(reply.data(), data, size < reply.size() ? size : reply.size());
    return reply;
}

}  // namespace

int Fuzz_Reply_Judges(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const uint8_t target = data[0] % 6, a = data[1], b = data[2], c = data[3], pick = data[4];
    data += 5;
    size -= 5;
    std::string diag, data_buf;
    std::vector<uint8_t> frame(ORN_FRAME_MAX);
    std::memcpy(frame.data(), data, size < frame.size() ? size : frame.size());

    switch (target) {
    case 0: {   // ORN_RW
        static const uint8_t functions[] = {3, 4, 5, 6};
        uint8_t function = functions[a % 4];
        int count = (b << 8 | c) % 600;
        int address = (pick & 1) ? 9 : a;
        Set_Array(frame.data(), 1, function, address, count);
        int expected = function <= 4 ? 2 * count + 5 : 8;
        std::vector<uint8_t> reply = reply_of(data, size, expected);
        std::vector<int> values(function <= 4 ? (size_t)count : 1);
        Judge_RW_Reply(frame.data(), expected, reply.data(), received_count(pick >> 1, (int)size, expected),
                       values.data(), diag);
        break;
    }
    case 1: {   // ORN_Read_Array
        int reply_length = 5 + a % (ORN_BLOCK_REPLY_MAX - 4);
        signed char layout = (signed char)(1 + b % 3);
        size_t slots = layout == 3 ? 6 : layout == 1 ? (size_t)(reply_length - 5) / 2 : (size_t)(reply_length - 5);
        std::vector<int> values(slots ? slots : 1);
        std::vector<uint8_t> reply = reply_of(data, size, reply_length);
        Judge_Read_Array_Reply(frame.data(), reply_length, layout, reply.data(),
                               received_count(pick, (int)size, reply_length), values.data(), diag, data_buf);
        break;
    }
    case 2: {   // ORN_Write_Para
        int request_length = 2 + a % (ORN_FRAME_MAX - 1);
        int reply_length = 5 + b % (ORN_BLOCK_REPLY_MAX - 4);
        std::vector<uint8_t> reply = reply_of(data, size, reply_length);
        Judge_Write_Para_Reply(frame.data(), request_length, reply_length, reply.data(),
                               received_count(pick, (int)size, reply_length), diag);
        break;
    }
    case 3: {   // ORN_Read_Para
        int reply_length = 5 + a % (ORN_BLOCK_REPLY_MAX - 4);
        std::vector<uint8_t> reply = reply_of(data, size, reply_length);
        int value = 0;
        Judge_Read_Para_Reply(frame.data(), reply_length, reply.data(), received_count(pick, (int)size, reply_length),
                              &value, diag);
        break;
    }
    case 4: {   // Set_W_Array with any layout and count
        std::vector<int> values(127);
        for (size_t i = 0; i < values.size() && 2 * i + 1 < size; ++i)
            values[i] = data[2 * i] << 8 | data[2 * i + 1];
        Set_W_Array(frame.data(), a, b, c << 8 | pick, (signed char)(a % 5), values.data(), (signed char)b);
        break;
    }
    default: {   // Verify_CRC_16 on every length the input allows
        std::vector<uint8_t> reply(data, data + size);
        Verify_CRC_16(reply.data(), (unsigned)reply.size());
        Cal_CRC_16(reply.data(), (int)reply.size());
        break;
    }
    }
    return 0;
}

#ifdef ORN_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz_Reply_Judges(data, size);
}
#endif
