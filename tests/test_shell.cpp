// The program's shell on its real panels, offscreen: start-up, the ways
// out, the return to scan, and a panel file that is missing.
#include "app/shared_state.h"
#include "app/shell.h"
#include "platform/orn_status.h"
#include "platform/port_map.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <filesystem>

#include <pty.h>
#include <unistd.h>

namespace {

class Shell : public UiTree {
protected:
    void start()
    {
        ASSERT_EQ(App_Start(), 0) << Ui_Load_Error();
        ASSERT_GT(gvScan, 0);
        ASSERT_GT(gvPanel, 0);
        ASSERT_GT(gvMenu, 0);
    }
    // A port held open as after first contact: a pty standing in for the
    // converter, as COM240.
    void connect_port()
    {
        char name[256];
        ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        ASSERT_EQ(symlink(name, Port_Device_Path(240).c_str()), 0);
        gvCOM = 240;
        gvORN_ID = 1;
        ASSERT_EQ(OpenCom(gvCOM, "COM240"), 0);
    }
    void TearDown() override
    {
        CloseCom(240);
        if (master_ >= 0) {
            close(master_);
            close(slave_);
        }
        UiTree::TearDown();
    }
    bool port_open() { return CloseCom(240) == 0 && OpenCom(240, "COM240") == 0; }
    int visible(int panel)
    {
        int v = -1;
        return GetPanelAttribute(panel, ATTR_VISIBLE, &v) == 0 ? v : -1;   // -1: discarded
    }
    int checked(int item)
    {
        int v = -1;
        GetMenuBarAttribute(gvMenu, item, ATTR_CHECKED, &v);
        return v;
    }
    void pump()
    {
        for (int i = 0; i < 5; ++i) {
            ProcessSystemEvents();
            Delay(0.005);
        }
    }
    int master_ = -1, slave_ = -1;
};

TEST_F(Shell, StartsOnTheScanPanelInTheSavedLanguage)
{
    start();
    EXPECT_EQ(visible(gvScan), 1);
    EXPECT_EQ(visible(gvPanel), 0);
    EXPECT_EQ(checked(MENUBAR_LANG_ENGLISH), 1) << "no Lang_type.txt: English";
    EXPECT_EQ(checked(MENUBAR_LANG_TCHINESE), 0);
    EXPECT_FALSE(File_Exists(path("bin/Lang_type.txt"))) << "start-up creates no setting file";
    EXPECT_EQ(gvLang, 0);
    EXPECT_EQ(gQuit, 0);
}

TEST_F(Shell, SavedLanguageIsRestoredAndAnythingElseMeansEnglish)
{
    const struct { const char *content; int lang; } cases[] = {
        {"1", 1}, {"1\n", 1}, {"0", 0}, {"2", 0}, {"", 0}, {"\xff\xfe garbage", 0}, {"11", 0}, {"-1", 0},
    };
    start();
    for (auto &c : cases) {
        Write_Text_File(path("bin/Lang_type.txt"), c.content);
        SetMenuBarAttribute(gvMenu, MENUBAR_LANG_ENGLISH, ATTR_CHECKED, 0);
        SetMenuBarAttribute(gvMenu, MENUBAR_LANG_TCHINESE, ATTR_CHECKED, 0);
        Scan_Form_initial();
        EXPECT_EQ(gvLang, c.lang) << "'" << c.content << "'";
        EXPECT_EQ(checked(c.lang ? MENUBAR_LANG_TCHINESE : MENUBAR_LANG_ENGLISH), 1) << c.content;
    }
}

TEST_F(Shell, ClosingTheScanPanelEndsTheProgram)
{
    start();
    Ui_Simulate(gvScan, 0, INPUT_CLOSE, 0, 0);
    App_Run_Loop();   // returns once the close has set the quit flag
    EXPECT_EQ(gQuit, 1);
    EXPECT_EQ(visible(gvScan), -1) << "the scan panel is discarded";
    EXPECT_EQ(visible(gvPanel), 0) << "the main panel is left as it was";
}

TEST_F(Shell, ClosingTheMainPanelClosesThePortAndEnds)
{
    start();
    connect_port();
    HidePanel(gvScan);
    DisplayPanel(gvPanel);
    Ui_Simulate(gvPanel, 0, INPUT_CLOSE, 0, 0);
    App_Run_Loop();
    EXPECT_EQ(gQuit, 1);
    EXPECT_EQ(visible(gvPanel), -1);
    EXPECT_EQ(visible(gvScan), 0) << "the hidden scan panel is not discarded";
    EXPECT_EQ(CloseCom(240), COM_ERR_NOT_OPEN) << "the port was closed";
}

TEST_F(Shell, ExitDiscardsBothPanelsAndLeavesThePortAlone)
{
    start();
    connect_port();
    HidePanel(gvScan);
    DisplayPanel(gvPanel);
    Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_EXIT);
    App_Run_Loop();
    EXPECT_EQ(gQuit, 1);
    EXPECT_EQ(visible(gvPanel), -1);
    EXPECT_EQ(visible(gvScan), -1);
    EXPECT_EQ(CloseCom(240), 0) << "Exit does not close the port";
}

TEST_F(Shell, ScanMenuReturnsToTheScanPanel)
{
    start();
    connect_port();
    Write_Text_File(path("bin/Lang_type.txt"), "1");
    HidePanel(gvScan);
    DisplayPanel(gvPanel);
    SetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, 1);
    Ui_Simulate_Menu(gvMenu, MENUBAR_VCOM_SCAN);
    pump();
    EXPECT_EQ(visible(gvPanel), 0);
    EXPECT_EQ(visible(gvScan), 1);
    EXPECT_EQ(CloseCom(240), COM_ERR_NOT_OPEN) << "the port was closed";
    EXPECT_EQ(gvLang, 1) << "the saved language is applied again";
    EXPECT_EQ(checked(MENUBAR_LANG_TCHINESE), 1);
    int enabled = 0;
    GetCtrlAttribute(gvPanel, MAIN_BUFFER_TIMER, ATTR_ENABLED, &enabled);
    EXPECT_EQ(enabled, 1) << "the timers are not touched";
    EXPECT_EQ(gvCOM, 240) << "the port number is kept";
    EXPECT_EQ(gQuit, 0);
}

TEST_F(Shell, MissingPanelFileStopsTheProgramWithItsName)
{
    std::filesystem::remove(dir_ + "/ui");
    std::filesystem::create_directory(dir_ + "/ui");
    std::filesystem::copy_file(std::string(ORN_SOURCE_DIR) + "/ui/Scan.uir", ui_file("Scan.uir"));
    Ui_Script_Answer("");   // the message box is seen and closed
    testing::internal::CaptureStderr();
    EXPECT_EQ(App_Start(), -1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Tarvox.uir"), std::string::npos) << err;
    std::string popup = Ui_Popup_Log();
    EXPECT_NE(popup.find("Tarvox.uir"), std::string::npos) << popup;
    EXPECT_NE(popup.find("cannot be read"), std::string::npos) << popup;
}

TEST_F(Shell, ProgramEndsWithAnErrorCodeWhenItsPanelsAreMissing)
{
    // The program runs from its own folder; beside this test binary there
    // is no ui/ folder, so start-up must fail cleanly.
    Ui_Script_Answer("");
    static char name[] = "orn-config";
    char *argv[] = {name, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(App_Main(1, argv), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Scan.uir"), std::string::npos);
}

TEST_F(Shell, BothPanelsRenderToPictures)
{
    start();
    std::string dir = Screens_Dir();
    EXPECT_EQ(Ui_Grab(gvScan, (dir + "/scan-panel.png").c_str()), 0);
    EXPECT_EQ(Ui_Grab(gvPanel, (dir + "/main-panel.png").c_str()), 0);
    EXPECT_GT(std::filesystem::file_size(dir + "/main-panel.png"), 5000u);
}

}  // namespace
