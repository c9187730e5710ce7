#include "app/callbacks.h"

#include "app/shell.h"
#include "config/orn_rw_api.h"
#include "discovery/scan_virtual_com_fun.h"
#include "menu/orn_menu.h"
#include "panel/orn_panel_fun.h"
#include "platform/ui_toolkit.h"
#include "ui/ui_contract.h"

#define PANEL_CB(f) {#f, f, nullptr, nullptr}
#define CONTROL_CB(f) {#f, nullptr, f, nullptr}
#define MENU_CB(f) {#f, nullptr, nullptr, f}

static const UiCallbackEntry kCallbacks[] = {
    PANEL_CB(Scan_F),        PANEL_CB(ORN_PANEL_F),

    CONTROL_CB(LISTBOX_F),   CONTROL_CB(Analysis_Com_F), CONTROL_CB(ORN_ID_change),
    CONTROL_CB(Write_F),     CONTROL_CB(Read_F),         CONTROL_CB(Read_data_buf_F),
    CONTROL_CB(Tx_state_F),  CONTROL_CB(TB_F),           CONTROL_CB(T_W_PARA_F),
    CONTROL_CB(T_R_PARA_F),  CONTROL_CB(Rd_buf_T_F),

    MENU_CB(M_scan_F),       MENU_CB(Exit_F),            MENU_CB(Save_F),
    MENU_CB(load_F),         MENU_CB(clear_F),           MENU_CB(Contents_F),
    MENU_CB(lang_F),
};

void App_Register_Callbacks()
{
    Ui_Register_Callbacks(kCallbacks, (int)(sizeof kCallbacks / sizeof kCallbacks[0]));
    Ui_Expect(kUiContract, kUiContractSize);
}
