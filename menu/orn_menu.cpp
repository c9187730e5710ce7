#include "menu/orn_menu.h"

#include "app/shared_state.h"
#include "app/status_text.h"
#include "config/command_row.h"
#include "menu/command_files.h"
#include "lang/lang_api.h"
#include "menu/help_topics.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>

namespace {

constexpr size_t kPathMax = 4096;

// Save and load show their dialog from the Commands folder beside bin.
void enter_commands_folder()
{
    if (SetDir("..\\Commands") < 0) {
        MakeDir("..\\Commands");
        SetDir("..\\Commands");
    }
}

void leave_commands_folder()
{
    SetDir("..\\bin");
}

}  // namespace

void Save_F(int /*menubar*/, int item, void * /*callback_data*/, int /*panel*/)
{
    bool tx1 = item == MENUBAR_TX1_SAVE;
    enter_commands_folder();
    char path[kPathMax];
    if (FileSelectPopup("", "*.txt", "*.txt", tx1 ? "Save Tx1 Commands to File" : "Save Tx2 Commands to File",
                        VAL_SAVE_BUTTON, 0, 0, 1, 0, path, sizeof path)) {
        if (Save_Commands(tx1 ? 0 : 1, path))
            Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, tx1 ? "Save Tx1 Commands OK" : "Save Tx2 Commands OK");
        else
            Set_Status(gvPanel, MAIN_STATUS, VAL_RED, tx1 ? "Save Tx1 Commands Error" : "Save Tx2 Commands Error");
    }
    leave_commands_folder();
}

void load_F(int /*menubar*/, int item, void * /*callback_data*/, int /*panel*/)
{
    bool tx1 = item == MENUBAR_TX1_LOAD;
    enter_commands_folder();
    char path[kPathMax];
    int loaded = 0;
    if (FileSelectPopup("", "*.txt", "*.txt", tx1 ? "load Tx1 Commands File" : "load Tx2 Commands File",
                        VAL_LOAD_BUTTON, 0, 0, 1, 0, path, sizeof path))
        loaded = load_Commands(tx1 ? 0 : 1, path);
    if (loaded)
        Set_Status(gvPanel, MAIN_STATUS, VAL_DK_GREEN, "load Commands OK");
    else
        Set_Status(gvPanel, MAIN_STATUS, VAL_RED, "No Commands loaded");
    leave_commands_folder();
}

void clear_F(int /*menubar*/, int item, void * /*callback_data*/, int /*panel*/)
{
    bool tx1 = item == MENUBAR_TX1_CLEAR;
    if (!ConfirmPopup(tx1 ? "Clear Tx1 Commands Table" : "Clear Tx2 Commands Table",
                      tx1 ? "Please comfirm Tx1 Commands Table is backup ?" : "Please comfirm Tx2 Commands Table is backup ?"))
        return;
    const int empty[6] = {0, 0, 0, 0, 0, 0};
    for (int row = 1; row <= COMMAND_FILE_ROWS; ++row)
        Command_Row_Show(gvPanel, tx1 ? MAIN_TX1_COMMANDS : MAIN_TX2_COMMANDS, row, empty);
}

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
