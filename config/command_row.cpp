#include "config/command_row.h"

#include "platform/ui_toolkit.h"


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

void Command_Row_Show(int panel, int table, int row, const int bytes[6])
{
    SetTableCellVal(panel, table, MakePoint(1, row), bytes[0]);
    SetTableCellValFromIndex(panel, table, MakePoint(2, row), Function_Ring_Index(bytes[1]));
    SetTableCellVal(panel, table, MakePoint(3, row), bytes[2] * 256 + bytes[3]);
    SetTableCellVal(panel, table, MakePoint(4, row), bytes[4] * 256 + bytes[5]);
}
