// A command row: six bytes (slave, function, address hi, lo, count or value
// hi, lo), shown in a table row as slave, function ring, address, count.
#pragma once

// Items of the function ring, in order: "N" (no command), "03", "04",
// "05", "06", "10" (function 16).
inline constexpr int FUNCTION_RING_ITEMS = 6;

// The ring item for a function code; every code the ring lacks is "N" (0).
int Function_Ring_Index(int function_code);

// The function code of a ring item's text, 0 for "N" or an unknown text.
int Function_Code_Of_Text(const char *text);

// Shows six row bytes in row r (1-40) of a command table, or takes them
// from it (values beyond a byte keep their low bits, as the device would).
void Command_Row_Show(int panel, int table, int row, const int bytes[6]);
void Command_Row_Take(int panel, int table, int row, int bytes[6]);
