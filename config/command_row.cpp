#include "config/command_row.h"

#include "platform/ui_toolkit.h"

#include <cstring>


namespace {

struct RingItem {
    const char *text;
    int code;
};
constexpr RingItem kRing[FUNCTION_RING_ITEMS] = {{"N", 0}, {"03", 3}, {"04", 4}, {"05", 5}, {"06", 6}, {"10", 16}};

}  // namespace

int Function_Ring_Index(int function_code)
{
    for (int i = 1; i < FUNCTION_RING_ITEMS; ++i)
        if (kRing[i].code == function_code)
            return i;
    return 0;
}

int Function_Code_Of_Text(const char *text)
{
    for (const RingItem &item : kRing)
        if (std::strcmp(item.text, text) == 0)
            return item.code;
    return 0;
}

void Command_Row_Show(int panel, int table, int row, const int bytes[6])
{
    SetTableCellVal(panel, table, MakePoint(1, row), bytes[0]);
    SetTableCellValFromIndex(panel, table, MakePoint(2, row), Function_Ring_Index(bytes[1]));
    SetTableCellVal(panel, table, MakePoint(3, row), bytes[2] * 256 + bytes[3]);
    SetTableCellVal(panel, table, MakePoint(4, row), bytes[4] * 256 + bytes[5]);
}

void Command_Row_Take(int panel, int table, int row, int bytes[6])
{
    int slave = 0, address = 0, count = 0;
    char function[8] = "N";
    GetTableCellVal(panel, table, MakePoint(1, row), &slave);
    GetTableCellVal(panel, table, MakePoint(2, row), function, sizeof function);
    GetTableCellVal(panel, table, MakePoint(3, row), &address);
    GetTableCellVal(panel, table, MakePoint(4, row), &count);
    bytes[0] = slave & 0xFF;
    bytes[1] = Function_Code_Of_Text(function);
    bytes[2] = (address >> 8) & 0xFF;
    bytes[3] = address & 0xFF;
    bytes[4] = (count >> 8) & 0xFF;
    bytes[5] = count & 0xFF;
}
