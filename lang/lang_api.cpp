#include "lang/lang_api.h"

#include "app/shared_state.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>

namespace {

struct Bilingual {
    int id;
    const char *text[2];   // English, Traditional Chinese
};

// Labels of main-panel controls (MAIN_OPERATION_TEXT: its value).
constexpr Bilingual kLabels[] = {
    {MAIN_WRITE_ALL, {"Write all", "寫入全部"}},
    {MAIN_READ_ALL, {"Read all", "讀取全部"}},
    {MAIN_TX2_BAUD, {"Tx2 Baud rate", "Tx2 鮑率"}},
    {MAIN_TX2_FORMAT, {"Tx2 RTU", "Tx2 位元形態"}},
    {MAIN_TX2_COMMANDS, {"Tx2 Command", "Tx2 通訊指令"}},
    {MAIN_TX1_COMMANDS, {"Tx1 Command", "Tx1 通訊指令"}},
    {MAIN_TX1_BAUD, {"Tx1 Baud rate", "Tx1 鮑率"}},
    {MAIN_TX1_FORMAT, {"Tx1 RTU", "Tx1 位元形態"}},
    {MAIN_DATA_BUFFER, {"Data Buffer", "內存資料"}},
    {MAIN_TX2_TIMEOUT, {"Tx2 TimeOut", "Tx2 等待回覆"}},
    {MAIN_TX2_INTERVAL, {"Tx2 Interval", "Tx2 指令間隔"}},
    {MAIN_TX1_INTERVAL, {"Tx1 Interval", "Tx1 指令間隔"}},
    {MAIN_TX1_TIMEOUT, {"Tx1 TimeOut", "Tx1 等待回覆"}},
    {MAIN_OPERATION_TEXT, {"Operation", "操作介面"}},
};

// The order in which the labels are applied.
constexpr int kLabelOrder[] = {
    MAIN_READ_ALL, MAIN_WRITE_ALL, MAIN_TX1_BAUD, MAIN_TX1_FORMAT, MAIN_TX2_BAUD, MAIN_TX2_FORMAT,
    MAIN_TX1_COMMANDS, MAIN_TX2_COMMANDS, MAIN_DATA_BUFFER, MAIN_TX1_TIMEOUT, MAIN_TX1_INTERVAL,
    MAIN_TX2_TIMEOUT, MAIN_TX2_INTERVAL,
};

constexpr const char *kBufferOnText[2] = {"Reading", "讀取中"};
constexpr const char *kBufferOffText[2] = {"Read buffer", "讀取內存"};

constexpr Bilingual kMenus[] = {
    {MENUBAR_VCOM, {"Virtual Com", "虛擬接口"}},
    {MENUBAR_TX1, {"Tx1 Commands", "Tx1 指令"}},
    {MENUBAR_TX2, {"Tx2 Commands", "Tx2 指令"}},
    {MENUBAR_HELP, {"Help", "幫助"}},
    {MENUBAR_LANG, {"Language", "語言"}},
};

constexpr Bilingual kItems[] = {
    {MENUBAR_VCOM_SCAN, {"Scan", "掃描"}},
    {MENUBAR_VCOM_EXIT, {"Exit", "離開"}},
    {MENUBAR_TX1_SAVE, {"Save", "存檔"}},
    {MENUBAR_TX1_LOAD, {"load", "讀取"}},
    {MENUBAR_TX1_CLEAR, {"clear", "清除"}},
    {MENUBAR_TX2_SAVE, {"Save", "存檔"}},
    {MENUBAR_TX2_LOAD, {"load", "讀取"}},
    {MENUBAR_TX2_CLEAR, {"clear", "清除"}},
    {MENUBAR_HELP_CONTENTS, {"contents", "說明"}},
    {MENUBAR_LANG_ENGLISH, {"English", "英文"}},
    {MENUBAR_LANG_TCHINESE, {"Traditional Chinese", "繁體中文"}},
};

constexpr Bilingual kPictures[] = {
    {MAIN_TX1_MASTER_PIC, {"Tx1_M.png", "Tx1_M_C.png"}},
    {MAIN_TX1_SLAVE_PIC, {"Tx1_S.png", "Tx1_S_C.png"}},
    {MAIN_TX2_MASTER_PIC, {"Tx2_M.png", "Tx2_M_C.png"}},
    {MAIN_TX2_SLAVE_PIC, {"Tx2_S.png", "Tx2_S_C.png"}},
};

}  // namespace

int Lang_Setting_Of(const char *text, size_t length)
{
    // Only the program's own "0" or "1" count; a line end may follow.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    return length == 1 && text[0] == '1' ? LANG_TCHINESE : LANG_ENGLISH;
}

int Lang_Read_Setting()
{
    FILE *f = std::fopen("Lang_type.txt", "r");
    if (!f)
        return LANG_ENGLISH;
    char text[8];
    size_t n = std::fread(text, 1, sizeof text, f);
    std::fclose(f);
    return Lang_Setting_Of(text, n);
}

void language_database(int control, int lang, char *text, size_t size)
{
    if ((lang != LANG_ENGLISH && lang != LANG_TCHINESE) || !text || size == 0)
        return;
    for (const Bilingual &l : kLabels)
        if (l.id == control) {
            std::snprintf(text, size, "%s", l.text[lang]);
            return;
        }
}

void language_Trans(int lang)
{
    if (lang != LANG_TCHINESE)
        lang = LANG_ENGLISH;
    char text[64];
    for (int id : kLabelOrder) {
        language_database(id, lang, text, sizeof text);
        SetCtrlAttribute(gvPanel, id, ATTR_LABEL_TEXT, text);
    }
    language_database(MAIN_OPERATION_TEXT, lang, text, sizeof text);
    SetCtrlVal(gvPanel, MAIN_OPERATION_TEXT, text);
    SetCtrlAttribute(gvPanel, MAIN_READ_BUFFER, ATTR_ON_TEXT, kBufferOnText[lang]);
    SetCtrlAttribute(gvPanel, MAIN_READ_BUFFER, ATTR_OFF_TEXT, kBufferOffText[lang]);
    for (const Bilingual &m : kMenus)
        SetMenuBarAttribute(gvMenu, m.id, ATTR_MENU_NAME, m.text[lang]);
    for (const Bilingual &i : kItems)
        SetMenuBarAttribute(gvMenu, i.id, ATTR_ITEM_NAME, i.text[lang]);
    for (const Bilingual &p : kPictures)
        DisplayImageFile(gvPanel, p.id, p.text[lang]);
}
