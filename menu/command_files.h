// Command tables in text files: 40 lines, one per command row, each the six
// row bytes as two upper-case hex digits and a TAB ("01\t03\t00\t00\t00\t0A\t").
#pragma once

#include <string>

inline constexpr int COMMAND_FILE_ROWS = 40;

// The file's text for 40 rows of six bytes.
std::string Command_File_Text(const int rows[COMMAND_FILE_ROWS][6]);
// Reads 240 fields of one or two hex digits, separated by any white space
// (TABs or spaces, LF or CR LF, one line or many); what follows them is
// not read.  False, with rows untouched, when the text does not hold 240
// such fields.
bool Command_File_Parse(const std::string &text, int rows[COMMAND_FILE_ROWS][6]);

// Table selector: 0 the Tx1 table, 1 the Tx2 table.
// 1 when the table was written to path; 0 when the file cannot be created.
int Save_Commands(int selector, const char *path);
// 1 when the table was filled from path; 0 when the file cannot be read or
// does not hold a whole table (the table is then unchanged).
int load_Commands(int selector, const char *path);
