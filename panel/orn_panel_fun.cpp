#include "panel/orn_panel_fun.h"

#include "app/shared_state.h"
#include "app/shell.h"
#include "menu/help_topics.h"
#include "platform/serial.h"
#include "platform/ui_toolkit.h"

void M_scan_F(int /*menubar*/, int /*item*/, void * /*callback_data*/, int /*panel*/)
{
    Return_To_Scan();
}

// The device actions of the main panel come with Read all and Write all.
int Read_F(int, int, int, void *, int, int) { return 0; }
int Write_F(int, int, int, void *, int, int) { return 0; }
int T_R_PARA_F(int, int, int, void *, int, int) { return 0; }
int T_W_PARA_F(int, int, int, void *, int, int) { return 0; }
int Tx_state_F(int, int, int, void *, int, int) { return 0; }
int ORN_ID_change(int, int, int, void *, int, int) { return 0; }

int TB_F(int /*panel*/, int /*control*/, int event, void * /*callback_data*/, int /*data1*/, int /*data2*/)
{
    if (event == EVENT_RIGHT_CLICK)
        Show_Help_Topic(HELP_COMMANDS);
    return 0;
}
