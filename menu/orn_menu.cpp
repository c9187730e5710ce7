#include "menu/orn_menu.h"

#include "app/shared_state.h"
#include "lang/lang_api.h"
#include "menu/help_topics.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>

// Command-table files come with their own work.
void Save_F(int, int, void *, int) {}
void load_F(int, int, void *, int) {}
void clear_F(int, int, void *, int) {}

void Contents_F(int /*menubar*/, int /*item*/, void * /*callback_data*/, int /*panel*/)
{
    // A language other than the two is shown in English, and so is its help.
    Show_Help_Topic(gvLang == LANG_TCHINESE ? HELP_CONTENTS_TCHINESE : HELP_CONTENTS_ENGLISH);
}

void lang_F(int /*menubar*/, int item, void * /*callback_data*/, int /*panel*/)
{
    int ticked = 0;
    GetMenuBarAttribute(gvMenu, item, ATTR_CHECKED, &ticked);
    if (ticked)
        return;
    SetMenuBarAttribute(gvMenu, MENUBAR_LANG_ENGLISH, ATTR_CHECKED, 0);
    SetMenuBarAttribute(gvMenu, MENUBAR_LANG_TCHINESE, ATTR_CHECKED, 0);
    SetMenuBarAttribute(gvMenu, item, ATTR_CHECKED, 1);
    int lang = item == MENUBAR_LANG_TCHINESE ? LANG_TCHINESE : LANG_ENGLISH;
    SetPanelCharacterSet(gvPanel, lang == LANG_TCHINESE ? VAL_BIG5_CHARSET : VAL_DEFAULT_CHARSET);
    language_Trans(lang);
    // A setting that cannot be saved costs the next start, not this switch.
    if (FILE *f = std::fopen("Lang_type.txt", "w")) {
        std::fprintf(f, "%d", lang);
        std::fclose(f);
    }
    gvLang = lang;
}
