// The two languages of the main panel.
#pragma once

// The language saved in "Lang_type.txt": 1 when the file holds exactly
// "1" (Traditional Chinese), 0 otherwise (English), also when it is missing.
int Lang_Read_Setting();
// Labels, menu names, toggle texts and pictures of the main panel in lang.
void language_Trans(int lang);
