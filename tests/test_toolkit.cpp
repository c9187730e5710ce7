// The toolkit on the program's real panel files, offscreen: what loads,
// what is refused, and how input reaches the callbacks.
#include "app/callbacks.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

// Every event a recording callback saw, as "name panel control event d1 d2".
std::vector<std::string> sSeen;

std::string seen(const char *name, int panel, int control, int event, int d1, int d2)
{
    std::ostringstream s;
    s << name << " " << panel << " " << control << " " << event << " " << d1 << " " << d2;
    return s.str();
}

#define RECORD_CONTROL(f)                                                            \
    int f##_rec(int panel, int control, int event, void *, int d1, int d2)           \
    {                                                                                \
        sSeen.push_back(seen(#f, panel, control, event, d1, d2));                    \
        return 0;                                                                    \
    }
RECORD_CONTROL(LISTBOX_F)
RECORD_CONTROL(TB_F)
RECORD_CONTROL(T_R_PARA_F)
RECORD_CONTROL(Tx_state_F)
RECORD_CONTROL(ORN_ID_change)
RECORD_CONTROL(Read_data_buf_F)

int Scan_F_rec(int panel, int event, void *, int d1, int d2)
{
    sSeen.push_back(seen("Scan_F", panel, 0, event, d1, d2));
    return 0;
}

void lang_F_rec(int menubar, int item, void *, int panel)
{
    sSeen.push_back(seen("lang_F", menubar, item, 0, panel, 0));
}

// A callback that runs long and tries to let events in meanwhile.
int Read_F_long(int panel, int control, int event, void *, int d1, int d2)
{
    sSeen.push_back(seen("Read_F begins", panel, control, event, d1, d2));
    SetCtrlAttribute(panel, MAIN_READ_TIMER, ATTR_ENABLED, 1);
    for (int i = 0; i < 10; ++i) {
        Delay(0.02);
        ProcessSystemEvents();
    }
    sSeen.push_back("Read_F ends");
    return 0;
}

class Toolkit : public UiTree {
protected:
    void SetUp() override
    {
        UiTree::SetUp();
        sSeen.clear();
        App_Register_Callbacks();
        const UiCallbackEntry recorders[] = {
            {"LISTBOX_F", nullptr, LISTBOX_F_rec, nullptr},   {"TB_F", nullptr, TB_F_rec, nullptr},
            {"T_R_PARA_F", nullptr, T_R_PARA_F_rec, nullptr}, {"Tx_state_F", nullptr, Tx_state_F_rec, nullptr},
            {"ORN_ID_change", nullptr, ORN_ID_change_rec, nullptr},
            {"Read_data_buf_F", nullptr, Read_data_buf_F_rec, nullptr},
            {"Read_F", nullptr, Read_F_long, nullptr},
            {"Scan_F", Scan_F_rec, nullptr, nullptr},        {"lang_F", nullptr, nullptr, lang_F_rec},
        };
        Ui_Register_Callbacks(recorders, (int)(sizeof recorders / sizeof recorders[0]));
    }
    void load()
    {
        scan_ = LoadPanel(0, "..\\ui\\Scan.uir", SCAN);
        ASSERT_GT(scan_, 0) << Ui_Load_Error();
        main_ = LoadPanel(0, "../ui/Tarvox.uir", MAIN);
        ASSERT_GT(main_, 0) << Ui_Load_Error();
        menu_ = GetPanelMenuBar(main_);
        ASSERT_GT(menu_, 0);
    }
    int scan_ = 0, main_ = 0, menu_ = 0;
};

TEST_F(Toolkit, PanelsLoadInTheirInitialState)
{
    load();
    int v = -1;
    for (int timer : {MAIN_WRITE_TIMER, MAIN_READ_TIMER, MAIN_BUFFER_TIMER}) {
        ASSERT_EQ(GetCtrlAttribute(main_, timer, ATTR_ENABLED, &v), 0);
        EXPECT_EQ(v, 0) << "timer " << timer << " starts disabled";
    }
    for (auto [panel, progress] : {std::pair{scan_, SCAN_PROGRESS}, std::pair{main_, MAIN_PROGRESS}}) {
        ASSERT_EQ(GetCtrlAttribute(panel, progress, ATTR_VISIBLE, &v), 0);
        EXPECT_EQ(v, 0) << "progress indicator " << progress << " starts hidden";
    }
    for (int item : {MENUBAR_LANG_ENGLISH, MENUBAR_LANG_TCHINESE}) {
        ASSERT_EQ(GetMenuBarAttribute(menu_, item, ATTR_CHECKED, &v), 0);
        EXPECT_EQ(v, 0) << "language item " << item << " starts unticked";
    }
    EXPECT_EQ(GetPanelAttribute(scan_, ATTR_VISIBLE, &v), 0);
    EXPECT_EQ(v, 0) << "a loaded panel is hidden";
    ASSERT_EQ(GetCtrlAttribute(scan_, SCAN_PROGRESS, ATTR_MAX_VALUE, &v), 0);
    EXPECT_EQ(v, 3);
    char text[64];
    EXPECT_EQ(GetMenuBarAttribute(menu_, MENUBAR_TX1_LOAD, ATTR_ITEM_NAME, text, sizeof text), 0);
    EXPECT_STREQ(text, "load");
    EXPECT_EQ(GetMenuBarAttribute(menu_, MENUBAR_VCOM, ATTR_MENU_NAME, text, sizeof text), 0);
    EXPECT_STREQ(text, "Virtual Com");
    EXPECT_EQ(GetCtrlAttribute(main_, MAIN_READ_BUFFER, ATTR_ON_TEXT, text, sizeof text), 0);
    EXPECT_STREQ(text, "Reading");
}

TEST_F(Toolkit, FilesThatBreakTheContractAreRefusedWithTheReason)
{
    copy_ui_files();
    std::ifstream in(ui_file("Tarvox.uir"));
    std::string original((std::istreambuf_iterator<char>(in)), {});
    const struct {
        const char *what, *from, *to, *reason;
    } cases[] = {
        {"a callback the program lacks", ">TB_F</string>", ">Table_F</string>",
         "names control callback Table_F, which the program lacks"},
        {"an id gone", "<number>14</number>", "<number>114</number>", "lacks MAIN_STATUS (id 14)"},
        {"a control of another kind", "class=\"QProgressBar\" name=\"MAIN_PROGRESS\"", "class=\"QLabel\" name=\"MAIN_PROGRESS\"",
         "MAIN_PROGRESS is a text, not a progress"},
        {"a class the loader does not know", "class=\"QProgressBar\" name=\"MAIN_PROGRESS\"",
         "class=\"QFancyBar\" name=\"MAIN_PROGRESS\"", "lacks MAIN_PROGRESS (id 5)"},
        {"no panel at all", "<ui version", "<nonsense version", "not a panel resource file"},
    };
    for (auto &c : cases) {
        std::string text = original;
        size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        text.replace(at, std::strlen(c.from), c.to);
        Write_Text_File(ui_file("Tarvox.uir"), text);
        EXPECT_EQ(LoadPanel(0, "..\\ui\\Tarvox.uir", MAIN), UI_ERR_LOAD) << c.what;
        EXPECT_NE(std::string(Ui_Load_Error()).find(c.reason), std::string::npos) << c.what << ": " << Ui_Load_Error();
        EXPECT_NE(std::string(Ui_Load_Error()).find("Tarvox.uir"), std::string::npos) << "the report names the file";
    }
    std::remove(ui_file("Tarvox.uir").c_str());
    EXPECT_EQ(LoadPanel(0, "..\\ui\\Tarvox.uir", MAIN), UI_ERR_LOAD);
    EXPECT_NE(std::string(Ui_Load_Error()).find("cannot be read"), std::string::npos);
    EXPECT_EQ(LoadPanel(0, "..\\ui\\Scan.uir", 2), UI_ERR_LOAD) << "the file holds panel 1 only";
}

TEST_F(Toolkit, InputReachesTheBoundCallbackWithItsArguments)
{
    load();
    DisplayPanel(scan_);
    ASSERT_EQ(InsertListItem(scan_, SCAN_COM_LIST, -1, "USB Modbus RTU Converter - /dev/ttyACM0 (COM97)", 97), 0);
    ASSERT_EQ(InsertListItem(scan_, SCAN_COM_LIST, -1, "Simulated Modbus converter (COM225)", 225), 0);
    int n = 0, value = 0;
    EXPECT_EQ(GetNumListItems(scan_, SCAN_COM_LIST, &n), 0);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(GetCtrlVal(scan_, SCAN_COM_LIST, &value), 0);
    EXPECT_EQ(value, 97) << "the first port starts selected";

    Ui_Simulate(scan_, SCAN_COM_LIST, INPUT_CLICK, 2, 0);
    EXPECT_EQ(GetCtrlVal(scan_, SCAN_COM_LIST, &value), 0);
    EXPECT_EQ(value, 225);
    Ui_Simulate(scan_, SCAN_COM_LIST, INPUT_KEY_ENTER, 0, 0);
    Ui_Simulate(scan_, SCAN_COM_LIST, INPUT_KEY_F1, 0, 0);
    Ui_Simulate(scan_, 0, INPUT_KEY_F1, 0, 0);
    Ui_Simulate(scan_, 0, INPUT_CLOSE, 0, 0);
    run_for(0.05);

    DisplayPanel(main_);
    Ui_Simulate(main_, MAIN_TX1_COMMANDS, INPUT_RIGHT_CLICK, 3, 2);
    Ui_Simulate(main_, MAIN_TX1_MASTER, INPUT_CLICK, 0, 0);
    Ui_Simulate(main_, MAIN_DEVICE_ID, INPUT_SET_VALUE, 17, 0);
    Ui_Simulate(main_, MAIN_READ_BUFFER, INPUT_CLICK, 0, 0);
    Ui_Simulate_Menu(menu_, MENUBAR_LANG_TCHINESE);
    run_for(0.05);

    const std::vector<std::string> expected = {
        seen("LISTBOX_F", scan_, SCAN_COM_LIST, EVENT_LEFT_CLICK_UP, 0, 0),
        seen("LISTBOX_F", scan_, SCAN_COM_LIST, EVENT_COMMIT, 0, 0),
        seen("LISTBOX_F", scan_, SCAN_COM_LIST, EVENT_KEYPRESS, VAL_F1_VKEY, 0),
        seen("Scan_F", scan_, 0, EVENT_KEYPRESS, VAL_F1_VKEY, 0),
        seen("Scan_F", scan_, 0, EVENT_CLOSE, 0, 0),
        seen("TB_F", main_, MAIN_TX1_COMMANDS, EVENT_RIGHT_CLICK, 3, 2),
        seen("Tx_state_F", main_, MAIN_TX1_MASTER, EVENT_COMMIT, 0, 0),
        seen("ORN_ID_change", main_, MAIN_DEVICE_ID, EVENT_COMMIT, 0, 0),
        seen("Read_data_buf_F", main_, MAIN_READ_BUFFER, EVENT_COMMIT, 0, 0),
        seen("lang_F", menu_, MENUBAR_LANG_TCHINESE, 0, main_, 0),
    };
    EXPECT_EQ(sSeen, expected);
    int v = -1;
    EXPECT_EQ(GetPanelAttribute(scan_, ATTR_VISIBLE, &v), 0) << "a close request leaves the panel to the program";
    EXPECT_EQ(GetCtrlVal(main_, MAIN_TX1_MASTER, &v), 0);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(GetCtrlVal(main_, MAIN_DEVICE_ID, &v), 0);
    EXPECT_EQ(v, 17);
    char text[32];
    EXPECT_EQ(GetCtrlAttribute(main_, MAIN_READ_BUFFER, ATTR_ON_TEXT, text, sizeof text), 0);
    EXPECT_EQ(GetMenuBarAttribute(menu_, MENUBAR_LANG_TCHINESE, ATTR_CHECKED, &v), 0);
    EXPECT_EQ(v, 0) << "choosing an item does not tick it: the program does";
}

TEST_F(Toolkit, TimersTickOnlyThroughTheEventQueueAndOneCallbackRunsAtATime)
{
    load();
    DisplayPanel(main_);
    ASSERT_EQ(SetCtrlAttribute(main_, MAIN_READ_TIMER, ATTR_ENABLED, 1), 0);
    Delay(0.1);
    EXPECT_TRUE(sSeen.empty()) << "no tick without the event queue";
    run_for(0.05);
    ASSERT_FALSE(sSeen.empty());
    EXPECT_EQ(sSeen[0], seen("T_R_PARA_F", main_, MAIN_READ_TIMER, EVENT_TIMER_TICK, 0, 0));
    SetCtrlAttribute(main_, MAIN_READ_TIMER, ATTR_ENABLED, 0);
    run_for(0.03);
    sSeen.clear();

    // Read all runs for 0.2 s and polls the queue itself: nothing gets in.
    Ui_Simulate(main_, MAIN_READ_ALL, INPUT_CLICK, 0, 0);
    ASSERT_GE(sSeen.size(), 2u);
    EXPECT_EQ(sSeen[0].rfind("Read_F begins", 0), 0u);
    EXPECT_EQ(sSeen[1], "Read_F ends");
    run_for(0.05);
    ASSERT_GE(sSeen.size(), 3u);
    EXPECT_EQ(sSeen[2], seen("T_R_PARA_F", main_, MAIN_READ_TIMER, EVENT_TIMER_TICK, 0, 0))
        << "the timer ticks once the long callback has ended";
}

TEST_F(Toolkit, ValuesCellsAndAttributesByIdAndBadOnesRefused)
{
    load();
    Point cell = MakePoint(2, 40);
    char text[16];
    int v = 0;
    EXPECT_EQ(SetTableCellValFromIndex(main_, MAIN_TX2_COMMANDS, cell, 5), 0);
    EXPECT_EQ(GetTableCellVal(main_, MAIN_TX2_COMMANDS, cell, text, sizeof text), 0);
    EXPECT_STREQ(text, "10") << "a ring cell reads as its item text";
    EXPECT_EQ(SetTableCellVal(main_, MAIN_TX2_COMMANDS, MakePoint(3, 1), 4660), 0);
    EXPECT_EQ(GetTableCellVal(main_, MAIN_TX2_COMMANDS, MakePoint(3, 1), &v), 0);
    EXPECT_EQ(v, 4660);
    EXPECT_EQ(SetTableCellVal(main_, MAIN_DATA_BUFFER, MakePoint(1, 500), -32768), 0);
    EXPECT_EQ(GetTableCellVal(main_, MAIN_DATA_BUFFER, MakePoint(1, 500), &v), 0);
    EXPECT_EQ(v, -32768);
    EXPECT_EQ(SetCtrlVal(main_, MAIN_STATUS, "Read OK"), 0);
    EXPECT_EQ(SetCtrlAttribute(main_, MAIN_STATUS, ATTR_TEXT_COLOR, VAL_DK_GREEN), 0);
    EXPECT_EQ(GetCtrlVal(main_, MAIN_STATUS, text, sizeof text), 0);
    EXPECT_STREQ(text, "Read OK");
    EXPECT_EQ(GetCtrlAttribute(main_, MAIN_STATUS, ATTR_TEXT_COLOR, &v), 0);
    EXPECT_EQ(v, VAL_DK_GREEN);
    EXPECT_EQ(SetCtrlAttribute(main_, MAIN_TX1_BAUD, ATTR_LABEL_TEXT, "Tx1 鮑率"), 0);
    EXPECT_EQ(GetCtrlAttribute(main_, MAIN_TX1_BAUD, ATTR_LABEL_TEXT, text, sizeof text), 0);
    EXPECT_STREQ(text, "Tx1 鮑率");
    EXPECT_EQ(GetCtrlVal(main_, MAIN_STATUS, text, 4), 0);
    EXPECT_STREQ(text, "Rea") << "a short buffer gets a cut, terminated text";

    // Rings carry device codes; a code the ring does not list is kept.
    EXPECT_EQ(SetCtrlVal(main_, MAIN_TX1_BAUD, 3), 0);
    EXPECT_EQ(GetCtrlVal(main_, MAIN_TX1_BAUD, &v), 0);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(SetCtrlVal(main_, MAIN_TX2_FORMAT, 12), 0);
    EXPECT_EQ(GetCtrlVal(main_, MAIN_TX2_FORMAT, &v), 0);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(SetCtrlVal(main_, MAIN_TX2_FORMAT, 1), 0);
    EXPECT_EQ(GetCtrlVal(main_, MAIN_TX2_FORMAT, &v), 0);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(SetCtrlVal(main_, MAIN_TX1_TIMEOUT, 65535), 0) << "numeric controls hold any 16-bit register";
    EXPECT_EQ(SetCtrlVal(main_, MAIN_DEVICE_ID, 65535), 0);
    EXPECT_EQ(SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(1, 1), 255), 0);
    EXPECT_EQ(SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(4, 40), 65535), 0);
    EXPECT_EQ(SetTableCellVal(main_, MAIN_DATA_BUFFER, MakePoint(1, 1), 32767), 0);

    const struct { const char *what; int result, expected; } refused[] = {
        {"slave address above 255", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(1, 1), 256), UI_ERR_BAD_VALUE},
        {"register above 65535", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(3, 1), 65536), UI_ERR_BAD_VALUE},
        {"negative count", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(4, 1), -1), UI_ERR_BAD_VALUE},
        {"buffer word beyond 16 bits", SetTableCellVal(main_, MAIN_DATA_BUFFER, MakePoint(1, 1), 32768), UI_ERR_BAD_VALUE},
        {"unknown panel", SetCtrlVal(999, MAIN_STATUS, 1), UI_ERR_BAD_HANDLE},
        {"unknown control", SetCtrlVal(main_, 99, 1), UI_ERR_BAD_ID},
        {"unknown attribute", SetCtrlAttribute(main_, MAIN_STATUS, 999, 1), UI_ERR_BAD_ATTRIBUTE},
        {"cell beyond the table", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(1, 41), 1), UI_ERR_BAD_VALUE},
        {"cell column 0", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(0, 1), 1), UI_ERR_BAD_VALUE},
        {"ring index beyond its items", SetTableCellValFromIndex(main_, MAIN_TX1_COMMANDS, MakePoint(2, 1), 6), UI_ERR_BAD_VALUE},
        {"number into a ring cell", SetTableCellVal(main_, MAIN_TX1_COMMANDS, MakePoint(2, 1), 3), UI_ERR_BAD_VALUE},
        {"table cell of a list", SetTableCellVal(scan_, SCAN_COM_LIST, MakePoint(1, 1), 3), UI_ERR_BAD_VALUE},
        {"value of an empty list", GetCtrlVal(scan_, SCAN_COM_LIST, &v), UI_ERR_BAD_VALUE},
        {"numeric beyond its range", SetCtrlVal(main_, MAIN_DEVICE_ID, 70000), UI_ERR_BAD_VALUE},
        {"text into a ring", SetCtrlVal(main_, MAIN_TX1_BAUD, "9600"), UI_ERR_BAD_VALUE},
        {"unknown menu bar", SetMenuBarAttribute(99, MENUBAR_LANG_ENGLISH, ATTR_CHECKED, 1), UI_ERR_BAD_HANDLE},
        {"unknown menu item", SetMenuBarAttribute(menu_, 99, ATTR_CHECKED, 1), UI_ERR_BAD_ID},
        {"missing picture file", DisplayImageFile(main_, MAIN_TX1_MASTER_PIC, "nowhere.png"), UI_ERR_BAD_VALUE},
        {"scan panel has no menu bar", GetPanelMenuBar(scan_), UI_ERR_BAD_ID},
    };
    for (auto &r : refused)
        EXPECT_EQ(r.result, r.expected) << r.what;
    EXPECT_EQ(DiscardPanel(scan_), 0);
    EXPECT_EQ(DiscardPanel(scan_), UI_ERR_BAD_HANDLE) << "a discarded handle is gone";
    EXPECT_EQ(SetCtrlVal(scan_, SCAN_STATUS, "x"), UI_ERR_BAD_HANDLE);
    ProcessSystemEvents();
}

TEST_F(Toolkit, PathsWithBackslashesWork)
{
    std::filesystem::create_directory(dir_ + "/Commands");
    EXPECT_EQ(SetDir("..\\Commands"), 0);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir_ + "/Commands"));
    EXPECT_EQ(SetDir("..\\bin"), 0);
    EXPECT_EQ(SetDir("..\\nowhere"), -1);
    EXPECT_EQ(MakeDir("..\\Made"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/Made"));
}

TEST_F(Toolkit, PopupsAnswerFromTheScriptAndLogWhatTheySaid)
{
    Ui_Script_Answer("");
    Ui_Script_Answer("1");
    Ui_Script_Answer("0");
    Ui_Script_Answer("/tmp/tx1.txt");
    Ui_Script_Answer("");
    EXPECT_EQ(MessagePopup("", "No port"), 0);
    EXPECT_EQ(ConfirmPopup("Clear", "Sure?"), 1);
    EXPECT_EQ(ConfirmPopup("Clear", "Sure?"), 0);
    char path[64];
    EXPECT_EQ(FileSelectPopup("", "*.txt", "*.txt", "Save Tx1", VAL_SAVE_BUTTON, 0, 0, 1, 1, path, sizeof path), 1);
    EXPECT_STREQ(path, "/tmp/tx1.txt");
    EXPECT_EQ(FileSelectPopup("", "*.txt", "*.txt", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 1, path, sizeof path), 0)
        << "an empty answer is a cancel";
    EXPECT_STREQ(Ui_Popup_Log(), "|No port\nClear|Sure?\nClear|Sure?\nSave Tx1|*.txt\nLoad|*.txt\n");
}

}  // namespace
