// The two languages of the main panel and the help topics, on the real
// panels offscreen.
#include "app/shared_state.h"
#include "app/shell.h"
#include "lang/lang_api.h"
#include "platform/serial.h"
#include "platform/ui_help.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <filesystem>

namespace {

class Language : public UiTree {
protected:
    void SetUp() override
    {
        UiTree::SetUp();
        ASSERT_EQ(App_Start(), 0) << Ui_Load_Error();
    }
    std::string label(int id)
    {
        char text[128] = "?";
        GetCtrlAttribute(gvPanel, id, ATTR_LABEL_TEXT, text, sizeof text);
        return text;
    }
    std::string menu_name(int id, int attribute)
    {
        char text[128] = "?";
        GetMenuBarAttribute(gvMenu, id, attribute, text, sizeof text);
        return text;
    }
    std::string picture(int id)
    {
        char text[128] = "?";
        GetCtrlAttribute(gvPanel, id, ATTR_IMAGE_FILE, text, sizeof text);
        return text;
    }
    std::string value(int panel, int id)
    {
        char text[128] = "?";
        GetCtrlVal(panel, id, text, sizeof text);
        return text;
    }
    int checked(int item)
    {
        int v = -1;
        GetMenuBarAttribute(gvMenu, item, ATTR_CHECKED, &v);
        return v;
    }
    void choose(int item)
    {
        Ui_Simulate_Menu(gvMenu, item);
        ProcessSystemEvents();
    }
    // What the main panel shows of a language, in one string per target.
    std::vector<std::string> shown()
    {
        char on[64] = "", off[64] = "";
        GetCtrlAttribute(gvPanel, MAIN_READ_BUFFER, ATTR_ON_TEXT, on, sizeof on);
        GetCtrlAttribute(gvPanel, MAIN_READ_BUFFER, ATTR_OFF_TEXT, off, sizeof off);
        return {label(MAIN_READ_ALL),      label(MAIN_WRITE_ALL),       label(MAIN_TX1_BAUD),
                label(MAIN_TX2_FORMAT),    label(MAIN_TX1_COMMANDS),    label(MAIN_DATA_BUFFER),
                label(MAIN_TX2_TIMEOUT),   label(MAIN_TX1_INTERVAL),    value(gvPanel, MAIN_OPERATION_TEXT),
                on,                        off,
                menu_name(MENUBAR_VCOM, ATTR_MENU_NAME), menu_name(MENUBAR_LANG, ATTR_MENU_NAME),
                menu_name(MENUBAR_TX2_LOAD, ATTR_ITEM_NAME), menu_name(MENUBAR_LANG_TCHINESE, ATTR_ITEM_NAME),
                picture(MAIN_TX1_MASTER_PIC), picture(MAIN_TX2_SLAVE_PIC)};
    }
    const std::vector<std::string> english = {
        "Read all", "Write all", "Tx1 Baud rate", "Tx2 RTU", "Tx1 Command", "Data Buffer", "Tx2 TimeOut",
        "Tx1 Interval", "Operation", "Reading", "Read buffer", "Virtual Com", "Language", "load",
        "Traditional Chinese", "Tx1_M.png", "Tx2_S.png"};
    const std::vector<std::string> chinese = {
        "讀取全部", "寫入全部", "Tx1 鮑率", "Tx2 位元形態", "Tx1 通訊指令", "內存資料", "Tx2 等待回覆",
        "Tx1 指令間隔", "操作介面", "讀取中", "讀取內存", "虛擬接口", "語言", "讀取", "繁體中文",
        "Tx1_M_C.png", "Tx2_S_C.png"};
};

TEST_F(Language, SwitchingChangesEveryTextAndIsSaved)
{
    EXPECT_EQ(shown(), english);
    SetCtrlVal(gvPanel, MAIN_STATUS, "Read OK");
    choose(MENUBAR_LANG_TCHINESE);
    EXPECT_EQ(shown(), chinese);
    EXPECT_EQ(Read_Text_File(path("bin/Lang_type.txt")), "1");
    EXPECT_EQ(checked(MENUBAR_LANG_TCHINESE), 1);
    EXPECT_EQ(checked(MENUBAR_LANG_ENGLISH), 0);
    EXPECT_EQ(gvLang, 1);
    EXPECT_EQ(value(gvPanel, MAIN_STATUS), "Read OK") << "the status keeps its text until the next action";
    EXPECT_EQ(label(MAIN_DEVICE_ID), "Device ID") << "labels outside the table stay";
    EXPECT_EQ(value(gvScan, SCAN_STATUS), "...") << "the scan panel stays English";

    choose(MENUBAR_LANG_ENGLISH);
    EXPECT_EQ(shown(), english);
    EXPECT_EQ(Read_Text_File(path("bin/Lang_type.txt")), "0");
    EXPECT_EQ(checked(MENUBAR_LANG_TCHINESE), 0);
    EXPECT_EQ(checked(MENUBAR_LANG_ENGLISH), 1);
    EXPECT_EQ(gvLang, 0);
}

TEST_F(Language, ChoosingTheTickedLanguageChangesNothing)
{
    choose(MENUBAR_LANG_ENGLISH);
    EXPECT_FALSE(File_Exists(path("bin/Lang_type.txt"))) << "nothing is written";
    SetCtrlAttribute(gvPanel, MAIN_READ_ALL, ATTR_LABEL_TEXT, "marker");
    choose(MENUBAR_LANG_ENGLISH);
    EXPECT_EQ(label(MAIN_READ_ALL), "marker") << "nothing is applied again";
}

TEST_F(Language, SavedChoiceIsRestoredOnReturnToScan)
{
    choose(MENUBAR_LANG_TCHINESE);
    language_Trans(0);   // the panel drifts from the saved choice
    Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_SCAN);
    ProcessSystemEvents();
    EXPECT_EQ(shown(), chinese);
    Write_Text_File(path("bin/Lang_type.txt"), "7");
    Scan_Form_initial();
    EXPECT_EQ(shown(), english) << "a foreign setting means English";
    EXPECT_EQ(gvLang, 0);
}

TEST_F(Language, LabelTableLeavesOtherControlsAndLanguagesAlone)
{
    char text[32] = "unchanged";
    language_database(MAIN_DEVICE_ID, 1, text, sizeof text);
    EXPECT_STREQ(text, "unchanged");
    language_database(MAIN_READ_ALL, 2, text, sizeof text);
    EXPECT_STREQ(text, "unchanged");
    language_database(MAIN_TX2_INTERVAL, 1, text, sizeof text);
    EXPECT_STREQ(text, "Tx2 指令間隔");
    char small[6];
    language_database(MAIN_TX2_INTERVAL, 0, small, sizeof small);
    EXPECT_STREQ(small, "Tx2 I") << "a short buffer is never overrun";
}

class Help : public Language {
protected:
    std::string topic() { return std::filesystem::path(Ui_Help_Topic_File()).filename().string(); }
    void TearDown() override
    {
        ShowHtmlHelp(nullptr, HH_CLOSE_ALL, 0);
        Language::TearDown();
    }
};

TEST_F(Help, EachTriggerOpensItsTopicInOneWindow)
{
    Ui_Simulate(gvScan, 0, INPUT_KEY_F1, 0, 0);
    Ui_Simulate(gvScan, 0, INPUT_KEY_F1, 0, 0);
    EXPECT_EQ(Ui_Help_Window_Count(), 1);
    EXPECT_EQ(topic(), "Scan.html");

    InsertListItem(gvScan, SCAN_COM_LIST, -1, "Simulated Modbus converter (COM225)", 225);
    ShowHtmlHelp(nullptr, HH_CLOSE_ALL, 0);
    EXPECT_EQ(Ui_Help_Window_Count(), 0);
    Ui_Simulate(gvScan, SCAN_COM_LIST, INPUT_KEY_F1, 0, 0);
    EXPECT_EQ(topic(), "Scan.html");

    HidePanel(gvScan);
    DisplayPanel(gvPanel);
    Ui_Simulate(gvPanel, MAIN_TX2_COMMANDS, INPUT_RIGHT_CLICK, 5, 1);
    EXPECT_EQ(topic(), "Commands.html");
    Ui_Simulate_Menu(gvMenu, MENUBAR_HELP_CONTENTS);
    EXPECT_EQ(topic(), "ORN Config.html");
    choose(MENUBAR_LANG_TCHINESE);
    Ui_Simulate_Menu(gvMenu, MENUBAR_HELP_CONTENTS);
    EXPECT_EQ(topic(), "ORN Config_C.html");
    EXPECT_EQ(Ui_Help_Window_Count(), 1);
    for (const char *book : {"Scan.html", "Commands.html", "ORN Config.html", "ORN Config_C.html"})
        EXPECT_TRUE(File_Exists(path(std::string("help/") + book))) << book << " is installed";

    ShowHtmlHelp(nullptr, HH_CLOSE_ALL, 0);
    Ui_Simulate(gvPanel, 0, INPUT_KEY_F1, 0, 0);
    EXPECT_EQ(Ui_Help_Window_Count(), 0) << "F1 on the main panel does nothing";
}

TEST_F(Help, MissingTopicIsShownAsMissing)
{
    EXPECT_EQ(ShowHtmlHelp("..\\help\\ORN.chm::/Nowhere.html", HH_DISPLAY_TOPIC, 0), 0);
    EXPECT_EQ(Ui_Help_Window_Count(), 1) << "the window opens and says the topic is missing";
    EXPECT_EQ(topic(), "Nowhere.html");
    EXPECT_EQ(ShowHtmlHelp(nullptr, HH_DISPLAY_TOPIC, 0), -1);
}

}  // namespace
