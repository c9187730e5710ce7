// Status texts: the colour tells the outcome and is set before the text.
#pragma once

void Set_Status(int panel, int control, int color, const char *text);
// Reads a progress indicator's value and writes it back one higher.
void Advance_Progress(int panel, int control);
