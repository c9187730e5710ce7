#include "menu/help_topics.h"

#include "platform/ui_help.h"

void Show_Help_Topic(const char *path)
{
    ShowHtmlHelp(nullptr, HH_CLOSE_ALL, 0);
    ShowHtmlHelp(path, HH_DISPLAY_TOPIC, 0);
}
