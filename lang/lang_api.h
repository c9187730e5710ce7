// The two languages of the main panel: English (0) and Traditional
// Chinese (1).  Texts are held as UTF-8.
#pragma once

#include <cstddef>

inline constexpr int LANG_ENGLISH = 0;
inline constexpr int LANG_TCHINESE = 1;

// The language saved in "Lang_type.txt": 1 when the file holds exactly
// "1" (a line end may follow), 0 otherwise, also when it is missing.
int Lang_Read_Setting();
// The language a setting file's text stands for (the rule above).
int Lang_Setting_Of(const char *text, size_t length);
// The label of a main-panel control in a language into text (at most size
// bytes, terminated); text is left as it was for a control without one or
// a language other than 0 and 1.
void language_database(int control, int lang, char *text, size_t size);
// Labels, menu names, toggle texts and pictures of the main panel in lang;
// a language other than 0 and 1 is shown as English.
void language_Trans(int lang);
