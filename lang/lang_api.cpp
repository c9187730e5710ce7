#include "lang/lang_api.h"

#include <cstdio>
#include <cstring>

int Lang_Read_Setting()
{
    FILE *f = std::fopen("Lang_type.txt", "r");
    if (!f)
        return 0;
    char text[8] = {};
    size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    // Only the program's own "0" or "1" (a line end may follow) count.
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' '))
        text[--n] = '\0';
    return std::strcmp(text, "1") == 0 ? 1 : 0;
}

// The texts of both languages come with the language work.
void language_Trans(int /*lang*/) {}
