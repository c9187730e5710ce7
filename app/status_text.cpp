#include "app/status_text.h"

#include "platform/ui_toolkit.h"

void Set_Status(int panel, int control, int color, const char *text)
{
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, color);
    SetCtrlVal(panel, control, text);
}

void Advance_Progress(int panel, int control)
{
    int value = 0;
    GetCtrlVal(panel, control, &value);
    SetCtrlVal(panel, control, value + 1);
}
