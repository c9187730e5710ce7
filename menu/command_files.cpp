#include "menu/command_files.h"

#include "app/shared_state.h"
#include "config/command_row.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t kLargestSensibleFile = 64 * 1024;   // a table file is under 1 KiB

int table_of(int selector)
{
    return selector == 0 ? MAIN_TX1_COMMANDS : MAIN_TX2_COMMANDS;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::string Command_File_Text(const int rows[COMMAND_FILE_ROWS][6])
{
    std::string text;
    char field[8];
    for (int r = 0; r < COMMAND_FILE_ROWS; ++r) {
        for (int i = 0; i < 6; ++i) {
            std::snprintf(field, sizeof field, "%02X\t", rows[r][i] & 0xFF);
            text += field;
        }
        text += "\n";
    }
    return text;
}

bool Command_File_Parse(const std::string &text, int rows[COMMAND_FILE_ROWS][6])
{
    int fields[COMMAND_FILE_ROWS * 6];
    size_t at = 0;
    for (int &field : fields) {
        while (at < text.size() && is_space(text[at]))
            ++at;
        size_t start = at;
        int value = 0;
        while (at < text.size() && !is_space(text[at])) {
            int d = hex_digit(text[at]);
            if (d < 0 || at - start == 2)
                return false;   // not hex, or more than two digits
            value = value * 16 + d;
            ++at;
        }
        if (at == start)
            return false;       // the text ended before 240 fields
        field = value;
    }
    for (int r = 0; r < COMMAND_FILE_ROWS; ++r)
        for (int i = 0; i < 6; ++i)
            rows[r][i] = fields[r * 6 + i];
    return true;
}

int Save_Commands(int selector, const char *path)
{
    int rows[COMMAND_FILE_ROWS][6];
    for (int r = 0; r < COMMAND_FILE_ROWS; ++r)
        Command_Row_Take(gvPanel, table_of(selector), r + 1, rows[r]);
    FILE *f = std::fopen(path, "w");
    if (!f)
        return 0;
    std::string text = Command_File_Text(rows);
    bool written = std::fputs(text.c_str(), f) >= 0;
    return std::fclose(f) == 0 && written ? 1 : 0;
}

int load_Commands(int selector, const char *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    std::string text(kLargestSensibleFile + 1, '\0');
    in.read(text.data(), (std::streamsize)text.size());
    text.resize((size_t)in.gcount());
    int rows[COMMAND_FILE_ROWS][6];
    if (!Command_File_Parse(text, rows))
        return 0;
    for (int r = 0; r < COMMAND_FILE_ROWS; ++r)
        Command_Row_Show(gvPanel, table_of(selector), r + 1, rows[r]);
    return 1;
}
