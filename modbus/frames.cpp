#include "modbus/modbus_api.h"
#include "platform/orn_status.h"

#include <cstring>

int Cal_CRC_8(int crc, unsigned char byte)
{
    unsigned int c = ((unsigned int)crc & 0xFFFFu) ^ byte;
    for (int bit = 0; bit < 8; ++bit)
        c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
    return (int)c;
}

int Cal_CRC_16(const unsigned char *bytes, int length)
{
    int crc = 0xFFFF;
    for (int i = 0; i < length; ++i)
        crc = Cal_CRC_8(crc, bytes[i]);
    return crc;
}

int change_to_TX_ver(int value)
{
    return ((value & 0xFF) << 8) | ((value >> 8) & 0xFF);
}

// Stores the CRC of bytes 0..last at last+1 (low) and last+2 (high).
static void put_crc(unsigned char *frame, int last)
{
    int swapped = change_to_TX_ver(Cal_CRC_16(frame, last + 1));
    frame[last + 1] = (unsigned char)(swapped >> 8);
    frame[last + 2] = (unsigned char)(swapped & 0xFF);
}

int Verify_CRC_16(const unsigned char *reply, unsigned int length)
{
    if (length < 2)
        return -1;   // no room for a CRC: it cannot match
    int crc = 0xFFFF;
    for (unsigned int i = 0; i + 2 < length; ++i)
        crc = Cal_CRC_8(crc, reply[i]);
    if (reply[length - 2] != (crc & 0xFF))
        return -1;
    if (reply[length - 1] != ((crc >> 8) & 0xFF))
        return -2;
    return 1;
}

void Set_Array(unsigned char *frame, int slave, unsigned char function, int address, int count)
{
    std::memset(frame, 0, 8);
    frame[0] = (unsigned char)slave;
    frame[1] = function;
    frame[2] = (unsigned char)(address >> 8);
    frame[3] = (unsigned char)address;
    frame[4] = (unsigned char)(count >> 8);
    frame[5] = (unsigned char)count;
    put_crc(frame, 5);
}

int Set_W_Array(unsigned char *frame, int slave, unsigned char function, int address,
                signed char layout, const int *values, signed char n)
{
    int last;   // index of the last data byte
    switch (layout) {
    case 1: last = n > 0 ? 2 * n + 3 : 5; break;
    case 2: last = n > 0 ? n + 3 : 4; break;
    case 3: last = 10; break;
    default: return ORN_BAD_ARGUMENT;
    }
    if (n < 0 || last + 3 > ORN_FRAME_MAX)
        return ORN_BAD_ARGUMENT;

    // The device's builder clears n + 6 bytes whatever the layout; a row
    // write thus also clears what lies past its 13 bytes, up to n + 6.
    int clear = n + 6 > ORN_FRAME_MAX ? ORN_FRAME_MAX : n + 6;
    std::memset(frame, 0, (size_t)clear);
    frame[0] = (unsigned char)slave;
    frame[1] = function;
    frame[2] = (unsigned char)(address >> 8);
    frame[3] = (unsigned char)address;
    if (layout == 1) {
        for (int i = 0; i < n; ++i) {
            frame[4 + 2 * i] = (unsigned char)(values[i] >> 8);
            frame[5 + 2 * i] = (unsigned char)values[i];
        }
    } else if (layout == 2) {
        for (int i = 0; i < n; ++i)
            frame[4 + i] = (unsigned char)values[i];
    } else {
        frame[4] = (unsigned char)n;
        for (int i = 0; i < 6; ++i)
            frame[5 + i] = (unsigned char)values[i];
    }
    put_crc(frame, last);
    return last + 3;
}
