#include "app/shell.h"

#include "app/callbacks.h"
#include "app/shared_state.h"
#include "discovery/scan_virtual_com_fun.h"
#include "lang/lang_api.h"
#include "menu/help_topics.h"
#include "platform/program_folder.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_ids.h"

#include <cstdio>
#include <string>

static constexpr double kLoopSleepS = 0.010;   // pause between two polls of the event queue

// A panel file that cannot be used leaves nothing to run: say which and why.
static int report_load_failure()
{
    std::string text = std::string("The program cannot start: ") + Ui_Load_Error();
    std::fprintf(stderr, "orn-config: %s\n", text.c_str());
    MessagePopup("", text.c_str());
    return -1;
}

void Scan_Form_initial()
{
    Get_Windows_Device_info("All_DEV.txt");
    Scan_USB_Virtual_ComPort_to_list();

    int lang = Lang_Read_Setting();
    int item = lang == 1 ? MENUBAR_LANG_TCHINESE : MENUBAR_LANG_ENGLISH;
    int charset = lang == 1 ? VAL_BIG5_CHARSET : VAL_DEFAULT_CHARSET;
    SetPanelCharacterSet(gvPanel, charset);
    SetMenuBarAttribute(gvMenu, item, ATTR_CHECKED, 1);
    language_Trans(lang);
    gvLang = lang;
    // The keyboard starts in the port list, on its first port: Enter picks it.
    SetActiveCtrl(gvScan, SCAN_COM_LIST);
}

void Return_To_Scan()
{
    CloseCom(gvCOM);
    HidePanel(gvPanel);
    Scan_Form_initial();
    DisplayPanel(gvScan);
}

int App_Start()
{
    App_Register_Callbacks();
    gvScan = LoadPanel(0, "..\\ui\\Scan.uir", SCAN);
    if (gvScan < 0)
        return report_load_failure();
    gvPanel = LoadPanel(0, "..\\ui\\Tarvox.uir", MAIN);
    if (gvPanel < 0)
        return report_load_failure();
    gvMenu = GetPanelMenuBar(gvPanel);
    Scan_Form_initial();
    DisplayPanel(gvScan);
    return 0;
}

void App_Run_Loop()
{
    while (!gQuit) {
        ProcessSystemEvents();
        Delay(kLoopSleepS);
    }
}

int App_Main(int argc, char **argv)
{
    Ui_Init(argc, argv);
    if (Enter_Program_Folder() != 0)
        std::fprintf(stderr, "orn-config: cannot enter the program's folder; staying in the current one\n");
    if (App_Start() != 0)
        return 1;
    App_Run_Loop();
    return 0;
}

int Scan_F(int /*panel*/, int event, void * /*callback_data*/, int data1, int /*data2*/)
{
    if (event == EVENT_CLOSE) {
        DiscardPanel(gvScan);
        gQuit = 1;
    }
    if (data1 == VAL_F1_VKEY)
        Show_Help_Topic(HELP_SCAN);
    return 0;
}

int ORN_PANEL_F(int /*panel*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event == EVENT_CLOSE) {
        CloseCom(gvCOM);
        DiscardPanel(gvPanel);
        gQuit = 1;
    }
    return 0;
}

void Exit_F(int /*menubar*/, int /*item*/, void * /*callback_data*/, int /*panel*/)
{
    DiscardPanel(gvPanel);
    DiscardPanel(gvScan);
    gQuit = 1;
}
